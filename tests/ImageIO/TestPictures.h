#pragma once
// Builds small PNG and JPEG files straight with libpng and libjpeg, so the decoder meets formats
// that our own encoders never write.
#include <cstdint>
#include <vector>

#include "ImageIO/DecodedImage.h"

namespace imageio::test {

struct PngRecipe {
    int width = 0;
    int height = 0;
    int colorType = 0; // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<std::uint8_t> rows{};    // packed rows as stored in the file
    std::vector<std::uint8_t> palette{}; // r, g, b triples
    std::vector<std::uint8_t> transparency{};
    std::vector<std::uint8_t> exif{}; // eXIf chunk (TIFF structure)
    bool exifAfterImage = false;      // the eXIf chunk follows the image data
    bool headerOnly = false;          // stop after IHDR (and eXIf): no pixel data
};
std::vector<std::uint8_t> makePng(const PngRecipe& recipe);

enum class JpegKind { kRgb, kGrey, kAdobeCmyk, kAdobeYcck, kPlainCmyk };

struct JpegRecipe {
    int width = 0;
    int height = 0;
    JpegKind kind = JpegKind::kRgb;
    bool progressive = false;
    int quality = 95;
    int exifOrientation = 0; // 0: no APP1 segment
    bool bigEndianExif = false;
    std::vector<std::uint8_t> samples{}; // interleaved: 3 (RGB), 1 (grey) or 4 (CMYK as stored) per pixel
};
std::vector<std::uint8_t> makeJpeg(const JpegRecipe& recipe);

// A TIFF-structured block holding only an orientation tag.
std::vector<std::uint8_t> makeTiffOrientation(int exifOrientation, bool bigEndian);

// A smooth RGB gradient, 3 bytes per pixel.
std::vector<std::uint8_t> makeGradientRgb(int width, int height);

// The pixel at (x, y) as the word 0xAARRGGBB.
std::uint32_t pixelAt(const DecodedImage& image, int x, int y);

// The largest difference of any byte between two pixels.
int channelDistance(std::uint32_t a, std::uint32_t b);

} // namespace imageio::test
