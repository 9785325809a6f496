#include <gtest/gtest.h>

#include "Foundation/Clock.h"
#include "Foundation/Date.h"

namespace {

TEST(Clock, ManualClockScopeReplacesAndRestoresTheCurrentClock)
{
    EXPECT_FALSE(fnd::clock().isManual());
    {
        fnd::ManualClockScope scope(10);
        EXPECT_TRUE(fnd::clock().isManual());
        EXPECT_EQ(fnd::clock().now(), 10);
        scope.advance(1.5);
        fnd::clock().waitUntil(12); // a manual wait jumps instead of sleeping
        EXPECT_EQ(fnd::clock().now(), 12);
        scope.clock().setNow(5); // never backwards
        EXPECT_EQ(fnd::clock().now(), 12);
    }
    EXPECT_FALSE(fnd::clock().isManual());
}

TEST(Clock, RealClockIsMonotonic)
{
    double a = fnd::clock().now();
    double b = fnd::clock().now();
    EXPECT_LE(a, b);
}

TEST(Date, FollowsTheSystemDateByDefault)
{
    fnd::setSecondsSinceReferenceDateOverride(std::nullopt);
    // 2020-01-01 is 599,616,000 s after the reference date; the machine's date is later.
    EXPECT_GT(fnd::secondsSinceReferenceDate(), 599616000.0);
}

TEST(Date, OverrideAdvancesWithTheManualClock)
{
    fnd::ManualClockScope scope;
    fnd::setSecondsSinceReferenceDateOverride(1000.0);
    EXPECT_DOUBLE_EQ(fnd::secondsSinceReferenceDate(), 1000.0);
    scope.advance(2.5);
    EXPECT_DOUBLE_EQ(fnd::secondsSinceReferenceDate(), 1002.5);
    fnd::setSecondsSinceReferenceDateOverride(std::nullopt);
    EXPECT_GT(fnd::secondsSinceReferenceDate(), 599616000.0);
}

TEST(Date, WithoutOverrideAManualClockStillDrivesTheDate)
{
    fnd::setSecondsSinceReferenceDateOverride(std::nullopt);
    fnd::ManualClockScope scope;
    double start = fnd::secondsSinceReferenceDate();
    scope.advance(2.0);
    EXPECT_DOUBLE_EQ(fnd::secondsSinceReferenceDate() - start, 2.0);
}

} // namespace
