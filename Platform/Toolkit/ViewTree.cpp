// The view tree: adding, ordering and removing subviews, and finding views in it.
#include <algorithm>

#include "Foundation/Assert.h"
#include "Toolkit/View.h"
#include "Toolkit/ViewController.h"
#include "Toolkit/Window.h"

namespace ui {

Window* View::window() const
{
    const View* root = this;
    while (root->m_superview)
        root = root->m_superview;
    return dynamic_cast<Window*>(const_cast<View*>(root));
}

std::size_t View::indexOfSubview(const View* view) const
{
    auto it = std::find_if(m_subviews.begin(), m_subviews.end(), [view](const ViewRef& v) { return v.get() == view; });
    return static_cast<std::size_t>(it - m_subviews.begin());
}

bool View::isDescendantOfView(const View* view) const
{
    for (const View* v = this; v; v = v->m_superview) {
        if (v == view)
            return true;
    }
    return false;
}

void View::attach(const std::shared_ptr<View>& view, std::size_t index)
{
    KANVARO_ASSERT(view && !isDescendantOfView(view.get()));
    ViewRef keep = view; // the old superview may hold the last reference
    if (view->m_superview == this) {
        std::size_t old = indexOfSubview(view.get());
        if (old < index)
            --index;
    }
    view->removeFromSuperview();
    index = std::min(index, m_subviews.size());
    m_subviews.insert(m_subviews.begin() + static_cast<std::ptrdiff_t>(index), view);
    view->m_superview = this;
    view->didMoveToSuperview();
    view->notifyMovedToWindow();
    view->invalidateFootprint();
}

void View::addSubview(const std::shared_ptr<View>& view) { attach(view, m_subviews.size()); }

void View::insertSubviewAt(const std::shared_ptr<View>& view, std::size_t index) { attach(view, index); }

void View::insertSubviewAbove(const std::shared_ptr<View>& view, const View* sibling)
{
    std::size_t i = indexOfSubview(sibling);
    attach(view, i < m_subviews.size() ? i + 1 : m_subviews.size());
}

void View::insertSubviewBelow(const std::shared_ptr<View>& view, const View* sibling)
{
    std::size_t i = indexOfSubview(sibling);
    attach(view, i < m_subviews.size() ? i : m_subviews.size());
}

void View::detachChild(const View* view)
{
    std::size_t i = indexOfSubview(view);
    if (i < m_subviews.size())
        m_subviews.erase(m_subviews.begin() + static_cast<std::ptrdiff_t>(i));
}

void View::removeFromSuperview()
{
    if (!m_superview)
        return;
    invalidateFootprint();
    auto keepAlive = shared_from_this(); // the superview may hold the only reference
    m_superview->detachChild(this);
    m_superview = nullptr;
    didMoveToSuperview();
    notifyMovedToWindow();
}

void View::notifyMovedToWindow()
{
    didMoveToWindow();
    // A controller's view entering or leaving a window makes the controller appear or disappear.
    if (m_viewController)
        m_viewController->viewDidMoveToWindow(window() != nullptr);
    for (std::size_t i = 0; i < m_subviews.size(); ++i)
        m_subviews[i]->notifyMovedToWindow();
}

void View::bringSubviewToFront(const View* view)
{
    std::size_t i = indexOfSubview(view);
    if (i >= m_subviews.size())
        return;
    std::rotate(m_subviews.begin() + static_cast<std::ptrdiff_t>(i),
                m_subviews.begin() + static_cast<std::ptrdiff_t>(i) + 1, m_subviews.end());
    m_subviews.back()->invalidateFootprint();
}

void View::sendSubviewToBack(const View* view)
{
    std::size_t i = indexOfSubview(view);
    if (i >= m_subviews.size())
        return;
    std::rotate(m_subviews.begin(), m_subviews.begin() + static_cast<std::ptrdiff_t>(i),
                m_subviews.begin() + static_cast<std::ptrdiff_t>(i) + 1);
    m_subviews.front()->invalidateFootprint();
}

View* View::viewWithTag(int tag)
{
    if (m_tag == tag)
        return this;
    for (auto& sub : m_subviews) {
        if (View* found = sub->viewWithTag(tag))
            return found;
    }
    return nullptr;
}

} // namespace ui
