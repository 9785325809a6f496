// `render`: the painting as the application exports it, with paper colour and texture: as stored,
// or made again from its journal at `scale` times its size or at full size.
#include <algorithm>
#include <iostream>

#include "Commands.h"
#include "Foundation/FileOps.h"
#include "FullSizeExport.h"
#include "ImageIO/Encoder.h"
#include "Journal.h"
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

// Made again from the journal, in bands on two threads, through the application's own export.
int renderFromJournal(const DataModel& model, const std::string& path, const std::string& pngPath,
                      std::optional<double> scale)
{
    const Journal* journal = model.canvas()->journal();
    if (!journal) {
        std::cerr << kToolName << ": " << path << " has no journal to replay\n";
        return kExitBadInput;
    }
    if (!scale && !CanExportFullSize(journal, static_cast<bool>(model.fullSizePhotoLoader()))) {
        std::cerr << kToolName << ": " << path << " has no full-size picture\n";
        return kExitBadInput;
    }
    BandedReplayOptions options;
    options.paintedPhoto = model.rawImageRef();
    auto written = scale ? WriteReplayPng(*journal, model.rawImageRef(), *scale, pngPath, options)
                         : WriteFullSizePng(*journal, model.fullSizePhotoLoader(), pngPath, options);
    if (!written) {
        std::cerr << kToolName << ": cannot render " << path << " to " << pngPath << ": " << written.error() << "\n";
        return kExitFailed;
    }
    for (const std::string& note : written->notes)
        std::cerr << kToolName << ": not an exact replay: " << note << "\n";
    return kExitOk;
}

} // namespace

int render(const std::string& path, const std::string& pngPath, RenderSize size, std::optional<double> scale)
{
    auto model = openPainting(path);
    if (!model)
        return kExitBadInput;
    if (size == RenderSize::kStored)
        return writeComposite(*model->canvas(), path, pngPath);
    return renderFromJournal(*model, path, pngPath, size == RenderSize::kScaled ? scale : std::nullopt);
}

} // namespace archivetool
