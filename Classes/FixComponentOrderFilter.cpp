#include "FixComponentOrderFilter.h"

namespace {

// 5 bits to 8, truncating: 0 -> 0, 1 -> 8, 16 -> 131, 31 -> 255.
constexpr std::uint32_t widen5(std::uint32_t field) { return (field * 255) / 31; }

} // namespace

CColor CFixComponentOrderFilter::Widen16(const std::uint8_t* bytes)
{
    const std::uint32_t v = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8;
    const std::uint32_t red = widen5((v >> 10) & 0x1F);
    const std::uint32_t green = widen5((v >> 5) & 0x1F);
    const std::uint32_t blue = widen5(v & 0x1F);
    return CColor{0xFF000000u | red << 16 | green << 8 | blue};
}
