// Replaying a painting's journal at a photo's full size (4032 x 3024): a reference session of
// 300 strokes of one to three seconds over every medium at its table size (about 13 thousand dabs
// at the canvas's size), made the same on every run, replayed in one piece and split into two
// tiles on two threads. Counters: the dabs at canvas size, seconds per dab, and vs_memcpy, a dab's
// time over a memcpy of the rows of the average full-size dab's box.
#include <cmath>
#include <thread>

#include "BenchSupport.h"
#include "BrushTool.h"
#include "DataModel.h"
#include "Foundation/Bundle.h"
#include "Journal.h"
#include "JournalReplay.h"
#include "MediumValues.h"

namespace {

constexpr int kPhotoWidth = 4032, kPhotoHeight = 3024;
// Moves come 1/20 s apart (a busy window coalesces touch moves), 6 canvas pixels each: 120
// pixels a second. Every move lays at least one dab, so the move rate sets the dab count.
constexpr double kStep = 6;
constexpr int kMovesPerSecond = 20;

DataModel::Photo makePhoto()
{
    auto photo = std::make_shared<imageio::DecodedImage>();
    photo->width = kPhotoWidth;
    photo->height = kPhotoHeight;
    photo->bytesPerRow = photo->width * 4;
    photo->bytes =
        std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(photo->bytesPerRow) * photo->height);
    std::uint8_t* p = photo->bytes->data();
    for (int y = 0; y < photo->height; ++y)
        for (int x = 0; x < photo->width; ++x, p += 4) {
            p[0] = static_cast<std::uint8_t>(x / 16);
            p[1] = static_cast<std::uint8_t>(y / 12);
            p[2] = static_cast<std::uint8_t>((x + y) / 28);
            p[3] = 255;
        }
    return photo;
}

struct Session {
    std::unique_ptr<Journal> journal;
    long dabs = 0;         // at canvas size, from the segments' lengths as the brush divides them
    double dabSideSum = 0; // canvas pixels, for the average dab
};

// The dabs the brush lays on one segment (splatter: that many per position).
int dabsOn(const BrushTool::Settings& s, double length)
{
    const double step = s.size * s.spacing;
    const int n = std::max(1, static_cast<int>(std::trunc(length / step + 0.5)));
    return n * (s.splatter ? s.size / 10 + 2 : 1);
}

// 300 strokes, each medium in turn in photo paint, gently curving
// the airbrush resting a little; a snapshot after every third stroke.
Session referenceSession()
{
    Session session;
    session.journal = std::make_unique<Journal>(1024, 768, Journal::Origin::kPhoto, 20261208);
    BrushTool brush(nullptr);
    brush.setSize(kInitialBrushSize);
    std::uint32_t state = 7;
    auto unit = [&] { return ((state = state * 1664525u + 1013904223u) >> 8) / double(1 << 24); };
    double t = 10;
    for (int s = 0; s < 300; ++s) {
        brush.setSize(kInitialBrushSize);
        ApplyMediumValue(brush, g_arMediumValues[s % NUM_MEDIUM_VALUES]);
        brush.setMode(BrushTool::kModePhoto);
        const BrushTool::Settings settings = brush.settings();
        session.journal->recordSettings(settings, true);
        gfx::Point p = RoundToInputGrid({100 + unit() * 824, 100 + unit() * 568});
        double heading = unit() * 2 * M_PI;
        session.journal->recordBegin(p, t, BrushTool::AirbrushClock::kByTicks);
        const int moves = kMovesPerSecond + static_cast<int>(unit() * 2 * kMovesPerSecond);
        for (int i = 0; i < moves; ++i) {
            heading += (unit() - 0.5) * 0.2;
            gfx::Point q = RoundToInputGrid({std::clamp(p.x + std::cos(heading) * kStep, 0.0, 1024.0),
                                             std::clamp(p.y + std::sin(heading) * kStep, 0.0, 768.0)});
            t += 1.0 / kMovesPerSecond;
            if (settings.airbrush && i % 5 == 0) {
                session.journal->recordAirbrushDab();
                ++session.dabs;
                session.dabSideSum += settings.size;
            }
            session.journal->recordMove(p, q, t);
            const int n = dabsOn(settings, std::hypot(q.x - p.x, q.y - p.y));
            session.dabs += n;
            session.dabSideSum += n * settings.size;
            p = q;
        }
        session.journal->recordEnd(t);
        if (s % 3 == 2)
            session.journal->recordSnapshot();
        t += 0.5;
    }
    return session;
}

struct Fixture {
    Session session = referenceSession();
    std::shared_ptr<const RawImage> raw;
    double scale = 0;
    Fixture()
    {
        fnd::setResourcePath(KANVARO_SOURCE_DIR "/Resources");
        DataModel* document = DataModel::sharedDataModelWithUIImage(makePhoto());
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

} // namespace

BENCHMARK_MAIN();
