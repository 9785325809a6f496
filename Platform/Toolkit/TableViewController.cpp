#include "Toolkit/TableViewController.h"

namespace ui {

TableView* TableViewController::tableView() { return dynamic_cast<TableView*>(view()); }

void TableViewController::loadView()
{
    auto table = std::make_shared<TableView>(gfx::Rect{0, 0, 320, 480}, m_style);
    table->setDataSource(this);
    table->setDelegate(static_cast<TableViewDelegate*>(this));
    setView(std::move(table));
}

} // namespace ui
