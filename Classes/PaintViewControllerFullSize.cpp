// The painting screen's export at full size: the painting made again from a copy of its journal
// at the photo's size (4 times a blank canvas) as an export job (PaintViewControllerExportJob.cpp).
#include "DataModel.h"
#include "Foundation/Log.h"
#include "Foundation/Paths.h"
#include "FullSizeExport.h"
#include "Journal.h"
#include "PaintViewController.h"
#include "Toolkit/PhotoAlbum.h"

bool PaintViewController::canExportFullSize() const
{
    const DataModel* document = DataModel::sharedDataModel();
    return document && document->canvas()
           && CanExportFullSize(document->canvas()->journal(), static_cast<bool>(document->fullSizePhotoLoader()));
}

void PaintViewController::exportFullSize()
{
    const DataModel* document = DataModel::sharedDataModel();
    if (m_exportJob || !canExportFullSize())
        return;
    ExportJobTexts texts{kFullSizeProgressTitle, "Export Full Size Completed", "full-size picture"};
    auto path = ui::newExportPath(fnd::exportsPath(), " (full size).png");
    if (!path) {
        exportJobDidEnd(ui::BackgroundJob::Outcome::kFailed, path.error(), "", texts);
        return;
    }
    // The workers read their own copy of the journal; the loader holds only data nobody changes.
    auto journal = std::make_shared<const Journal>(*document->canvas()->journal());
    FullSizePhotoLoader loader = document->fullSizePhotoLoader();
    std::shared_ptr<const RawImage> painted = document->rawImageRef();
    auto work = [journal, loader, painted,
                 path = path.value()](ui::BackgroundJob::Control& control) -> fnd::Result<bool> {
        BandedReplayOptions options;
        options.paintedPhoto = painted;
        options.onProgress = [&control](double done) { return control.setProgress(done); };
        auto made = WriteFullSizePng(*journal, loader, path, options);
        if (!made)
            return fnd::Error{made.error()};
        for (const std::string& note : made->notes) // the picture is made all the same
            fnd::log("The full-size picture is not an exact replay: " + note);
        return !made->cancelled;
    };
    runExportJob(std::move(work), path.value(), std::move(texts));
}
