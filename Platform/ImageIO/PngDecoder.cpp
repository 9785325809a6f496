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

fnd::Error describeFailure(const PngSource& source)
{
    if (source.truncated)
        return fnd::Error{"truncated PNG data"};
    return fnd::Error{std::string("corrupt PNG data: ") + source.message};
}

// Width and height sit at fixed offsets in the IHDR chunk that must follow the signature; reading
// them here gives a clear refusal before libpng sees the file.
std::optional<fnd::Error> refuseUnsupportedHeader(const std::uint8_t* data, std::size_t size)
{
    if (size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0)
        return std::nullopt; // libpng reports what is wrong
    auto bigEndian32 = [](const std::uint8_t* p) {
        return std::int64_t{p[0]} << 24 | std::int64_t{p[1]} << 16 | std::int64_t{p[2]} << 8 | p[3];
    };
    return refuseUnsupportedSize(bigEndian32(data + 16), bigEndian32(data + 20));
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

} // namespace

bool looksLikePng(const std::uint8_t* data, std::size_t size)
{
    return size >= sizeof kPngSignature && std::memcmp(data, kPngSignature, sizeof kPngSignature) == 0;
}

fnd::Result<DecodedImage> decodePng(const std::uint8_t* data, std::size_t size)
{
    if (auto refusal = refuseUnsupportedHeader(data, size))
        return *refusal;
    PngSource source{data, size, 0, false, {}};
    PngReader reader(&source);
    if (!reader.ok())
        return fnd::Error{"cannot start the PNG decoder"};
    png_set_user_limits(reader.png(), kMaxDecodeSide, kMaxDecodeSide);
    png_set_chunk_malloc_max(reader.png(), kMaxChunkBytes);
    png_set_read_fn(reader.png(), &source, readFromMemory);

    PngLayout layout{};
    if (!readPngLayout(reader.png(), reader.info(), &layout))
        return describeFailure(source);
    if (auto refusal = refuseUnsupportedSize(layout.width, layout.height))
        return *refusal;
    if (layout.rowBytes != std::size_t{layout.width} * 4)
        return fnd::Error{"unsupported PNG pixel format"};

    auto pixels = std::make_shared<std::vector<std::uint8_t>>();
    if (!readPngPixels(reader.png(), layout, *pixels))
        return describeFailure(source);

    DecodedImage image;
    image.width = static_cast<int>(layout.width);
    image.height = static_cast<int>(layout.height);
    image.bytesPerRow = image.width * 4;
    image.orientation = orientationFromTiffBlock(layout.exif, layout.exifSize);
    image.bytes = std::move(pixels);
    return image;
}

} // namespace imageio::detail
