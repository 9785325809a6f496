#pragma once
// The camera screen's shutter: a wide glossy silver button with a camera sign, darker while
// pressed. Its accessibility label is "Take Picture".
#include "Toolkit/Control.h"

namespace ui {

class ShutterButton : public Control {
public:
    static constexpr double kWidth = 96;
    static constexpr double kHeight = 34;
    ShutterButton();
    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;
};

} // namespace ui
