#include "Toolkit/TableViewCell.h"

#include <algorithm>
#include <numbers>

#include "Toolkit/ImageView.h"
#include "Toolkit/Label.h"

namespace ui {

namespace {
constexpr double kCellMargin = 10;     // image and text insets inside the content view
constexpr double kAccessoryWidth = 30; // room the checkmark takes from the content view
constexpr double kGroupedRadius = 10;
constexpr double kPi = std::numbers::pi;

const gfx::Color kCellWhite{1, 1, 1, 1};
const gfx::Color kGroupedBorder{0.67f, 0.67f, 0.67f, 1};
const gfx::Color kCheckmarkBlue{0.20f, 0.31f, 0.52f, 1};
const gfx::Color kHighlightTop{0.02f, 0.55f, 0.96f, 1};
const gfx::Color kHighlightBottom{0.01f, 0.37f, 0.89f, 1};

// The outline of a cell: a rectangle whose top and/or bottom corners are rounded.
gfx::Path outline(const gfx::Rect& r, bool roundTop, bool roundBottom)
{
    double radius = std::min({kGroupedRadius, r.width() / 2, r.height() / 2});
    gfx::Path path;
    if (roundTop) {
        path.moveTo({r.minX(), r.minY() + radius});
        path.addArc({r.minX() + radius, r.minY() + radius}, radius, kPi, 1.5 * kPi);
        path.addArc({r.maxX() - radius, r.minY() + radius}, radius, -0.5 * kPi, 0);
    } else {
        path.moveTo({r.minX(), r.minY()});
        path.lineTo({r.maxX(), r.minY()});
    }
    if (roundBottom) {
        path.addArc({r.maxX() - radius, r.maxY() - radius}, radius, 0, 0.5 * kPi);
        path.addArc({r.minX() + radius, r.maxY() - radius}, radius, 0.5 * kPi, kPi);
    } else {
        path.lineTo({r.maxX(), r.maxY()});
        path.lineTo({r.minX(), r.maxY()});
    }
    path.closeSubpath();
    return path;
}

// One device pixel, in points.
double hairline() { return 1 / std::max(1.0, screenScale()); }
} // namespace

TableViewCell::TableViewCell(const gfx::Rect& frame, std::string reuseIdentifier)
    : View(frame)
    , m_reuseIdentifier(std::move(reuseIdentifier))
    , m_contentView(std::make_shared<View>())
    , m_textLabel(std::make_shared<Label>())
    , m_imageView(std::make_shared<ImageView>())
{
    setOpaque(false);
    m_contentView->setOpaque(false);
    m_textLabel->setLineBreakMode(LineBreakMode::TailTruncation);
    m_contentView->addSubview(m_imageView);
    m_contentView->addSubview(m_textLabel);
    addSubview(m_contentView);
    updateTextLook();
}

const std::string& TableViewCell::text() const { return m_textLabel->text(); }

void TableViewCell::setText(const std::string& text)
{
    // The label follows the text unless someone gave the cell a label of its own.
    if (accessibilityLabel().empty() || accessibilityLabel() == m_textLabel->text())
        setAccessibilityLabel(text);
    m_textLabel->setText(text);
    setNeedsLayout();
}

const ImageAssetRef& TableViewCell::image() const { return m_imageView->image(); }

void TableViewCell::setImage(ImageAssetRef image)
{
    m_imageView->setImage(std::move(image));
    setNeedsLayout();
}

void TableViewCell::setAccessoryType(TableViewCellAccessoryType type)
{
    if (type == m_accessoryType)
        return;
    m_accessoryType = type;
    setNeedsLayout();
    setNeedsDisplay();
}

void TableViewCell::setSelectionStyle(TableViewCellSelectionStyle style)
{
    m_selectionStyle = style;
    updateTextLook();
    setNeedsDisplay();
}

void TableViewCell::setSelected(bool selected, bool /*animated*/)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    updateTextLook();
    setNeedsDisplay();
}

void TableViewCell::setEditing(bool editing, bool animated)
{
    if (editing == m_editing)
        return;
    m_editing = editing;
    setNeedsLayout();
    if (!animated)
        return;
    View::beginAnimations();
    View::setAnimationDuration(0.3);
    layoutIfNeeded();
    View::commitAnimations();
}

void TableViewCell::setPlacement(TableCellPlacement placement, std::optional<gfx::Color> separatorColor)
{
    m_placement = placement;
    m_separatorColor = separatorColor;
    updateTextLook();
    setNeedsDisplay();
}

void TableViewCell::updateTextLook()
{
    m_textLabel->setFont(Font::boldSystemFont(m_placement == TableCellPlacement::Plain ? 20 : 17));
    m_textLabel->setTextColor(showsHighlight() ? gfx::Color::white() : gfx::Color::black());
}

void TableViewCell::layoutSubviews()
{
    gfx::Rect b = bounds();
    double accessory = m_accessoryType == TableViewCellAccessoryType::Checkmark ? kAccessoryWidth : 0;
    gfx::Size size{std::max(0.0, b.width() - accessory), std::max(0.0, b.height())};
    m_contentView->setBounds({{0, 0}, size});
    m_contentView->setCenter({b.x() + size.width / 2, b.y() + size.height / 2});

    double textX = kCellMargin;
    if (const ImageAssetRef& picture = m_imageView->image()) {
        gfx::Size s = picture->pointSize;
        m_imageView->setFrame({kCellMargin, (size.height - s.height) / 2, s.width, s.height});
        textX = kCellMargin + s.width + kCellMargin;
    } else {
        m_imageView->setFrame({});
    }
    m_textLabel->setFrame({textX, 0, std::max(0.0, size.width - textX - kCellMargin), size.height});
}

gfx::Path TableViewCell::backgroundShape() const
{
    bool roundTop = m_placement == TableCellPlacement::Single || m_placement == TableCellPlacement::Top;
    bool roundBottom = m_placement == TableCellPlacement::Single || m_placement == TableCellPlacement::Bottom;
    return outline(bounds(), roundTop, roundBottom);
}

void TableViewCell::drawRect(gfx::BitmapContext& context, const gfx::Rect& /*dirty*/)
{
    gfx::Path shape = backgroundShape();
    drawBackground(context, shape);
    drawBorderAndSeparator(context);
    if (m_accessoryType == TableViewCellAccessoryType::Checkmark)
        drawCheckmark(context);
}

void TableViewCell::drawBackground(gfx::BitmapContext& context, const gfx::Path& shape) const
{
    // A colour of the cell's own (clear, for cells over a picture) was filled by the view already.
    if (!backgroundColor()) {
        context.setFillColor(kCellWhite);
        context.fillPath(shape);
    }
    if (!showsHighlight())
        return;
    gfx::GStateSaver saver(context);
    context.clipToPath(shape);
    gfx::Rect b = bounds();
    context.drawLinearGradient({{0, kHighlightTop}, {1, kHighlightBottom}}, {b.x(), b.minY()}, {b.x(), b.maxY()});
}

void TableViewCell::drawBorderAndSeparator(gfx::BitmapContext& context) const
{
    gfx::Rect b = bounds();
    double line = hairline();
    bool lastInGroup = m_placement == TableCellPlacement::Single || m_placement == TableCellPlacement::Bottom;
    if (m_separatorColor && !lastInGroup) {
        context.setFillColor(*m_separatorColor);
        context.fillRect({b.x(), b.maxY() - line, b.width(), line});
    }
    if (m_placement == TableCellPlacement::Plain)
        return;
    // The section's border: the open edges reach past the cell and are clipped away, so rows
    // join up into one rounded box.
    bool openTop = m_placement == TableCellPlacement::Middle || m_placement == TableCellPlacement::Bottom;
    bool openBottom = m_placement == TableCellPlacement::Middle || m_placement == TableCellPlacement::Top;
    gfx::Rect border = b.insetBy(line / 2, line / 2);
    if (openTop)
        border = {border.x(), border.y() - 2 * line, border.width(), border.height() + 2 * line};
    if (openBottom)
        border = {border.x(), border.y(), border.width(), border.height() + 2 * line};
    gfx::GStateSaver saver(context);
    context.clipToRect(b);
    context.setStrokeColor(kGroupedBorder);
    context.setLineWidth(line);
    context.strokePath(outline(border, !openTop, !openBottom));
}

void TableViewCell::drawCheckmark(gfx::BitmapContext& context) const
{
    gfx::Rect b = bounds();
    gfx::Point c{b.maxX() - kAccessoryWidth / 2 - 3, b.midY()};
    gfx::Path tick;
    tick.moveTo({c.x - 6, c.y + 0.5});
    tick.lineTo({c.x - 2, c.y + 5});
    tick.lineTo({c.x + 6, c.y - 6.5});
    gfx::GStateSaver saver(context);
    context.setStrokeColor(showsHighlight() ? gfx::Color::white() : kCheckmarkBlue);
    context.setLineWidth(3);
    context.setLineCap(gfx::LineCap::Round);
    context.setLineJoin(gfx::LineJoin::Round);
    context.strokePath(tick);
}

} // namespace ui
