// Big photos through the real painting views, at scale 2 in a 320 x 480 window.
//
// BM_PhotoCrossFade: the 2-second cross-fade from the photo into its blueprint, drawn frame after
// frame on the real clock as the window host does; `fade_frames` is how many frames the fade
// showed (the goal is at least 30), `frame_ms` the median frame and `worst_ms` the slowest one.
// `frame_cpu_ms` is the median frame in processor time, which a busy machine does not stretch, and
// `cpu_fade_frames` the frames the fade would show at that pace. `first_frame_cpu_ms` is the
// first frame of the painting screen, before the fade, in processor time.
//
// BM_BigPhotoMemory: a 6000 x 4000 JPEG opened as a painting, as the picker does: `peak_MiB` and
// `settled_MiB` are what the process holds beyond what it held before (resident memory, at its
// highest and once the fade is over), also in full-size copies of the photo's pixels
// (`settled_copies`: the raw image alone is 1). Then two recovery copies with a stroke between:
// `first_copy_MiB` and `next_copy_MiB` are the bytes each wrote.
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <time.h>

#include "BenchSupport.h"
#include "DataModel.h"
#include "Foundation/Bundle.h"
#include "Foundation/FileOps.h"
#include "Foundation/Paths.h"
#include "Foundation/RunLoop.h"
#include "ImageIO/Encoder.h"
#include "PaintView.h"
#include "Recovery.h"
#include "Toolkit/PhotoLibrary.h"
#include "Toolkit/Window.h"

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

// A camera-like photo: smooth gradients, a few hard-edged shapes and mild noise.
std::shared_ptr<imageio::DecodedImage> makePhoto(int width, int height)
{
    auto image = std::make_shared<imageio::DecodedImage>();
    image->width = width;
    image->height = height;
    image->bytesPerRow = width * 4;
    image->bytes = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(width) * height * 4);
    std::minstd_rand rng(7);
    std::uint8_t* p = image->bytes->data();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x, p += 4) {
            const int noise = static_cast<int>(rng() % 9);
            const bool shape = ((x / 700) + (y / 500)) % 3 == 0;
            p[0] = static_cast<std::uint8_t>(40 + (y * 150) / height + noise);
            p[1] = static_cast<std::uint8_t>(60 + ((x + y) * 100) / (width + height) + noise + (shape ? 60 : 0));
            p[2] = static_cast<std::uint8_t>(30 + (x * 150) / width + noise);
            p[3] = 255;
        }
    return image;
}

std::string procLine(const char* file, const std::string& key)
{
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key, 0) == 0)
            return line.substr(key.size());
    return {};
}

// Resident memory now and at its highest (since resetPeak), in bytes.
double residentBytes() { return std::stod(procLine("/proc/self/status", "VmRSS:")) * 1024; }
double peakResidentBytes() { return std::stod(procLine("/proc/self/status", "VmHWM:")) * 1024; }
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }
// Bytes this process has handed to write() and its kin so far.
double bytesWritten() { return std::stod(procLine("/proc/self/io", "wchar: ")); }

// The painting screen's view for the shared document in a window, drawn once.
struct Screen {
    std::shared_ptr<ui::Window> window = std::make_shared<ui::Window>();
    std::shared_ptr<PaintView> paintView;
    double firstFrameSeconds = 0; // processor time

    Screen()
    {
        window->setScale(2);
        const DataModel* document = DataModel::sharedDataModel();
        paintView = PaintView::initWithFrame(window->bounds(), document->canvasRef(), document->rawImageRef(),
                                             document->origImage());
        KANVARO_ASSERT(paintView);
        window->addSubview(paintView);
        const double start = threadSeconds();
        window->display();
        firstFrameSeconds = threadSeconds() - start;
    }
    ~Screen()
    {
        window.reset();
        paintView.reset();
        fnd::RunLoop::main().removeAllTimers();
    }

    // Lets the outline timer fire; the fade starts as it does.
    void waitForOutline()
    {
        while (!paintView->canvasView()->outlineView())
            fnd::RunLoop::main().runFor(0.02);
    }

    struct Frame {
        double wall = 0;
        double cpu = 0;
    };
    // Draws frames as the host does until the fade is over; the time of each.
    std::vector<Frame> runFade()
    {
        std::vector<Frame> frames;
        while (window->hasRunningAnimations()) {
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = threadSeconds();
            window->display();
            frames.push_back({std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                              threadSeconds() - cpuStart});
            fnd::RunLoop::main().runOnce();
        }
        return frames;
    }
};

void setUpFolders(const std::filesystem::path& dir)
{
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    fnd::setDocumentsPath(dir.string());
    fnd::setResourcePath(KANVARO_SOURCE_DIR "/Resources");
}

void BM_PhotoCrossFade(benchmark::State& state)
{
    const auto dir = std::filesystem::temp_directory_path() / "kanvaro-bench-fade";
    setUpFolders(dir);
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    std::vector<Screen::Frame> frames;
    double firstFrame = 0;
    for (auto _ : state) {
        state.PauseTiming();
        KANVARO_ASSERT(DataModel::sharedDataModelWithUIImage(makePhoto(width, height)));
        Screen screen;
        firstFrame = screen.firstFrameSeconds;
        screen.waitForOutline();
        state.ResumeTiming();
        frames = screen.runFade();
        state.PauseTiming();
        DataModel::releaseSharedDataModel();
        state.ResumeTiming();
    }
    const std::size_t count = frames.size();
    std::vector<double> wall, cpu;
    for (const Screen::Frame& frame : frames) {
        wall.push_back(frame.wall);
        cpu.push_back(frame.cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    const double medianWall = count ? wall[count / 2] : 0, medianCpu = count ? cpu[count / 2] : 0;
    state.counters["fade_frames"] = static_cast<double>(count);
    state.counters["frame_ms"] = medianWall * 1e3;
    state.counters["worst_ms"] = count ? wall.back() * 1e3 : 0;
    state.counters["frame_cpu_ms"] = medianCpu * 1e3;
    state.counters["cpu_fade_frames"] = medianCpu > 0 ? CanvasView::kOutlineFadeSeconds / medianCpu : 0;
    state.counters["first_frame_cpu_ms"] = firstFrame * 1e3;
    state.counters["vs_memcpy"] = medianWall / bench::memcpySeconds(640 * 960 * 4);
    std::filesystem::remove_all(dir);
}

// A JPEG of a big photo in a temporary folder.
std::string writeJpeg(const std::filesystem::path& dir, int width, int height)
{
    const std::string path = (dir / "big.jpg").string();
    auto photo = makePhoto(width, height);
    auto jpeg = imageio::encodeJpeg({photo->bytes->data(), width, height, width * 4, false}, 0.9);
    KANVARO_ASSERT(jpeg && fnd::writeFileAtomically(path, jpeg.value()));
    return path;
}

// Bytes written by one recovery copy of the shared document.
double recoveryCopyBytes(recovery::Keeper& keeper, const DataModel& document)
{
    const double before = bytesWritten();
    KANVARO_ASSERT(keeper.keepAndWait(document.recoverySnapshot(), recovery::folder()));
    return bytesWritten() - before;
}

void BM_BigPhotoMemory(benchmark::State& state)
{
    constexpr int kWidth = 6000, kHeight = 4000;
    constexpr double kPhotoBytes = 4.0 * kWidth * kHeight;
    const auto dir = std::filesystem::temp_directory_path() / "kanvaro-bench-big-photo";
    setUpFolders(dir);
    const std::string jpeg = writeJpeg(dir, kWidth, kHeight);
    double before = 0, peak = 0, settled = 0, firstCopy = 0, nextCopy = 0;
    for (auto _ : state) {
        before = residentBytes();
        resetPeak();
        {
            auto decoded = ui::decodePickedPhoto(jpeg);
            KANVARO_ASSERT(decoded);
            auto photo = std::make_shared<const imageio::DecodedImage>(std::move(decoded).value());
            KANVARO_ASSERT(DataModel::sharedDataModelWithUIImage(std::move(photo)));
        }
        DataModel& document = *DataModel::sharedDataModel();
        {
            Screen screen;
            screen.waitForOutline();
            screen.runFade();
            settled = residentBytes();
            peak = peakResidentBytes();
            document.setChangesMade(true);
            recovery::Keeper keeper;
            firstCopy = recoveryCopyBytes(keeper, document);
            screen.paintView->canvasView()->brushTool().drawBrushStrokeFrom({200, 200}, {600, 500});
            document.canvas()->saveUndoState();
            nextCopy = recoveryCopyBytes(keeper, document);
            keeper.discard();
        }
        DataModel::releaseSharedDataModel();
    }
    state.counters["peak_MiB"] = (peak - before) / kMiB;
    state.counters["settled_MiB"] = (settled - before) / kMiB;
    state.counters["settled_copies"] = (settled - before) / kPhotoBytes;
    state.counters["first_copy_MiB"] = firstCopy / kMiB;
    state.counters["next_copy_MiB"] = nextCopy / kMiB;
    std::filesystem::remove_all(dir);
}
// First, while the heap holds nothing of the fade's big pictures.
BENCHMARK(BM_BigPhotoMemory)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PhotoCrossFade)
    ->Args({8192, 8192})
    ->Args({6000, 4000})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
