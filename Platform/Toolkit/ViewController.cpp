#include "Toolkit/ViewController.h"

#include "Toolkit/KeyHelpPanel.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/NavigationItem.h"
#include "Toolkit/View.h"
#include "Toolkit/Window.h"

namespace ui {

ViewController::ViewController() : m_alive(std::make_shared<bool>(true)) {}

ViewController::~ViewController()
{
    if (m_view && m_view->m_viewController == this)
        m_view->m_viewController = nullptr;
    if (m_modal && m_modal->m_presenter == this)
        m_modal->m_presenter = nullptr;
}

View* ViewController::view() { return viewRef().get(); }

const std::shared_ptr<View>& ViewController::viewRef()
{
    if (!m_view) {
        loadView();
        if (!m_view)
            setView(std::make_shared<View>(gfx::Rect{0, 0, 320, 480}));
        viewDidLoad();
    }
    return m_view;
}

void ViewController::setView(std::shared_ptr<View> view)
{
    if (m_view && m_view->m_viewController == this)
        m_view->m_viewController = nullptr;
    m_view = std::move(view);
    if (m_view)
        m_view->m_viewController = this;
}

void ViewController::loadView() { setView(std::make_shared<View>(gfx::Rect{0, 0, 320, 480})); }

void ViewController::setTitle(std::string title)
{
    m_title = std::move(title);
    if (m_navigationItem)
        m_navigationItem->setTitle(m_title);
}

NavigationItem& ViewController::navigationItem() { return *navigationItemRef(); }

const std::shared_ptr<NavigationItem>& ViewController::navigationItemRef()
{
    if (!m_navigationItem)
        m_navigationItem = std::make_shared<NavigationItem>(m_title);
    return m_navigationItem;
}

void ViewController::setEditing(bool editing, bool /*animated*/) { m_editing = editing; }

NavigationController* ViewController::navigationController() const
{
    for (const ViewController* c = this; c; c = c->m_parent) {
        if (auto* navigation = dynamic_cast<const NavigationController*>(c))
            return const_cast<NavigationController*>(navigation);
    }
    return nullptr;
}

void ViewController::beginAppearanceTransition(bool appearing, bool animated)
{
    if (appearing == isAppearingOrAppeared())
        return;
    m_appearance = appearing ? Appearance::Appearing : Appearance::Disappearing;
    m_appearanceAnimated = animated;
    if (appearing)
        viewWillAppear(animated);
    else
        viewWillDisappear(animated);
    if (ViewController* child = appearanceChild(true))
        child->beginAppearanceTransition(appearing, animated);
}

void ViewController::endAppearanceTransition()
{
    bool appeared = m_appearance == Appearance::Appearing;
    if (!appeared && m_appearance != Appearance::Disappearing)
        return;
    m_appearance = appeared ? Appearance::Appeared : Appearance::Disappeared;
    if (appeared)
        viewDidAppear(m_appearanceAnimated);
    else
        viewDidDisappear(m_appearanceAnimated);
    // The child ends with its container only when it is changing the same way.
    ViewController* child = appearanceChild(false);
    if (child && child->m_appearance == (appeared ? Appearance::Appearing : Appearance::Disappearing))
        child->endAppearanceTransition();
}

void ViewController::viewDidMoveToWindow(bool inWindow)
{
    // Only a settled controller follows its view: one in the middle of a change is being looked
    // after by whoever started the change.
    if (inWindow && m_appearance == Appearance::Disappeared) {
        beginAppearanceTransition(true, false);
        endAppearanceTransition();
    } else if (!inWindow && m_appearance == Appearance::Appeared) {
        beginAppearanceTransition(false, false);
        endAppearanceTransition();
    }
}

Responder* ViewController::nextResponder() const { return m_view ? m_view->superview() : nullptr; }

bool ViewController::keyDown(const KeyEvent& event)
{
    if (event.isHelpRequest() && showKeyboardShortcuts())
        return true;
    return Responder::keyDown(event);
}

bool ViewController::showKeyboardShortcuts()
{
    Window* window = m_view ? m_view->window() : nullptr;
    std::vector<KeyShortcut> rows = keyboardShortcuts();
    if (!window || rows.empty())
        return false;
    std::make_shared<KeyHelpPanel>("Keyboard Shortcuts", rows)->showInWindow(*window);
    return true;
}

} // namespace ui
