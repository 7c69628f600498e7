#include "DeviceFixture.h"

class SequenceWrite : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        settings.SeqCtl = HardwareControl;
        settings.deriveActiveValues();
    }
    // The step commands with their error checks, for values with the fixture's interval.
    static QStringList stepCommands(const QStringList& values,
                                    const QString& interval = QStringLiteral("10.000"))
    {
        QStringList commands;
        for (int k = 1; k <= values.size(); ++k)
            commands << QStringLiteral("PROG:FSP:EDIT %1,%2,0,%3").arg(k).arg(values[k - 1], interval)
                     << QStringLiteral("SYST:ERR?");
        return commands;
    }
    static QStringList manyValues(int count)
    {
        QStringList values;
        for (int i = 0; i < count; ++i)
            values << QStringLiteral("%1.%2").arg(i % 50).arg(i % 10000, 4, 10, QLatin1Char('0'));
        return values;
    }
};

TEST_F(SequenceWrite, WritesEveryStepWithAnErrorCheckAndTheProgramSettings)
{
    numbers = {1, 4, 3, 2, 5};
    settings.ModeChHard[1] = ModeCC;
    settings.RepeatCh[1] = 3;
    settings.OutOffChHard[1] = 1;
    setSteps(1, {"1.5000", "0.0000", "2.2500"});
    EXPECT_EQ(device.WriteSequence(1), 1);
    EXPECT_EQ(sent(),
              (identification() +
               QStringList{"INST:NSEL 4;:INST:COUP NONE", "FUNC CC", "PROG:FSP:END 3", "PROG:LVAL 0"} +
               stepCommands({"1.5000", "0.0000", "2.2500"}) +
               QStringList{"PROG:FSP:EDIT 4,0,0,0", "PROG:LOOP 3", "SYST:ERR?", "PROG:LINP OFF"}));
    EXPECT_FALSE(linkOpen());
    EXPECT_TRUE(prompt.texts().isEmpty());

    const SimulatedChannel stored = simulator.channel(4);
    EXPECT_EQ(stored.function(), LoadFunction::CC);
    EXPECT_EQ(stored.endStep(), 3);
    EXPECT_EQ(stored.loopCount(), 3);
    EXPECT_FALSE(stored.loadOnAtEnd());
    EXPECT_DOUBLE_EQ(stored.step(3).value, 2.25);
    EXPECT_EQ(stored.step(3).durationMs, 10000);
    EXPECT_DOUBLE_EQ(stored.step(4).value, 0.0);
}

TEST_F(SequenceWrite, WaitsAHundredMillisecondsAfterTheFunction)
{
    setSteps(0, {"1.0000"});
    ASSERT_EQ(device.WriteSequence(0), 1);
    const auto received = simulator.received();
    const auto at = [&](const QString& text) {
        for (const auto& line : received) {
            if (line.text == text)
                return line.ms;
        }
        return qint64(-1);
    };
    EXPECT_EQ(at("PROG:FSP:END 1") - at("FUNC CC"), 100);
    // 200 ms before the open, 100 ms after the function, 200 ms at the close; nothing else waits.
    EXPECT_EQ(time.waitedMs(), 500);
}

TEST_F(SequenceWrite, ResistanceIsWrittenAsConductanceWithEightDecimals)
{
    settings.ModeChHard[2] = ModeCR;
    settings.OutOffChHard[2] = 0;
    setSteps(2, {"4.00000", "0.00000", "3", "abc"});
    EXPECT_EQ(device.WriteSequence(2), 1);
    EXPECT_EQ(sent(),
              (identification() +
               QStringList{"INST:NSEL 3;:INST:COUP NONE", "FUNC CR", "PROG:FSP:END 4", "PROG:LVAL 0"} +
               stepCommands({"0.25000000", "0.00000000", "0.33333333", "0.00000000"}) +
               QStringList{"PROG:FSP:EDIT 5,0,0,0", "PROG:LOOP 1", "SYST:ERR?", "PROG:LINP ON"}));
    EXPECT_EQ(simulator.channel(3).function(), LoadFunction::CR);
    EXPECT_TRUE(simulator.channel(3).loadOnAtEnd());
}

TEST_F(SequenceWrite, OnlyAProgramBelow255StepsGetsTheZeroStep)
{
    setSteps(0, manyValues(254));
    ASSERT_EQ(device.WriteSequence(0), 1);
    QStringList commands = sent();
    EXPECT_EQ(commands.mid(commands.size() - 5, 3),
              (QStringList{"SYST:ERR?", "PROG:FSP:EDIT 255,0,0,0", "PROG:LOOP 1"}));

    simulator.clearTranscript();
    setSteps(0, manyValues(255));
    ASSERT_EQ(device.WriteSequence(0), 1);
    commands = sent();
    EXPECT_EQ(commands.mid(commands.size() - 5),
              (QStringList{"PROG:FSP:EDIT 255,4.0254,0,10.000", "SYST:ERR?", "PROG:LOOP 1", "SYST:ERR?",
                           "PROG:LINP OFF"}));
    EXPECT_EQ(commands.filter("PROG:FSP:EDIT").size(), 255);
    EXPECT_EQ(simulator.channel(1).endStep(), 255);
}

TEST_F(SequenceWrite, ReportsEachStepWritten)
{
    setSteps(3, {"1.0000", "2.0000"});
    std::vector<std::array<int, 3>> progress;
    device.setWriteProgress([&](int channel, int step, int total) {
        progress.push_back({channel, step, total});
    });
    ASSERT_EQ(device.WriteSequence(3), 1);
    // Step 0: the step count is sent, the channel's program is being replaced.
    EXPECT_EQ(progress, (std::vector<std::array<int, 3>>{{3, 0, 2}, {3, 1, 2}, {3, 2, 2}}));
}

TEST_F(SequenceWrite, AnInstrumentErrorAfterAStepStopsTheWriteAndClosesTheLink)
{
    // 80 A is beyond the high current range: the instrument refuses the second step.
    setSteps(0, {"1.0000", "80.0000", "2.0000"});
    EXPECT_EQ(device.WriteSequence(0), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{"An error occurred. -222,\"Data out of range\""}));
    EXPECT_EQ(prompt.linkOpenAtMessage, (std::vector<bool>{true}));
    EXPECT_EQ(sent(),
              (identification() +
               QStringList{"INST:NSEL 1;:INST:COUP NONE", "FUNC CC", "PROG:FSP:END 3", "PROG:LVAL 0"} +
               stepCommands({"1.0000", "80.0000"})));
    EXPECT_FALSE(linkOpen());
    EXPECT_DOUBLE_EQ(simulator.channel(1).step(1).value, 1.0) << "steps already written stay";
}

TEST_F(SequenceWrite, ALoopCountTheInstrumentRefusesFailsTheWrite)
{
    setSteps(0, {"1.0000"});
    settings.RepeatCh[0] = 0;
    EXPECT_EQ(device.WriteSequence(0), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{"An error occurred. -222,\"Data out of range\""}));
    EXPECT_EQ(sent().mid(sent().size() - 2), (QStringList{"PROG:LOOP 0", "SYST:ERR?"}));
    EXPECT_FALSE(linkOpen());
}

TEST_F(SequenceWrite, AStepThatCannotBeSentStopsTheWriteAndClosesTheLink)
{
    setSteps(0, {"1.0000", "2.0000", "3.0000"});
    line->failWriteOf = QStringLiteral("PROG:FSP:EDIT 3,");
    EXPECT_EQ(device.WriteSequence(0), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{portMessage(CRs232cPort::WriteFailed)}));
    EXPECT_EQ(sent().last(), QStringLiteral("SYST:ERR?"));
    EXPECT_EQ(sent().filter("PROG:FSP:EDIT").size(), 2);
    EXPECT_FALSE(linkOpen());
}

TEST_F(SequenceWrite, FailuresBeforeTheFirstStepSendNothingMore)
{
    setSteps(0, {"1.0000"});
    simulator.setModel(QStringLiteral("PLZ-5W"));
    EXPECT_EQ(device.WriteSequence(0), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{"Morvane KDR-X series - The instrument is not"}));
    EXPECT_EQ(sent(), (QStringList{"*IDN?"}));
    EXPECT_FALSE(linkOpen());

    simulator.clearFaults();
    simulator.clearTranscript();
    prompt.clear();
    simulator.stopAnsweringAfter(0);
    EXPECT_EQ(device.WriteSequence(0), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{portMessage(CRs232cPort::NoData)}));
    EXPECT_FALSE(linkOpen());

    simulator.clearFaults();
    simulator.clearTranscript();
    prompt.clear();
    line->failWriteOf = QStringLiteral("FUNC");
    EXPECT_EQ(device.WriteSequence(0), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{portMessage(CRs232cPort::WriteFailed)}));
    EXPECT_EQ(sent(), (identification() + QStringList{"INST:NSEL 1;:INST:COUP NONE"}));
    EXPECT_FALSE(linkOpen());
}

TEST_F(SequenceWrite, WithoutADocumentNothingIsSent)
{
    current.clear();
    EXPECT_EQ(device.WriteSequence(0), 0);
    EXPECT_EQ(device.WriteSequence(7), 0);
    EXPECT_TRUE(sent().isEmpty());
}

// Starting channels.

class ChannelStart : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        settings.SeqCtl = SoftwareControl;
        settings.Unit = UnitS;
        settings.ModeCh = {ModeCC, ModeCC, ModeCC, ModeCC, ModeCC};
        for (int c = 0; c < kChannelCount; ++c)
            setSteps(c, {"1.5000", "2.0000"}, QStringLiteral("1.0"));
    }
    ChannelTexts currents;
    ChannelTexts voltages;
};

TEST_F(ChannelStart, StartChannelSetsModeRangeAndFirstValueThenSwitchesTheLoad)
{
    numbers = {2, 3, 4, 5, 1};
    settings.RangeCC[1] = 1;
    EXPECT_EQ(device.StartChannel(1, 1, currents, voltages, 0), 1);
    EXPECT_EQ(sent(), (identification() + QStringList{"INST:COUP NONE",
                                                      "INST:NSEL 3;:PROG:STAT STOP;:FUNC CC", "CURR:RANG MED",
                                                      "CURR 1.5000", "SYST:ERR?", "INST:NSEL 3;:OUTP 1"}));
    EXPECT_TRUE(linkOpen()) << "the run keeps the link";
    EXPECT_TRUE(simulator.channel(3).loadOn());
    EXPECT_DOUBLE_EQ(simulator.channel(3).current(), 1.5);

    simulator.clearTranscript();
    document->channel(1).steps[0].load = QStringLiteral("0");
    EXPECT_EQ(device.StartChannel(1, 0, currents, voltages, 0), 1);
    EXPECT_EQ(sent(), (QStringList{"INST:NSEL 3;:PROG:STAT STOP;:FUNC CC", "CURR:RANG MED", "CURR 1.5000",
                                   "SYST:ERR?", "INST:NSEL 3;:OUTP 0"}));
}

TEST_F(ChannelStart, EachModeHasItsFunctionAndValueCommands)
{
    struct Case {
        int mode;
        const char* function;
        QStringList values;
    };
    settings.Volt1Ch[0] = 12.5;
    settings.Volt2Ch[0] = 3.25;
    setSteps(0, {"4.0"});
    const Case cases[] = {
        {ModeCV, "CV", {"VOLT 4.0"}},
        {ModeCC, "CC", {"CURR 4.0"}},
        {ModeCR, "CR", {"COND 0.25000000"}},
        {ModeCCCV, "CCCV", {"CURR 4.0", "VOLT 12.500000"}},
        {ModeCRCV, "CRCV", {"COND 0.25000000", "VOLT 3.250000"}},
    };
    openLink();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        simulator.clearTranscript();
        settings.ModeCh[0] = c.mode;
        EXPECT_EQ(device.StartChannel(0, 0, currents, voltages, 0), 1);
        EXPECT_EQ(sent(), (QStringList{QStringLiteral("INST:NSEL 1;:PROG:STAT STOP;:FUNC ") + c.function,
                                       "CURR:RANG HIGH"} +
                           c.values + QStringList{"SYST:ERR?", "INST:NSEL 1;:OUTP 1"}));
    }
}

TEST_F(ChannelStart, ARampStartsFromZeroUnlessItIsHalfASecond)
{
    struct Case {
        int unit;
        const char* interval;
        const char* command;
    };
    const Case cases[] = {
        {UnitS, "0.5", "CURR 1.5000"},
        {UnitS, "0.50", "CURR 1.5000"},
        {UnitMin, "0.5", "CURR 0"},
        {UnitS, "1.0", "CURR 0"},
    };
    openLink();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.interval);
        simulator.clearTranscript();
        settings.Unit = c.unit;
        document->channel(0).steps[0].transition = QStringLiteral("1");
        document->channel(0).steps[0].interval = QLatin1String(c.interval);
        EXPECT_EQ(device.StartChannel(0, 0, currents, voltages, 0), 1);
        EXPECT_EQ(sent().value(2), QLatin1String(c.command));
    }
}

TEST_F(ChannelStart, UnderHardwareControlOnlyTheStoredProgramIsStarted)
{
    settings.SeqCtl = HardwareControl;
    simulator.handleLine(QStringLiteral("INST:NSEL 3;:PROG:FSP:EDIT 1,1,0,10"));
    simulator.clearTranscript();
    EXPECT_EQ(device.StartChannel(2, 1, currents, voltages, 0), 1);
    EXPECT_EQ(sent(),
              (identification() + QStringList{"INST:COUP NONE", "INST:NSEL 3;:PROG:STAT RUN", "SYST:ERR?"}));
    EXPECT_TRUE(simulator.channel(3).isRunning());
    EXPECT_TRUE(linkOpen());
}

TEST_F(ChannelStart, AProgramTheInstrumentRefusesIsAFailedStartThatLeavesNothingRunning)
{
    // Channel 3's program asks for 2 A, more than the LOW current range in force can regulate.
    settings.SeqCtl = HardwareControl;
    simulator.handleLine(QStringLiteral("INST:NSEL 2;:PROG:FSP:EDIT 1,0.5,0,10;"
                                        ":INST:NSEL 3;:PROG:FSP:EDIT 1,2,0,10;:CURR:RANG LOW"));
    simulator.clearTranscript();

    EXPECT_EQ(device.StartChannel(2, 1, currents, voltages, 0), 0);
    EXPECT_EQ(sent().mid(3),
              (QStringList{"INST:NSEL 3;:PROG:STAT RUN", "SYST:ERR?", "INST:NSEL 3;:PROG:STAT STOP"}));
    EXPECT_EQ(prompt.texts(), (QStringList{"An error occurred. -221,\"Settings conflict\""}));
    EXPECT_FALSE(linkOpen());
    EXPECT_FALSE(simulator.channel(3).isRunning());

    // Joining a run on its open link, the refusal fails silently and leaves the link open.
    prompt.clear();
    ASSERT_TRUE(port.Open());
    EXPECT_EQ(device.StartChannel(2, 0, currents, voltages, 0), 0);
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_TRUE(linkOpen());

    // A coupled start runs the channels that were not refused: they are stopped again.
    port.Close();
    simulator.clearTranscript();
    EXPECT_EQ((device.StartChannels({0, 1, 1, 0, 0}, nullptr, currents, voltages, 0)), 0);
    EXPECT_EQ(sent().mid(3),
              (QStringList{"INST CH2;:INST:COUP CH2,CH3;:PROG:STAT RUN", "INST:COUP NONE", "SYST:ERR?",
                           "INST:NSEL 2;:PROG:STAT STOP", "INST:NSEL 3;:PROG:STAT STOP"}));
    EXPECT_EQ(prompt.texts(), (QStringList{"An error occurred. -221,\"Settings conflict\""}));
    EXPECT_FALSE(simulator.channel(2).isRunning());
    EXPECT_FALSE(simulator.channel(3).isRunning());
    EXPECT_FALSE(linkOpen());
}

TEST_F(ChannelStart, MeasuresBeforeTheStartWhenTheLogWantsIt)
{
    settings.Curr = 1;
    settings.Volt = 1;
    settings.File = 1;
    settings.MonStart = 1;
    EXPECT_EQ(device.StartChannel(3, 1, currents, voltages, 1), 1);
    EXPECT_EQ(sent().value(3), QStringLiteral("INST:NSEL 4;:MEAS:CURR?;:MEAS:VOLT?"));
    EXPECT_EQ(currents[3], QStringLiteral("0.0000"));
    EXPECT_EQ(voltages[3], QStringLiteral("12.000"));

    simulator.clearTranscript();
    settings.MonStart = 0;
    EXPECT_EQ(device.StartChannel(3, 0, currents, voltages, 1), 1);
    EXPECT_TRUE(sent().filter("MEAS").isEmpty());
}

TEST_F(ChannelStart, FailuresWithTheOpeningFlagAreShownAndCloseTheLink)
{
    settings.ModeCh[0] = 7;
    EXPECT_EQ(device.StartChannel(0, 1, currents, voltages, 0), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{"No Mode"}));
    EXPECT_FALSE(linkOpen());

    prompt.clear();
    settings.ModeCh[0] = ModeCC;
    settings.RangeCC[0] = 3;
    EXPECT_EQ(device.StartChannel(0, 1, currents, voltages, 0), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{"Can not set the cc range"}));
    EXPECT_FALSE(linkOpen());

    prompt.clear();
    settings.RangeCC[0] = 0;
    setSteps(0, {"75.0"}); // beyond the high range
    EXPECT_EQ(device.StartChannel(0, 1, currents, voltages, 0), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{"There is not a channel or cannot set an initial value."}));
    EXPECT_EQ(prompt.linkOpenAtMessage.back(), true) << "StartChannel shows the message first";
    EXPECT_FALSE(linkOpen());

    prompt.clear();
    simulator.clearTranscript();
    setSteps(0, {"1.0"});
    line->failWriteOf = QStringLiteral("INST:NSEL 1;:OUTP");
    EXPECT_EQ(device.StartChannel(0, 1, currents, voltages, 0), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{portMessage(CRs232cPort::WriteFailed)}));
    EXPECT_FALSE(linkOpen());
}

TEST_F(ChannelStart, FailuresOnAnOpenLinkAreSilentExceptTheRange)
{
    openLink();
    settings.ModeCh[0] = 7;
    EXPECT_EQ(device.StartChannel(0, 0, currents, voltages, 0), 0);
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_TRUE(linkOpen());

    settings.ModeCh[0] = ModeCC;
    setSteps(0, {"75.0"});
    EXPECT_EQ(device.StartChannel(0, 0, currents, voltages, 0), 0);
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_TRUE(linkOpen());

    settings.RangeCC[0] = 3;
    EXPECT_EQ(device.StartChannel(0, 0, currents, voltages, 0), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{"Can not set the cc range"}));
    EXPECT_TRUE(linkOpen());

    settings.RangeCC[0] = 0;
    simulator.stopAnsweringAfter(0);
    EXPECT_EQ(device.StartChannel(0, 0, currents, voltages, 0), 0);
    EXPECT_EQ(prompt.texts().size(), 1);
    EXPECT_TRUE(linkOpen());
}

TEST_F(ChannelStart, StartChannelsCouplesTheChannelsWhoseFirstStepIsOn)
{
    numbers = {5, 4, 3, 2, 1}; // the set-up uses the table, the coupling does not
    EXPECT_EQ((device.StartChannels({1, 0, 1, 0, 0}, nullptr, currents, voltages, 0)), 1);
    EXPECT_EQ(sent(), (identification() +
                       QStringList{"INST:COUP NONE", "INST:NSEL 5;:PROG:STAT STOP;:FUNC CC", "CURR:RANG HIGH",
                                   "CURR 1.5000", "SYST:ERR?", "INST:NSEL 3;:PROG:STAT STOP;:FUNC CC",
                                   "CURR:RANG HIGH", "CURR 1.5000", "SYST:ERR?",
                                   "INST CH1;:INST:COUP CH1,CH3;:OUTP 1", "INST:COUP NONE"}));
    EXPECT_TRUE(linkOpen());
    EXPECT_TRUE(simulator.channel(1).loadOn());
    EXPECT_TRUE(simulator.channel(3).loadOn());
    EXPECT_EQ(simulator.coupledChannels(), (std::vector<int>{}));
}

TEST_F(ChannelStart, StartChannelsWithEveryFirstStepOffSendsOnlyTheSetUp)
{
    document->channel(1).steps[0].load = QStringLiteral("0");
    document->channel(4).steps[0].load = QStringLiteral("0");
    EXPECT_EQ((device.StartChannels({0, 1, 0, 0, 1}, nullptr, currents, voltages, 0)), 1);
    EXPECT_EQ(sent().last(), QStringLiteral("SYST:ERR?"));
    EXPECT_TRUE(sent().filter("COUP CH").isEmpty());
    EXPECT_TRUE(linkOpen());
}

TEST_F(ChannelStart, StartChannelsUnderHardwareControlRunsTheStoredPrograms)
{
    settings.SeqCtl = HardwareControl;
    settings.Curr = 1;
    settings.Volt = 1;
    settings.File = 1;
    settings.MonStart = 1;
    simulator.handleLine(
        QStringLiteral("INST:NSEL 2;:PROG:FSP:EDIT 1,1,0,10;:INST:NSEL 3;:PROG:FSP:EDIT 1,1,0,10"));
    simulator.clearTranscript();
    EXPECT_EQ((device.StartChannels({0, 1, 1, 0, 0}, nullptr, currents, voltages, 1)), 1);
    EXPECT_EQ(sent(), (identification() + QStringList{"INST:COUP NONE", "INST:NSEL 2;:MEAS:CURR?;:MEAS:VOLT?",
                                                      "INST:NSEL 3;:MEAS:CURR?;:MEAS:VOLT?",
                                                      "INST CH2;:INST:COUP CH2,CH3;:PROG:STAT RUN",
                                                      "INST:COUP NONE", "SYST:ERR?"}));
    EXPECT_EQ(voltages[1], QStringLiteral("12.000"));
    EXPECT_EQ(voltages[2], QStringLiteral("12.000"));
    EXPECT_EQ(voltages[0], QString());
    EXPECT_TRUE(simulator.channel(2).isRunning());
    EXPECT_TRUE(simulator.channel(3).isRunning());
}

TEST_F(ChannelStart, StartChannelsUnderHardwareControlStartsChannelsWhoseFirstStepIsOff)
{
    // The program's own steps switch the load; a channel left out would never run and its polls
    // would report it ended.
    settings.SeqCtl = HardwareControl;
    document->channel(0).steps[0].load = QStringLiteral("0");
    document->channel(2).steps[0].load = QStringLiteral("0");
    simulator.handleLine(
        QStringLiteral("INST:NSEL 1;:PROG:FSP:EDIT 1,1,0,10;:INST:NSEL 3;:PROG:FSP:EDIT 1,1,0,10"));
    simulator.clearTranscript();
    EXPECT_EQ((device.StartChannels({1, 0, 1, 0, 0}, nullptr, currents, voltages, 0)), 1);
    EXPECT_EQ(sent(),
              (identification() + QStringList{"INST:COUP NONE", "INST CH1;:INST:COUP CH1,CH3;:PROG:STAT RUN",
                                              "INST:COUP NONE", "SYST:ERR?"}));
    EXPECT_TRUE(simulator.channel(1).isRunning());
    EXPECT_TRUE(simulator.channel(3).isRunning());
}

TEST_F(ChannelStart, StartChannelsClosesTheLinkBeforeTheInitialValueMessage)
{
    setSteps(2, {"75.0"});
    EXPECT_EQ((device.StartChannels({1, 0, 1, 1, 0}, nullptr, currents, voltages, 0)), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{"There is not a channel or cannot set an initial value."}));
    EXPECT_EQ(prompt.linkOpenAtMessage, (std::vector<bool>{false}));
    EXPECT_TRUE(sent().filter("INST:NSEL 4").isEmpty()) << "channel 4 is not set up";
    EXPECT_FALSE(simulator.channel(1).loadOn());
}

TEST_F(ChannelStart, StartChannelsReportsLinkFailures)
{
    settings.File = 1;
    settings.MonStart = 1;
    simulator.stopAnsweringAfter(3); // *IDN?, *CLS, INST:COUP NONE
    EXPECT_EQ((device.StartChannels({1, 1, 0, 0, 0}, nullptr, currents, voltages, 1)), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{portMessage(CRs232cPort::NoData)}));
    EXPECT_EQ(sent().last(), QStringLiteral("INST:NSEL 1;:MEAS:CURR?;:MEAS:VOLT?"));
    EXPECT_FALSE(linkOpen());

    simulator.clearFaults();
    simulator.clearTranscript();
    prompt.clear();
    settings.MonStart = 0;
    line->failWriteOf = QStringLiteral("INST:COUP NONE");
    EXPECT_EQ((device.StartChannels({1, 1, 0, 0, 0}, nullptr, currents, voltages, 1)), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{portMessage(CRs232cPort::WriteFailed)}));
    EXPECT_EQ(sent(), identification());
    EXPECT_FALSE(linkOpen());

    simulator.clearTranscript();
    prompt.clear();
    line->failWriteOf = QStringLiteral("INST CH1");
    EXPECT_EQ((device.StartChannels({1, 1, 0, 0, 0}, nullptr, currents, voltages, 1)), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{portMessage(CRs232cPort::WriteFailed)}));
    EXPECT_FALSE(linkOpen());
}
