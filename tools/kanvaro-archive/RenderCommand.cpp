// `render`: the painting as the application exports it, full size with paper colour and texture.
#include <algorithm>
#include <iostream>

#include "Commands.h"
#include "Foundation/FileOps.h"
#include "ImageIO/Encoder.h"
#include "PaintingFile.h"

namespace archivetool {

int render(const std::string& path, const std::string& pngPath)
{
    auto model = openPainting(path);
    if (!model)
        return kExitBadInput;
    const Canvas& canvas = *model->canvas();
    auto image = canvas.createThumbnail(std::max(canvas.width(), canvas.height()));
    if (!image) {
        std::cerr << kToolName << ": cannot composite " << path << "\n";
        return kExitFailed;
    }
    const bool premultiplied = image->alpha() == gfx::Image::Alpha::Premultiplied;
    auto png =
        imageio::encodePng({image->data(), image->width(), image->height(), image->bytesPerRow(), premultiplied});
    if (!png) {
        std::cerr << kToolName << ": cannot encode " << pngPath << ": " << png.error() << "\n";
        return kExitFailed;
    }
    if (auto written = fnd::writeFileAtomically(pngPath, png.value()); !written) {
        std::cerr << kToolName << ": cannot write " << pngPath << ": " << written.error() << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace archivetool
