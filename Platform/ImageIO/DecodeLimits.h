#pragma once
// Size checks every decoder runs on a picture's header, before any pixel memory is allocated.
#include <cstdint>
#include <string_view>

#include "Foundation/Result.h"

namespace imageio::detail {

// Fails when a side is 0 or too long, or the picture holds too many pixels.
fnd::Status checkDecodableSize(std::int64_t width, std::int64_t height);

// True for a codec library's message about a failed allocation ("Out of memory", "Insufficient
// memory (case 4)"): that failure is no fault of the picture.
bool isAboutMemory(std::string_view message);

} // namespace imageio::detail
