#pragma once
// Checks shared by the encoders.
#include <optional>

#include "Foundation/Result.h"
#include "ImageIO/Encoder.h"

namespace imageio::detail {

// An error when the view has no data, a side outside 1..maxSide, or rows shorter than width x 4.
std::optional<fnd::Error> refuseInvalidPixels(const PixelsView& pixels, int maxSide);

} // namespace imageio::detail
