#pragma once
// The application without a display: the same window and view tree, drawn into the in-memory
// backing store, with a manual clock so that time moves only when a test or script says so.
// Input is synthesised as a person would make it: taps, drags and pinches at points in window
// coordinates, each advancing the clock the way a finger takes time.
//
// One host at a time: it installs the manual clock, the screen scale and the run loop's source
// for its lifetime,
// and on destruction stops animations and drops the run loop's timers.
#include <memory>
#include <optional>
#include <string>

#include "Foundation/Clock.h"
#include "Foundation/Result.h"
#include "Graphics/Geometry.h"
#include "Host/Application.h"
#include "Toolkit/KeyEvent.h"

namespace ui {
class View;
class Window;
} // namespace ui

namespace host {

class HeadlessHost {
public:
    explicit HeadlessHost(double scale = 2);
    ~HeadlessHost();
    HeadlessHost(const HeadlessHost&) = delete;
    HeadlessHost& operator=(const HeadlessHost&) = delete;

    ui::Window& window() { return *m_window; }
    double now() const;

    // Runs the application's launch hook and draws the first frame.
    void launch(const Application& application);
    // Runs the termination hook (once), without asking.
    void terminate();
    // Asks the application whether it may quit, as closing the window does (`canAsk` false: as a
    // quit while the window is hidden); terminates when it may, now or once it has asked.
    void requestQuit(bool canAsk = true);
    bool hasTerminated() const { return m_terminated; }
    // The application's exit status (0 before it has terminated).
    int exitStatus() const;

    // Input. Points are window coordinates; a point outside the window is refused.
    static constexpr double kTapSeconds = 0.05;
    fnd::Status tap(gfx::Point point);
    // Taps the middle of the front-most visible view with the accessibility label; refused when
    // something else lies over that point (a sheet's dimming, another screen).
    fnd::Status tap(const std::string& label);
    // Taps the photo `file` (its file name is the cell's label) in the open picker, scrolling the
    // grid a screenful at a time, kGlanceSeconds each, until the cell shows.
    static constexpr double kGlanceSeconds = 0.1;
    fnd::Status pickPhoto(const std::string& file);
    // Touch-down at `from`, `moves` moves evenly spaced in place and time over `seconds` ending
    // at `to`, then touch-up there.
    fnd::Status drag(gfx::Point from, gfx::Point to, int moves = 10, double seconds = 0.3);
    // Two fingers on a horizontal line through `center`, moving apart (scale > 1) or together
    // until their distance is `scale` times the starting one.
    static constexpr double kPinchStartDistance = 80;
    static constexpr int kPinchMoves = 10;
    static constexpr double kPinchSeconds = 0.3;
    fnd::Status pinch(gfx::Point center, double scale);

    // Keys: "COMBINATION" presses and releases the key (kKeySeconds apart); "COMBINATION down"
    // and "COMBINATION up" do one half, so a key can be held across other steps. Combinations are
    // read by ui::parseKeyCombination ("ctrl+z", "bracketright", "3", "escape", "space").
    // Ctrl+Q quits as the desktop window does: requestQuit().
    static constexpr double kKeySeconds = 0.05;
    struct KeyStroke {
        enum class Phase { Press, Down, Up };
        ui::KeyEvent event;
        Phase phase = Phase::Press;
    };
    static std::optional<KeyStroke> parseKeyStroke(const std::string& text);
    fnd::Status key(const std::string& text);
    // Moves the visible slider with the accessibility label to `value` (held in its range) and
    // sends its value change, as a finger dragging the thumb there would.
    fnd::Status setSlider(const std::string& label, float value);

    // Runs the run loop for `seconds`: timers fire on time, animations draw their frames.
    void advance(double seconds);

    ui::View* findVisibleView(const std::string& label);
    // Succeeds when an alert titled `title` (for an untitled alert: with that message) is up.
    fnd::Status expectAlert(const std::string& title);

    // Redraws everything and writes the backing store as a PNG (atomically).
    fnd::Status screenshot(const std::string& path);

private:
    fnd::Status checkInWindow(gfx::Point point) const;
    fnd::Status tapView(ui::View& view, const std::string& label);
    void frame();

    fnd::ManualClockScope m_clock;
    double m_previousScreenScale;
    std::shared_ptr<ui::Window> m_window;
    Application m_application;
    bool m_terminated = false;
};

} // namespace host
