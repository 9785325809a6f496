// The brush's strokes and touches: touch-down set-up, the dabs of each move segment, splatter and
// the airbrush (on a timer for touches, by the given times otherwise).
#include <algorithm>
#include <cmath>

#include "BrushTool.h"
#include "Canvas.h"
#include "Foundation/RunLoop.h"
#include "Journal.h"
#include "Toolkit/Touch.h"
#include "Toolkit/View.h"

namespace {

// Far more dabs than any finger movement asks for; a bound against absurd spacings.
constexpr double kMaxDabsPerSegment = 100000;
// Splatter centres are whole pixels; positions beyond this are clamped before conversion.
constexpr double kMaxJitterCentre = 1 << 24;

int wholePixel(double v) { return static_cast<int>(std::clamp(std::trunc(v), -kMaxJitterCentre, kMaxJitterCentre)); }

// Times enter the brush in whole milliseconds, as the journal keeps them.
double roundTime(double t) { return Journal::secondsFromMilliseconds(Journal::millisecondsFromSeconds(t)); }

} // namespace

void BrushTool::beginStroke(gfx::Point at, double time, AirbrushClock clock)
{
    stopTimer(); // a finger that never lifted (should not happen) must not leave a timer behind
    at = RoundToInputGrid(at);
    time = roundTime(time);
    if (m_strokeBegan)
        m_strokeBegan();
    if (Journal* journal = m_canvas ? m_canvas->journal() : nullptr) {
        m_paintingSeed = journal->seed();
        m_nextStrokeNumber = journal->strokeCount();
        journal->recordSettings(settings(), true);
        journal->recordBegin(at, time, clock);
    }
    m_random = StrokeRandom(m_paintingSeed, m_nextStrokeNumber++);
    if (m_canvas) {
        if (m_mode == kModeEraser)
            m_canvas->flatten(); // the eraser acts on all paint, and is not undoable
        m_canvas->setCurStrokeOpacity(m_opacity);
    }
    if (m_airbrush)
        m_curPoint = at;
    m_strokeStart = time;
    m_airbrushDabsLaid = 0;
    m_airbrushByTime = clock == AirbrushClock::kByTime;
}

void BrushTool::moveStroke(gfx::Point from, gfx::Point to, double time)
{
    from = RoundToInputGrid(from);
    to = RoundToInputGrid(to);
    time = roundTime(time);
    if (Journal* journal = m_canvas ? m_canvas->journal() : nullptr) {
        journal->recordSettings(settings(), false);
        journal->recordMove(from, to, time);
    }
    layOwedAirbrushDabs(time);
    drawBrushStrokeFrom(from, to);
}

void BrushTool::endStroke(double time)
{
    time = roundTime(time);
    if (Journal* journal = m_canvas ? m_canvas->journal() : nullptr)
        journal->recordEnd(time);
    layOwedAirbrushDabs(time);
    m_airbrushByTime = false;
    stopTimer();
}

// What the timer of a touch's stroke lays while time passes, for strokes without a timer.
void BrushTool::layOwedAirbrushDabs(double time)
{
    if (!m_airbrush || !m_airbrushByTime || !(time >= m_strokeStart))
        return;
    const double due = std::min(std::floor((time - m_strokeStart) / kAirbrushInterval), kMaxDabsPerSegment);
    gfx::Rect dirty;
    for (; static_cast<double>(m_airbrushDabsLaid) < due; ++m_airbrushDabsLaid)
        dirty = dirty.united(drawBrushShapeAt(m_curPoint));
    if (!dirty.isEmpty())
        redraw(dirty);
}

void BrushTool::touchesBegan(const ui::TouchSet& touches, const ui::Event& event)
{
    if (!m_canvasView || !m_canvasView->isUserInteractionEnabled())
        return;
    const ui::Touch* touch = touches.anyObject();
    if (!touch)
        return;
    beginStroke(touch->locationInView(m_canvasView), event.timestamp(), AirbrushClock::kByTicks);
    if (m_airbrush)
        m_airbrushTimer = fnd::Timer::scheduledTimer(kAirbrushInterval, true,
                                                     [this](fnd::Timer& timer) { airbrushTimerEvent(timer); });
}

void BrushTool::touchesMoved(const ui::TouchSet& touches, const ui::Event& event)
{
    if (!m_canvasView || !m_canvasView->isUserInteractionEnabled())
        return;
    if (const ui::Touch* touch = touches.anyObject())
        moveStroke(touch->previousLocationInView(m_canvasView), touch->locationInView(m_canvasView), event.timestamp());
}

void BrushTool::touchesEnded(const ui::TouchSet&, const ui::Event& event) { endStroke(event.timestamp()); }
void BrushTool::touchesCancelled(const ui::TouchSet&, const ui::Event& event) { endStroke(event.timestamp()); }

// Dabs lie on whole pixels of the painting at its own size; a scaled replay puts them on the same
// pixels scaled, so that the large painting, shrunk, is the small one.
double BrushTool::onCanvasPixel(float v) const
{
    if (m_lengthScale == 1.0)
        return std::trunc(v);
    return std::trunc(static_cast<double>(v) / m_lengthScale + kScaledSnapSlack) * m_lengthScale;
}

void BrushTool::drawBrushStrokeFrom(gfx::Point from, gfx::Point to)
{
    // Points are single precision, as the toolkit's coordinates are on the phone.
    const float fx = static_cast<float>(from.x), fy = static_cast<float>(from.y);
    const float tx = static_cast<float>(to.x), ty = static_cast<float>(to.y);
    if (!m_fixedDirection)
        m_direction = static_cast<float>(std::atan2(-(static_cast<double>(ty) - fy), static_cast<double>(tx) - fx)
                                         * 180.0 / M_PI);
    gfx::Rect dirty(fx, fy, 1, 1);
    const float step = static_cast<float>(m_size) * m_spacing * static_cast<float>(m_lengthScale);
    const float dist = Distance({fx, fy}, {tx, ty});
    // Enough dabs that none lies more than a step from the one before (the first from the
    // segment's start, where the previous segment ended), evenly spread.
    double count = 1;
    if (step != 0)
        count = std::ceil(static_cast<double>(dist / step));
    // A segment of no length (and any nonsense count) still gets one dab, on its end.
    const int n = std::isfinite(count) ? static_cast<int>(std::clamp(count, 0.0, kMaxDabsPerSegment)) : 0;
    if (n == 0) {
        dirty = drawOrSplatterBrushAt({tx, ty});
    } else {
        const float dx = (tx - fx) / static_cast<float>(n), dy = (ty - fy) / static_cast<float>(n);
        for (int i = 1; i <= n; ++i) {
            const float px = fx + dx * static_cast<float>(i), py = fy + dy * static_cast<float>(i);
            dirty = dirty.united(drawOrSplatterBrushAt({onCanvasPixel(px), onCanvasPixel(py)}));
        }
    }
    redraw(dirty);
}

gfx::Rect BrushTool::drawOrSplatterBrushAt(gfx::Point p)
{
    if (!m_splatter)
        return drawBrushShapeAt(p);
    const int count = m_size / 10 + 2;
    // Jittered in whole pixels of the painting at its own size, then scaled: a scaled painting's
    // splatter lands where the small one's does, times the scale.
    const double k = m_lengthScale;
    const int ix = wholePixel(k == 1.0 ? p.x : std::round(p.x / k)),
              iy = wholePixel(k == 1.0 ? p.y : std::round(p.y / k));
    gfx::Rect covered(p.x, p.y, 1, 1);
    for (int i = 0; i < count; ++i) {
        const int jx = AddJitter(ix, m_size, m_random);
        const int jy = AddJitter(iy, m_size, m_random);
        covered = covered.united(drawBrushShapeAt({jx * k, jy * k}));
    }
    redraw(covered);
    return covered;
}

void BrushTool::airbrushTimerEvent(fnd::Timer&)
{
    if (!m_airbrushTimer || !m_airbrushTimer->isValid())
        return;
    airbrushTick();
    // Let the screen update and touches arrive while the finger rests.
    fnd::RunLoop::main().runFor(kAirbrushNestedRun);
}

void BrushTool::airbrushTick()
{
    if (Journal* journal = m_canvas ? m_canvas->journal() : nullptr)
        journal->recordAirbrushDab();
    redraw(drawBrushShapeAt(m_curPoint));
}

void BrushTool::stopTimer()
{
    if (m_airbrushTimer)
        m_airbrushTimer->invalidate();
    m_airbrushTimer.reset();
}

// Asks the canvas view to redraw `rect`, a union of unturned dab squares, grown so that it also
// holds the corners of the squares as turned by the current direction.
void BrushTool::redraw(const gfx::Rect& rect) const
{
    if (!m_canvasView)
        return;
    const double theta = (270.0 - static_cast<double>(m_direction)) * M_PI / 180.0;
    const double turnedSide = std::fabs(std::cos(theta)) + std::fabs(std::sin(theta)); // 1 .. sqrt(2)
    const double margin = std::max(0, m_size) * (turnedSide - 1) / 2 + 1;
    m_canvasView->setNeedsDisplayInRect(rect.insetBy(-margin, -margin));
}
