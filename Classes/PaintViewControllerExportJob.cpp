// The painting screen's long exports (time-lapse, full size): the work on a thread of its own
// while an alert shows its progress on a bar and offers Cancel; the screen stays responsive.
#include <algorithm>
#include <filesystem>

#include "Foundation/Log.h"
#include "Foundation/Paths.h"
#include "PaintViewController.h"

namespace {

std::string percentDone(double fraction)
{
    return std::to_string(static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100)) + "%";
}

} // namespace

void PaintViewController::runExportJob(ui::BackgroundJob::Work work, const std::string& path, ExportJobTexts texts)
{
    m_exportProgressAlert = std::make_shared<ui::AlertView>(texts.progressTitle, percentDone(0), this, "Cancel",
                                                            std::vector<std::string>{});
    m_exportProgressAlert->setProgress(0);
    m_exportProgressAlert->show();
    std::weak_ptr<bool> alive = m_alive;
    m_exportJob = ui::BackgroundJob::start(
        std::move(work),
        [this, alive](double fraction) {
            if (!alive.lock() || !m_exportProgressAlert)
                return;
            m_exportProgressAlert->setProgress(fraction);
            m_exportProgressAlert->setMessage(percentDone(fraction));
        },
        [this, alive, path, texts = std::move(texts)](ui::BackgroundJob::Outcome outcome, const std::string& reason) {
            if (alive.lock())
                exportJobDidEnd(outcome, reason, path, texts);
        });
}

void PaintViewController::exportJobDidEnd(ui::BackgroundJob::Outcome outcome, const std::string& reason,
                                          const std::string& path, const ExportJobTexts& texts)
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
        fnd::log("The " + texts.what + " could not be made: " + reason);
        std::make_shared<ui::AlertView>(kExportFailedTitle, "The " + texts.what + " could not be exported: " + reason,
                                        this, "OK", std::vector<std::string>{})
            ->show();
        return;
    case ui::BackgroundJob::Outcome::kDone:
        fnd::log("Saved the " + texts.what + " as " + path);
        const std::string folder = std::filesystem::path(path).parent_path().string();
        std::make_shared<ui::AlertView>("", texts.completed + "\nSaved in " + fnd::folderForPeople(folder), this, "OK",
                                        std::vector<std::string>{})
            ->show();
        return;
    }
}
