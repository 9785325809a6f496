// mypaint-sheets OUTDIR [SIZE] [BRUSHDIR] [MAXSIDE]: draws the strokes of a stroke sheet (SheetLayout.h)
// with libmypaint's brushes of the same kinds as our media, row for row, and writes
// OUTDIR/mypaint-SIZE.png on white paper in the sheets' dark colour. The ScratchBoard row has no
// counterpart and stays empty; a twelfth row shows a soft 2B pencil beside the classic one.
// Moves come every 1/60 s at a steady pressure; the smudge row first gets coloured bands to
// smudge, since smudging paints nothing on white. MAXSIDE scales the sheet down by a whole
// factor to at most that many pixels on its longer side.
#include <mypaint-brush.h>
#include <mypaint-fixed-tiled-surface.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ImageIO/Encoder.h"
#include "SheetLayout.h"

namespace {

constexpr const char* kBrushes[] = {"tanda/oil-03-paint",
                                    "deevad/large_watercolor_fringe",
                                    "classic/pencil",
                                    "deevad/airbrush",
                                    "",
                                    "classic/charcoal",
                                    "deevad/chalk",
                                    "ramon/Pastel_1",
                                    "classic/smudge",
                                    "classic/pen",
                                    "classic/calligraphy",
                                    "deevad/2B_pencil"};
constexpr int kRows = static_cast<int>(std::size(kBrushes));
constexpr int kSmudgeRow = 8;
constexpr double kMoveSeconds = 1.0 / 60;
constexpr float kPressure = 0.6f;
// The sheets' dark colour (0.15, 0.12, 0.35) as hue, saturation and value.
constexpr float kHue = 0.6875f, kSaturation = 0.657f, kValue = 0.35f;

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Sheet {
    MyPaintFixedTiledSurface* surface;
    MyPaintSurface* base() { return reinterpret_cast<MyPaintSurface*>(surface); }
    MyPaintTiledSurface* tiled() { return reinterpret_cast<MyPaintTiledSurface*>(surface); }

    // Calls f(x, y, rgba) for every pixel of every tile, 15-bit premultiplied channels.
    template <class F> void forEachPixel(bool write, F&& f)
    {
        const int w = mypaint_fixed_tiled_surface_get_width(surface);
        const int h = mypaint_fixed_tiled_surface_get_height(surface);
        for (int ty = 0; ty * MYPAINT_TILE_SIZE < h; ++ty)
            for (int tx = 0; tx * MYPAINT_TILE_SIZE < w; ++tx) {
                MyPaintTileRequest request;
                mypaint_tile_request_init(&request, 0, tx, ty, !write);
                mypaint_tiled_surface_tile_request_start(tiled(), &request);
                for (int y = 0; y < MYPAINT_TILE_SIZE; ++y)
                    for (int x = 0; x < MYPAINT_TILE_SIZE; ++x) {
                        const int px = tx * MYPAINT_TILE_SIZE + x, py = ty * MYPAINT_TILE_SIZE + y;
                        if (px < w && py < h && request.buffer)
                            f(px, py, request.buffer + 4 * (y * MYPAINT_TILE_SIZE + x));
                    }
                mypaint_tiled_surface_tile_request_end(tiled(), &request);
            }
    }
};

// Vertical bands of colour under the smudge row, so the smudge has paint to drag.
void paintBands(Sheet& sheet, const sheets::Layout& l, int row)
{
    const int top = static_cast<int>(row * l.rowHeight()), bottom = static_cast<int>((row + 1) * l.rowHeight());
    const int band = std::max(4, l.size / 3);
    sheet.forEachPixel(true, [&](int x, int y, std::uint16_t* p) {
        if (y < top || y >= bottom)
            return;
        static const std::uint16_t colours[3][3] = {{31000, 9000, 6000}, {5000, 15000, 30000}, {26000, 24000, 4000}};
        const std::uint16_t* c = colours[(x / band) % 3];
        p[0] = c[0];
        p[1] = c[1];
        p[2] = c[2];
        p[3] = 1 << 15;
    });
}

void stroke(MyPaintBrush* brush, Sheet& sheet, const sheets::Layout& l, int row, int column, bool curved)
{
    const int moves = l.moves(column);
    mypaint_brush_reset(brush);
    mypaint_brush_new_stroke(brush);
    mypaint_surface_begin_atomic(sheet.base());
    const sheets::SheetPoint start = l.point(row, column, curved, 0);
    mypaint_brush_stroke_to(brush, sheet.base(), float(start.x), float(start.y), 0, 0, 0, 1.0);
    for (int i = 0; i <= moves; ++i) {
        const sheets::SheetPoint p = l.point(row, column, curved, double(i) / moves);
        mypaint_brush_stroke_to(brush, sheet.base(), float(p.x), float(p.y), kPressure, 0, 0, kMoveSeconds);
    }
    const sheets::SheetPoint end = l.point(row, column, curved, 1);
    mypaint_brush_stroke_to(brush, sheet.base(), float(end.x), float(end.y), 0, 0, 0, kMoveSeconds);
    MyPaintRectangle roi;
    mypaint_surface_end_atomic(sheet.base(), &roi);
}

bool paintRow(Sheet& sheet, const sheets::Layout& l, int row, const std::string& brushDir)
{
    if (!*kBrushes[row])
        return true;
    const std::string json = readFile(brushDir + "/" + kBrushes[row] + ".myb");
    MyPaintBrush* brush = mypaint_brush_new();
    const bool loaded = !json.empty() && mypaint_brush_from_string(brush, json.c_str());
    if (loaded) {
        mypaint_brush_set_base_value(brush, MYPAINT_BRUSH_SETTING_RADIUS_LOGARITHMIC, std::log(l.size / 2.0f));
        mypaint_brush_set_base_value(brush, MYPAINT_BRUSH_SETTING_COLOR_H, kHue);
        mypaint_brush_set_base_value(brush, MYPAINT_BRUSH_SETTING_COLOR_S, kSaturation);
        mypaint_brush_set_base_value(brush, MYPAINT_BRUSH_SETTING_COLOR_V, kValue);
        if (row == kSmudgeRow)
            paintBands(sheet, l, row);
        for (int column = 0; column < sheets::kColumns; ++column)
            for (bool curved : {false, true})
                stroke(brush, sheet, l, row, column, curved);
    } else {
        std::fprintf(stderr, "mypaint-sheets: cannot load %s\n", kBrushes[row]);
    }
    mypaint_brush_unref(brush);
    return loaded;
}

// The surface over white paper as 0xAARRGGBB words, each pixel the mean of a `scale` x `scale`
// block of the surface.
std::vector<std::uint8_t> onWhite(Sheet& sheet, const sheets::Layout& l, int scale, int& width, int& height)
{
    width = l.width() / scale;
    height = l.height() / scale;
    std::vector<double> sums(static_cast<std::size_t>(width) * height * 3, 0.0);
    sheet.forEachPixel(false, [&](int x, int y, std::uint16_t* p) {
        if (x / scale >= width || y / scale >= height)
            return;
        double* out = sums.data() + (static_cast<std::size_t>(y / scale) * width + x / scale) * 3;
        const double keep = 1.0 - p[3] / 32768.0;
        for (int c = 0; c < 3; ++c)
            out[c] += std::min(1.0, p[c] / 32768.0 + keep);
    });
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width) * height * 4, 255);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i)
        for (int c = 0; c < 3; ++c)
            bytes[i * 4 + 2 - c] = static_cast<std::uint8_t>(std::lround(255 * sums[i * 3 + c] / (scale * scale)));
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: mypaint-sheets OUTDIR [SIZE] [BRUSHDIR] [MAXSIDE]\n");
        return 2;
    }
    const sheets::Layout layout{argc > 2 ? std::clamp(std::atoi(argv[2]), 4, 200) : 40, kRows};
    const std::string brushDir = argc > 3 && *argv[3] ? argv[3] : "/usr/share/mypaint-data/2.0/brushes";
    Sheet sheet{mypaint_fixed_tiled_surface_new(layout.width(), layout.height())};
    bool ok = true;
    for (int row = 0; row < kRows; ++row)
        ok = paintRow(sheet, layout, row, brushDir) && ok;
    const int maxSide = argc > 4 ? std::max(64, std::atoi(argv[4])) : 1 << 14;
    const int scale = (std::max(layout.width(), layout.height()) + maxSide - 1) / maxSide;
    int width = 0, height = 0;
    const std::vector<std::uint8_t> pixels = onWhite(sheet, layout, scale, width, height);
    mypaint_surface_unref(sheet.base());
    auto png =
        imageio::encodePng({pixels.data(), width, height, width * 4, false}, {6, false, imageio::PngFilter::kAdaptive});
    if (!png)
        return 1;
    std::ofstream out(std::string(argv[1]) + "/mypaint-" + std::to_string(layout.size) + ".png", std::ios::binary);
    out.write(reinterpret_cast<const char*>(png->data()), static_cast<std::streamsize>(png->size()));
    return ok && out ? 0 : 1;
}
