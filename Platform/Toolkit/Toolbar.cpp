#include "Toolkit/Toolbar.h"

#include <algorithm>

#include "Toolkit/BarItemButton.h"
#include "Toolkit/ControlDrawing.h"

namespace ui {

namespace {
constexpr double kEdgeMargin = 6;
constexpr double kDefaultWidth = 320;

// Height an item view gets: bordered capsules and custom views keep their own height.
double itemHeight(const BarButtonItem& item, const View& view, double barHeight)
{
    if (item.customView())
        return std::min(view.frame().height(), barHeight);
    if (auto* button = dynamic_cast<const BarItemButton*>(&view)) {
        if (button->look() == BarItemButton::Look::Bordered || button->look() == BarItemButton::Look::BorderedDone)
            return BarItemButton::kBorderedHeight;
    }
    return barHeight;
}
} // namespace

Toolbar::Toolbar(const gfx::Rect& frame) : View(frame) { setOpaque(false); }

void Toolbar::setBarStyle(BarStyle style)
{
    m_barStyle = style;
    // Item views take their look from the bar style when made.
    setItems(std::vector<BarButtonItemRef>(m_items));
    setNeedsDisplay();
}

void Toolbar::setItems(std::vector<BarButtonItemRef> items)
{
    for (const auto& view : m_itemViews)
        view->removeFromSuperview();
    m_itemViews.clear();
    m_items = std::move(items);
    std::erase(m_items, nullptr);
    for (const auto& item : m_items) {
        if (ViewRef view = item->itemView(m_barStyle)) {
            addSubview(view);
            m_itemViews.push_back(view);
        }
    }
    setNeedsLayout();
    setNeedsDisplay();
}

gfx::Size Toolbar::sizeThatFits(gfx::Size size) const { return {size.width > 0 ? size.width : kDefaultWidth, kHeight}; }

void Toolbar::sizeToFit()
{
    gfx::Rect f = frame();
    gfx::Size size = sizeThatFits(f.size);
    setFrame({f.origin, size});
}

void Toolbar::layoutSubviews()
{
    gfx::Rect b = bounds();
    double fixed = 0;
    int flexible = 0;
    for (const auto& item : m_items) {
        if (item->isFlexibleSpace())
            ++flexible;
        else
            fixed += item->naturalWidth(m_barStyle);
    }
    double spare = std::max(0.0, b.width() - 2 * kEdgeMargin - fixed);
    double flexibleWidth = flexible > 0 ? spare / flexible : 0;
    // Without flexible spaces the items are centred.
    double x = b.minX() + kEdgeMargin + (flexible > 0 ? 0 : spare / 2);
    for (const auto& item : m_items) {
        double width = item->isFlexibleSpace() ? flexibleWidth : item->naturalWidth(m_barStyle);
        if (ViewRef view = item->itemView(m_barStyle)) {
            double height = itemHeight(*item, *view, b.height());
            view->setFrame({x, b.midY() - height / 2, width, height});
        }
        x += width;
    }
}

void Toolbar::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/)
{
    drawBarBackground(context, bounds(), m_barStyle);
}

void drawBarBackground(gfx::BitmapContext& context, const gfx::Rect& rect, BarStyle style)
{
    GlossColors colors;
    switch (style) {
    case BarStyle::Default: colors = {{0.69f, 0.74f, 0.8f, 1}, {0.5f, 0.57f, 0.66f, 1}, {0.43f, 0.5f, 0.59f, 1}}; break;
    case BarStyle::Black: colors = {{0.3f, 0.3f, 0.3f, 1}, {0.1f, 0.1f, 0.1f, 1}, {0, 0, 0, 1}}; break;
    case BarStyle::BlackTranslucent:
        colors = {{0.3f, 0.3f, 0.3f, 0.6f}, {0.1f, 0.1f, 0.1f, 0.6f}, {0, 0, 0, 0.6f}};
        break;
    }
    fillGlossyRect(context, rect, 0, colors);
    // A dark line along the top edge separates the bar from what lies above.
    context.setFillColor(gfx::Color::black().withAlpha(0.8f));
    context.fillRect({rect.minX(), rect.minY(), rect.width(), 1});
}

} // namespace ui
