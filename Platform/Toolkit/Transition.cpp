#include "Toolkit/Transition.h"

#include <algorithm>

#include "Toolkit/View.h"

namespace ui {

void Transition::curl(View& container, const std::shared_ptr<View>& from, const std::shared_ptr<View>& to,
                      CurlDirection direction, double duration, std::function<void()> completion)
{
    View::beginAnimations();
    View::setAnimationDuration(duration);
    View::setAnimationCurve(AnimationCurve::EaseInOut);
    if (completion)
        View::setAnimationDidStopCallback([done = std::move(completion)](bool) { done(); });
    View::setAnimationTransition(
        direction == CurlDirection::Up ? AnimationTransition::CurlUp : AnimationTransition::CurlDown, container);
    const auto& subviews = container.subviews();
    std::size_t index = subviews.size();
    if (from && from->superview() == &container) {
        index = static_cast<std::size_t>(std::find(subviews.begin(), subviews.end(), from) - subviews.begin());
        from->removeFromSuperview();
    }
    if (to)
        container.insertSubviewAt(to, index);
    View::commitAnimations();
}

} // namespace ui
