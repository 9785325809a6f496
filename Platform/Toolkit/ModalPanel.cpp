#include "Toolkit/ModalPanel.h"

#include <algorithm>

namespace ui {

ModalPanel::ModalPanel(const gfx::Rect& frame) : View(frame) { setOpaque(false); }

std::string ModalPanel::buttonTitleAtIndex(int index) const
{
    const PanelButton* button = buttonAtIndex(index);
    return button ? button->titleForState(ControlState::Normal) : std::string();
}

PanelButton* ModalPanel::buttonAtIndex(int index) const
{
    if (index < 0 || index >= numberOfButtons())
        return nullptr;
    return m_buttons[static_cast<std::size_t>(index)].get();
}

PanelButton& ModalPanel::addButton(PanelButton::Look look, const std::string& title)
{
    auto button = std::make_shared<PanelButton>(look, title);
    // The panel owns its buttons; a plain pointer back to it cannot dangle.
    button->addTarget(ControlEvent::TouchUpInside,
                      [this](Control& sender) { buttonTapped(static_cast<const PanelButton&>(sender)); });
    m_buttons.push_back(button);
    addSubview(button);
    return *button;
}

void ModalPanel::presentIn(View& window, DimmingView::Style dimming)
{
    if (m_visible)
        return;
    m_visible = true;
    setUserInteractionEnabled(true);
    if (m_dimming) // shown again while leaving: the old dimming goes now, not at the old exit's end
        m_dimming->removeFromSuperview();
    m_dimming = std::make_shared<DimmingView>(window.bounds(), dimming);
    m_dimming->setAlpha(0);
    window.addSubview(m_dimming);
    window.addSubview(shared_from_this());
    prepareEntrance();

    View::beginAnimations();
    View::setAnimationDuration(transitionSeconds());
    m_dimming->setAlpha(1);
    animateEntrance();
    View::commitAnimations();
}

void ModalPanel::buttonTapped(const PanelButton& button)
{
    if (!m_visible)
        return;
    auto found = std::find_if(m_buttons.begin(), m_buttons.end(), [&](const auto& b) { return b.get() == &button; });
    int index = static_cast<int>(found - m_buttons.begin());
    auto keepAlive = shared_from_this(); // the delegate may drop its last reference to the panel
    // Going first: the delegate may show the next sheet or alert, and cannot be told twice.
    dismissWithClickedButtonIndex(index, true);
    deliverClick(index);
}

bool ModalPanel::keyDown(const KeyEvent& event)
{
    if (event.key == Key::Escape && event.isPlain() && !event.repeat) {
        if (const PanelButton* cancel = buttonAtIndex(escapeButtonIndex()))
            buttonTapped(*cancel);
    }
    return true; // nothing behind the panel may act on a key
}

bool ModalPanel::keyUp(const KeyEvent& /*event*/) { return true; }

void ModalPanel::dismissWithClickedButtonIndex(int /*index*/, bool animated)
{
    if (!m_visible)
        return;
    m_visible = false;
    // The panel and the dimming stay in place, taking touches, until the exit is over.
    setUserInteractionEnabled(false);
    if (!animated || !window()) {
        removeFromWindow();
        return;
    }
    auto self = std::static_pointer_cast<ModalPanel>(shared_from_this());
    View::beginAnimations();
    View::setAnimationDuration(transitionSeconds());
    View::setAnimationDidStopCallback([self](bool) { self->removeFromWindow(); });
    if (m_dimming)
        m_dimming->setAlpha(0);
    animateExit();
    View::commitAnimations();
}

void ModalPanel::removeFromWindow()
{
    if (m_visible)
        return; // shown again while the exit ran
    if (m_dimming) {
        m_dimming->removeFromSuperview();
        m_dimming.reset();
    }
    removeFromSuperview();
}

} // namespace ui
