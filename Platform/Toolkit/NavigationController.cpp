#include "Toolkit/NavigationController.h"

#include <algorithm>

#include "Foundation/Log.h"
#include "Toolkit/StatusBar.h"
#include "Toolkit/View.h"
#include "Toolkit/ViewControllerTransitions.h"

namespace ui {

struct NavigationController::Slide {
    std::shared_ptr<ViewController> from; // the screen leaving, kept alive until its slide ends
    std::shared_ptr<ViewController> to;
    bool popped = false;
    unsigned generation = 0;
};

// The navigation view: lays out the bar and the top screen when its size changes.
class NavigationController::ContainerView : public View {
public:
    using View::View;
    void layoutSubviews() override
    {
        if (auto* owner = dynamic_cast<NavigationController*>(viewController()))
            owner->layoutContainer();
    }
};

NavigationController::NavigationController(std::shared_ptr<ViewController> rootViewController)
{
    if (rootViewController && !rootViewController->m_parent && !rootViewController->m_presenter) {
        rootViewController->m_parent = this;
        m_viewControllers.push_back(std::move(rootViewController));
    }
}

NavigationController::~NavigationController()
{
    for (const auto& controller : m_viewControllers) {
        if (controller->m_parent == this)
            controller->m_parent = nullptr;
    }
    if (m_slide && m_slide->from && m_slide->from->m_parent == this)
        m_slide->from->m_parent = nullptr;
    if (m_bar)
        m_bar->setDelegate(nullptr);
}

gfx::Rect NavigationController::defaultFrame() { return applicationFrame(); }

NavigationBar& NavigationController::navigationBar()
{
    view();
    return *m_bar;
}

ViewController* NavigationController::visibleViewController() const
{
    return modalViewController() ? modalViewController() : topViewController();
}

gfx::Rect NavigationController::contentFrame()
{
    gfx::Rect b = view()->bounds();
    return {b.minX(), b.minY() + NavigationBar::kHeight, b.width(), std::max(0.0, b.height() - NavigationBar::kHeight)};
}

// A screen's view starts at the bar's bottom edge (at its top edge for a full-screen layout) and
// spans the width; it keeps the height its controller gave it (screens made for the whole phone
// screen reach past the bottom edge and place their own bars from their own bounds).
gfx::Rect NavigationController::screenFrame(const ViewController& screen)
{
    const gfx::Rect content = contentFrame();
    const double top = screen.wantsFullScreenLayout() ? view()->bounds().minY() : content.minY();
    const double own = screen.isViewLoaded() ? screen.m_view->bounds().height() : 0;
    return {content.minX(), top, content.width(), own > 0 ? own : content.height()};
}

void NavigationController::loadView()
{
    auto container = std::make_shared<ContainerView>(defaultFrame());
    container->setBackgroundColor(gfx::Color::black());
    setView(container);
    gfx::Rect b = container->bounds();
    m_bar = std::make_shared<NavigationBar>(gfx::Rect{b.minX(), b.minY(), b.width(), NavigationBar::kHeight});
    m_bar->setDelegate(this);
    for (const auto& controller : m_viewControllers)
        m_bar->pushNavigationItem(controller->navigationItemRef(), false);
    if (ViewController* top = topViewController()) {
        top->view()->setFrame(screenFrame(*top));
        container->addSubview(top->viewRef());
    }
    container->addSubview(m_bar);
}

void NavigationController::layoutContainer()
{
    gfx::Rect b = view()->bounds();
    m_bar->setFrame({b.minX(), b.minY(), b.width(), NavigationBar::kHeight});
    ViewController* top = topViewController();
    if (!m_slide && top && top->isViewLoaded() && top->view()->superview() == view())
        top->view()->setFrame(screenFrame(*top));
}

void NavigationController::pushViewController(std::shared_ptr<ViewController> controller, bool animated)
{
    bool shownElsewhere = controller && (controller->m_parent || controller->m_presenter || controller.get() == this);
    if (!controller || shownElsewhere) {
        fnd::log("NavigationController: a controller that is already shown cannot be pushed");
        return;
    }
    finishSlide();
    std::shared_ptr<ViewController> from = m_viewControllers.empty() ? nullptr : m_viewControllers.back();
    controller->m_parent = this;
    m_viewControllers.push_back(controller);
    if (!isViewLoaded())
        return; // shown when the view is made
    m_bar->pushNavigationItem(controller->navigationItemRef(), animated);
    showTop(std::move(from), 1, animated);
}

std::shared_ptr<ViewController> NavigationController::popViewControllerAnimated(bool animated)
{
    finishSlide();
    if (m_viewControllers.size() < 2)
        return nullptr;
    std::shared_ptr<ViewController> popped = std::move(m_viewControllers.back());
    m_viewControllers.pop_back();
    if (!isViewLoaded()) {
        popped->m_parent = nullptr;
        return popped;
    }
    if (m_bar->topItem() == popped->navigationItemRef().get()) // it may have been refused by the bar
        m_bar->popNavigationItemAnimated(animated);
    showTop(popped, -1, animated);
    return popped;
}

void NavigationController::showTop(std::shared_ptr<ViewController> from, int direction, bool animated)
{
    std::shared_ptr<ViewController> to = m_viewControllers.back();
    View& container = *view();
    animated = animated && from && container.window();
    View& toView = *to->view(); // loaded before it hears that it will appear
    if (isAppearingOrAppeared()) {
        if (from)
            from->beginAppearanceTransition(false, animated);
        to->beginAppearanceTransition(true, animated);
    }
    toView.setFrame(screenFrame(*to));
    container.insertSubviewBelow(to->viewRef(), m_bar.get());
    m_slide = std::make_unique<Slide>(Slide{from, to, direction < 0, ++m_slideGeneration});
    unsigned generation = m_slideGeneration;
    container.setUserInteractionEnabled(false); // touches wait for the slide to end
    if (!animated) {
        slideDidEnd(generation);
        return;
    }
    double shift = container.bounds().width() * direction;
    gfx::Point home = toView.center();
    placeViewNow(toView, {home.x + shift, home.y});
    std::weak_ptr<bool> alive = lifeToken();
    slideView(toView, home, kNavigationSlideDuration, [this, alive, generation] {
        if (!alive.expired())
            slideDidEnd(generation);
    });
    if (from->isViewLoaded() && from->view()->superview() == &container)
        slideView(*from->view(), {from->view()->center().x - shift, from->view()->center().y}, kNavigationSlideDuration,
                  nullptr);
}

void NavigationController::finishSlide()
{
    if (m_slide)
        slideDidEnd(m_slide->generation);
}

void NavigationController::slideDidEnd(unsigned generation)
{
    if (!m_slide || m_slide->generation != generation)
        return;
    std::unique_ptr<Slide> slide = std::move(m_slide);
    view()->setUserInteractionEnabled(true);
    View& toView = *slide->to->view();
    const gfx::Rect screen = screenFrame(*slide->to);
    gfx::Point home{screen.midX(), screen.midY()};
    if (toView.superview() == view())
        placeViewNow(toView, home);
    if (slide->from && slide->from->isViewLoaded()) {
        View& fromView = *slide->from->view();
        if (fromView.superview() == view())
            fromView.removeFromSuperview();
        const gfx::Rect fromScreen = screenFrame(*slide->from);
        placeViewNow(fromView, {fromScreen.midX(), fromScreen.midY()});
        slide->from->endAppearanceTransition();
    }
    if (slide->popped && slide->from->m_parent == this)
        slide->from->m_parent = nullptr;
    // While the navigation screen itself is still appearing, its own end completes the new one.
    if (appearance() == Appearance::Appeared)
        slide->to->endAppearanceTransition();
}

ViewController* NavigationController::appearanceChild(bool beginning)
{
    if (beginning)
        finishSlide();
    else if (m_slide)
        return nullptr; // the slide's end completes the screens
    return topViewController();
}

void NavigationController::navigationBarBackButtonTapped(NavigationBar& /*bar*/) { popViewControllerAnimated(true); }

} // namespace ui
