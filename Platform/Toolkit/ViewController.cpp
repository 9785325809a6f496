#include "Toolkit/ViewController.h"

#include "Toolkit/View.h"

namespace ui {

ViewController::~ViewController()
{
    if (m_view && m_view->m_viewController == this)
        m_view->m_viewController = nullptr;
}

View* ViewController::view()
{
    return viewRef().get();
}

const std::shared_ptr<View>& ViewController::viewRef()
{
    if (!m_view) {
        loadView();
        if (!m_view)
            setView(std::make_shared<View>(gfx::Rect {0, 0, 320, 480}));
        viewDidLoad();
    }
    return m_view;
}

void ViewController::setView(std::shared_ptr<View> view)
{
    if (m_view && m_view->m_viewController == this)
        m_view->m_viewController = nullptr;
    m_view = std::move(view);
    if (m_view)
        m_view->m_viewController = this;
}

void ViewController::loadView()
{
    setView(std::make_shared<View>(gfx::Rect {0, 0, 320, 480}));
}

Responder* ViewController::nextResponder() const
{
    return m_view ? m_view->superview() : nullptr;
}

} // namespace ui
