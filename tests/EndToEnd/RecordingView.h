#pragma once
// A view that writes down every touch it is sent, for checking what the hosts synthesise.
#include <vector>

#include "Toolkit/Touch.h"
#include "Toolkit/View.h"

struct RecordedTouch {
    ui::TouchPhase phase;
    gfx::Point location; // window coordinates
    double timestamp;
    int touchesInCall;
};

class RecordingView : public ui::View {
public:
    using View::View;
    std::vector<RecordedTouch> log;
    int draws = 0;

    void touchesBegan(const ui::TouchSet& t, const ui::Event&) override { record(ui::TouchPhase::Began, t); }
    void touchesMoved(const ui::TouchSet& t, const ui::Event&) override { record(ui::TouchPhase::Moved, t); }
    void touchesEnded(const ui::TouchSet& t, const ui::Event&) override { record(ui::TouchPhase::Ended, t); }
    void touchesCancelled(const ui::TouchSet& t, const ui::Event&) override { record(ui::TouchPhase::Cancelled, t); }
    void drawRect(gfx::BitmapContext&, const gfx::Rect&) override { ++draws; }

    std::vector<RecordedTouch> inPhase(ui::TouchPhase phase) const
    {
        std::vector<RecordedTouch> out;
        for (const auto& r : log) {
            if (r.phase == phase)
                out.push_back(r);
        }
        return out;
    }

private:
    void record(ui::TouchPhase phase, const ui::TouchSet& touches)
    {
        for (const auto& t : touches)
            log.push_back({phase, t->windowLocation(), t->timestamp(), static_cast<int>(touches.count())});
    }
};
