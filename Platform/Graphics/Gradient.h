#pragma once
// A colour gradient: stops at offsets from 0 to 1, in order. Two stops at the same offset make a
// hard edge (the glossy look of bars and buttons).
#include <initializer_list>
#include <vector>

#include "Graphics/Color.h"

namespace gfx {

struct GradientStop {
    double offset;
    Color color;
};

class Gradient {
public:
    Gradient() = default;
    Gradient(std::initializer_list<GradientStop> stops) : m_stops(stops) {}
    const std::vector<GradientStop>& stops() const { return m_stops; }

private:
    std::vector<GradientStop> m_stops;
};

} // namespace gfx
