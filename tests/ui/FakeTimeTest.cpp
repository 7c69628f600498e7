#include "FakeTime.h"

#include <gtest/gtest.h>
#include <vector>

TEST(FakeTime, FiresPeriodicAndSingleShotTimersInTimeOrder)
{
    FakeTime time;
    const qint64 start = time.nowMs();
    std::vector<std::pair<char, qint64>> fired;
    time.startTimer(500, false, [&] { fired.push_back({'p', time.nowMs() - start}); });
    time.startTimer(1200, true, [&] { fired.push_back({'s', time.nowMs() - start}); });
    time.advanceMs(1600);
    const std::vector<std::pair<char, qint64>> expected{{'p', 500}, {'p', 1000}, {'s', 1200}, {'p', 1500}};
    EXPECT_EQ(fired, expected);
    EXPECT_EQ(time.nowMs() - start, 1600);
    EXPECT_EQ(time.activeTimers(), 1);
}

TEST(FakeTime, AWaitDelaysTimersWithoutFiringThem)
{
    FakeTime time;
    const qint64 start = time.nowMs();
    std::vector<qint64> fired;
    time.startTimer(100, false, [&] {
        fired.push_back(time.nowMs() - start);
        if (fired.size() == 1)
            time.waitMs(250); // a blocking exchange inside the tick
    });
    time.advanceMs(500);
    // The tick at 100 ran until 350; the ticks due at 200 and 300 collapse into one at 350.
    const std::vector<qint64> expected{100, 350, 400, 500};
    EXPECT_EQ(fired, expected);
}

TEST(FakeTime, StoppingATimerInsideItsCallbackEndsIt)
{
    FakeTime time;
    int count = 0;
    TimerService::TimerId id = 0;
    id = time.startTimer(10, false, [&] {
        if (++count == 3)
            time.stopTimer(id);
    });
    time.advanceMs(1000);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(time.activeTimers(), 0);
}
