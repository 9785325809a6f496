#pragma once
// The one pixel format of every drawing surface: 32 bits per pixel, alpha first, native-endian
// (cairo's ARGB32). On the little-endian machines we run on, the bytes in memory are blue, green,
// red, alpha. Surfaces hold premultiplied alpha; an Image may also hold straight alpha.
// Premultiplying rounds to nearest: c' = (c * a + 127) / 255.
#include <cstdint>

namespace gfx {

inline constexpr int kBytesPerPixel = 4;

constexpr std::uint32_t packARGB(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}
constexpr std::uint32_t alphaOf(std::uint32_t p) { return p >> 24; }
constexpr std::uint32_t redOf(std::uint32_t p) { return (p >> 16) & 0xFF; }
constexpr std::uint32_t greenOf(std::uint32_t p) { return (p >> 8) & 0xFF; }
constexpr std::uint32_t blueOf(std::uint32_t p) { return p & 0xFF; }

constexpr std::uint32_t premultiplyComponent(std::uint32_t c, std::uint32_t a) { return (c * a + 127) / 255; }

constexpr std::uint32_t premultiply(std::uint32_t straight)
{
    std::uint32_t a = alphaOf(straight);
    if (a == 255)
        return straight;
    return packARGB(a, premultiplyComponent(redOf(straight), a), premultiplyComponent(greenOf(straight), a),
                    premultiplyComponent(blueOf(straight), a));
}

constexpr std::uint32_t unpremultiplyComponent(std::uint32_t c, std::uint32_t a)
{
    return a == 0 ? 0 : (c * 255 + a / 2) / a;
}

constexpr std::uint32_t unpremultiply(std::uint32_t premultiplied)
{
    std::uint32_t a = alphaOf(premultiplied);
    if (a == 255 || a == 0)
        return a == 0 ? 0 : premultiplied;
    return packARGB(a, unpremultiplyComponent(redOf(premultiplied), a),
                    unpremultiplyComponent(greenOf(premultiplied), a),
                    unpremultiplyComponent(blueOf(premultiplied), a));
}

// Surfaces larger than this on a side are refused before anything is allocated.
inline constexpr int kMaxSurfaceSide = 16384;

} // namespace gfx
