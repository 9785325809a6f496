#pragma once
// Size checks every decoder runs on a picture's header, before any pixel memory is allocated.
#include <cstdint>

#include "Foundation/Result.h"

namespace imageio::detail {

// Fails when a side is 0 or too long, or the picture holds too many pixels.
fnd::Status checkDecodableSize(std::int64_t width, std::int64_t height);

} // namespace imageio::detail
