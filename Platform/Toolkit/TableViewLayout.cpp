#include "Toolkit/TableViewLayout.h"

#include <algorithm>
#include <cmath>

namespace ui {

double TableViewLayout::sanitizedHeight(double height)
{
    return std::isfinite(height) ? std::clamp(height, 0.0, kMaxRowHeight) : 0;
}

void TableViewLayout::addSection(std::string title, double headerHeight, std::vector<double> rowHeights,
                                 double footerHeight)
{
    if (sectionCount() >= kMaxSections)
        return;
    if (m_sections.empty())
        m_height = m_topMargin;
    std::size_t room = static_cast<std::size_t>(kMaxRows - m_totalRows);
    if (rowHeights.size() > room)
        rowHeights.resize(room);
    TableSectionLayout s;
    s.title = std::move(title);
    s.headerTop = m_height;
    s.headerHeight = sanitizedHeight(headerHeight);
    double y = s.headerTop + s.headerHeight;
    s.rowEdges.reserve(rowHeights.size() + 1);
    s.rowEdges.push_back(y);
    for (double h : rowHeights) {
        y += sanitizedHeight(h);
        s.rowEdges.push_back(y);
    }
    s.footerTop = y;
    s.footerHeight = sanitizedHeight(footerHeight);
    m_height = y + s.footerHeight;
    m_totalRows += s.rowCount();
    m_sections.push_back(std::move(s));
}

int TableViewLayout::rowCount(int section) const
{
    return section >= 0 && section < sectionCount() ? m_sections[static_cast<std::size_t>(section)].rowCount() : 0;
}

bool TableViewLayout::contains(const IndexPath& path) const
{
    return path.row >= 0 && path.row < rowCount(path.section);
}

std::optional<std::pair<double, double>> TableViewLayout::rowSpan(const IndexPath& path) const
{
    if (!contains(path))
        return std::nullopt;
    const auto& edges = m_sections[static_cast<std::size_t>(path.section)].rowEdges;
    auto r = static_cast<std::size_t>(path.row);
    return std::make_pair(edges[r], edges[r + 1]);
}

std::optional<IndexPath> TableViewLayout::rowAt(double y) const
{
    for (int s = 0; s < sectionCount(); ++s) {
        const auto& edges = m_sections[static_cast<std::size_t>(s)].rowEdges;
        if (edges.size() < 2 || y < edges.front() || y >= edges.back())
            continue;
        // The last edge not above y starts the row (zero-height rows are skipped over).
        auto it = std::upper_bound(edges.begin(), edges.end(), y);
        return IndexPath::forRow(static_cast<int>(it - edges.begin()) - 1, s);
    }
    return std::nullopt;
}

void TableViewLayout::rowsBetween(double top, double bottom, std::vector<IndexPath>& rows) const
{
    rows.clear();
    for (int s = 0; s < sectionCount(); ++s) {
        const auto& edges = m_sections[static_cast<std::size_t>(s)].rowEdges;
        if (edges.size() < 2 || edges.back() <= top || edges.front() >= bottom)
            continue;
        auto first = std::upper_bound(edges.begin(), edges.end(), top);
        int row = std::max(0, static_cast<int>(first - edges.begin()) - 1);
        for (; row + 1 < static_cast<int>(edges.size()) && edges[static_cast<std::size_t>(row)] < bottom; ++row) {
            if (edges[static_cast<std::size_t>(row) + 1] > edges[static_cast<std::size_t>(row)])
                rows.push_back(IndexPath::forRow(row, s));
        }
    }
}

} // namespace ui
