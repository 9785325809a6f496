#include "ImageIO/YuvConversion.h"

#include <cstddef>
#include <cstring>

#include "Foundation/Assert.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace imageio {

namespace {

// BT.709 weights scaled to the limited range and to 14 fractional bits. Each chroma row sums to
// zero, so grey gives exactly 128; luma's weights sum to 219/255 of 2^14, so black gives 16 and
// white 235.
constexpr int kShift = 14;
constexpr int kYr = 2992, kYg = 10063, kYb = 1016;
constexpr int kUr = -1649, kUg = -5547, kUb = 7196;
constexpr int kVr = 7196, kVg = -6536, kVb = -660;
// Offsets with rounding to nearest; chroma works on the sums of four pixels, hence two more bits.
constexpr int kYOffset = (16 << kShift) + (1 << (kShift - 1));
constexpr int kUvShift = kShift + 2;
constexpr int kUvOffset = (128 << kUvShift) + (1 << (kUvShift - 1));

struct Rgb {
    int r, g, b;
};

Rgb rgbAt(const std::uint8_t* row, int x)
{
    std::uint32_t word;
    std::memcpy(&word, row + static_cast<std::ptrdiff_t>(x) * 4, sizeof word);
    return {static_cast<int>((word >> 16) & 0xFF), static_cast<int>((word >> 8) & 0xFF), static_cast<int>(word & 0xFF)};
}

std::uint8_t lumaOf(Rgb p)
{
    return static_cast<std::uint8_t>((kYr * p.r + kYg * p.g + kYb * p.b + kYOffset) >> kShift);
}

// One 2 x 2 block from column x of two rows: both rows' luma and the block's chroma.
void convertBlock(const std::uint8_t* rowA, const std::uint8_t* rowB, int x, std::uint8_t* yA, std::uint8_t* yB,
                  std::uint8_t* u, std::uint8_t* v)
{
    const Rgb p[4] = {rgbAt(rowA, x), rgbAt(rowA, x + 1), rgbAt(rowB, x), rgbAt(rowB, x + 1)};
    yA[x] = lumaOf(p[0]);
    yA[x + 1] = lumaOf(p[1]);
    yB[x] = lumaOf(p[2]);
    yB[x + 1] = lumaOf(p[3]);
    const Rgb sum{p[0].r + p[1].r + p[2].r + p[3].r, p[0].g + p[1].g + p[2].g + p[3].g,
                  p[0].b + p[1].b + p[2].b + p[3].b};
    u[x / 2] = static_cast<std::uint8_t>((kUr * sum.r + kUg * sum.g + kUb * sum.b + kUvOffset) >> kUvShift);
    v[x / 2] = static_cast<std::uint8_t>((kVr * sum.r + kVg * sum.g + kVb * sum.b + kUvOffset) >> kUvShift);
}

#if defined(__SSE2__)

// [a0 + a1, a2 + a3, b0 + b1, b2 + b3]
__m128i addPairs(__m128i a, __m128i b)
{
    const __m128 fa = _mm_castsi128_ps(a);
    const __m128 fb = _mm_castsi128_ps(b);
    const __m128i even = _mm_castps_si128(_mm_shuffle_ps(fa, fb, _MM_SHUFFLE(2, 0, 2, 0)));
    const __m128i odd = _mm_castps_si128(_mm_shuffle_ps(fa, fb, _MM_SHUFFLE(3, 1, 3, 1)));
    return _mm_add_epi32(even, odd);
}

// Weighted sums of channels held as 16-bit lanes (blue, green, red, alpha for two pixels in each
// of `first` and `second`): four 32-bit results.
__m128i weigh(__m128i first, __m128i second, __m128i weights)
{
    return addPairs(_mm_madd_epi16(first, weights), _mm_madd_epi16(second, weights));
}

// Luma of eight pixels, as eight bytes.
void lumaOf8(__m128i px0, __m128i px1, std::uint8_t* out)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i weights = _mm_setr_epi16(kYb, kYg, kYr, 0, kYb, kYg, kYr, 0);
    const __m128i offset = _mm_set1_epi32(kYOffset);
    const __m128i y0 = _mm_srai_epi32(
        _mm_add_epi32(weigh(_mm_unpacklo_epi8(px0, zero), _mm_unpackhi_epi8(px0, zero), weights), offset), kShift);
    const __m128i y1 = _mm_srai_epi32(
        _mm_add_epi32(weigh(_mm_unpacklo_epi8(px1, zero), _mm_unpackhi_epi8(px1, zero), weights), offset), kShift);
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(y0, y1), _mm_setzero_si128());
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
}

// Sums of each horizontal pair of 16-bit pixels: lanes 0-3 hold pixel 0 + pixel 1.
__m128i addNeighbours(__m128i twoPixels) { return _mm_add_epi16(twoPixels, _mm_srli_si128(twoPixels, 8)); }

// One chroma plane's four samples from the blocks' channel sums, stored as four bytes.
void chromaOf4(__m128i blocks01, __m128i blocks23, __m128i weights, std::uint8_t* out)
{
    const __m128i offset = _mm_set1_epi32(kUvOffset);
    const __m128i c = _mm_srai_epi32(_mm_add_epi32(weigh(blocks01, blocks23, weights), offset), kUvShift);
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(c, c), _mm_setzero_si128());
    const int word = _mm_cvtsi128_si32(bytes);
    std::memcpy(out, &word, 4);
}

// Eight columns of two rows from column x: sixteen luma and four of each chroma.
void convert8(const std::uint8_t* rowA, const std::uint8_t* rowB, int x, std::uint8_t* yA, std::uint8_t* yB,
              std::uint8_t* u, std::uint8_t* v)
{
    const auto load = [x](const std::uint8_t* row, int offset) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + static_cast<std::ptrdiff_t>(x) * 4 + offset));
    };
    const __m128i a0 = load(rowA, 0), a1 = load(rowA, 16), b0 = load(rowB, 0), b1 = load(rowB, 16);
    lumaOf8(a0, a1, yA + x);
    lumaOf8(b0, b1, yB + x);

    const __m128i zero = _mm_setzero_si128();
    const auto columnSums = [zero](__m128i top, __m128i bottom, bool high) {
        return high ? _mm_add_epi16(_mm_unpackhi_epi8(top, zero), _mm_unpackhi_epi8(bottom, zero))
                    : _mm_add_epi16(_mm_unpacklo_epi8(top, zero), _mm_unpacklo_epi8(bottom, zero));
    };
    const __m128i blocks01 =
        _mm_unpacklo_epi64(addNeighbours(columnSums(a0, b0, false)), addNeighbours(columnSums(a0, b0, true)));
    const __m128i blocks23 =
        _mm_unpacklo_epi64(addNeighbours(columnSums(a1, b1, false)), addNeighbours(columnSums(a1, b1, true)));
    chromaOf4(blocks01, blocks23, _mm_setr_epi16(kUb, kUg, kUr, 0, kUb, kUg, kUr, 0), u + x / 2);
    chromaOf4(blocks01, blocks23, _mm_setr_epi16(kVb, kVg, kVr, 0, kVb, kVg, kVr, 0), v + x / 2);
}

#endif

struct RowPair {
    const std::uint8_t* a;
    const std::uint8_t* b;
    std::uint8_t* yA;
    std::uint8_t* yB;
    std::uint8_t* u;
    std::uint8_t* v;
};

RowPair rowPair(const std::uint8_t* pixels, int bytesPerRow, const YuvPlanes& planes, int pair)
{
    const auto row = [&](int y) { return pixels + static_cast<std::ptrdiff_t>(y) * bytesPerRow; };
    const auto luma = [&](int y) { return planes.y + static_cast<std::ptrdiff_t>(y) * planes.yStride; };
    const std::ptrdiff_t chroma = static_cast<std::ptrdiff_t>(pair) * planes.uvStride;
    return {row(2 * pair), row(2 * pair + 1), luma(2 * pair), luma(2 * pair + 1), planes.u + chroma, planes.v + chroma};
}

void checkArguments(const std::uint8_t* pixels, int bytesPerRow, int width, int height, const YuvPlanes& planes)
{
    KANVARO_ASSERT(pixels && planes.y && planes.u && planes.v);
    KANVARO_ASSERT(width > 0 && height > 0 && width % 2 == 0 && height % 2 == 0);
    KANVARO_ASSERT(bytesPerRow >= width * 4 && planes.yStride >= width && planes.uvStride >= width / 2);
}

} // namespace

void detail::convertArgbToYuv420Reference(const std::uint8_t* pixels, int bytesPerRow, int width, int height,
                                          const YuvPlanes& planes)
{
    checkArguments(pixels, bytesPerRow, width, height, planes);
    for (int pair = 0; pair < height / 2; ++pair) {
        const RowPair r = rowPair(pixels, bytesPerRow, planes, pair);
        for (int x = 0; x < width; x += 2)
            convertBlock(r.a, r.b, x, r.yA, r.yB, r.u, r.v);
    }
}

void convertArgbToYuv420(const std::uint8_t* pixels, int bytesPerRow, int width, int height, const YuvPlanes& planes)
{
#if defined(__SSE2__)
    checkArguments(pixels, bytesPerRow, width, height, planes);
    for (int pair = 0; pair < height / 2; ++pair) {
        const RowPair r = rowPair(pixels, bytesPerRow, planes, pair);
        int x = 0;
        for (; x + 8 <= width; x += 8)
            convert8(r.a, r.b, x, r.yA, r.yB, r.u, r.v);
        for (; x < width; x += 2)
            convertBlock(r.a, r.b, x, r.yA, r.yB, r.u, r.v);
    }
#else
    detail::convertArgbToYuv420Reference(pixels, bytesPerRow, width, height, planes);
#endif
}

} // namespace imageio
