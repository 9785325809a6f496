#pragma once
// Small helpers shared by the application-class tests: synthetic photos, painted strokes and
// pixel comparisons. Temporary folders come from Support/TempFolder.h.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"
#include "ImageIO/DecodedImage.h"
#include "Support/TempFolder.h"

namespace testing {

// An upright opaque photo whose pixels encode their position: red = x, green = y, blue = x ^ y.
inline std::shared_ptr<imageio::DecodedImage> makePhoto(int width, int height, int orientation = 0)
{
    auto photo = std::make_shared<imageio::DecodedImage>();
    photo->width = width;
    photo->height = height;
    photo->bytesPerRow = width * 4;
    photo->orientation = orientation;
    photo->bytes = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(width) * height * 4);
    std::uint8_t* p = photo->bytes->data();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x, p += 4) {
            p[0] = static_cast<std::uint8_t>(x ^ y);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = static_cast<std::uint8_t>(x);
            p[3] = 255;
        }
    return photo;
}

// Paints into the current-strokes layer, as the brush does.
inline void paintStroke(Canvas& canvas, const gfx::Rect& rect, const gfx::Color& color)
{
    auto& ctx = canvas.curStrokeLayer().context();
    ctx.setFillColor(color);
    ctx.fillEllipse(rect);
}

inline void expectSamePixels(const gfx::Image& a, const gfx::Image& b)
{
    ASSERT_EQ(a.width(), b.width());
    ASSERT_EQ(a.height(), b.height());
    int mismatches = 0;
    for (int y = 0; y < a.height() && mismatches < 5; ++y)
        for (int x = 0; x < a.width() && mismatches < 5; ++x)
            if (a.pixelAt(x, y) != b.pixelAt(x, y)) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << std::hex << a.pixelAt(x, y) << " vs "
                              << b.pixelAt(x, y);
                ++mismatches;
            }
}

inline std::vector<std::uint8_t> readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace testing
