#pragma once
// A video of a painting being made, from its journal: the finished painting first (so a preview
// shows the result), then for a photo painting the photo fading into its blueprint as the
// painter saw it, then the strokes, paced by strokes rather than by the clock (pauses vanish,
// strokes that Undo or Clear took back are left out) with each automatic painting given a few
// seconds of its own, laid coarse to fine as the screen laid it, ending on the finished painting
// held for two seconds. 30 frames a second; the painting replayed with its long side at `longSide`.
//
// Runs on any one thread over a journal and raw image nobody changes meanwhile (a worker's
// snapshot); reports progress and stops when asked. Nothing appears at the path unless the
// whole video was written.
#include <functional>
#include <memory>
#include <string>

#include "Foundation/Result.h"

class Journal;
class RawImage;

struct TimeLapseOptions {
    int seconds = 20;
    int longSide = 1080;
    // Called now and then with the part done (0 to 1); returning false cancels.
    std::function<bool(double fractionDone)> onProgress;
};

struct TimeLapseResult {
    bool cancelled = false; // nothing was written
    int frames = 0;
    int width = 0, height = 0; // the video's (even) sides
};

inline constexpr int kTimeLapseFramesPerSecond = 30;

// Writes the time-lapse of `journal` (photo from `rawImage`, none for a blank painting) to
// `path`, replacing a file there. Fails when the journal cannot be replayed or the video cannot
// be written; a cancel leaves nothing behind.
fnd::Result<TimeLapseResult> WriteTimeLapse(const Journal& journal, std::shared_ptr<const RawImage> rawImage,
                                            const std::string& path, const TimeLapseOptions& options);
