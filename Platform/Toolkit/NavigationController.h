#pragma once
// A stack of screens under one navigation bar. The top screen's view fills the area below the
// bar; pushing slides the new screen in from the right, popping slides it out again, and the
// bar's back button pops. Appearance callbacks come in this order:
//   push: old viewWillDisappear, new viewWillAppear, slide, old viewDidDisappear, new viewDidAppear
//   pop:  top viewWillDisappear, below viewWillAppear, slide, top viewDidDisappear, below viewDidAppear
// so a screen that reappears hears viewDidAppear only after the slide. A push or pop asked for
// while a slide runs first finishes that slide at once. The popped screen is given up after its
// slide (after its viewDidDisappear).
#include <memory>
#include <vector>

#include "Toolkit/NavigationBar.h"
#include "Toolkit/ViewController.h"

namespace ui {

class NavigationController : public ViewController, private NavigationBarDelegate {
public:
    explicit NavigationController(std::shared_ptr<ViewController> rootViewController);
    ~NavigationController() override;

    // The bar (made with the view).
    NavigationBar& navigationBar();
    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return m_viewControllers; }
    ViewController* topViewController() const
    {
        return m_viewControllers.empty() ? nullptr : m_viewControllers.back().get();
    }
    // The presented controller when there is one, else the top screen.
    ViewController* visibleViewController() const;
    // A controller already shown elsewhere is refused.
    void pushViewController(std::shared_ptr<ViewController> controller, bool animated);
    // The popped controller, or nullptr at the root (the root is never popped).
    std::shared_ptr<ViewController> popViewControllerAnimated(bool animated);
    bool isSliding() const { return m_slide != nullptr; }

    void loadView() override;

    // Where the screens' views go, in the navigation view's coordinates: below the bar.
    gfx::Rect contentFrame();
    // Where a screen's view goes: below the bar, its own height kept.
    gfx::Rect screenFrame(const ViewController& screen);
    // The frame of the navigation view when it fills the screen below the status bar.
    static gfx::Rect defaultFrame();

protected:
    ViewController* appearanceChild(bool beginning) override;

private:
    struct Slide;
    class ContainerView;
    void navigationBarBackButtonTapped(NavigationBar& bar) override;
    void showTop(std::shared_ptr<ViewController> from, int direction, bool animated);
    void finishSlide();
    void slideDidEnd(unsigned generation);
    void layoutContainer();

    std::vector<std::shared_ptr<ViewController>> m_viewControllers;
    std::shared_ptr<NavigationBar> m_bar;
    std::unique_ptr<Slide> m_slide;
    unsigned m_slideGeneration = 0;
};

} // namespace ui
