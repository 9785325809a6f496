#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "ImageIO/YuvConversion.h"

namespace imageio {
namespace {

struct Picture {
    int width, height;
    std::vector<std::uint8_t> y, u, v;

    Picture(int w, int h)
        : width(w)
        , height(h)
        , y(static_cast<std::size_t>(w * h))
        , u(static_cast<std::size_t>(w * h / 4))
        , v(static_cast<std::size_t>(w * h / 4))
    {
    }
    YuvPlanes planes() { return {y.data(), u.data(), v.data(), width, width / 2}; }
};

std::vector<std::uint8_t> wordsToBytes(const std::vector<std::uint32_t>& words)
{
    std::vector<std::uint8_t> bytes(words.size() * 4);
    std::memcpy(bytes.data(), words.data(), bytes.size());
    return bytes;
}

TEST(YuvConversion, GivesBt709LimitedRange)
{
    // Two by two blocks of one colour each: white, black, red, green, blue, mid grey.
    const std::uint32_t colours[] = {0xFFFFFFFF, 0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF808080};
    const int expected[][3] = {{235, 128, 128}, {16, 128, 128}, {63, 102, 240},
                               {173, 42, 26},   {32, 240, 118}, {126, 128, 128}};
    const int blocks = static_cast<int>(std::size(colours));
    std::vector<std::uint32_t> words(static_cast<std::size_t>(blocks) * 4);
    for (int b = 0; b < blocks; ++b)
        for (int i : {0, 1})
            words[static_cast<std::size_t>(2 * b + i)] = words[static_cast<std::size_t>(2 * blocks + 2 * b + i)] =
                colours[b];
    const auto bytes = wordsToBytes(words);
    Picture picture(2 * blocks, 2);
    convertArgbToYuv420(bytes.data(), 2 * blocks * 4, 2 * blocks, 2, picture.planes());
    for (int b = 0; b < blocks; ++b) {
        SCOPED_TRACE(b);
        EXPECT_EQ(picture.y[static_cast<std::size_t>(2 * b)], expected[b][0]);
        EXPECT_EQ(picture.y[static_cast<std::size_t>(2 * blocks + 2 * b + 1)], expected[b][0]);
        EXPECT_EQ(picture.u[static_cast<std::size_t>(b)], expected[b][1]);
        EXPECT_EQ(picture.v[static_cast<std::size_t>(b)], expected[b][2]);
    }
}

TEST(YuvConversion, FastPathMatchesReferenceExactly)
{
    // Random pixels (any alpha) in rows with padding, at widths around the eight-pixel step.
    std::mt19937 random(7);
    for (int width : {2, 6, 8, 10, 24, 38}) {
        const int height = 6;
        const int bytesPerRow = width * 4 + 12;
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(bytesPerRow * height));
        for (auto& byte : pixels)
            byte = static_cast<std::uint8_t>(random());
        Picture fast(width, height), reference(width, height);
        convertArgbToYuv420(pixels.data(), bytesPerRow, width, height, fast.planes());
        detail::convertArgbToYuv420Reference(pixels.data(), bytesPerRow, width, height, reference.planes());
        SCOPED_TRACE(width);
        EXPECT_EQ(fast.y, reference.y);
        EXPECT_EQ(fast.u, reference.u);
        EXPECT_EQ(fast.v, reference.v);
    }
}

} // namespace
} // namespace imageio
