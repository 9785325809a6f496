#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Foundation/Clock.h"
#include "Foundation/RunLoop.h"
#include "Foundation/Timer.h"

namespace {

class RunLoopTest : public ::testing::Test {
protected:
    void SetUp() override { loop().removeAllTimers(); }
    void TearDown() override
    {
        loop().removeAllTimers();
        loop().setSource(nullptr);
    }
    static fnd::RunLoop& loop() { return fnd::RunLoop::main(); }
    double now() const { return fnd::clock().now(); }

    fnd::ManualClockScope m_clock;
    std::vector<std::string> m_log;
};

TEST_F(RunLoopTest, TimersFireInFireDateOrderWithTiesInSchedulingOrder)
{
    auto note = [this](const char* name) { return [this, name](fnd::Timer&) { m_log.push_back(name); }; };
    fnd::Timer::scheduledTimer(0.5, false, note("late"));
    fnd::Timer::scheduledTimer(0.25, false, note("first"));
    fnd::Timer::scheduledTimer(0.25, false, note("second"));
    loop().runUntil(0.4);
    EXPECT_EQ(m_log, (std::vector<std::string>{"first", "second"}));
    loop().runUntil(1.0);
    EXPECT_EQ(m_log.back(), "late");
    EXPECT_EQ(now(), 1.0);
    EXPECT_EQ(loop().timerCount(), 0u);
}

TEST_F(RunLoopTest, OneShotFiresExactlyAtItsDateWithTheManualClock)
{
    double firedAt = -1;
    auto timer = fnd::Timer::scheduledTimer(2.0, false, [&](fnd::Timer&) { firedAt = now(); });
    loop().runUntil(1.999);
    EXPECT_EQ(firedAt, -1);
    EXPECT_TRUE(timer->isValid());
    loop().runUntil(2.0); // due at the date itself: fires
    EXPECT_EQ(firedAt, 2.0);
    EXPECT_FALSE(timer->isValid());
}

TEST_F(RunLoopTest, RepeatingTimerTicksOnScheduleAndStopsWhenInvalidatedInItsCallback)
{
    std::vector<double> ticks;
    fnd::Timer::scheduledTimer(0.25, true, [&](fnd::Timer& t) {
        ticks.push_back(now());
        if (ticks.size() == 3)
            t.invalidate();
    });
    loop().runUntil(5);
    EXPECT_EQ(ticks, (std::vector<double>{0.25, 0.5, 0.75}));
    EXPECT_EQ(loop().timerCount(), 0u);
}

TEST_F(RunLoopTest, NestedRunInsideARepeatingTimerDoesNotReenterItAndOthersKeepFiring)
{
    std::vector<double> ticks;
    int depthSeen = 0;
    auto airbrush = fnd::Timer::scheduledTimer(0.25, true, [&](fnd::Timer&) {
        ticks.push_back(now());
        loop().runFor(0.2); // the airbrush tick's nested run
    });
    std::vector<double> other;
    fnd::Timer::scheduledTimer(0.3, false, [&](fnd::Timer&) {
        other.push_back(now());
        depthSeen = loop().depth();
    });
    loop().runUntil(1.0);
    airbrush->invalidate();
    EXPECT_EQ(ticks, (std::vector<double>{0.25, 0.5, 0.75, 1.0}));
    EXPECT_EQ(other, (std::vector<double>{0.3}));
    EXPECT_EQ(depthSeen, 2);        // fired inside the nested run
    EXPECT_NEAR(now(), 1.2, 1e-12); // the last tick's nested run finished its 0.2 s
}

TEST_F(RunLoopTest, RepeatingTimerCatchesUpOnceAfterALongNestedRun)
{
    std::vector<double> ticks;
    fnd::Timer::scheduledTimer(0.25, true, [&](fnd::Timer&) {
        ticks.push_back(now());
        if (ticks.size() == 1)
            loop().runFor(1.1); // misses four ticks
    });
    loop().runUntil(2.0);
    // Fired at 0.25, returned at 1.35: next tick at 1.5, not a burst of missed ones.
    EXPECT_EQ(ticks, (std::vector<double>{0.25, 1.5, 1.75, 2.0}));
}

TEST_F(RunLoopTest, OneShotDueDuringABusyStretchFiresOnceLate)
{
    std::vector<double> fired;
    fnd::Timer::scheduledTimer(0.5, false, [&](fnd::Timer&) { fired.push_back(now()); });
    m_clock.advance(3); // the thread was busy outside the run loop
    loop().runOnce();
    EXPECT_EQ(fired, (std::vector<double>{3.0}));
}

TEST_F(RunLoopTest, SourceRunsWithTheNextTimerAsDeadline)
{
    std::vector<double> deadlines;
    loop().setSource([&](double deadline) { deadlines.push_back(deadline); });
    fnd::Timer::scheduledTimer(0.1, false, [](fnd::Timer&) {});
    loop().runFor(0.25); // the busy overlay's short run
    EXPECT_EQ(deadlines, (std::vector<double>{0.1, 0.25}));
    EXPECT_EQ(now(), 0.25);
}

TEST_F(RunLoopTest, CallbacksMayScheduleAndInvalidateOtherTimers)
{
    std::vector<std::string> log;
    fnd::TimerRef victim = fnd::Timer::scheduledTimer(1.0, false, [&](fnd::Timer&) { log.push_back("victim"); });
    fnd::Timer::scheduledTimer(0.5, false, [&](fnd::Timer&) {
        victim->invalidate();
        fnd::Timer::scheduledTimer(0.0, false, [&](fnd::Timer&) { log.push_back("spawned"); });
    });
    loop().runUntil(2);
    EXPECT_EQ(log, (std::vector<std::string>{"spawned"}));
}

TEST_F(RunLoopTest, TwoSecondsAfterTheFingerLiftsTheLaterTimerSeesTheEarlierSnapshot)
{
    // Stroke A ends at 0 s, stroke B at 1.5 s; each end schedules a 2 s check that skips work done
    // less than 2 s before.
    double lastSnapshot = -100;
    std::vector<double> snapshots;
    auto check = [&](fnd::Timer&) {
        if (now() - lastSnapshot < 2.0)
            return;
        lastSnapshot = now();
        snapshots.push_back(now());
    };
    fnd::Timer::scheduledTimer(2.0, false, check);
    loop().runUntil(1.5);
    fnd::Timer::scheduledTimer(2.0, false, check);
    loop().runUntil(10);
    EXPECT_EQ(snapshots, (std::vector<double>{2.0}));
}

TEST_F(RunLoopTest, TimerOwnerCanDropItWhileTheLoopStillFiresIt)
{
    int fired = 0;
    fnd::Timer::scheduledTimer(0.1, false, [&](fnd::Timer&) { ++fired; }); // reference dropped at once
    loop().runUntil(1);
    EXPECT_EQ(fired, 1);
}

} // namespace
