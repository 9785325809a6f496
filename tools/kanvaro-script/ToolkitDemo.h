#pragma once
// The toolkit's screens in one small tree, for the scripted session CI runs through them
// (kanvaro-script --toolkit-demo): a navigation controller under a translucent status bar whose
// root screen is a grouped table. "Details" pushes a second screen (its back button returns);
// the bar's Action button opens an action sheet whose "Clear Painting" asks for confirmation in
// an alert; "Alert" shows an alert; "Progress" a progress alert (a bar at 40% and Cancel);
// "Photos" presents the photo picker, and a picked photo is announced in an alert titled "Photo
// Picked". The "Status" section shows what happened last.
#include <memory>
#include <string>

#include "Toolkit/ActionSheet.h"
#include "Toolkit/AlertView.h"
#include "Toolkit/ImagePickerController.h"
#include "Toolkit/NavigationController.h"
#include "Toolkit/TableView.h"

namespace ui {
class Window;
}

namespace script {

class ToolkitDemo : public ui::ViewController,
                    public ui::TableViewDataSource,
                    public ui::TableViewDelegate,
                    public ui::ActionSheetDelegate,
                    public ui::AlertViewDelegate,
                    public ui::ImagePickerControllerDelegate {
public:
    ToolkitDemo();
    // Makes the navigation controller with a demo screen at its root and puts it in the window.
    static std::shared_ptr<ui::NavigationController> install(ui::Window& window);

    void loadView() override;

    int numberOfSectionsInTableView(ui::TableView& table) override;
    int tableViewNumberOfRowsInSection(ui::TableView& table, int section) override;
    ui::TableViewCellRef tableViewCellForRowAtIndexPath(ui::TableView& table, const ui::IndexPath& path) override;
    std::string tableViewTitleForHeaderInSection(ui::TableView& table, int section) override;
    void tableViewDidSelectRowAtIndexPath(ui::TableView& table, const ui::IndexPath& path) override;

    void actionSheetClickedButtonAtIndex(ui::ActionSheet& sheet, int index) override;
    void alertViewClickedButtonAtIndex(ui::AlertView& alert, int index) override;
    void imagePickerControllerDidFinishPickingImage(ui::ImagePickerController* picker, Photo image) override;
    void imagePickerControllerDidCancel(ui::ImagePickerController* picker) override;

private:
    void showActions();
    void setStatus(const std::string& status);

    std::shared_ptr<ui::TableView> m_table;
    std::string m_status = "Nothing done yet";
};

} // namespace script
