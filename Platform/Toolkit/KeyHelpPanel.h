#pragma once
// A list of keyboard shortcuts in a translucent dark box in the middle of the dimmed window:
// a title, then one row a shortcut (the keys on the left, what they do on the right). Any key
// or a tap anywhere closes it. It is a modal panel without buttons, so while it is up nothing
// behind it takes touches or keys.
//
// Make it with std::make_shared; the window keeps it alive while it is shown.
#include <string>
#include <vector>

#include "Toolkit/Label.h"
#include "Toolkit/ModalPanel.h"

namespace ui {

class Window;

class KeyHelpPanel : public ModalPanel {
public:
    using Row = KeyShortcut;
    KeyHelpPanel(const std::string& title, const std::vector<Row>& rows);

    // The box with the list; the panel itself covers the whole window to take every tap.
    void showInWindow(Window& window);

    bool keyDown(const KeyEvent& event) override;
    void touchesEnded(const TouchSet& touches, const Event& event) override;
    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

    static constexpr double kWidth = 284;
    static constexpr double kRowHeight = 20;
    static constexpr double kFadeSeconds = 0.2;

protected:
    void prepareEntrance() override { setAlpha(0); }
    void animateEntrance() override { setAlpha(1); }
    void animateExit() override { setAlpha(0); }
    double transitionSeconds() const override { return kFadeSeconds; }
    void deliverClick(int /*index*/) override {}

private:
    std::shared_ptr<Label> addLabel(const std::string& text, const Font& font, TextAlignment alignment);
    void layOut(const gfx::Rect& area);

    std::shared_ptr<Label> m_titleLabel;
    std::vector<std::pair<std::shared_ptr<Label>, std::shared_ptr<Label>>> m_rows;
    std::shared_ptr<Label> m_footerLabel;
    gfx::Rect m_box;
};

} // namespace ui
