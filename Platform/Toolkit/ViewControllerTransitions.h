#pragma once
// Small pieces shared by the sliding changes of screens (navigation push and pop, modal
// presentation, the navigation bar's items).
#include <functional>

#include "Toolkit/View.h"

namespace ui {

// The slide of a push or pop.
constexpr double kNavigationSlideDuration = 0.35;

// Puts the view's centre at `center` at once, also ending a slide that is still moving it.
void placeViewNow(View& view, gfx::Point center);
// Moves the view's centre to `center` over `duration` (ease in and out) and runs `done` at the
// end: from a run-loop timer, also when the slide was cut short.
void slideView(View& view, gfx::Point center, double duration, std::function<void()> done);

} // namespace ui
