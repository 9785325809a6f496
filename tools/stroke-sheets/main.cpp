// stroke-sheets OUTDIR [SIZE] [RESOURCES] [MAXSIDE]: one sheet on white paper in a dark colour
// and one in photo colours over a sample photo. Each row is a medium; its columns hold a
// straight stroke above an S-curve at 2, 40 and 70 canvas pixels per touch-move, so a
// stamp-like period, notches or beading show side by side (SheetLayout.h). MAXSIDE scales the
// sheet down to at most that many pixels on its longer side. SIZE is the brush size (default 40) for the media that
// keep the user's size; RESOURCES the folder of the brush shapes (default the source tree's).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "BrushTool.h"
#include "DataModel.h"
#include "Foundation/Bundle.h"
#include "Foundation/Clock.h"
#include "Foundation/RunLoop.h"
#include "ImageIO/Decoder.h"
#include "ImageIO/Encoder.h"
#include "MediumValues.h"
#include "SheetLayout.h"
#include "Toolkit/Touch.h"
#include "Toolkit/View.h"

namespace {

using sheets::Layout;

void stroke(BrushTool& brush, const std::shared_ptr<ui::View>& view, const Layout& l, int row, int column, bool curved)
{
    const int moves = l.moves(column);
    auto at = [&](double t) {
        const sheets::SheetPoint p = l.point(row, column, curved, t);
        return gfx::Point{p.x, p.y};
    };
    auto touch = std::make_shared<ui::Touch>(view, nullptr, at(0), 0, 1);
    ui::TouchSet touches({touch});
    brush.touchesBegan(touches, ui::Event(0, touches));
    for (int i = 1; i <= moves; ++i) {
        touch->update(ui::TouchPhase::Moved, at(double(i) / moves), i);
        brush.touchesMoved(touches, ui::Event(i, touches));
    }
    touch->setPhase(ui::TouchPhase::Ended);
    brush.touchesEnded(touches, ui::Event(moves + 1, touches));
}

bool paintSheet(DataModel* document, const Layout& l, int maxSide, BrushTool::Mode mode, const std::string& path)
{
    document->setCanvas(Canvas::initWithSize(l.width(), l.height()));
    Canvas* canvas = document->canvas();
    if (!canvas)
        return false;
    canvas->setBackgroundColor({1, 1, 1, 1});
    auto view = std::make_shared<ui::View>(canvas->bounds());
    {
        BrushTool brush(document->canvasRef(), document->rawImageRef());
        brush.setCanvasView(view.get());
        brush.setMode(mode);
        brush.setColor({0.15f, 0.12f, 0.35f, 1});
        brush.setPaintingSeed(1); // splatter: the same sheet every run
        for (int row = 0; row < NUM_MEDIUM_VALUES; ++row)
            for (int column = 0; column < sheets::kColumns; ++column)
                for (bool curved : {false, true}) {
                    brush.setSize(l.size);
                    ApplyMediumValue(brush, g_arMediumValues[row]);
                    canvas->saveUndoState(); // each stroke its own group, at its own opacity
                    stroke(brush, view, l, row, column, curved);
                }
        canvas->flatten();
    }
    gfx::ImageRef image = canvas->createThumbnail(std::min(maxSide, std::max(l.width(), l.height())));
    if (!image)
        return false;
    auto png = imageio::encodePng({image->data(), image->width(), image->height(), image->bytesPerRow(), true});
    if (!png)
        return false;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png->data()), static_cast<std::streamsize>(png->size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: stroke-sheets OUTDIR [SIZE] [RESOURCES] [MAXSIDE]\n");
        return 2;
    }
    const std::string outDir = argv[1];
    const Layout layout{argc > 2 ? std::clamp(std::atoi(argv[2]), 4, 200) : 40, NUM_MEDIUM_VALUES};
    fnd::setResourcePath(argc > 3 && *argv[3] ? argv[3] : KANVARO_SOURCE_DIR "/Resources");
    const int maxSide = argc > 4 ? std::max(64, std::atoi(argv[4])) : 1 << 14;
    fnd::ManualClockScope clock;
    const std::string suffix = "-" + std::to_string(layout.size) + ".png";
    bool ok = paintSheet(DataModel::sharedDataModelWithBlankCanvas(), layout, maxSide, BrushTool::kModeFreehand,
                         outDir + "/white" + suffix);
    DataModel::releaseSharedDataModel();
    auto photo = imageio::decodeFile(KANVARO_SOURCE_DIR "/Resources/SamplePhotos/coffee.png");
    if (!photo.ok()) {
        std::fprintf(stderr, "stroke-sheets: no sample photo\n");
        return 1;
    }
    auto shared = std::make_shared<imageio::DecodedImage>(std::move(photo).value());
    ok = paintSheet(DataModel::sharedDataModelWithUIImage(shared).value_or(nullptr), layout, maxSide,
                    BrushTool::kModePhoto, outDir + "/photo" + suffix)
         && ok;
    DataModel::releaseSharedDataModel();
    fnd::RunLoop::main().removeAllTimers();
    return ok ? 0 : 1;
}
