#pragma once
// Shared pieces of the toolkit tests: a manual clock with a clean run loop and animator, and a
// view that records what happens to it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Foundation/Clock.h"
#include "Foundation/Log.h"
#include "Foundation/RunLoop.h"
#include "Toolkit/View.h"
#include "Toolkit/Window.h"

namespace toolkit_test {

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fnd::RunLoop::main().removeAllTimers();
        window = std::make_shared<ui::Window>();
    }
    void TearDown() override
    {
        ui::Animator::shared().stopAll();
        fnd::RunLoop::main().removeAllTimers();
    }
    void runUntil(double t) { fnd::RunLoop::main().runUntil(t); }

    fnd::ManualClockScope clock;
    std::shared_ptr<ui::Window> window;
};

// Logs touch calls as "<name>.<phase>"; an optional hook runs inside touchesBegan.
class RecordingView : public ui::View {
public:
    RecordingView(std::vector<std::string>& log, std::string name, const gfx::Rect& frame)
        : View(frame)
        , m_log(log)
        , m_name(std::move(name))
    {
    }
    std::function<void()> onBegan;
    bool forward = false; // also pass touches on, as views that watch and forward do
    gfx::Point lastLocation;

    void touchesBegan(const ui::TouchSet& t, const ui::Event& e) override
    {
        note("began", t);
        if (onBegan)
            onBegan();
        if (forward)
            View::touchesBegan(t, e);
    }
    void touchesMoved(const ui::TouchSet& t, const ui::Event& e) override
    {
        note("moved", t);
        if (forward)
            View::touchesMoved(t, e);
    }
    void touchesEnded(const ui::TouchSet& t, const ui::Event& e) override
    {
        note("ended", t);
        if (forward)
            View::touchesEnded(t, e);
    }
    void touchesCancelled(const ui::TouchSet& t, const ui::Event& e) override
    {
        note("cancelled", t);
        if (forward)
            View::touchesCancelled(t, e);
    }

private:
    void note(const char* phase, const ui::TouchSet& t)
    {
        m_log.push_back(m_name + "." + phase);
        lastLocation = t.anyObject()->locationInView(this);
    }
    std::vector<std::string>& m_log;
    std::string m_name;
};

inline std::shared_ptr<ui::View> coloredView(const gfx::Rect& frame, gfx::Color color)
{
    auto v = std::make_shared<ui::View>(frame);
    v->setBackgroundColor(color);
    return v;
}

} // namespace toolkit_test
