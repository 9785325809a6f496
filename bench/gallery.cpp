// The gallery's three waits a person feels, each in the headless host at scale 2:
//   - start-up to the first drawn gallery frame with 50 saved paintings;
//   - the save on return from painting a 1024 x 768 photo (archive + thumbnail, overlay included);
//   - opening a saved photo painting to its first drawn frame.
// Each reports vs_memcpy (over a memcpy of the 1024 x 768 painting's 3 MiB) and coding_share,
// the part of the time that PNG and JPEG coding alone take on the same pictures.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

#include "BenchSupport.h"
#include "DataModel.h"
#include "Foundation/Bundle.h"
#include "Foundation/Paths.h"
#include "GalleryTableViewCell.h"
#include "GalleryViewController.h"
#include "Graphics/UprightPixels.h"
#include "Host/ApplicationMain.h"
#include "Host/HeadlessHost.h"
#include "ImageIO/Decoder.h"
#include "ImageIO/Encoder.h"
#include "KanvaroAppDelegate.h"
#include "Toolkit/NavigationController.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr std::size_t kPaintingBytes = static_cast<std::size_t>(kWidth) * kHeight * 4;

std::shared_ptr<imageio::DecodedImage> photo()
{
    auto image = std::make_shared<imageio::DecodedImage>();
    image->width = kWidth;
    image->height = kHeight;
    image->bytesPerRow = kWidth * 4;
    image->bytes = std::make_shared<std::vector<std::uint8_t>>(kPaintingBytes);
    std::uint8_t* p = image->bytes->data();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x, p += 4) {
            p[0] = static_cast<std::uint8_t>(40 + y / 4 + (x * 7 + y * 3) % 9);
            p[1] = static_cast<std::uint8_t>(60 + (x + y) / 12);
            p[2] = static_cast<std::uint8_t>(30 + x / 5);
            p[3] = 255;
        }
    return image;
}

// A documents folder of its own, and the application launched headless from the main interface.
struct App {
    fs::path dir = fs::temp_directory_path() / "kanvaro-bench-gallery";
    std::unique_ptr<host::HeadlessHost> host;
    KanvaroAppDelegate delegate;

    App()
    {
        fs::remove_all(dir);
        fs::create_directories(dir);
        fnd::setDocumentsPath(dir.string());
        fnd::setResourcePath(KANVARO_SOURCE_DIR "/Resources");
    }
    ~App()
    {
        host.reset();
        DataModel::releaseSharedDataModel();
        fs::remove_all(dir);
    }
    void launch()
    {
        host = std::make_unique<host::HeadlessHost>(2);
        host->launch(host::applicationHooks(delegate));
    }
    GalleryViewController& gallery() { return *delegate.galleryViewController(); }
    // A saved photo painting under `title`.
    void savePhotoPainting(const std::string& title)
    {
        DataModel* model = DataModel::sharedDataModelWithUIImage(photo()).value_or(nullptr);
        model->setFileTitle(title);
        model->saveToFiles();
    }
};

double seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The median of seven timings of `body`, for the coding shares (one sample is too noisy).
template <class Body> double medianSeconds(Body&& body)
{
    std::vector<double> samples;
    for (int i = 0; i < 7; ++i) {
        const auto start = Clock::now();
        body();
        samples.push_back(seconds(start));
    }
    std::nth_element(samples.begin(), samples.begin() + 3, samples.end());
    return samples[3];
}

void report(benchmark::State& state, double total, double coding)
{
    const double perIteration = total / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["vs_memcpy"] = perIteration / bench::memcpySeconds(kPaintingBytes);
    state.counters["coding_share"] = coding / perIteration;
    state.counters["ms"] = perIteration * 1000;
}

void BM_StartupToFirstGalleryFrame(benchmark::State& state)
{
    App app;
    app.savePhotoPainting("Kanvaro0");
    DataModel::releaseSharedDataModel();
    for (int i = 1; i < 50; ++i) {
        fs::copy_file(app.dir / "Kanvaro0.jpg", app.dir / ("Kanvaro" + std::to_string(i) + ".jpg"));
        fs::copy_file(app.dir / "Kanvaro0.art", app.dir / ("Kanvaro" + std::to_string(i) + ".art"));
    }
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        app.launch(); // the launch draws the first frame
        total += seconds(start);
        state.PauseTiming();
        app.host.reset();
        state.ResumeTiming();
    }
    // JPEG decoding of the thumbnails on the first screen (three rows of two).
    const double coding = medianSeconds([&] {
        for (int i = 0; i < 6; ++i)
            benchmark::DoNotOptimize(imageio::decodeFile((app.dir / "Kanvaro0.jpg").string()));
    });
    report(state, total, coding);
}
BENCHMARK(BM_StartupToFirstGalleryFrame)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SaveOnReturnOfPhotoPainting(benchmark::State& state)
{
    App app;
    app.launch();
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        (void)DataModel::sharedDataModelWithUIImage(photo());
        app.gallery().pushPaintViewController();
        app.host->advance(1);
        DataModel::sharedDataModel()->setChangesMade(true);
        state.ResumeTiming();
        const auto start = Clock::now();
        // Without the slide the gallery appears at once: overlay, save, list.
        app.gallery().navigationController()->popViewControllerAnimated(false);
        app.host->advance(0);
        total += seconds(start);
    }
    // The coding alone: the painting's PNG and the thumbnail's JPEG.
    Canvas& canvas = *DataModel::sharedDataModel()->canvas();
    auto painting = canvas.createThumbnail(kWidth, false);
    auto thumbnail = canvas.createThumbnail(120);
    const double coding = medianSeconds([&] {
        auto png = imageio::encodePng(
            {painting->data(), painting->width(), painting->height(), painting->bytesPerRow(), true});
        auto jpeg = imageio::encodeJpeg(
            {thumbnail->data(), thumbnail->width(), thumbnail->height(), thumbnail->bytesPerRow(), true}, 0.8);
        benchmark::DoNotOptimize(png);
        benchmark::DoNotOptimize(jpeg);
    });
    report(state, total, coding);
}
BENCHMARK(BM_SaveOnReturnOfPhotoPainting)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_OpenSavedPaintingToFirstFrame(benchmark::State& state)
{
    App app;
    app.savePhotoPainting("Kanvaro1");
    DataModel::releaseSharedDataModel();
    app.launch();
    app.host->advance(0.1);
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto* cell = dynamic_cast<GalleryTableViewCell*>(app.gallery().tableView()->cellForRowAtIndexPath({0, 0}));
        cell->setSelectedFileName("Kanvaro1.jpg");
        state.ResumeTiming();
        const auto start = Clock::now();
        app.gallery().tableViewDidSelectRowAtIndexPath(*app.gallery().tableView(), {0, 0});
        app.host->advance(1.0 / 60); // the first frame of the push
        total += seconds(start);
        state.PauseTiming();
        app.host->advance(1);
        app.gallery().navigationController()->popViewControllerAnimated(false);
        app.host->advance(1);
        state.ResumeTiming();
    }
    // The coding alone: the archived painting's PNG, decoded.
    DataModel* model = DataModel::sharedDataModel();
    auto painting = model->canvas()->createThumbnail(kWidth, false);
    auto png =
        imageio::encodePng({painting->data(), painting->width(), painting->height(), painting->bytesPerRow(), true});
    const double coding =
        medianSeconds([&] { benchmark::DoNotOptimize(imageio::decodeMemory(png->data(), png->size())); });
    report(state, total, coding);
}
BENCHMARK(BM_OpenSavedPaintingToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
