#include "ImageIO/PixelConversion.h"

#include <array>

namespace imageio::detail {
namespace {

// 16.16 fixed-point factors 255 / alpha, so unpremultiplying needs no division per pixel.
constexpr std::array<std::uint32_t, 256> makeUnpremultiplyFactors()
{
    std::array<std::uint32_t, 256> factors{};
    for (std::uint32_t alpha = 1; alpha < 256; ++alpha)
        factors[alpha] = (255u * 65536u + alpha / 2) / alpha;
    return factors;
}
constexpr std::array<std::uint32_t, 256> kUnpremultiplyFactors = makeUnpremultiplyFactors();

std::uint8_t unpremultiply(std::uint8_t component, std::uint32_t factor)
{
    const std::uint32_t value = (component * factor + 32768u) >> 16;
    return static_cast<std::uint8_t>(value > 255 ? 255 : value);
}

std::uint8_t multiply255(unsigned a, unsigned b) { return static_cast<std::uint8_t>((a * b + 127) / 255); }

} // namespace

void unpremultiplyRow(const std::uint8_t* source, std::uint8_t* destination, int width)
{
    for (int x = 0; x < width; ++x, source += 4, destination += 4) {
        const std::uint8_t alpha = source[3];
        if (alpha == 255) {
            for (int i = 0; i < 4; ++i)
                destination[i] = source[i];
            continue;
        }
        const std::uint32_t factor = kUnpremultiplyFactors[alpha]; // 0 for alpha 0: clears colour
        destination[0] = unpremultiply(source[0], factor);
        destination[1] = unpremultiply(source[1], factor);
        destination[2] = unpremultiply(source[2], factor);
        destination[3] = alpha;
    }
}

void convertCmykRowToBgra(std::uint8_t* row, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, row += 4) {
        unsigned c = row[0], m = row[1], y = row[2], k = row[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        // Now every value is "255 = no ink": red = (1 - C)(1 - K) and so on.
        row[0] = multiply255(y, k);
        row[1] = multiply255(m, k);
        row[2] = multiply255(c, k);
        row[3] = 255;
    }
}

} // namespace imageio::detail
