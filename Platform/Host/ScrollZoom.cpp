#include "Host/ScrollZoom.h"

#include <cmath>

#include "Toolkit/ScrollView.h"
#include "Toolkit/Window.h"

namespace host {

namespace {

// Scroll views take the zoom in their own coordinates.
bool zoomIfScrollView(ui::View& view, gfx::Point windowPoint, double factor)
{
    auto* scroll = dynamic_cast<ui::ScrollView*>(&view);
    if (!scroll)
        return false;
    scroll->zoomBy(factor, scroll->convertPointFromView(windowPoint, nullptr));
    return true;
}

} // namespace

bool zoomScrollViewAt(ui::Window& window, gfx::Point windowPoint, double factor)
{
    if (!std::isfinite(factor) || !(factor > 0) || !window.bounds().contains(windowPoint))
        return false;
    for (ui::View* view = window.hitTest(windowPoint); view; view = view->superview()) {
        if (zoomIfScrollView(*view, windowPoint, factor))
            return true;
    }
    return false;
}

bool scrollScrollViewAt(ui::Window& window, gfx::Point windowPoint, double dy)
{
    if (!std::isfinite(dy) || !window.bounds().contains(windowPoint))
        return false;
    for (ui::View* view = window.hitTest(windowPoint); view; view = view->superview()) {
        auto* scroll = dynamic_cast<ui::ScrollView*>(view);
        if (scroll && scroll->isScrollEnabled()) {
            scroll->scrollBy({0, dy});
            return true;
        }
    }
    return false;
}

} // namespace host
