// The painting screen's time-lapse export: the length asked in a sheet, then the video made from
// a copy of the journal on a thread of its own while an alert shows progress and offers Cancel.
#include <algorithm>

#include "DataModel.h"
#include "Foundation/Log.h"
#include "Foundation/Paths.h"
#include "Journal.h"
#include "PaintViewController.h"
#include "TimeLapse.h"
#include "Toolkit/PhotoAlbum.h"

namespace {

std::string percentDone(double fraction)
{
    return std::to_string(static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100)) + "%";
}

} // namespace

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
    const std::string folder = fnd::exportsPath();
    auto path = ui::newExportPath(folder, ".mp4");
    if (!path) {
        timeLapseDidEnd(ui::BackgroundJob::Outcome::kFailed, path.error(), "");
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
    m_exportProgressAlert = std::make_shared<ui::AlertView>(kTimeLapseProgressTitle, percentDone(0), this, "Cancel",
                                                            std::vector<std::string>{});
    m_exportProgressAlert->show();
    std::weak_ptr<bool> alive = m_alive;
    m_exportJob = ui::BackgroundJob::start(
        std::move(work),
        [this, alive](double fraction) {
            if (alive.lock() && m_exportProgressAlert)
                m_exportProgressAlert->setMessage(percentDone(fraction));
        },
        [this, alive, path = path.value()](ui::BackgroundJob::Outcome outcome, const std::string& reason) {
            if (alive.lock())
                timeLapseDidEnd(outcome, reason, path);
        });
}

void PaintViewController::timeLapseDidEnd(ui::BackgroundJob::Outcome outcome, const std::string& reason,
                                          const std::string& path)
{
    if (m_exportProgressAlert) {
        m_exportProgressAlert->dismissWithClickedButtonIndex(0, true);
        m_exportProgressAlert.reset();
    }
    // Dropped after this call returns: the job is still in its own completion now.
    fnd::Timer::scheduledTimer(0, false,
                               [job = std::shared_ptr<ui::BackgroundJob>(std::move(m_exportJob))](fnd::Timer&) {});
    switch (outcome) {
    case ui::BackgroundJob::Outcome::kCancelled: return;
    case ui::BackgroundJob::Outcome::kFailed:
        fnd::log("The time-lapse could not be made: " + reason);
        std::make_shared<ui::AlertView>(kExportFailedTitle, "The time-lapse could not be exported: " + reason, this,
                                        "OK", std::vector<std::string>{})
            ->show();
        return;
    case ui::BackgroundJob::Outcome::kDone:
        fnd::log("Saved the time-lapse as " + path);
        std::make_shared<ui::AlertView>("", "Export Time-lapse Completed\nSaved in " + fnd::exportsPath(), this, "OK",
                                        std::vector<std::string>{})
            ->show();
        return;
    }
}
