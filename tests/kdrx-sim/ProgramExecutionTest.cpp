#include "SimulatorFixture.h"

// Program memory and its execution in time, as the Hardware Control write, read-back and polling
// see them.
class ProgramExecutionTest : public SimulatorFixture {
protected:
    // Writes a program the way the sequence transfer does: steps of (value, seconds), then the
    // all-zero step after the last one.
    void writeProgram(int channel, const char* function,
                      const std::vector<std::pair<const char*, const char*>>& steps, int loop,
                      bool loadOnAtEnd)
    {
        send(QStringLiteral("INST:NSEL %1;:INST:COUP NONE").arg(channel));
        send(QStringLiteral("FUNC %1").arg(QLatin1String(function)));
        send(QStringLiteral("PROG:FSP:END %1").arg(steps.size()));
        send("PROG:LVAL 0");
        int number = 1;
        for (const auto& step : steps) {
            send(QStringLiteral("PROG:FSP:EDIT %1,%2,0,%3")
                     .arg(number++)
                     .arg(QLatin1String(step.first), QLatin1String(step.second)));
            EXPECT_TRUE(nextError().startsWith('0'));
        }
        send(QStringLiteral("PROG:FSP:EDIT %1,0,0,0").arg(number));
        send(QStringLiteral("PROG:LOOP %1").arg(loop));
        send(loadOnAtEnd ? QStringLiteral("PROG:LINP ON") : QStringLiteral("PROG:LINP OFF"));
    }
    QString execution(int channel) { return ask(QStringLiteral(":INST:NSEL %1;:PROG:EXEC?;").arg(channel)); }
};

TEST_F(ProgramExecutionTest, StoresTheProgramAndAnswersItBack)
{
    writeProgram(2, "CR", {{"0.25000000", "10.000"}, {"0.00000000", "0.5"}, {"0.33333333", "1.234"}}, 7,
                 true);
    send("INST:NSEL 2");
    EXPECT_EQ(ask("FUNC?"), "CR");
    EXPECT_EQ(ask("PROG:LOOP?"), "7");
    EXPECT_EQ(ask("PROG:LINP?"), "ON");
    EXPECT_EQ(ask("PROG:LVAL?"), "0");
    EXPECT_EQ(ask("PROG:FSP:END?"), "3");
    EXPECT_EQ(ask("PROG:FSP:EDIT? 1"), "0.25,0,10.000");
    EXPECT_EQ(ask("PROG:FSP:EDIT? 2"), "0,0,0.500");
    EXPECT_EQ(ask("PROG:FSP:EDIT? 3"), "0.33333333,0,1.234");
    EXPECT_EQ(ask("PROG:FSP:EDIT? 4"), "0,0,0.000");
    send("PROG:LINP OFF;:PROG:LVAL 2.5");
    EXPECT_EQ(ask("PROG:LINP?;:PROG:LVAL?"), "OFF;2.5");
    send("PROG:LINP 1");
    EXPECT_EQ(ask("PROG:LINP?"), "ON");
    // Other channels keep their own memory.
    EXPECT_EQ(ask("INST:NSEL 1;:PROG:FSP:END?;:PROG:FSP:EDIT? 1;:PROG:LOOP?;:PROG:LINP?"),
              "1;0,0,0.000;1;OFF");
}

TEST_F(ProgramExecutionTest, HoldsTheFullStepCountAndTheReadBackOfTheLast)
{
    send("PROG:FSP:END 1024");
    for (int number = 1; number <= 1024; ++number)
        send(QStringLiteral("PROG:FSP:EDIT %1,%2,0,0.001").arg(number).arg(number % 60));
    EXPECT_EQ(ask("PROG:FSP:END?"), "1024");
    EXPECT_EQ(ask("PROG:FSP:EDIT? 1024"), "4,0,0.001");
    EXPECT_EQ(ask("PROG:FSP:EDIT? 255"), "15,0,0.001");
}

TEST_F(ProgramExecutionTest, ReportsStepAndPassWhileRunningAndStopsOnTime)
{
    writeProgram(1, "CC", {{"1", "1"}, {"2", "2"}}, 2, false);
    EXPECT_EQ(execution(1), "STOP,2,0,0,2") << "nothing has run yet";
    send("INST:NSEL 1;:PROG:STAT RUN");
    EXPECT_EQ(execution(1), "RUN,2,0,1,2");
    time.waitMs(999);
    EXPECT_EQ(execution(1), "RUN,2,0,1,2");
    time.waitMs(1);
    EXPECT_EQ(execution(1), "RUN,2,1,1,2");
    time.waitMs(2000);
    EXPECT_EQ(execution(1), "RUN,2,0,2,2");
    time.waitMs(2999);
    EXPECT_EQ(execution(1), "RUN,2,1,2,2");
    EXPECT_EQ(ask("PROG:STAT?"), "RUN");
    time.waitMs(1);
    EXPECT_EQ(execution(1), "STOP,2,1,2,2");
    EXPECT_EQ(ask("PROG:STAT?"), "STOP");
    time.waitMs(60000);
    EXPECT_EQ(execution(1), "STOP,2,1,2,2");
}

TEST_F(ProgramExecutionTest, AnswersThePollOfSeveralChannelsInOneLine)
{
    writeProgram(1, "CC", {{"1", "5"}}, 1, false);
    writeProgram(2, "CC", {{"1", "1"}, {"2", "1"}}, 3, false);
    send("INST CH1;:INST:COUP CH1,CH2;:PROG:STAT RUN");
    send("INST:COUP NONE");
    time.waitMs(3500);
    EXPECT_EQ(ask(":INST:NSEL 1;:PROG:EXEC?;:INST:NSEL 2;:PROG:EXEC?;"), "RUN,1,0,1,1;RUN,2,1,2,3");
    time.waitMs(1500);
    EXPECT_EQ(ask(":INST:NSEL 1;:PROG:EXEC?;:INST:NSEL 2;:PROG:EXEC?;"), "STOP,1,0,1,1;RUN,2,1,3,3");
}

TEST_F(ProgramExecutionTest, LeavesTheLoadOnAtTheEndValueWithLinpOn)
{
    writeProgram(1, "CC", {{"5", "1"}}, 1, true);
    send("PROG:LVAL 2");
    send("PROG:STAT RUN");
    EXPECT_TRUE(simulator.channel(1).loadOn());
    EXPECT_EQ(ask("MEAS:CURR?"), "5.0000");
    time.waitMs(1000);
    const SimulatedChannel after = simulator.channel(1);
    EXPECT_FALSE(after.isRunning());
    EXPECT_TRUE(after.loadOn());
    EXPECT_DOUBLE_EQ(after.current(), 2.0);
    EXPECT_EQ(ask("MEAS:CURR?;:OUTP?;:CURR?"), "2.0000;1;2");
}

TEST_F(ProgramExecutionTest, SwitchesTheLoadOffAtTheEndWithLinpOff)
{
    writeProgram(1, "CC", {{"5", "1"}}, 1, false);
    send("PROG:STAT RUN");
    time.waitMs(1000);
    EXPECT_FALSE(simulator.channel(1).loadOn());
    EXPECT_EQ(ask("MEAS:CURR?;:MEAS:VOLT?;:OUTP?"), "0.0000;12.000;0");
}

TEST_F(ProgramExecutionTest, CoupledStartRunsEveryChannelFromTheSameInstant)
{
    writeProgram(1, "CC", {{"1", "2"}}, 1, false);
    writeProgram(3, "CR", {{"0.25000000", "2"}}, 1, false);
    time.waitMs(123);
    send("INST CH1;:INST:COUP CH1,CH3;:PROG:STAT RUN");
    send("INST:COUP NONE");
    EXPECT_TRUE(simulator.channel(1).isRunning());
    EXPECT_FALSE(simulator.channel(2).isRunning());
    EXPECT_TRUE(simulator.channel(3).isRunning());
    time.waitMs(1999);
    EXPECT_TRUE(simulator.channel(1).isRunning());
    EXPECT_TRUE(simulator.channel(3).isRunning());
    time.waitMs(1);
    EXPECT_FALSE(simulator.channel(1).isRunning());
    EXPECT_FALSE(simulator.channel(3).isRunning());
}

TEST_F(ProgramExecutionTest, StopAbortsWithTheLoadOffWhereItStood)
{
    writeProgram(1, "CC", {{"1", "1"}, {"2", "1"}, {"3", "1"}}, 5, true);
    send("PROG:STAT RUN");
    time.waitMs(4500);
    send("INST:NSEL 1;:PROG:STAT STOP");
    EXPECT_EQ(execution(1), "STOP,3,1,2,5");
    EXPECT_FALSE(simulator.channel(1).loadOn());
    // Switching the load off aborts as well.
    send("PROG:STAT RUN");
    time.waitMs(500);
    send("OUTP 0");
    EXPECT_EQ(execution(1), "STOP,3,0,1,5");
}

TEST_F(ProgramExecutionTest, RefusesChangesWhileRunning)
{
    writeProgram(1, "CC", {{"1", "10"}}, 1, false);
    send("PROG:STAT RUN");
    for (const char* command : {"FUNC CR", "CURR 1", "CURR:RANG LOW", "PROG:FSP:EDIT 1,2,0,1",
                                "PROG:FSP:END 2", "PROG:LOOP 3", "PROG:LINP ON", "PROG:LVAL 1"}) {
        simulator.handleLine(QLatin1String(command));
        EXPECT_EQ(nextError(), "-221,\"Settings conflict\"") << command;
    }
    send("PROG:STAT RUN");
    EXPECT_EQ(execution(1), "RUN,1,0,1,1") << "a second start leaves the running program alone";
    send("PROG:STAT STOP;:FUNC CR");
}

TEST_F(ProgramExecutionTest, RefusesToStartAProgramTheFunctionCannotRegulate)
{
    writeProgram(1, "CC", {{"50", "1"}}, 1, false);
    send("FUNC CR");
    simulator.handleLine("PROG:STAT RUN");
    EXPECT_EQ(nextError(), "-221,\"Settings conflict\"");
    EXPECT_FALSE(simulator.channel(1).isRunning());
}

TEST_F(ProgramExecutionTest, ZeroLengthProgramsEndAtOnce)
{
    send("PROG:FSP:END 2;:PROG:LOOP 3;:PROG:LINP ON");
    send("PROG:STAT RUN");
    EXPECT_EQ(execution(1), "STOP,2,1,3,3");
    EXPECT_TRUE(simulator.channel(1).loadOn());
}

TEST_F(ProgramExecutionTest, StepsOfZeroDurationArePassedOver)
{
    writeProgram(1, "CC", {{"1", "1"}, {"2", "0"}, {"3", "1"}}, 1, false);
    send("PROG:STAT RUN");
    time.waitMs(1000);
    EXPECT_EQ(execution(1), "RUN,3,2,1,1");
    EXPECT_EQ(ask("MEAS:CURR?"), "3.0000");
}

TEST_F(ProgramExecutionTest, RampStepsRunFromThePreviousValue)
{
    send("PROG:FSP:END 2;:PROG:FSP:EDIT 1,2,0,1;:PROG:FSP:EDIT 2,6,1,4");
    send("PROG:STAT RUN");
    EXPECT_EQ(ask("MEAS:CURR?"), "2.0000");
    time.waitMs(2000);
    EXPECT_EQ(ask("MEAS:CURR?"), "3.0000");
    time.waitMs(1000);
    EXPECT_EQ(ask("MEAS:CURR?"), "4.0000");
}

TEST_F(ProgramExecutionTest, TimesStepsToTheMillisecond)
{
    send("PROG:FSP:EDIT 1,1,0,0.0004;:PROG:FSP:EDIT 2,1,0,0.0016");
    EXPECT_EQ(ask("PROG:FSP:EDIT? 1;:PROG:FSP:EDIT? 2"), "1,0,0.000;1,0,0.002");
}
