#pragma once
// A scrolling list of rows in sections, in the plain style (full-width rows, white) or the
// grouped style (white rounded sections on a pinstripe background, section titles above them).
//
// The data source gives the counts and the cells; the delegate the heights, footer views and
// what happens when a row is tapped. The table builds its layout and asks for the visible cells
// on first layout and on reloadData(); as it scrolls it asks for the rows coming into view and
// puts the cells leaving it into a pool per reuse identifier, from which the data source takes
// them again (dequeueReusableCell). Data source and delegate are not owned.
//
// A tap on a row (a touch that lifts without having moved) selects it and tells the delegate;
// the row stays highlighted until deselected or reloaded. While editing, rows are not selected
// and the cells are told, so they can show their own editing controls.
//
// The part of the table that lies below the window's edge counts as a bottom inset
// (ScrollView::adjustsInsetToWindow), so the last row scrolls fully into view.
//
// Reloading inside an animation block moves the cells that stay to their new places as part of
// the animation; cells that come into view fade in where they belong.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Toolkit/IndexPath.h"
#include "Toolkit/ScrollView.h"
#include "Toolkit/TableViewCell.h"
#include "Toolkit/TableViewLayout.h"

namespace ui {

class TableView;

enum class TableViewStyle { Plain = 0, Grouped = 1 };
enum class TableViewCellSeparatorStyle { None = 0, SingleLine = 1 };

class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfSectionsInTableView(TableView& tableView);
    virtual int tableViewNumberOfRowsInSection(TableView& tableView, int section) = 0;
    // The cell for a row; a null cell leaves the row empty.
    virtual TableViewCellRef tableViewCellForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) = 0;
    // The section's header title; empty for none.
    virtual std::string tableViewTitleForHeaderInSection(TableView& tableView, int section);
};

class TableViewDelegate {
public:
    virtual ~TableViewDelegate() = default;
    // The default is the table's rowHeight().
    virtual double tableViewHeightForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath);
    virtual void tableViewDidSelectRowAtIndexPath(TableView& tableView, const IndexPath& indexPath);
    // The default is the table's sectionFooterHeight().
    virtual double tableViewHeightForFooterInSection(TableView& tableView, int section);
    // A view shown in the section's footer area, centred across the table; none by default.
    virtual std::shared_ptr<View> tableViewViewForFooterInSection(TableView& tableView, int section);
};

class TableView : public ScrollView {
public:
    explicit TableView(const gfx::Rect& frame = {}, TableViewStyle style = TableViewStyle::Plain);
    ~TableView() override;

    TableViewStyle style() const { return m_style; }
    TableViewDataSource* dataSource() const { return m_dataSource; }
    void setDataSource(TableViewDataSource* dataSource);
    // The table's delegate (the scroll view's zooming delegate stays reachable through its own
    // setter, which tables do not need).
    using ScrollView::setDelegate;
    void setDelegate(TableViewDelegate* delegate);

    double rowHeight() const { return m_rowHeight; }
    void setRowHeight(double height);
    double sectionFooterHeight() const { return m_sectionFooterHeight; }
    void setSectionFooterHeight(double height);
    TableViewCellSeparatorStyle separatorStyle() const { return m_separatorStyle; }
    void setSeparatorStyle(TableViewCellSeparatorStyle style);
    const gfx::Color& separatorColor() const { return m_separatorColor; }
    void setSeparatorColor(const gfx::Color& color);

    // Asks the data source and delegate again for everything; the selection is cleared.
    void reloadData();
    // A cell from the pool for the identifier, or nullptr (then make one).
    TableViewCellRef dequeueReusableCell(const std::string& identifier);

    int numberOfSections() const;
    int numberOfRowsInSection(int section) const;
    // The visible cell of a row, or nullptr when the row is not on screen.
    TableViewCell* cellForRowAtIndexPath(const IndexPath& indexPath) const;
    std::vector<TableViewCell*> visibleCells() const;
    // Content coordinates; nullopt outside any row.
    std::optional<IndexPath> indexPathForRowAtPoint(gfx::Point point) const;
    gfx::Rect rectForRowAtIndexPath(const IndexPath& indexPath) const;

    std::optional<IndexPath> indexPathForSelectedRow() const { return m_selected; }
    // Selects without telling the delegate (as a tap does).
    void selectRowAtIndexPath(const IndexPath& indexPath, bool animated);
    void deselectRowAtIndexPath(const IndexPath& indexPath, bool animated);

    bool isEditing() const { return m_editing; }
    void setEditing(bool editing, bool animated);

    void layoutSubviews() override;
    void drawRect(gfx::BitmapContext& context, const gfx::Rect& dirty) override;
    void touchesBegan(const TouchSet& touches, const Event& event) override;
    void touchesMoved(const TouchSet& touches, const Event& event) override;
    void touchesEnded(const TouchSet& touches, const Event& event) override;
    void touchesCancelled(const TouchSet& touches, const Event& event) override;

protected:
    void didScroll() override;

private:
    struct PooledCell {
        TableViewCellRef cell;
        std::optional<IndexPath> lastPath; // the row it showed, preferred when that row asks again
    };

    void buildLayout();
    void placeSectionViews();
    void tileCells();
    void recycle(IndexPath path); // by value: the caller's key goes with the entry
    // Takes a cell off its row: into the pool for its identifier, and off the screen at the end
    // of the pass unless a row takes it again.
    void enqueue(TableViewCellRef cell, const IndexPath& path);
    void showCell(const IndexPath& path);
    void placeCell(TableViewCell& cell, const IndexPath& path, bool appearing);
    TableCellPlacement placementFor(const IndexPath& path) const;
    gfx::Rect rowRect(double top, double bottom) const;
    void selectTappedRow(const Touch& touch);
    bool isVisibleCell(const TableViewCell* cell) const;
    void forgetPooled(const TableViewCell* cell);
    std::shared_ptr<View> makeHeaderView(const TableSectionLayout& section) const;
    void drawPinstripes(gfx::BitmapContext& context, const gfx::Rect& dirty);

    TableViewStyle m_style;
    TableViewDataSource* m_dataSource = nullptr;
    TableViewDelegate* m_delegate = nullptr;
    double m_rowHeight = 44;
    double m_sectionFooterHeight;
    TableViewCellSeparatorStyle m_separatorStyle = TableViewCellSeparatorStyle::SingleLine;
    gfx::Color m_separatorColor;
    bool m_editing = false;

    bool m_loaded = false;
    bool m_tiling = false;
    double m_layoutWidth = -1;
    TableViewLayout m_layout;
    std::map<IndexPath, TableViewCellRef> m_visible;
    std::map<std::string, std::vector<PooledCell>> m_pool;
    std::vector<TableViewCellRef> m_leaving; // cells that left their rows during this pass
    std::vector<IndexPath> m_rowsInView;     // scratch of tileCells, kept to save allocations
    gfx::Path m_stripes;                     // the pinstripes over the table's size
    gfx::Size m_stripesSize;
    std::optional<IndexPath> m_building;               // the row whose cell the data source is making
    std::vector<std::shared_ptr<View>> m_sectionViews; // header titles and footer views
    std::optional<IndexPath> m_selected;

    // The touch that may become a tap, and where it went down (window coordinates).
    TouchRef m_tapTouch;
    gfx::Point m_tapStart;
};

} // namespace ui
