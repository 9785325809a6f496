// Brush dabs per second through the span kernel (turned dabs in colour, photo and eraser modes)
// and through the general cairo path (mask clip + fill) for comparison; and one 100-pixel segment
// of size-100 dabs at spacing 0.05 followed by the dirty-rect redraw of the canvas composite, as
// one frame of a stroke costs. vs_memcpy compares each dab with a memcpy of the rows of its bounding box, in place on a
// canvas-sized surface. BM_DabSpanPath runs the colour dab through each of the kernel's span loops.
#include <cmath>

#include "BenchSupport.h"
#include "BrushTool.h"
#include "DataModel.h"
#include "Foundation/Bundle.h"
#include "Graphics/MaskFillSpans.h"
#include "MediumValues.h"
#include "Toolkit/View.h"

namespace {

constexpr float kDirection = 30;          // turned by 240 degrees
constexpr float kUnturnedDirection = 270; // the mask's rows along the canvas rows
constexpr float kQuarterDirection = 0;    // turned by a quarter, as fixed-direction media lay it

// A 1536 x 2048 photo of smooth colours: the canvas is 768 x 1024.
DataModel::Photo makePhoto()
{
    auto photo = std::make_shared<imageio::DecodedImage>();
    photo->width = 1536;
    photo->height = 2048;
    photo->bytesPerRow = photo->width * 4;
    photo->bytes =
        std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(photo->bytesPerRow) * photo->height);
    std::uint8_t* p = photo->bytes->data();
    for (int y = 0; y < photo->height; ++y)
        for (int x = 0; x < photo->width; ++x, p += 4) {
            p[0] = static_cast<std::uint8_t>(x / 6);
            p[1] = static_cast<std::uint8_t>(y / 8);
            p[2] = static_cast<std::uint8_t>((x + y) / 14);
            p[3] = 255;
        }
    return photo;
}

struct Scene {
    std::shared_ptr<ui::View> view;
    std::unique_ptr<BrushTool> brush;

    Scene(int size, BrushTool::Mode mode, float direction = kDirection)
    {
        fnd::setResourcePath(KANVARO_SOURCE_DIR "/Resources");
        DataModel* document = DataModel::sharedDataModelWithUIImage(makePhoto()).value_or(nullptr);
        view = std::make_shared<ui::View>(document->canvas()->bounds());
        brush = std::make_unique<BrushTool>(document->canvasRef(), document->rawImageRef());
        brush->setCanvasView(view.get());
        brush->setMode(mode);
        ApplyInitialMediumValue(*brush);
        brush->setSize(size);
        brush->setFixedDirection(true);
        brush->setDirection(direction);
        brush->setColor({0.8f, 0.3f, 0.1f, 1});
    }
    ~Scene() { DataModel::releaseSharedDataModel(); }
    Canvas& canvas() { return *DataModel::sharedDataModel()->canvas(); }
};

// A memcpy of the rows of a dab's bounding box, in place on a canvas-sized surface, in wall and
// in processor time.
bench::Baseline dabBoxCopySeconds(int size, float direction = kDirection)
{
    const double theta = (270.0 - direction) * M_PI / 180.0;
    const int side = static_cast<int>(std::ceil(size * (std::fabs(std::cos(theta)) + std::fabs(std::sin(theta)))));
    const std::size_t rowBytes = static_cast<std::size_t>(side) * 4;
    return {bench::memcpyRowsSeconds(side, rowBytes, 768 * 4, 1024),
            bench::memcpyRowsSeconds<bench::ThreadCpuClock>(side, rowBytes, 768 * 4, 1024)};
}

// Dab centres wandering over the canvas, so the dabs do not all hit the same cache lines.
gfx::Point nextCentre(int& i)
{
    i = (i + 1) % 1000;
    return {80.0 + (i * 37) % 600, 80.0 + (i * 53) % 860};
}

void BM_Dab(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    Scene scene(size, static_cast<BrushTool::Mode>(state.range(1)));
    int i = 0;
    bench::runAgainstBaselines(state, dabBoxCopySeconds(size),
                               [&] { benchmark::DoNotOptimize(scene.brush->drawBrushShapeAt(nextCentre(i))); });
    state.SetItemsProcessed(state.iterations());
}

// The colour dab unturned (turned 0), turned by 240 degrees (1) and by a quarter (2), each
// against the memcpy of its own box.
void BM_DabTurn(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    const float direction = state.range(1) == 0   ? kUnturnedDirection
                            : state.range(1) == 1 ? kDirection
                                                  : kQuarterDirection;
    Scene scene(size, BrushTool::kModeFreehand, direction);
    int i = 0;
    bench::runAgainstBaselines(state, dabBoxCopySeconds(size, direction),
                               [&] { benchmark::DoNotOptimize(scene.brush->drawBrushShapeAt(nextCentre(i))); });
    state.SetItemsProcessed(state.iterations());
}

// The colour dab through each span path of the kernel: 0 scalar, 1 SSE2.
void BM_DabSpanPath(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    Scene scene(size, BrushTool::kModeFreehand);
    const gfx::maskfill::SpanPath before = gfx::maskfill::activeSpanPath();
    gfx::maskfill::forceSpanPath(static_cast<gfx::maskfill::SpanPath>(state.range(1)));
    int i = 0;
    bench::runAgainstBaselines(state, dabBoxCopySeconds(size),
                               [&] { benchmark::DoNotOptimize(scene.brush->drawBrushShapeAt(nextCentre(i))); });
    gfx::maskfill::forceSpanPath(before);
    state.SetItemsProcessed(state.iterations());
}

// The same dab through the general path: a mask clip and a fill, composited by cairo.
void BM_DabCairoPath(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    Scene scene(size, BrushTool::kModeFreehand);
    const gfx::ImageMaskRef mask = scene.brush->shapeMask();
    gfx::BitmapContext& ctx = scene.canvas().curStrokeLayer().context();
    const double theta = (270.0 - kDirection) * M_PI / 180.0;
    int i = 0;
    bench::runAgainstBaselines(state, dabBoxCopySeconds(size), [&] {
        gfx::Point p = nextCentre(i);
        gfx::GStateSaver saver(ctx);
        ctx.translate(p.x, p.y);
        ctx.rotate(theta);
        ctx.scale(1, -1);
        gfx::Rect square(-size / 2.0, -size / 2.0, size, size);
        ctx.clipToMask(square, mask);
        ctx.setFillColor(scene.brush->color());
        ctx.fillRect(square);
    });
    state.SetItemsProcessed(state.iterations());
}

// A 100-pixel touch-move of size-100 dabs at spacing 0.05 (20 dabs), then the redraw of the
// dirty rectangle into a screen-sized context. The time per iteration is one stroke frame.
void BM_SegmentAndRedraw(benchmark::State& state)
{
    Scene scene(100, BrushTool::kModePhoto);
    scene.brush->setSpacing(0.05f);
    auto screen = gfx::BitmapContext::create(768, 1024);
    const gfx::Rect dirty(240, 290, 220, 120); // the segment's dabs, turned, with margin
    int i = 0;
    const auto start = std::chrono::steady_clock::now();
    bench::runAgainstMemcpy(state, static_cast<std::size_t>(dirty.width() * dirty.height() * 4), [&] {
        const double y = 350 + (i++ % 8);
        scene.brush->drawBrushStrokeFrom({300, y}, {400, y});
        scene.canvas().drawComposite(*screen, dirty);
    });
    const std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - start;
    state.counters["us_per_frame"] =
        elapsed.count() / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
}

} // namespace

BENCHMARK(BM_Dab)->ArgNames({"size", "mode"})->ArgsProduct({{40, 100, 200}, {0, 1, 2}}); // freehand, photo, eraser
BENCHMARK(BM_DabTurn)->ArgNames({"size", "turned"})->ArgsProduct({{40, 100}, {0, 1, 2}});
BENCHMARK(BM_DabSpanPath)->ArgNames({"size", "path"})->ArgsProduct({{40, 100, 200}, {0, 1}});
BENCHMARK(BM_DabCairoPath)->ArgName("size")->Arg(40)->Arg(100)->Arg(200);
BENCHMARK(BM_SegmentAndRedraw);

BENCHMARK_MAIN();
