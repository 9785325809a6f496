#include <gtest/gtest.h>

#include <thread>

#include "AutoPaintImages.h"
#include "AutoPaintRun.h"
#include "AutoPainter.h"
#include "BrushTool.h"
#include "Canvas.h"
#include "Foundation/Clock.h"
#include "ImageIO/Decoder.h"
#include "MediumValues.h"
#include "RawImage.h"

namespace {

struct Photo {
    std::shared_ptr<const RawImage> raw;
    std::unique_ptr<Canvas> canvas;
};

// `canvasWidth` > 0 paints a smaller canvas than the photo's (quicker; sizes scale with it).
Photo samplePhoto(const char* name, int canvasWidth = 0)
{
    auto decoded = imageio::decodeFile(std::string(KANVARO_SOURCE_DIR) + "/Resources/SamplePhotos/" + name);
    if (!decoded)
        return {};
    Photo photo;
    photo.raw = RawImage::initWithUIImage(decoded.value());
    photo.canvas = Canvas::initWithUIImage(decoded.value());
    if (canvasWidth > 0 && photo.canvas)
        photo.canvas = Canvas::initWithSize(canvasWidth, canvasWidth * photo.canvas->height() / photo.canvas->width());
    return photo;
}

int mediumNamed(const char* name)
{
    for (int i = 0; i < NUM_MEDIUM_VALUES; ++i)
        if (std::string(g_arMediumValues[i].name) == name)
            return i;
    return 0;
}

std::vector<float> pixelsOf(const Canvas& canvas) { return CanvasPicture(canvas).pixels; }

std::vector<AutoStrokeGroup> planAll(AutoPainter& painter)
{
    std::vector<AutoStrokeGroup> groups;
    while (auto group = painter.planNextGroup())
        groups.push_back(std::move(*group));
    return groups;
}

bool sameStrokes(const std::vector<AutoStrokeGroup>& a, const std::vector<AutoStrokeGroup>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t g = 0; g < a.size(); ++g) {
        if (a[g].strokes.size() != b[g].strokes.size())
            return false;
        for (std::size_t s = 0; s < a[g].strokes.size(); ++s) {
            const auto &pa = a[g].strokes[s].points, &pb = b[g].strokes[s].points;
            if (pa.size() != pb.size() || a[g].strokes[s].number != b[g].strokes[s].number)
                return false;
            for (std::size_t i = 0; i < pa.size(); ++i)
                if (pa[i].at.x != pb[i].at.x || pa[i].at.y != pb[i].at.y || pa[i].time != pb[i].time)
                    return false;
        }
    }
    return true;
}

} // namespace

// The screen lays the planner's strokes through its own brush: same order, same pixels, also for
// a splattering medium planned on another thread; the same seed plans the same painting.
TEST(AutoPainter, StrokesLaidElsewhereRepeatThePlannersCanvas)
{
    Photo photo = samplePhoto("coffee.png", 256);
    ASSERT_TRUE(photo.raw && photo.canvas);
    for (const char* medium : {"Oil Paint", "PenAndInk", "Watercolor"}) {
        SCOPED_TRACE(medium);
        const AutoPaintSettings settings{mediumNamed(medium), 7};
        auto screen = std::shared_ptr<Canvas>(CopyCanvasForAutoPainting(*photo.canvas));
        BeginAutoPainting(*screen);
        std::vector<AutoStrokeGroup> planned;
        std::unique_ptr<AutoPainter> painter;
        std::thread([&] {
            painter = AutoPainter::create(photo.raw, CopyCanvasForAutoPainting(*screen), settings);
            if (painter)
                planned = planAll(*painter);
        }).join();
        ASSERT_TRUE(painter);
        ASSERT_EQ(static_cast<int>(planned.size()), painter->groupCount());
        BrushTool brush(screen, photo.raw);
        std::srand(12345); // the screen's rand() must not matter
        for (const AutoStrokeGroup& group : planned) {
            PrepareAutoBrush(brush, g_arMediumValues[settings.medium], group.brushSize, settings.seed);
            for (const AutoStroke& stroke : group.strokes)
                LayAutoStroke(brush, stroke);
            EndAutoStrokeGroup(*screen);
        }
        EXPECT_EQ(pixelsOf(*screen), pixelsOf(painter->canvas()));

        auto again = AutoPainter::create(photo.raw, CopyCanvasForAutoPainting(*photo.canvas), settings);
        EXPECT_TRUE(sameStrokes(planAll(*again), planned));
        EXPECT_EQ(pixelsOf(again->canvas()), pixelsOf(painter->canvas()));
        auto otherSeed = AutoPainter::create(photo.raw, CopyCanvasForAutoPainting(*photo.canvas), {settings.medium, 8});
        EXPECT_FALSE(sameStrokes(planAll(*otherSeed), planned));
    }
}

// Close to the photo once blurred, yet painted rather than copied; coarse first; one undo takes
// the whole painting back, and paint already there stays under it.
TEST(AutoPainter, PaintsThePhotoCoarseToFineAndUndoesWhole)
{
    Photo photo = samplePhoto("chelsea.png");
    ASSERT_TRUE(photo.raw && photo.canvas);
    Canvas& canvas = *photo.canvas;
    canvas.curStrokeLayer().context().setFillColor(gfx::Color{1, 0, 0, 1});
    canvas.curStrokeLayer().context().fillRect(gfx::Rect(0, 0, 40, 40)); // a hand stroke before
    const std::vector<float> before = pixelsOf(canvas);
    ASSERT_TRUE(PaintAutomatically(canvas, photo.raw, {mediumNamed("Oil Paint"), 3}));
    const RgbImage target = ShrinkPhoto(*photo.raw, canvas.width(), canvas.height());
    const RgbImage painted = CanvasPicture(canvas);
    EXPECT_LE(MeanDeltaE76(GaussianBlurred(target, 2), GaussianBlurred(painted, 2)), 12.0);
    EXPECT_GE(MeanDeltaE76(target, painted), 2.0);
    canvas.undo();
    EXPECT_EQ(pixelsOf(canvas), before);

    auto painter = AutoPainter::create(photo.raw, CopyCanvasForAutoPainting(canvas), {0, 3});
    ASSERT_TRUE(painter);
    const auto sizes = painter->style().sizes;
    EXPECT_TRUE(std::is_sorted(sizes.rbegin(), sizes.rend()));
    EXPECT_GE(sizes.size(), 3u);

    // The other media a person would call a painting of the photo, on a smaller canvas: close
    // once blurred (translucent Watercolor less so), never a copy.
    for (const char* medium : {"Watercolor", "Pencil", "Pastel"}) {
        SCOPED_TRACE(medium);
        Photo small = samplePhoto("chelsea.png", 400);
        ASSERT_TRUE(small.raw && small.canvas);
        ASSERT_TRUE(PaintAutomatically(*small.canvas, small.raw, {mediumNamed(medium), 3}));
        const RgbImage shrunk = ShrinkPhoto(*small.raw, small.canvas->width(), small.canvas->height());
        const RgbImage result = CanvasPicture(*small.canvas);
        EXPECT_LE(MeanDeltaE76(GaussianBlurred(shrunk, 2), GaussianBlurred(result, 2)),
                  g_arMediumValues[mediumNamed(medium)].opacity >= 0.7f ? 12.0 : 20.0);
        EXPECT_GE(MeanDeltaE76(shrunk, result), 2.0);
    }
}

// Started again on its own painting it adds strokes only where the canvas still differs.
TEST(AutoPainter, RepaintingAddsFewStrokes)
{
    Photo photo = samplePhoto("astronaut.png", 400);
    ASSERT_TRUE(photo.raw && photo.canvas);
    const AutoPaintSettings settings{mediumNamed("Pastel"), 5};
    auto first = AutoPainter::create(photo.raw, CopyCanvasForAutoPainting(*photo.canvas), settings);
    ASSERT_TRUE(first);
    std::size_t firstCount = 0;
    for (const auto& group : planAll(*first))
        firstCount += group.strokes.size();
    ASSERT_TRUE(PaintAutomatically(*photo.canvas, photo.raw, settings));
    BeginAutoPainting(*photo.canvas);
    auto second = AutoPainter::create(photo.raw, CopyCanvasForAutoPainting(*photo.canvas), {settings.medium, 6});
    std::size_t secondCount = 0;
    for (const auto& group : planAll(*second))
        secondCount += group.strokes.size();
    EXPECT_LT(secondCount * 4, firstCount);
}

// A run stopped part-way leaves what replaying its settings and stop point paints; the brush
// gets its own settings back.
TEST(AutoPaintRun, StoppedRunMatchesItsReplay)
{
    fnd::ManualClockScope clock; // frames are driven by hand below
    Photo photo = samplePhoto("coffee.png", 400);
    ASSERT_TRUE(photo.raw && photo.canvas);
    auto screen = std::shared_ptr<Canvas>(CopyCanvasForAutoPainting(*photo.canvas));
    auto replay = CopyCanvasForAutoPainting(*photo.canvas);
    BrushTool brush(screen, photo.raw);
    ApplyInitialMediumValue(brush);
    brush.setMode(BrushTool::kModeFreehand);
    int finished = 0;
    const AutoPaintSettings settings{mediumNamed("Charcoal"), 11};
    auto run = AutoPaintRun::start(brush, photo.raw, settings, [&] { ++finished; });
    ASSERT_TRUE(run);
    double now = 0;
    while (run->isRunning() && (run->laid().group < 1 || run->laid().strokes < 50)) {
        run->layFrame(now += AutoPaintRun::kFrameInterval);
        std::this_thread::yield();
    }
    run->stop();
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(brush.mode(), BrushTool::kModeFreehand);
    EXPECT_EQ(brush.size(), kInitialBrushSize);
    EXPECT_EQ(brush.shapeName(), std::optional<std::string>("Oil"));
    ASSERT_TRUE(run->stopPoint());
    ASSERT_TRUE(PaintAutomatically(*replay, photo.raw, settings, run->stopPoint()));
    EXPECT_EQ(pixelsOf(*screen), pixelsOf(*replay));
}
