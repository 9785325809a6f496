#pragma once
// A view controller whose view is a table view of a chosen style, with the controller as the
// table's data source and delegate. Subclasses answer the data-source questions.
#include "Toolkit/TableView.h"
#include "Toolkit/ViewController.h"

namespace ui {

class TableViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
    explicit TableViewController(TableViewStyle style = TableViewStyle::Plain) : m_style(style) {}

    // The table (the view, made on first use).
    TableView* tableView();

    // Makes a 320 x 480 table of the controller's style, wired to the controller.
    void loadView() override;

private:
    TableViewStyle m_style;
};

} // namespace ui
