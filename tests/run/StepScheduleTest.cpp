#include "run/StepSchedule.h"

#include "QtPrinters.h"
#include "model/SequenceTypes.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

SequenceStep step(const char* value, const char* interval, const char* time, const char* transition = "0",
                  const char* load = "1")
{
    SequenceStep s;
    s.value = QString::fromLatin1(value);
    s.interval = QString::fromLatin1(interval);
    s.time = QString::fromLatin1(time);
    s.transition = QString::fromLatin1(transition);
    s.load = QString::fromLatin1(load);
    return s;
}

TEST(StepSchedule, StepEndsAreAbsoluteAcrossPasses)
{
    auto sequence = std::make_unique<ChannelSequence>();
    sequence->steps[0] = step("1", "1.5", "1.500");
    sequence->steps[1] = step("2", "2.0", "3.500");
    sequence->count = 2;
    EXPECT_EQ(StepSchedule::stepEndMs(*sequence, 0, 1, 1.0), 1500);
    EXPECT_EQ(StepSchedule::stepEndMs(*sequence, 1, 1, 1.0), 3500);
    EXPECT_EQ(StepSchedule::stepEndMs(*sequence, 0, 3, 1.0), 8500);
    EXPECT_EQ(StepSchedule::stepEndMs(*sequence, 1, 2, 60.0), 420000);
    sequence->steps[0].time = QStringLiteral("0.1");
    EXPECT_EQ(StepSchedule::stepEndMs(*sequence, 0, 1, 60.0), 6000);
    EXPECT_EQ(StepSchedule::stepEndMs(*sequence, 0, 1, 0.001), 0);
    sequence->count = 0;
    EXPECT_EQ(StepSchedule::stepEndMs(*sequence, 0, 1, 1.0), 0);
}

TEST(StepSchedule, UnitFactorsAndTickPeriods)
{
    EXPECT_EQ(StepSchedule::unitFactor(UnitS), 1.0);
    EXPECT_EQ(StepSchedule::unitFactor(UnitMin), 60.0);
    EXPECT_EQ(StepSchedule::unitFactor(UnitH), 3600.0);
    // Milliseconds are scheduled as what they are, never as seconds.
    EXPECT_EQ(StepSchedule::unitFactor(UnitMs), 0.001);
    EXPECT_EQ(StepSchedule::stepTimerPeriodMs(UnitS), 500);
    EXPECT_EQ(StepSchedule::stepTimerPeriodMs(UnitMin), 1000);
    EXPECT_EQ(StepSchedule::stepTimerPeriodMs(UnitH), 1000);
    EXPECT_EQ(StepSchedule::stepTimerPeriodMs(UnitMs), 1000);
}

TEST(StepSchedule, TicksLandAMarginAfterTheGridPointThatFollows)
{
    // Run started at 1000 ms; period 500, margin 5.
    EXPECT_EQ(StepSchedule::nextStepTickDelayMs(1000, 1000, 500, 5), 505);
    EXPECT_EQ(StepSchedule::nextStepTickDelayMs(1000, 1505, 500, 5), 500);
    // A tick that ran late goes to the next grid point, never to one already passed.
    EXPECT_EQ(StepSchedule::nextStepTickDelayMs(1000, 1530, 500, 5), 475);
    EXPECT_EQ(StepSchedule::nextStepTickDelayMs(1000, 4321, 500, 5), 184);
    // A tick that fired a millisecond early is re-armed for the same grid point.
    EXPECT_EQ(StepSchedule::nextStepTickDelayMs(1000, 1504, 500, 5), 1);
    EXPECT_EQ(StepSchedule::nextStepTickDelayMs(1000, 1000, 1000, 5), 1005);
}

TEST(StepSchedule, RampValueIsInterpolatedFromTheRampsEnd)
{
    // A 4 s ramp from 1 to 3 ending at 10 s.
    EXPECT_DOUBLE_EQ(StepSchedule::rampValue(1.0, 3.0, 4.0, 10.0, 6.0), 1.0);
    EXPECT_DOUBLE_EQ(StepSchedule::rampValue(1.0, 3.0, 4.0, 10.0, 7.0), 1.5);
    EXPECT_DOUBLE_EQ(StepSchedule::rampValue(1.0, 3.0, 4.0, 10.0, 9.5), 2.75);
    EXPECT_DOUBLE_EQ(StepSchedule::rampValue(3.0, 1.0, 4.0, 10.0, 8.0), 2.0);
    // A ramp without duration stands at its end rather than dividing by zero.
    EXPECT_DOUBLE_EQ(StepSchedule::rampValue(1.0, 3.0, 0.0, 10.0, 9.0), 3.0);
}

TEST(StepSchedule, CommandsPerOperationMode)
{
    EXPECT_EQ(StepSchedule::computedValueCommand(ModeCV, 1.2346), QStringLiteral("VOLT 1.235"));
    EXPECT_EQ(StepSchedule::computedValueCommand(ModeCC, 0.5), QStringLiteral("CURR 0.500"));
    EXPECT_EQ(StepSchedule::computedValueCommand(ModeCCCV, 2.0), QStringLiteral("CURR 2.000"));
    EXPECT_EQ(StepSchedule::computedValueCommand(ModeCR, 4.0), QStringLiteral("COND 0.25000000"));
    EXPECT_EQ(StepSchedule::computedValueCommand(ModeCRCV, 8.0), QStringLiteral("COND 0.12500000"));
    EXPECT_EQ(StepSchedule::computedValueCommand(ModeCR, 0.0), QStringLiteral("COND 0.00000000"));

    EXPECT_EQ(StepSchedule::storedValueCommand(ModeCV, QStringLiteral("12.000")),
              QStringLiteral("VOLT 12.000"));
    EXPECT_EQ(StepSchedule::storedValueCommand(ModeCC, QStringLiteral("1.2500")),
              QStringLiteral("CURR 1.2500"));
    EXPECT_EQ(StepSchedule::storedValueCommand(ModeCCCV, QStringLiteral("3")), QStringLiteral("CURR 3"));
    EXPECT_EQ(StepSchedule::storedValueCommand(ModeCR, QStringLiteral("4.00000")),
              QStringLiteral("COND 0.25000000"));
    EXPECT_EQ(StepSchedule::storedValueCommand(ModeCRCV, QStringLiteral("0.00000")),
              QStringLiteral("COND 0.00000000"));
    EXPECT_EQ(StepSchedule::storedValueCommand(ModeCR, QString()), QStringLiteral("COND 0.00000000"));

    EXPECT_EQ(StepSchedule::zeroValueCommand(ModeCV), QStringLiteral("VOLT 0"));
    EXPECT_EQ(StepSchedule::zeroValueCommand(ModeCC), QStringLiteral("CURR 0"));
    EXPECT_EQ(StepSchedule::zeroValueCommand(ModeCRCV), QStringLiteral("COND 0"));
    EXPECT_EQ(StepSchedule::loadCommand(true), QStringLiteral("OUTP 1"));
    EXPECT_EQ(StepSchedule::loadCommand(false), QStringLiteral("OUTP 0"));
}

TEST(StepSchedule, TransitionLoadAndHalfSecondRules)
{
    EXPECT_TRUE(StepSchedule::isRamp(step("1", "1", "1", "1")));
    EXPECT_FALSE(StepSchedule::isRamp(step("1", "1", "1", "0")));
    EXPECT_FALSE(StepSchedule::isRamp(step("1", "1", "1", "")));
    EXPECT_TRUE(StepSchedule::isLoadOn(step("1", "1", "1", "0", "1")));
    EXPECT_TRUE(StepSchedule::isLoadOn(step("1", "1", "1", "0", "")));
    EXPECT_FALSE(StepSchedule::isLoadOn(step("1", "1", "1", "0", "0")));
    EXPECT_TRUE(StepSchedule::isHalfSecondRamp(step("1", "0.5", "1", "1"), UnitS));
    EXPECT_TRUE(StepSchedule::isHalfSecondRamp(step("1", "0.50", "1", "1"), UnitS));
    EXPECT_FALSE(StepSchedule::isHalfSecondRamp(step("1", "0.5", "1", "1"), UnitMin));
    EXPECT_FALSE(StepSchedule::isHalfSecondRamp(step("1", "1.0", "1", "1"), UnitS));
}

} // namespace
