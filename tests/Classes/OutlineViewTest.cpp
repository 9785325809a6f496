// The blueprint overlay: fitting the outline into the bounds, clearing and painting through the
// mask, and an upright result on screen.
#include <gtest/gtest.h>

#include <cstdlib>

#include "OutlineView.h"
#include "PaintViewTestSupport.h"

namespace {

using painting_test::PaintingViewTest;

class OutlineViewTest : public PaintingViewTest {};

gfx::ImageMaskRef flatMask(int w, int h, std::uint8_t sample)
{
    const int rb = gfx::ImageMask::rowBytesFor(w);
    return gfx::ImageMask::create(w, h, rb, std::vector<std::uint8_t>(static_cast<std::size_t>(rb) * h, sample), false);
}

// The overlay for the shared document's raw image, as the canvas view makes it.
std::shared_ptr<OutlineView> outlineOfDocument(const gfx::Rect& frame)
{
    const DataModel* document = DataModel::sharedDataModel();
    return OutlineView::initWithFrame(frame, document ? document->rawImage() : nullptr);
}

// A photo document whose picture is white with a black band across rows 0..9 (its top).
void documentWithBandAtTop(int w, int h)
{
    auto photo = testing::makePhoto(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t v = y < 10 ? 0 : 255;
            std::uint8_t* p = photo->bytes->data() + (static_cast<std::size_t>(y) * w + x) * 4;
            p[0] = p[1] = p[2] = v;
        }
    ASSERT_TRUE(DataModel::sharedDataModelWithUIImage(photo));
}

TEST_F(OutlineViewTest, NeedsARawImage)
{
    blankDocument();
    EXPECT_FALSE(outlineOfDocument({0, 0, 712, 1024}));
    DataModel::releaseSharedDataModel();
    EXPECT_FALSE(outlineOfDocument({0, 0, 712, 1024}));

    photoDocument(1024, 768);
    auto view = outlineOfDocument({0, 0, 1024, 768});
    ASSERT_TRUE(view);
    EXPECT_EQ(view->outlineMask()->width(), 1024);
    EXPECT_EQ(view->outlineMask()->height(), 768);
    EXPECT_EQ(view->backgroundColor()->alpha, 0.0f);
}

TEST_F(OutlineViewTest, FittingTransformFlipsAndScalesIntoTheBounds)
{
    photoDocument(1024, 768);
    auto view = outlineOfDocument({0, 0, 1024, 768});
    ASSERT_TRUE(view);
    gfx::AffineTransform t = view->imageTransformToFitView();
    EXPECT_EQ(t.apply(gfx::Point{0, 0}), (gfx::Point{0, 768}));
    EXPECT_EQ(t.apply(gfx::Point{1023, 767}), (gfx::Point{1023, 1}));

    view->setBounds({0, 0, 682, 1024});
    view->setOutlineMask(flatMask(320, 480, 255));
    t = view->imageTransformToFitView();
    const double s = static_cast<double>(682.0f / 320.0f);
    EXPECT_DOUBLE_EQ(t.a, s);
    EXPECT_DOUBLE_EQ(t.d, -s);
    const gfx::Rect fitted = t.apply(gfx::Rect(0, 0, 320, 480));
    EXPECT_NEAR(fitted.width(), 682, 1e-4);
    EXPECT_NEAR(fitted.height(), 1023, 1e-3);
    EXPECT_NEAR((1024 - fitted.height()) * 0.5, 0.5, 1e-3); // the centring offset
}

TEST_F(OutlineViewTest, RenderingClearsTheBoundsThenPaintsByTheSamples)
{
    photoDocument(64, 64);
    auto view = outlineOfDocument({0, 0, 32, 32});
    ASSERT_TRUE(view);
    auto ctx = gfx::BitmapContext::create(40, 40);
    const gfx::Color red{1, 0, 0, 1}, green{0, 1, 0, 1};

    view->setOutlineMask(flatMask(32, 32, 255));
    ctx->setFillColor(red);
    ctx->fillRect(ctx->bounds());
    view->renderOutlineOnContext(*ctx, green);
    EXPECT_EQ(ctx->pixelAt(0, 0), 0u); // cleared, nothing painted
    EXPECT_EQ(ctx->pixelAt(31, 31), 0u);
    EXPECT_EQ(ctx->pixelAt(35, 35), 0xFFFF0000u); // outside the bounds: untouched

    view->setOutlineMask(flatMask(32, 32, 0));
    view->renderOutlineOnContext(*ctx, green);
    EXPECT_EQ(ctx->pixelAt(0, 0), 0xFF00FF00u);
    EXPECT_EQ(ctx->pixelAt(31, 31), 0xFF00FF00u);
    EXPECT_EQ(ctx->fillColor(), red); // the drawing state is restored
}

TEST_F(OutlineViewTest, BlueprintShowsUpright)
{
    documentWithBandAtTop(200, 100);
    const RawImage* raw = DataModel::sharedDataModel()->rawImage();
    auto view = outlineOfDocument({0, 0, static_cast<double>(raw->width()), static_cast<double>(raw->height())});
    ASSERT_TRUE(view);
    auto ctx = gfx::BitmapContext::create(raw->width(), raw->height());
    view->renderOutlineOnContext(*ctx, gfx::Color::black());
    // The edge under the band (about a tenth of the way down) shows near the top, not the bottom.
    const int edgeRow = raw->height() / 10;
    int topPainted = 0, bottomPainted = 0;
    for (int y = 0; y < raw->height(); ++y) {
        const bool painted = (ctx->pixelAt(raw->width() / 2, y) >> 24) > 0;
        (y < raw->height() / 2 ? topPainted : bottomPainted) += painted;
        if (painted) {
            EXPECT_NEAR(y, edgeRow, 3);
        }
    }
    EXPECT_GT(topPainted, 0);
    EXPECT_EQ(bottomPainted, 0);
}

TEST_F(OutlineViewTest, DrawsInBlueOverWhatIsBeneathOnScreen)
{
    documentWithBandAtTop(200, 100);
    const RawImage* raw = DataModel::sharedDataModel()->rawImage();
    window->setBackgroundColor(gfx::Color::white());
    auto view = outlineOfDocument({0, 0, 320, 160});
    ASSERT_TRUE(view);
    view->setOpaque(false);
    window->addSubview(view);
    ASSERT_TRUE(window->setScale(1));
    window->display();
    const gfx::BitmapContext& screen = *window->backingStore();
    const int edgeRow = static_cast<int>(160.0 * (raw->height() / 10) / raw->height());
    bool blueEdge = false;
    for (int y = edgeRow - 3; y <= edgeRow + 3; ++y)
        blueEdge = blueEdge || screen.pixelAt(160, y) == 0xFF0000FFu;
    EXPECT_TRUE(blueEdge);
    EXPECT_EQ(screen.pixelAt(160, 120), 0xFFFFFFFFu); // the white behind was not cleared away
}

TEST_F(OutlineViewTest, FadesInWithTheViewsAlpha)
{
    // The outline is painted through the dab kernel; at half alpha it must show half strength.
    documentWithBandAtTop(200, 100);
    const RawImage* raw = DataModel::sharedDataModel()->rawImage();
    window->setBackgroundColor(gfx::Color::white());
    auto view = outlineOfDocument({0, 0, 320, 160});
    ASSERT_TRUE(view);
    view->setOpaque(false);
    view->setAlpha(0.5);
    window->addSubview(view);
    ASSERT_TRUE(window->setScale(1));
    window->display();
    const gfx::BitmapContext& screen = *window->backingStore();
    const int edgeRow = static_cast<int>(160.0 * (raw->height() / 10) / raw->height());
    bool halfBlue = false;
    for (int y = edgeRow - 3; y <= edgeRow + 3; ++y) {
        const std::uint32_t p = screen.pixelAt(160, y);
        EXPECT_NE(p, 0xFF0000FFu) << "full strength at row " << y;
        halfBlue =
            halfBlue
            || (p >> 24 == 0xFF && (p & 0xFF) == 0xFF && std::abs(static_cast<int>((p >> 16) & 0xFF) - 127) <= 1);
    }
    EXPECT_TRUE(halfBlue);
}

} // namespace
