#pragma once
// Insets from the four edges of a rectangle, in points; negative values grow it.
#include "Graphics/Geometry.h"

namespace ui {

struct EdgeInsets {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;

    constexpr gfx::Rect inset(const gfx::Rect& r) const
    {
        return {r.x() + left, r.y() + top, r.width() - left - right, r.height() - top - bottom};
    }
    constexpr bool operator==(const EdgeInsets&) const = default;
};

} // namespace ui
