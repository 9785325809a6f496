#include "Toolkit/ShutterButton.h"

#include "Toolkit/ControlDrawing.h"

namespace ui {

ShutterButton::ShutterButton() : Control({0, 0, kWidth, kHeight})
{
    setOpaque(false);
    setAccessibilityLabel("Take Picture");
}

void ShutterButton::drawRect(gfx::BitmapContext& context, const gfx::Rect&)
{
    const gfx::Rect area = bounds();
    const bool pressed = isHighlighted();
    const GlossColors silver{{0.96, 0.96, 0.97, 1}, {0.80, 0.81, 0.84, 1}, {0.62, 0.63, 0.67, 1}};
    const GlossColors pressedSilver{{0.70, 0.71, 0.74, 1}, {0.55, 0.56, 0.60, 1}, {0.45, 0.46, 0.50, 1}};
    fillGlossyRect(context, area, 8, pressed ? pressedSilver : silver);
    strokeRoundedRect(context, {area.origin.x + 0.5, area.origin.y + 0.5, area.size.width - 1, area.size.height - 1}, 8,
                      {0.15, 0.15, 0.17, 1});
    // The camera sign: a body with a bump on top and a lens.
    const double cx = area.origin.x + area.size.width / 2;
    const double cy = area.origin.y + area.size.height / 2 + 1;
    gfx::GStateSaver saver(context);
    context.setFillColor({0.18, 0.19, 0.22, 1});
    context.fillPath(gfx::Path::roundedRect({cx - 13, cy - 8, 26, 17}, 3));
    context.fillRect({cx - 5, cy - 11, 10, 4});
    context.setFillColor({0.85, 0.86, 0.88, 1});
    context.fillEllipse({cx - 6, cy - 6, 12, 12});
    context.setFillColor({0.18, 0.19, 0.22, 1});
    context.fillEllipse({cx - 4, cy - 4, 8, 8});
}

} // namespace ui
