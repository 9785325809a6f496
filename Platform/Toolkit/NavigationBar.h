#pragma once
// A bar along the top of a screen that shows a stack of navigation items: the top item's title
// (or title view) in the middle, its left and right bar button items at the sides, and, when
// there is an item below it and no left item, a back button titled after that item. Pushing and
// popping items slides and fades the contents. A navigation controller keeps a bar in step with
// its screens; a screen may also hold a bar of its own with one pushed item.
#include <vector>

#include "Toolkit/BarButtonItem.h"
#include "Toolkit/NavigationItem.h"
#include "Toolkit/View.h"

namespace ui {

class NavigationBar;
class BarItemButton;

class NavigationBarDelegate {
public:
    // The back button was tapped: the delegate goes back (a navigation controller pops a screen).
    virtual void navigationBarBackButtonTapped(NavigationBar& bar) = 0;

protected:
    ~NavigationBarDelegate() = default;
};

class NavigationBar : public View {
public:
    static constexpr double kHeight = 44;

    explicit NavigationBar(const gfx::Rect& frame = {0, 0, 320, kHeight});
    ~NavigationBar() override;

    BarStyle barStyle() const { return m_barStyle; }
    void setBarStyle(BarStyle style);
    // Without a delegate the back button pops the top item.
    NavigationBarDelegate* delegate() const { return m_delegate; }
    void setDelegate(NavigationBarDelegate* delegate) { m_delegate = delegate; }

    const std::vector<NavigationItemRef>& items() const { return m_items; }
    NavigationItem* topItem() const { return m_items.empty() ? nullptr : m_items.back().get(); }
    NavigationItem* backItem() const { return m_items.size() < 2 ? nullptr : m_items[m_items.size() - 2].get(); }
    // An item already on a bar is refused.
    void pushNavigationItem(NavigationItemRef item, bool animated);
    // The popped item, or nullptr when there is no item to pop.
    NavigationItemRef popNavigationItemAnimated(bool animated);

    // The views showing the top item now (nullptr where there is none).
    View* leftView() const { return m_shown.left.get(); }
    View* titleView() const { return m_shown.title.get(); }
    View* rightView() const { return m_shown.right.get(); }

    void layoutSubviews() override;
    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

private:
    friend class NavigationItem;
    struct Shown {
        ViewRef left, title, right;
        BarButtonItemRef leftItem, rightItem; // nullptr for the back button and the title
    };
    void itemDidChange(NavigationItem& item);
    void backButtonTapped();
    // Replaces the shown views with the top item's: sliding in from the right (direction 1),
    // from the left (-1), or in place (0).
    void showTopItem(int direction, bool animated);
    Shown makeShownViews(NavigationItem& item);
    ViewRef makeBackButton(const std::string& title);
    ViewRef makeTitleLabel(const std::string& title);
    double widthOf(const View& view, const BarButtonItemRef& item);
    void layoutShown(const Shown& shown);
    bool isShown(const View* view) const;

    std::vector<NavigationItemRef> m_items;
    Shown m_shown;
    BarStyle m_barStyle = BarStyle::Default;
    NavigationBarDelegate* m_delegate = nullptr;
};

} // namespace ui
