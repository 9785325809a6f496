#pragma once
// Turns SDL input events into the window's touches: the left mouse button is one finger, each
// touch-screen finger is a finger of its own (so two-finger pinches just work), and ctrl + wheel
// zooms the scroll view under the pointer. Positions arrive in SDL window coordinates (mouse) or
// as fractions of the window (fingers); both become window pixels (HiDPI windows have more pixels
// than coordinates) and then points through the same fit the screen is drawn with. A touch that
// starts in the border around the screen is ignored.
#include <SDL.h>
#include <utility>
#include <vector>

#include "Graphics/Geometry.h"
#include "Host/ScreenFit.h"

namespace ui {
class Window;
}

namespace host {

class SdlInput {
public:
    explicit SdlInput(ui::Window& window) : m_window(window) {}

    // The SDL window's size in its own coordinates (mouse positions are in these) and in pixels,
    // and where the screen is drawn in those pixels.
    void setGeometry(int windowWidth, int windowHeight, int pixelWidth, int pixelHeight, const ScreenFit& fit);

    // Handles one event at `timestamp` (fnd::clock() seconds); false when it is not input.
    bool handle(const SDL_Event& event, double timestamp);
    // Ends every touch in progress as cancelled (focus lost, window closing).
    void cancelAll(double timestamp);

    // Touch ids handed to the window.
    static constexpr int kMouseTouchId = 0;
    static constexpr int kFirstFingerTouchId = 1;

private:
    gfx::Point mousePixel(int x, int y) const;
    gfx::Point fingerPixel(float x, float y) const;
    gfx::Point toPoints(gfx::Point pixel) const { return m_fit.toPoints(pixel.x, pixel.y); }
    bool onScreen(gfx::Point pixel) const { return m_fit.containsPixel(pixel.x, pixel.y); }
    bool handleMouseButton(const SDL_MouseButtonEvent& button, double timestamp);
    bool handleFinger(const SDL_TouchFingerEvent& finger, double timestamp);
    bool handleWheel(const SDL_MouseWheelEvent& wheel);
    int touchIdForFinger(SDL_FingerID finger, bool create);
    void forgetFinger(SDL_FingerID finger);

    ui::Window& m_window;
    int m_windowWidth = 1;
    int m_windowHeight = 1;
    int m_pixelWidth = 1;
    int m_pixelHeight = 1;
    ScreenFit m_fit;
    bool m_mouseDown = false;
    std::vector<std::pair<SDL_FingerID, int>> m_fingers;
    int m_nextFingerId = kFirstFingerTouchId;
};

} // namespace host
