#include "ColorPickerViewController.h"

#include "ColorValues.h"
#include "DataModel.h"
#include "Foundation/Assert.h"
#include "Toolkit/BarButtonItem.h"
#include "Toolkit/Label.h"
#include "Toolkit/NavigationItem.h"

namespace {
constexpr int kPhotoPaintRow = 0;
constexpr int kOptionRows = 2;
const char* const kFooterText = "The Photo Paint mode automatically choses\rthe brush color from your photo.";
constexpr double kFooterWidth = 280;
constexpr double kFooterFontSize = 13;
// The footer's two lines must fit the label's width; with a wide font the text steps down to
// this size rather than wrap into a third line that would be cut.
constexpr double kSmallestFooterFontSize = 10;
constexpr double kFontStep = 0.5;
constexpr double kReloadDuration = 0.5;

std::string reuseIdentifier(int section) { return "myTableViewCell " + std::to_string(section); }

bool documentHasPhoto()
{
    const DataModel* document = DataModel::sharedDataModel();
    return document && document->rawImage();
}

std::shared_ptr<ui::Label> makeFooterLabel()
{
    auto label = std::make_shared<ui::Label>(gfx::Rect(0, 0, kFooterWidth, ColorPickerViewController::kFooterHeight));
    label->setLineBreakMode(ui::LineBreakMode::WordWrap);
    label->setNumberOfLines(2);
    label->setText(kFooterText);
    label->setTextAlignment(ui::TextAlignment::Center);
    label->setTextColor(gfx::Color{0.5f, 0.5f, 0.5f, 1});
    label->setBackgroundColor(gfx::Color::clear());
    label->setUserInteractionEnabled(false);
    double size = kFooterFontSize;
    label->setFont(ui::Font::systemFont(size));
    // Each line on its own (the carriage return breaks them) must fit the width unwrapped.
    while (size > kSmallestFooterFontSize && label->sizeThatFits({0, 0}).width > kFooterWidth) {
        size -= kFontStep;
        label->setFont(ui::Font::systemFont(size));
    }
    return label;
}
} // namespace

ColorPickerViewController::ColorPickerViewController(bool photoPaint)
    : ui::TableViewController(ui::TableViewStyle::Grouped)
    , m_isPhotoPaint(photoPaint)
    , m_swatchContext(gfx::BitmapContext::create(kSwatchSide, kSwatchSide))
{
    const bool hasPhoto = documentHasPhoto();
    m_optionsSectionNum = hasPhoto ? 0 : -1;
    m_colorsSectionNum = hasPhoto ? 1 : 0;
    setTitle("Brush Color");
    navigationItem().setLeftBarButtonItem(ui::BarButtonItem::withSystemItem(
        ui::BarButtonSystemItem::Cancel, [this](ui::BarButtonItem&) { cancelAction(); }));
}

ColorPickerViewController::~ColorPickerViewController()
{
    // The table may outlive the picker while it slides away: it must not call back.
    if (isViewLoaded()) {
        if (ui::TableView* table = tableView()) {
            table->setDataSource(nullptr);
            table->setDelegate(static_cast<ui::TableViewDelegate*>(nullptr));
        }
    }
}

void ColorPickerViewController::cancelAction() { dismissModalViewControllerAnimated(true); }

bool ColorPickerViewController::keyDown(const ui::KeyEvent& event)
{
    if (event.key != ui::Key::Escape || !event.isPlain() || event.repeat)
        return ui::TableViewController::keyDown(event);
    cancelAction();
    return true;
}

std::vector<ui::KeyShortcut> ColorPickerViewController::keyboardShortcuts() const
{
    return {{"Esc", "Cancel"}, {"F1  ?", "This list"}};
}

int ColorPickerViewController::numberOfSectionsInTableView(ui::TableView& /*tableView*/)
{
    // With a photo and photo paint ticked, the colours are hidden.
    return m_optionsSectionNum >= 0 && !m_isPhotoPaint ? 2 : 1;
}

int ColorPickerViewController::tableViewNumberOfRowsInSection(ui::TableView& /*tableView*/, int section)
{
    return section == m_optionsSectionNum ? kOptionRows : NUM_COLOR_VALUES;
}

std::string ColorPickerViewController::tableViewTitleForHeaderInSection(ui::TableView& /*tableView*/, int section)
{
    if (m_optionsSectionNum < 0)
        return {};
    return section == m_optionsSectionNum ? "Paint Mode" : "Freehand Brush Color";
}

double ColorPickerViewController::tableViewHeightForFooterInSection(ui::TableView& /*tableView*/, int section)
{
    return section == m_optionsSectionNum ? kFooterHeight : 0;
}

std::shared_ptr<ui::View> ColorPickerViewController::tableViewViewForFooterInSection(ui::TableView& /*tableView*/,
                                                                                     int section)
{
    if (section != m_optionsSectionNum)
        return nullptr;
    return makeFooterLabel();
}

ui::TableViewCellRef ColorPickerViewController::tableViewCellForRowAtIndexPath(ui::TableView& tableView,
                                                                               const ui::IndexPath& indexPath)
{
    const std::string identifier = reuseIdentifier(indexPath.section);
    ui::TableViewCellRef cell = tableView.dequeueReusableCell(identifier);
    if (!cell)
        cell = std::make_shared<ui::TableViewCell>(gfx::Rect(), identifier);
    if (indexPath.section == m_optionsSectionNum)
        configureOptionCell(*cell, indexPath.row);
    else
        configureColorCell(*cell, indexPath.row);
    return cell;
}

void ColorPickerViewController::configureOptionCell(ui::TableViewCell& cell, int row) const
{
    const bool photoRow = row == kPhotoPaintRow;
    cell.setText(photoRow ? "Photo Paint" : "Freehand Paint");
    const bool ticked = photoRow ? m_isPhotoPaint : !m_isPhotoPaint;
    cell.setAccessoryType(ticked ? ui::TableViewCellAccessoryType::Checkmark : ui::TableViewCellAccessoryType::None);
}

void ColorPickerViewController::configureColorCell(ui::TableViewCell& cell, int row)
{
    KANVARO_ASSERT(row >= 0);
    KANVARO_ASSERT(row < NUM_COLOR_VALUES);
    const ColorValue& value = g_arColorValues[row];
    cell.setText(value.name);
    cell.setAccessoryType(ui::TableViewCellAccessoryType::None); // the current colour is not marked
    if (!m_swatchContext)
        return;
    const gfx::Rect swatch(0, 0, kSwatchSide, kSwatchSide);
    m_swatchContext->setFillColor(ColorOfValue(value));
    m_swatchContext->fillRect(swatch);
    // White would vanish on the white row: it alone gets a grey edge.
    if (cell.text() == "White") {
        m_swatchContext->setStrokeColor({0.5f, 0.5f, 0.5f, 1});
        m_swatchContext->strokeRect(swatch);
    }
    cell.setImage(ui::ImageAsset::withImage(m_swatchContext->makeImage()));
}

void ColorPickerViewController::tableViewDidSelectRowAtIndexPath(ui::TableView& tableView,
                                                                 const ui::IndexPath& indexPath)
{
    if (!isViewLoaded() || &tableView != this->tableView())
        return;
    if (indexPath.section == m_optionsSectionNum) {
        selectOption(tableView, indexPath.row);
        return;
    }
    if (indexPath.section != m_colorsSectionNum || indexPath.section >= numberOfSectionsInTableView(tableView))
        return;
    KANVARO_ASSERT(indexPath.row >= 0);
    KANVARO_ASSERT(indexPath.row < NUM_COLOR_VALUES);
    if (m_delegate)
        m_delegate->colorPickerViewControllerDidPickColor(this, ColorOfValue(g_arColorValues[indexPath.row]));
    dismissModalViewControllerAnimated(true);
}

void ColorPickerViewController::selectOption(ui::TableView& tableView, int row)
{
    if (row != kPhotoPaintRow) {
        // Freehand: the colour list comes in under the choice; nothing is reported yet.
        m_isPhotoPaint = false;
        ui::View::beginAnimations();
        ui::View::setAnimationDuration(kReloadDuration);
        tableView.reloadData();
        ui::View::commitAnimations();
        return;
    }
    m_isPhotoPaint = true;
    if (m_delegate)
        m_delegate->colorPickerViewControllerDidPickColor(this, std::nullopt);
    dismissModalViewControllerAnimated(true);
}
