// `timelapse`: the painting's time-lapse video, made from its journal, with a progress line when
// standard error is a terminal.
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "Commands.h"
#include "Journal.h"
#include "PaintingFile.h"
#include "TimeLapse.h"

namespace archivetool {

int timeLapse(const std::string& path, const std::string& videoPath, int seconds, int longSide)
{
    auto model = openPainting(path);
    if (!model)
        return kExitBadInput;
    const Journal* journal = model->canvas()->journal();
    if (!journal) {
        std::cerr << kToolName << ": " << path << " has no journal to replay\n";
        return kExitBadInput;
    }
    TimeLapseOptions options;
    options.seconds = seconds;
    options.longSide = longSide;
    int shown = -1;
    if (isatty(STDERR_FILENO))
        options.onProgress = [&shown](double done) {
            const int percent = static_cast<int>(done * 100);
            if (percent != shown)
                std::fprintf(stderr, "\rtime-lapse: %3d%%", shown = percent);
            return true;
        };
    auto made = WriteTimeLapse(*journal, model->rawImageRef(), videoPath, options);
    if (shown >= 0)
        std::fputs("\n", stderr);
    if (!made) {
        std::cerr << kToolName << ": cannot make the time-lapse of " << path << ": " << made.error() << "\n";
        return kExitFailed;
    }
    std::cout << videoPath << ": " << made->width << " x " << made->height << ", " << made->frames << " frames at "
              << kTimeLapseFramesPerSecond << " per second\n";
    return kExitOk;
}

} // namespace archivetool
