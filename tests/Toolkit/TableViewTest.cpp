// Table views: layout of plain and grouped tables, reuse of cells by identifier, selection,
// reloads (also inside an animation and after the data shrank), editing, and the scroll view's
// glides that tables rely on.
#include <cmath>
#include <map>

#include "Toolkit/Label.h"
#include "Toolkit/TableView.h"
#include "ToolkitTestSupport.h"

namespace {

using namespace toolkit_test;
using gfx::Point;
using gfx::Rect;
using ui::IndexPath;
using ui::TableView;
using ui::TableViewCell;
using ui::TableViewCellAccessoryType;

// A table's data source and delegate in the way the application's screens write them: one reuse
// identifier per section, a checkmark on the chosen row of each section, cells made from a zero
// frame and shifted once by a transform on their content view.
class Rows : public ui::TableViewDataSource, public ui::TableViewDelegate {
public:
    std::vector<int> rowCounts{3};
    std::vector<std::string> titles;
    std::map<int, double> footerHeights; // by section; others get the table's default
    std::map<int, ui::ViewRef> footerViews;
    std::map<int, int> chosen; // section -> row with the checkmark
    double tallRowHeight = 0;  // row 1 of section 0 when above zero
    bool dequeues = true;
    int cellsMade = 0;
    std::vector<IndexPath> selected;
    std::function<void(const IndexPath&)> onSelect;

    int numberOfSectionsInTableView(TableView&) override { return static_cast<int>(rowCounts.size()); }
    int tableViewNumberOfRowsInSection(TableView&, int section) override
    {
        return rowCounts.at(static_cast<std::size_t>(section));
    }
    std::string tableViewTitleForHeaderInSection(TableView&, int section) override
    {
        return static_cast<std::size_t>(section) < titles.size() ? titles[static_cast<std::size_t>(section)] : "";
    }
    ui::TableViewCellRef tableViewCellForRowAtIndexPath(TableView& table, const IndexPath& path) override
    {
        // Asking beyond the data would stop the program in the application's screens.
        if (path.section >= static_cast<int>(rowCounts.size())
            || path.row >= rowCounts[static_cast<std::size_t>(path.section)])
            ADD_FAILURE() << "asked for row " << path.row << " of section " << path.section;
        std::string identifier = "myTableViewCell " + std::to_string(path.section);
        auto cell = dequeues ? table.dequeueReusableCell(identifier) : nullptr;
        if (!cell) {
            cell = std::make_shared<TableViewCell>(Rect{}, identifier);
            cell->contentView()->setTransform(gfx::AffineTransform::translation(-20, 0));
            ++cellsMade;
        }
        EXPECT_EQ(cell->reuseIdentifier(), identifier);
        cell->setText(std::to_string(path.section) + "." + std::to_string(path.row));
        auto pick = chosen.find(path.section);
        cell->setAccessoryType(pick != chosen.end() && pick->second == path.row ? TableViewCellAccessoryType::Checkmark
                                                                                : TableViewCellAccessoryType::None);
        return cell;
    }
    double tableViewHeightForRowAtIndexPath(TableView& table, const IndexPath& path) override
    {
        return tallRowHeight > 0 && path.section == 0 && path.row == 1 ? tallRowHeight : table.rowHeight();
    }
    double tableViewHeightForFooterInSection(TableView& table, int section) override
    {
        auto it = footerHeights.find(section);
        return it == footerHeights.end() ? table.sectionFooterHeight() : it->second;
    }
    ui::ViewRef tableViewViewForFooterInSection(TableView&, int section) override
    {
        auto it = footerViews.find(section);
        return it == footerViews.end() ? nullptr : it->second;
    }
    void tableViewDidSelectRowAtIndexPath(TableView&, const IndexPath& path) override
    {
        selected.push_back(path);
        if (onSelect)
            onSelect(path);
    }
};

class TableViewTest : public ToolkitTest {
protected:
    std::shared_ptr<TableView> makeTable(const Rect& frame, ui::TableViewStyle style)
    {
        auto table = std::make_shared<TableView>(frame, style);
        table->setDataSource(&rows);
        table->setDelegate(&rows);
        window->addSubview(table);
        window->layoutIfNeeded();
        table->layoutIfNeeded();
        return table;
    }
    void tap(Point p, double t)
    {
        window->touchDown(1, p, t);
        window->touchUp(1, p, t + 0.05);
    }
    void drag(Point from, Point to, double t, double lift)
    {
        window->touchDown(1, from, t);
        window->touchMove(1, {from.x, (from.y + to.y) / 2}, t + 0.05);
        window->touchMove(1, to, t + 0.1);
        window->touchUp(1, to, lift);
    }
    std::string texts(const TableView& table)
    {
        std::string all;
        for (TableViewCell* cell : table.visibleCells())
            all += cell->text() + " ";
        return all;
    }
    Rows rows;
};

TEST_F(TableViewTest, GroupedSectionsStackHeadersRowsAndFooters)
{
    rows.rowCounts = {2, 3, 1};
    rows.titles = {"Paint Mode", "Freehand Brush Color"};
    rows.tallRowHeight = 91;
    rows.footerHeights = {{0, 44}, {1, 0}};
    auto note = std::make_shared<ui::Label>(Rect{0, 0, 280, 44});
    note->setText("first line\rsecond line");
    rows.footerViews[0] = note;
    auto table = makeTable({0, 0, 320, 1000}, ui::TableViewStyle::Grouped);

    // Section 0: 46 of header, rows of 44 and 91, a 44-point footer holding the centred view.
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 0}), Rect(10, 46, 300, 44));
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 1}), Rect(10, 90, 300, 91));
    EXPECT_EQ(note->frame(), Rect(20, 181, 280, 44));
    EXPECT_EQ(note->superview(), table.get());
    // Section 1 starts right below (footer 0), section 2 has no title: a 10-point gap.
    EXPECT_EQ(table->rectForRowAtIndexPath({1, 0}), Rect(10, 271, 300, 44));
    EXPECT_EQ(table->rectForRowAtIndexPath({2, 0}), Rect(10, 413, 300, 44));
    EXPECT_EQ(table->contentSize().height, 413 + 44 + 10 + 10); // its footer, then the margin below it
    EXPECT_EQ(table->cellForRowAtIndexPath({1, 2})->frame(), Rect(10, 359, 300, 44));

    // The cells' backgrounds join up into rounded sections.
    using P = ui::TableCellPlacement;
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 0})->placement(), P::Top);
    EXPECT_EQ(table->cellForRowAtIndexPath({1, 1})->placement(), P::Middle);
    EXPECT_EQ(table->cellForRowAtIndexPath({1, 2})->placement(), P::Bottom);
    EXPECT_EQ(table->cellForRowAtIndexPath({2, 0})->placement(), P::Single);

    // Titles sit just above their sections; rows are found where they are drawn.
    std::vector<std::string> titles;
    for (const auto& view : table->subviews()) {
        if (auto* label = dynamic_cast<ui::Label*>(view.get()); label && label != note.get()) {
            titles.push_back(label->text());
            EXPECT_LT(label->frame().maxY(),
                      table->rectForRowAtIndexPath({static_cast<int>(titles.size()) - 1, 0}).minY());
        }
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Paint Mode", "Freehand Brush Color"}));
    EXPECT_EQ(table->indexPathForRowAtPoint({100, 150}), (IndexPath{0, 1}));
    EXPECT_EQ(table->indexPathForRowAtPoint({100, 200}), std::nullopt); // the footer
    EXPECT_EQ(table->indexPathForRowAtPoint({5, 60}), std::nullopt);    // the margin
}

TEST_F(TableViewTest, CellsAreReusedOnlyUnderTheirOwnIdentifierAndKeepTheirState)
{
    rows.rowCounts = {30, 30};
    auto table = makeTable({0, 0, 320, 220}, ui::TableViewStyle::Plain); // five rows showing
    EXPECT_EQ(rows.cellsMade, 5);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 0})->frame(), Rect(0, 0, 320, 44));

    // Scrolling through both sections: each identifier keeps about a screenful of cells.
    for (double y = 0; y <= table->contentSize().height - 220; y += 7)
        table->setContentOffset({0, y});
    table->setContentOffset({0, table->contentSize().height - 220});
    EXPECT_LE(rows.cellsMade, 14);
    EXPECT_EQ(texts(*table), "1.25 1.26 1.27 1.28 1.29 ");
    for (TableViewCell* cell : table->visibleCells()) {
        // Made from a zero frame, laid out to the row, shifted once however often reused.
        EXPECT_EQ(cell->contentView()->frame(), Rect(-20, 0, 320, 44));
        EXPECT_EQ(cell->accessibilityLabel(), cell->text());
        EXPECT_EQ(cell->superview(), table.get());
    }
    // Cells that scrolled away left the screen.
    std::size_t cellsInTable = 0;
    for (const auto& view : table->subviews())
        cellsInTable += dynamic_cast<TableViewCell*>(view.get()) != nullptr;
    EXPECT_EQ(cellsInTable, 5u);

    // A source that makes new cells instead of taking pooled ones does not grow the pool forever.
    rows.dequeues = false;
    for (int i = 0; i < 100; ++i)
        table->reloadData();
    int pooled = 0;
    while (table->dequeueReusableCell("myTableViewCell 1"))
        ++pooled;
    EXPECT_LE(pooled, 2 * 5 + 16);

    // A label set by the cell's owner is kept over the text.
    TableViewCell* cell = table->visibleCells().front();
    cell->setAccessibilityLabel("Swatch");
    cell->setText("other");
    EXPECT_EQ(cell->accessibilityLabel(), "Swatch");
}

TEST_F(TableViewTest, ATapSelectsItsRowAndTheCheckmarkFollowsAReload)
{
    rows.rowCounts = {7, 48};
    rows.chosen = {{0, 0}, {1, 3}};
    auto table = makeTable({0, 0, 320, 480}, ui::TableViewStyle::Grouped);
    table->setContentInset({44, 0, 0, 0});
    EXPECT_EQ(table->contentOffset(), (Point{0, -44})); // the first row starts below the bar
    rows.onSelect = [&](const IndexPath& path) {
        rows.chosen[path.section] = path.row;
        table->reloadData();
    };

    Rect row2 = table->convertRectToView(table->rectForRowAtIndexPath({0, 2}), nullptr);
    tap({row2.midX(), row2.midY()}, 0);
    ASSERT_EQ(rows.selected, (std::vector<IndexPath>{{0, 2}}));
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 0})->accessoryType(), TableViewCellAccessoryType::None);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 2})->accessoryType(), TableViewCellAccessoryType::Checkmark);
    EXPECT_EQ(table->indexPathForSelectedRow(), std::nullopt); // the reload cleared the highlight

    // A drag scrolls and selects nothing; neither does a tap while editing, which the cells learn.
    drag({160, 300}, {160, 200}, 1, 1.5);
    table->setEditing(true, false);
    tap({row2.midX(), row2.midY() - 100}, 2);
    EXPECT_EQ(rows.selected.size(), 1u);
    for (TableViewCell* cell : table->visibleCells())
        EXPECT_TRUE(cell->isEditing());
}

TEST_F(TableViewTest, ReloadInsideAnAnimationKeepsCellsOnTheirRowsAndFadesInNewOnes)
{
    rows.rowCounts = {2};
    rows.chosen = {{0, 1}};
    auto table = makeTable({0, 0, 320, 480}, ui::TableViewStyle::Grouped);
    TableViewCell* freehand = table->cellForRowAtIndexPath({0, 1});

    rows.rowCounts = {2, 48};
    rows.chosen = {{0, 0}};
    ui::View::beginAnimations();
    ui::View::setAnimationDuration(0.5);
    table->reloadData();
    ui::View::commitAnimations();

    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1}), freehand);
    EXPECT_EQ(freehand->accessoryType(), TableViewCellAccessoryType::None);
    TableViewCell* appearing = table->cellForRowAtIndexPath({1, 0});
    ASSERT_NE(appearing, nullptr);
    EXPECT_EQ(appearing->presentationCenter(), appearing->center()); // in place, not flying in
    EXPECT_DOUBLE_EQ(appearing->presentationAlpha(), 0);
    runUntil(0.25);
    EXPECT_GT(appearing->presentationAlpha(), 0.2);
    runUntil(0.6);
    EXPECT_DOUBLE_EQ(appearing->presentationAlpha(), 1);
}

TEST_F(TableViewTest, AShrunkenDataSourceIsNeverAskedForRowsItLost)
{
    rows.rowCounts = {50};
    auto table = makeTable({0, 0, 320, 200}, ui::TableViewStyle::Plain);
    table->setContentOffset({0, 50 * 44 - 200});
    Rect last = table->convertRectToView(table->rectForRowAtIndexPath({0, 49}), nullptr);
    table->selectRowAtIndexPath({0, 49}, false);

    rows.rowCounts = {3}; // shrinks; the table still shows the old rows until it reloads
    table->setContentOffset({0, 50 * 44 - 400});
    tap({last.midX(), last.midY()}, 0);  // the old row's place
    EXPECT_EQ(rows.selected.size(), 1u); // reported from what the table shows, no asking

    table->reloadData();
    EXPECT_EQ(table->contentOffset(), (Point{0, 0}));
    EXPECT_EQ(texts(*table), "0.0 0.1 0.2 ");
    EXPECT_EQ(table->indexPathForSelectedRow(), std::nullopt);
    rows.rowCounts = {};
    table->reloadData();
    EXPECT_TRUE(table->visibleCells().empty());
}

TEST_F(TableViewTest, ADelegateThatReleasesTheTableDuringSelectionIsSafe)
{
    rows.rowCounts = {11};
    auto panel = std::make_shared<ui::View>(Rect{20, 75, 280, 330});
    auto table = std::make_shared<TableView>(Rect{5, 5, 270, 300});
    table->setDataSource(&rows);
    table->setDelegate(&rows);
    panel->addSubview(table);
    window->addSubview(panel);
    window->layoutIfNeeded();
    std::weak_ptr<TableView> weak = table;
    table.reset();
    panel.reset();
    rows.onSelect = [&](const IndexPath&) { window->subviews().back()->removeFromSuperview(); };
    tap({100, 100}, 0);
    EXPECT_EQ(rows.selected.size(), 1u);
    EXPECT_TRUE(weak.expired());
}

TEST_F(TableViewTest, AFlickGlidesAndSlowsWhileARestingFingerThrowsNothing)
{
    rows.rowCounts = {200};
    auto table = makeTable({0, 0, 320, 480}, ui::TableViewStyle::Plain);
    drag({160, 400}, {160, 200}, 0, 0.1); // 2000 points a second
    EXPECT_EQ(table->contentOffset().y, 200);
    EXPECT_TRUE(table->isDecelerating());
    runUntil(0.3);
    double early = table->contentOffset().y;
    runUntil(0.5);
    double later = table->contentOffset().y;
    EXPECT_GT(early, 400);
    EXPECT_GT(later - early, 0);
    EXPECT_LT(later - early, early - 200); // slowing down
    runUntil(10);
    EXPECT_FALSE(table->isDecelerating());
    EXPECT_NEAR(table->contentOffset().y, 200 + 2000 / std::log(1 / 0.998) / 1000, 60);
    // The rows in view followed the glide.
    int top = static_cast<int>(table->contentOffset().y / 44);
    EXPECT_EQ(table->visibleCells().front()->text(), "0." + std::to_string(top));

    // A finger catches the glide; one that rests before lifting throws nothing.
    drag({160, 400}, {160, 100}, 11, 11.1);
    tap({160, 240}, 11.15);
    EXPECT_FALSE(table->isDecelerating());
    EXPECT_TRUE(rows.selected.empty());
    drag({160, 400}, {160, 100}, 12, 12.5);
    EXPECT_FALSE(table->isDecelerating());

    // Scrolling to the top glides back to the top edge, bar inset showing.
    table->setContentInset({44, 0, 0, 0});
    EXPECT_TRUE(ui::scrollToTopIn(*window));
    runUntil(13);
    EXPECT_EQ(table->contentOffset(), (Point{0, -44}));
}

} // namespace
