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
#include "ImageIO/Encoder.h"
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

// A JPEG of the photo's pixels, by our own writer, with the EXIF orientation tag a camera writes
// (1..8) in an APP1 segment straight after the start of the image.
inline std::vector<std::uint8_t> makeJpegWithExifOrientation(const imageio::DecodedImage& photo, int exifOrientation)
{
    auto jpeg = imageio::encodeJpeg({photo.bytes->data(), photo.width, photo.height, photo.bytesPerRow, false}, 0.9);
    if (!jpeg)
        return {};
    const auto code = static_cast<std::uint8_t>(exifOrientation);
    // clang-format off
    const std::uint8_t app1[] = {
        0xFF, 0xE1, 0, 34, 'E', 'x', 'i', 'f', 0, 0,         // the segment, its length, the Exif name
        'M', 'M', 0, 42, 0, 0, 0, 8,                         // a big-endian TIFF, its first IFD at 8
        0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, code, 0, 0,   // one entry: the orientation, a short
        0, 0, 0, 0};                                         // no next IFD
    // clang-format on
    std::vector<std::uint8_t> tagged = std::move(jpeg).value();
    tagged.insert(tagged.begin() + 2, std::begin(app1), std::end(app1));
    return tagged;
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
