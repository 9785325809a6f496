#pragma once
// An item of a toolbar (or navigation bar): an image, a title, a system item, a custom view or a
// flexible or fixed space, with an action run when it is tapped. The bar asks the item for the
// view that shows it (itemView); that view carries the item's accessibility label: the system
// item's name ("Action", "Add", "Edit", "Done", "Cancel"), else the title, else the image's name.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Toolkit/ImageAsset.h"
#include "Toolkit/View.h"

namespace ui {

// With the platform's values.
enum class BarButtonSystemItem {
    Done = 0,
    Cancel = 1,
    Edit = 2,
    Add = 4,
    FlexibleSpace = 5,
    FixedSpace = 6,
    Action = 9
};
enum class BarButtonItemStyle { Plain = 0, Bordered = 1, Done = 2 };
enum class BarStyle { Default = 0, Black = 1, BlackTranslucent = 2 };
// Where an item is shown: navigation bars draw system items such as Add on a bordered capsule.
enum class BarPlacement { Toolbar, NavigationBar };

class BarButtonItem : public std::enable_shared_from_this<BarButtonItem> {
public:
    using Action = std::function<void(BarButtonItem& sender)>;

    static std::shared_ptr<BarButtonItem> withImage(ImageAssetRef image, BarButtonItemStyle style, Action action);
    static std::shared_ptr<BarButtonItem> withTitle(std::string title, BarButtonItemStyle style, Action action);
    static std::shared_ptr<BarButtonItem> withSystemItem(BarButtonSystemItem item, Action action);
    static std::shared_ptr<BarButtonItem> withCustomView(ViewRef view);

    BarButtonItemStyle style() const { return m_style; }
    const ImageAssetRef& image() const { return m_image; }
    const std::string& title() const { return m_title; }
    const std::optional<BarButtonSystemItem>& systemItem() const { return m_systemItem; }
    const ViewRef& customView() const { return m_customView; }
    bool isFlexibleSpace() const { return m_systemItem == BarButtonSystemItem::FlexibleSpace; }
    bool isSpace() const { return isFlexibleSpace() || m_systemItem == BarButtonSystemItem::FixedSpace; }

    // Width of a fixed space, or of any item when above 0; 0 means the item's natural width.
    double width() const { return m_width; }
    void setWidth(double width);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    std::string accessibilityLabel() const;
    void setAccessibilityLabel(std::string label) { m_accessibilityLabel = std::move(label); }

    // Runs the action (as a tap does).
    void sendAction();
    // The view that shows the item in a bar of `style`, made on first use and remade when the
    // style or placement changes (nullptr for spaces).
    ViewRef itemView(BarStyle style, BarPlacement placement = BarPlacement::Toolbar);
    // The width the item takes in a bar of `style`.
    double naturalWidth(BarStyle style, BarPlacement placement = BarPlacement::Toolbar);

private:
    struct Token {}; // only the factories make items
public:
    explicit BarButtonItem(Token) {}

private:
    ViewRef makeItemView(BarStyle style, BarPlacement placement);

    BarButtonItemStyle m_style = BarButtonItemStyle::Plain;
    ImageAssetRef m_image;
    std::string m_title;
    std::optional<BarButtonSystemItem> m_systemItem;
    ViewRef m_customView;
    ViewRef m_view;
    BarStyle m_viewStyle = BarStyle::Default; // the bar style m_view was made for
    BarPlacement m_viewPlacement = BarPlacement::Toolbar;
    Action m_action;
    double m_width = 0;
    bool m_enabled = true;
    int m_tag = 0;
    std::string m_accessibilityLabel;
};

using BarButtonItemRef = std::shared_ptr<BarButtonItem>;

} // namespace ui
