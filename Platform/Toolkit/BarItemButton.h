#pragma once
// The button that shows a bar button item: a plain image with a touch glow, one of the system
// glyphs (Action: a box with an arrow leaving it; Add: a plus), or a title on a bordered glossy
// capsule (blue for the Done style and system item). Navigation bars also show the plus on a
// capsule, and their back button: a capsule with a left-pointing arrow end.
#include "Toolkit/BarButtonItem.h"
#include "Toolkit/Button.h"

namespace ui {

class BarItemButton : public Button {
public:
    enum class Look { Image, ActionGlyph, AddGlyph, Bordered, BorderedDone, BorderedAddGlyph, Back };
    bool isBordered() const;

    BarItemButton(Look look, BarStyle barStyle);
    Look look() const { return m_look; }
    // Width this button wants in a bar.
    double naturalWidth();
    // Height of the capsule of bordered items.
    static constexpr double kBorderedHeight = 30;

    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;
    void layoutSubviews() override;

private:
    void drawCapsule(gfx::BitmapContext& context) const;
    void drawActionGlyph(gfx::BitmapContext& context) const;
    void drawAddGlyph(gfx::BitmapContext& context) const;

    Look m_look;
    BarStyle m_barStyle;
};

} // namespace ui
