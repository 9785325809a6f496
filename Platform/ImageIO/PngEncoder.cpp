#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "ImageIO/DecodeLimits.h"
#include "ImageIO/Encoder.h"
#include "ImageIO/EncoderSupport.h"
#include "ImageIO/PixelConversion.h"

namespace imageio {
namespace {

// PNG allows 2^31 - 1; our pixel views are never wider than this.
constexpr int kMaxPngSide = 1 << 20;

// Everything the libpng calls and callbacks touch. Plain data: errors leave through longjmp.
struct PngWriteJob {
    const PixelsView* pixels;
    const PngOptions* options;
    std::uint8_t* rowBuffer; // width x 4 bytes when the pixels must be unpremultiplied, else null
    std::vector<std::uint8_t>* output;
    char message[256];
};

[[noreturn]] void recordErrorAndJump(png_structp png, png_const_charp message)
{
    auto* job = static_cast<PngWriteJob*>(png_get_error_ptr(png));
    std::snprintf(job->message, sizeof job->message, "%s", message);
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

void appendToOutput(png_structp png, png_bytep data, png_size_t length)
{
    auto* job = static_cast<PngWriteJob*>(png_get_io_ptr(png));
    bool outOfMemory = false;
    try {
        job->output->insert(job->output->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    }
    if (outOfMemory) // outside the handler: longjmp must not leave a live exception behind
        png_error(png, "out of memory");
}

void flushNothing(png_structp) {}

int filterFlags(PngFilter filter)
{
    switch (filter) {
    case PngFilter::kNone: return PNG_FILTER_NONE;
    case PngFilter::kSub: return PNG_FILTER_SUB;
    case PngFilter::kUp: return PNG_FILTER_UP;
    case PngFilter::kPaeth: return PNG_FILTER_PAETH;
    case PngFilter::kAdaptive: return PNG_ALL_FILTERS;
    }
    return PNG_FILTER_SUB;
}

class PngWriter {
public:
    explicit PngWriter(PngWriteJob* job)
        : m_png(png_create_write_struct(PNG_LIBPNG_VER_STRING, job, recordErrorAndJump, ignoreWarning))
    {
        if (m_png)
            m_info = png_create_info_struct(m_png);
    }
    ~PngWriter()
    {
        if (m_png)
            png_destroy_write_struct(&m_png, m_info ? &m_info : nullptr);
    }
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    bool ok() const { return m_png && m_info; }
    png_structp png() const { return m_png; }
    png_infop info() const { return m_info; }

private:
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

// libpng reports errors by longjmp: nothing in this frame may have a destructor.
bool writePng(png_structp png, png_infop info, PngWriteJob* job)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    const PixelsView& pixels = *job->pixels;
    png_set_write_fn(png, job, appendToOutput, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(pixels.width), static_cast<png_uint_32>(pixels.height), 8,
                 job->options->alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, std::clamp(job->options->compressionLevel, 0, 9));
    png_set_filter(png, PNG_FILTER_TYPE_BASE, filterFlags(job->options->filter));
    png_write_info(png, info);
    png_set_bgr(png);
    if (!job->options->alpha)
        png_set_filler(png, 0, PNG_FILLER_AFTER); // on writing: drop the fourth byte
    for (int y = 0; y < pixels.height; ++y) {
        const std::uint8_t* row = pixels.data + static_cast<std::ptrdiff_t>(y) * pixels.bytesPerRow;
        if (job->rowBuffer) {
            detail::unpremultiplyRow(row, job->rowBuffer, pixels.width);
            row = job->rowBuffer;
        }
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    return true;
}

} // namespace

fnd::Result<std::vector<std::uint8_t>> encodePng(const PixelsView& pixels, const PngOptions& options)
{
    if (auto checked = detail::checkEncodablePixels(pixels, kMaxPngSide); !checked)
        return checked.failure();
    std::vector<std::uint8_t> output;
    std::vector<std::uint8_t> rowBuffer(pixels.premultiplied ? static_cast<std::size_t>(pixels.width) * 4 : 0);
    PngWriteJob job{&pixels, &options, rowBuffer.empty() ? nullptr : rowBuffer.data(), &output, {}};
    PngWriter writer(&job);
    if (!writer.ok())
        return fnd::outOfMemory("cannot start the PNG encoder"); // libpng fails here only for memory
    if (!writePng(writer.png(), writer.info(), &job))
        return detail::isAboutMemory(job.message) ? fnd::outOfMemory("PNG encoding failed")
                                                  : fnd::Error{std::string("PNG encoding failed: ") + job.message};
    return output;
}

} // namespace imageio
