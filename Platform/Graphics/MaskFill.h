#pragma once
// The dab kernel: fills one colour through an 8-bit image mask placed by an affine transform,
// straight into ARGB32 premultiplied pixels, nearest sample. Per destination row it finds the
// span of pixels whose centres fall inside the placed mask, then walks the mask in fixed point
// along the row with no per-pixel branches (coverage 0 blends to the unchanged pixel).
//
// Arithmetic, per channel, with c = coverage / 255:
//   SourceOver: dst' = round(S x c) + round(dst x (255 - round(Sa x c)) / 255), S the colour
//               premultiplied in real numbers (0-255): within 1 level of the real-valued
//               result for opaque colours, 1.5 for translucent ones (the rounded source alpha).
//   Clear:      dst' = round(dst x (1 - c)), exact.
#include <cstdint>

#include "Graphics/Color.h"
#include "Graphics/Geometry.h"
#include "Graphics/ImageMask.h"

namespace gfx {

enum class MaskFillMode { SourceOver, Clear };

struct MaskFillTarget {
    std::uint32_t* pixels; // row 0 first
    int bytesPerRow;
    int width;
    int height;
};

struct MaskFillResult {
    bool handled = true; // false: placement too extreme for fixed point; use the general path
    IntRect touched;     // pixels that may have changed
};

// Fills `color` (straight alpha, already scaled by any global alpha) through `mask` stretched
// over the unit square (first row along y = 0) and placed by `unitToDevice`, limited to `clip`
// (device pixels, clamped to the target). A singular or non-finite placement draws nothing.
MaskFillResult fillMask(const MaskFillTarget& target, const IntRect& clip, const ImageMask& mask,
                        const AffineTransform& unitToDevice, const Color& color, MaskFillMode mode);

} // namespace gfx
