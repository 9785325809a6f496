#pragma once
// A bar of items along the bottom of a screen. Items are laid out from left to right at their
// natural widths; flexible spaces share what is left equally, fixed spaces take their width.
// The bar draws the glossy bar background of its style; BlackTranslucent lets what lies beneath
// show through.
#include <vector>

#include "Toolkit/BarButtonItem.h"
#include "Toolkit/View.h"

namespace ui {

class Toolbar : public View {
public:
    static constexpr double kHeight = 44;

    explicit Toolbar(const gfx::Rect& frame = {});

    BarStyle barStyle() const { return m_barStyle; }
    void setBarStyle(BarStyle style);
    const std::vector<BarButtonItemRef>& items() const { return m_items; }
    void setItems(std::vector<BarButtonItemRef> items);

    // A bar keeps the width it is given and is kHeight high (320 wide when it has no width yet).
    gfx::Size sizeThatFits(gfx::Size size) const;
    void sizeToFit();

    void layoutSubviews() override;
    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

private:
    std::vector<BarButtonItemRef> m_items;
    std::vector<ViewRef> m_itemViews;
    BarStyle m_barStyle = BarStyle::Default;
};

// Draws a bar background of `style` over `rect` (shared with the navigation bar).
void drawBarBackground(gfx::BitmapContext& context, const gfx::Rect& rect, BarStyle style);

} // namespace ui
