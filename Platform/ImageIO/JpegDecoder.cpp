#include "ImageIO/JpegDecoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ImageIO/DecodeLimits.h"
#include "ImageIO/ExifOrientation.h"
#include "ImageIO/JpegSupport.h"
#include "ImageIO/PixelConversion.h"

namespace imageio::detail {
namespace {

// Progressive files may hold any number of scans, each a pass over the whole picture; real files
// have a few dozen at most.
constexpr int kMaxScans = 500;
// libjpeg's own working memory (whole-picture coefficient buffers of progressive files).
constexpr long kMaxWorkingMemory = 1024L * 1024 * 1024;

// Everything the libjpeg calls touch. Plain data: errors leave through longjmp.
struct JpegSession {
    jpeg_decompress_struct info;
    JpegErrorState errors;
    jpeg_progress_mgr progress;
    bool created;
};

void refuseEndlessScans(j_common_ptr common)
{
    auto* info = reinterpret_cast<j_decompress_ptr>(common);
    if (info->input_scan_number > kMaxScans) {
        auto* errors = reinterpret_cast<JpegErrorState*>(common->err);
        std::strcpy(errors->message, "too many progressive scans");
        std::longjmp(errors->jump, 1);
    }
}

// Owns the session on the heap (it holds a jmp_buf) and destroys libjpeg's state.
class JpegDecompressor {
public:
    JpegDecompressor() : m_session(std::make_unique<JpegSession>())
    {
        installJpegErrorHandler(reinterpret_cast<j_common_ptr>(&m_session->info), &m_session->errors);
        m_session->progress.progress_monitor = refuseEndlessScans;
    }
    ~JpegDecompressor()
    {
        if (m_session->created)
            jpeg_destroy_decompress(&m_session->info);
    }
    JpegDecompressor(const JpegDecompressor&) = delete;
    JpegDecompressor& operator=(const JpegDecompressor&) = delete;

    JpegSession* session() const { return m_session.get(); }

private:
    std::unique_ptr<JpegSession> m_session;
};

// The functions below call libjpeg, which reports errors by longjmp: nothing in their frames
// may have a destructor.
bool readJpegHeader(JpegSession* session, const std::uint8_t* data, std::size_t size)
{
    if (setjmp(session->errors.jump))
        return false;
    jpeg_create_decompress(&session->info);
    session->created = true;
    session->info.mem->max_memory_to_use = kMaxWorkingMemory;
    session->info.progress = &session->progress;
    jpeg_mem_src(&session->info, data, static_cast<unsigned long>(size));
    jpeg_save_markers(&session->info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&session->info, TRUE);
    return true;
}

bool startJpegDecompress(JpegSession* session, J_COLOR_SPACE outputSpace, int scaleDenominator)
{
    if (setjmp(session->errors.jump))
        return false;
    session->info.out_color_space = outputSpace;
    session->info.scale_num = 1;
    session->info.scale_denom = static_cast<unsigned>(scaleDenominator);
    // Reduced-size output is for previews: the fast integer transform and plain upsampling do.
    if (scaleDenominator > 1) {
        session->info.dct_method = JDCT_IFAST;
        session->info.do_fancy_upsampling = FALSE;
    }
    jpeg_start_decompress(&session->info);
    return true;
}

bool readJpegRow(JpegSession* session, JSAMPROW row)
{
    if (setjmp(session->errors.jump))
        return false;
    jpeg_read_scanlines(&session->info, &row, 1);
    return true;
}

fnd::Error describeFailure(const JpegSession& session)
{
    if (session.errors.truncated)
        return fnd::Error{"truncated JPEG data"};
    // libjpeg's warnings about bad data already begin with the words we use.
    constexpr std::string_view kPrefix = "Corrupt JPEG data: ";
    std::string_view message = session.errors.message;
    if (isAboutMemory(message))
        return fnd::outOfMemory("JPEG decoding failed");
    if (message.substr(0, kPrefix.size()) == kPrefix)
        message.remove_prefix(kPrefix.size());
    return fnd::Error{"corrupt JPEG data: " + std::string(message)};
}

int orientationFromMarkers(const jpeg_decompress_struct& info)
{
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next)
        if (marker->marker == JPEG_APP0 + 1 && marker->data_length > 6 && std::memcmp(marker->data, "Exif\0\0", 6) == 0)
            return orientationFromExifBlock(marker->data, marker->data_length);
    return kOrientationUp;
}

bool isCmyk(J_COLOR_SPACE space) { return space == JCS_CMYK || space == JCS_YCCK; }

bool isSupportedColorSpace(const jpeg_decompress_struct& info)
{
    switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE: return info.num_components == 1;
    case JCS_YCbCr:
    case JCS_RGB: return info.num_components == 3;
    case JCS_CMYK:
    case JCS_YCCK: return info.num_components == 4;
    default: return false;
    }
}

// Fills `pixels` row by row so that memory is touched only as data actually arrives.
bool readJpegPixels(JpegSession* session, std::vector<std::uint8_t>& pixels)
{
    const jpeg_decompress_struct& info = session->info;
    const std::size_t rowBytes = std::size_t{info.output_width} * 4;
    const bool cmyk = info.out_color_space == JCS_CMYK;
    pixels.reserve(rowBytes * info.output_height);
    for (JDIMENSION y = 0; y < info.output_height; ++y) {
        pixels.resize(pixels.size() + rowBytes);
        std::uint8_t* row = pixels.data() + y * rowBytes;
        if (!readJpegRow(session, row))
            return false;
        if (cmyk)
            convertCmykRowToBgra(row, static_cast<int>(info.output_width), info.saw_Adobe_marker);
    }
    return true;
}

// The largest of 8, 4 and 2 that keeps the shorter side at least minShortSide, else 1.
int reductionFor(JDIMENSION width, JDIMENSION height, int minShortSide)
{
    if (minShortSide <= 0)
        return 1;
    const JDIMENSION shorter = std::min(width, height);
    for (int denominator : {8, 4, 2})
        if (shorter / static_cast<JDIMENSION>(denominator) >= static_cast<JDIMENSION>(minShortSide))
            return denominator;
    return 1;
}

} // namespace

// The start-of-image marker alone: whatever follows it is the decoder's to judge, so a damaged
// JPEG is reported as one.
bool looksLikeJpeg(const std::uint8_t* data, std::size_t size)
{
    return size >= 2 && data[0] == 0xFF && data[1] == 0xD8;
}

fnd::Result<DecodedImage> decodeJpeg(const std::uint8_t* data, std::size_t size, int minShortSide)
{
    JpegDecompressor decompressor;
    JpegSession* session = decompressor.session();
    if (!readJpegHeader(session, data, size))
        return describeFailure(*session);
    const jpeg_decompress_struct& info = session->info;
    if (auto checked = checkDecodableSize(info.image_width, info.image_height); !checked)
        return checked.failure();
    if (!isSupportedColorSpace(info))
        return fnd::Error{"unsupported JPEG colour space"};

    const J_COLOR_SPACE outputSpace = isCmyk(info.jpeg_color_space) ? JCS_CMYK : JCS_EXT_BGRA;
    const int scaleDenominator = reductionFor(info.image_width, info.image_height, minShortSide);
    if (!startJpegDecompress(session, outputSpace, scaleDenominator))
        return describeFailure(*session);
    const auto scaled = [scaleDenominator](JDIMENSION side) {
        return (side + static_cast<JDIMENSION>(scaleDenominator) - 1) / static_cast<JDIMENSION>(scaleDenominator);
    };
    if (info.output_components != 4 || info.output_width != scaled(info.image_width)
        || info.output_height != scaled(info.image_height))
        return fnd::Error{"unsupported JPEG pixel format"};

    auto pixels = std::make_shared<std::vector<std::uint8_t>>();
    if (!readJpegPixels(session, *pixels))
        return describeFailure(*session);

    DecodedImage image;
    image.width = static_cast<int>(info.output_width);
    image.height = static_cast<int>(info.output_height);
    image.bytesPerRow = image.width * 4;
    image.orientation = orientationFromMarkers(info);
    image.bytes = std::move(pixels);
    return image;
}

} // namespace imageio::detail
