// Key delivery: keys go to what a person is looking at, the panel or screen in front.
#include "Toolkit/ModalPanel.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/Window.h"

namespace ui {

namespace {
// Presentations and navigation stacks nest only a few deep; the bound keeps a cycle finite.
constexpr int kMaxControllerDepth = 64;

ViewController* frontController(ViewController& root)
{
    ViewController* front = &root;
    for (int depth = 0; depth < kMaxControllerDepth; ++depth) {
        if (ViewController* presented = front->modalViewController()) {
            front = presented;
            continue;
        }
        auto* navigation = dynamic_cast<NavigationController*>(front);
        if (!navigation || !navigation->topViewController())
            break;
        front = navigation->topViewController();
    }
    return front;
}
} // namespace

Responder* Window::keyResponder() const
{
    const auto& views = subviews();
    for (auto it = views.rbegin(); it != views.rend(); ++it) {
        View& view = **it;
        if (auto* panel = dynamic_cast<ModalPanel*>(&view))
            return panel;
        if (view.isHidden() || view.alpha() <= 0)
            continue;
        if (ViewController* controller = view.viewController())
            return frontController(*controller);
    }
    return nullptr;
}

bool Window::sendKey(const KeyEvent& event)
{
    // The responders may take panels and screens out of the tree while they handle the key.
    const std::vector<std::shared_ptr<View>> keepAlive = subviews();
    Responder* responder = keyResponder();
    if (!responder)
        return false;
    return event.down ? responder->keyDown(event) : responder->keyUp(event);
}

} // namespace ui
