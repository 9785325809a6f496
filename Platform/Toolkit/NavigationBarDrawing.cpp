#include "Toolkit/NavigationBarDrawing.h"

#include <algorithm>

#include "Graphics/Gradient.h"

namespace ui {

gfx::Path backButtonPath(const gfx::Rect& rect, double radius)
{
    radius = std::clamp(radius, 0.0, std::min(rect.width() - kBackArrowWidth, rect.height()) / 2);
    double arrowX = rect.minX() + kBackArrowWidth;
    // The arrow's sides are softened a little where they meet the top and bottom edges.
    gfx::Path path;
    path.moveTo({rect.minX(), rect.midY()});
    path.lineTo({arrowX - 1, rect.minY() + 1});
    path.curveTo({arrowX - 0.5, rect.minY()}, {arrowX, rect.minY()}, {arrowX + 1.5, rect.minY()});
    path.lineTo({rect.maxX() - radius, rect.minY()});
    path.curveTo({rect.maxX(), rect.minY()}, {rect.maxX(), rect.minY()}, {rect.maxX(), rect.minY() + radius});
    path.lineTo({rect.maxX(), rect.maxY() - radius});
    path.curveTo({rect.maxX(), rect.maxY()}, {rect.maxX(), rect.maxY()}, {rect.maxX() - radius, rect.maxY()});
    path.lineTo({arrowX + 1.5, rect.maxY()});
    path.curveTo({arrowX, rect.maxY()}, {arrowX - 0.5, rect.maxY()}, {arrowX - 1, rect.maxY() - 1});
    path.closeSubpath();
    return path;
}

void fillGlossyPath(gfx::BitmapContext& context, const gfx::Path& path, const gfx::Rect& rect,
                    const GlossColors& colors)
{
    if (rect.isEmpty() || path.isEmpty())
        return;
    gfx::GStateSaver saver(context);
    context.clipToPath(path);
    gfx::Gradient gradient{{0, colors.top}, {0.5, shade(colors.middle, 0.1)}, {0.5, colors.middle}, {1, colors.bottom}};
    context.drawLinearGradient(gradient, {rect.minX(), rect.minY()}, {rect.minX(), rect.maxY()});
}

void drawNavigationBarBackground(gfx::BitmapContext& context, const gfx::Rect& rect, BarStyle style)
{
    GlossColors colors;
    gfx::Color topLine;
    switch (style) {
    case BarStyle::Default:
        colors = {{0.69f, 0.74f, 0.8f, 1}, {0.5f, 0.57f, 0.66f, 1}, {0.43f, 0.5f, 0.59f, 1}};
        topLine = {0.8f, 0.84f, 0.88f, 1};
        break;
    case BarStyle::Black:
        colors = {{0.33f, 0.33f, 0.33f, 1}, {0.12f, 0.12f, 0.12f, 1}, {0.02f, 0.02f, 0.02f, 1}};
        topLine = {0.5f, 0.5f, 0.5f, 1};
        break;
    case BarStyle::BlackTranslucent:
        colors = {{0.33f, 0.33f, 0.33f, 0.8f}, {0.12f, 0.12f, 0.12f, 0.8f}, {0.02f, 0.02f, 0.02f, 0.8f}};
        topLine = {0.55f, 0.55f, 0.55f, 0.8f};
        break;
    }
    fillGlossyPath(context, gfx::Path::rect(rect), rect, colors);
    context.setFillColor(topLine);
    context.fillRect({rect.minX(), rect.minY(), rect.width(), 0.5});
    context.setFillColor(gfx::Color::black().withAlpha(0.8f));
    context.fillRect({rect.minX(), rect.maxY() - 0.5, rect.width(), 0.5});
}

} // namespace ui
