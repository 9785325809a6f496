#pragma once
// A view that shows a larger content area through its bounds: contentOffset is the bounds'
// origin, so subviews (the content) move as the offset changes. The scroll view clips to its
// bounds and takes several fingers at once.
//
// Touches that reach the scroll view (on itself, or passed up the responder chain by content that
// does not handle them) drive it while scrolling is enabled: one finger pans within the content
// area (contentSize grown by contentInset); two fingers pinch-zoom the delegate's zooming view
// about the point between them, within minimumZoomScale..maximumZoomScale, and pan as they move
// together. While scrolling is disabled the scroll view leaves touches alone and passes them on
// up the responder chain, so content views take single touches themselves.
//
// Zooming gives the zooming view a scale transform and places it at the content's top-left
// corner; the content size follows its scaled size. A pinch continues from the scale the zooming
// view shows when it starts, even if that was set directly on the view.
//
// Momentum: a one-finger pan that lifts while moving keeps gliding and slows down (a run-loop
// timer moves the offset about 60 times a second), stopping at the content's edges or when a
// finger comes down again. setContentOffset(offset, true) glides to an offset the same way, which
// is what scrollToTop() does for a tap on the status bar.
#include "Foundation/Timer.h"
#include "Toolkit/EdgeInsets.h"
#include "Toolkit/View.h"

namespace ui {

class ScrollView;

class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate() = default;
    // The content view that zooms, or nullptr for none (then pinches only pan).
    virtual View* viewForZoomingInScrollView(ScrollView& scrollView) = 0;
};

class ScrollView : public View {
public:
    explicit ScrollView(const gfx::Rect& frame = {});
    ~ScrollView() override;

    gfx::Size contentSize() const { return m_contentSize; }
    void setContentSize(gfx::Size size);
    gfx::Point contentOffset() const { return bounds().origin; }
    // Set as given (not held within the content area, as panning is); stops any glide.
    void setContentOffset(gfx::Point offset);
    // Animated: glides there over a third of a second (ease out); otherwise as above.
    void setContentOffset(gfx::Point offset, bool animated);
    const EdgeInsets& contentInset() const { return m_contentInset; }
    // An offset resting at the old top-left edge moves to the new one, so content placed under a
    // bar by a top inset starts below the bar.
    void setContentInset(const EdgeInsets& insets);

    // The part of this view that lies below the window's bottom edge (out of sight) is added to
    // the bottom inset when it adjusts (tables do), so the content's end still scrolls into view.
    // Read when the offset is held in the content area, so it follows the view's place.
    bool adjustsInsetToWindow() const { return m_adjustsInsetToWindow; }
    void setAdjustsInsetToWindow(bool adjusts) { m_adjustsInsetToWindow = adjusts; }
    // contentInset() with that part added to its bottom.
    EdgeInsets adjustedContentInset() const;

    // Moves the content by `delta` within the content area, stopping any glide (the host's
    // mouse wheel).
    void scrollBy(gfx::Point delta);

    // Gliding after a flick or towards an animated offset.
    bool isDecelerating() const { return m_glide != nullptr; }
    void stopGliding();
    // Whether a tap on the status bar scrolls this view to the top (on by default).
    bool scrollsToTop() const { return m_scrollsToTop; }
    void setScrollsToTop(bool scrolls) { m_scrollsToTop = scrolls; }
    // Glides to the top edge of the content (the top inset showing).
    void scrollToTop();
    // Scrolls up or down just enough that `rect` (content coordinates) shows whole between the
    // insets, its top edge first when it is taller than that.
    void scrollRectToVisible(const gfx::Rect& rect, bool animated);

    bool isScrollEnabled() const { return m_scrollEnabled; }
    void setScrollEnabled(bool enabled);
    // Kept for callers; zooming always stops at the limits.
    bool bouncesZoom() const { return m_bouncesZoom; }
    void setBouncesZoom(bool bounces) { m_bouncesZoom = bounces; }
    // Kept for callers; content views receive touch-downs at once.
    bool delaysContentTouches() const { return m_delaysContentTouches; }
    void setDelaysContentTouches(bool delays) { m_delaysContentTouches = delays; }

    double minimumZoomScale() const { return m_minimumZoomScale; }
    void setMinimumZoomScale(double scale);
    double maximumZoomScale() const { return m_maximumZoomScale; }
    void setMaximumZoomScale(double scale);
    double zoomScale() const { return m_zoomScale; }
    // Zooms about the centre of the visible area, within the limits.
    void setZoomScale(double scale);
    // Multiplies the zoom by `factor` about `point` (this view's coordinates), which stays put on
    // screen; the host's zoom gesture (ctrl + mouse wheel).
    void zoomBy(double factor, gfx::Point point);

    ScrollViewDelegate* delegate() const { return m_delegate; }
    void setDelegate(ScrollViewDelegate* delegate) { m_delegate = delegate; }
    bool isDragging() const { return m_fingerCount == 1; }
    bool isZooming() const { return m_fingerCount == 2; }

    // While a finger is scrolling, further fingers inside go to the scroll view itself, so a
    // second finger on single-touch content still joins the gesture as a pinch.
    View* hitTest(gfx::Point point) override;
    void touchesBegan(const TouchSet& touches, const Event& event) override;
    void touchesMoved(const TouchSet& touches, const Event& event) override;
    void touchesEnded(const TouchSet& touches, const Event& event) override;
    void touchesCancelled(const TouchSet& touches, const Event& event) override;

protected:
    // Called after the content offset changed (a pan, a glide, a zoom or a direct set).
    virtual void didScroll() {}
    // The offset held within the content area grown by the insets.
    gfx::Point clampedOffset(gfx::Point offset) const;

private:
    // A glide in progress: momentum after a flick, or an animated move to an offset.
    struct Glide {
        enum class Kind { Momentum, Target } kind = Kind::Momentum;
        gfx::Point velocity; // momentum: points of offset per second
        gfx::Point from;     // target: where the glide started and where it ends
        gfx::Point to;
        double start = 0;
        double lastTick = 0;
    };
    View* zoomingView();
    // The scale the zooming view shows now.
    double shownZoomScale();
    // Zooms to `scale` keeping the zooming view's point `anchor` (its own coordinates) at
    // `visibleAnchor` (relative to the visible area's top-left corner).
    void zoomTo(double scale, gfx::Point anchor, gfx::Point visibleAnchor);
    gfx::Point visiblePoint(const Touch& touch) const;
    void restartGesture();
    void followFingers();
    // `lifted`: the fingers left the glass (a cancel throws nothing).
    void releaseTouches(const TouchSet& touches, bool lifted);
    // Sets the offset without stopping the glide in progress.
    void moveContent(gfx::Point offset);
    void trackVelocity(gfx::Point offset, double timestamp);
    void startMomentum(double timestamp);
    void startGlide(std::unique_ptr<Glide> glide);
    void glideStep();

    gfx::Size m_contentSize;
    EdgeInsets m_contentInset;
    bool m_scrollEnabled = true;
    bool m_bouncesZoom = true;
    bool m_delaysContentTouches = true;
    double m_minimumZoomScale = 1;
    double m_maximumZoomScale = 1;
    double m_zoomScale = 1;
    ScrollViewDelegate* m_delegate = nullptr;

    // The gesture in progress: up to two fingers and where things stood when it (re)started.
    std::shared_ptr<Touch> m_fingers[2];
    int m_fingerCount = 0;
    gfx::Point m_startOffset;
    gfx::Point m_startVisible; // pan: finger; pinch: midpoint, relative to the visible area
    gfx::Point m_zoomAnchor;   // pinch: content point under the midpoint, zooming view coords
    double m_startDistance = 0;
    double m_startScale = 1;

    // Pan velocity (points of offset per second) and the last sample it came from.
    gfx::Point m_velocity;
    gfx::Point m_lastSampleOffset;
    double m_lastSampleTime = 0;
    bool m_scrollsToTop = true;
    bool m_adjustsInsetToWindow = false;
    std::unique_ptr<Glide> m_glide;
    fnd::TimerRef m_glideTimer;
};

// Scrolls the frontmost visible scroll view under `root` that scrolls to top (depth first, front
// to back); false when there is none. The status bar calls it on a tap.
bool scrollToTopIn(View& root);

} // namespace ui
