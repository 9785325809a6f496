#pragma once
// The window's opening size and place. The first time, the window opens at the largest scale
// (in steps of 1/20, so both sides are whole pixels) at which the phone screen and a title bar
// fit the display's work area; afterwards at the size it had when Kanvaro last closed, and at
// that place where the window system lets a program know and set it (X11, not Wayland). Both
// are kept in Kanvaro's settings file, $XDG_CONFIG_HOME/kanvaro/kanvaro.conf (~/.config when
// unset), as "window-size=WxH" and "window-position=X,Y" lines; other lines are left as they are.
// A remembered frame never comes back larger than the work area or outside it.
#include <SDL.h>
#include <optional>
#include <string>

#include "Foundation/Result.h"

namespace host {

struct WindowFrame {
    int width = 0;
    int height = 0;
    std::optional<SDL_Point> position; // the inside's top-left corner, where known
};

// Room left above the window for a title bar that the window manager adds outside our size.
constexpr int kTitleBarAllowance = 40;

// Kanvaro's settings file.
std::string settingsFilePath();

// The window frame the file remembers; nothing when it is missing, unreadable or holds none.
std::optional<WindowFrame> loadWindowFrame(const std::string& path);
// Writes the frame into the file (atomically), keeping its other lines.
fnd::Status saveWindowFrame(const std::string& path, const WindowFrame& frame);

// The first opening size's scale for a work area (`usable`, from the display).
double openingScale(const SDL_Rect& usable);
// The frame to open with: the remembered one made to fit `usable`, else the first opening size,
// centred (no position).
WindowFrame openingFrame(const std::optional<WindowFrame>& remembered, const SDL_Rect& usable);

} // namespace host
