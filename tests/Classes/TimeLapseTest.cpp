// The time-lapse video, read back by OpenH264's decoder: as many frames as the length asked for,
// opening and ending on the finished painting, never showing a stroke that Undo or Clear took
// back; a cancel at any point leaves nothing behind.
#include <gtest/gtest.h>

#include <fstream>

#include "AutoPainter.h"
#include "CanvasViewFixture.h"
#include "DataModel.h"
#include "Foundation/RunLoop.h"
#include "ImageIO/YuvConversion.h"
#include "Journal.h"
#include "JournalReplay.h"
#include "PaintingFixtures.h"
#include "Support/Mp4Reading.h"
#include "Support/TempFolder.h"
#include "TimeLapse.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class TimeLapseTest : public testing::CanvasViewFixture {
protected:
    const Journal& journal() { return *canvas().journal(); }

    // An opaque stroke of colour paint along a horizontal line at height y.
    void line(double y, const gfx::Color& color)
    {
        BrushTool& brush = view->brushTool();
        brush.setMode(BrushTool::kModeFreehand);
        brush.setColor(color);
        brush.setOpacity(1);
        brush.setSize(60);
        brush.beginStroke({100, y}, time);
        for (int i = 1; i <= 20; ++i, time += 1.0 / 60)
            brush.moveStroke({100 + 25.0 * (i - 1), y}, {100 + 25.0 * i, y}, time);
        brush.endStroke(time += 3); // a pause, which the video leaves out
    }

    double time = 100;
};

Bytes readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The darkest luma in rows y0..y1 of a frame.
int darkest(const test_support::DecodedFrame& f, int y0, int y1)
{
    int least = 255;
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < f.width; ++x)
            least = std::min<int>(least, f.y[static_cast<std::size_t>(y * f.width + x)]);
    return least;
}

double meanDifference(const Bytes& a, const Bytes& b)
{
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        sum += std::abs(a[i] - b[i]);
    return sum / static_cast<double>(std::max<std::size_t>(1, a.size()));
}

TEST_F(TimeLapseTest, StrokesTakenBackNeverShowAndTheVideoOpensAndEndsOnThePainting)
{
    open(DataModel::sharedDataModelWithBlankCanvas()); // 712 x 1024
    const gfx::Color red{1, 0, 0, 1}, green{0, 1, 0, 1}, black{0, 0, 0, 1};
    line(800, red); // undone
    canvas().undo();
    line(800, green); // cleared, with the black one after it
    canvas().saveUndoState();
    line(200, black);
    canvas().clear();
    line(200, black); // these three stay: two snapshots commit them
    line(250, black);
    line(300, black);
    canvas().saveUndoState();
    canvas().saveUndoState();
    line(800, red); // undone
    canvas().undo();
    line(350, black);
    EXPECT_EQ(StrokesTakenBack(journal()), (std::vector<bool>{true, true, true, false, false, false, true, false}));

    test_support::TempFolder folder("timelapse");
    const fs::path path = folder / "Painting 1.mp4";
    TimeLapseOptions options;
    options.seconds = 5;
    options.longSide = 160; // 111 x 160 replayed, 110 x 160 in the video
    auto made = WriteTimeLapse(journal(), nullptr, path.string(), options);
    ASSERT_TRUE(made) << made.error();
    EXPECT_FALSE(made->cancelled);
    EXPECT_EQ(made->frames, 150);

    const Bytes file = readAll(path);
    const auto mdhd = test_support::boxAt(file, "moov/trak/mdia/mdhd");
    EXPECT_EQ(test_support::be32(mdhd, 16) * 30, test_support::be32(mdhd, 12) * 150u); // 5 seconds
    const auto frames = test_support::decodeVideo(file);
    ASSERT_EQ(frames.size(), 150u);
    ASSERT_EQ(frames[0].width, 110);
    ASSERT_EQ(frames[0].height, 160);

    // The first and the last frames are the finished painting.
    ReplayOptions replay;
    replay.scale = 160.0 / 1024;
    auto finished = ReplayJournal(journal(), nullptr, replay);
    ASSERT_TRUE(finished);
    auto image = finished->canvas->createThumbnail(160);
    // Left out, the strokes taken back change nothing at the end.
    replay.leaveOut = StrokesTakenBack(journal());
    auto without = ReplayJournal(journal(), nullptr, replay);
    ASSERT_TRUE(without);
    EXPECT_EQ(without->strokes, 4u);
    testing::expectSamePixels(*image, *without->canvas->createThumbnail(160));
    Bytes y(110 * 160), u(55 * 80), v(55 * 80);
    imageio::convertArgbToYuv420(image->data(), image->bytesPerRow(), 110, 160,
                                 {y.data(), u.data(), v.data(), 110, 55});
    EXPECT_LT(meanDifference(frames.front().y, y), 2.0);
    EXPECT_LT(meanDifference(frames.back().y, y), 2.0);
    // The strokes come one after another: the first stroke's frame has one black line of four.
    EXPECT_LT(darkest(frames[15], 28, 33), 60);  // y 200
    EXPECT_GT(darkest(frames[15], 54, 58), 200); // y 350, the last stroke, not yet
    // Where the red and green strokes were, every frame shows bare paper.
    for (std::size_t i = 0; i < frames.size(); ++i)
        ASSERT_GT(darkest(frames[i], 115, 135), 215) << "frame " << i;
}

TEST_F(TimeLapseTest, APhotoPaintingHasTheLengthAskedAndACancelLeavesNothing)
{
    open(DataModel::sharedDataModelWithUIImage(testing::makePhoto(300, 200)).value_or(nullptr));
    for (int i = 0; i < 6; ++i)
        line(100 + 80 * i, {0.2f, 0.3f, 0.9f, 1});
    test_support::TempFolder folder("timelapse");
    const fs::path path = folder / "Painting 2.mp4";
    TimeLapseOptions options;
    options.seconds = 10;
    options.longSide = 96;
    auto made = WriteTimeLapse(journal(), DataModel::sharedDataModel()->rawImageRef(), path.string(), options);
    ASSERT_TRUE(made) << made.error();
    EXPECT_EQ(test_support::decodeVideo(readAll(path)).size(), 300u);
    fs::remove(path);

    // Cancelled while replaying for the finished painting, and while writing frames.
    for (double stopAt : {0.0, 0.6}) {
        options.onProgress = [stopAt](double done) { return done < stopAt; };
        auto cancelled = WriteTimeLapse(journal(), DataModel::sharedDataModel()->rawImageRef(), path.string(), options);
        ASSERT_TRUE(cancelled) << cancelled.error();
        EXPECT_TRUE(cancelled->cancelled);
        EXPECT_TRUE(fs::is_empty(folder.path())) << "cancelled at " << stopAt;
    }
}

// An automatic painting gets four seconds of its own between the person's strokes, painted in
// stages there rather than at once; the video keeps the length asked.
TEST_F(TimeLapseTest, AnAutomaticPaintingHasItsOwnShareShownInStages)
{
    open(DataModel::sharedDataModelWithUIImage(testing::makePhoto(300, 200)).value_or(nullptr));
    line(100, {0.2f, 0.3f, 0.9f, 1});
    line(200, {0.2f, 0.3f, 0.9f, 1});
    // Oil Paint's two coarsest sizes, recorded as one event.
    ASSERT_TRUE(PaintAutomatically(canvas(), DataModel::sharedDataModel()->rawImageRef(), {0, 3}, {{1, 1 << 20}}));
    line(300, {0.9f, 0.3f, 0.2f, 1});
    test_support::TempFolder folder("timelapse");
    const fs::path path = folder / "Painting 3.mp4";
    TimeLapseOptions options;
    options.seconds = 10;
    options.longSide = 96;
    auto made = WriteTimeLapse(journal(), DataModel::sharedDataModel()->rawImageRef(), path.string(), options);
    ASSERT_TRUE(made) << made.error();
    const auto frames = test_support::decodeVideo(readAll(path));
    ASSERT_EQ(frames.size(), 300u);
    // 45 opening frames; of the 195 for strokes, 120 for the painting after 50 for two strokes.
    int changes = 0;
    for (std::size_t i = 96; i < 214; ++i)
        changes += meanDifference(frames[i].y, frames[i - 1].y) > 0.05;
    EXPECT_GE(changes, 30);
    EXPECT_GT(meanDifference(frames[94].y, frames[214].y), 10.0);
    EXPECT_GT(meanDifference(frames[94].y, frames[154].y), 2.0);
    EXPECT_GT(meanDifference(frames[154].y, frames[214].y), 2.0);
    // The painting merged the strokes before it: Undo takes back only it and the stroke after,
    // and a replay without them ends on the same pixels.
    canvas().undo();
    const TakenBack takenBack = WhatWasTakenBack(journal());
    EXPECT_EQ(takenBack.strokes, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(takenBack.autoPaintings, std::vector<bool>{true});
    ReplayOptions replay;
    replay.scale = 0.1;
    auto whole = ReplayJournal(journal(), DataModel::sharedDataModel()->rawImageRef(), replay);
    replay.leaveOut = takenBack.strokes;
    replay.leaveOutAutoPaintings = takenBack.autoPaintings;
    auto without = ReplayJournal(journal(), DataModel::sharedDataModel()->rawImageRef(), replay);
    ASSERT_TRUE(whole && without);
    testing::expectSamePixels(*whole->canvas->createThumbnail(102), *without->canvas->createThumbnail(102));
}

} // namespace
