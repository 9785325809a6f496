#include "ToolkitDemo.h"

#include "Toolkit/Label.h"
#include "Toolkit/Toolbar.h"
#include "Toolkit/Window.h"

namespace script {

namespace {
constexpr int kScreensSection = 0;
constexpr int kStatusSection = 1;
constexpr int kActionSheetTag = 1;
const char* const kScreenRows[] = {"Photos", "Alert"};

std::shared_ptr<ui::Toolbar> titleBar(const std::string& title)
{
    auto bar = std::make_shared<ui::Toolbar>(gfx::Rect(0, 0, 320, ui::Toolbar::kHeight));
    bar->setBarStyle(ui::BarStyle::Black);
    auto label = std::make_shared<ui::Label>(gfx::Rect(0, 0, 200, ui::Toolbar::kHeight));
    label->setText(title);
    label->setFont(ui::Font::boldSystemFont(20));
    label->setTextColor(gfx::Color::white());
    label->setShadowColor(gfx::Color::black().withAlpha(0.6f));
    label->setTextAlignment(ui::TextAlignment::Center);
    bar->setItems({ui::BarButtonItem::withCustomView(label)});
    return bar;
}
} // namespace

void ToolkitDemo::install(ui::Window& window)
{
    m_window = &window;
    gfx::Rect area = window.bounds();
    m_table = std::make_shared<ui::TableView>(
        gfx::Rect(0, ui::Toolbar::kHeight, area.width(), area.height() - 2 * ui::Toolbar::kHeight),
        ui::TableViewStyle::Grouped);
    m_table->setDataSource(this);
    m_table->setDelegate(static_cast<ui::TableViewDelegate*>(this));
    window.addSubview(m_table);
    window.addSubview(titleBar("Toolkit"));

    auto toolbar = std::make_shared<ui::Toolbar>(
        gfx::Rect(0, area.height() - ui::Toolbar::kHeight, area.width(), ui::Toolbar::kHeight));
    toolbar->setBarStyle(ui::BarStyle::Black);
    toolbar->setItems({ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::Action,
                                                         [this](ui::BarButtonItem&) { showActions(); }),
                       ui::BarButtonItem::withSystemItem(ui::BarButtonSystemItem::FlexibleSpace, {})});
    window.addSubview(toolbar);
}

int ToolkitDemo::numberOfSectionsInTableView(ui::TableView& /*table*/)
{
    return 2;
}

int ToolkitDemo::tableViewNumberOfRowsInSection(ui::TableView& /*table*/, int section)
{
    return section == kScreensSection ? static_cast<int>(std::size(kScreenRows)) : 1;
}

ui::TableViewCellRef ToolkitDemo::tableViewCellForRowAtIndexPath(ui::TableView& table, const ui::IndexPath& path)
{
    const std::string identifier = path.section == kScreensSection ? "Screen" : "Status";
    ui::TableViewCellRef cell = table.dequeueReusableCell(identifier);
    if (!cell)
        cell = std::make_shared<ui::TableViewCell>(gfx::Rect(), identifier);
    if (path.section == kScreensSection) {
        cell->setText(kScreenRows[path.row]);
    } else {
        cell->setText(m_status);
        cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    }
    return cell;
}

std::string ToolkitDemo::tableViewTitleForHeaderInSection(ui::TableView& /*table*/, int section)
{
    return section == kScreensSection ? "Screens" : "Status";
}

void ToolkitDemo::tableViewDidSelectRowAtIndexPath(ui::TableView& table, const ui::IndexPath& path)
{
    table.deselectRowAtIndexPath(path, true);
    if (path.section != kScreensSection)
        return;
    if (path.row == 0) {
        showPicker();
        return;
    }
    std::make_shared<ui::AlertView>("Alert", "An alert with two buttons.", this, "Cancel",
                                    std::vector<std::string> {"OK"})->show();
}

void ToolkitDemo::showActions()
{
    auto sheet = std::make_shared<ui::ActionSheet>("", this, "Cancel", "Undo",
                                                   std::vector<std::string> {"Clear Painting", "Export to Photos"});
    sheet->setTag(kActionSheetTag);
    sheet->showInView(*m_window);
}

void ToolkitDemo::actionSheetClickedButtonAtIndex(ui::ActionSheet& sheet, int index)
{
    if (index == sheet.cancelButtonIndex())
        return;
    if (sheet.buttonTitleAtIndex(index) == "Clear Painting") {
        std::make_shared<ui::AlertView>("Clear Painting", "Are you sure? This action is not undoable.", this,
                                        "Cancel", std::vector<std::string> {"Clear"})->show();
        return;
    }
    setStatus(sheet.buttonTitleAtIndex(index) + " chosen");
}

void ToolkitDemo::alertViewClickedButtonAtIndex(ui::AlertView& alert, int index)
{
    if (index == alert.cancelButtonIndex())
        return;
    setStatus(alert.title() == "Clear Painting" ? "Painting cleared" : alert.title() + ": " + alert.buttonTitleAtIndex(index));
}

void ToolkitDemo::showPicker()
{
    // Shown over the whole window, in place of a modal presentation.
    m_picker = std::make_shared<ui::ImagePickerController>();
    m_picker->setDelegate(this);
    m_picker->view()->setFrame(m_window->bounds());
    m_window->addSubview(m_picker->viewRef());
}

void ToolkitDemo::closePicker()
{
    // The picker is still on the stack: only its view goes now, the controller with the next one.
    if (m_picker && m_picker->isViewLoaded())
        m_picker->view()->removeFromSuperview();
}

void ToolkitDemo::imagePickerControllerDidFinishPickingImage(ui::ImagePickerController* /*picker*/, Photo image)
{
    closePicker();
    std::string size = image ? std::to_string(image->width) + " x " + std::to_string(image->height) : "no picture";
    setStatus("Picked a photo of " + size);
    std::make_shared<ui::AlertView>("Photo Picked", size, this, "OK", std::vector<std::string> {})->show();
}

void ToolkitDemo::imagePickerControllerDidCancel(ui::ImagePickerController* /*picker*/)
{
    closePicker();
    setStatus("Picker cancelled");
}

void ToolkitDemo::setStatus(const std::string& status)
{
    m_status = status;
    m_table->reloadData();
}

} // namespace script
