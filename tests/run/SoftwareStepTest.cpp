#include "RunFixture.h"

namespace {

// Software Control stepping: what is sent at each step boundary and ramp tick, and when. The run
// starts 200 ms after Run all (the link's settle wait); ticks land 5 ms after each 500 ms (unit s)
// or 1000 ms grid point of the run's start.
class SoftwareStepTest : public RunFixture {
protected:
    void runAllOn(std::initializer_list<int> channels)
    {
        openDialog(channels);
        engine.RunAll();
        ASSERT_TRUE(engine.anyRunning()) << qPrintable(prompt.texts().join(QLatin1Char('|')));
    }
};

TEST_F(SoftwareStepTest, ConstantVoltageStepsAndRampWithStartValueRampPointAndStepValue)
{
    setMode(0, ModeCV);
    setSteps(0, {{"5.000", "1.0"}, {"3.000", "1.0", "1"}, {"4.000", "0.5"}});
    runAllOn({1});
    EXPECT_EQ(sent(), (QStringList{"*IDN?", "*CLS;:INP:PROT:CLE", "INST:COUP NONE",
                                   "INST:NSEL 1;:PROG:STAT STOP;:FUNC CV", "CURR:RANG HIGH", "VOLT 5.000",
                                   "SYST:ERR?", "INST CH1;:INST:COUP CH1;:OUTP 1", "INST:COUP NONE"}));
    EXPECT_EQ(engine.runStartMs(), time.nowMs());
    runToEnd();
    EXPECT_EQ(timelineWithoutStatus(),
              (QStringList{"+1005 INST:NSEL 1;:VOLT 5.000", "+1505 INST:NSEL 1;:VOLT 3.990",
                           "+2005 INST:NSEL 1;:VOLT 4.000", "+2505 INST:NSEL 1;:OUTP 0"}));
    EXPECT_EQ(observer.status[0], QStringLiteral("End"));
    EXPECT_EQ(engine.channelState(0).state, RunIdle);
    EXPECT_FALSE(simulatorLine.isOpen());
    EXPECT_EQ(prompt.texts(), QStringList());
}

TEST_F(SoftwareStepTest, ConstantCurrentRampEndsOnItsValueAtTheEndOfThePass)
{
    setMode(0, ModeCC);
    setSteps(0, {{"1.0000", "1.0"}, {"3.0000", "2.0", "1"}});
    runAllOn({1});
    runToEnd();
    // The ramp from 1 to 3 A over 2 s, ending at 3 s: a point per tick, then its end value exactly.
    EXPECT_EQ(timelineWithoutStatus(),
              (QStringList{"+1005 INST:NSEL 1;:CURR 1.0000", "+1505 INST:NSEL 1;:CURR 1.505",
                           "+2005 INST:NSEL 1;:CURR 2.005", "+2505 INST:NSEL 1;:CURR 2.505",
                           "+3005 INST:NSEL 1;:CURR 3.000", "+3005 INST:NSEL 1;:OUTP 0"}));
}

TEST_F(SoftwareStepTest, ConstantResistanceIsSentAsConductanceAndZeroOhmAsZero)
{
    setMode(0, ModeCR);
    setSteps(0, {{"4.00000", "1.0"}, {"0.00000", "1.0"}, {"2.00000", "1.0", "1"}});
    runAllOn({1});
    EXPECT_TRUE(sent().contains(QStringLiteral("COND 0.25000000")));
    runToEnd();
    EXPECT_EQ(timelineWithoutStatus(),
              (QStringList{"+1005 INST:NSEL 1;:COND 0.00000000", "+2005 INST:NSEL 1;:COND 0.00000000",
                           "+2505 INST:NSEL 1;:COND 0.99009901", "+3005 INST:NSEL 1;:COND 0.50000000",
                           "+3005 INST:NSEL 1;:OUTP 0"}));
}

TEST_F(SoftwareStepTest, ConstantCurrentWithVoltageLimitSetsItsVoltageAtStart)
{
    setMode(0, ModeCCCV);
    settings.Volt1Ch[0] = 5.0;
    setSteps(0, {{"1.0000", "0.5"}, {"2.0000", "1.0", "1"}});
    runAllOn({1});
    EXPECT_EQ(sent().mid(3, 5), (QStringList{"INST:NSEL 1;:PROG:STAT STOP;:FUNC CCCV", "CURR:RANG HIGH",
                                             "CURR 1.0000", "VOLT 5.000000", "SYST:ERR?"}));
    runToEnd();
    EXPECT_EQ(timelineWithoutStatus(),
              (QStringList{"+505 INST:NSEL 1;:CURR 1.0000", "+1005 INST:NSEL 1;:CURR 1.505",
                           "+1505 INST:NSEL 1;:CURR 2.000", "+1505 INST:NSEL 1;:OUTP 0"}));
}

TEST_F(SoftwareStepTest, ConstantResistanceWithVoltageLimitUsesConductanceAndItsOwnVoltage)
{
    setMode(0, ModeCRCV);
    settings.Volt2Ch[0] = 7.5;
    setSteps(0, {{"8.00000", "0.5"}, {"0.00000", "0.5"}, {"4.00000", "1.0", "1"}});
    runAllOn({1});
    EXPECT_EQ(sent().mid(3, 5), (QStringList{"INST:NSEL 1;:PROG:STAT STOP;:FUNC CRCV", "CURR:RANG HIGH",
                                             "COND 0.12500000", "VOLT 7.500000", "SYST:ERR?"}));
    runToEnd();
    // The ramp from 0 ohm starts at conductance 0; its points are conductances of the resistance.
    EXPECT_EQ(timelineWithoutStatus(),
              (QStringList{"+505 INST:NSEL 1;:COND 0.00000000", "+1005 INST:NSEL 1;:COND 0.00000000",
                           "+1505 INST:NSEL 1;:COND 0.49504950", "+2005 INST:NSEL 1;:COND 0.25000000",
                           "+2005 INST:NSEL 1;:OUTP 0"}));
}

TEST_F(SoftwareStepTest, LoadCommandsOnlyWhereTheLoadChanges)
{
    setMode(0, ModeCC);
    setSteps(0, {{"1", "0.5"}, {"2", "0.5"}, {"3", "0.5", "0", "0"}, {"4", "0.5", "0", "0"}, {"5", "0.5"}});
    runAllOn({1});
    runToEnd();
    EXPECT_EQ(timelineWithoutStatus(), (QStringList{"+505 INST:NSEL 1;:CURR 2", "+1005 INST:NSEL 1;:OUTP 0",
                                                    "+1005 INST:NSEL 1;:CURR 3", "+1505 INST:NSEL 1;:CURR 4",
                                                    "+2005 INST:NSEL 1;:OUTP 1", "+2005 INST:NSEL 1;:CURR 5",
                                                    "+2505 INST:NSEL 1;:OUTP 0"}));
}

TEST_F(SoftwareStepTest, RampOnLoadOffSendsNoRampPoints)
{
    setMode(0, ModeCC);
    setSteps(0, {{"1", "0.5"}, {"3", "1.5", "1", "0"}});
    runAllOn({1});
    runToEnd();
    EXPECT_EQ(timelineWithoutStatus(),
              (QStringList{"+505 INST:NSEL 1;:OUTP 0", "+505 INST:NSEL 1;:CURR 1",
                           "+2005 INST:NSEL 1;:CURR 3.000", "+2005 INST:NSEL 1;:OUTP 0"}));
}

TEST_F(SoftwareStepTest, RepeatedPassesStartFromZeroForAFirstStepRampAndAlwaysSendTheLoad)
{
    setMode(0, ModeCC);
    settings.RepeatCh[0] = 2;
    setSteps(0, {{"2.0000", "1.0", "1"}, {"1.0000", "1.0"}});
    runAllOn({1});
    // The first pass's ramp start comes from the start itself.
    EXPECT_TRUE(sent().contains(QStringLiteral("CURR 0")));
    EXPECT_EQ(observer.count[0], QStringLiteral("1"));
    runUntil(2100);
    EXPECT_EQ(observer.count[0], QStringLiteral("2"));
    EXPECT_EQ(observer.step[0], QStringLiteral("1"));
    runToEnd();
    EXPECT_EQ(timelineWithoutStatus(),
              (QStringList{"+505 INST:NSEL 1;:CURR 1.010", "+1005 INST:NSEL 1;:CURR 1.0000",
                           "+2005 INST:NSEL 1;:OUTP 1", "+2005 INST:NSEL 1;:CURR 0",
                           "+2505 INST:NSEL 1;:CURR 1.010", "+3005 INST:NSEL 1;:CURR 1.0000",
                           "+4005 INST:NSEL 1;:OUTP 0"}));
    EXPECT_EQ(observer.status[0], QStringLiteral("End"));
}

TEST_F(SoftwareStepTest, ANewPassAfterAClosingRampSendsItsEndThenTheLoadAndTheFirstValue)
{
    setMode(0, ModeCV);
    settings.RepeatCh[0] = 2;
    setSteps(0, {{"5.000", "0.5", "0", "0"}, {"6.000", "1.0", "1"}});
    runAllOn({1});
    runToEnd();
    EXPECT_EQ(timelineWithoutStatus(),
              (QStringList{"+505 INST:NSEL 1;:OUTP 1", "+505 INST:NSEL 1;:VOLT 5.000",
                           "+1005 INST:NSEL 1;:VOLT 5.505", "+1505 INST:NSEL 1;:VOLT 6.000",
                           "+1505 INST:NSEL 1;:OUTP 0", "+1505 INST:NSEL 1;:VOLT 5.000",
                           "+2005 INST:NSEL 1;:OUTP 1", "+2005 INST:NSEL 1;:VOLT 5.000",
                           "+2505 INST:NSEL 1;:VOLT 5.505", "+3005 INST:NSEL 1;:VOLT 6.000",
                           "+3005 INST:NSEL 1;:OUTP 0"}));
}

TEST_F(SoftwareStepTest, HalfSecondRampIsAppliedAtOnceInSecondsOnly)
{
    setMode(0, ModeCC);
    settings.RepeatCh[0] = 2;
    setSteps(0, {{"3.0000", "0.5", "1"}, {"1.0000", "1.0"}, {"2.0000", "0.5", "1"}});
    runAllOn({1});
    // A first-step half-second ramp starts at its value, on the first pass and on every later one.
    EXPECT_TRUE(sent().contains(QStringLiteral("CURR 3.0000")));
    runToEnd();
    EXPECT_EQ(timelineWithoutStatus(),
              (QStringList{"+505 INST:NSEL 1;:CURR 1.0000", "+1505 INST:NSEL 1;:CURR 2.0000",
                           "+2005 INST:NSEL 1;:CURR 2.000", "+2005 INST:NSEL 1;:OUTP 1",
                           "+2005 INST:NSEL 1;:CURR 3.0000", "+2505 INST:NSEL 1;:CURR 1.0000",
                           "+3505 INST:NSEL 1;:CURR 2.0000", "+4005 INST:NSEL 1;:CURR 2.000",
                           "+4005 INST:NSEL 1;:OUTP 0"}));
}

TEST_F(SoftwareStepTest, HalfAMinuteRampIsARampLikeAnyOther)
{
    setMode(0, ModeCC);
    settings.UnitSoft = UnitMin;
    setSteps(0, {{"1.0", "0.1"}, {"4.0", "0.5", "1"}});
    runAllOn({1});
    runUntil(6100);
    EXPECT_EQ(timelineWithoutStatus(), (QStringList{"+6005 INST:NSEL 1;:CURR 1.0"}));
    runUntil(7100);
    EXPECT_EQ(timelineWithoutStatus().last(), QStringLiteral("+7005 INST:NSEL 1;:CURR 1.100"));
    runToEnd();
    EXPECT_EQ(timelineWithoutStatus().mid(timelineWithoutStatus().size() - 2),
              (QStringList{"+36005 INST:NSEL 1;:CURR 4.000", "+36005 INST:NSEL 1;:OUTP 0"}));
}

TEST_F(SoftwareStepTest, LastLoadOffDecidesWhetherTheLoadGoesOffAtTheEnd)
{
    setMode(0, ModeCC);
    setMode(1, ModeCC);
    setSteps(0, {{"1", "1.0"}});
    setSteps(1, {{"2", "1.0"}});
    engine.setLastLoadOff(0, true);
    engine.setLastLoadOff(1, false);
    EXPECT_EQ(settings.OutOffCh[1], 0);
    runAllOn({1, 2});
    runToEnd();
    EXPECT_EQ(timelineWithoutStatus(), (QStringList{"+1005 INST:NSEL 1;:OUTP 0"}));
    EXPECT_EQ(observer.status[0], QStringLiteral("End"));
    EXPECT_EQ(observer.status[1], QStringLiteral("End"));
    EXPECT_TRUE(simulator.channel(2).loadOn());
    EXPECT_FALSE(simulator.channel(1).loadOn());
}

TEST_F(SoftwareStepTest, StepsThatFallBehindTakeOneTickEachAndTheEndCatchesUp)
{
    // Steps no shorter than a tick still fall behind when an exchange blocks (a slow link).
    setMode(0, ModeCC);
    setSteps(0, {{"1", "1.0"}, {"2", "0.5"}, {"3", "0.5"}, {"4", "2.0"}, {"5", "0.5"}});
    runAllOn({1});
    runUntil(900);
    time.waitMs(1200);
    runToEnd();
    // The boundaries due at 1.0, 1.5 and 2.0 s come one per tick after the wait; the absolute
    // schedule lets the boundaries at 4.0 and 4.5 s come on time again.
    EXPECT_EQ(timelineWithoutStatus(), (QStringList{"+2100 INST:NSEL 1;:CURR 2", "+2505 INST:NSEL 1;:CURR 3",
                                                    "+3005 INST:NSEL 1;:CURR 4", "+4005 INST:NSEL 1;:CURR 5",
                                                    "+4505 INST:NSEL 1;:OUTP 0"}));
}

TEST_F(SoftwareStepTest, MillisecondStepsAreScheduledAsMilliseconds)
{
    setMode(0, ModeCC);
    settings.UnitSoft = UnitMs;
    setSteps(0, {{"1", "500"}, {"2", "1500"}});
    runAllOn({1});
    EXPECT_EQ(engine.unitFactor(), 0.001);
    runToEnd(60000);
    EXPECT_EQ(timelineWithoutStatus(),
              (QStringList{"+1005 INST:NSEL 1;:CURR 2", "+2005 INST:NSEL 1;:OUTP 0"}));
}

TEST_F(SoftwareStepTest, EveryCommandUsesTheChannelNumberTable)
{
    numbers = {3, 4, 5, 1, 2};
    setMode(0, ModeCC);
    setSteps(0, {{"1", "0.5"}, {"2", "0.5"}});
    runAllOn({1});
    runToEnd();
    EXPECT_EQ(timelineWithoutStatus(),
              (QStringList{"+505 INST:NSEL 3;:CURR 2", "+1005 INST:NSEL 3;:OUTP 0"}));
}

TEST_F(SoftwareStepTest, AChannelStartedLaterIsTimedFromItsOwnStart)
{
    setMode(0, ModeCC);
    setMode(1, ModeCV);
    setSteps(0, {{"1", "1.0"}, {"2", "3.0"}});
    setSteps(1, {{"5.000", "1.0"}, {"6.000", "1.0"}});
    openDialog({1, 2});
    engine.ToggleChannel(0);
    ASSERT_TRUE(engine.channelState(0).isRunning());
    // The second channel's Run button stays usable while the first runs.
    EXPECT_EQ(observer.runButton[1], QStringLiteral("Run"));
    EXPECT_EQ(observer.checkBox[0], QStringLiteral("ticked (disabled)"));
    EXPECT_EQ(observer.checkBox[1], QStringLiteral("ticked"));
    time.advanceMs(1250);
    engine.ToggleChannel(1);
    ASSERT_TRUE(engine.channelState(1).isRunning());
    EXPECT_EQ(engine.channelState(1).startMs, engine.runStartMs() + 1250);
    EXPECT_EQ(timelineWithoutStatus(),
              (QStringList{"+1005 INST:NSEL 1;:CURR 2", "+1250 INST:NSEL 2;:PROG:STAT STOP;:FUNC CV",
                           "+1250 CURR:RANG HIGH", "+1250 VOLT 5.000", "+1250 SYST:ERR?",
                           "+1250 INST:NSEL 2;:OUTP 1"}));
    runToEnd();
    // Channel 2's step ends at 2.25 s and 3.25 s from the run's start: served by the next ticks.
    EXPECT_EQ(timelineWithoutStatus().mid(6),
              (QStringList{"+2505 INST:NSEL 2;:VOLT 6.000", "+3505 INST:NSEL 2;:OUTP 0",
                           "+4005 INST:NSEL 1;:OUTP 0"}));
}

TEST_F(SoftwareStepTest, APeriodicStepTimerTicksOnThePeriodFromTheStart)
{
    // The plain periodic timer, kept for comparison: its ticks fall on the boundaries themselves.
    engine.setStepTickPhasing(RunEngine::StepTickPhasing::Periodic);
    setMode(0, ModeCC);
    setSteps(0, {{"1", "0.5"}, {"2", "1.0"}});
    runAllOn({1});
    runToEnd();
    EXPECT_EQ(timelineWithoutStatus(),
              (QStringList{"+500 INST:NSEL 1;:CURR 2", "+1500 INST:NSEL 1;:OUTP 0"}));
}

// Timers that fire 3 % of their interval early, as coarse system timers may.
class EarlyTimers : public TimerService {
public:
    explicit EarlyTimers(FakeTime& time) : time_(time) {}
    TimerId startTimer(int intervalMs, bool singleShot, std::function<void()> onTimeout) override
    {
        return time_.startTimer(intervalMs - intervalMs * 3 / 100, singleShot, std::move(onTimeout));
    }
    void stopTimer(TimerId id) override { time_.stopTimer(id); }

private:
    FakeTime& time_;
};

TEST_F(SoftwareStepTest, TicksThatFireEarlyStillServeEachBoundaryRightAfterIt)
{
    setMode(0, ModeCC);
    setSteps(0, {{"1", "0.5"}, {"2", "0.5"}, {"3", "1.0"}});
    openDialog({1});
    EarlyTimers early(time);
    const auto runWith = [&](RunEngine::StepTickPhasing phasing) {
        RunEngine earlyEngine{settings, current, port, device, numbers, prompt, time, early};
        earlyEngine.setStepTickPhasing(phasing);
        settings.RunCh = {1, 0, 0, 0, 0};
        earlyEngine.prepareDialog();
        simulator.clearTranscript();
        earlyEngine.RunAll();
        const qint64 start = earlyEngine.runStartMs();
        time.advanceMs(5000);
        QStringList sentAt;
        for (const KdrxSimulator::Received& entry : simulator.received()) {
            if (entry.ms > start && !entry.text.contains(QLatin1String("STAT:QUES")))
                sentAt << QStringLiteral("+%1 %2").arg(entry.ms - start).arg(entry.text);
        }
        return sentAt;
    };
    // A periodic timer that fires early sees each boundary still ahead and serves it a period late.
    EXPECT_EQ(
        runWith(RunEngine::StepTickPhasing::Periodic),
        (QStringList{"+970 INST:NSEL 1;:CURR 2", "+1455 INST:NSEL 1;:CURR 3", "+2425 INST:NSEL 1;:OUTP 0"}));
    // The grid's single shots are re-armed for the boundary they came early for.
    EXPECT_EQ(
        runWith(RunEngine::StepTickPhasing::Aligned),
        (QStringList{"+505 INST:NSEL 1;:CURR 2", "+1005 INST:NSEL 1;:CURR 3", "+2005 INST:NSEL 1;:OUTP 0"}));
}

TEST_F(SoftwareStepTest, AFirstStepWithTheLoadOffTurnsOffALoadLeftOnBefore)
{
    setMode(0, ModeCC);
    setMode(1, ModeCC);
    engine.setLastLoadOff(0, false);
    setSteps(0, {{"1", "0.5"}});
    runAllOn({1});
    runToEnd();
    ASSERT_TRUE(simulator.channel(1).loadOn());

    // The next run starts channel 1 with its load off, channel 2 with it on.
    setSteps(0, {{"1", "0.5", "0", "0"}, {"2", "0.5"}});
    setSteps(1, {{"3", "1.0"}});
    simulator.clearTranscript();
    runAllOn({1, 2});
    EXPECT_EQ(sent().mid(sent().size() - 3),
              (QStringList{"INST CH2;:INST:COUP CH2;:OUTP 1", "INST:COUP NONE", "INST:NSEL 1;:OUTP 0"}));
    EXPECT_FALSE(simulator.channel(1).loadOn());
    EXPECT_TRUE(simulator.channel(2).loadOn());
    runToEnd();
    EXPECT_EQ(timelineWithoutStatus(), (QStringList{"+505 INST:NSEL 1;:OUTP 1", "+505 INST:NSEL 1;:CURR 2",
                                                    "+1005 INST:NSEL 2;:OUTP 0"}));
}

} // namespace
