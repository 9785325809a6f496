// The blueprint: an edge sketch of the photo as an image mask. Each sample says how strongly its
// pixel lies on an edge: per colour channel the largest difference across the four lines through
// the pixel (its eight neighbours, clamped at the borders; the pixel itself takes no part), the
// three channel differences averaged, and the result inverted so that strong edges paint.
//
// The work is done a row at a time on whole rows of bytes, so the compiler can vectorise it: the
// interior columns in one loop over the three row pointers, the two border columns apart. gcc's
// default -O2 cost model refuses loops that need a scalar tail; this file asks for the full one.
// The two row loops are also built for AVX2, picked at load time where the processor has it.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("vect-cost-model=dynamic")
#endif
// Not under ThreadSanitizer: the loader runs the picking code before that sanitizer has started,
// and its instrumented code then crashes.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KANVARO_THREAD_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define KANVARO_THREAD_SANITIZER 1
#endif
#if defined(__x86_64__) && defined(__ELF__) && !defined(KANVARO_THREAD_SANITIZER)
#define KANVARO_ROW_LOOP __attribute__((target_clones("avx2", "default")))
#else
#define KANVARO_ROW_LOOP
#endif
#include <algorithm>
#include <cstdint>
#include <vector>

#include "Foundation/Log.h"
#include "RawImage.h"

namespace {

constexpr int kBytesPerPixel = 4;
constexpr int kMaxChannelSum = 3 * 255;

// The edge strength E = (Dr + Dg + Db) / 3.0f truncated; the multiply-high form gives the same
// value for every possible sum (checked below at compile time) and maps onto 16-bit vector lanes.
constexpr std::uint16_t edgeStrength(std::uint16_t channelSum)
{
    return static_cast<std::uint16_t>((static_cast<std::uint32_t>(channelSum) * 21846u) >> 16);
}

constexpr bool edgeStrengthMatchesFloatDivision()
{
    for (unsigned sum = 0; sum <= kMaxChannelSum; ++sum)
        if (edgeStrength(static_cast<std::uint16_t>(sum)) != static_cast<unsigned>(static_cast<float>(sum) / 3.0f))
            return false;
    return true;
}
static_assert(edgeStrengthMatchesFloatDivision());

inline std::uint8_t absDiff(std::uint8_t a, std::uint8_t b)
{
    return static_cast<std::uint8_t>(std::max(a, b) - std::min(a, b));
}

inline std::uint8_t max4(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d)
{
    return std::max(std::max(a, b), std::max(c, d));
}

inline std::uint8_t lineDifference(const std::uint8_t* up, const std::uint8_t* mid, const std::uint8_t* down,
                                   std::size_t i)
{
    constexpr std::size_t p = kBytesPerPixel;
    return max4(absDiff(up[i - p], down[i + p]), absDiff(up[i], down[i]), absDiff(up[i + p], down[i - p]),
                absDiff(mid[i - p], mid[i + p]));
}

// For the bytes of columns 1 .. width - 2: the largest difference across the four lines through
// the pixel, byte by byte (the alpha byte is computed too and ignored later). The neighbours of
// byte i are the same byte of the pixels at i - 4 and i + 4.
KANVARO_ROW_LOOP void interiorDifferences(const std::uint8_t* __restrict up, const std::uint8_t* __restrict mid,
                                          const std::uint8_t* __restrict down, std::size_t rowBytes,
                                          std::uint8_t* __restrict out)
{
    constexpr std::size_t p = kBytesPerPixel;
    for (std::size_t i = p; i + p < rowBytes; ++i)
        out[i] = lineDifference(up, mid, down, i);
}

// The same for one column whose left and right neighbours are the (clamped) columns given.
void columnDifferences(const std::uint8_t* up, const std::uint8_t* mid, const std::uint8_t* down, int left, int centre,
                       int right, std::uint8_t* out)
{
    const std::size_t l = static_cast<std::size_t>(left) * kBytesPerPixel;
    const std::size_t c = static_cast<std::size_t>(centre) * kBytesPerPixel;
    const std::size_t r = static_cast<std::size_t>(right) * kBytesPerPixel;
    for (std::size_t k = 0; k < 3; ++k)
        out[c + k] = max4(absDiff(up[l + k], down[r + k]), absDiff(up[c + k], down[c + k]),
                          absDiff(up[r + k], down[l + k]), absDiff(mid[l + k], mid[r + k]));
}

// Mask samples from the per-pixel differences: 255 - E, where E averages blue, green and red
// (bytes 0, 1 and 2 of each little-endian word).
inline std::uint8_t sampleFromDifferences(std::uint32_t word)
{
    const auto sum = static_cast<std::uint16_t>((word & 0xFF) + ((word >> 8) & 0xFF) + ((word >> 16) & 0xFF));
    return static_cast<std::uint8_t>(255u - edgeStrength(sum));
}

KANVARO_ROW_LOOP void samplesFromDifferences(const std::uint32_t* __restrict differences, std::size_t width,
                                             std::uint8_t* __restrict samples)
{
    for (std::size_t x = 0; x < width; ++x)
        samples[x] = sampleFromDifferences(differences[x]);
}

} // namespace

gfx::ImageMaskRef RawImage::createCompatibleImageOutline() const
{
    const int w = m_width, h = m_height;
    const std::size_t needed = static_cast<std::size_t>(std::max(h, 0)) * static_cast<std::size_t>(std::max(m_rb, 0));
    if (w <= 0 || h <= 0 || m_bpp != 32 || m_rb < w * kBytesPerPixel || !m_pixels || m_pixels->size() < needed) {
        fnd::log("RawImage: no outline for a pixel block of " + std::to_string(w) + " x " + std::to_string(h));
        return nullptr;
    }
    const int maskRowBytes = gfx::ImageMask::rowBytesFor(w);
    std::vector<std::uint8_t> samples(static_cast<std::size_t>(maskRowBytes) * static_cast<std::size_t>(h));
    const std::size_t pixelRowBytes = static_cast<std::size_t>(w) * kBytesPerPixel;
    // One word per pixel, filled byte by byte and read back as words.
    std::vector<std::uint32_t> differences(static_cast<std::size_t>(w));
    auto* differenceBytes = reinterpret_cast<std::uint8_t*>(differences.data());
    const std::uint8_t* pixels = m_pixels->data();
    auto row = [&](int y) { return pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_rb); };

    for (int y = 0; y < h; ++y) {
        const std::uint8_t* up = row(std::max(y - 1, 0));
        const std::uint8_t* mid = row(y);
        const std::uint8_t* down = row(std::min(y + 1, h - 1));
        interiorDifferences(up, mid, down, pixelRowBytes, differenceBytes);
        columnDifferences(up, mid, down, 0, 0, std::min(1, w - 1), differenceBytes);
        columnDifferences(up, mid, down, std::max(w - 2, 0), w - 1, w - 1, differenceBytes);
        samplesFromDifferences(differences.data(), static_cast<std::size_t>(w),
                               samples.data() + static_cast<std::size_t>(y) * maskRowBytes);
    }
    return gfx::ImageMask::create(w, h, maskRowBytes, std::move(samples), false);
}
