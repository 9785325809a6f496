#pragma once
// A view that writes down every touch it is sent: each touch with its phase, window location, time
// and the number of touches in the call (what the hosts synthesise), and, given a log shared by
// several views, "<name>.<phase>" lines that show the order in which the views were called.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "Toolkit/Touch.h"
#include "Toolkit/View.h"

namespace test_support {

struct RecordedTouch {
    ui::TouchPhase phase;
    gfx::Point location; // window coordinates
    double timestamp;
    int touchesInCall;
};

class RecordingView : public ui::View {
public:
    using View::View;
    RecordingView(std::vector<std::string>& sharedLog, std::string name, const gfx::Rect& frame)
        : View(frame), m_sharedLog(&sharedLog), m_name(std::move(name))
    {
    }

    std::vector<RecordedTouch> log;
    int draws = 0;
    gfx::Point lastLocation;       // of the last call's touch, in this view's coordinates
    std::function<void()> onBegan; // runs inside touchesBegan
    bool forward = false;          // also pass touches on, as views that watch and forward do

    void touchesBegan(const ui::TouchSet& t, const ui::Event& e) override
    {
        record(ui::TouchPhase::Began, "began", t);
        if (onBegan)
            onBegan();
        if (forward)
            View::touchesBegan(t, e);
    }
    void touchesMoved(const ui::TouchSet& t, const ui::Event& e) override
    {
        record(ui::TouchPhase::Moved, "moved", t);
        if (forward)
            View::touchesMoved(t, e);
    }
    void touchesEnded(const ui::TouchSet& t, const ui::Event& e) override
    {
        record(ui::TouchPhase::Ended, "ended", t);
        if (forward)
            View::touchesEnded(t, e);
    }
    void touchesCancelled(const ui::TouchSet& t, const ui::Event& e) override
    {
        record(ui::TouchPhase::Cancelled, "cancelled", t);
        if (forward)
            View::touchesCancelled(t, e);
    }
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
    void record(ui::TouchPhase phase, const char* phaseName, const ui::TouchSet& touches)
    {
        if (m_sharedLog)
            m_sharedLog->push_back(m_name + "." + phaseName);
        if (const ui::Touch* any = touches.anyObject())
            lastLocation = any->locationInView(this);
        for (const auto& t : touches)
            log.push_back({phase, t->windowLocation(), t->timestamp(), static_cast<int>(touches.count())});
    }

    std::vector<std::string>* m_sharedLog = nullptr;
    std::string m_name;
};

} // namespace test_support
