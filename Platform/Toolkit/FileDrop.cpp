#include "Toolkit/FileDrop.h"

#include "Toolkit/Window.h"

namespace ui {
namespace {

// Depth first, front-most (last) subview first, skipping what is not shown.
bool offerTo(View& view, const std::string& path)
{
    if (view.isHidden() || view.alpha() < 0.01)
        return false;
    const auto subviews = view.subviews(); // a target may change the tree
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it)
        if (offerTo(**it, path))
            return true;
    auto* target = dynamic_cast<FileDropTarget*>(&view);
    return target && target->dropFile(path);
}

} // namespace

bool deliverFileDrop(Window& window, const std::string& path) { return offerTo(window, path); }

} // namespace ui
