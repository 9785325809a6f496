#pragma once
// The layout of a stroke sheet, shared by stroke-sheets and the reference sheets drawn with
// other brush engines, so the same strokes land in the same places.
#include <algorithm>
#include <cmath>

namespace sheets {

// Canvas pixels per touch-move: a slow stroke, a fast one and a flick.
inline constexpr double kSpeeds[] = {2, 40, 70};
inline constexpr int kColumns = 3;

struct SheetPoint {
    double x, y;
};

// Each medium has a row of three cells, one per speed; each cell a straight stroke above an
// S-curve. Strokes run at least 420 pixels, so a flick still has several moves.
struct Layout {
    int size;
    int rows;
    double strokeHeight() const { return 2.0 * size + 20; }
    double rowHeight() const { return 2 * strokeHeight() + 10; }
    double span() const { return 3.0 * size + 420; }
    double columnWidth() const { return span() + 2.0 * size; }
    int width() const { return static_cast<int>(kColumns * columnWidth()); }
    int height() const { return static_cast<int>(rows * rowHeight()); }
    double speed(int column) const { return kSpeeds[column]; }

    // The finger's position a fraction t along the straight (curved false) or curved stroke of
    // `column` in `row`.
    SheetPoint point(int row, int column, bool curved, double t) const
    {
        const double left = column * columnWidth() + size;
        const double mid = row * rowHeight() + (curved ? 1.5 : 0.5) * strokeHeight();
        const double swing = curved ? 0.5 * size * std::sin(t * 2 * M_PI) : 0.0;
        return {left + t * span(), mid - swing};
    }

    // Touch-moves in a stroke: about speed() pixels apart along the path (measured by its chord).
    int moves(int column) const { return std::max(1, static_cast<int>(std::lround(span() / speed(column)))); }
};

} // namespace sheets
