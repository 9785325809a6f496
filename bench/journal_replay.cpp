// Replaying a painting's journal at a photo's full size (4032 x 3024): a reference session of
// 300 strokes of one to three seconds over every medium at its table size (about 13 thousand dabs
// at the canvas's size), made the same on every run, replayed in one piece, split into two tiles
// on two threads, and through the full-size export (bands shared by two threads, the PNG written
// as they complete). Counters: the dabs at canvas size, seconds per dab, and vs_memcpy, a dab's
// time over a memcpy of the rows of the average full-size dab's box; for the export also
// mean_diff, the export box-shrunk to the canvas against the painting (0..255 per channel).
#include <cmath>
#include <thread>

#include "BenchSupport.h"
#include "DataModel.h"
#include "Foundation/Bundle.h"
#include "FullSizeExport.h"
#include "ImageIO/Decoder.h"
#include "Journal.h"
#include "JournalReplay.h"
#include "ReferenceSession.h"
#include "Support/ImageCloseness.h"
#include "Support/TempFolder.h"

namespace {

using namespace bench::reference;

struct Fixture {
    Session session = referenceSession();
    std::shared_ptr<const RawImage> raw;
    double scale = 0;
    Fixture()
    {
        fnd::setResourcePath(KANVARO_SOURCE_DIR "/Resources");
        DataModel* document = DataModel::sharedDataModelWithUIImage(makePhoto()).value_or(nullptr);
        raw = document->rawImageRef();
        scale = static_cast<double>(raw->width()) / document->canvas()->width();
    }
    void report(benchmark::State& state) const
    {
        const double side = session.dabSideSum / session.dabs * scale;
        const int rows = static_cast<int>(std::ceil(side * 1.2));
        state.counters["dabs"] = static_cast<double>(session.dabs);
        state.counters["per_dab"] = benchmark::Counter(static_cast<double>(session.dabs) * state.iterations(),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
        const double copy = bench::memcpyRowsSeconds(rows, static_cast<std::size_t>(rows) * 4,
                                                     static_cast<std::size_t>(kPhotoWidth) * 4, kPhotoHeight);
        state.counters["vs_memcpy"] = benchmark::Counter(static_cast<double>(session.dabs) * copy * state.iterations(),
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    }
};

void BM_ReplayFullSize(benchmark::State& state)
{
    Fixture fixture;
    for (auto _ : state) {
        ReplayOptions options;
        options.scale = fixture.scale;
        auto replayed = ReplayJournal(*fixture.session.journal, fixture.raw, options);
        if (!replayed)
            state.SkipWithError(replayed.error().c_str());
        benchmark::DoNotOptimize(replayed);
    }
    fixture.report(state);
}
BENCHMARK(BM_ReplayFullSize)->Unit(benchmark::kSecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();

// Two tiles, top and bottom half, each on its own thread.
void BM_ReplayFullSizeTwoTiles(benchmark::State& state)
{
    Fixture fixture;
    const gfx::IntRect whole = ReplayBounds(*fixture.session.journal, fixture.scale);
    for (auto _ : state) {
        auto replayTile = [&](gfx::IntRect tile) {
            ReplayOptions options;
            options.scale = fixture.scale;
            options.tile = tile;
            auto replayed = ReplayJournal(*fixture.session.journal, fixture.raw, options);
            benchmark::DoNotOptimize(replayed);
        };
        const int half = whole.height / 2;
        std::thread top(replayTile, gfx::IntRect{0, 0, whole.width, half});
        replayTile({0, half, whole.width, whole.height - half});
        top.join();
    }
    fixture.report(state);
}
BENCHMARK(BM_ReplayFullSizeTwoTiles)->Unit(benchmark::kSecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();

// The export as the painting screen makes it, into a PNG file.
void BM_ExportFullSize(benchmark::State& state)
{
    Fixture fixture;
    test_support::TempFolder folder("bench-full-size");
    const std::string path = (folder / "full.png").string();
    FullSizePhotoLoader loader = [&]() -> fnd::Result<std::shared_ptr<const RawImage>> { return fixture.raw; };
    for (auto _ : state) {
        auto written = WriteFullSizePng(*fixture.session.journal, loader, path);
        if (!written || written->width != kPhotoWidth || written->height != kPhotoHeight)
            state.SkipWithError(written ? "the export has the wrong size" : written.error().c_str());
    }
    fixture.report(state);
    auto painting = ReplayJournal(*fixture.session.journal, fixture.raw);
    auto large = imageio::decodeFile(path);
    if (!painting || !large)
        return;
    auto small = painting->canvas->createThumbnail(1024);
    state.counters["mean_diff"] =
        test_support::meanDifferenceAfterShrink({large->bytes->data(), large->width, large->height, large->bytesPerRow},
                                                {small->data(), small->width(), small->height(), small->bytesPerRow()});
}
BENCHMARK(BM_ExportFullSize)->Unit(benchmark::kSecond)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime();

} // namespace

BENCHMARK_MAIN();
