// Images and masks travel to worker threads (recovery copies, exports) while the main thread draws
// them too: the first draws from several threads at once must make one cached surface between
// them. Run under ThreadSanitizer by scripts/test.
#include <gtest/gtest.h>

#include <cstring>
#include <latch>
#include <thread>
#include <vector>

#include "Graphics/BitmapContext.h"

namespace {

using gfx::BitmapContext;
using gfx::Color;

constexpr int kThreads = 4;

// Runs draw(context) on kThreads threads released together, each into a 2 x 2 context of its
// own, and returns the contexts' pixel (1, 1).
template <typename Draw> std::vector<std::uint32_t> drawTogether(const Draw& draw)
{
    std::vector<std::uint32_t> pixels(kThreads);
    std::latch start(kThreads);
    std::vector<std::jthread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            auto context = BitmapContext::create(2, 2);
            start.arrive_and_wait();
            draw(*context);
            pixels[static_cast<std::size_t>(i)] = context->pixelAt(1, 1);
        });
    }
    threads.clear(); // joins
    return pixels;
}

TEST(SharedImageThreads, FirstDrawsFromSeveralThreadsShareOneSurface)
{
    // Straight and half transparent: the first draw also makes the premultiplied copy.
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(4);
    const std::uint32_t word = 0x80FF0000;
    std::memcpy(bytes->data(), &word, 4);
    const gfx::ImageRef image = gfx::Image::create(1, 1, 4, gfx::Image::Alpha::Straight, bytes);
    ASSERT_TRUE(image);
    for (std::uint32_t pixel : drawTogether([&](BitmapContext& c) { c.drawImage({0, 0, 2, 2}, *image); }))
        EXPECT_EQ(pixel, 0x80800000u);

    // A mask sample of 0 covers fully.
    const gfx::ImageMaskRef mask = gfx::ImageMask::create(1, 1, 4, std::vector<std::uint8_t>(4, 0), false);
    ASSERT_TRUE(mask);
    const auto clipped = [&](BitmapContext& c) {
        c.clipToMask({0, 0, 2, 2}, mask);
        c.setFillColor(Color{0, 0, 1, 1});
        c.fillRect({0, 0, 2, 2});
    };
    for (std::uint32_t pixel : drawTogether(clipped))
        EXPECT_EQ(pixel, 0xFF0000FFu);
}

} // namespace
