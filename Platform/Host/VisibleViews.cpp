#include "Host/VisibleViews.h"

#include <algorithm>

#include "Toolkit/AlertView.h"
#include "Toolkit/ScrollView.h"
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

// A label ending in "*" stands for every label that starts with what comes before it (scripts
// name paintings whose titles hold the time they were made).
bool labelMatches(const std::string& viewLabel, const std::string& label)
{
    if (!label.empty() && label.back() == '*')
        return !viewLabel.empty() && viewLabel.compare(0, label.size() - 1, label, 0, label.size() - 1) == 0;
    return viewLabel == label;
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
    if (labelMatches(view.accessibilityLabel(), label) && !onScreenPart(view, window).isEmpty())
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

bool isWhollyOnScreen(const ui::View& view, const ui::Window& window)
{
    constexpr double kTolerance = 0.5; // points: rounding in the placement of rows and cells
    const gfx::Rect whole = view.convertRectToView(view.bounds(), nullptr);
    const gfx::Rect part = onScreenPart(view, window);
    return !part.isEmpty() && part.width() >= whole.width() - kTolerance
           && part.height() >= whole.height() - kTolerance;
}

gfx::Point tapPointOf(const ui::View& view, const ui::Window& window)
{
    gfx::Rect part = onScreenPart(view, window);
    return {part.midX(), part.midY()};
}

} // namespace host

namespace host {

namespace {

// Every view of the tree, front-most first (the reverse of drawing order).
template <typename Visit> bool visitFrontToBack(ui::View& view, Visit&& visit)
{
    const auto& children = view.subviews();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (visitFrontToBack(**it, visit))
            return true;
    }
    return visit(view);
}

const std::string& alertName(const ui::AlertView& alert)
{
    return alert.title().empty() ? alert.message() : alert.title();
}

std::vector<ui::AlertView*> showingAlerts(ui::Window& window)
{
    std::vector<ui::AlertView*> alerts;
    visitFrontToBack(window, [&](ui::View& view) {
        auto* alert = dynamic_cast<ui::AlertView*>(&view);
        if (alert && alert->isVisible() && isVisibleInWindow(*alert, window))
            alerts.push_back(alert);
        return false;
    });
    return alerts;
}

// The front-most visible scroll view with more content than it shows, or nullptr.
ui::ScrollView* frontScrollableView(ui::Window& window)
{
    ui::ScrollView* found = nullptr;
    visitFrontToBack(window, [&](ui::View& view) {
        auto* scroll = dynamic_cast<ui::ScrollView*>(&view);
        if (!scroll || !scroll->isScrollEnabled() || !isVisibleInWindow(*scroll, window))
            return false;
        const ui::EdgeInsets inset = scroll->adjustedContentInset();
        if (scroll->contentSize().height + inset.top + inset.bottom <= scroll->bounds().height())
            return false;
        found = scroll;
        return true;
    });
    return found;
}

void scrollTo(ui::ScrollView& scroll, double y)
{
    scroll.setContentOffset({scroll.contentOffset().x, y});
    scroll.setNeedsLayout();
    scroll.layoutIfNeeded(); // rows and cells that scroll in are made in layout
}

} // namespace

bool isReachable(ui::View& view, ui::Window& window)
{
    gfx::Point point = tapPointOf(view, window);
    ui::View* hit = window.hitTest(point);
    return hit && (hit == &view || hit->isDescendantOfView(&view) || view.isDescendantOfView(hit));
}

ui::View* revealView(ui::Window& window, const std::string& label, const std::function<void()>& settle)
{
    if (ui::View* view = findVisibleView(window, label))
        return view;
    ui::ScrollView* scroll = frontScrollableView(window);
    if (!scroll)
        return nullptr;
    const ui::EdgeInsets inset = scroll->adjustedContentInset();
    const double page = std::max(1.0, scroll->bounds().height() - inset.top - inset.bottom);
    const double top = -inset.top;
    const double bottom = std::max(top, scroll->contentSize().height + inset.bottom - scroll->bounds().height());
    const gfx::Point start = scroll->contentOffset();
    constexpr int kMaxPages = 10000;
    double y = top;
    for (int pages = 0; pages < kMaxPages; ++pages, y = std::min(bottom, y + page)) {
        scrollTo(*scroll, y);
        if (settle)
            settle();
        if (ui::View* view = findVisibleView(window, label))
            return view;
        if (y >= bottom)
            break;
    }
    scrollTo(*scroll, start.y); // not there: leave the list as it was
    return nullptr;
}

ui::AlertView* findShowingAlert(ui::Window& window, const std::string& title)
{
    for (ui::AlertView* alert : showingAlerts(window)) {
        const std::string& message = alert->message();
        if (alertName(*alert) == title || message == title || message.substr(0, message.find('\n')) == title)
            return alert;
    }
    return nullptr;
}

std::vector<std::string> showingAlertTitles(ui::Window& window)
{
    std::vector<std::string> titles;
    for (ui::AlertView* alert : showingAlerts(window))
        titles.push_back(alertName(*alert));
    return titles;
}

} // namespace host
