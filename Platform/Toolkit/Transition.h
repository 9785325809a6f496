#pragma once
// Page-curl transitions between two subviews of a container, as one call. The same effect is
// available inside an animation block through View::setAnimationTransition(), where any change
// made to the container's subviews in the block is revealed by the curl.
#include <functional>
#include <memory>

namespace ui {

class View;

enum class CurlDirection { Up, Down };

class Transition {
public:
    // Replaces `from` (when given and a subview of `container`) by `to` (when given) at the same
    // place in the subview order, and curls between the two looks over `duration` seconds.
    // `completion` runs when the curl has finished.
    static void curl(View& container, const std::shared_ptr<View>& from, const std::shared_ptr<View>& to,
                     CurlDirection direction, double duration = 0.75, std::function<void()> completion = {});
};

} // namespace ui
