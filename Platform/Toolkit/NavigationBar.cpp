#include "Toolkit/NavigationBar.h"

#include <algorithm>

#include "Foundation/Log.h"
#include "Toolkit/BarItemButton.h"
#include "Toolkit/Label.h"
#include "Toolkit/NavigationBarDrawing.h"
#include "Toolkit/ViewControllerTransitions.h"

namespace ui {

namespace {
constexpr double kBarMargin = 5;
constexpr double kBarTitleFontSize = 20;
constexpr double kSlideFraction = 0.4; // of the bar's width, for contents sliding in or out

void addIfAny(std::vector<ViewRef>& views, const ViewRef& view)
{
    if (view)
        views.push_back(view);
}

std::vector<ViewRef> viewsOf(const ViewRef& left, const ViewRef& title, const ViewRef& right)
{
    std::vector<ViewRef> views;
    addIfAny(views, left);
    addIfAny(views, title);
    addIfAny(views, right);
    return views;
}
} // namespace

NavigationBar::NavigationBar(const gfx::Rect& frame) : View(frame) { setOpaque(false); }

NavigationBar::~NavigationBar()
{
    for (const auto& item : m_items) {
        if (item->m_bar == this)
            item->m_bar = nullptr;
    }
}

void NavigationBar::setBarStyle(BarStyle style)
{
    if (style == m_barStyle)
        return;
    m_barStyle = style;
    showTopItem(0, false); // bar buttons take their look from the bar style
    setNeedsDisplay();
}

void NavigationBar::pushNavigationItem(NavigationItemRef item, bool animated)
{
    if (!item || item->m_bar) {
        fnd::log("NavigationBar: an item that is already on a bar cannot be pushed");
        return;
    }
    item->m_bar = this;
    m_items.push_back(std::move(item));
    showTopItem(1, animated);
}

NavigationItemRef NavigationBar::popNavigationItemAnimated(bool animated)
{
    if (m_items.empty())
        return nullptr;
    NavigationItemRef popped = std::move(m_items.back());
    m_items.pop_back();
    popped->m_bar = nullptr;
    showTopItem(-1, animated);
    return popped;
}

void NavigationBar::itemDidChange(NavigationItem& item)
{
    if (&item == topItem() || &item == backItem())
        showTopItem(0, false);
}

void NavigationBar::backButtonTapped()
{
    if (m_delegate)
        m_delegate->navigationBarBackButtonTapped(*this);
    else if (m_items.size() > 1)
        popNavigationItemAnimated(true);
}

ViewRef NavigationBar::makeBackButton(const std::string& title)
{
    auto button = std::make_shared<BarItemButton>(BarItemButton::Look::Back, m_barStyle);
    button->setTitle(title, ControlState::Normal);
    button->setAccessibilityLabel(title);
    std::weak_ptr<View> weakBar = weak_from_this();
    button->addTarget(ControlEvent::TouchUpInside, [weakBar](Control&) {
        if (auto bar = weakBar.lock())
            static_cast<NavigationBar&>(*bar).backButtonTapped();
    });
    return button;
}

ViewRef NavigationBar::makeTitleLabel(const std::string& title)
{
    auto label = std::make_shared<Label>();
    label->setText(title);
    label->setAccessibilityLabel(title); // found by what it reads, as the bar's buttons are
    label->setFont(Font::boldSystemFont(kBarTitleFontSize));
    label->setTextColor(gfx::Color::white());
    label->setShadowColor(gfx::Color::black().withAlpha(0.6f));
    label->setShadowOffset({0, -1});
    label->setTextAlignment(TextAlignment::Center);
    label->setBackgroundColor(std::nullopt);
    label->setOpaque(false);
    return label;
}

NavigationBar::Shown NavigationBar::makeShownViews(NavigationItem& item)
{
    Shown shown;
    if ((shown.leftItem = item.leftBarButtonItem()))
        shown.left = shown.leftItem->itemView(m_barStyle, BarPlacement::NavigationBar);
    else if (NavigationItem* back = backItem())
        shown.left = makeBackButton(back->effectiveBackButtonTitle());
    if ((shown.rightItem = item.rightBarButtonItem()))
        shown.right = shown.rightItem->itemView(m_barStyle, BarPlacement::NavigationBar);
    shown.title = item.titleView() ? item.titleView() : makeTitleLabel(item.title());
    return shown;
}

bool NavigationBar::isShown(const View* view) const
{
    return view && (view == m_shown.left.get() || view == m_shown.title.get() || view == m_shown.right.get());
}

void NavigationBar::showTopItem(int direction, bool animated)
{
    std::vector<ViewRef> leaving = viewsOf(m_shown.left, m_shown.title, m_shown.right);
    m_shown = topItem() ? makeShownViews(*topItem()) : Shown{};
    std::vector<ViewRef> coming = viewsOf(m_shown.left, m_shown.title, m_shown.right);
    std::erase_if(leaving, [this](const ViewRef& v) { return isShown(v.get()); });
    for (const auto& view : coming)
        addSubview(view);
    layoutShown(m_shown);
    if (!animated || direction == 0 || !window()) {
        for (const auto& view : leaving)
            view->removeFromSuperview();
        for (const auto& view : coming)
            settleViewNow(*view); // it may be fading out from an earlier change
        return;
    }
    slideItemViews(leaving, coming, bounds().width() * kSlideFraction * direction);
}

void NavigationBar::slideItemViews(const std::vector<ViewRef>& leaving, const std::vector<ViewRef>& coming,
                                   double shift)
{
    for (const auto& view : coming) {
        gfx::Point target = view->center();
        view->setAlpha(0);
        placeViewNow(*view, {target.x + shift, target.y});
    }
    View::beginAnimations();
    View::setAnimationDuration(kNavigationSlideDuration);
    std::weak_ptr<View> weakBar = weak_from_this();
    View::setAnimationDidStopCallback([weakBar, leaving](bool) {
        auto bar = weakBar.lock();
        if (!bar)
            return;
        for (const auto& view : leaving) {
            // A view shown again meanwhile (the same item pushed back) stays.
            if (view->superview() == bar.get() && !static_cast<NavigationBar&>(*bar).isShown(view.get()))
                view->removeFromSuperview();
        }
    });
    for (const auto& view : leaving) {
        view->setAlpha(0);
        view->setCenter({view->center().x - shift, view->center().y});
    }
    for (const auto& view : coming) {
        view->setAlpha(1);
        view->setCenter({view->center().x - shift, view->center().y});
    }
    View::commitAnimations();
}

double NavigationBar::widthOf(const View& view, const BarButtonItemRef& item)
{
    if (item)
        return item->naturalWidth(m_barStyle, BarPlacement::NavigationBar);
    if (auto* button = dynamic_cast<const BarItemButton*>(&view))
        return const_cast<BarItemButton*>(button)->naturalWidth();
    return view.frame().width();
}

void NavigationBar::layoutShown(const Shown& shown)
{
    gfx::Rect b = bounds();
    auto place = [&](View& view, double x, double width) {
        bool bordered = dynamic_cast<const BarItemButton*>(&view) != nullptr;
        double height = bordered ? BarItemButton::kBorderedHeight : std::min(view.frame().height(), b.height());
        view.setFrame({x, b.midY() - height / 2, width, height});
    };
    double leftEnd = b.minX() + kBarMargin, rightStart = b.maxX() - kBarMargin;
    if (shown.left) {
        double width = widthOf(*shown.left, shown.leftItem);
        place(*shown.left, b.minX() + kBarMargin, width);
        leftEnd += width + kBarMargin;
    }
    if (shown.right) {
        double width = widthOf(*shown.right, shown.rightItem);
        place(*shown.right, b.maxX() - kBarMargin - width, width);
        rightStart -= width + kBarMargin;
    }
    if (!shown.title)
        return;
    // Centred on the bar, pushed aside where a button is in the way, shortened when need be.
    double available = std::max(0.0, rightStart - leftEnd);
    auto* label = dynamic_cast<Label*>(shown.title.get());
    double wanted = label ? label->sizeThatFits({}).width : shown.title->frame().width();
    double width = std::min(wanted, available);
    double x = std::clamp(b.midX() - width / 2, leftEnd, std::max(leftEnd, rightStart - width));
    double height = label ? b.height() : std::min(shown.title->frame().height(), b.height());
    shown.title->setFrame({x, b.midY() - height / 2, width, height});
}

void NavigationBar::layoutSubviews() { layoutShown(m_shown); }

void NavigationBar::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/)
{
    drawNavigationBarBackground(context, bounds(), m_barStyle);
}

} // namespace ui
