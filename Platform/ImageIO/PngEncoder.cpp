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
#include "ImageIO/PngRowWriter.h"

namespace imageio {
namespace {

// PNG allows 2^31 - 1; our pixel views are never wider than this.
constexpr int kMaxPngSide = 1 << 20;

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

} // namespace

// Everything the libpng calls and callbacks touch. Errors leave libpng through longjmp into the
// small functions below, whose frames hold nothing with a destructor.
struct PngRowWriter::State {
    State(int w, int h, Sink s, const PngOptions& o) : width(w), height(h), sink(std::move(s)), options(o) {}
    ~State()
    {
        if (png)
            png_destroy_write_struct(&png, info ? &info : nullptr);
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    int width, height;
    Sink sink;
    PngOptions options;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<std::uint8_t> rowBuffer; // for unpremultiplied rows
    int rows = 0;
    bool sinkFailed = false;
    std::string failure; // set once something failed
    char message[256] = {};
};

namespace {

using State = PngRowWriter::State;

[[noreturn]] void recordErrorAndJump(png_structp png, png_const_charp message)
{
    auto* state = static_cast<State*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message);
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

void giveToSink(png_structp png, png_bytep data, png_size_t length)
{
    auto* state = static_cast<State*>(png_get_io_ptr(png));
    bool kept = false;
    try {
        kept = state->sink(data, length);
    } catch (const std::bad_alloc&) {
    }
    if (!kept) { // outside the handler: longjmp must not leave a live exception behind
        state->sinkFailed = true;
        png_error(png, "the output could not be written");
    }
}

void flushNothing(png_structp) {}

bool writeHeader(State* state)
{
    png_structp png = state->png;
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, state, giveToSink, flushNothing);
    png_set_IHDR(png, state->info, static_cast<png_uint_32>(state->width), static_cast<png_uint_32>(state->height), 8,
                 state->options.alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, std::clamp(state->options.compressionLevel, 0, 9));
    png_set_filter(png, PNG_FILTER_TYPE_BASE, filterFlags(state->options.filter));
    png_write_info(png, state->info);
    png_set_bgr(png);
    if (!state->options.alpha)
        png_set_filler(png, 0, PNG_FILLER_AFTER); // on writing: drop the fourth byte
    return true;
}

bool writeRowsOf(State* state, const PixelsView* rows)
{
    if (setjmp(png_jmpbuf(state->png)))
        return false;
    for (int y = 0; y < rows->height; ++y) {
        const std::uint8_t* row = rows->data + static_cast<std::ptrdiff_t>(y) * rows->bytesPerRow;
        if (rows->premultiplied) {
            detail::unpremultiplyRow(row, state->rowBuffer.data(), rows->width);
            row = state->rowBuffer.data();
        }
        png_write_row(state->png, row);
        ++state->rows;
    }
    return true;
}

bool writeEnd(State* state)
{
    if (setjmp(png_jmpbuf(state->png)))
        return false;
    png_write_end(state->png, nullptr);
    return true;
}

// Remembers the failure after a libpng call returned false.
fnd::Error failed(State& state)
{
    if (state.failure.empty())
        state.failure =
            state.sinkFailed ? "the output could not be written" : std::string("PNG encoding failed: ") + state.message;
    if (!state.sinkFailed && detail::isAboutMemory(state.message))
        return fnd::outOfMemory("PNG encoding failed");
    return fnd::Error{state.failure};
}

} // namespace

PngRowWriter::PngRowWriter(std::unique_ptr<State> state) : m_state(std::move(state)) {}
PngRowWriter::PngRowWriter(PngRowWriter&& other) noexcept = default;
PngRowWriter& PngRowWriter::operator=(PngRowWriter&& other) noexcept = default;
PngRowWriter::~PngRowWriter() = default;

int PngRowWriter::rowsWritten() const { return m_state ? m_state->rows : 0; }

fnd::Result<PngRowWriter> PngRowWriter::start(int width, int height, Sink sink, const PngOptions& options)
{
    const std::uint8_t probe = 0;
    if (auto checked = detail::checkEncodablePixels({&probe, width, height, width * 4, false}, kMaxPngSide); !checked)
        return checked.failure();
    auto state = std::make_unique<State>(width, height, std::move(sink), options);
    state->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, state.get(), recordErrorAndJump, ignoreWarning);
    if (state->png)
        state->info = png_create_info_struct(state->png);
    if (!state->png || !state->info)
        return fnd::outOfMemory("cannot start the PNG encoder"); // libpng fails here only for memory
    state->rowBuffer.resize(static_cast<std::size_t>(width) * 4);
    if (!writeHeader(state.get()))
        return failed(*state);
    return PngRowWriter(std::move(state));
}

fnd::Status PngRowWriter::writeRows(const PixelsView& rows)
{
    if (!m_state)
        return fnd::Error{"the PNG writer has ended"};
    if (!m_state->failure.empty())
        return fnd::Error{m_state->failure};
    if (rows.height == 0)
        return {};
    if (auto checked = detail::checkEncodablePixels(rows, kMaxPngSide); !checked)
        return checked;
    if (rows.width != m_state->width || rows.height > m_state->height - m_state->rows)
        return fnd::Error{"rows of the wrong size for the PNG"};
    if (!writeRowsOf(m_state.get(), &rows))
        return failed(*m_state);
    return {};
}

fnd::Status PngRowWriter::finish()
{
    if (!m_state)
        return fnd::Error{"the PNG writer has ended"};
    if (!m_state->failure.empty())
        return fnd::Error{m_state->failure};
    if (m_state->rows != m_state->height)
        return fnd::Error{"the PNG is missing rows"};
    if (!writeEnd(m_state.get()))
        return failed(*m_state);
    m_state.reset();
    return {};
}

fnd::Result<std::vector<std::uint8_t>> encodePng(const PixelsView& pixels, const PngOptions& options)
{
    if (auto checked = detail::checkEncodablePixels(pixels, kMaxPngSide); !checked)
        return checked.failure();
    std::vector<std::uint8_t> output;
    bool outOfMemory = false;
    auto sink = [&](const std::uint8_t* data, std::size_t size) {
        try {
            output.insert(output.end(), data, data + size);
            return true;
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
            return false;
        }
    };
    auto writer = PngRowWriter::start(pixels.width, pixels.height, sink, options);
    fnd::Status status = writer ? writer->writeRows(pixels) : fnd::Status(writer.failure());
    if (status)
        status = writer->finish();
    if (outOfMemory)
        return fnd::outOfMemory("PNG encoding failed");
    if (!status)
        return status.failure();
    return output;
}

} // namespace imageio
