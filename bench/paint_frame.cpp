// One frame of painting through the real views: a 100-pixel segment of size-100 dabs at spacing
// 0.05 (20 dabs) laid by the canvas view's brush, then the window's redraw of what they
// invalidated, in a 320 x 480 window at scale 2. `of_120hz_frame` is the time over the 8.3 ms of
// a 120 Hz frame; vs_memcpy is over a memcpy of the window's backing store.
#include "BenchSupport.h"
#include "DataModel.h"
#include "Foundation/Log.h"
#include "PaintView.h"
#include "Toolkit/Window.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>

namespace {

constexpr double kFrameSeconds = 1.0 / 120;

void BM_PaintSegmentFrame(benchmark::State& state)
{
    setenv("KANVARO_RESOURCES", KANVARO_SOURCE_DIR "/Resources", 0);
    const DataModel* document = DataModel::sharedDataModelWithBlankCanvas();
    auto window = std::make_shared<ui::Window>();
    window->setScale(2);
    auto paintView = PaintView::initWithFrame(window->bounds(), document->canvasRef(), nullptr, nullptr);
    window->addSubview(paintView);
    window->display();
    BrushTool& brush = paintView->canvasView()->brushTool();
    brush.setSpacing(0.05f);
    const std::size_t storeBytes =
        static_cast<std::size_t>(window->backingStore()->bytesPerRow()) * window->backingStore()->height();
    double y = 100;
    const auto start = std::chrono::steady_clock::now();
    bench::runAgainstMemcpy(state, storeBytes, [&] {
        brush.drawBrushStrokeFrom({300, y}, {400, y});
        window->display();
        y = y < 900 ? y + 7 : 100;
    });
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    state.counters["of_120hz_frame"] = elapsed.count() / static_cast<double>(state.iterations()) / kFrameSeconds;
    window.reset();
    paintView.reset();
    DataModel::releaseSharedDataModel();
}
BENCHMARK(BM_PaintSegmentFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
