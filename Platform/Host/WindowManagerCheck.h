#pragma once
// Whether a window manager can make our window full screen. Full screen on a desktop is the window
// manager's job: SDL asks it and then takes the screen's size for granted. On an X server with no
// window manager (a kiosk, a bare touch device) nobody answers, and the window would keep its size
// while we drew for the screen's; there the host resizes the window itself.
struct SDL_Window;

namespace host {

// True when `window` is on an X server whose root window names no EWMH window manager
// (_NET_SUPPORTING_WM_CHECK). False on Wayland, on other drivers, and when it cannot be told.
bool lacksWindowManager(SDL_Window* window);

} // namespace host
