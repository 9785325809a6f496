#pragma once
// What a navigation bar shows for one screen: a title (or a title view in its place), the bar
// button items on the left and the right, and the back button that the next screen's bar shows
// to come back here. A view controller owns its item; the bar that shows it is told of changes.
#include <memory>
#include <string>

#include "Toolkit/BarButtonItem.h"

namespace ui {

class NavigationBar;

class NavigationItem {
public:
    explicit NavigationItem(std::string title = {});
    ~NavigationItem();
    NavigationItem(const NavigationItem&) = delete;
    NavigationItem& operator=(const NavigationItem&) = delete;

    const std::string& title() const { return m_title; }
    void setTitle(std::string title);
    // Shown centred instead of the title when set.
    const ViewRef& titleView() const { return m_titleView; }
    void setTitleView(ViewRef view);
    const BarButtonItemRef& leftBarButtonItem() const { return m_left; }
    void setLeftBarButtonItem(BarButtonItemRef item);
    const BarButtonItemRef& rightBarButtonItem() const { return m_right; }
    void setRightBarButtonItem(BarButtonItemRef item);
    // The title of the back button that leads here from the next screen: this item's own back
    // title when set, else its title, else "Back".
    const std::string& backButtonTitle() const { return m_backTitle; }
    void setBackButtonTitle(std::string title);
    std::string effectiveBackButtonTitle() const;

private:
    friend class NavigationBar;
    void changed();

    std::string m_title;
    std::string m_backTitle;
    ViewRef m_titleView;
    BarButtonItemRef m_left;
    BarButtonItemRef m_right;
    NavigationBar* m_bar = nullptr; // the bar that holds this item, not owned
};

using NavigationItemRef = std::shared_ptr<NavigationItem>;

} // namespace ui
