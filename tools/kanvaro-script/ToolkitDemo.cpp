#include "ToolkitDemo.h"

#include "Toolkit/Label.h"
#include "Toolkit/NavigationItem.h"
#include "Toolkit/StatusBar.h"
#include "Toolkit/Window.h"

namespace script {

namespace {
constexpr int kScreensSection = 0;
constexpr int kActionSheetTag = 1;
const char* const kScreenRows[] = {"Details", "Photos", "Alert", "Progress"};
constexpr const char* kProgressTitle = "Working";

// The pushed screen: a line of text on the grouped background.
class DetailsScreen : public ui::ViewController {
public:
    DetailsScreen() { setTitle("Details"); }
    void loadView() override
    {
        auto root = std::make_shared<ui::View>(gfx::Rect(0, 0, 320, 416));
        root->setBackgroundColor(gfx::Color{0.77f, 0.8f, 0.85f, 1});
        auto text = std::make_shared<ui::Label>(gfx::Rect(20, 60, 280, 40));
        text->setText("A pushed screen");
        text->setAccessibilityLabel("A pushed screen");
        text->setTextAlignment(ui::TextAlignment::Center);
        root->addSubview(text);
        setView(root);
    }
};
} // namespace

ToolkitDemo::ToolkitDemo()
{
    setTitle("Toolkit");
    navigationItem().setRightBarButtonItem(ui::BarButtonItem::withSystemItem(
        ui::BarButtonSystemItem::Action, [this](ui::BarButtonItem&) { showActions(); }));
}

std::shared_ptr<ui::NavigationController> ToolkitDemo::install(ui::Window& window)
{
    ui::StatusBar::of(window).setStyle(ui::StatusBarStyle::BlackTranslucent, false);
    auto navigation = std::make_shared<ui::NavigationController>(std::make_shared<ToolkitDemo>());
    navigation->navigationBar().setBarStyle(ui::BarStyle::BlackTranslucent);
    navigation->view()->setFrame(ui::NavigationController::defaultFrame());
    window.insertSubviewAt(navigation->viewRef(), 0); // below the status bar
    return navigation;
}

void ToolkitDemo::loadView()
{
    m_table = std::make_shared<ui::TableView>(gfx::Rect(0, 0, 320, 416), ui::TableViewStyle::Grouped);
    m_table->setDataSource(this);
    m_table->setDelegate(static_cast<ui::TableViewDelegate*>(this));
    setView(m_table);
}

int ToolkitDemo::numberOfSectionsInTableView(ui::TableView& /*table*/) { return 2; }

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
    const std::string row = kScreenRows[path.row];
    if (row == "Details") {
        navigationController()->pushViewController(std::make_shared<DetailsScreen>(), true);
    } else if (row == "Photos") {
        auto picker = std::make_shared<ui::ImagePickerController>();
        picker->setDelegate(this);
        presentModalViewController(picker, true);
    } else if (row == "Progress") {
        // Long work as the exports show it: a bar, the part done and Cancel.
        auto alert = std::make_shared<ui::AlertView>(kProgressTitle, "40%", this, "Cancel", std::vector<std::string>{});
        alert->setProgress(0.4);
        alert->show();
    } else {
        std::make_shared<ui::AlertView>("Alert", "An alert with two buttons.", this, "Cancel",
                                        std::vector<std::string>{"OK"})
            ->show();
    }
}

void ToolkitDemo::showActions()
{
    auto sheet = std::make_shared<ui::ActionSheet>("", this, "Cancel", "Undo",
                                                   std::vector<std::string>{"Clear Painting", "Export to Photos"});
    sheet->setTag(kActionSheetTag);
    sheet->showInView(*view());
}

void ToolkitDemo::actionSheetClickedButtonAtIndex(ui::ActionSheet& sheet, int index)
{
    if (index == sheet.cancelButtonIndex())
        return;
    if (sheet.buttonTitleAtIndex(index) == "Clear Painting") {
        std::make_shared<ui::AlertView>("Clear Painting", "Are you sure? This action is not undoable.", this, "Cancel",
                                        std::vector<std::string>{"Clear"})
            ->show();
        return;
    }
    setStatus(sheet.buttonTitleAtIndex(index) + " chosen");
}

void ToolkitDemo::alertViewClickedButtonAtIndex(ui::AlertView& alert, int index)
{
    if (index == alert.cancelButtonIndex()) {
        if (alert.title() == kProgressTitle)
            setStatus("Progress cancelled");
        return;
    }
    setStatus(alert.title() == "Clear Painting" ? "Painting cleared"
                                                : alert.title() + ": " + alert.buttonTitleAtIndex(index));
}

void ToolkitDemo::imagePickerControllerDidFinishPickingImage(ui::ImagePickerController* /*picker*/, Photo image)
{
    dismissModalViewControllerAnimated(true);
    std::string size = image ? std::to_string(image->width) + " x " + std::to_string(image->height) : "no picture";
    setStatus("Picked a photo of " + size);
    std::make_shared<ui::AlertView>("Photo Picked", size, this, "OK", std::vector<std::string>{})->show();
}

void ToolkitDemo::imagePickerControllerDidCancel(ui::ImagePickerController* /*picker*/)
{
    dismissModalViewControllerAnimated(true);
    setStatus("Picker cancelled");
}

void ToolkitDemo::setStatus(const std::string& status)
{
    m_status = status;
    if (m_table)
        m_table->reloadData();
}

} // namespace script
