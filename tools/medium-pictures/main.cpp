// medium-pictures OUTDIR: the medium picker's row pictures, each a sample stroke painted by the
// brush engine with the medium's preset, on a strip of paper beside the medium's name.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "Foundation/Bundle.h"
#include "Graphics/BitmapContext.h"
#include "ImageIO/Encoder.h"
#include "SampleStroke.h"
#include "Toolkit/TextLayout.h"

namespace {

using mediumpictures::StrokeLook;

constexpr int kWidth = 280;         // points
constexpr int kRowHeight = 52;      // points
constexpr int kAirbrushHeight = 91; // points
// The picker shows the picture shifted 20 points left in a 270-point list: keep clear of the edges.
constexpr double kLeft = 14;
constexpr double kNameWidth = 80;
constexpr double kStripX = kLeft + kNameWidth + 4;
constexpr double kStripRight = 266;
constexpr double kStripInset = 5;

constexpr gfx::Color kPaper{0.97f, 0.96f, 0.92f, 1};

// In the order of the medium table.
const StrokeLook kLooks[NUM_MEDIUM_VALUES] = {
    {"Oil", "Oil Paint", 24, {0.60f, 0.14f, 0.08f, 1}, kPaper},
    {"Watercolor", "Watercolor", 26, {0.10f, 0.35f, 0.80f, 1}, kPaper},
    {"Pencil", "Pencil", 22, {0.22f, 0.22f, 0.25f, 1}, kPaper},
    {"Airbrush", "Airbrush", 40, {0.85f, 0.10f, 0.45f, 1}, kPaper},
    {"ScratchBoard", "Scratch Board", 22, {0.10f, 0.10f, 0.10f, 1}, kPaper},
    {"Charcoal", "Charcoal", 22, {0.12f, 0.12f, 0.12f, 1}, kPaper},
    {"Chalk", "Chalk", 20, {0.20f, 0.45f, 0.70f, 1}, kPaper},
    {"Pastel", "Pastel", 24, {0.95f, 0.50f, 0.20f, 1}, kPaper},
    {"Finger", "Finger", 26, {0.20f, 0.55f, 0.30f, 1}, kPaper},
    {"PenAndInk", "Pen and Ink", 8, {0.05f, 0.05f, 0.12f, 1}, kPaper},
    {"Calligraphy", "Calligraphy", 16, {0.10f, 0.10f, 0.40f, 1}, kPaper},
};

// The medium's name, bold, white on a dark drop shadow, shrunk to fit the name column.
void drawLabel(gfx::BitmapContext& ctx, const char* text, double h)
{
    ui::TextLayout label;
    label.setText(text);
    double size = 12;
    label.setFont(ui::Font::boldSystemFont(size));
    if (label.size().width > kNameWidth) {
        size *= kNameWidth / label.size().width;
        label.setFont(ui::Font::boldSystemFont(size));
    }
    gfx::GStateSaver saver(ctx);
    ctx.setShadow({0, 1}, 0, {0, 0, 0, 0.8f});
    label.draw(ctx, {kLeft, (h - label.size().height) / 2}, gfx::Color::white());
}

bool writePicture(const std::string& path, const MediumValue& medium, const StrokeLook& look, int heightPoints,
                  int scale)
{
    const int w = kWidth * scale, h = heightPoints * scale;
    const double top = kStripInset, bottom = heightPoints - kStripInset;
    const int stripW = static_cast<int>((kStripRight - kStripX) * scale),
              stripH = static_cast<int>((bottom - top) * scale);
    gfx::ImageRef stroke = mediumpictures::paintSampleStroke(medium, look, stripW, stripH, scale);
    auto ctx = gfx::BitmapContext::create(w, h);
    if (!stroke || !ctx)
        return false;
    ctx->scale(scale, scale);
    drawLabel(*ctx, look.label, heightPoints);
    const gfx::Rect strip(kStripX, top, kStripRight - kStripX, bottom - top);
    {
        // The stroke composite is already at pixel scale: one of its pixels on each device pixel.
        gfx::GStateSaver saver(*ctx);
        ctx->clipToPath(gfx::Path::roundedRect(strip, 4));
        ctx->drawImage(
            {kStripX, top, stroke->width() / static_cast<double>(scale), stroke->height() / static_cast<double>(scale)},
            *stroke);
    }
    ctx->setStrokeColor({0, 0, 0, 0.6f});
    ctx->setLineWidth(1);
    ctx->strokePath(gfx::Path::roundedRect(strip.insetBy(0.5, 0.5), 4));
    auto png = imageio::encodePng({ctx->constData(), w, h, ctx->bytesPerRow(), true},
                                  {9, true, imageio::PngFilter::kAdaptive});
    if (!png) {
        std::fprintf(stderr, "medium-pictures: %s: %s\n", path.c_str(), png.error().c_str());
        return false;
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png->data()), static_cast<std::streamsize>(png->size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: medium-pictures OUTDIR\n");
        return 2;
    }
    const std::string outDir = argv[1];
    // The brush shapes come from the same resource folder the pictures go to.
    fnd::setResourcePath(std::filesystem::absolute(outDir).string());
    bool ok = true;
    for (int row = 0; row < NUM_MEDIUM_VALUES; ++row) {
        const MediumValue& medium = g_arMediumValues[row];
        const int height = std::string(medium.shapeName) == "Airbrush" ? kAirbrushHeight : kRowHeight;
        for (int scale : {1, 2, 3}) {
            std::string name = std::string(medium.shapeName)
                               + (scale == 1 ? "_medium.png" : "_medium@" + std::to_string(scale) + "x.png");
            if (!writePicture(outDir + "/" + name, medium, kLooks[row], height, scale)) {
                std::fprintf(stderr, "medium-pictures: could not write %s\n", name.c_str());
                ok = false;
            }
        }
    }
    return ok ? 0 : 1;
}
