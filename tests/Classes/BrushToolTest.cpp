// Brush geometry and behaviour: dab counts and positions along a segment, direction, placement
// and turning of the mask, splatter jitter, photo sampling, the eraser, the airbrush.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

#include "BrushToolSupport.h"
#include "Foundation/Clock.h"

using namespace testing;

namespace {

std::vector<Pixel> dabsAlongRow(std::vector<Pixel> pixels)
{
    std::sort(pixels.begin(), pixels.end());
    return pixels;
}

} // namespace

TEST_F(BrushToolTest, SegmentsGetDabsNoFurtherApartThanAStep)
{
    brush->setShapeMask(dotMask(40));
    brush->setSize(40);
    brush->setSpacing(0.5f);
    brush->setFixedDirection(true);
    brush->setDirection(270);

    // 100 px at step 20: five dabs 20 apart, none on the start, the last on the end.
    brush->drawBrushStrokeFrom({100, 100}, {200, 100});
    EXPECT_EQ(paintedStrokes(), (std::vector<Pixel>{{120, 100}, {140, 100}, {160, 100}, {180, 100}, {200, 100}}));

    struct Case {
        gfx::Point from, to;
        float spacing;
        std::vector<Pixel> dabs;
    };
    const Case cases[] = {
        {{100, 300}, {109, 300}, 0.5f, {{109, 300}}},                         // shorter than a step: one dab on the end
        {{100, 400}, {125, 400}, 0.5f, {{112, 400}, {125, 400}}},             // 25 / 20 rounds up: two, 12.5 apart
        {{100, 450}, {170, 450}, 1.25f, {{135, 450}, {170, 450}}},            // a 70 px flick at step 50: 35 apart
        {{100, 500}, {300, 500}, 0.0f, {{300, 500}}},                         // no step: one dab per segment
        {{100.9, 600.9}, {140.9, 600.9}, 0.5f, {{120, 600}, {140, 600}}},     // positions truncate toward zero
        {{130, 700}, {100, 730}, 0.5f, {{120, 710}, {110, 720}, {100, 730}}}, // 42.4 px: three dabs, diagonal
    };
    for (const Case& c : cases) {
        canvas().undo();
        brush->setSpacing(c.spacing);
        brush->drawBrushStrokeFrom(c.from, c.to);
        EXPECT_EQ(dabsAlongRow(paintedStrokes()), c.dabs) << c.to.x << ", " << c.to.y;
    }
}

TEST_F(BrushToolTest, DirectionFollowsTravelUnlessFixed)
{
    brush->setShapeMask(dotMask(40));
    struct Case {
        gfx::Point to;
        float degrees;
    };
    const Case cases[] = {{{110, 100}, 0},   {{100, 90}, 90}, {{90, 100}, 180},
                          {{100, 110}, -90}, {{110, 90}, 45}, {{100, 100}, 0}};
    for (const Case& c : cases) {
        brush->setDirection(123);
        brush->drawBrushStrokeFrom({100, 100}, c.to);
        // Travel to the left is 180 or -180 (atan2 of a negative zero).
        float got = c.degrees == 180 ? std::fabs(brush->direction()) : brush->direction();
        EXPECT_FLOAT_EQ(got, c.degrees) << c.to.x << ", " << c.to.y;
    }
    brush->setFixedDirection(true);
    brush->setDirection(123);
    brush->drawBrushStrokeFrom({100, 100}, {150, 100});
    EXPECT_FLOAT_EQ(brush->direction(), 123);
}

// The mask's first row lies at the bottom of an unturned dab and faces the direction of travel
// otherwise. One dab of size 40 at the segment's end (200, 200); the first row covers one line
// of 40 pixels.
TEST_F(BrushToolTest, FirstMaskRowFacesTheDirectionOfTravel)
{
    brush->setShapeMask(firstRowMask(40));
    brush->setSize(40);
    struct Case {
        const char* name;
        bool fixed;
        gfx::Point from;
        bool vertical; // the row lies along a column
        int line;      // that column's x, or the row's y
    };
    const Case cases[] = {
        {"fixed 270, unturned: bottom", true, {180, 200}, false, 219},
        {"moving right", false, {180, 200}, true, 219},
        {"moving up", false, {200, 220}, false, 180},
        {"moving left", false, {220, 200}, true, 180},
        {"moving down", false, {200, 180}, false, 219},
    };
    for (const Case& c : cases) {
        canvas().undo();
        brush->setFixedDirection(c.fixed);
        brush->setDirection(270);
        brush->drawBrushStrokeFrom(c.from, {200, 200});
        auto pixels = paintedStrokes();
        ASSERT_EQ(pixels.size(), 40u) << c.name;
        for (const Pixel& p : pixels) {
            EXPECT_EQ(c.vertical ? p.x : p.y, c.line) << c.name;
            int along = c.vertical ? p.y : p.x;
            EXPECT_TRUE(along >= 180 && along < 220) << c.name;
        }
    }
}

TEST_F(BrushToolTest, DabReturnsItsUnturnedSquareAndPaintsAtFullStrength)
{
    brush->setShapeMask(flatMask(8, 0));
    brush->setSize(50);
    brush->setColor({0, 0, 1, 1});
    brush->setOpacity(0.25f);
    brush->setDirection(45);
    EXPECT_EQ(brush->drawBrushShapeAt({100, 100}), gfx::Rect(75, 75, 50, 50));
    EXPECT_EQ(brush->curPoint(), (gfx::Point{100, 100}));
    // Opacity belongs to the layer, not the dab.
    EXPECT_EQ(canvas().curStrokeLayer().context().pixelAt(100, 100), 0xFF0000FFu);
    // Turned by 225 degrees: the corners reach beyond the unturned square.
    EXPECT_NE(canvas().curStrokeLayer().context().pixelAt(100, 70), 0u);
}

TEST_F(BrushToolTest, SplatterScattersJitteredDabsInXThenYOrder)
{
    StrokeRandom random(7, 3);
    for (int i = 0; i < 2000; ++i) {
        int j = AddJitter(10, 50, random);
        ASSERT_TRUE(j >= -40 && j <= 59) << j;
    }
    brush->setShapeMask(dotMask(50));
    brush->setSize(50);
    brush->setSplatter(true);
    brush->setFixedDirection(true);
    brush->setDirection(270);

    // The stroke's own generator, seeded by the painting's seed and the stroke's number (here
    // the brush's own: the canvas keeps no journal to take them from).
    canvas().setJournal(nullptr);
    brush->setPaintingSeed(4242);
    brush->setNextStrokeNumber(5);
    brush->beginStroke({0, 0}, 0);
    StrokeRandom strokeRandom(4242, 5);
    std::set<Pixel> expected;
    for (int i = 0; i < 7; ++i) { // 50 / 10 + 2
        int x = AddJitter(300, 50, strokeRandom);
        int y = AddJitter(400, 50, strokeRandom);
        expected.insert({x, y});
    }
    gfx::Rect covered = brush->drawOrSplatterBrushAt({300.7, 400.2});
    auto pixels = paintedStrokes();
    EXPECT_EQ(std::set<Pixel>(pixels.begin(), pixels.end()), expected);
    for (const Pixel& p : expected)
        EXPECT_TRUE(covered.contains({p.x + 0.5, p.y + 0.5}));
    EXPECT_TRUE(covered.contains({300.7, 400.2}));
}

TEST_F(BrushToolTest, PhotoModeSamplesThePhotoUnderTheDab)
{
    useDocument(DataModel::sharedDataModelWithUIImage(makePhoto(1536, 2048)).value_or(nullptr));
    ASSERT_EQ(canvas().width(), 768);
    brush->setMode(BrushTool::kModePhoto);
    brush->setShapeMask(dotMask(40));
    brush->setFixedDirection(true);
    brush->setDirection(270);
    auto expectPhotoColour = [&](int x, int y, int photoX, int photoY) {
        std::uint32_t got = canvas().curStrokeLayer().context().pixelAt(x, y);
        EXPECT_EQ(got, gfx::packARGB(255, photoX & 0xFF, photoY & 0xFF, (photoX ^ photoY) & 0xFF)) << x << ", " << y;
    };
    brush->drawBrushShapeAt({100, 37});
    expectPhotoColour(100, 37, 200, 74);
    brush->drawBrushShapeAt({767, 1023});
    expectPhotoColour(767, 1023, 1534, 2046);
    // A centre beyond the photo takes the nearest photo colour; its dot still lands on the canvas
    // when the mask's dot is off-centre, so use a dab to the left whose corner reaches in.
    brush->setShapeMask(maskWithBlack(40, {{39, 19}}));
    brush->drawBrushShapeAt({-10, 50});
    expectPhotoColour(9, 50, 0, 100);
}

TEST_F(BrushToolTest, EraserFlattensAtTouchDownAndClearsThePainting)
{
    brush->setShapeMask(flatMask(4, 0));
    brush->setSize(40);
    brush->setColor({1, 0, 0, 1});
    brush->drawBrushStrokeFrom({100, 100}, {300, 100}); // a red band, y 80..120
    canvas().saveUndoState();
    brush->drawBrushStrokeFrom({100, 200}, {300, 200});

    brush->setMode(BrushTool::kModeEraser);
    touchDown({200, 100});
    EXPECT_EQ(strokesBegun, 1);
    EXPECT_TRUE(paintedStrokes().empty());
    EXPECT_TRUE(painted(canvas().prevStrokeLayer().context()).empty());
    ASSERT_EQ(canvas().paintingContext().pixelAt(200, 100), 0xFFFF0000u);
    ASSERT_EQ(canvas().paintingContext().pixelAt(200, 200), 0xFFFF0000u);

    brush->drawBrushStrokeFrom({200, 100}, {200, 200});
    EXPECT_EQ(canvas().paintingContext().pixelAt(200, 100), 0u);
    EXPECT_EQ(canvas().paintingContext().pixelAt(200, 150), 0u);
    EXPECT_EQ(canvas().paintingContext().pixelAt(150, 100), 0xFFFF0000u);
    canvas().undo(); // nothing left to undo: the erase stays
    EXPECT_EQ(canvas().paintingContext().pixelAt(200, 100), 0u);
    EXPECT_EQ(canvas().paintingContext().pixelAt(150, 100), 0xFFFF0000u);
}

TEST_F(BrushToolTest, TouchDownSetsStrokeOpacityAndDrawsNothing)
{
    brush->setShapeMask(flatMask(4, 0));
    brush->setOpacity(0.3f);
    touchDown({100, 100});
    touchUp();
    EXPECT_FLOAT_EQ(canvas().curStrokeOpacity(), 0.3f);
    EXPECT_TRUE(paintedStrokes().empty());
    EXPECT_FALSE(brush->airbrushTimer());

    view->setUserInteractionEnabled(false);
    strokesBegun = 0;
    brush->setOpacity(0.8f);
    touchDown({100, 100});
    EXPECT_EQ(strokesBegun, 0);
    EXPECT_FLOAT_EQ(canvas().curStrokeOpacity(), 0.3f);
}

TEST_F(BrushToolTest, RestingAirbrushAddsADabEveryQuarterSecond)
{
    fnd::ManualClockScope clock;
    brush->setShapeMask(flatMask(8, 128)); // each dab adds 127/255 coverage, so layers count dabs
    brush->setSize(20);
    brush->setAirbrush(true);
    touchDown({50.5, 60.5});
    ASSERT_TRUE(brush->airbrushTimer());
    auto alphaAtFinger = [&] { return gfx::alphaOf(canvas().curStrokeLayer().context().pixelAt(50, 60)); };
    fnd::RunLoop::main().runUntil(0.24);
    EXPECT_EQ(alphaAtFinger(), 0u);
    fnd::RunLoop::main().runUntil(0.26); // the tick runs the loop on to 0.45 itself
    EXPECT_EQ(alphaAtFinger(), 127u);
    EXPECT_DOUBLE_EQ(fnd::clock().now(), 0.45);
    fnd::RunLoop::main().runUntil(0.49);
    EXPECT_EQ(alphaAtFinger(), 127u);
    fnd::RunLoop::main().runUntil(0.51);
    EXPECT_EQ(alphaAtFinger(), 127u + 64u); // 127 + round(128 x 128 / 255)
    touchUp();
    EXPECT_FALSE(brush->airbrushTimer());
    fnd::RunLoop::main().runUntil(3);
    EXPECT_EQ(alphaAtFinger(), 191u);
}

TEST_F(BrushToolTest, NoiseFlagDoesNotChangeTheDabs)
{
    brush->setShapeMask(firstRowMask(16));
    brush->setSplatter(true);
    canvas().setJournal(nullptr); // the stroke number below is the brush's own
    auto stroke = [&](bool noise) {
        canvas().undo();
        brush->setAddNoise(noise);
        brush->setNextStrokeNumber(77);
        brush->beginStroke({100, 100}, 0);
        brush->drawBrushStrokeFrom({100, 100}, {260, 180});
        return paintedStrokes();
    };
    auto withNoise = stroke(true);
    EXPECT_FALSE(withNoise.empty());
    EXPECT_EQ(withNoise, stroke(false));
}
