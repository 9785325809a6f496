// `render`: the painting as the application exports it, with paper colour and texture: as stored,
// or made again from its journal at `scale` times its size.
#include <algorithm>
#include <iostream>

#include "Commands.h"
#include "Foundation/FileOps.h"
#include "ImageIO/Encoder.h"
#include "Journal.h"
#include "JournalReplay.h"
#include "PaintingFile.h"

namespace archivetool {

namespace {

int writeComposite(const Canvas& canvas, const std::string& source, const std::string& pngPath)
{
    auto image = canvas.createThumbnail(std::max(canvas.width(), canvas.height()));
    if (!image) {
        std::cerr << kToolName << ": cannot composite " << source << "\n";
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

} // namespace

int render(const std::string& path, const std::string& pngPath, std::optional<double> scale)
{
    auto model = openPainting(path);
    if (!model)
        return kExitBadInput;
    if (!scale)
        return writeComposite(*model->canvas(), path, pngPath);
    const Journal* journal = model->canvas()->journal();
    if (!journal) {
        std::cerr << kToolName << ": " << path << " has no journal to replay\n";
        return kExitBadInput;
    }
    ReplayOptions options;
    options.scale = *scale;
    auto replayed = ReplayJournal(*journal, model->rawImageRef(), options);
    if (!replayed) {
        std::cerr << kToolName << ": cannot replay " << path << ": " << replayed.error() << "\n";
        return kExitFailed;
    }
    for (const std::string& note : replayed->notes)
        std::cerr << kToolName << ": not an exact replay: " << note << "\n";
    return writeComposite(*replayed->canvas, path, pngPath);
}

} // namespace archivetool
