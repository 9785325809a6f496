#pragma once
// What a host needs from the application: a hook that builds the root view tree once the window
// exists, and one that runs before the process ends (so the application can save). Both hosts
// take the same hooks, so the same application runs in a real window and headless.
#include <functional>

namespace ui {
class Window;
}

namespace host {

struct Application {
    std::function<void(ui::Window&)> didFinishLaunching;
    std::function<void()> willTerminate;
};

// The point size of the phone screen the application is laid out for.
inline constexpr double kScreenWidthPoints = 320;
inline constexpr double kScreenHeightPoints = 480;

} // namespace host
