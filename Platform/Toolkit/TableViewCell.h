#pragma once
// One row of a table view. The cell shows a text label and an image on its left inside its
// content view, and an optional checkmark on the right; subclasses add their own views to the
// content view and lay them out in layoutSubviews() after calling the base version.
//
// The table dequeues cells by reuse identifier and sets their frame, so a cell may be made with a
// zero frame. A reused cell keeps whatever was set on it (text, image, accessory, the content
// view's transform) until it is set again; only its selection is cleared when the table hands it
// out. The content view keeps its own transform: layout sets its bounds and centre only.
//
// The cell's accessibility label follows its text unless the cell was given a label of its own,
// so scripts can find rows by what they read.
#include <optional>
#include <string>

#include "Toolkit/ImageAsset.h"
#include "Toolkit/ImageView.h"
#include "Toolkit/Label.h"
#include "Toolkit/View.h"

namespace ui {

// Accessories, with the platform's values.
enum class TableViewCellAccessoryType { None = 0, Checkmark = 3 };
// Selection looks, with the platform's values: none leaves the row's look alone when selected.
enum class TableViewCellSelectionStyle { None = 0, Blue = 1 };

// Where a cell sits in its table, which decides its background: plain tables fill whole rows;
// grouped tables round the corners of a section's first and last rows.
enum class TableCellPlacement { Plain, Single, Top, Middle, Bottom };

class TableViewCell : public View {
public:
    TableViewCell(const gfx::Rect& frame, std::string reuseIdentifier);

    const std::string& reuseIdentifier() const { return m_reuseIdentifier; }
    View* contentView() const { return m_contentView.get(); }

    const std::string& text() const;
    void setText(const std::string& text);
    const ImageAssetRef& image() const;
    void setImage(ImageAssetRef image);

    TableViewCellAccessoryType accessoryType() const { return m_accessoryType; }
    void setAccessoryType(TableViewCellAccessoryType type);
    TableViewCellSelectionStyle selectionStyle() const { return m_selectionStyle; }
    void setSelectionStyle(TableViewCellSelectionStyle style);

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected, bool animated);
    // Editing mode, passed on by the table; the cell is laid out again (inside an animation when
    // `animated`), so subclasses can show or hide their editing controls in layoutSubviews().
    bool isEditing() const { return m_editing; }
    void setEditing(bool editing, bool animated);

    // Set by the table when it places the cell: where it sits and the separator below it (none
    // when the table draws no separators).
    void setPlacement(TableCellPlacement placement, std::optional<gfx::Color> separatorColor);
    TableCellPlacement placement() const { return m_placement; }

    void layoutSubviews() override;
    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;

private:
    void drawBackground(gfx::BitmapContext& context, const gfx::Path& shape) const;
    void drawBorderAndSeparator(gfx::BitmapContext& context) const;
    void drawCheckmark(gfx::BitmapContext& context) const;
    gfx::Path backgroundShape() const;
    bool showsHighlight() const { return m_selected && m_selectionStyle != TableViewCellSelectionStyle::None; }
    void updateTextLook();

    std::string m_reuseIdentifier;
    std::shared_ptr<View> m_contentView;
    std::shared_ptr<Label> m_textLabel;
    std::shared_ptr<ImageView> m_imageView;
    TableViewCellAccessoryType m_accessoryType = TableViewCellAccessoryType::None;
    TableViewCellSelectionStyle m_selectionStyle = TableViewCellSelectionStyle::Blue;
    TableCellPlacement m_placement = TableCellPlacement::Plain;
    std::optional<gfx::Color> m_separatorColor;
    bool m_selected = false;
    bool m_editing = false;
};

using TableViewCellRef = std::shared_ptr<TableViewCell>;

} // namespace ui
