#pragma once
// Checks shared by the encoders.

#include "Foundation/Result.h"
#include "ImageIO/Encoder.h"

namespace imageio::detail {

// Fails when the view has no data, a side outside 1..maxSide, or rows shorter than width x 4.
fnd::Status checkEncodablePixels(const PixelsView& pixels, int maxSide);

} // namespace imageio::detail
