// Saving a 1024 x 768 photo painting to its archive file and opening it again, each against the
// PNG codec alone on the same painting in the same run (`vs_png`): the painting's PNG is the bulk
// of the work, so the ratio shows what the archive layer adds (the 3 MiB raw image block, the
// composite, the file). Also vs_memcpy over the archive's size. Last, what keeping a recovery
// copy of it costs the main thread.
#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <random>

#include "BenchSupport.h"
#include "DataModel.h"
#include "Foundation/Bundle.h"
#include "Foundation/KeyedArchiver.h"
#include "Foundation/Paths.h"
#include "ImageIO/Decoder.h"
#include "ImageIO/Encoder.h"
#include "Recovery.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// A photo with smooth gradients and mild noise, as a camera gives.
std::shared_ptr<imageio::DecodedImage> photo()
{
    auto image = std::make_shared<imageio::DecodedImage>();
    image->width = kWidth;
    image->height = kHeight;
    image->bytesPerRow = kWidth * 4;
    image->bytes = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(kWidth) * kHeight * 4);
    std::mt19937 rng(7);
    std::uint8_t* p = image->bytes->data();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x, p += 4) {
            const int noise = static_cast<int>(rng() % 9);
            p[0] = static_cast<std::uint8_t>(40 + y / 4 + noise);
            p[1] = static_cast<std::uint8_t>(60 + (x + y) / 12 + noise);
            p[2] = static_cast<std::uint8_t>(30 + x / 5 + noise);
            p[3] = 255;
        }
    return image;
}

// A few hundred soft translucent dabs: each a stack of widening, fainter ellipses.
void paint(Canvas& canvas)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> unit(0, 1);
    auto& ctx = canvas.curStrokeLayer().context();
    for (int dab = 0; dab < 400; ++dab) {
        const gfx::Color colour{static_cast<float>(unit(rng)), static_cast<float>(unit(rng)),
                                static_cast<float>(unit(rng)), 0.12f};
        const double cx = unit(rng) * kWidth, cy = unit(rng) * kHeight, r = 8 + 50 * unit(rng);
        ctx.setFillColor(colour);
        for (double scale = 1.0; scale > 0.3; scale -= 0.2)
            ctx.fillEllipse({cx - r * scale, cy - r * scale * 0.7, 2 * r * scale, 1.4 * r * scale});
    }
    canvas.setCurStrokeOpacity(0.8f);
    canvas.saveUndoState();
}

struct Fixture {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "kanvaro-bench-document";
    std::string path = (dir / "painting.art").string();
    DataModel* model = nullptr;
    std::vector<std::uint8_t> png;

    Fixture()
    {
        std::filesystem::create_directories(dir);
        fnd::setDocumentsPath(dir.string());
        fnd::setResourcePath(KANVARO_SOURCE_DIR "/Resources");
        model = DataModel::sharedDataModelWithUIImage(photo()).value_or(nullptr);
        paint(*model->canvas());
        png = encode();
    }
    ~Fixture()
    {
        DataModel::releaseSharedDataModel();
        std::filesystem::remove_all(dir);
    }

    std::vector<std::uint8_t> encode() const
    {
        auto image = model->canvas()->createThumbnail(kWidth, false);
        return imageio::encodePng({image->data(), image->width(), image->height(), image->bytesPerRow(), true}).value();
    }
};

// Wall and processor time of one run. The processor time leaves out waiting for the disk
// (the save flushes the file) and for other programs on a busy machine, so its ratio is what
// the archive code itself adds to the codec.
struct Seconds {
    double wall = 0;
    double cpu = 0;
};

template <class Body> Seconds timeOnce(Body&& body)
{
    const auto wallStart = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    body();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count(),
            static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC};
}

// Median of a few runs, each clock on its own.
template <class Body> Seconds medianSeconds(Body&& body)
{
    std::vector<double> wall, cpu;
    for (int i = 0; i < 9; ++i) {
        const Seconds once = timeOnce(body);
        wall.push_back(once.wall);
        cpu.push_back(once.cpu);
    }
    std::nth_element(wall.begin(), wall.begin() + 4, wall.end());
    std::nth_element(cpu.begin(), cpu.begin() + 4, cpu.end());
    return {wall[4], cpu[4]};
}

// Runs the timing loop (with vs_memcpy over `bytes`) and sets vs_png, the loop's time per
// iteration over the codec's, on processor time, and vs_png_wall on wall time.
template <class Body> void runAgainstPng(benchmark::State& state, std::size_t bytes, const Seconds& png, Body&& body)
{
    Seconds loop;
    bench::runAgainstMemcpy(state, bytes, [&] {
        const Seconds once = timeOnce(body);
        loop.wall += once.wall;
        loop.cpu += once.cpu;
    });
    const double iterations = static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["vs_png"] = loop.cpu / iterations / png.cpu;
    state.counters["vs_png_wall"] = loop.wall / iterations / png.wall;
    state.counters["png_ms"] = png.wall * 1e3;
    state.counters["png_cpu_ms"] = png.cpu * 1e3;
    state.counters["file_KiB"] = static_cast<double>(bytes) / 1024;
}

std::size_t savedSize(const Fixture& fixture)
{
    const auto saved = fnd::KeyedArchiver::archiveRootObject(*fixture.model, fixture.path);
    KANVARO_ASSERT(saved.ok());
    return std::filesystem::file_size(fixture.path);
}

// Against encoding the painting's PNG from a composite made beforehand.
void BM_SaveDocument(benchmark::State& state)
{
    Fixture fixture;
    auto image = fixture.model->canvas()->createThumbnail(kWidth, false);
    const Seconds png = medianSeconds([&] {
        auto encoded = imageio::encodePng({image->data(), image->width(), image->height(), image->bytesPerRow(), true});
        benchmark::DoNotOptimize(encoded.value().data());
    });
    runAgainstPng(state, savedSize(fixture), png, [&] {
        benchmark::DoNotOptimize(fnd::KeyedArchiver::archiveRootObject(*fixture.model, fixture.path));
    });
}
BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond)->UseRealTime();

// Against decoding the painting's PNG from memory.
void BM_OpenDocument(benchmark::State& state)
{
    Fixture fixture;
    const Seconds png = medianSeconds([&] {
        auto decoded = imageio::decodeMemory(fixture.png.data(), fixture.png.size());
        benchmark::DoNotOptimize(decoded.value().bytes->data());
    });
    const std::size_t fileBytes = savedSize(fixture);
    // Opening gives up the fixture's document; the file was written just above.
    runAgainstPng(state, fileBytes, png,
                  [&] { benchmark::DoNotOptimize(DataModel::sharedDataModelWithArchivePath(fixture.path)); });
}
BENCHMARK(BM_OpenDocument)->Unit(benchmark::kMillisecond)->UseRealTime();

// What keeping a recovery copy costs the main thread, where painting happens: the copy taken for
// the background writer. `vs_sync_write` is that over writing the same recovery copy on the main
// thread, as it would without the writer; `writer_ms` is the background write it hands over.
void BM_KeepRecoveryCopy(benchmark::State& state)
{
    Fixture fixture;
    fixture.model->setChangesMade(true);
    // The snapshot the application hands to its writer.
    const auto snapshot = [&] {
        recovery::Snapshot taken = fixture.model->recoverySnapshot();
        KANVARO_ASSERT(taken.painting);
        return taken;
    };
    const Seconds sync = medianSeconds([&] { KANVARO_ASSERT(recovery::write(snapshot(), recovery::folder()).ok()); });
    recovery::Keeper keeper;
    const Seconds writer = medianSeconds([&] {
        keeper.keep(snapshot(), recovery::folder());
        keeper.waitUntilIdle();
    });
    double mainThread = 0;
    for (auto _ : state) {
        mainThread += timeOnce([&] { keeper.keep(snapshot(), recovery::folder()); }).wall;
        state.PauseTiming();
        keeper.waitUntilIdle();
        state.ResumeTiming();
    }
    const double iterations = static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["vs_memcpy"] =
        mainThread / iterations / bench::memcpySeconds(static_cast<std::size_t>(kWidth) * kHeight * 4);
    state.counters["vs_sync_write"] = mainThread / iterations / sync.wall;
    state.counters["sync_write_ms"] = sync.wall * 1e3;
    state.counters["writer_ms"] = writer.wall * 1e3;
}
BENCHMARK(BM_KeepRecoveryCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
