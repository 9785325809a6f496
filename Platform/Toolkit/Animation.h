#pragma once
// Implicit view animations. Between beginAnimations() and commitAnimations(), changes to a view's
// alpha, center, bounds (so frame) and transform are recorded: the model takes the new value at
// once, while drawing shows the value moving from the one on screen to the new one over the
// duration, timed by fnd::clock(). A transition (a page curl) can be attached to a container view
// in the same block: the container's look at that moment is kept and the changes made to its
// subviews in the block are revealed by the curl.
//
// The did-stop callback of a block runs from a run-loop timer when the block's time is over (also
// for a zero duration), so it arrives exactly on time under a ManualClock.
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "Foundation/Timer.h"
#include "Graphics/Geometry.h"

namespace gfx {
class BitmapContext;
}

namespace ui {

class View;

enum class AnimationCurve { EaseInOut, EaseIn, EaseOut, Linear };
enum class AnimationTransition { None, CurlUp, CurlDown };

// The fraction of the change shown at `progress` (0..1) of the time, for a curve.
double animationCurveValue(AnimationCurve curve, double progress);

enum class AnimatedProperty { Alpha, Center, Bounds, Transform };

class Animator {
public:
    // The one animator of the main thread.
    static Animator& shared();

    void beginAnimations();
    void setDuration(double seconds);
    void setCurve(AnimationCurve curve);
    void setDidStopCallback(std::function<void(bool finished)> callback);
    void setTransition(AnimationTransition transition, View& container);
    void commitAnimations();
    // True inside a begin/commit block.
    bool isRecording() const { return !m_openBlocks.empty(); }

    // Called by View setters inside a block: the value on screen now and the new model value.
    using Values = std::array<double, 6>;
    void record(View& view, AnimatedProperty property, const Values& from, const Values& to);
    // The in-between value of a property now; false when the property is not animating.
    bool presentationValue(const View& view, AnimatedProperty property, Values& out) const;

    // A transition in progress on the view: its kind, eased progress and the kept old look.
    struct TransitionFrame {
        AnimationTransition kind = AnimationTransition::None;
        double progress = 0;
        const gfx::BitmapContext* snapshot = nullptr;
    };
    bool transitionFrame(const View& view, TransitionFrame& out) const;

    bool hasRunningAnimations() const { return !m_records.empty() || !m_transitions.empty(); }
    // Marks the screen area of every animating view for redraw (the window calls it per frame).
    void invalidateAnimatingViews();
    // Ends every animation at once (tests and hosts shutting down); callbacks get finished = false.
    void stopAll();

private:
    struct Block {
        unsigned id = 0;
        double duration = 0.2;
        AnimationCurve curve = AnimationCurve::EaseInOut;
        std::function<void(bool)> didStop;
    };
    struct Record {
        std::weak_ptr<View> view;
        const View* key = nullptr;
        AnimatedProperty property;
        Values from;
        Values to;
        unsigned block = 0;
        double start = 0; // +infinity until committed: the old value stays on screen
        double duration = 0;
        AnimationCurve curve = AnimationCurve::Linear;
        gfx::Rect drawnArea; // window area at the last frame, redrawn once the view has moved on
    };
    struct Transition {
        std::weak_ptr<View> view;
        const View* key = nullptr;
        AnimationTransition kind;
        std::shared_ptr<gfx::BitmapContext> snapshot;
        unsigned block = 0;
        double start = 0;
        double duration = 0;
        AnimationCurve curve = AnimationCurve::EaseInOut;
    };

    Animator() = default;
    double progressAt(double start, double duration, AnimationCurve curve) const;
    void finishBlock(unsigned id, bool finished);
    void dropRecord(std::size_t index);

    std::vector<Block> m_openBlocks;
    std::vector<Record> m_records;
    std::vector<Transition> m_transitions;
    std::vector<std::pair<unsigned, std::function<void(bool)>>> m_pendingCallbacks;
    std::vector<fnd::TimerRef> m_endTimers;
    unsigned m_nextBlock = 1;
};

} // namespace ui
