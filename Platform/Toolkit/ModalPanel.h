#pragma once
// What action sheets and alerts share: a panel of buttons shown above a DimmingView that covers
// the window, animated in and out, reporting one click. While the panel is up (and while it
// animates away) nothing behind it takes touches. A tap on a button reports its index once,
// and the panel goes; later taps during the exit animation are ignored. Keys stop at the panel
// too: Escape taps its cancel button, other keys do nothing.
#include <memory>
#include <string>
#include <vector>

#include "Toolkit/DimmingView.h"
#include "Toolkit/PanelButton.h"

namespace ui {

class ModalPanel : public View {
public:
    int numberOfButtons() const { return static_cast<int>(m_buttons.size()); }
    // The title of the button at `index`, or "" when there is no such button.
    std::string buttonTitleAtIndex(int index) const;
    // The button at `index`, or nullptr.
    PanelButton* buttonAtIndex(int index) const;

    // True from show until the panel starts to go.
    bool isVisible() const { return m_visible; }
    // Takes the panel down without telling the delegate of a click (as on the platform).
    void dismissWithClickedButtonIndex(int index, bool animated);

    bool keyDown(const KeyEvent& event) override;
    bool keyUp(const KeyEvent& event) override;

protected:
    explicit ModalPanel(const gfx::Rect& frame);

    // Appends a button; its index is its position in the order added.
    PanelButton& addButton(PanelButton::Look look, const std::string& title);
    const std::vector<std::shared_ptr<PanelButton>>& buttons() const { return m_buttons; }

    // Adds the dimming and the panel to `window`; the panel's final place must already be set.
    void presentIn(View& window, DimmingView::Style dimming);
    // The subclass's entrance and exit: prepareEntrance sets the starting look at once, the other
    // two run inside animation blocks of transitionSeconds (the exit only when animated).
    virtual void prepareEntrance() = 0;
    virtual void animateEntrance() = 0;
    virtual void animateExit() = 0;
    virtual double transitionSeconds() const = 0;
    // Tells the delegate (if it still exists) that the button at `index` was tapped.
    virtual void deliverClick(int index) = 0;
    // The button Escape taps, or -1 for none.
    virtual int escapeButtonIndex() const { return -1; }

private:
    void buttonTapped(const PanelButton& button);
    void removeFromWindow();

    std::vector<std::shared_ptr<PanelButton>> m_buttons;
    std::shared_ptr<DimmingView> m_dimming;
    bool m_visible = false;
};

} // namespace ui
