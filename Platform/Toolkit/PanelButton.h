#pragma once
// The buttons of action sheets and alerts: a glossy rounded capsule with a bold centred title.
// Sheets use Plain (light grey, dark text), Destructive (red, white text) and Cancel (dark, white
// text); alerts use AlertOther and the darker AlertCancel. The accessibility label is the title.
#include "Toolkit/Button.h"

namespace ui {

class PanelButton : public Button {
public:
    enum class Look { Plain, Destructive, Cancel, AlertOther, AlertCancel };

    PanelButton(Look look, const std::string& title);
    Look look() const { return m_look; }

    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

private:
    Look m_look;
};

} // namespace ui
