#pragma once
// The root of a view tree and the bridge to the host. The window
// - takes touch input from the host in window coordinates and delivers it to views: a touch-down
//   goes to the view hit-tested under it, and that touch then sticks to that view until it ends;
// - collects the areas that need redrawing (a short list of rectangles, merged into their union
//   when it grows) and redraws only those into its backing store, a gfx::BitmapContext of the
//   window's size times the host's scale factor.
// Window coordinates are the window's own bounds: (0, 0) to its width and height in points.
#include <memory>
#include <vector>

#include "Graphics/BitmapContext.h"
#include "Toolkit/KeyEvent.h"
#include "Toolkit/Touch.h"
#include "Toolkit/View.h"

namespace ui {

class Window : public View {
public:
    explicit Window(const gfx::Rect& frame = {0, 0, 320, 480});
    ~Window() override;

    // Backing store: (re)made at bounds x scale pixels. False (and a log line) when the size is
    // out of range; the old store is kept then.
    bool setScale(double scale);
    double scale() const { return m_scale; }
    gfx::BitmapContext* backingStore() const { return m_backingStore.get(); }

    // Redrawing.
    void addDirtyRect(const gfx::Rect& windowRect);
    const std::vector<gfx::Rect>& dirtyRects() const { return m_dirty; }
    bool needsDisplay() const { return !m_dirty.empty() || hasRunningAnimations(); }
    // Lays out, redraws the dirty region and returns the pixel rectangles of the backing store
    // that changed (valid until the next call), so the host can present only those.
    const std::vector<gfx::IntRect>& display();
    // True while animations or transitions run: the host keeps drawing frames.
    bool hasRunningAnimations() const;

    // Touch input from the host, in window coordinates.
    struct TouchInput {
        int id = 0;
        gfx::Point location;
    };
    void sendTouches(TouchPhase phase, const std::vector<TouchInput>& touches, double timestamp);
    void touchDown(int id, gfx::Point location, double timestamp)
    {
        sendTouches(TouchPhase::Began, {{id, location}}, timestamp);
    }
    void touchMove(int id, gfx::Point location, double timestamp)
    {
        sendTouches(TouchPhase::Moved, {{id, location}}, timestamp);
    }
    void touchUp(int id, gfx::Point location, double timestamp)
    {
        sendTouches(TouchPhase::Ended, {{id, location}}, timestamp);
    }
    // Cancels every touch in progress (the host lost focus, a gesture was taken over).
    void cancelAllTouches(double timestamp);
    std::size_t activeTouchCount() const { return m_touches.size(); }

    // Key input from the host (WindowKeys.cpp). The front-most modal panel (an action sheet or
    // alert, also while it leaves) takes every key; otherwise the key goes to the screen in
    // front, found from the front-most visible subview's controller through presented
    // controllers and navigation stacks, and travels the responder chain from there. True
    // when a responder acted on it.
    bool sendKey(const KeyEvent& event);
    // Where sendKey would deliver a key now, or nullptr.
    Responder* keyResponder() const;

    void makeKeyAndVisible();
    // The window made key last (alerts show in it), or nullptr once it is gone.
    static Window* keyWindow();

private:
    struct ActiveTouch {
        int id;
        TouchRef touch;
    };
    struct LastTap {
        gfx::Point location;
        double time = -1e9;
        int count = 0;
    };
    TouchRef beginTouch(const TouchInput& input, double timestamp);
    ActiveTouch* findTouch(int id);
    void deliver(TouchPhase phase, const std::vector<TouchRef>& changed, double timestamp);
    void drawRegion(const gfx::IntRect& pixels);

    double m_scale = 1;
    std::unique_ptr<gfx::BitmapContext> m_backingStore;
    std::vector<gfx::Rect> m_dirty;
    std::vector<gfx::Rect> m_drawing;
    std::vector<gfx::IntRect> m_drawn;
    std::vector<ActiveTouch> m_touches;
    LastTap m_lastTap;
};

} // namespace ui
