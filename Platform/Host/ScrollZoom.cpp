#include "Host/ScrollZoom.h"

#include <cmath>

#include "Toolkit/Window.h"

namespace host {

namespace {

// HOOK(scroll-view zoom): the toolkit's scroll view is not in the tree yet. Once
// Toolkit/ScrollView.h exists, this becomes:
//     if (auto* scroll = dynamic_cast<ui::ScrollView*>(&view)) {
//         scroll->zoomBy(factor, view.convertPointFromView(windowPoint, nullptr));
//         return true;
//     }
bool zoomIfScrollView(ui::View& view, gfx::Point windowPoint, double factor)
{
    (void)view;
    (void)windowPoint;
    (void)factor;
    return false;
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

} // namespace host
