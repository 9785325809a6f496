#pragma once
// The place of a row in a table: its section and its row within the section. Ordered by section,
// then row.
#include <compare>

namespace ui {

struct IndexPath {
    int section = 0;
    int row = 0;

    static constexpr IndexPath forRow(int row, int section) { return {section, row}; }
    constexpr auto operator<=>(const IndexPath&) const = default;
};

} // namespace ui
