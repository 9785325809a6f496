#include "Toolkit/PhotoGridCell.h"

#include <utility>

namespace ui {
namespace {

const gfx::Color kLoadingColor{0.90, 0.91, 0.93, 1};
const gfx::Color kBrokenColor{0.80, 0.81, 0.83, 1};
const gfx::Color kSignColor{0.52, 0.54, 0.58, 1};

} // namespace

PhotoGridCell::PhotoGridCell(const gfx::Rect& frame) : View(frame) { setUserInteractionEnabled(false); }

void PhotoGridCell::showLoading()
{
    if (m_look == Look::Loading)
        return;
    m_look = Look::Loading;
    m_thumbnail = nullptr;
    setNeedsDisplay();
}

void PhotoGridCell::showThumbnail(gfx::ImageRef thumbnail)
{
    if (!thumbnail) {
        showBroken();
        return;
    }
    if (m_look == Look::Thumbnail && m_thumbnail == thumbnail)
        return;
    m_look = Look::Thumbnail;
    m_thumbnail = std::move(thumbnail);
    setNeedsDisplay();
}

void PhotoGridCell::showBroken()
{
    if (m_look == Look::Broken)
        return;
    m_look = Look::Broken;
    m_thumbnail = nullptr;
    setNeedsDisplay();
}

void PhotoGridCell::drawRect(gfx::BitmapContext& context, const gfx::Rect&)
{
    const gfx::Rect area = bounds();
    if (m_look == Look::Thumbnail && m_thumbnail) {
        context.drawImage(area, *m_thumbnail);
        return;
    }
    context.setFillColor(m_look == Look::Broken ? kBrokenColor : kLoadingColor);
    context.fillRect(area);
    if (m_look == Look::Broken)
        drawBrokenSign(context);
}

// A small framed picture (a hill under a sun) torn by a zig-zag from top to bottom.
void PhotoGridCell::drawBrokenSign(gfx::BitmapContext& context) const
{
    const gfx::Rect area = bounds();
    const double w = 34;
    const double h = 26;
    const double x = area.origin.x + (area.size.width - w) / 2;
    const double y = area.origin.y + (area.size.height - h) / 2;
    gfx::GStateSaver saver(context);
    context.setStrokeColor(kSignColor);
    context.setFillColor(kSignColor);
    context.setLineWidth(2);
    context.setLineJoin(gfx::LineJoin::Round);
    context.strokePath(gfx::Path::roundedRect({x, y, w, h}, 3));
    context.fillEllipse({x + w - 13, y + 5, 6, 6});
    gfx::Path hill;
    hill.moveTo({x + 3, y + h - 3});
    hill.lineTo({x + 13, y + 11});
    hill.lineTo({x + 20, y + 18});
    hill.lineTo({x + 24, y + 15});
    hill.lineTo({x + w - 3, y + h - 3});
    hill.closeSubpath();
    context.fillPath(hill);
    // The tear, in the background colour, across the frame.
    gfx::Path tear;
    tear.moveTo({x + 15, y - 3});
    tear.lineTo({x + 20, y + 6});
    tear.lineTo({x + 14, y + 13});
    tear.lineTo({x + 21, y + 20});
    tear.lineTo({x + 17, y + h + 3});
    context.setStrokeColor(kBrokenColor);
    context.setLineWidth(3);
    context.strokePath(tear);
}

} // namespace ui
