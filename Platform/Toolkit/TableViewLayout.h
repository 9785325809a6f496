#pragma once
// Where everything of a table view sits, in content coordinates: per section a header, its rows
// and a footer, stacked from the top. Built from the data source's counts and the delegate's
// heights when the table reloads; looked up when the table scrolls and when a touch lands.
#include <optional>
#include <string>
#include <vector>

#include "Graphics/Geometry.h"
#include "Toolkit/IndexPath.h"

namespace ui {

struct TableSectionLayout {
    std::string title;
    double headerTop = 0;
    double headerHeight = 0;
    std::vector<double> rowEdges; // row r spans rowEdges[r] .. rowEdges[r + 1]
    double footerTop = 0;
    double footerHeight = 0;

    int rowCount() const { return rowEdges.empty() ? 0 : static_cast<int>(rowEdges.size()) - 1; }
};

class TableViewLayout {
public:
    // Limits on what a data source may ask for, so a wild count cannot exhaust memory.
    static constexpr int kMaxSections = 10'000;
    static constexpr int kMaxRows = 1'000'000; // over all sections
    static constexpr double kMaxRowHeight = 100'000;

    // Heights are held to 0..kMaxRowHeight (non-finite ones count as 0).
    static double sanitizedHeight(double height);

    void clear()
    {
        m_sections.clear();
        m_height = 0;
    }
    // Appends a section below the ones before; `rowHeights` may be cut to the row limit.
    void addSection(std::string title, double headerHeight, std::vector<double> rowHeights, double footerHeight);
    // Space below the last section.
    void setBottomMargin(double margin) { m_bottomMargin = sanitizedHeight(margin); }

    const std::vector<TableSectionLayout>& sections() const { return m_sections; }
    int sectionCount() const { return static_cast<int>(m_sections.size()); }
    int rowCount(int section) const;
    int totalRows() const { return m_totalRows; }
    bool contains(const IndexPath& path) const;
    double contentHeight() const { return m_height + m_bottomMargin; }

    // The row's top and bottom edges; nullopt for a path outside the table.
    std::optional<std::pair<double, double>> rowSpan(const IndexPath& path) const;
    // The row under a content y, if any (headers, footers and margins hold none).
    std::optional<IndexPath> rowAt(double y) const;
    // Every row of some height overlapping top..bottom, in order, into `rows` (cleared first;
    // its capacity is reused from frame to frame).
    void rowsBetween(double top, double bottom, std::vector<IndexPath>& rows) const;

private:
    std::vector<TableSectionLayout> m_sections;
    double m_topMargin = 0;
    double m_bottomMargin = 0;
    double m_height = 0;
    int m_totalRows = 0;
};

} // namespace ui
