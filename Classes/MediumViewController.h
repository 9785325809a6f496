#pragma once
// The medium picker: a small panel over the painting that lists the eleven media as pictures
// (shapeName + "_medium.png", one row each, no names) and reports the tapped row. The painting
// screen lays its view over the painting and removes it again; it is never pushed or presented.
#include <memory>

#include "MediumValues.h"
#include "Toolkit/TableView.h"
#include "Toolkit/ViewController.h"

class MediumViewController;

class MediumViewControllerDelegate {
public:
    virtual ~MediumViewControllerDelegate() = default;
    // `medium` is a row of g_arMediumValues. The delegate may release the picker during the call.
    virtual void mediumViewControllerDidPickMedium(MediumViewController& picker, const MediumValue& medium) = 0;
};

class MediumViewController : public ui::ViewController, public ui::TableViewDataSource, public ui::TableViewDelegate {
public:
    static constexpr double kRowHeight = 52;
    static constexpr double kAirbrushRowHeight = 91;

    MediumViewController();
    ~MediumViewController() override;

    MediumViewControllerDelegate* delegate() const { return m_delegate; }
    void setDelegate(MediumViewControllerDelegate* delegate) { m_delegate = delegate; }
    ui::TableView* tableView() const { return m_tableView.get(); }

    void loadView() override;

    int numberOfSectionsInTableView(ui::TableView& tableView) override;
    int tableViewNumberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::string tableViewTitleForHeaderInSection(ui::TableView& tableView, int section) override;
    double tableViewHeightForRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;
    ui::TableViewCellRef tableViewCellForRowAtIndexPath(ui::TableView& tableView,
                                                        const ui::IndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;

private:
    MediumViewControllerDelegate* m_delegate = nullptr;
    std::shared_ptr<ui::TableView> m_tableView;
};
