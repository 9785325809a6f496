#include "Toolkit/Slider.h"

#include <algorithm>
#include <cmath>

#include "Toolkit/ControlDrawing.h"
#include "Toolkit/ImageView.h"
#include "Toolkit/Touch.h"

namespace ui {

namespace {
constexpr double kKnobSide = 23; // the drawn knob when there is no thumb image
constexpr double kTrackHeight = 9;
constexpr double kMinimumTouchHeight = 30;

constexpr GlossColors kFilledTrack{{0.55f, 0.7f, 0.95f, 1}, {0.2f, 0.45f, 0.9f, 1}, {0.1f, 0.3f, 0.8f, 1}};
constexpr GlossColors kEmptyTrack{{1, 1, 1, 1}, {0.85f, 0.85f, 0.85f, 1}, {0.95f, 0.95f, 0.95f, 1}};
constexpr GlossColors kKnob{{1, 1, 1, 1}, {0.9f, 0.9f, 0.9f, 1}, {0.8f, 0.8f, 0.8f, 1}};
} // namespace

Slider::Slider(const gfx::Rect& frame) : Control(frame) { updateOverhang(); }

void Slider::layoutSubviews() { updateOverhang(); }

void Slider::updateOverhang()
{
    double height = 0;
    for (const auto& [state, image] : m_thumbImages)
        if (image)
            height = std::max(height, image->pointSize.height);
    if (height == 0) // no picture: the drawn knob
        height = kKnobSide;
    const double above = std::max(0.0, (height - bounds().height()) / 2);
    setOverhang({above, 0, above, 0});
}

void Slider::setValue(float value)
{
    if (!std::isfinite(value))
        return;
    value = std::clamp(value, m_minimum, std::max(m_minimum, m_maximum));
    if (value == m_value)
        return;
    m_value = value;
    setNeedsDisplay();
}

void Slider::setMinimumValue(float minimum)
{
    if (!std::isfinite(minimum))
        return;
    m_minimum = minimum;
    m_maximum = std::max(m_maximum, minimum);
    setValue(std::max(m_value, minimum));
    setNeedsDisplay();
}

void Slider::setMaximumValue(float maximum)
{
    if (!std::isfinite(maximum))
        return;
    m_maximum = maximum;
    m_minimum = std::min(m_minimum, maximum);
    setValue(std::min(m_value, maximum));
    setNeedsDisplay();
}

void Slider::setThumbImage(ImageAssetRef image, ControlState state)
{
    m_thumbImages[static_cast<unsigned>(state)] = std::move(image);
    updateOverhang();
    setNeedsDisplay();
}

ImageAssetRef Slider::thumbImageForState(ControlState state) const
{
    for (unsigned key : {static_cast<unsigned>(state), 0u}) {
        if (auto it = m_thumbImages.find(key); it != m_thumbImages.end() && it->second)
            return it->second;
    }
    return nullptr;
}

gfx::Size Slider::thumbSize() const
{
    ImageAssetRef image = thumbImageForState(state());
    return image ? image->pointSize : gfx::Size{kKnobSide, kKnobSide};
}

double Slider::thumbCenterX(float value) const
{
    gfx::Rect b = bounds();
    double travel = std::max(0.0, b.width() - thumbSize().width);
    double range = static_cast<double>(m_maximum) - m_minimum;
    double fraction = range > 0 ? (value - m_minimum) / range : 0;
    return b.minX() + thumbSize().width / 2 + fraction * travel;
}

float Slider::valueAtThumbCenter(double x) const
{
    gfx::Rect b = bounds();
    double travel = b.width() - thumbSize().width;
    if (travel <= 0)
        return m_minimum;
    double fraction = std::clamp((x - b.minX() - thumbSize().width / 2) / travel, 0.0, 1.0);
    return static_cast<float>(m_minimum + fraction * (static_cast<double>(m_maximum) - m_minimum));
}

gfx::Rect Slider::thumbRect() const
{
    gfx::Size size = thumbSize();
    return {thumbCenterX(m_value) - size.width / 2, bounds().midY() - size.height / 2, size.width, size.height};
}

bool Slider::pointInside(gfx::Point point) const
{
    gfx::Rect b = bounds();
    double height = std::max({b.height(), thumbSize().height, kMinimumTouchHeight});
    return gfx::Rect(b.x(), b.midY() - height / 2, b.width(), height).contains(point);
}

bool Slider::beginTracking(const Touch& touch)
{
    m_valueAtTouchDown = m_value;
    double x = touch.locationInView(this).x;
    gfx::Rect thumb = thumbRect();
    bool onThumb = x >= thumb.minX() && x < thumb.maxX();
    m_grabOffset = onThumb ? x - thumb.midX() : 0;
    if (trackTo(touch) && m_continuous)
        sendActionsForControlEvents(ControlEvent::ValueChanged);
    return true;
}

bool Slider::continueTracking(const Touch& touch)
{
    if (trackTo(touch) && m_continuous)
        sendActionsForControlEvents(ControlEvent::ValueChanged);
    return true;
}

void Slider::endTracking(const Touch& touch)
{
    trackTo(touch);
    if (!m_continuous && m_value != m_valueAtTouchDown)
        sendActionsForControlEvents(ControlEvent::ValueChanged);
}

bool Slider::trackTo(const Touch& touch)
{
    float before = m_value;
    setValue(valueAtThumbCenter(touch.locationInView(this).x - m_grabOffset));
    return m_value != before;
}

void Slider::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/)
{
    gfx::Rect thumb = thumbRect();
    drawTrack(context, thumb.midX());
    if (ImageAssetRef image = thumbImageForState(state()))
        drawImageAsset(context, thumb, *image);
    else
        drawKnob(context, thumb);
}

void Slider::drawTrack(gfx::BitmapContext& context, double splitX) const
{
    gfx::Rect b = bounds();
    gfx::Rect track(b.minX() + 1, b.midY() - kTrackHeight / 2, b.width() - 2, kTrackHeight);
    double radius = kTrackHeight / 2;
    {
        gfx::GStateSaver saver(context);
        context.clipToRect({track.minX(), track.minY(), splitX - track.minX(), track.height()});
        fillGlossyRect(context, track, radius, kFilledTrack);
    }
    {
        gfx::GStateSaver saver(context);
        context.clipToRect({splitX, track.minY(), track.maxX() - splitX, track.height()});
        fillGlossyRect(context, track, radius, kEmptyTrack);
    }
    strokeRoundedRect(context, track, radius, {0.3f, 0.3f, 0.3f, 0.8f});
}

void Slider::drawKnob(gfx::BitmapContext& context, const gfx::Rect& rect) const
{
    fillGlossyRect(context, rect, rect.width() / 2, kKnob);
    strokeRoundedRect(context, rect, rect.width() / 2, {0.4f, 0.4f, 0.4f, 1});
}

} // namespace ui
