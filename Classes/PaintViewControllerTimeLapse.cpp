// The painting screen's time-lapse export: the length asked in a sheet, then the video made from
// a copy of the journal as an export job (PaintViewControllerExportJob.cpp).
#include "DataModel.h"
#include "Foundation/Paths.h"
#include "Journal.h"
#include "PaintViewController.h"
#include "TimeLapse.h"
#include "Toolkit/PhotoAlbum.h"

void PaintViewController::showTimeLapseSheet()
{
    auto sheet = std::make_shared<ui::ActionSheet>("", this, "Cancel", "",
                                                   std::vector<std::string>{"10 Seconds", "20 Seconds", "60 Seconds"});
    sheet->setTag(kTimeLapseSheetTag);
    sheet->showFromToolbar(*m_toolbar);
}

void PaintViewController::exportTimeLapse(int seconds)
{
    const DataModel* document = DataModel::sharedDataModel();
    if (m_exportJob || !document || !document->canvas() || !document->canvas()->journal())
        return;
    ExportJobTexts texts{kTimeLapseProgressTitle, "Export Time-lapse Completed", "time-lapse"};
    auto path = ui::newExportPath(fnd::exportsPath(), ".mp4");
    if (!path) {
        exportJobDidEnd(ui::BackgroundJob::Outcome::kFailed, path.error(), "", texts);
        return;
    }
    // The worker reads its own copy of the journal; the raw image is never changed once made.
    auto journal = std::make_shared<const Journal>(*document->canvas()->journal());
    std::shared_ptr<const RawImage> raw = document->rawImageRef();
    auto work = [journal, raw, seconds, path = path.value()](ui::BackgroundJob::Control& control) -> fnd::Result<bool> {
        TimeLapseOptions options;
        options.seconds = seconds;
        options.onProgress = [&control](double done) { return control.setProgress(done); };
        auto made = WriteTimeLapse(*journal, raw, path, options);
        if (!made)
            return fnd::Error{made.error()};
        return !made->cancelled;
    };
    runExportJob(std::move(work), path.value(), std::move(texts));
}
