#pragma once
// What a host needs from the application: a hook that builds the root view tree once the window
// exists, one that answers "may we quit now?" when a quit is asked for, one that runs before the
// process ends (so the application can save) and the exit status it ended with. Both hosts take
// the same hooks, so the same application runs in a real window and headless.
#include <functional>
#include <utility>

namespace ui {
class Window;
}

namespace host {

struct Application {
    Application() = default;
    // The two hooks most hosts' users give; the others are set by name.
    Application(std::function<void(ui::Window&)> launched, std::function<void()> terminating)
        : didFinishLaunching(std::move(launched)), willTerminate(std::move(terminating))
    {
    }

    std::function<void(ui::Window&)> didFinishLaunching;
    std::function<void()> willTerminate;
    // True to quit now; false to stay, in which case the application may call `terminateLater`
    // once it has asked the person (ui::ApplicationDelegate::applicationShouldTerminate). Absent:
    // always quit.
    std::function<bool(bool canAsk, std::function<void()> terminateLater)> shouldTerminate;
    // Absent: 0.
    std::function<int()> exitStatus;
};

// The point size of the phone screen the application is laid out for.
inline constexpr double kScreenWidthPoints = 320;
inline constexpr double kScreenHeightPoints = 480;

} // namespace host
