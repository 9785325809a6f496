#include "Host/HeadlessHost.h"

#include "Toolkit/Slider.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "Foundation/FileOps.h"
#include "Foundation/RunLoop.h"
#include "Host/VisibleViews.h"
#include "ImageIO/Encoder.h"
#include "Toolkit/ImageAsset.h"
#include "Toolkit/Slider.h"
#include "Toolkit/Window.h"

namespace host {

namespace {
constexpr double kAnimationFrameSeconds = 1.0 / 60; // frame spacing while animations run
constexpr int kMaxMoves = 100000;

std::string describe(gfx::Point p)
{
    char text[64];
    std::snprintf(text, sizeof text, "(%g, %g)", p.x, p.y);
    return text;
}

gfx::Point lerp(gfx::Point a, gfx::Point b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }
} // namespace

HeadlessHost::HeadlessHost(double scale)
    : m_previousScreenScale(ui::screenScale())
    , m_window(std::make_shared<ui::Window>(gfx::Rect(0, 0, kScreenWidthPoints, kScreenHeightPoints)))
{
    m_window->setScale(scale);
    ui::setScreenScale(m_window->scale());
    fnd::RunLoop::main().setSource([this](double) { frame(); });
}

HeadlessHost::~HeadlessHost()
{
    terminate();
    ui::Animator::shared().stopAll();
    fnd::RunLoop::main().setSource(nullptr);
    fnd::RunLoop::main().removeAllTimers();
    ui::setScreenScale(m_previousScreenScale);
}

double HeadlessHost::now() const { return fnd::clock().now(); }

void HeadlessHost::launch(const Application& application)
{
    m_application = application;
    m_window->makeKeyAndVisible();
    if (m_application.didFinishLaunching)
        m_application.didFinishLaunching(*m_window);
    fnd::RunLoop::main().runOnce();
}

void HeadlessHost::terminate()
{
    if (m_terminated)
        return;
    m_terminated = true;
    if (m_application.willTerminate)
        m_application.willTerminate();
}

void HeadlessHost::requestQuit(bool canAsk)
{
    if (m_terminated)
        return;
    if (!m_application.shouldTerminate || m_application.shouldTerminate(canAsk, [this] { terminate(); }))
        terminate();
    fnd::RunLoop::main().runOnce();
}

int HeadlessHost::exitStatus() const
{
    return m_terminated && m_application.exitStatus ? m_application.exitStatus() : 0;
}

void HeadlessHost::frame() { m_window->display(); }

fnd::Status HeadlessHost::checkInWindow(gfx::Point point) const
{
    if (!std::isfinite(point.x) || !std::isfinite(point.y) || !m_window->bounds().contains(point))
        return fnd::Error{"point " + describe(point) + " is outside the window"};
    return {};
}

fnd::Status HeadlessHost::tap(gfx::Point point)
{
    if (auto inside = checkInWindow(point); !inside)
        return inside;
    m_window->touchDown(0, point, now());
    advance(kTapSeconds);
    m_window->touchUp(0, point, now());
    fnd::RunLoop::main().runOnce();
    return {};
}

fnd::Status HeadlessHost::tap(const std::string& label)
{
    ui::View* view = findVisibleView(label);
    if (!view)
        return fnd::Error{"no visible view labelled \"" + label + "\""};
    return tapView(*view, label);
}

fnd::Status HeadlessHost::tapView(ui::View& view, const std::string& label)
{
    if (!isReachable(view, *m_window))
        return fnd::Error{"the view labelled \"" + label + "\" is covered by another view"};
    return tap(tapPointOf(view, *m_window));
}

fnd::Status HeadlessHost::pickPhoto(const std::string& file)
{
    std::string name = std::filesystem::path(file).filename().string();
    auto glance = [this] { advance(kGlanceSeconds); };
    ui::View* cell = name.empty() ? nullptr : revealView(*m_window, name, glance);
    if (!cell && name != file)
        cell = revealView(*m_window, file, glance);
    if (!cell)
        return fnd::Error{"no photo \"" + file + "\" in the open picker"};
    return tapView(*cell, name);
}

fnd::Status HeadlessHost::expectAlert(const std::string& title)
{
    if (findShowingAlert(*m_window, title))
        return {};
    std::string showing;
    for (const std::string& other : showingAlertTitles(*m_window))
        showing += (showing.empty() ? "" : ", ") + ("\"" + other + "\"");
    return fnd::Error{"no alert titled \"" + title + "\" is showing"
                      + (showing.empty() ? std::string(" (no alert is)") : " (showing: " + showing + ")")};
}

fnd::Status HeadlessHost::drag(gfx::Point from, gfx::Point to, int moves, double seconds)
{
    if (auto inside = checkInWindow(from); !inside)
        return inside;
    if (!std::isfinite(to.x) || !std::isfinite(to.y))
        return fnd::Error{"drag end " + describe(to) + " is not a point"};
    if (moves < 0 || moves > kMaxMoves)
        return fnd::Error{"drag needs 0 to " + std::to_string(kMaxMoves) + " moves"};
    if (!(seconds >= 0) || !std::isfinite(seconds))
        return fnd::Error{"drag needs a duration of zero seconds or more"};
    m_window->touchDown(0, from, now());
    const int steps = std::max(moves, 1);
    for (int i = 1; i <= moves; ++i) {
        advance(seconds / steps);
        m_window->touchMove(0, lerp(from, to, static_cast<double>(i) / moves), now());
    }
    if (moves == 0)
        advance(seconds);
    m_window->touchUp(0, to, now());
    fnd::RunLoop::main().runOnce();
    return {};
}

fnd::Status HeadlessHost::pinch(gfx::Point center, double scale)
{
    if (auto inside = checkInWindow(center); !inside)
        return inside;
    if (!(scale > 0) || !std::isfinite(scale))
        return fnd::Error{"pinch needs a scale above zero"};
    auto fingersAt = [center](double distance) {
        return std::vector<ui::Window::TouchInput>{{1, {center.x - distance / 2, center.y}},
                                                   {2, {center.x + distance / 2, center.y}}};
    };
    m_window->sendTouches(ui::TouchPhase::Began, fingersAt(kPinchStartDistance), now());
    for (int i = 1; i <= kPinchMoves; ++i) {
        advance(kPinchSeconds / kPinchMoves);
        double t = static_cast<double>(i) / kPinchMoves;
        double distance = kPinchStartDistance * (1 + (scale - 1) * t);
        m_window->sendTouches(ui::TouchPhase::Moved, fingersAt(distance), now());
    }
    m_window->sendTouches(ui::TouchPhase::Ended, fingersAt(kPinchStartDistance * scale), now());
    fnd::RunLoop::main().runOnce();
    return {};
}

std::optional<HeadlessHost::KeyStroke> HeadlessHost::parseKeyStroke(const std::string& text)
{
    std::istringstream in(text);
    std::string combination, phase, extra;
    in >> combination >> phase >> extra;
    KeyStroke stroke;
    if (!extra.empty() || (!phase.empty() && phase != "down" && phase != "up"))
        return std::nullopt;
    if (!phase.empty())
        stroke.phase = phase == "down" ? KeyStroke::Phase::Down : KeyStroke::Phase::Up;
    std::optional<ui::KeyEvent> event = ui::parseKeyCombination(combination);
    if (!event)
        return std::nullopt;
    stroke.event = *event;
    return stroke;
}

fnd::Status HeadlessHost::setSlider(const std::string& label, float value)
{
    auto* slider = dynamic_cast<ui::Slider*>(findVisibleView(label));
    if (!slider)
        return fnd::Error{"no visible slider labelled \"" + label + "\""};
    if (!std::isfinite(value))
        return fnd::Error{"a slider value must be a number"};
    slider->setValue(value);
    slider->sendActionsForControlEvents(ui::ControlEvent::ValueChanged);
    fnd::RunLoop::main().runOnce();
    return {};
}

fnd::Status HeadlessHost::key(const std::string& text)
{
    std::optional<KeyStroke> stroke = parseKeyStroke(text);
    if (!stroke)
        return fnd::Error{"\"" + text + "\" is not a key (try ctrl+z, bracketright, 3, escape or space down)"};
    ui::KeyEvent event = stroke->event;
    if (event.key == ui::Key::Q && event.hasOnly(ui::kModifierCtrl) && stroke->phase != KeyStroke::Phase::Up) {
        requestQuit();
        return {};
    }
    if (stroke->phase != KeyStroke::Phase::Up) {
        event.down = true;
        m_window->sendKey(event);
    }
    if (stroke->phase == KeyStroke::Phase::Press)
        advance(kKeySeconds);
    if (stroke->phase != KeyStroke::Phase::Down) {
        event.down = false;
        m_window->sendKey(event);
    }
    fnd::RunLoop::main().runOnce();
    return {};
}

void HeadlessHost::advance(double seconds)
{
    if (!(seconds > 0) || !std::isfinite(seconds)) {
        fnd::RunLoop::main().runOnce();
        return;
    }
    const double end = now() + seconds;
    // While something animates, stop at every frame so the drawing shows its in-between states.
    while (now() < end) {
        double next = m_window->hasRunningAnimations() ? std::min(end, now() + kAnimationFrameSeconds) : end;
        fnd::RunLoop::main().runUntil(next);
    }
}

ui::View* HeadlessHost::findVisibleView(const std::string& label) { return host::findVisibleView(*m_window, label); }

fnd::Status HeadlessHost::screenshot(const std::string& path)
{
    gfx::BitmapContext* store = m_window->backingStore();
    if (!store)
        return fnd::Error{"the window has no backing store"};
    m_window->addDirtyRect(m_window->bounds());
    m_window->display();
    imageio::PixelsView pixels{store->constData(), store->width(), store->height(), store->bytesPerRow(), true};
    auto png = imageio::encodePng(pixels);
    if (!png)
        return fnd::Error{"cannot encode the screenshot: " + png.error()};
    if (auto written = fnd::writeFileAtomically(path, png.value()); !written)
        return fnd::Error{"cannot write the screenshot: " + written.error()};
    return {};
}

} // namespace host
