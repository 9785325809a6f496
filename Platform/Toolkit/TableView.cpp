#include "Toolkit/TableView.h"

#include <algorithm>
#include <cmath>

#include "Foundation/Log.h"

namespace ui {

namespace {
constexpr double kGroupedMargin = 10; // sections' inset from the table's sides
constexpr double kGroupedFooterHeight = 10;
constexpr std::size_t kSparePooledCells = 16; // pooled cells kept per identifier beyond twice the visible ones
const gfx::Color kPlainSeparator{0.88f, 0.88f, 0.88f, 1};
const gfx::Color kGroupedSeparator{0.67f, 0.67f, 0.67f, 1};
} // namespace

int TableViewDataSource::numberOfSectionsInTableView(TableView&) { return 1; }
std::string TableViewDataSource::tableViewTitleForHeaderInSection(TableView&, int) { return {}; }

double TableViewDelegate::tableViewHeightForRowAtIndexPath(TableView& tableView, const IndexPath&)
{
    return tableView.rowHeight();
}
void TableViewDelegate::tableViewDidSelectRowAtIndexPath(TableView&, const IndexPath&) {}
double TableViewDelegate::tableViewHeightForFooterInSection(TableView& tableView, int)
{
    return tableView.sectionFooterHeight();
}
std::shared_ptr<View> TableViewDelegate::tableViewViewForFooterInSection(TableView&, int) { return nullptr; }

TableView::TableView(const gfx::Rect& frame, TableViewStyle style)
    : ScrollView(frame)
    , m_style(style)
    , m_sectionFooterHeight(style == TableViewStyle::Grouped ? kGroupedFooterHeight : 0)
    , m_separatorColor(style == TableViewStyle::Grouped ? kGroupedSeparator : kPlainSeparator)
{
    // A table taller than the screen below a bar still shows its last row.
    setAdjustsInsetToWindow(true);
    // Grouped tables draw their pinstripes while they have no colour of their own.
    if (style == TableViewStyle::Plain)
        setBackgroundColor(gfx::Color::white());
}

TableView::~TableView() = default;

void TableView::setDataSource(TableViewDataSource* dataSource)
{
    m_dataSource = dataSource;
    m_loaded = false; // the next layout asks the new source
    setNeedsLayout();
}

void TableView::setDelegate(TableViewDelegate* delegate)
{
    m_delegate = delegate;
    m_loaded = false;
    setNeedsLayout();
}

void TableView::setRowHeight(double height) { m_rowHeight = TableViewLayout::sanitizedHeight(height); }

void TableView::setSectionFooterHeight(double height)
{
    m_sectionFooterHeight = TableViewLayout::sanitizedHeight(height);
}

void TableView::setSeparatorStyle(TableViewCellSeparatorStyle style)
{
    m_separatorStyle = style;
    for (auto& [path, cell] : m_visible)
        placeCell(*cell, path, false);
}

void TableView::setSeparatorColor(const gfx::Color& color)
{
    m_separatorColor = color;
    for (auto& [path, cell] : m_visible)
        placeCell(*cell, path, false);
}

void TableView::reloadData()
{
    if (m_tiling) {
        fnd::log("TableView: reloadData while the table asks for cells is ignored");
        return;
    }
    m_loaded = true;
    m_selected.reset();
    auto shown = std::move(m_visible);
    m_visible.clear();
    for (auto& [path, cell] : shown)
        enqueue(std::move(cell), path);
    buildLayout();
    placeSectionViews();
    tileCells();
}

void TableView::buildLayout()
{
    m_layout.clear();
    m_layoutWidth = bounds().width();
    int sections = m_dataSource
                       ? std::clamp(m_dataSource->numberOfSectionsInTableView(*this), 0, TableViewLayout::kMaxSections)
                       : 0;
    for (int s = 0; s < sections; ++s) {
        int room = TableViewLayout::kMaxRows - m_layout.totalRows();
        int rows = std::clamp(m_dataSource->tableViewNumberOfRowsInSection(*this, s), 0, room);
        std::vector<double> heights(static_cast<std::size_t>(rows), m_rowHeight);
        if (m_delegate) {
            for (int r = 0; r < rows; ++r)
                heights[static_cast<std::size_t>(r)] =
                    m_delegate->tableViewHeightForRowAtIndexPath(*this, IndexPath::forRow(r, s));
        }
        std::string title = m_dataSource->tableViewTitleForHeaderInSection(*this, s);
        double header = 0;
        if (m_style == TableViewStyle::Grouped)
            header = title.empty() ? kGroupedMargin : 46;
        else if (!title.empty())
            header = 22;
        double footer = m_delegate ? m_delegate->tableViewHeightForFooterInSection(*this, s) : m_sectionFooterHeight;
        m_layout.addSection(std::move(title), header, std::move(heights), footer);
    }
    // Grouped sections keep their margin below the last one too, so the list's end reads as one.
    m_layout.setBottomMargin(m_style == TableViewStyle::Grouped ? kGroupedMargin : 0);
    setContentSize({bounds().width(), m_layout.contentHeight()});
    // A shorter table pulls the offset back within the content; an offset above it is kept.
    gfx::Point offset = contentOffset();
    gfx::Point held = clampedOffset(offset);
    if (offset.y > held.y)
        setContentOffset({offset.x, held.y});
}

void TableView::layoutSubviews()
{
    if (!m_loaded) {
        reloadData();
        return;
    }
    if (bounds().width() != m_layoutWidth) {
        m_layoutWidth = bounds().width();
        setContentSize({m_layoutWidth, m_layout.contentHeight()});
        placeSectionViews();
        for (auto& [path, cell] : m_visible)
            placeCell(*cell, path, false);
    }
    tileCells();
}

void TableView::didScroll()
{
    if (m_loaded)
        tileCells();
}

void TableView::tileCells()
{
    if (!m_loaded || m_tiling)
        return;
    m_tiling = true;
    gfx::Rect visible = bounds();
    for (auto it = m_visible.begin(); it != m_visible.end();) {
        auto span = m_layout.rowSpan(it->first);
        bool stays = span && span->second > visible.minY() && span->first < visible.maxY();
        auto next = std::next(it);
        if (!stays)
            recycle(it->first);
        it = next;
    }
    m_layout.rowsBetween(visible.minY(), visible.maxY(), m_rowsInView);
    for (const IndexPath& path : m_rowsInView) {
        if (!m_visible.contains(path))
            showCell(path);
    }
    // Cells that left their rows and were not taken again leave the screen.
    for (const auto& cell : m_leaving) {
        if (cell->superview() == this && !isVisibleCell(cell.get()))
            cell->removeFromSuperview();
    }
    m_leaving.clear();
    m_tiling = false;
}

void TableView::recycle(IndexPath path)
{
    auto it = m_visible.find(path);
    if (it == m_visible.end())
        return;
    TableViewCellRef cell = std::move(it->second);
    m_visible.erase(it);
    enqueue(std::move(cell), path);
}

void TableView::enqueue(TableViewCellRef cell, const IndexPath& path)
{
    cell->setSelected(false, false);
    m_leaving.push_back(cell);
    if (cell->reuseIdentifier().empty())
        return; // not meant for reuse
    std::vector<PooledCell>& pool = m_pool[cell->reuseIdentifier()];
    pool.push_back({std::move(cell), path});
    // A source that makes new cells instead of dequeuing would grow the pool with every reload.
    std::size_t limit = 2 * (m_visible.size() + m_leaving.size()) + kSparePooledCells;
    if (pool.size() > limit)
        pool.erase(pool.begin(), pool.begin() + static_cast<std::ptrdiff_t>(pool.size() - limit));
}

void TableView::showCell(const IndexPath& path)
{
    // The data source may have shrunk since the layout was built: never ask it for rows it no
    // longer has (its own checks would stop the program).
    if (!m_dataSource || path.section >= m_dataSource->numberOfSectionsInTableView(*this)
        || path.row >= m_dataSource->tableViewNumberOfRowsInSection(*this, path.section))
        return;
    m_building = path;
    TableViewCellRef cell = m_dataSource->tableViewCellForRowAtIndexPath(*this, path);
    m_building.reset();
    if (!cell)
        return;
    forgetPooled(cell.get());
    bool onScreen = cell->superview() == this;
    if (onScreen) {
        // The data source handed out a cell that shows another row: it moves here.
        std::erase_if(m_visible, [&](const auto& entry) { return entry.second == cell; });
    }
    m_visible[path] = cell;
    cell->setSelected(m_selected == path, false);
    cell->setEditing(m_editing, false);
    placeCell(*cell, path, !onScreen);
    if (!onScreen)
        insertSubviewAt(cell, 0);
    cell->layoutIfNeeded();
}

void TableView::placeCell(TableViewCell& cell, const IndexPath& path, bool appearing)
{
    auto span = m_layout.rowSpan(path);
    if (!span)
        return;
    std::optional<gfx::Color> separator;
    if (m_separatorStyle == TableViewCellSeparatorStyle::SingleLine)
        separator = m_separatorColor;
    cell.setPlacement(placementFor(path), separator);
    gfx::Rect rect = rowRect(span->first, span->second);
    if (!appearing || !Animator::shared().isRecording()) {
        cell.setFrame(rect);
        return;
    }
    // A cell coming into view inside an animation does not fly in from its old frame: it is put
    // in place at once and fades in with the animation.
    View::beginAnimations();
    View::setAnimationDuration(0);
    cell.setFrame(rect);
    cell.setAlpha(0);
    View::commitAnimations();
    cell.setAlpha(1);
}

TableCellPlacement TableView::placementFor(const IndexPath& path) const
{
    if (m_style == TableViewStyle::Plain)
        return TableCellPlacement::Plain;
    int rows = m_layout.rowCount(path.section);
    if (rows == 1)
        return TableCellPlacement::Single;
    if (path.row == 0)
        return TableCellPlacement::Top;
    return path.row == rows - 1 ? TableCellPlacement::Bottom : TableCellPlacement::Middle;
}

gfx::Rect TableView::rowRect(double top, double bottom) const
{
    double width = bounds().width();
    if (m_style == TableViewStyle::Grouped)
        return {kGroupedMargin, top, std::max(0.0, width - 2 * kGroupedMargin), bottom - top};
    return {0, top, width, bottom - top};
}

TableViewCellRef TableView::dequeueReusableCell(const std::string& identifier)
{
    auto it = m_pool.find(identifier);
    if (it == m_pool.end() || it->second.empty())
        return nullptr;
    std::vector<PooledCell>& cells = it->second;
    // The cell that showed this row before comes back to it, so a reload keeps rows in place.
    auto pick = std::find_if(cells.begin(), cells.end(),
                             [&](const PooledCell& p) { return m_building && p.lastPath == m_building; });
    if (pick == cells.end())
        pick = std::prev(cells.end());
    TableViewCellRef cell = std::move(pick->cell);
    cells.erase(pick);
    return cell;
}

void TableView::forgetPooled(const TableViewCell* cell)
{
    auto it = m_pool.find(cell->reuseIdentifier());
    if (it != m_pool.end())
        std::erase_if(it->second, [cell](const PooledCell& p) { return p.cell.get() == cell; });
}

bool TableView::isVisibleCell(const TableViewCell* cell) const
{
    return std::any_of(m_visible.begin(), m_visible.end(),
                       [cell](const auto& entry) { return entry.second.get() == cell; });
}

int TableView::numberOfSections() const { return m_layout.sectionCount(); }
int TableView::numberOfRowsInSection(int section) const { return m_layout.rowCount(section); }

TableViewCell* TableView::cellForRowAtIndexPath(const IndexPath& indexPath) const
{
    auto it = m_visible.find(indexPath);
    return it == m_visible.end() ? nullptr : it->second.get();
}

std::vector<TableViewCell*> TableView::visibleCells() const
{
    std::vector<TableViewCell*> cells;
    for (const auto& [path, cell] : m_visible)
        cells.push_back(cell.get());
    return cells;
}

std::optional<IndexPath> TableView::indexPathForRowAtPoint(gfx::Point point) const
{
    auto path = m_layout.rowAt(point.y);
    if (!path)
        return std::nullopt;
    gfx::Rect rect = rectForRowAtIndexPath(*path);
    return point.x >= rect.minX() && point.x < rect.maxX() ? path : std::nullopt;
}

gfx::Rect TableView::rectForRowAtIndexPath(const IndexPath& indexPath) const
{
    auto span = m_layout.rowSpan(indexPath);
    return span ? rowRect(span->first, span->second) : gfx::Rect{};
}

void TableView::selectRowAtIndexPath(const IndexPath& indexPath, bool animated)
{
    if (!m_layout.contains(indexPath))
        return;
    if (m_selected)
        deselectRowAtIndexPath(*m_selected, animated);
    m_selected = indexPath;
    if (TableViewCell* cell = cellForRowAtIndexPath(indexPath))
        cell->setSelected(true, animated);
}

void TableView::deselectRowAtIndexPath(const IndexPath& indexPath, bool animated)
{
    if (m_selected != indexPath)
        return;
    m_selected.reset();
    if (TableViewCell* cell = cellForRowAtIndexPath(indexPath))
        cell->setSelected(false, animated);
}

void TableView::setEditing(bool editing, bool animated)
{
    m_editing = editing;
    for (auto& [path, cell] : m_visible)
        cell->setEditing(editing, animated);
}

} // namespace ui
