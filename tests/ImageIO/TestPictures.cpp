#include "TestPictures.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
#include <png.h>

namespace imageio::test {
namespace {

void appendPngBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

int pngRowBytes(const PngRecipe& recipe)
{
    const int channels[] = {1, 0, 3, 1, 2, 0, 4};
    return (recipe.width * channels[recipe.colorType] * recipe.bitDepth + 7) / 8;
}

void writeJpegPixels(jpeg_compress_struct& info, const JpegRecipe& recipe)
{
    const int rowBytes = recipe.width * info.input_components;
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPLE*>(recipe.samples.data() + info.next_scanline * rowBytes);
        jpeg_write_scanlines(&info, &row, 1);
    }
}

} // namespace

// Test input is well formed; libpng's default error handling aborts on a mistake here.
std::vector<std::uint8_t> makePng(const PngRecipe& recipe)
{
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendPngBytes, flushNothing);
    png_set_IHDR(png, info, recipe.width, recipe.height, recipe.bitDepth, recipe.colorType,
                 recipe.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!recipe.palette.empty())
        png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(recipe.palette.data()),
                     static_cast<int>(recipe.palette.size() / 3));
    if (!recipe.transparency.empty())
        png_set_tRNS(png, info, recipe.transparency.data(), static_cast<int>(recipe.transparency.size()), nullptr);
    auto setExif = [&] {
        png_set_eXIf_1(png, info, static_cast<png_uint_32>(recipe.exif.size()),
                       const_cast<png_bytep>(recipe.exif.data()));
    };
    if (!recipe.exif.empty() && !recipe.exifAfterImage)
        setExif();
    png_write_info(png, info);
    if (!recipe.headerOnly) {
        const int passes = png_set_interlace_handling(png);
        for (int pass = 0; pass < passes; ++pass)
            for (int y = 0; y < recipe.height; ++y)
                png_write_row(png, recipe.rows.data() + y * pngRowBytes(recipe));
        if (!recipe.exif.empty() && recipe.exifAfterImage)
            setExif(); // png_write_end writes it after the image data
        png_write_end(png, info);
    }
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<std::uint8_t> makeJpeg(const JpegRecipe& recipe)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = recipe.width;
    info.image_height = recipe.height;
    const bool cmyk = recipe.kind != JpegKind::kRgb && recipe.kind != JpegKind::kGrey;
    info.input_components = recipe.kind == JpegKind::kGrey ? 1 : cmyk ? 4 : 3;
    info.in_color_space = recipe.kind == JpegKind::kGrey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    if (recipe.kind == JpegKind::kAdobeYcck)
        jpeg_set_colorspace(&info, JCS_YCCK);
    info.write_Adobe_marker = recipe.kind == JpegKind::kAdobeCmyk || recipe.kind == JpegKind::kAdobeYcck;
    jpeg_set_quality(&info, recipe.quality, TRUE);
    if (recipe.progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    if (recipe.exifOrientation != 0) {
        std::vector<std::uint8_t> app1 = {'E', 'x', 'i', 'f', 0, 0};
        const auto tiff = makeTiffOrientation(recipe.exifOrientation, recipe.bigEndianExif);
        app1.insert(app1.end(), tiff.begin(), tiff.end());
        jpeg_write_marker(&info, JPEG_APP0 + 1, app1.data(), static_cast<unsigned>(app1.size()));
    }
    writeJpegPixels(info, recipe);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

std::vector<std::uint8_t> makeTiffOrientation(int exifOrientation, bool bigEndian)
{
    auto v = static_cast<std::uint8_t>(exifOrientation);
    if (bigEndian) // header, IFD0 at 8, 1 entry: tag 0x0112, SHORT, count 1, value; no next IFD
        return {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0, 3, 0, 0, 0, 1, 0, v, 0, 0, 0, 0, 0, 0};
    return {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, v, 0, 0, 0, 0, 0, 0, 0};
}

std::vector<std::uint8_t> makeGradientRgb(int width, int height)
{
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            rgb.push_back(static_cast<std::uint8_t>(x * 255 / (width - 1)));
            rgb.push_back(static_cast<std::uint8_t>(y * 255 / (height - 1)));
            rgb.push_back(128);
        }
    return rgb;
}

std::uint32_t pixelAt(const DecodedImage& image, int x, int y)
{
    const std::uint8_t* p = image.bytes->data() + y * image.bytesPerRow + x * 4;
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

int channelDistance(std::uint32_t a, std::uint32_t b)
{
    int largest = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        largest = d > largest ? d : largest;
    }
    return largest;
}

} // namespace imageio::test
