#include "Toolkit/BarButtonItem.h"

#include <cmath>

#include "Toolkit/BarItemButton.h"

namespace ui {

namespace {
const char* systemItemName(BarButtonSystemItem item)
{
    switch (item) {
    case BarButtonSystemItem::Done: return "Done";
    case BarButtonSystemItem::Cancel: return "Cancel";
    case BarButtonSystemItem::Edit: return "Edit";
    case BarButtonSystemItem::Add: return "Add";
    case BarButtonSystemItem::Action: return "Action";
    case BarButtonSystemItem::FlexibleSpace:
    case BarButtonSystemItem::FixedSpace: break;
    }
    return "";
}

BarItemButton::Look lookFor(const BarButtonItem& item, BarPlacement placement)
{
    bool bordered = placement == BarPlacement::NavigationBar;
    if (const auto& system = item.systemItem()) {
        switch (*system) {
        case BarButtonSystemItem::Action: return BarItemButton::Look::ActionGlyph;
        case BarButtonSystemItem::Add:
            return bordered ? BarItemButton::Look::BorderedAddGlyph : BarItemButton::Look::AddGlyph;
        case BarButtonSystemItem::Done: return BarItemButton::Look::BorderedDone;
        default: return BarItemButton::Look::Bordered;
        }
    }
    if (item.image() && item.style() == BarButtonItemStyle::Plain)
        return BarItemButton::Look::Image;
    return item.style() == BarButtonItemStyle::Done ? BarItemButton::Look::BorderedDone : BarItemButton::Look::Bordered;
}
} // namespace

std::shared_ptr<BarButtonItem> BarButtonItem::withImage(ImageAssetRef image, BarButtonItemStyle style, Action action)
{
    auto item = std::make_shared<BarButtonItem>(Token{});
    item->m_image = std::move(image);
    item->m_style = style;
    item->m_action = std::move(action);
    return item;
}

std::shared_ptr<BarButtonItem> BarButtonItem::withTitle(std::string title, BarButtonItemStyle style, Action action)
{
    auto item = std::make_shared<BarButtonItem>(Token{});
    item->m_title = std::move(title);
    item->m_style = style;
    item->m_action = std::move(action);
    return item;
}

std::shared_ptr<BarButtonItem> BarButtonItem::withSystemItem(BarButtonSystemItem system, Action action)
{
    auto item = std::make_shared<BarButtonItem>(Token{});
    item->m_systemItem = system;
    item->m_title = systemItemName(system);
    item->m_style = system == BarButtonSystemItem::Done ? BarButtonItemStyle::Done : BarButtonItemStyle::Bordered;
    item->m_action = std::move(action);
    return item;
}

std::shared_ptr<BarButtonItem> BarButtonItem::withCustomView(ViewRef view)
{
    auto item = std::make_shared<BarButtonItem>(Token{});
    item->m_customView = std::move(view);
    return item;
}

void BarButtonItem::setWidth(double width)
{
    if (std::isfinite(width) && width >= 0)
        m_width = width;
}

void BarButtonItem::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (auto* button = dynamic_cast<Control*>(m_view.get()))
        button->setEnabled(enabled);
}

std::string BarButtonItem::accessibilityLabel() const
{
    if (!m_accessibilityLabel.empty())
        return m_accessibilityLabel;
    if (!m_title.empty())
        return m_title;
    return m_image ? m_image->spokenName() : std::string();
}

void BarButtonItem::sendAction()
{
    if (!m_enabled || !m_action)
        return;
    auto keepAlive = shared_from_this(); // the action may drop the bar that holds this item
    Action action = m_action;
    action(*this);
}

ViewRef BarButtonItem::itemView(BarStyle style, BarPlacement placement)
{
    if (m_customView)
        return m_customView;
    if (isSpace())
        return nullptr;
    if (!m_view || m_viewStyle != style || m_viewPlacement != placement) {
        if (m_view)
            m_view->removeFromSuperview();
        m_view = makeItemView(style, placement);
        m_viewStyle = style;
        m_viewPlacement = placement;
    }
    return m_view;
}

ViewRef BarButtonItem::makeItemView(BarStyle style, BarPlacement placement)
{
    BarItemButton::Look look = lookFor(*this, placement);
    auto button = std::make_shared<BarItemButton>(look, style);
    if (look == BarItemButton::Look::Image)
        button->setImage(m_image, ControlState::Normal);
    else if (look == BarItemButton::Look::Bordered || look == BarItemButton::Look::BorderedDone)
        button->setTitle(m_title, ControlState::Normal);
    button->setEnabled(m_enabled);
    button->setAccessibilityLabel(accessibilityLabel());
    // The button belongs to the item; a weak reference avoids a cycle through the action.
    std::weak_ptr<BarButtonItem> weak = weak_from_this();
    button->addTarget(ControlEvent::TouchUpInside, [weak](Control&) {
        if (auto item = weak.lock())
            item->sendAction();
    });
    return button;
}

double BarButtonItem::naturalWidth(BarStyle style, BarPlacement placement)
{
    if (m_width > 0 || isSpace())
        return m_width;
    if (m_customView)
        return m_customView->frame().width();
    ViewRef view = itemView(style, placement);
    return static_cast<BarItemButton&>(*view).naturalWidth();
}

} // namespace ui
