#pragma once
// Small numeric helpers shared by the procedural pictures.
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace genres {

inline double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

inline double smoothstep(double edge0, double edge1, double x)
{
    double t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

inline double mix(double a, double b, double t) { return a + (b - a) * t; }

inline std::uint8_t toByte(double v) { return static_cast<std::uint8_t>(std::lround(clamp01(v) * 255.0)); }

} // namespace genres
