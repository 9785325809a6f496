#include "Toolkit/ControlDrawing.h"

#include <algorithm>
#include <cmath>

namespace ui {

void fillGlossyRect(gfx::BitmapContext& context, const gfx::Rect& rect, double radius, const GlossColors& colors)
{
    if (rect.isEmpty())
        return;
    gfx::GStateSaver saver(context);
    context.clipToPath(gfx::Path::roundedRect(rect, radius));
    const gfx::Gradient gloss{{0, colors.top},
                              {0.5, shade(colors.middle, 0.1)},
                              {0.5, colors.middle}, // the hard edge gives the glass look
                              {1, colors.bottom}};
    context.drawLinearGradient(gloss, {0, rect.minY()}, {0, rect.maxY()});
}

void strokeRoundedRect(gfx::BitmapContext& context, const gfx::Rect& rect, double radius, const gfx::Color& color)
{
    gfx::GStateSaver saver(context);
    context.setStrokeColor(color);
    context.setLineWidth(1);
    context.setLineCap(gfx::LineCap::Butt);
    context.setLineJoin(gfx::LineJoin::Miter);
    context.strokePath(gfx::Path::roundedRect(rect.insetBy(0.5, 0.5), radius));
}

void fillGlow(gfx::BitmapContext& context, gfx::Point center, double radius)
{
    if (!(radius > 0))
        return;
    gfx::GStateSaver saver(context);
    context.clipToPath(gfx::Path::ellipse({center.x - radius, center.y - radius, 2 * radius, 2 * radius}));
    const gfx::Gradient glow{{0, gfx::Color::white().withAlpha(0.9f)}, {1, gfx::Color::white().withAlpha(0)}};
    context.drawRadialGradient(glow, center, 0, center, radius);
}

gfx::Color shade(const gfx::Color& c, double amount)
{
    auto mix = [amount](float v) {
        double target = amount > 0 ? 1.0 : 0.0;
        return static_cast<float>(v + (target - v) * std::min(1.0, std::abs(amount)));
    };
    return {mix(c.red), mix(c.green), mix(c.blue), c.alpha};
}

} // namespace ui
