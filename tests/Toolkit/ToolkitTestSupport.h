#pragma once
// Shared pieces of the toolkit tests: a manual clock with a clean run loop and animator, and a
// view that records what happens to it (Support/RecordingView.h).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Foundation/Clock.h"
#include "Foundation/Log.h"
#include "Foundation/RunLoop.h"
#include "Support/RecordingView.h"
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

using test_support::RecordingView;

inline std::shared_ptr<ui::View> coloredView(const gfx::Rect& frame, gfx::Color color)
{
    auto v = std::make_shared<ui::View>(frame);
    v->setBackgroundColor(color);
    return v;
}

} // namespace toolkit_test
