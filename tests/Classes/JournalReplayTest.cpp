// The journal and its replay: a generated session through the real brush, canvas view and
// document (every medium, photo and colour paint, the eraser, the airbrush on a clock and on
// ticks, snapshots, undo, clear, sketches, paper changes, long strokes, a save and reopen)
// replays to the very pixels it painted, in one piece and in tiles; the archived journal reads
// back as recorded, stays small, and refuses damage.
#include <gtest/gtest.h>

#include "AutoPaintImages.h"
#include "AutoPaintRun.h"
#include "CanvasViewFixture.h"
#include "DataModel.h"
#include "Foundation/Clock.h"
#include "Foundation/KeyedArchiver.h"
#include "Foundation/RunLoop.h"
#include "Journal.h"
#include "JournalReplay.h"
#include "MediumValues.h"
#include "PaintingFixtures.h"
#include "TextureValues.h"

namespace {

using testing::expectSamePixels;
using testing::makePhoto;

// A small deterministic sequence for positions and choices.
struct Lcg {
    std::uint32_t state;
    double unit() { return ((state = state * 1664525u + 1013904223u) >> 8) / double(1 << 24); }
};

class JournalReplayTest : public testing::CanvasViewFixture {
protected:
    BrushTool& brush() { return view->brushTool(); }

    // A long wandering stroke of `moves` moves at fractional positions, touches' times 1/60 s apart.
    void stroke(int moves, BrushTool::AirbrushClock clock = BrushTool::AirbrushClock::kByTime)
    {
        const double w = canvas().width(), h = canvas().height();
        gfx::Point p{rng.unit() * w, rng.unit() * h};
        brush().beginStroke(p, time, clock);
        for (int i = 0; i < moves; ++i) {
            const gfx::Point q{p.x + (rng.unit() - 0.45) * 90.3, p.y + (rng.unit() - 0.5) * 70.7};
            time += 1.0 / 60;
            brush().moveStroke(p, q, time);
            if (clock == BrushTool::AirbrushClock::kByTicks && i % 5 == 0)
                brush().airbrushTick();
            p = q;
        }
        time += 0.4;
        brush().endStroke(time);
    }

    // Every medium in turn, in photo paint, colour paint and as the eraser.
    void paintEveryMedium(int firstMedium)
    {
        for (int i = 0; i < NUM_MEDIUM_VALUES; ++i) {
            const MediumValue& medium = g_arMediumValues[(firstMedium + i) % NUM_MEDIUM_VALUES];
            ApplyMediumValue(brush(), medium);
            brush().setSize(20 + 13 * i);
            const BrushTool::Mode modes[] = {BrushTool::kModePhoto, BrushTool::kModeFreehand, BrushTool::kModeEraser};
            brush().setMode(modes[i % 3]);
            brush().setColor({static_cast<float>(rng.unit()), 0.3f, static_cast<float>(rng.unit()), 1});
            stroke(i == 4 ? 300 : 25,
                   medium.airbrush && i % 2 ? BrushTool::AirbrushClock::kByTicks : BrushTool::AirbrushClock::kByTime);
            if (i % 3 == 2)
                canvas().saveUndoState();
        }
    }

    Lcg rng{12345};
    double time = 1000.25;
};

std::vector<std::uint32_t> region(const gfx::Image& image, const gfx::IntRect& r)
{
    std::vector<std::uint32_t> pixels;
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            pixels.push_back(image.pixelAt(x, y));
    return pixels;
}

// Each 2 x 2 block's mean.
RgbImage halved(const RgbImage& image)
{
    RgbImage out{image.width / 2, image.height / 2, {}};
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * 3);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            for (int c = 0; c < 3; ++c)
                out.pixels[(static_cast<std::size_t>(y) * out.width + x) * 3 + c] =
                    (image.at(2 * x, 2 * y)[c] + image.at(2 * x + 1, 2 * y)[c] + image.at(2 * x, 2 * y + 1)[c]
                     + image.at(2 * x + 1, 2 * y + 1)[c])
                    / 4;
    return out;
}

gfx::ImageRef composite(const Canvas& canvas)
{
    return canvas.createThumbnail(std::max(canvas.width(), canvas.height()));
}

TEST_F(JournalReplayTest, AGeneratedSessionReplaysToItsPixelsInOnePieceAndInTiles)
{
    open(DataModel::sharedDataModelWithUIImage(makePhoto(600, 400)).value_or(nullptr));
    paintEveryMedium(0);
    view->sketchOutline({0, 0, 1, 1});
    canvas().setBackgroundColor({0.9f, 0.85f, 0.7f, 1});
    canvas().setTextureName(g_arTextureValues[2]);
    paintEveryMedium(3);
    canvas().undo();
    view->sketchOutline({0.5f, 0.5f, 0.5f, 1});
    canvas().clear();
    paintEveryMedium(6);

    // Saved and reopened: the strokes merge and the journal goes on after a commit.
    auto bytes = fnd::KeyedArchiver::archivedData(*DataModel::sharedDataModel());
    ASSERT_TRUE(bytes);
    view.reset();
    open(DataModel::sharedDataModelWithArchiveData(std::move(bytes).value()));
    paintEveryMedium(9);
    canvas().setTextureName(std::nullopt);
    stroke(40);

    const Journal& journal = *canvas().journal();
    EXPECT_EQ(journal.strokeCount(), 4u * NUM_MEDIUM_VALUES + 1);
    // Recovery copies carry it too.
    auto copy = DataModel::sharedDataModel()->copyForArchive();
    ASSERT_TRUE(copy && copy->canvas()->journal());
    EXPECT_EQ(copy->canvas()->journal()->encode(), journal.encode());
    auto replayed = ReplayJournal(journal, DataModel::sharedDataModel()->rawImageRef());
    ASSERT_TRUE(replayed) << replayed.error();
    EXPECT_TRUE(replayed->exact);
    EXPECT_EQ(replayed->strokes, journal.strokeCount());
    auto live = composite(canvas());
    auto whole = composite(*replayed->canvas);
    expectSamePixels(*live, *whole);
    expectSamePixels(*canvas().createThumbnail(1024, false), *replayed->canvas->createThumbnail(1024, false));

    // Uneven tiles, each replayed alone, give the same pixels as that part of the whole.
    const int w = canvas().width(), h = canvas().height();
    for (const gfx::IntRect tile : {gfx::IntRect{0, 0, 333, 250}, gfx::IntRect{333, 0, w - 333, 250},
                                    gfx::IntRect{0, 250, 517, h - 250}, gfx::IntRect{517, 250, w - 517, h - 250}}) {
        ReplayOptions options;
        options.tile = tile;
        auto part = ReplayJournal(journal, DataModel::sharedDataModel()->rawImageRef(), options);
        ASSERT_TRUE(part) << part.error();
        auto pixels = composite(*part->canvas);
        EXPECT_EQ(region(*pixels, {0, 0, tile.width, tile.height}), region(*whole, tile))
            << "tile at " << tile.x << ", " << tile.y;
    }
}

// An automatic painting on the screen's canvas, stopped part-way between hand strokes, and one
// made without animation are each kept as one event and painted again by the replay: at the
// painting's size exactly (the splatter medium scatters alike in both); at twice the size from
// the strokes planned at the painting's size, laid scaled.
TEST_F(JournalReplayTest, AutomaticPaintingsReplayExactlyAndAtTwiceTheSizeInTiles)
{
    fnd::ManualClockScope clock(50);
    open(DataModel::sharedDataModelWithUIImage(makePhoto(240, 160)).value());
    paintEveryMedium(0);
    canvas().saveUndoState();
    AutoPaintSettings settings;
    settings.seed = 77;
    while (!g_arMediumValues[settings.medium].splatter)
        ++settings.medium;
    auto run = AutoPaintRun::start(brush(), DataModel::sharedDataModel()->rawImageRef(), settings, nullptr);
    ASSERT_TRUE(run);
    clock.advance(AutoPaintRun::kDuration * 0.4);
    run->layFrame(fnd::clock().now());
    run->stop();
    ASSERT_TRUE(run->stopPoint());
    EXPECT_GT(run->stopPoint()->group + run->stopPoint()->strokes, 0);
    paintEveryMedium(5);
    // Oil Paint's two coarsest sizes over it all, then a hand stroke.
    ASSERT_TRUE(PaintAutomatically(canvas(), DataModel::sharedDataModel()->rawImageRef(), {0, 5}, {{1, 1 << 20}}));
    stroke(40);

    const Journal& journal = *canvas().journal();
    EXPECT_EQ(journal.strokeCount(), 2u * NUM_MEDIUM_VALUES + 1); // the runs' strokes are not recorded
    EXPECT_EQ(CountAutoPaintings(journal), 2);
    auto replayed = ReplayJournal(journal, DataModel::sharedDataModel()->rawImageRef());
    ASSERT_TRUE(replayed) << replayed.error();
    EXPECT_TRUE(replayed->exact);
    expectSamePixels(*canvas().createThumbnail(1024, false), *replayed->canvas->createThumbnail(1024, false));

    // Twice the size: tiles sharing one plan give the pixels of the whole, and the whole shrunk
    // back is the painting but for the finer detail of the larger dabs (mean Delta E 1976, both
    // blurred by 2 pixels: about 0.1; leaving the automatic paintings out makes it about 50).
    ReplayOptions twice;
    twice.scale = 2.0;
    twice.autoPaintPlans = std::make_shared<AutoPaintPlans>();
    auto scaled = ReplayJournal(journal, DataModel::sharedDataModel()->rawImageRef(), twice);
    ASSERT_TRUE(scaled) << scaled.error();
    EXPECT_TRUE(scaled->exact);
    auto whole = composite(*scaled->canvas);
    const int w = whole->width(), h = whole->height();
    for (const gfx::IntRect tile :
         {gfx::IntRect{0, 0, 701, 533}, gfx::IntRect{701, 0, w - 701, 533}, gfx::IntRect{0, 533, w, h - 533}}) {
        ReplayOptions options = twice;
        options.tile = tile;
        auto part = ReplayJournal(journal, DataModel::sharedDataModel()->rawImageRef(), options);
        ASSERT_TRUE(part) << part.error();
        EXPECT_EQ(region(*composite(*part->canvas), {0, 0, tile.width, tile.height}), region(*whole, tile))
            << "tile at " << tile.x << ", " << tile.y;
    }
    const RgbImage shrunk = GaussianBlurred(halved(CanvasPicture(*scaled->canvas)), 2);
    EXPECT_LE(MeanDeltaE76(GaussianBlurred(CanvasPicture(canvas()), 2), shrunk), 1.0);
}

// A save while an automatic painting runs (a recovery copy, or quitting) keeps the journal with
// the painting as far as it has got, and pixels it replays to; the run goes on undisturbed.
TEST_F(JournalReplayTest, ASaveDuringAnAutomaticPaintingKeepsItsJournalSoFar)
{
    fnd::ManualClockScope clock(50);
    open(DataModel::sharedDataModelWithUIImage(makePhoto(240, 160)).value());
    stroke(20);
    AutoPaintSettings settings{1, 9}; // Watercolor: translucent, so merging its strokes shows
    ASSERT_LT(g_arMediumValues[settings.medium].opacity, 1.0f);
    auto run = AutoPaintRun::start(brush(), DataModel::sharedDataModel()->rawImageRef(), settings, nullptr);
    ASSERT_TRUE(run);
    clock.advance(AutoPaintRun::kDuration * 0.5);
    run->layFrame(fnd::clock().now());
    ASSERT_TRUE(run->isRunning());
    ASSERT_GT(run->laid().strokes, 0);
    auto bytes = fnd::KeyedArchiver::archivedData(*DataModel::sharedDataModel());
    ASSERT_TRUE(bytes);
    auto copy = DataModel::sharedDataModel()->copyForArchive();
    ASSERT_TRUE(copy && copy->canvas()->journal());
    EXPECT_EQ(CountAutoPaintings(*copy->canvas()->journal()), 1);

    auto saved = DataModel::initWithArchiveData(std::move(bytes).value());
    ASSERT_TRUE(saved && saved->canvas()->journal());
    auto replayedSave = ReplayJournal(*saved->canvas()->journal(), saved->rawImageRef());
    ASSERT_TRUE(replayedSave) << replayedSave.error();
    EXPECT_EQ(CountAutoPaintings(*saved->canvas()->journal()), 1);
    expectSamePixels(*saved->canvas()->createThumbnail(1024, false),
                     *replayedSave->canvas->createThumbnail(1024, false));

    clock.advance(AutoPaintRun::kDuration * 0.2);
    run->layFrame(fnd::clock().now());
    run->stop();
    stroke(10);
    auto replayed = ReplayJournal(*canvas().journal(), DataModel::sharedDataModel()->rawImageRef());
    ASSERT_TRUE(replayed) << replayed.error();
    EXPECT_EQ(CountAutoPaintings(*canvas().journal()), 1);
    expectSamePixels(*canvas().createThumbnail(1024, false), *replayed->canvas->createThumbnail(1024, false));
}

TEST_F(JournalReplayTest, ArchivedJournalReadsBackAsRecordedStaysSmallAndRefusesDamage)
{
    // An hour of continuous painting at 60 moves a second in strokes of two seconds, at canvas
    // positions as a zoomed view gives them (fractions of a pixel).
    Journal journal(1024, 768, Journal::Origin::kPhoto, 0x1234'5678'9ABC'DEF0ull);
    BrushTool::Settings settings;
    settings.shapeName = "Watercolor";
    gfx::Point p{500, 400};
    double t = 100;
    for (int s = 0; s < 1800; ++s) {
        settings.direction = static_cast<float>(s % 360);
        journal.recordSettings(settings, true);
        journal.recordBegin(RoundToInputGrid(p), t, BrushTool::AirbrushClock::kByTicks);
        for (int i = 0; i < 120; ++i) {
            const gfx::Point q =
                RoundToInputGrid({p.x + (rng.unit() - 0.5) * 40 / 0.31, p.y + (rng.unit() - 0.5) * 40 / 0.31});
            t += 1.0 / 60;
            journal.recordMove(p, q, t);
            p = q;
        }
        journal.recordEnd(t);
        if (s % 10 == 0)
            journal.recordSnapshot();
    }
    const std::vector<std::uint8_t> encoded = journal.encode();
    EXPECT_LT(encoded.size(), 3u << 20);

    auto decoded = Journal::decode(encoded);
    ASSERT_TRUE(decoded) << decoded.error();
    EXPECT_EQ(decoded->seed(), journal.seed());
    EXPECT_EQ(decoded->strokeCount(), 1800u);
    EXPECT_EQ(decoded->shapeDigests(), journal.shapeDigests());
    EXPECT_NE(journal.shapeDigests().at("Watercolor"), 0u);
    // The events read back as recorded.
    Journal::Reader reader(decoded->events());
    Journal::Event e;
    ASSERT_TRUE(reader.next(e) && e.tag == Journal::Tag::kSettings && reader.next(e));
    EXPECT_EQ(e.tag, Journal::Tag::kBegin);
    EXPECT_EQ(e.to, (gfx::Point{500, 400}));
    EXPECT_EQ(e.time, 100.0);
    EXPECT_EQ(e.clock, BrushTool::AirbrushClock::kByTicks);
    // Recording continues from where the stored events stop: more events encode the same either way.
    Journal continued = std::move(decoded).value();
    for (Journal* j : {&continued, &journal}) {
        j->recordSettings(settings, true);
        j->recordBegin({10.5, 20.25}, 5000, BrushTool::AirbrushClock::kByTime);
        j->recordMove({10, 20}, {30.015625, 40}, 5000.5);
        j->recordExtension(7, std::vector<std::uint8_t>{1, 2, 3});
    }
    EXPECT_EQ(continued.encode(), journal.encode());

    // Every cut of a short journal is refused, and so is an unknown event.
    Journal small(100, 80, Journal::Origin::kBlank, 99);
    small.recordSettings(settings, true);
    small.recordBegin({1, 2}, 3, BrushTool::AirbrushClock::kByTime);
    small.recordSketch({0, 0, 1, 1});
    small.recordPaper({1, 1, 1, 1}, std::string("Canvas"));
    const auto whole = small.encode();
    ASSERT_TRUE(Journal::decode(whole));
    for (std::size_t n = 0; n < whole.size(); ++n)
        EXPECT_FALSE(Journal::decode(std::span(whole).first(n))) << n;
    auto bad = whole;
    bad[whole.size() - small.events().size()] = 0xEE;
    EXPECT_FALSE(Journal::decode(bad));
}

TEST_F(JournalReplayTest, APaintingSavedBeforeJournalsStartsOneFromItsPixelsAndOtherVersionsSaySo)
{
    open(DataModel::sharedDataModelWithUIImage(makePhoto(300, 200)).value_or(nullptr));
    stroke(30);
    canvas().saveUndoState();
    stroke(30);
    // A journal that does not fit the painting (here: another size) is set aside like a missing one.
    canvas().setJournal(std::make_shared<Journal>(10, 10, Journal::Origin::kBlank, 1));
    auto misfit = fnd::KeyedArchiver::archivedData(*DataModel::sharedDataModel());
    ASSERT_TRUE(misfit);
    auto unfitting = DataModel::initWithArchiveData(std::move(misfit).value());
    ASSERT_TRUE(unfitting && unfitting->canvas()->journal());
    EXPECT_EQ(unfitting->canvas()->journal()->origin(), Journal::Origin::kPixels);
    EXPECT_FALSE(unfitting->canvas()->journal()->basePng().empty());
    // As saved before journals: the archive without its journal.
    canvas().setJournal(nullptr);
    auto bytes = fnd::KeyedArchiver::archivedData(*DataModel::sharedDataModel());
    ASSERT_TRUE(bytes);
    std::string reason;
    auto reopened = DataModel::initWithArchiveData(std::move(bytes).value(), &reason);
    ASSERT_TRUE(reopened) << reason;
    EXPECT_EQ(reopened->storedJournalBytes(), 0u);
    ASSERT_TRUE(reopened->canvas()->journal());
    EXPECT_EQ(reopened->canvas()->journal()->origin(), Journal::Origin::kPixels);

    view.reset();
    g_sharedDataModel = std::move(reopened);
    open(DataModel::sharedDataModel());
    stroke(30);
    Journal journal = *canvas().journal();
    auto replayed = ReplayJournal(journal, DataModel::sharedDataModel()->rawImageRef());
    ASSERT_TRUE(replayed) << replayed.error();
    EXPECT_TRUE(replayed->exact);
    expectSamePixels(*composite(canvas()), *composite(*replayed->canvas));

    // Another engine's journal, or one with events of a later version, replays but says so.
    auto encoded = journal.encode();
    encoded[4] = Journal::kEngineVersion + 1;
    journal = std::move(Journal::decode(encoded)).value();
    journal.recordExtension(1, std::vector<std::uint8_t>{42});
    auto other = ReplayJournal(journal, DataModel::sharedDataModel()->rawImageRef());
    ASSERT_TRUE(other);
    EXPECT_FALSE(other->exact);
    EXPECT_EQ(other->notes.size(), 2u);
}

} // namespace
