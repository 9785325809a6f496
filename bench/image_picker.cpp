// The image picker's first screen: from opening the picker on a folder of 200 photos of 12 MP
// (4000 x 3000 JPEGs) to every square on screen showing its thumbnail, drawn. The photos are made
// once in a temporary folder (four distinct pictures, each under 50 names, so the files stay in
// the page cache as a warm library would); the thumbnails come from the background workers
// through the picker's own refresh. Also one thumbnail alone, the work a worker does per photo.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <thread>
#include <unistd.h>
#include <vector>

#include "BenchSupport.h"
#include "Foundation/FileOps.h"
#include "Foundation/Log.h"
#include "Foundation/Paths.h"
#include "ImageIO/Encoder.h"
#include "Toolkit/ImageAsset.h"
#include "Toolkit/ImagePickerController.h"
#include "Toolkit/PhotoGridView.h"
#include "Toolkit/Window.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPhotoCount = 200;
constexpr int kDistinctPhotos = 4;
constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// A photo-like picture: smooth colour fields with fine grain, so the JPEG is photo-sized.
std::vector<std::uint8_t> photoJpeg(int seed)
{
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kWidth) * kHeight);
    std::uint32_t noise = 2463534242u + static_cast<std::uint32_t>(seed);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            const int grain = static_cast<int>(noise & 15) - 8;
            const auto channel = [grain](int v) { return static_cast<std::uint32_t>(std::clamp(v + grain, 0, 255)); };
            pixels[static_cast<std::size_t>(y) * kWidth + x] = 0xFF000000u | channel((x + seed * 900) / 16 % 256) << 16
                                                               | channel(y / 12) << 8 | channel((x + y) / 28 % 256);
        }
    return imageio::encodeJpeg({reinterpret_cast<const std::uint8_t*>(pixels.data()), kWidth, kHeight, kWidth * 4}, 0.9)
        .value();
}

// The library, made on first use and removed at exit.
struct Library {
    fs::path folder = fs::temp_directory_path() / ("kanvaro_bench_picker_" + std::to_string(::getpid()));
    std::vector<std::uintmax_t> sizes; // file size per photo, newest first

    Library()
    {
        fs::create_directories(folder);
        std::vector<fs::path> originals;
        for (int i = 0; i < kDistinctPhotos; ++i) {
            originals.push_back(folder / (".original" + std::to_string(i) + ".jpg"));
            fnd::writeFileAtomically(originals.back().string(), photoJpeg(i));
        }
        const auto now = fs::file_time_type::clock::now();
        for (int i = 0; i < kPhotoCount; ++i) {
            const fs::path photo = folder / ("IMG_" + std::to_string(1000 + i) + ".jpg");
            fs::create_hard_link(originals[static_cast<std::size_t>(i % kDistinctPhotos)], photo);
            fs::last_write_time(photo, now - std::chrono::seconds(kPhotoCount - i));
        }
        for (int i = kPhotoCount - 1; i >= 0; --i)
            sizes.push_back(fs::file_size(originals[static_cast<std::size_t>(i % kDistinctPhotos)]));
    }
    ~Library() { fs::remove_all(folder); }
};

Library& library()
{
    static Library made;
    return made;
}

bool firstScreenShown(ui::PhotoGridView& grid, int onScreen)
{
    grid.refresh();
    for (int i = 0; i < onScreen; ++i)
        if (grid.cellAt(i)->look() == ui::PhotoGridCell::Look::Loading)
            return false;
    return true;
}

// The squares wholly or partly on the first screen.
int squaresOnFirstScreen(const ui::PhotoGridView& grid)
{
    int count = 0;
    while (count < kPhotoCount && grid.cellRect(count).origin.y < grid.bounds().size.height)
        ++count;
    return count;
}

void BM_PickerFirstScreen200Photos12MP(benchmark::State& state)
{
    Library& photos = library();
    fnd::setLogSink([](const std::string&) {});
    fnd::setPicturesPath(photos.folder.string());
    ui::setScreenScale(2);
    auto window = std::make_shared<ui::Window>();
    window->setScale(2);
    int onScreen = 0;
    {
        ui::ImagePickerController probe;
        probe.view();
        onScreen = squaresOnFirstScreen(*probe.photoGrid());
    }
    std::size_t bytesRead = 0;
    for (int i = 0; i < onScreen; ++i)
        bytesRead += photos.sizes[static_cast<std::size_t>(i)];
    bench::runAgainstMemcpy(state, bytesRead, [&] {
        auto picker = std::make_shared<ui::ImagePickerController>();
        window->addSubview(picker->viewRef());
        while (!firstScreenShown(*picker->photoGrid(), onScreen))
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        window->display();
        picker->view()->removeFromSuperview();
    });
    state.counters["photos_on_screen"] = onScreen;
    fnd::setPicturesPath("");
    fnd::setLogSink(nullptr);
}
BENCHMARK(BM_PickerFirstScreen200Photos12MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ThumbnailOf12MPPhoto(benchmark::State& state)
{
    Library& photos = library();
    const std::string path = (photos.folder / "IMG_1000.jpg").string();
    bench::runAgainstMemcpy(state, photos.sizes.back(),
                            [&] { benchmark::DoNotOptimize(ui::makePhotoThumbnail(path, 150).ok()); });
    state.counters["file_MB"] = static_cast<double>(photos.sizes.back()) / (1024 * 1024);
}
BENCHMARK(BM_ThumbnailOf12MPPhoto)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
