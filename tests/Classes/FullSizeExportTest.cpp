// The export at full size: bands replayed on two threads and streamed into the PNG give the very
// bytes of the whole replay encoded at once; a photo painting's export has the photo's size and,
// shrunk, is close to the saved painting; a cancel or a full disk leaves nothing in the folder.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstring>
#include <filesystem>

#include "CanvasView.h"
#include "DataModel.h"
#include "Foundation/FileOps.h"
#include "Foundation/RunLoop.h"
#include "FullSizeExport.h"
#include "ImageIO/Decoder.h"
#include "ImageIO/Encoder.h"
#include "Journal.h"
#include "JournalReplay.h"
#include "MediumValues.h"
#include "PaintingFixtures.h"
#include "Support/ImageCloseness.h"
#include "TextureValues.h"

namespace {

namespace fs = std::filesystem;
using testing::makePhoto;
using testing::readAll;

std::size_t entriesIn(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

std::vector<std::uint8_t> encodedComposite(const Canvas& canvas)
{
    auto image = canvas.createThumbnail(std::max(canvas.width(), canvas.height()));
    auto png = imageio::encodePng({image->data(), image->width(), image->height(), image->bytesPerRow(),
                                   image->alpha() == gfx::Image::Alpha::Premultiplied});
    EXPECT_TRUE(png);
    return png.value_or(std::vector<std::uint8_t>{});
}

// A small recorded session over a 400 x 300 photo on a 160 x 120 canvas: paper and texture, every
// medium in photo and colour paint, splatter, snapshots, a sketch of the blueprint and an undo.
struct SmallSession {
    std::shared_ptr<const RawImage> photo = RawImage::initWithUIImage(*makePhoto(400, 300));
    Journal journal{160, 120, Journal::Origin::kPhoto, 4242};

    SmallSession()
    {
        journal.recordPaper({0.95f, 0.9f, 0.8f, 1}, g_arTextureValues[1]);
        BrushTool settings(nullptr);
        double t = 5;
        for (int m = 0; m < NUM_MEDIUM_VALUES; ++m) {
            ApplyMediumValue(settings, g_arMediumValues[m]);
            settings.setSize(6 + 3 * m);
            settings.setMode(m % 3 == 1 ? BrushTool::kModeFreehand : BrushTool::kModePhoto);
            settings.setColor({0.2f, 0.4f, 0.1f * m, 1});
            journal.recordSettings(settings.settings(), true);
            gfx::Point p{10.0 + 12 * m, 15.0 + 7 * m};
            journal.recordBegin(p, t, BrushTool::AirbrushClock::kByTime);
            for (int i = 0; i < 12; ++i) {
                const gfx::Point q = RoundToInputGrid({p.x + 9.3, p.y + ((i % 4) - 1.5) * 5.1});
                journal.recordMove(p, q, t += 0.05);
                p = q;
            }
            journal.recordEnd(t += 0.3);
            if (m % 3 == 2)
                journal.recordSnapshot();
            if (m == 4)
                journal.recordSketch({0, 0, 1, 1});
            if (m == 7)
                journal.recordUndo();
        }
    }
};

TEST(FullSizeExport, BandsOnTwoThreadsWriteTheBytesOfTheWholeReplay)
{
    SmallSession session;
    test_support::TempFolder folder("full-size");
    for (const double scale : {2.5, 1.0}) {
        ReplayOptions whole;
        whole.scale = scale;
        auto replayed = ReplayJournal(session.journal, session.photo, whole);
        ASSERT_TRUE(replayed) << replayed.error();
        const auto expected = encodedComposite(*replayed->canvas);
        // Uneven bands of 7 rows (many more bands than threads), and the bands chosen by size.
        for (const int rows : {7, 0}) {
            const fs::path path = folder / "out.png";
            BandedReplayOptions options;
            options.bandRows = rows;
            auto written = WriteReplayPng(session.journal, session.photo, scale, path.string(), options);
            ASSERT_TRUE(written) << written.error();
            EXPECT_EQ(written->width, static_cast<int>(160 * scale));
            EXPECT_EQ(written->height, static_cast<int>(120 * scale));
            EXPECT_TRUE(readAll(path.string()) == expected) << "scale " << scale << ", bands of " << rows << " rows";
            EXPECT_EQ(entriesIn(folder.path()), 1u);
        }
    }
}

TEST(FullSizeExport, ABlankCanvasIsExportedAtFourTimesItsSizeAndAPaintingBegunBeforeJournalsNot)
{
    test_support::TempFolder folder("full-size");
    const std::string path = (folder / "blank.png").string();
    Journal blank(100, 80, Journal::Origin::kBlank, 7);
    auto written = WriteFullSizePng(blank, {}, path);
    ASSERT_TRUE(written) << written.error();
    EXPECT_EQ(written->width, 400);
    EXPECT_EQ(written->height, 320);
    Journal fromPixels(100, 80, Journal::Origin::kPixels, 7);
    EXPECT_FALSE(WriteFullSizePng(fromPixels, {}, path));
    EXPECT_FALSE(CanExportFullSize(&fromPixels, true));
    EXPECT_FALSE(CanExportFullSize(nullptr, true));
}

TEST(FullSizeExport, ACancelOrAFullDiskLeavesNothingInTheFolder)
{
    SmallSession session;
    test_support::TempFolder folder("full-size");
    const std::string path = (folder / "Painting 1 (full size).png").string();
    auto photoLoader = [&]() -> fnd::Result<std::shared_ptr<const RawImage>> { return session.photo; };

    int reports = 0;
    BandedReplayOptions cancelling;
    cancelling.bandRows = 16;
    cancelling.onProgress = [&](double) { return ++reports < 3; };
    auto cancelled = WriteFullSizePng(session.journal, photoLoader, path, cancelling);
    ASSERT_TRUE(cancelled) << cancelled.error();
    EXPECT_TRUE(cancelled->cancelled);
    EXPECT_EQ(entriesIn(folder.path()), 0u);

    fnd::setWriteFault(folder.path().string(), ENOSPC);
    EXPECT_FALSE(WriteFullSizePng(session.journal, photoLoader, path));
    fnd::setWriteFault(folder.path().string(), 0);
    EXPECT_EQ(entriesIn(folder.path()), 0u);

    // The disk fills in the middle of the picture: the reason is the system's, nothing stays.
    const auto child = [&] {
        const rlimit fileSize{3000, 3000};
        ::setrlimit(RLIMIT_FSIZE, &fileSize);
        BandedReplayOptions bands;
        bands.bandRows = 16;
        const auto written = WriteReplayPng(session.journal, session.photo, 4, path, bands);
        const bool told = !written && written.error().find(std::strerror(EFBIG)) != std::string::npos;
        std::exit(told && entriesIn(folder.path()) == 0 ? 0 : 1);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

// Painted by hand on the screen's canvas over a photo larger than the canvas, sketched and
// textured, the export has the photo's size and, box-shrunk to the canvas, differs from the saved
// painting by under 2 (of 255) per channel on average (about 1.4; 5.6 when splatter jittered and
// dabs snapped to the large painting's own pixels). The photo is noise at the pixel level, so a
// dab off by one canvas pixel would show.
TEST(FullSizeExport, APhotoPaintingAtFullSizeShrunkIsCloseToTheSavedPainting)
{
    DataModel* document = DataModel::sharedDataModelWithUIImage(makePhoto(1600, 1200)).value_or(nullptr);
    ASSERT_TRUE(document);
    auto view = CanvasView::init(document->canvasRef(), document->rawImageRef(), document->origImage());
    ASSERT_TRUE(view);
    Canvas& canvas = *document->canvas();
    canvas.setTextureName(g_arTextureValues[2]);
    BrushTool& brush = view->brushTool();
    double t = 100;
    for (int m = 0; m < NUM_MEDIUM_VALUES; ++m) {
        ApplyMediumValue(brush, g_arMediumValues[m]);
        brush.setMode(m == 5 ? BrushTool::kModeFreehand : BrushTool::kModePhoto);
        gfx::Point p{80.0 + 80 * m, 100.0 + 50 * m};
        brush.beginStroke(p, t);
        for (int i = 0; i < 30; ++i) {
            const gfx::Point q{p.x + 7 + (i % 5), p.y + ((i % 6) - 2.5) * 6};
            brush.moveStroke(p, q, t += 0.04);
            p = q;
        }
        brush.endStroke(t += 0.2);
        if (m == 3)
            view->sketchOutline({0.5f, 0.5f, 0.5f, 1});
    }
    test_support::TempFolder folder("full-size");
    const fs::path path = folder / "full.png";
    auto written = WriteFullSizePng(*canvas.journal(), document->fullSizePhotoLoader(), path.string());
    ASSERT_TRUE(written) << written.error();
    EXPECT_TRUE(written->exact);
    auto large = imageio::decodeFile(path.string());
    ASSERT_TRUE(large) << large.error();
    EXPECT_EQ(large->width, 1600);
    EXPECT_EQ(large->height, 1200);
    auto saved = canvas.createThumbnail(1024);
    const double difference =
        test_support::meanDifferenceAfterShrink({large->bytes->data(), large->width, large->height, large->bytesPerRow},
                                                {saved->data(), saved->width(), saved->height(), saved->bytesPerRow()});
    RecordProperty("meanDifference", std::to_string(difference));
    EXPECT_LT(difference, 2.0);
    view.reset();
    fnd::RunLoop::main().removeAllTimers();
    DataModel::releaseSharedDataModel();
}

} // namespace
