#include <gtest/gtest.h>

#include "app/timing.h"
#include "platform/services.h"
#include "support/fake_clock.h"

namespace {

TEST(TTime, BreaksTheTotalDown) {
    TTime t;
    t.SetMilliseconds(2u * 86400000u + 3u * 3600000u + 4u * 60000u + 5u * 1000u + 678u);
    EXPECT_EQ(t.Days(), 2u);
    EXPECT_EQ(t.Hours(), 3u);
    EXPECT_EQ(t.Minutes(), 4u);
    EXPECT_EQ(t.Seconds(), 5u);
    EXPECT_EQ(t.MilliPart(), 678u);
    t.SetMilliseconds(4294967295u);  // treated as unsigned
    EXPECT_EQ(t.AsMilliseconds(), 4294967295.0L);
    EXPECT_EQ(t.AsSeconds(), 4294967.295L);
    t.Clear();
    EXPECT_EQ(t.Milliseconds(), 0u);
    EXPECT_EQ(t.Days(), 0u);
}

TEST(TTimerPro, NeverStartedIsZeroAndStartingTwiceChangesNothing) {
    FakeClock clock;
    clock.now = 5000;
    TTimerPro timer(clock);
    EXPECT_FALSE(timer.Running());
    clock.now = 9000;
    EXPECT_EQ(timer.Elapsed().Milliseconds(), 0u);

    timer.Start();
    clock.now = 9250;
    timer.Start();
    clock.now = 9500;
    EXPECT_EQ(timer.Elapsed().Milliseconds(), 500u);
    EXPECT_EQ(timer.Elapsed().AsSeconds(), 0.5L);
}

TEST(TTimerPro, StopFreezesAndARestartCountsFromZero) {
    FakeClock clock;
    TTimerPro timer(clock);
    timer.Start();
    clock.now = 300;
    timer.Stop();
    clock.now = 1000;
    EXPECT_EQ(timer.Elapsed().Milliseconds(), 300u);
    timer.Start();
    clock.now = 1040;
    EXPECT_EQ(timer.Elapsed().Milliseconds(), 40u);
}

TEST(TTimerPro, AResumeLeavesTheStoppedSpanOut) {
    FakeClock clock;
    TTimerPro timer(clock);
    timer.Start();
    clock.now = 300;
    timer.Stop();
    clock.now = 60000;
    timer.Resume();
    timer.Resume();  // running: no new start
    clock.now = 60040;
    EXPECT_EQ(timer.Elapsed().Milliseconds(), 340u);
}

TEST(TTimerPro, ClockWrapAddsTheTrueStepAndBackwardStepsAreIgnored) {
    FakeClock clock;
    clock.now = 0xFFFFFF00u;
    TTimerPro timer(clock);
    timer.Start();
    clock.now = 0x00000100u;  // wrapped: 512 ms later
    EXPECT_EQ(timer.Elapsed().Milliseconds(), 512u);
    clock.now = 0x00000050u;  // backward
    EXPECT_EQ(timer.Elapsed().Milliseconds(), 512u);
    clock.now = 0x00000060u;  // counts from the last reading, not the highest
    EXPECT_EQ(timer.Elapsed().Milliseconds(), 528u);
}

TEST(TTimerPro, TotalWrapsAfter2To32Milliseconds) {
    FakeClock clock;
    TTimerPro timer(clock);
    timer.Start();
    // Accumulate 2^32 + 100 ms in steps small enough to be forward steps.
    for (int i = 0; i < 4; ++i) {
        clock.now += 0x40000000u;
        timer.Elapsed();
    }
    clock.now += 100;
    EXPECT_EQ(timer.Elapsed().Milliseconds(), 100u);
}

TEST(TTimerPro, AsksForTheFinestPeriodAndEndsIt) {
    {
        FakeClock clock;
        clock.minimumPeriod = 0;
        {
            TTimerPro timer(clock);
            EXPECT_EQ(timer.Period(), 1);
        }
        EXPECT_EQ(clock.begun, std::vector<std::uint32_t>{1});
        EXPECT_EQ(clock.ended, std::vector<std::uint32_t>{1});
    }
    {
        FakeClock clock;
        clock.minimumPeriod = 5;
        clock.beginSucceeds = false;
        {
            TTimerPro timer(clock);
            EXPECT_EQ(timer.Period(), TTimerPro::kNoPeriod);
        }
        EXPECT_EQ(clock.begun, (std::vector<std::uint32_t>{5, 1}));
        EXPECT_TRUE(clock.ended.empty());
    }
    {
        FakeClock clock;
        clock.capsSucceed = false;
        { TTimerPro timer(clock); }
        EXPECT_EQ(clock.begun, std::vector<std::uint32_t>{1});
        EXPECT_TRUE(clock.ended.empty());
    }
}

TEST(TTimerPro, SystemClockMovesForward) {
    TTimerPro timer(SystemClock());
    timer.Start();
    const auto first = timer.Elapsed().Milliseconds();
    EXPECT_LT(first, 1000u);
}

}  // namespace
