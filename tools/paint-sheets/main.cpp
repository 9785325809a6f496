// paint-sheets PHOTO OUT.png [SEED]: a sheet of tiles, the photo first, then its automatic
// painting in each medium below in that order (left to right, top to bottom), on white paper.
// For each medium it prints the painting time and the mean CIELAB Delta E against the photo
// shrunk to the canvas, both blurred (standard deviation 2 pixels) and as they are.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "AutoPaintImages.h"
#include "AutoPainter.h"
#include "Canvas.h"
#include "Foundation/FileOps.h"
#include "Graphics/BitmapContext.h"
#include "ImageIO/Decoder.h"
#include "ImageIO/Encoder.h"
#include "MediumValues.h"
#include "RawImage.h"

namespace {

constexpr const char* kMedia[] = {"Oil Paint", "Watercolor", "Pencil", "Pastel",
                                  "Charcoal",  "Chalk",      "Finger", "PenAndInk"};
constexpr int kColumns = 3;
constexpr int kTile = 320; // longer side of a tile
constexpr int kGap = 8;

int mediumNamed(const std::string& name)
{
    for (int i = 0; i < NUM_MEDIUM_VALUES; ++i)
        if (name == g_arMediumValues[i].name)
            return i;
    return 0;
}

gfx::Rect tileRect(int index, int tileWidth, int tileHeight)
{
    const int column = index % kColumns, row = index / kColumns;
    return {static_cast<double>(kGap + column * (tileWidth + kGap)),
            static_cast<double>(kGap + row * (tileHeight + kGap)), static_cast<double>(tileWidth),
            static_cast<double>(tileHeight)};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: paint-sheets PHOTO OUT.png [SEED]\n");
        return 2;
    }
    const std::uint32_t seed = argc > 3 ? static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10)) : 1;
    auto decoded = imageio::decodeFile(argv[1]);
    if (!decoded) {
        std::fprintf(stderr, "paint-sheets: %s\n", decoded.error().c_str());
        return 1;
    }
    std::shared_ptr<const RawImage> raw = RawImage::initWithUIImage(decoded.value());
    auto probe = Canvas::initWithUIImage(decoded.value());
    if (!raw || !probe)
        return 1;
    const double scale = static_cast<double>(kTile) / std::max(probe->width(), probe->height());
    const int tw = static_cast<int>(probe->width() * scale), th = static_cast<int>(probe->height() * scale);
    const int count = 1 + static_cast<int>(std::size(kMedia));
    const int rows = (count + kColumns - 1) / kColumns;
    auto sheet = gfx::BitmapContext::create(kGap + kColumns * (tw + kGap), kGap + rows * (th + kGap));
    if (!sheet)
        return 1;
    sheet->setFillColor(gfx::Color{0.2f, 0.2f, 0.2f, 1});
    sheet->fillRect(gfx::Rect(0, 0, sheet->width(), sheet->height()));
    sheet->drawImage(tileRect(0, tw, th), *raw->createCompatibleImage());
    const RgbImage photo = ShrinkPhoto(*raw, probe->width(), probe->height());
    for (int i = 0; i < static_cast<int>(std::size(kMedia)); ++i) {
        auto canvas = Canvas::initWithUIImage(decoded.value());
        const auto start = std::chrono::steady_clock::now();
        PaintAutomatically(*canvas, raw, {mediumNamed(kMedia[i]), seed});
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const RgbImage painted = CanvasPicture(*canvas);
        std::printf("%-10s %5.2f s  Delta E blurred %5.2f  unblurred %5.2f\n", kMedia[i], seconds,
                    MeanDeltaE76(GaussianBlurred(photo, 2), GaussianBlurred(painted, 2)), MeanDeltaE76(photo, painted));
        sheet->drawImage(tileRect(i + 1, tw, th),
                         *canvas->createThumbnail(std::max(canvas->width(), canvas->height())));
    }
    const gfx::ImageRef image = sheet->makeImage();
    auto png = imageio::encodePng({image->data(), image->width(), image->height(), image->bytesPerRow(), true});
    if (!png || !fnd::writeFileAtomically(argv[2], png.value())) {
        std::fprintf(stderr, "paint-sheets: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
