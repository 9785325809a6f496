#include "Toolkit/ViewControllerTransitions.h"

namespace ui {

void placeViewNow(View& view, gfx::Point center)
{
    // A new animation of the centre replaces a running one; a zero-length one lands at once.
    // The model must change for the animator to see it, so step aside first when it is already
    // at the target (its running slide would otherwise go on showing).
    if (view.center() == center)
        view.setCenter({center.x + 1, center.y});
    View::beginAnimations();
    View::setAnimationDuration(0);
    view.setCenter(center);
    View::commitAnimations();
}

void slideView(View& view, gfx::Point center, double duration, std::function<void()> done)
{
    View::beginAnimations();
    View::setAnimationDuration(duration);
    View::setAnimationCurve(AnimationCurve::EaseInOut);
    View::setAnimationDidStopCallback([done = std::move(done)](bool) {
        if (done)
            done();
    });
    view.setCenter(center);
    View::commitAnimations();
}

} // namespace ui
