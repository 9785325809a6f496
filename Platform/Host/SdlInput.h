#pragma once
// Turns SDL input events into the window's touches: the left mouse button is one finger, each
// touch-screen finger is a finger of its own (so two-finger pinches just work), and ctrl + wheel
// zooms the scroll view under the pointer. Positions arrive in SDL window coordinates (mouse) or
// as fractions of the window (fingers) and are mapped onto the window's points.
#include <SDL.h>
#include <utility>
#include <vector>

#include "Graphics/Geometry.h"

namespace ui {
class Window;
}

namespace host {

class SdlInput {
public:
    explicit SdlInput(ui::Window& window) : m_window(window) { }

    // The size of the SDL window in its own coordinates (mouse positions are in these).
    void setWindowSize(int width, int height);

    // Handles one event at `timestamp` (fnd::clock() seconds); false when it is not input.
    bool handle(const SDL_Event& event, double timestamp);
    // Ends every touch in progress as cancelled (focus lost, window closing).
    void cancelAll(double timestamp);

    // Touch ids handed to the window.
    static constexpr int kMouseTouchId = 0;
    static constexpr int kFirstFingerTouchId = 1;

private:
    gfx::Point mousePoint(int x, int y) const;
    gfx::Point fingerPoint(float x, float y) const;
    bool handleMouseButton(const SDL_MouseButtonEvent& button, double timestamp);
    bool handleFinger(const SDL_TouchFingerEvent& finger, double timestamp);
    bool handleWheel(const SDL_MouseWheelEvent& wheel);
    int touchIdForFinger(SDL_FingerID finger, bool create);
    void forgetFinger(SDL_FingerID finger);

    ui::Window& m_window;
    int m_windowWidth = 0;
    int m_windowHeight = 0;
    bool m_mouseDown = false;
    std::vector<std::pair<SDL_FingerID, int>> m_fingers;
    int m_nextFingerId = kFirstFingerTouchId;
};

} // namespace host
