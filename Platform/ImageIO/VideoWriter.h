#pragma once
// Writes an MP4 video (H.264, 4:2:0, BT.709) from surface pixels, one frame at a time. The file
// streams: its index comes before the pictures. Nothing appears at the path until finish()
// succeeds: the coded pictures wait in an unnamed file beside it, and the finished video is
// written to a temporary name and renamed into place, so a failure, a cancel or a crash never
// leaves a half-written video. One thread at a time may use a writer (a background export's
// thread: a Cancel button sets a flag that thread reads, and the thread calls cancel()).
#include <cstdint>
#include <memory>
#include <string>

#include "Foundation/Result.h"

namespace imageio {

class VideoWriter {
public:
    // Sides of the frames given to addFrame; the video's are rounded down to even (the last
    // column or row is left out), as 4:2:0 needs.
    static constexpr int kMinSide = 16;
    static constexpr int kMaxSide = 4096;
    static constexpr int kMaxPixels = 4096 * 2304; // H.264's largest level
    static constexpr int kMaxFramesPerSecond = 120;

    // Prepares a video of width x height at `framesPerSecond`. Fails on sizes or rates out of
    // range or when nothing can be written beside `path`.
    static fnd::Result<VideoWriter> open(const std::string& path, int width, int height, int framesPerSecond = 30);

    VideoWriter(VideoWriter&& other) noexcept;
    VideoWriter& operator=(VideoWriter&& other) noexcept;
    ~VideoWriter(); // cancels unless finished

    int videoWidth() const;
    int videoHeight() const;
    int frameCount() const;

    // Adds one frame of the size given to open: 32-bit premultiplied ARGB, native-endian, rows
    // `bytesPerRow` apart. Shown for one frame period. After a failure every later call fails
    // with the same reason.
    fnd::Status addFrame(const std::uint8_t* pixels, int bytesPerRow);
    // Writes the video to the path (replacing a file there) and ends the writer. On failure
    // nothing is left at the path's folder but what was there before.
    fnd::Status finish();
    // Ends the writer, leaving nothing behind.
    void cancel();

private:
    struct State;
    explicit VideoWriter(std::unique_ptr<State> state);

    std::unique_ptr<State> m_state; // empty once finished or cancelled
};

} // namespace imageio
