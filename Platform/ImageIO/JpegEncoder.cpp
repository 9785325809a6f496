#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ImageIO/DecodeLimits.h"
#include "ImageIO/Encoder.h"
#include "ImageIO/EncoderSupport.h"
#include "ImageIO/JpegSupport.h"
#include "ImageIO/PixelConversion.h"

namespace imageio {
namespace {

constexpr int kMaxJpegSide = JPEG_MAX_DIMENSION;

// Everything the libjpeg calls touch. Plain data: errors leave through longjmp.
struct JpegWriteJob {
    jpeg_compress_struct info;
    detail::JpegErrorState errors;
    bool created;
    const PixelsView* pixels;
    int quality;
    std::uint8_t* rowBuffer; // width x 4 bytes when the pixels must be unpremultiplied, else null
    unsigned char* output;   // malloc'ed by libjpeg's memory destination
    unsigned long outputSize;
};

// Owns the job on the heap (it holds a jmp_buf) and releases libjpeg's state and output buffer.
class JpegCompressor {
public:
    JpegCompressor() : m_job(std::make_unique<JpegWriteJob>())
    {
        detail::installJpegErrorHandler(reinterpret_cast<j_common_ptr>(&m_job->info), &m_job->errors);
    }
    ~JpegCompressor()
    {
        if (m_job->created)
            jpeg_destroy_compress(&m_job->info);
        std::free(m_job->output);
    }
    JpegCompressor(const JpegCompressor&) = delete;
    JpegCompressor& operator=(const JpegCompressor&) = delete;

    JpegWriteJob* job() const { return m_job.get(); }

private:
    std::unique_ptr<JpegWriteJob> m_job;
};

// libjpeg reports errors by longjmp: nothing in this frame may have a destructor.
bool writeJpeg(JpegWriteJob* job)
{
    if (setjmp(job->errors.jump))
        return false;
    jpeg_create_compress(&job->info);
    job->created = true;
    jpeg_mem_dest(&job->info, &job->output, &job->outputSize);
    const PixelsView& pixels = *job->pixels;
    job->info.image_width = static_cast<JDIMENSION>(pixels.width);
    job->info.image_height = static_cast<JDIMENSION>(pixels.height);
    job->info.input_components = 4;
    job->info.in_color_space = JCS_EXT_BGRA; // the fourth byte is ignored
    jpeg_set_defaults(&job->info);
    jpeg_set_quality(&job->info, job->quality, TRUE);
    jpeg_start_compress(&job->info, TRUE);
    while (job->info.next_scanline < job->info.image_height) {
        const auto y = static_cast<std::ptrdiff_t>(job->info.next_scanline);
        auto* row = const_cast<JSAMPLE*>(pixels.data + y * pixels.bytesPerRow); // libjpeg only reads it
        if (job->rowBuffer) {
            detail::unpremultiplyRow(row, job->rowBuffer, pixels.width);
            row = job->rowBuffer;
        }
        jpeg_write_scanlines(&job->info, &row, 1);
    }
    jpeg_finish_compress(&job->info);
    return true;
}

} // namespace

fnd::Result<std::vector<std::uint8_t>> encodeJpeg(const PixelsView& pixels, double quality)
{
    if (auto checked = detail::checkEncodablePixels(pixels, kMaxJpegSide); !checked)
        return checked.failure();
    std::vector<std::uint8_t> rowBuffer(pixels.premultiplied ? static_cast<std::size_t>(pixels.width) * 4 : 0);
    JpegCompressor compressor;
    JpegWriteJob* job = compressor.job();
    job->pixels = &pixels;
    job->quality = std::isnan(quality) ? 0 : static_cast<int>(std::lround(std::clamp(quality, 0.0, 1.0) * 100));
    job->rowBuffer = rowBuffer.empty() ? nullptr : rowBuffer.data();
    if (!writeJpeg(job))
        return detail::isAboutMemory(job->errors.message)
                   ? fnd::outOfMemory("JPEG encoding failed")
                   : fnd::Error{std::string("JPEG encoding failed: ") + job->errors.message};
    return std::vector<std::uint8_t>(job->output, job->output + job->outputSize);
}

} // namespace imageio
