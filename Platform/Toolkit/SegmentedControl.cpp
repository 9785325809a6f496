#include "Toolkit/SegmentedControl.h"

#include <algorithm>
#include <cmath>

#include "Toolkit/ControlDrawing.h"
#include "Toolkit/ImageView.h"
#include "Toolkit/Touch.h"

namespace ui {

namespace {
constexpr double kSegmentCornerRadius = 5;
constexpr gfx::Color kDefaultTint{0.45f, 0.5f, 0.6f, 1};
constexpr gfx::Color kPlainColor{0.95f, 0.95f, 0.95f, 1};
} // namespace

SegmentedControl::SegmentedControl(std::vector<ImageAssetRef> items, const gfx::Rect& frame)
    : Control(frame), m_items(std::move(items))
{
    for (const auto& item : m_items) {
        auto segment = std::make_shared<View>();
        segment->setUserInteractionEnabled(false);
        segment->setOpaque(false);
        segment->setAccessibilityLabel(item ? item->spokenName() : std::string());
        addSubview(segment);
        m_segmentViews.push_back(std::move(segment));
    }
}

ImageAssetRef SegmentedControl::imageForSegmentAtIndex(int index) const
{
    return index >= 0 && index < numberOfSegments() ? m_items[static_cast<std::size_t>(index)] : nullptr;
}

void SegmentedControl::setSelectedSegmentIndex(int index)
{
    if (index < 0 || index >= numberOfSegments())
        index = kNoSegment;
    if (index == m_selected)
        return;
    m_selected = index;
    setNeedsDisplay();
}

void SegmentedControl::setSegmentedControlStyle(SegmentedControlStyle style)
{
    m_style = style;
    setNeedsDisplay();
}

void SegmentedControl::setTintColor(std::optional<gfx::Color> color)
{
    m_tintColor = color;
    setNeedsDisplay();
}

gfx::Rect SegmentedControl::segmentRect(int index) const
{
    gfx::Rect b = bounds();
    double width = numberOfSegments() > 0 ? b.width() / numberOfSegments() : 0;
    return {b.minX() + index * width, b.minY(), width, b.height()};
}

int SegmentedControl::segmentAtPoint(gfx::Point point) const
{
    for (int i = 0; i < numberOfSegments(); ++i) {
        if (segmentRect(i).contains(point))
            return i;
    }
    return kNoSegment;
}

void SegmentedControl::layoutSubviews()
{
    for (int i = 0; i < numberOfSegments(); ++i)
        m_segmentViews[static_cast<std::size_t>(i)]->setFrame(segmentRect(i));
}

bool SegmentedControl::beginTracking(const Touch& touch)
{
    int segment = segmentAtPoint(touch.locationInView(this));
    if (segment == kNoSegment)
        return false;
    if (m_momentary || segment != m_selected) {
        setSelectedSegmentIndex(segment);
        sendActionsForControlEvents(ControlEvent::ValueChanged);
    }
    return true;
}

void SegmentedControl::endTracking(const Touch& /*touch*/)
{
    if (m_momentary)
        setSelectedSegmentIndex(kNoSegment);
}

void SegmentedControl::cancelTracking()
{
    if (m_momentary)
        setSelectedSegmentIndex(kNoSegment);
    Control::cancelTracking();
}

gfx::Color SegmentedControl::baseColor() const
{
    if (m_tintColor)
        return *m_tintColor;
    return m_style == SegmentedControlStyle::Bar ? kDefaultTint : kPlainColor;
}

void SegmentedControl::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/)
{
    gfx::Rect b = bounds();
    gfx::Color base = baseColor();
    fillGlossyRect(context, b, kSegmentCornerRadius, {shade(base, 0.35), shade(base, 0.1), shade(base, -0.1)});
    for (int i = 0; i < numberOfSegments(); ++i)
        drawSegment(context, i);
    strokeRoundedRect(context, b, kSegmentCornerRadius, shade(base, -0.6));
}

void SegmentedControl::drawSegment(gfx::BitmapContext& context, int index) const
{
    gfx::Rect r = segmentRect(index);
    gfx::Color base = baseColor();
    if (index == m_selected) {
        // The pressed-in look: the same gloss, darker, clipped to the segment.
        gfx::GStateSaver saver(context);
        context.clipToRect(r);
        fillGlossyRect(context, bounds(), kSegmentCornerRadius,
                       {shade(base, -0.2), shade(base, -0.4), shade(base, -0.5)});
    }
    if (index > 0) {
        context.setStrokeColor(shade(base, -0.6));
        context.setLineWidth(1);
        double x = std::round(r.minX()) + 0.5;
        context.strokeLine({x, r.minY()}, {x, r.maxY()});
    }
    if (const ImageAssetRef& image = m_items[static_cast<std::size_t>(index)])
        drawImageAsset(context, imageRectForContentMode(ContentMode::Center, r, image->pointSize), *image);
}

} // namespace ui
