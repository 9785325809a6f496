// A 20-second time-lapse (600 frames, 1080 x 810) of the reference session: the replay for the
// finished painting, the replay that paces the strokes, the frames composited and encoded.
#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "BenchSupport.h"
#include "Foundation/Bundle.h"
#include "ReferenceSession.h"
#include "TimeLapse.h"

namespace {

using namespace bench::reference;

void BM_TimeLapse20Seconds(benchmark::State& state)
{
    fnd::setResourcePath(KANVARO_SOURCE_DIR "/Resources");
    const Session session = referenceSession();
    DataModel* document = DataModel::sharedDataModelWithUIImage(makePhoto()).value_or(nullptr);
    const std::string path =
        (std::filesystem::temp_directory_path() / ("kanvaro-bench-" + std::to_string(::getpid()) + ".mp4")).string();
    for (auto _ : state) {
        TimeLapseOptions options;
        options.seconds = 20;
        auto made = WriteTimeLapse(*session.journal, document->rawImageRef(), path, options);
        if (!made) {
            state.SkipWithError(made.error().c_str());
            break;
        }
        state.counters["frames"] = made->frames;
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_TimeLapse20Seconds)->Unit(benchmark::kSecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();

} // namespace

BENCHMARK_MAIN();
