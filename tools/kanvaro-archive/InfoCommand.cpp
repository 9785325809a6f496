// `info`: what the archive holds, one line per item, in a form meant for people and shell tests.
#include <cstdio>
#include <iostream>

#include "Commands.h"
#include "PaintingFile.h"

namespace archivetool {

namespace {

void printRawImage(const RawImage* image)
{
    if (!image) {
        std::cout << "raw image: none (blank canvas)\n";
        return;
    }
    std::cout << "raw image: " << image->width() << " x " << image->height() << ", bpp " << image->bpp() << ", bpc "
              << image->bpc() << ", rb " << image->rb() << ", orientation " << image->orientation() << "\n";
}

void printCanvas(const Canvas& canvas)
{
    std::cout << "canvas: " << canvas.width() << " x " << canvas.height() << "\n";
    const gfx::Color& c = canvas.backgroundColor();
    char colour[96];
    std::snprintf(colour, sizeof colour, "%.4g %.4g %.4g %.4g", c.red, c.green, c.blue, c.alpha);
    std::cout << "background: " << colour << "\n";
    std::cout << "texture: " << canvas.textureName().value_or("none") << "\n";
}

} // namespace

int info(const std::string& path)
{
    auto model = openPainting(path);
    if (!model)
        return kExitBadInput;
    // Every painting stores its colour as a UIColor inside the canvas.
    std::cout << "classes: DataModel" << (model->rawImage() ? " RawImage" : "") << " Canvas UIColor\n";
    printCanvas(*model->canvas());
    printRawImage(model->rawImage());
    return kExitOk;
}

} // namespace archivetool
