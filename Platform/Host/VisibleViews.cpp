#include "Host/VisibleViews.h"

#include "Toolkit/View.h"
#include "Toolkit/Window.h"

namespace host {

namespace {

// The view's area in window coordinates, cut by the window and by every clipping ancestor (a
// row scrolled out of a clipping scroll view is not on screen).
gfx::Rect onScreenPart(const ui::View& view, const ui::Window& window)
{
    gfx::Rect part = view.convertRectToView(view.bounds(), nullptr).intersected(window.bounds());
    for (const ui::View* v = view.superview(); v && !part.isEmpty(); v = v->superview()) {
        if (v->clipsToBounds())
            part = part.intersected(v->convertRectToView(v->bounds(), nullptr));
    }
    return part;
}

// Children are drawn above their parent and later siblings above earlier ones, so walking the
// reverse of drawing order meets the front-most match first.
ui::View* findFrontMost(ui::View& view, const ui::Window& window, const std::string& label)
{
    if (view.isHidden() || !(view.alpha() > 0))
        return nullptr;
    const auto& children = view.subviews();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (ui::View* found = findFrontMost(**it, window, label))
            return found;
    }
    if (view.accessibilityLabel() == label && !onScreenPart(view, window).isEmpty())
        return &view;
    return nullptr;
}

} // namespace

bool isVisibleInWindow(const ui::View& view, const ui::Window& window)
{
    if (view.window() != &window)
        return false;
    for (const ui::View* v = &view; v; v = v->superview()) {
        if (v->isHidden() || !(v->alpha() > 0))
            return false;
    }
    return !onScreenPart(view, window).isEmpty();
}

ui::View* findVisibleView(ui::Window& window, const std::string& label)
{
    if (label.empty())
        return nullptr;
    return findFrontMost(window, window, label);
}

gfx::Point tapPointOf(const ui::View& view, const ui::Window& window)
{
    gfx::Rect part = onScreenPart(view, window);
    return {part.midX(), part.midY()};
}

} // namespace host
