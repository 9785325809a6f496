#include "Toolkit/Animation.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Foundation/Clock.h"
#include "Toolkit/View.h"
#include "Toolkit/ViewRenderer.h"
#include "Toolkit/Window.h"

namespace ui {

namespace {
constexpr double kNotStarted = std::numeric_limits<double>::infinity();

double sanitizedSeconds(double s) { return std::isfinite(s) && s > 0 ? s : 0; }

// The cubic Bezier timing curve from (0, 0) to (1, 1) with control points (x1, y1) and (x2, y2),
// at time t: the curve's x is monotonic, so bisection finds the parameter whose x is t.
double cubicTiming(double x1, double y1, double x2, double y2, double t)
{
    if (t <= 0 || t >= 1) // exact ends, not the bisection's nearly
        return t <= 0 ? 0 : 1;
    auto along = [](double p1, double p2, double s) {
        const double r = 1 - s;
        return 3 * r * r * s * p1 + 3 * r * s * s * p2 + s * s * s;
    };
    double low = 0, high = 1;
    for (int i = 0; i < 48; ++i) { // far below a 1e-12 step in x
        const double mid = (low + high) / 2;
        (along(x1, x2, mid) < t ? low : high) = mid;
    }
    return along(y1, y2, (low + high) / 2);
}
} // namespace

double animationCurveValue(AnimationCurve curve, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    switch (curve) {
    case AnimationCurve::Linear: return t;
    case AnimationCurve::EaseIn: return cubicTiming(0.42, 0, 1, 1, t);
    case AnimationCurve::EaseOut: return cubicTiming(0, 0, 0.58, 1, t);
    case AnimationCurve::EaseInOut: return cubicTiming(0.42, 0, 0.58, 1, t);
    }
    return t;
}

Animator& Animator::shared()
{
    static Animator animator;
    return animator;
}

void Animator::beginAnimations()
{
    Block block;
    block.id = m_nextBlock++;
    m_openBlocks.push_back(std::move(block));
}

void Animator::setDuration(double seconds)
{
    if (!m_openBlocks.empty())
        m_openBlocks.back().duration = sanitizedSeconds(seconds);
}

void Animator::setCurve(AnimationCurve curve)
{
    if (!m_openBlocks.empty())
        m_openBlocks.back().curve = curve;
}

void Animator::setDidStopCallback(std::function<void(bool finished)> callback)
{
    if (!m_openBlocks.empty())
        m_openBlocks.back().didStop = std::move(callback);
}

void Animator::record(View& view, AnimatedProperty property, const Values& from, const Values& to)
{
    if (m_openBlocks.empty() || from == to || view.weak_from_this().expired())
        return;
    // A new animation of the same property takes over from wherever the old one had got to.
    for (std::size_t i = m_records.size(); i-- > 0;) {
        if (m_records[i].key == &view && m_records[i].property == property)
            dropRecord(i);
    }
    Record r;
    r.view = view.weak_from_this();
    r.key = &view;
    r.property = property;
    r.from = from;
    r.to = to;
    r.block = m_openBlocks.back().id;
    r.start = kNotStarted;
    m_records.push_back(r);
    ++view.m_runningAnimations;
}

void Animator::dropRecord(std::size_t index)
{
    if (auto v = m_records[index].view.lock())
        --v->m_runningAnimations;
    m_records.erase(m_records.begin() + static_cast<std::ptrdiff_t>(index));
}

void Animator::setTransition(AnimationTransition transition, View& container)
{
    if (m_openBlocks.empty() || transition == AnimationTransition::None || container.weak_from_this().expired())
        return;
    Window* window = container.window();
    double scale = window ? window->scale() : 1;
    gfx::Rect page = container.presentationBounds();
    auto snapshot = gfx::BitmapContext::create(static_cast<int>(std::ceil(page.width() * scale)),
                                               static_cast<int>(std::ceil(page.height() * scale)));
    if (!snapshot)
        return; // no room for the old look: the change simply shows at once
    snapshot->scale(scale, scale);
    snapshot->translate(-page.x(), -page.y());
    renderViewContent(*snapshot, container);
    Transition t;
    t.view = container.weak_from_this();
    t.key = &container;
    t.kind = transition;
    t.snapshot = std::move(snapshot);
    t.block = m_openBlocks.back().id;
    t.start = kNotStarted;
    m_transitions.push_back(std::move(t));
    ++container.m_runningAnimations;
}

void Animator::commitAnimations()
{
    if (m_openBlocks.empty())
        return;
    Block block = std::move(m_openBlocks.back());
    m_openBlocks.pop_back();
    double start = fnd::clock().now();
    auto begin = [&](auto& item) {
        if (item.block != block.id)
            return;
        item.start = start;
        item.duration = block.duration;
        item.curve = block.curve;
        if (auto v = item.view.lock())
            v->invalidateFootprint();
    };
    std::for_each(m_records.begin(), m_records.end(), begin);
    std::for_each(m_transitions.begin(), m_transitions.end(), begin);
    if (block.didStop)
        m_pendingCallbacks.emplace_back(block.id, std::move(block.didStop));
    unsigned id = block.id;
    m_endTimers.push_back(
        fnd::Timer::scheduledTimer(block.duration, false, [this, id](fnd::Timer&) { finishBlock(id, true); }));
}

double Animator::progressAt(double start, double duration, AnimationCurve curve) const
{
    double now = fnd::clock().now();
    if (start == kNotStarted || now < start)
        return 0;
    if (duration <= 0)
        return 1;
    return animationCurveValue(curve, (now - start) / duration);
}

bool Animator::presentationValue(const View& view, AnimatedProperty property, Values& out) const
{
    for (const auto& r : m_records) {
        if (r.key != &view || r.property != property)
            continue;
        double t = progressAt(r.start, r.duration, r.curve);
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = r.from[i] + (r.to[i] - r.from[i]) * t;
        return true;
    }
    return false;
}

bool Animator::transitionFrame(const View& view, TransitionFrame& out) const
{
    for (const auto& t : m_transitions) {
        if (t.key != &view)
            continue;
        out.kind = t.kind;
        out.progress = progressAt(t.start, t.duration, t.curve);
        out.snapshot = t.snapshot.get();
        return true;
    }
    return false;
}

void Animator::invalidateAnimatingViews()
{
    for (auto& r : m_records) {
        auto v = r.view.lock();
        Window* window = v ? v->window() : nullptr;
        if (!window)
            continue;
        gfx::Rect now = v->windowFootprint();
        window->addDirtyRect(r.drawnArea);
        window->addDirtyRect(now);
        r.drawnArea = now;
    }
    for (const auto& t : m_transitions) {
        if (auto v = t.view.lock())
            v->invalidateFootprint();
    }
}

void Animator::finishBlock(unsigned id, bool finished)
{
    for (std::size_t i = m_records.size(); i-- > 0;) {
        if (m_records[i].block != id)
            continue;
        auto v = m_records[i].view.lock();
        if (Window* window = v ? v->window() : nullptr)
            window->addDirtyRect(m_records[i].drawnArea);
        dropRecord(i);
        if (v)
            v->invalidateFootprint();
    }
    std::erase_if(m_transitions, [id](Transition& t) {
        if (t.block != id)
            return false;
        if (auto v = t.view.lock()) {
            --v->m_runningAnimations;
            v->invalidateFootprint();
        }
        return true;
    });
    std::erase_if(m_endTimers, [](const fnd::TimerRef& t) { return !t->isValid(); });
    auto it = std::find_if(m_pendingCallbacks.begin(), m_pendingCallbacks.end(),
                           [id](const auto& p) { return p.first == id; });
    if (it == m_pendingCallbacks.end())
        return;
    auto callback = std::move(it->second);
    m_pendingCallbacks.erase(it);
    callback(finished); // last: it may start new animations
}

void Animator::stopAll()
{
    for (auto& t : m_endTimers)
        t->invalidate();
    m_endTimers.clear();
    while (!m_records.empty())
        finishBlock(m_records.front().block, false);
    while (!m_transitions.empty())
        finishBlock(m_transitions.front().block, false);
    while (!m_pendingCallbacks.empty())
        finishBlock(m_pendingCallbacks.front().first, false);
    m_openBlocks.clear();
}

} // namespace ui
