#pragma once
// Whether the window host has a display to show its window on. Without one SDL quietly falls
// back to an offscreen or dummy video driver and the application would run where nobody can see
// it; the host refuses instead, with a message saying what to do. A video driver chosen on
// purpose (SDL_VIDEODRIVER, as tests choose "dummy") is always respected.
#include <string>

namespace host {

struct DisplayEnvironment {
    const char* display = nullptr;         // $DISPLAY (X11)
    const char* waylandDisplay = nullptr;  // $WAYLAND_DISPLAY
    const char* requestedDriver = nullptr; // $SDL_VIDEODRIVER
};

// The environment of this process.
DisplayEnvironment currentDisplayEnvironment();

// Before starting SDL: true when nothing says where a window could appear.
bool lacksDisplay(const DisplayEnvironment& environment);
// After starting SDL with `driver` (SDL_GetCurrentVideoDriver): true when SDL settled on a
// driver that shows nothing although nobody asked for one.
bool fellBackToInvisibleDriver(const DisplayEnvironment& environment, const char* driver);

// The one line printed when there is no display.
std::string noDisplayMessage();

// Whether `folder` (/dev/dri) holds a GPU render node (renderD*). Without one, OpenGL would be
// Mesa's software renderer: tens of megabytes to show pixels a window surface shows as well.
bool hasGpuRenderNode(const std::string& folder = "/dev/dri");

} // namespace host
