#include "Toolkit/NavigationItem.h"

#include "Toolkit/NavigationBar.h"

namespace ui {

NavigationItem::NavigationItem(std::string title) : m_title(std::move(title)) {}

NavigationItem::~NavigationItem() = default;

void NavigationItem::setTitle(std::string title)
{
    if (title == m_title)
        return;
    m_title = std::move(title);
    changed();
}

void NavigationItem::setTitleView(ViewRef view)
{
    if (view == m_titleView)
        return;
    if (m_titleView && m_bar)
        m_titleView->removeFromSuperview();
    m_titleView = std::move(view);
    changed();
}

void NavigationItem::setLeftBarButtonItem(BarButtonItemRef item)
{
    m_left = std::move(item);
    changed();
}

void NavigationItem::setRightBarButtonItem(BarButtonItemRef item)
{
    m_right = std::move(item);
    changed();
}

void NavigationItem::setBackButtonTitle(std::string title)
{
    m_backTitle = std::move(title);
    changed();
}

std::string NavigationItem::effectiveBackButtonTitle() const
{
    if (!m_backTitle.empty())
        return m_backTitle;
    return m_title.empty() ? std::string("Back") : m_title;
}

void NavigationItem::changed()
{
    if (m_bar)
        m_bar->itemDidChange(*this);
}

} // namespace ui
