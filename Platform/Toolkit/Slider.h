#pragma once
// A horizontal slider: a thumb moved along a glossy track picks a value between minimumValue and
// maximumValue. A touch-down on the thumb grabs it where it was touched; a touch-down elsewhere
// on the track moves the thumb there at once. While continuous (the default) every move that
// changes the value sends ValueChanged; otherwise one is sent at lift if the value changed.
#include <map>

#include "Toolkit/Control.h"
#include "Toolkit/ImageAsset.h"

namespace ui {

class Slider : public Control {
public:
    explicit Slider(const gfx::Rect& frame = {});

    float value() const { return m_value; }
    // Clamped to the range; non-finite values are ignored.
    void setValue(float value);
    float minimumValue() const { return m_minimum; }
    void setMinimumValue(float minimum);
    float maximumValue() const { return m_maximum; }
    void setMaximumValue(float maximum);
    bool isContinuous() const { return m_continuous; }
    void setContinuous(bool continuous) { m_continuous = continuous; }

    // Thumb picture per state (a state without one shows the normal one); a drawn knob without.
    void setThumbImage(ImageAssetRef image, ControlState state);
    ImageAssetRef thumbImageForState(ControlState state) const;

    // Where the thumb is drawn, in the slider's coordinates.
    gfx::Rect thumbRect() const;

    // The touch area reaches past a thin slider's bounds to the height of the thumb.
    bool pointInside(gfx::Point point) const override;
    // A thumb taller than the slider is drawn whole, over its overhang (View::overhang).
    void layoutSubviews() override;
    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

protected:
    bool beginTracking(const Touch& touch) override;
    bool continueTracking(const Touch& touch) override;
    void endTracking(const Touch& touch) override;

private:
    gfx::Size thumbSize() const;
    void updateOverhang();
    double thumbCenterX(float value) const;
    float valueAtThumbCenter(double x) const;
    // Moves the thumb to follow the finger; true when the value changed.
    bool trackTo(const Touch& touch);
    void drawTrack(gfx::BitmapContext& context, double splitX) const;
    void drawKnob(gfx::BitmapContext& context, const gfx::Rect& rect) const;

    float m_value = 0;
    float m_minimum = 0;
    float m_maximum = 1;
    float m_valueAtTouchDown = 0;
    double m_grabOffset = 0; // finger x minus thumb centre x while dragging
    bool m_continuous = true;
    std::map<unsigned, ImageAssetRef> m_thumbImages;
};

} // namespace ui
