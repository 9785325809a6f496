#pragma once
// The controller of one screen. It owns its view and makes it on first use (loadView, then
// viewDidLoad), stands in the responder chain between its view and the view's superview, and
// hears when its view appears and disappears:
//   viewWillAppear -> viewDidAppear ... viewWillDisappear -> viewDidDisappear
// The callbacks come in that order only: a controller that is already appearing is not told
// again, so containers (navigation, presentation) and the window may all report a change.
// A controller's view added straight to a window appears at once (not animated).
//
// It also carries the navigation item its navigation bar shows, an editing state, the answer to
// rotation (portrait only) and modal presentation: another controller slides up over this
// screen and down again when dismissed (ViewControllerPresentation.cpp).
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Toolkit/Responder.h"

namespace ui {

class View;
class NavigationController;
class NavigationItem;

class ViewController : public Responder {
public:
    ViewController();
    ~ViewController() override;
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    // The view, made on first use.
    View* view();
    const std::shared_ptr<View>& viewRef();
    void setView(std::shared_ptr<View> view);
    bool isViewLoaded() const { return m_view != nullptr; }

    // Makes the view; the default is a plain 320 x 480 view.
    virtual void loadView();
    // Called once, after the view has been made.
    virtual void viewDidLoad() {}

    // Appearance callbacks (see above); `animated` tells whether the change slides.
    virtual void viewWillAppear(bool /*animated*/) {}
    virtual void viewDidAppear(bool /*animated*/) {}
    virtual void viewWillDisappear(bool /*animated*/) {}
    virtual void viewDidDisappear(bool /*animated*/) {}

    // The title, also the navigation item's title.
    const std::string& title() const { return m_title; }
    void setTitle(std::string title);
    // What a navigation bar shows for this screen, made on first use with the title.
    NavigationItem& navigationItem();
    const std::shared_ptr<NavigationItem>& navigationItemRef();

    // A screen that lays itself out under a translucent navigation bar (its view starts at the
    // bar's top edge instead of below it), as a painting that fills the screen does.
    bool wantsFullScreenLayout() const { return m_wantsFullScreenLayout; }
    void setWantsFullScreenLayout(bool wants) { m_wantsFullScreenLayout = wants; }

    // Editing: containers and screens pass the state on to what they show (tables, cells).
    bool isEditing() const { return m_editing; }
    virtual void setEditing(bool editing, bool animated);

    // The container this controller is a child of (a navigation controller), or nullptr.
    // The nearest navigation controller among this controller and its containers.
    NavigationController* navigationController() const;

    // Modal presentation. The controller slides up from the bottom over the whole screen of the
    // container this controller is in; while one is shown or sliding, a second presentation goes
    // on top of it. Dismissing, from either side, slides the presented controller down again.
    void presentModalViewController(std::shared_ptr<ViewController> controller, bool animated);
    void dismissModalViewControllerAnimated(bool animated);
    // The controller presented by this one, or nullptr (also while it slides down).
    ViewController* modalViewController() const { return m_modal.get(); }
    // The controller that presented this one (or its container), or nullptr.
    static constexpr double kPresentationDuration = 0.4;

    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };
    Appearance appearance() const { return m_appearance; }
    bool isAppearingOrAppeared() const
    {
        return m_appearance == Appearance::Appearing || m_appearance == Appearance::Appeared;
    }
    // Containers report appearance changes through these two; repeats are ignored.
    void beginAppearanceTransition(bool appearing, bool animated);
    void endAppearanceTransition();
    // The view calls this when it enters (or leaves) a window.
    void viewDidMoveToWindow(bool inWindow);

    Responder* nextResponder() const override;

    // The keys this screen answers, in the order its help lists them; empty for none.
    virtual std::vector<KeyShortcut> keyboardShortcuts() const { return {}; }
    // F1 and '?' show keyboardShortcuts() in a KeyHelpPanel titled "Keyboard Shortcuts"; other
    // keys go along the chain.
    bool keyDown(const KeyEvent& event) override;
    // Shows the help panel over this screen's window; false when there is nothing to list.
    bool showKeyboardShortcuts();

protected:
    // The child whose appearance follows this controller's (a container's visible child), at the
    // beginning or the end of a change; nullptr when there is none.
    virtual ViewController* appearanceChild(bool /*beginning*/) { return nullptr; }
    // Expires with this controller: timer callbacks check it before touching the controller.
    std::weak_ptr<bool> lifeToken() const { return m_alive; }

private:
    friend class NavigationController;
    // A slide up (presenting) or down in progress.
    struct Presentation {
        bool presenting = true;
        unsigned generation = 0;
        std::shared_ptr<ViewController> modal; // kept alive while it slides down
        bool wasInteractive = true;            // the presented view's own setting, given back at the end
    };
    ViewController* presentationHost();
    ViewController* presentationOwner();
    void finishPresentation();
    void runPresentation(bool presenting, bool animated);
    // Tells both sides and puts the views in place for the slide.
    void placePresentationViews(bool presenting, bool animated, View& container);
    void presentationDidEnd(unsigned generation);

    std::shared_ptr<View> m_view;
    std::string m_title;
    std::shared_ptr<NavigationItem> m_navigationItem;
    ViewController* m_parent = nullptr;
    ViewController* m_presenter = nullptr;
    std::shared_ptr<ViewController> m_modal;
    std::optional<Presentation> m_presentation;
    std::shared_ptr<bool> m_alive; // lets late timer callbacks see that this is gone
    unsigned m_presentationGeneration = 0;
    Appearance m_appearance = Appearance::Disappeared;
    bool m_appearanceAnimated = false;
    bool m_editing = false;
    bool m_wantsFullScreenLayout = false;
};

} // namespace ui
