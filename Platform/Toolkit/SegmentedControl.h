#pragma once
// A row of equal-width image segments of which one is selected. A touch-down on an unselected
// segment selects it and sends ValueChanged; setting selectedSegmentIndex in code sends nothing.
// A momentary control shows a segment selected only while it is pressed and sends ValueChanged
// for every press. Each segment is also a (non-interactive) subview carrying its image's name
// as accessibility label, so a scripted session can find and tap it.
#include <optional>
#include <vector>

#include "Toolkit/Control.h"
#include "Toolkit/ImageAsset.h"

namespace ui {

enum class SegmentedControlStyle { Plain = 0, Bordered = 1, Bar = 2 };

class SegmentedControl : public Control {
public:
    static constexpr int kNoSegment = -1;

    explicit SegmentedControl(std::vector<ImageAssetRef> items, const gfx::Rect& frame = {});

    int numberOfSegments() const { return static_cast<int>(m_items.size()); }
    ImageAssetRef imageForSegmentAtIndex(int index) const;
    int selectedSegmentIndex() const { return m_selected; }
    // An index out of range selects nothing.
    void setSelectedSegmentIndex(int index);
    bool isMomentary() const { return m_momentary; }
    void setMomentary(bool momentary) { m_momentary = momentary; }
    SegmentedControlStyle segmentedControlStyle() const { return m_style; }
    void setSegmentedControlStyle(SegmentedControlStyle style);
    const std::optional<gfx::Color>& tintColor() const { return m_tintColor; }
    void setTintColor(std::optional<gfx::Color> color);

    // The segment under a point in the control's coordinates, or kNoSegment.
    int segmentAtPoint(gfx::Point point) const;
    gfx::Rect segmentRect(int index) const;

    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;
    void layoutSubviews() override;

protected:
    bool beginTracking(const Touch& touch) override;
    void endTracking(const Touch& touch) override;
    void cancelTracking() override;

private:
    gfx::Color baseColor() const;
    void drawSegment(gfx::BitmapContext& context, int index) const;

    std::vector<ImageAssetRef> m_items;
    std::vector<ViewRef> m_segmentViews;
    int m_selected = kNoSegment;
    bool m_momentary = false;
    SegmentedControlStyle m_style = SegmentedControlStyle::Plain;
    std::optional<gfx::Color> m_tintColor;
};

} // namespace ui
