#include "Host/SdlInput.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Host/ScrollZoom.h"
#include "Toolkit/Window.h"

namespace host {

void SdlInput::setGeometry(int windowWidth, int windowHeight, int pixelWidth, int pixelHeight, const ScreenFit& fit)
{
    m_windowWidth = std::max(windowWidth, 1);
    m_windowHeight = std::max(windowHeight, 1);
    m_pixelWidth = std::max(pixelWidth, 1);
    m_pixelHeight = std::max(pixelHeight, 1);
    m_fit = fit;
}

gfx::Point SdlInput::mousePixel(int x, int y) const
{
    return {static_cast<double>(x) * m_pixelWidth / m_windowWidth,
            static_cast<double>(y) * m_pixelHeight / m_windowHeight};
}

gfx::Point SdlInput::fingerPixel(float x, float y) const
{
    return {static_cast<double>(x) * m_pixelWidth, static_cast<double>(y) * m_pixelHeight};
}

bool SdlInput::handle(const SDL_Event& event, double timestamp)
{
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return handleMouseButton(event.button, timestamp);
    case SDL_MOUSEMOTION:
        // Touch screens also send synthetic mouse events; their fingers are handled as such.
        if (event.motion.which == SDL_TOUCH_MOUSEID)
            return false;
        if (!m_mouseDown)
            return true; // hovering: no finger on the glass
        m_window.touchMove(kMouseTouchId, toPoints(mousePixel(event.motion.x, event.motion.y)), timestamp);
        return true;
    case SDL_FINGERDOWN:
    case SDL_FINGERMOTION:
    case SDL_FINGERUP: return handleFinger(event.tfinger, timestamp);
    case SDL_MOUSEWHEEL: return handleWheel(event.wheel);
    default: return false;
    }
}

bool SdlInput::handleMouseButton(const SDL_MouseButtonEvent& button, double timestamp)
{
    if (button.which == SDL_TOUCH_MOUSEID || button.button != SDL_BUTTON_LEFT)
        return false;
    gfx::Point pixel = mousePixel(button.x, button.y);
    gfx::Point p = toPoints(pixel);
    if (button.type == SDL_MOUSEBUTTONDOWN && !m_mouseDown && onScreen(pixel)) {
        m_mouseDown = true;
        m_window.touchDown(kMouseTouchId, p, timestamp);
    } else if (button.type == SDL_MOUSEBUTTONUP && m_mouseDown) {
        m_mouseDown = false;
        m_window.touchUp(kMouseTouchId, p, timestamp);
    }
    return true;
}

bool SdlInput::handleFinger(const SDL_TouchFingerEvent& finger, double timestamp)
{
    if (!std::isfinite(finger.x) || !std::isfinite(finger.y))
        return true; // nothing sensible to deliver
    gfx::Point pixel = fingerPixel(finger.x, finger.y);
    gfx::Point p = toPoints(pixel);
    int id = touchIdForFinger(finger.fingerId, finger.type == SDL_FINGERDOWN && onScreen(pixel));
    if (id < 0)
        return true; // went down in the border, or before we were watching
    if (finger.type == SDL_FINGERDOWN) {
        m_window.touchDown(id, p, timestamp);
    } else if (finger.type == SDL_FINGERMOTION) {
        m_window.touchMove(id, p, timestamp);
    } else {
        m_window.touchUp(id, p, timestamp);
        forgetFinger(finger.fingerId);
    }
    return true;
}

bool SdlInput::handleWheel(const SDL_MouseWheelEvent& wheel)
{
    if (wheel.which == SDL_TOUCH_MOUSEID)
        return true;
    double notches = wheel.preciseY;
    if (wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
        notches = -notches;
    if (notches == 0 || !std::isfinite(notches))
        return true;
    if (!(SDL_GetModState() & KMOD_CTRL)) {
        // Wheel up shows what is above: the offset goes down.
        scrollScrollViewAt(m_window, toPoints(mousePixel(wheel.mouseX, wheel.mouseY)), -notches * kScrollPerWheelNotch);
        return true;
    }
    zoomScrollViewAt(m_window, toPoints(mousePixel(wheel.mouseX, wheel.mouseY)), std::pow(kZoomPerWheelNotch, notches));
    return true;
}

int SdlInput::touchIdForFinger(SDL_FingerID finger, bool create)
{
    auto it = std::find_if(m_fingers.begin(), m_fingers.end(), [finger](const auto& f) { return f.first == finger; });
    if (it != m_fingers.end())
        return it->second;
    if (!create)
        return -1;
    // Ids grow so a lifted finger's id is never reused by the next one while its touch is
    // still being finished by the window.
    int id = m_nextFingerId;
    m_nextFingerId = m_nextFingerId == std::numeric_limits<int>::max() ? kFirstFingerTouchId : m_nextFingerId + 1;
    m_fingers.emplace_back(finger, id);
    return id;
}

void SdlInput::forgetFinger(SDL_FingerID finger)
{
    std::erase_if(m_fingers, [finger](const auto& f) { return f.first == finger; });
}

void SdlInput::cancelAll(double timestamp)
{
    m_window.cancelAllTouches(timestamp);
    m_mouseDown = false;
    m_fingers.clear();
}

} // namespace host
