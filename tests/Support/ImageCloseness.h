#pragma once
// How close a large picture, shrunk, is to a small one: the large one box-shrunk (each small
// pixel the area-weighted mean of the large pixels under it) to the small one's size, then the
// mean absolute difference of red, green and blue over all pixels, in 0..255. Pictures are rows
// of 32-bit 0xAARRGGBB words (opaque: alpha is ignored).
#include <cstdint>
#include <cstring>
#include <vector>

namespace test_support {

struct PixelRows {
    const std::uint8_t* data;
    int width, height, bytesPerRow;
    std::uint32_t at(int x, int y) const
    {
        std::uint32_t word;
        std::memcpy(&word, data + static_cast<std::size_t>(y) * bytesPerRow + static_cast<std::size_t>(x) * 4, 4);
        return word;
    }
};

// The weights of the large pixels [first, first + weights.size()) under small pixel i.
struct BoxSpan {
    int first = 0;
    std::vector<double> weights;
};

inline std::vector<BoxSpan> boxSpans(int large, int small)
{
    std::vector<BoxSpan> spans(static_cast<std::size_t>(small));
    const double ratio = static_cast<double>(large) / small;
    for (int i = 0; i < small; ++i) {
        const double from = i * ratio, to = (i + 1) * ratio;
        BoxSpan& span = spans[static_cast<std::size_t>(i)];
        span.first = static_cast<int>(from);
        for (int j = span.first; j < large && j < to; ++j) {
            const double overlap = std::min<double>(j + 1, to) - std::max<double>(j, from);
            span.weights.push_back(overlap / ratio);
        }
    }
    return spans;
}

inline double meanDifferenceAfterShrink(const PixelRows& large, const PixelRows& small)
{
    const auto columns = boxSpans(large.width, small.width), rows = boxSpans(large.height, small.height);
    // Rows first: each large row shrunk across to small.width pixels.
    std::vector<double> across(static_cast<std::size_t>(large.height) * small.width * 3);
    for (int y = 0; y < large.height; ++y)
        for (int x = 0; x < small.width; ++x) {
            const BoxSpan& span = columns[static_cast<std::size_t>(x)];
            double* out = &across[(static_cast<std::size_t>(y) * small.width + x) * 3];
            for (std::size_t k = 0; k < span.weights.size(); ++k) {
                const std::uint32_t p = large.at(span.first + static_cast<int>(k), y);
                for (int c = 0; c < 3; ++c)
                    out[c] += span.weights[k] * ((p >> (16 - 8 * c)) & 0xFF);
            }
        }
    double sum = 0;
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x) {
            const BoxSpan& span = rows[static_cast<std::size_t>(y)];
            double mean[3] = {0, 0, 0};
            for (std::size_t k = 0; k < span.weights.size(); ++k)
                for (int c = 0; c < 3; ++c)
                    mean[c] +=
                        span.weights[k]
                        * across[(static_cast<std::size_t>(span.first + static_cast<int>(k)) * small.width + x) * 3
                                 + c];
            const std::uint32_t p = small.at(x, y);
            for (int c = 0; c < 3; ++c) {
                const double d = mean[c] - ((p >> (16 - 8 * c)) & 0xFF);
                sum += d < 0 ? -d : d;
            }
        }
    return sum / (3.0 * small.width * small.height);
}

} // namespace test_support
