#pragma once
// A shared document, a canvas view over it and a brush, for the brush tests; plus masks whose
// dabs are easy to find on the canvas.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "BrushTool.h"
#include "DataModel.h"
#include "Foundation/RunLoop.h"
#include "Graphics/PixelFormat.h"
#include "PaintingFixtures.h"
#include "Toolkit/Touch.h"
#include "Toolkit/View.h"

namespace testing {

// An s x s mask, white but for the listed black samples (column, row).
inline gfx::ImageMaskRef maskWithBlack(int side, const std::vector<std::pair<int, int>>& black)
{
    const int rb = gfx::ImageMask::rowBytesFor(side);
    std::vector<std::uint8_t> samples(static_cast<std::size_t>(rb) * side, 255);
    for (auto [i, j] : black)
        samples[static_cast<std::size_t>(j) * rb + i] = 0;
    return gfx::ImageMask::create(side, side, rb, std::move(samples), false);
}

// Unturned, the black sample (s/2, s/2 - 1) covers exactly the pixel at the dab centre.
inline gfx::ImageMaskRef dotMask(int side) { return maskWithBlack(side, {{side / 2, side / 2 - 1}}); }

// Every sample of the first row black.
inline gfx::ImageMaskRef firstRowMask(int side)
{
    std::vector<std::pair<int, int>> black;
    for (int i = 0; i < side; ++i)
        black.emplace_back(i, 0);
    return maskWithBlack(side, black);
}

// A uniform mask of one sample value.
inline gfx::ImageMaskRef flatMask(int side, std::uint8_t sample)
{
    const int rb = gfx::ImageMask::rowBytesFor(side);
    return gfx::ImageMask::create(side, side, rb,
                                  std::vector<std::uint8_t>(static_cast<std::size_t>(rb) * side, sample), false);
}

struct Pixel {
    int x, y;
    bool operator==(const Pixel&) const = default;
    bool operator<(const Pixel& o) const { return y != o.y ? y < o.y : x < o.x; }
};

class BrushToolTest : public Test {
protected:
    void SetUp() override { useDocument(DataModel::sharedDataModelWithBlankCanvas()); }
    void TearDown() override
    {
        brush.reset();
        fnd::RunLoop::main().removeAllTimers();
        DataModel::releaseSharedDataModel();
    }

    void useDocument(DataModel* document)
    {
        ASSERT_TRUE(document);
        Canvas* c = document->canvas();
        view = std::make_shared<ui::View>(c->bounds());
        brush = std::make_unique<BrushTool>(document->canvasRef(), document->rawImageRef());
        brush->setCanvasView(view.get());
        brush->setStrokeBeganHandler([this] { ++strokesBegun; });
        brush->setMode(BrushTool::kModeFreehand);
    }

    Canvas& canvas() { return *DataModel::sharedDataModel()->canvas(); }

    // Pixels with any paint in a surface.
    static std::vector<Pixel> painted(const gfx::BitmapContext& ctx)
    {
        std::vector<Pixel> out;
        const std::uint8_t* data = ctx.constData();
        for (int y = 0; y < ctx.height(); ++y) {
            const auto* row =
                reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * ctx.bytesPerRow());
            for (int x = 0; x < ctx.width(); ++x)
                if (row[x] != 0)
                    out.push_back({x, y});
        }
        return out;
    }
    std::vector<Pixel> paintedStrokes() { return painted(canvas().curStrokeLayer().context()); }

    // A finger at `location` (canvas coordinates: the view is the root of its own tree).
    ui::TouchRef touchAt(gfx::Point location) { return std::make_shared<ui::Touch>(view, nullptr, location, 0, 1); }
    void touchDown(gfx::Point location)
    {
        auto touch = touchAt(location);
        ui::TouchSet set({touch});
        brush->touchesBegan(set, ui::Event(0, set));
    }
    void touchUp()
    {
        ui::TouchSet set({touchAt({})});
        brush->touchesEnded(set, ui::Event(0, set));
    }

    std::shared_ptr<ui::View> view;
    std::unique_ptr<BrushTool> brush;
    int strokesBegun = 0; // calls of the brush's stroke-began handler
};

} // namespace testing
