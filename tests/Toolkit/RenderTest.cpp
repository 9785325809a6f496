#include "Graphics/PixelFormat.h"
#include "Toolkit/ImageView.h"
#include "ToolkitTestSupport.h"

namespace {

using namespace toolkit_test;
using gfx::Color;
using gfx::Rect;

constexpr Color kRed{1, 0, 0, 1};
constexpr Color kBlue{0, 0, 1, 1};
constexpr Color kGreen{0, 1, 0, 1};

class RenderTest : public ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        window = std::make_shared<ui::Window>(Rect(0, 0, 40, 30));
        ASSERT_TRUE(window->setScale(2));
    }
    // Pixel at a window point (scale 2), as straight 0-255 components.
    std::uint32_t at(double x, double y) const
    {
        return gfx::unpremultiply(window->backingStore()->pixelAt(static_cast<int>(x * 2), static_cast<int>(y * 2)));
    }
    static constexpr std::uint32_t kRedPx = gfx::packARGB(255, 255, 0, 0);
    static constexpr std::uint32_t kBluePx = gfx::packARGB(255, 0, 0, 255);
    static constexpr std::uint32_t kGreenPx = gfx::packARGB(255, 0, 255, 0);
    static constexpr std::uint32_t kBlackPx = gfx::packARGB(255, 0, 0, 0);
};

void expectPixelNear(std::uint32_t actual, int a, int r, int g, int b, int tolerance = 2)
{
    EXPECT_NEAR(static_cast<int>(gfx::alphaOf(actual)), a, tolerance);
    EXPECT_NEAR(static_cast<int>(gfx::redOf(actual)), r, tolerance);
    EXPECT_NEAR(static_cast<int>(gfx::greenOf(actual)), g, tolerance);
    EXPECT_NEAR(static_cast<int>(gfx::blueOf(actual)), b, tolerance);
}

TEST_F(RenderTest, CompositesFramesTransformsAlphaHiddenAndClipping)
{
    auto red = coloredView(Rect(0, 0, 20, 30), kRed);
    auto blue = coloredView(Rect(20, 0, 20, 30), kBlue);
    window->addSubview(red);
    window->addSubview(blue);
    auto clipped = coloredView(Rect(2, 2, 6, 6), kGreen);
    clipped->setClipsToBounds(true);
    clipped->addSubview(coloredView(Rect(0, 0, 30, 3), kBlue)); // sticks out, clipped away
    red->addSubview(clipped);
    auto hidden = coloredView(Rect(10, 10, 5, 5), kGreen);
    hidden->setHidden(true);
    red->addSubview(hidden);
    auto half = coloredView(Rect(25, 20, 10, 10), kGreen);
    half->setAlpha(0.5);
    window->addSubview(half);
    // Scaled to half about its centre (10, 20): it covers 7.5..12.5 x 17.5..22.5.
    auto shrunk = coloredView(Rect(5, 15, 10, 10), kBlue);
    shrunk->setTransform(gfx::AffineTransform::scaling(0.5, 0.5));
    red->addSubview(shrunk);

    window->display();
    EXPECT_EQ(at(1, 20), kRedPx);
    EXPECT_EQ(at(30, 5), kBluePx);
    EXPECT_EQ(at(4, 6.5), kGreenPx);
    EXPECT_EQ(at(4, 3), kBluePx);                  // the child inside the clip
    EXPECT_EQ(at(12, 3), kRedPx);                  // the child beyond the clip
    EXPECT_EQ(at(12, 12), kRedPx);                 // hidden
    expectPixelNear(at(30, 25), 255, 0, 128, 127); // half green over blue
    EXPECT_EQ(at(10, 20), kBluePx);
    EXPECT_EQ(at(6, 16), kRedPx);
}

TEST_F(RenderTest, RedrawTouchesOnlyTheInvalidatedRect)
{
    auto red = coloredView(Rect(0, 0, 40, 30), kRed);
    window->addSubview(red);
    window->display();
    EXPECT_FALSE(window->needsDisplay());
    {
        gfx::BitmapContext::PixelAccess px(*window->backingStore()); // paint a marker everywhere
        for (int y = 0; y < window->backingStore()->height(); ++y)
            for (int x = 0; x < window->backingStore()->width(); ++x)
                px.row(y)[x] = kGreenPx;
    }
    red->setNeedsDisplayInRect(Rect(10, 5, 5.5, 4));
    const auto& drawn = window->display();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0], (gfx::IntRect{20, 10, 11, 8}));
    EXPECT_EQ(at(10, 5), kRedPx);
    EXPECT_EQ(at(15.4, 8.6), kRedPx);
    EXPECT_EQ(at(9.5, 5), kGreenPx);
    EXPECT_EQ(at(16, 8), kGreenPx);
    EXPECT_EQ(at(10, 9), kGreenPx);
}

TEST_F(RenderTest, ChangesInvalidateOldAndNewPlaces)
{
    auto blue = coloredView(Rect(0, 0, 10, 10), kBlue);
    window->addSubview(blue);
    window->display();
    blue->setFrame(Rect(20, 10, 10, 10));
    window->display();
    EXPECT_EQ(at(5, 5), kBlackPx);
    EXPECT_EQ(at(25, 15), kBluePx);
    blue->removeFromSuperview();
    window->display();
    EXPECT_EQ(at(25, 15), kBlackPx);
}

TEST_F(RenderTest, DirtyRectsMergeIntoTheirUnionWhenMany)
{
    window->display();
    for (int i = 0; i < 20; ++i)
        window->addDirtyRect(Rect(i, i, 1, 1));
    window->addDirtyRect(Rect(-100, -100, 50, 50)); // off-window: nothing
    ASSERT_LE(window->dirtyRects().size(), 8u);
    Rect all;
    for (const auto& r : window->dirtyRects())
        all = all.united(r);
    EXPECT_EQ(all, Rect(0, 0, 20, 20));
}

TEST_F(RenderTest, AnUnusableScaleIsRefusedAndTheOldStoreKept)
{
    std::string logged;
    auto previous = fnd::setLogSink([&](const std::string& m) { logged = m; });
    EXPECT_FALSE(window->setScale(0));
    EXPECT_FALSE(window->setScale(1e9));
    fnd::setLogSink(previous);
    EXPECT_FALSE(logged.empty());
    EXPECT_EQ(window->backingStore()->width(), 80);
}

} // namespace

namespace {
// Fills its bounds grown by 4 points on every side; declares 3 of them as its overhang.
class Overhanging : public ui::View {
public:
    using ui::View::View;
    Color color = kGreen;
    void drawRect(gfx::BitmapContext& context, const Rect& /*dirty*/) override
    {
        context.setFillColor(color);
        context.fillRect(ui::EdgeInsets{-4, -4, -4, -4}.inset(bounds()));
    }
};
} // namespace

// A view draws into its overhang and no further, is redrawn there when it changes, and takes
// the touches that land there.
TEST_F(RenderTest, AViewDrawsIntoItsOverhangIsRedrawnThereAndTakesTouchesThere)
{
    window->addSubview(coloredView(Rect(0, 0, 40, 30), kRed));
    auto view = std::make_shared<Overhanging>(Rect(10, 10, 20, 10));
    window->addSubview(view);
    window->display();
    EXPECT_EQ(at(9, 15), kRedPx) << "no overhang: clipped at the bounds";
    EXPECT_EQ(window->hitTest({9, 15}), window->subviews()[0].get());

    view->setOverhang({3, 3, 3, 3});
    window->display();
    EXPECT_EQ(at(7.2, 7.2), kGreenPx);
    EXPECT_EQ(at(32.6, 22.6), kGreenPx);
    EXPECT_EQ(at(6.5, 15), kRedPx) << "beyond the overhang";
    EXPECT_EQ(window->hitTest({8, 15}), view.get());

    view->color = kBlue;
    view->setNeedsDisplay();
    window->display();
    EXPECT_EQ(at(7.2, 15), kBluePx) << "the overhang is redrawn with the view";
    view->setFrame(Rect(10, 0, 20, 10));
    window->display();
    EXPECT_EQ(at(15, 21.5), kRedPx) << "the old overhang is cleared when the view moves";
}

// A picture stretched between its caps: its corners keep their size and colour, its edges and
// middle stretch; each of the nine pieces lands whole where it belongs (the bottom row too).
TEST_F(RenderTest, APictureWithCapsKeepsItsCornersAndStretchesItsMiddle)
{
    auto context = gfx::BitmapContext::create(9, 9);
    const Color blocks[3][3] = {{kRed, kGreen, kBlue}, {kGreen, kBlue, kRed}, {kBlue, kRed, kGreen}};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            context->setFillColor(blocks[row][column]);
            context->fillRect(Rect(column * 3, row * 3, 3, 3));
        }
    auto view = std::make_shared<ui::ImageView>(Rect(2, 2, 36, 26));
    view->setImage(ui::ImageAsset::withImage(context->makeImage()));
    view->setCapInsets({3, 3, 3, 3});
    window->addSubview(view);
    window->display();
    const std::uint32_t px[3] = {kRedPx, kGreenPx, kBluePx};
    auto expected = [&](int row, int column) {
        const Color c = blocks[row][column];
        return c.red > 0 ? px[0] : c.green > 0 ? px[1] : px[2];
    };
    // Corners 3 points wide at the view's corners; edges and middle between them.
    const double xs[3] = {3.5, 20, 36.5}, ys[3] = {3.5, 15, 26.5};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(at(xs[column], ys[row]), expected(row, column)) << row << ", " << column;
    EXPECT_EQ(at(5.6, 15), expected(1, 1)) << "the middle starts right after the left cap";
}
