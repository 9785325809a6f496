#pragma once
// A PNG written a band of rows at a time into a sink (a file being written, a buffer), so a
// picture far larger than memory allows can be encoded as its rows are made. 8 bits per channel,
// the options of encodePng (Encoder.h), which is this writer over a buffer. After a failure
// (the sink refused bytes, memory ran out) every later call fails with the same reason.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "Foundation/Result.h"
#include "ImageIO/Encoder.h"

namespace imageio {

class PngRowWriter {
public:
    // Takes the encoded bytes in order; false when they could not be kept (the write fails).
    using Sink = std::function<bool(const std::uint8_t* data, std::size_t size)>;

    // Writes the header of a width x height picture. Fails on sizes a PNG cannot hold or when
    // the sink refuses the header.
    static fnd::Result<PngRowWriter> start(int width, int height, Sink sink, const PngOptions& options = {});

    PngRowWriter(PngRowWriter&& other) noexcept;
    PngRowWriter& operator=(PngRowWriter&& other) noexcept;
    ~PngRowWriter();

    // The next rows, top to bottom: `rows.height` rows of the picture's width.
    fnd::Status writeRows(const PixelsView& rows);
    // Ends the picture after its last row (fails when rows are missing).
    fnd::Status finish();
    int rowsWritten() const;

    struct State; // the encoder's own (PngEncoder.cpp)

private:
    explicit PngRowWriter(std::unique_ptr<State> state);

    std::unique_ptr<State> m_state;
};

} // namespace imageio
