#pragma once
// The toolkit's screens in one small tree, for the scripted session CI runs through them
// (kanvaro-script --toolkit-demo): a grouped table between a title bar and a toolbar. The
// toolbar's Action button opens an action sheet whose "Clear Painting" asks for confirmation in an
// alert; the "Photos" row opens the photo picker, and a picked photo is announced in an alert
// titled "Photo Picked"; the "Status" section shows what happened last.
#include <memory>
#include <string>

#include "Toolkit/ActionSheet.h"
#include "Toolkit/AlertView.h"
#include "Toolkit/ImagePickerController.h"
#include "Toolkit/TableView.h"

namespace ui {
class Window;
}

namespace script {

class ToolkitDemo : public ui::TableViewDataSource,
                    public ui::TableViewDelegate,
                    public ui::ActionSheetDelegate,
                    public ui::AlertViewDelegate,
                    public ui::ImagePickerControllerDelegate {
public:
    void install(ui::Window& window);

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
    void showPicker();
    void closePicker();
    void setStatus(const std::string& status);

    ui::Window* m_window = nullptr;
    std::shared_ptr<ui::TableView> m_table;
    std::shared_ptr<ui::ImagePickerController> m_picker;
    std::string m_status = "Nothing done yet";
};

} // namespace script
