#include "ImageIO/PngDecoder.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ImageIO/DecodeLimits.h"
#include "ImageIO/Decoder.h"
#include "ImageIO/ExifOrientation.h"

namespace imageio::detail {
namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Ancillary chunks (text, ICC profiles) larger than this are refused rather than buffered.
constexpr png_alloc_size_t kMaxChunkBytes = 8 * 1024 * 1024;

// Everything the libpng callbacks touch. Plain data: errors leave through longjmp.
struct PngSource {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset;
    bool truncated;
    char message[256];
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length)
{
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (length > source->size - source->offset) {
        source->truncated = true;
        png_error(png, "truncated");
    }
    std::memcpy(out, source->data + source->offset, length);
    source->offset += length;
}

[[noreturn]] void recordErrorAndJump(png_structp png, png_const_charp message)
{
    auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
    std::snprintf(source->message, sizeof source->message, "%s", message);
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

class PngReader {
public:
    explicit PngReader(PngSource* source)
        : m_png(png_create_read_struct(PNG_LIBPNG_VER_STRING, source, recordErrorAndJump, ignoreWarning))
    {
        if (m_png)
            m_info = png_create_info_struct(m_png);
    }
    ~PngReader()
    {
        if (m_png)
            png_destroy_read_struct(&m_png, m_info ? &m_info : nullptr, nullptr);
    }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    bool ok() const { return m_png && m_info; }
    png_structp png() const { return m_png; }
    png_infop info() const { return m_info; }

private:
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

struct PngLayout {
    png_uint_32 width;
    png_uint_32 height;
    png_size_t rowBytes;
    int passes;
    png_bytep exif;
    png_uint_32 exifSize;
};

// Reads the header and asks libpng for 8-bit BGRA rows whatever the stored format.
// libpng reports errors by longjmp: nothing in this frame may have a destructor.
bool readPngLayout(png_structp png, png_infop info, PngLayout* layout)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    png_set_expand(png); // palette -> RGB, grey below 8 bits -> 8 bits, tRNS -> alpha
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    layout->passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    layout->width = png_get_image_width(png, info);
    layout->height = png_get_image_height(png, info);
    layout->rowBytes = png_get_rowbytes(png, info);
    layout->exif = nullptr;
    layout->exifSize = 0;
    if (!png_get_eXIf_1(png, info, &layout->exifSize, &layout->exif))
        layout->exifSize = 0;
    return true;
}

bool readPngRow(png_structp png, png_bytep row)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_row(png, row, nullptr);
    return true;
}

bool readPngEnd(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_end(png, info);
    return true;
}

// An eXIf chunk may also follow the image data. The pixels are complete by now, so a damaged
// tail only costs the orientation: the picture then stays as stored.
int orientationAfterImageData(png_structp png, png_infop info)
{
    png_bytep exif = nullptr;
    png_uint_32 exifSize = 0;
    if (!readPngEnd(png, info) || !png_get_eXIf_1(png, info, &exifSize, &exif))
        return kOrientationUp;
    return orientationFromTiffBlock(exif, exifSize);
}

fnd::Error describeFailure(const PngSource& source)
{
    if (source.truncated)
        return fnd::Error{"truncated PNG data"};
    if (isAboutMemory(source.message))
        return fnd::outOfMemory("PNG decoding failed");
    return fnd::Error{std::string("corrupt PNG data: ") + source.message};
}

bool hasHeaderChunk(const std::uint8_t* data, std::size_t size)
{
    return size >= 24 && std::memcmp(data + 12, "IHDR", 4) == 0;
}

std::int64_t bigEndian32(const std::uint8_t* p)
{
    return std::int64_t{p[0]} << 24 | std::int64_t{p[1]} << 16 | std::int64_t{p[2]} << 8 | p[3];
}

// Width and height sit at fixed offsets in the IHDR chunk that must follow the signature; reading
// them here gives a clear refusal before libpng sees the file.
fnd::Status checkSupportedHeader(const std::uint8_t* data, std::size_t size)
{
    if (!hasHeaderChunk(data, size))
        return {}; // libpng reports what is wrong
    return checkDecodableSize(bigEndian32(data + 16), bigEndian32(data + 20));
}

// Fills `pixels` row by row so that memory is touched only as data actually arrives.
bool readPngPixels(png_structp png, const PngLayout& layout, std::vector<std::uint8_t>& pixels)
{
    const std::size_t total = layout.rowBytes * layout.height;
    if (layout.passes > 1) {
        pixels.resize(total); // every pass revisits every row
        for (int pass = 0; pass < layout.passes; ++pass)
            for (png_uint_32 y = 0; y < layout.height; ++y)
                if (!readPngRow(png, pixels.data() + y * layout.rowBytes))
                    return false;
        return true;
    }
    pixels.reserve(total);
    for (png_uint_32 y = 0; y < layout.height; ++y) {
        pixels.resize(pixels.size() + layout.rowBytes);
        if (!readPngRow(png, pixels.data() + y * layout.rowBytes))
            return false;
    }
    return true;
}

// (c x a + 127) / 255 for each colour byte of each 0xAARRGGBB word, in place. No branch on
// alpha, so the compiler can run it over many pixels at once.
void premultiplyRow(std::uint8_t* row, png_uint_32 width)
{
    for (png_uint_32 x = 0; x < width; ++x) {
        std::uint32_t word;
        std::memcpy(&word, row + std::size_t{x} * 4, 4);
        const std::uint32_t a = word >> 24;
        const std::uint32_t r = (((word >> 16) & 0xFF) * a + 127) / 255;
        const std::uint32_t g = (((word >> 8) & 0xFF) * a + 127) / 255;
        const std::uint32_t b = ((word & 0xFF) * a + 127) / 255;
        word = (a << 24) | (r << 16) | (g << 8) | b;
        std::memcpy(row + std::size_t{x} * 4, &word, 4);
    }
}

// Decodes into the caller's rows. Single-pass pictures are premultiplied row by row while each
// row is still in cache; interlaced ones fill every row over seven passes (libpng writes only
// each pass's own pixels into a row), so they are premultiplied once the last pass is in.
bool readPngPixelsInto(png_structp png, const PngLayout& layout, const PixelRows& rows)
{
    auto rowAt = [&](png_uint_32 y) { return rows.data + std::size_t{y} * rows.bytesPerRow; };
    const bool interlaced = layout.passes > 1;
    for (int pass = 0; pass < layout.passes; ++pass)
        for (png_uint_32 y = 0; y < layout.height; ++y) {
            if (!readPngRow(png, rowAt(y)))
                return false;
            if (!interlaced)
                premultiplyRow(rowAt(y), layout.width);
        }
    if (interlaced)
        for (png_uint_32 y = 0; y < layout.height; ++y)
            premultiplyRow(rowAt(y), layout.width);
    return true;
}

// A read struct with our limits, reading from `source`; its layout read and checked.
fnd::Result<PngLayout> startReading(PngReader& reader, PngSource& source)
{
    if (!reader.ok())
        return fnd::outOfMemory("cannot start the PNG decoder"); // libpng fails here only for memory
    png_set_user_limits(reader.png(), kMaxDecodeSide, kMaxDecodeSide);
    png_set_chunk_malloc_max(reader.png(), kMaxChunkBytes);
    png_set_read_fn(reader.png(), &source, readFromMemory);
    PngLayout layout{};
    if (!readPngLayout(reader.png(), reader.info(), &layout))
        return describeFailure(source);
    if (auto checked = checkDecodableSize(layout.width, layout.height); !checked)
        return checked.failure();
    if (layout.rowBytes != std::size_t{layout.width} * 4)
        return fnd::Error{"unsupported PNG pixel format"};
    return layout;
}

} // namespace

bool looksLikePng(const std::uint8_t* data, std::size_t size)
{
    return size >= sizeof kPngSignature && std::memcmp(data, kPngSignature, sizeof kPngSignature) == 0;
}

fnd::Result<DecodedImage> decodePng(const std::uint8_t* data, std::size_t size)
{
    if (auto checked = checkSupportedHeader(data, size); !checked)
        return checked.failure();
    PngSource source{data, size, 0, false, {}};
    PngReader reader(&source);
    auto layout = startReading(reader, source);
    if (!layout)
        return layout.failure();

    auto pixels = std::make_shared<std::vector<std::uint8_t>>();
    if (!readPngPixels(reader.png(), layout.value(), *pixels))
        return describeFailure(source);

    DecodedImage image;
    image.width = static_cast<int>(layout->width);
    image.height = static_cast<int>(layout->height);
    image.bytesPerRow = image.width * 4;
    image.orientation = layout->exif ? orientationFromTiffBlock(layout->exif, layout->exifSize)
                                     : orientationAfterImageData(reader.png(), reader.info());
    image.bytes = std::move(pixels);
    return image;
}

} // namespace imageio::detail

namespace imageio {

fnd::Result<PictureSize> readPngSize(const std::uint8_t* data, std::size_t size)
{
    if (!data || !detail::looksLikePng(data, size))
        return fnd::Error{"not a PNG file"};
    if (!detail::hasHeaderChunk(data, size))
        return fnd::Error{"truncated PNG header"};
    if (auto checked = detail::checkSupportedHeader(data, size); !checked)
        return checked.failure();
    return PictureSize{static_cast<int>(detail::bigEndian32(data + 16)),
                       static_cast<int>(detail::bigEndian32(data + 20))};
}

fnd::Status decodePngInto(const std::uint8_t* data, std::size_t size, const PixelRows& rows)
{
    if (!data || !detail::looksLikePng(data, size))
        return fnd::Error{"not a PNG file"};
    if (!rows.data || rows.width <= 0 || rows.height <= 0
        || rows.bytesPerRow < std::size_t{4} * static_cast<std::size_t>(rows.width))
        return fnd::Error{"no rows to decode into"};
    if (auto checked = detail::checkSupportedHeader(data, size); !checked)
        return checked.failure();
    detail::PngSource source{data, size, 0, false, {}};
    detail::PngReader reader(&source);
    auto layout = detail::startReading(reader, source);
    if (!layout)
        return layout.failure();
    if (layout->width != static_cast<png_uint_32>(rows.width)
        || layout->height != static_cast<png_uint_32>(rows.height))
        return fnd::Error{"a " + std::to_string(layout->width) + " x " + std::to_string(layout->height)
                          + " picture where " + std::to_string(rows.width) + " x " + std::to_string(rows.height)
                          + " was expected"};
    if (!detail::readPngPixelsInto(reader.png(), layout.value(), rows))
        return detail::describeFailure(source);
    return {};
}

} // namespace imageio
