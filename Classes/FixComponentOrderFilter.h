#pragma once
// A walker that also reads 16-bit pixels and widens them to the 32-bit layout.
#include "PixelWalker.h"

#include <cstdint>

class CFixComponentOrderFilter : public CPixelWalker {
public:
    using CPixelWalker::CPixelWalker;

    // The 16-bit little-endian pixel at m_curPixel (red bits 10-14, green 5-9, blue 0-4, bit 15
    // ignored) as an opaque 32-bit pixel.
    CColor GetCurPixel16() const { return Widen16(m_curPixel); }

    // Same, for the 16-bit pixel at `bytes`.
    static CColor Widen16(const std::uint8_t* bytes);
};
