#include "DeviceFixture.h"
#include "model/DecimalText.h"

class SequenceRead : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        settings.SeqCtl = HardwareControl;
        settings.deriveActiveValues();
    }
    // Stores a program in instrument channel `number` the way the front panel would.
    void storeProgram(int number, const char* function, const QStringList& steps, int end, int loop = 1,
                      const char* loadAtEnd = "OFF", const char* endValue = "0")
    {
        QStringList lines{
            QStringLiteral("INST:NSEL %1").arg(number),    QStringLiteral("FUNC %1").arg(function),
            QStringLiteral("PROG:FSP:END %1").arg(end),    QStringLiteral("PROG:LOOP %1").arg(loop),
            QStringLiteral("PROG:LINP %1").arg(loadAtEnd), QStringLiteral("PROG:LVAL %1").arg(endValue)};
        for (int k = 1; k <= steps.size(); ++k)
            lines << QStringLiteral("PROG:FSP:EDIT %1,%2").arg(k).arg(steps[k - 1]);
        for (const QString& text : lines)
            simulator.handleLine(text);
        ASSERT_EQ(simulator.errorQueue(), QStringList());
        simulator.clearTranscript();
    }
    static QStringList stepQueries(int count)
    {
        QStringList queries;
        for (int k = 1; k <= count; ++k)
            queries << QStringLiteral("PROG:FSP:EDIT? %1").arg(k);
        return queries;
    }
    static QStringList header(int number)
    {
        return identification() + QStringList{QStringLiteral("INST:NSEL %1").arg(number),
                                              "FUNC?",
                                              "PROG:LOOP?",
                                              "PROG:LINP?",
                                              "PROG:LVAL?",
                                              "PROG:FSP:END?"};
    }
};

TEST_F(SequenceRead, ReadsTheProgramIntoTheDocumentAndTheSettings)
{
    numbers = {1, 2, 3, 5, 4};
    storeProgram(5, "CC", {"1.5,0,10", "0,1,2.5", "2.25,0,0.001", "0,0,0"}, 3, 7, "ON", "0.5");
    settings.ModeChHard[3] = ModeCR;
    EXPECT_EQ(device.ReadSequence(3), 1);
    EXPECT_EQ(sent(), header(5) + stepQueries(3));
    EXPECT_FALSE(linkOpen());
    EXPECT_TRUE(prompt.texts().isEmpty());

    EXPECT_EQ(settings.ModeChHard[3], ModeCC);
    EXPECT_EQ(settings.ModeCh[3], ModeCC) << "the active mode follows under Hardware Control";
    EXPECT_EQ(settings.RepeatCh[3], 7);
    EXPECT_EQ(settings.OutOffChHard[3], 0);
    EXPECT_DOUBLE_EQ(settings.CurrCh[3], 0.5);

    const ChannelSequence& channel = document->channel(3);
    ASSERT_EQ(channel.count, 3) << "the end step is the last step";
    EXPECT_EQ(channel.steps[0].value, QStringLiteral("1.5"));
    EXPECT_EQ(channel.steps[0].interval, QStringLiteral("10.000"));
    EXPECT_EQ(channel.steps[1].value, QStringLiteral("0"));
    EXPECT_EQ(channel.steps[1].interval, QStringLiteral("2.500"));
    EXPECT_EQ(channel.steps[1].transition, QStringLiteral("0")) << "every step reads as a step transition";
    EXPECT_EQ(channel.steps[2].interval, QStringLiteral("0.001"));
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(channel.steps[row].load, QStringLiteral("1"));
        EXPECT_EQ(channel.steps[row].load2, QStringLiteral("1"));
    }
    EXPECT_EQ(channel.steps[3].value, QString()) << "nothing past the count";
}

TEST_F(SequenceRead, AProgramWhoseEndStepIsOneReadsAsOneStep)
{
    storeProgram(1, "CC", {"3,0,4"}, 1, 2, "OFF", "1.25");
    EXPECT_EQ(device.ReadSequence(0), 1);
    EXPECT_EQ(sent(), header(1) + stepQueries(1));
    EXPECT_EQ(document->channel(0).count, 1);
    EXPECT_EQ(document->channel(0).steps[0].value, QStringLiteral("3"));
    EXPECT_EQ(settings.RepeatCh[0], 2);
    EXPECT_EQ(settings.OutOffChHard[0], 1);
    EXPECT_DOUBLE_EQ(settings.CurrCh[0], 1.25);
}

TEST_F(SequenceRead, ReportsTheStepCountThenEachStepRead)
{
    storeProgram(2, "CC", {"1,0,1", "2,0,1", "0,0,0"}, 2);
    std::vector<std::array<int, 3>> progress;
    device.setReadProgress([&](int channel, int step, int total) {
        progress.push_back({channel, step, total});
    });
    ASSERT_EQ(device.ReadSequence(1), 1);
    EXPECT_EQ(progress, (std::vector<std::array<int, 3>>{{1, 0, 2}, {1, 1, 2}, {1, 2, 2}}));

    // A channel in another function has no steps to report.
    progress.clear();
    simulator.handleLine(QStringLiteral("INST:NSEL 3;:FUNC CV"));
    EXPECT_EQ(device.ReadSequence(2), 1);
    EXPECT_TRUE(progress.empty());
}

TEST_F(SequenceRead, TheStepCountStaysWithinTheDocument)
{
    struct Case {
        const char* end;
        int count;
    };
    const Case cases[] = {{"0", 0}, {"-4", 0}, {"abc", 0}, {"2000", 1024}, {"1024", 1024}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.end);
        simulator.clearTranscript();
        line->replies[QStringLiteral("PROG:FSP:END?")] = QLatin1String(c.end);
        EXPECT_EQ(device.ReadSequence(1), 1);
        EXPECT_EQ(document->channel(1).count, c.count);
        EXPECT_EQ(sent().filter("PROG:FSP:EDIT?").size(), c.count);
    }
}

TEST_F(SequenceRead, ALoopCountIsKeptWithinWhatTheLoadRuns)
{
    const std::pair<const char*, int> cases[] = {{"7", 7},  {"9999", 9999},  {"0", 1},
                                                 {"-5", 1}, {"10000", 9999}, {"abc", 1}};
    for (const auto& [reply, repeat] : cases) {
        SCOPED_TRACE(reply);
        line->replies[QStringLiteral("PROG:LOOP?")] = QLatin1String(reply);
        EXPECT_EQ(device.ReadSequence(1), 1);
        EXPECT_EQ(settings.RepeatCh[1], repeat);
    }
}

TEST_F(SequenceRead, TheEndBehaviourIsOnWheneverTheReplySaysOneOrOn)
{
    const std::pair<const char*, int> cases[] = {{"0", 1},  {"OFF", 1}, {"1", 0},
                                                 {"ON", 0}, {"+1", 0},  {"on", 1}};
    for (const auto& [reply, outOff] : cases) {
        SCOPED_TRACE(reply);
        line->replies[QStringLiteral("PROG:LINP?")] = QLatin1String(reply);
        settings.OutOffChHard[0] = 5;
        EXPECT_EQ(device.ReadSequence(0), 1);
        EXPECT_EQ(settings.OutOffChHard[0], outOff);
    }
}

TEST_F(SequenceRead, StepRepliesAreCutIntoFieldsWithoutSkippingEmptyOnes)
{
    storeProgram(1, "CC", {"1,0,1", "1,0,1", "1,0,1", "1,0,1"}, 4);
    line->replies[QStringLiteral("PROG:FSP:EDIT? 1")] = QStringLiteral("2.5,0");
    line->replies[QStringLiteral("PROG:FSP:EDIT? 2")] = QStringLiteral("2.5,,7.000");
    line->replies[QStringLiteral("PROG:FSP:EDIT? 3")] = QStringLiteral(",0,7.000");
    line->replies[QStringLiteral("PROG:FSP:EDIT? 4")] = QStringLiteral("3.5");
    EXPECT_EQ(device.ReadSequence(0), 1);
    const auto& steps = document->channel(0).steps;
    EXPECT_EQ(steps[0].value, QStringLiteral("2.5"));
    EXPECT_EQ(steps[0].interval, QString()) << "two fields: no interval";
    EXPECT_EQ(steps[1].interval, QStringLiteral("7.000"));
    EXPECT_EQ(steps[2].value, QString());
    EXPECT_EQ(steps[2].interval, QStringLiteral("7.000"));
    EXPECT_EQ(steps[3].value, QString()) << "a first field without a comma after it is empty";
    EXPECT_EQ(steps[3].interval, QStringLiteral("5"));
}

TEST_F(SequenceRead, ConductanceReadsBackAsResistanceWithFiveDecimals)
{
    storeProgram(2, "CR", {"0.25,0,1", "0,0,2", "0.3,0,3"}, 3, 1, "OFF", "0.4");
    EXPECT_EQ(device.ReadSequence(1), 1);
    EXPECT_EQ(settings.ModeChHard[1], ModeCR);
    const auto& steps = document->channel(1).steps;
    EXPECT_EQ(steps[0].value, QStringLiteral("4.00000"));
    EXPECT_EQ(steps[1].value, QStringLiteral("0.00000"));
    EXPECT_EQ(steps[2].value, QStringLiteral("3.33333"));
    EXPECT_DOUBLE_EQ(settings.CurrCh[1], 2.5);

    line->replies[QStringLiteral("PROG:LVAL?")] = QStringLiteral("0.3");
    EXPECT_EQ(device.ReadSequence(1), 1);
    EXPECT_DOUBLE_EQ(settings.CurrCh[1], 3.33333) << "the end value is rounded to five decimals";
    line->replies[QStringLiteral("PROG:LVAL?")] = QStringLiteral("0");
    EXPECT_EQ(device.ReadSequence(1), 1);
    EXPECT_DOUBLE_EQ(settings.CurrCh[1], 0.0);
}

TEST_F(SequenceRead, AChannelInAnotherFunctionIsSkippedWithAMessage)
{
    simulator.handleLine(QStringLiteral("INST:NSEL 2;:FUNC CCCV"));
    simulator.clearTranscript();
    settings.RepeatCh[1] = 9;
    settings.ModeChHard[1] = ModeCR;
    document->channel(1).count = 2;
    EXPECT_EQ(device.ReadSequence(1), 1) << "the transfer goes on with the next channel";
    EXPECT_EQ(sent(), (identification() + QStringList{"INST:NSEL 2", "FUNC?"}));
    EXPECT_EQ(prompt.texts(), (QStringList{"This channel is not CC mode or CR mode."}));
    EXPECT_EQ(prompt.linkOpenAtMessage, (std::vector<bool>{false}));
    EXPECT_FALSE(linkOpen());
    EXPECT_EQ(settings.RepeatCh[1], 9);
    EXPECT_EQ(settings.ModeChHard[1], ModeCR);
    EXPECT_EQ(document->channel(1).count, 2);
}

TEST_F(SequenceRead, AFailedExchangeKeepsWhatWasReadAndClosesTheLink)
{
    storeProgram(1, "CC", {"1,0,1", "2,0,2", "3,0,3", "4,0,4"}, 4, 3);
    simulator.stopAnsweringAfter(header(1).size() + 2); // two steps answer, the third does not
    EXPECT_EQ(device.ReadSequence(0), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{portMessage(CRs232cPort::NoData)}));
    EXPECT_FALSE(linkOpen());
    EXPECT_EQ(settings.RepeatCh[0], 3);
    EXPECT_EQ(document->channel(0).count, 2) << "the steps read so far, no empty rows";
    EXPECT_EQ(document->channel(0).steps[1].value, QStringLiteral("2"));

    simulator.clearFaults();
    simulator.clearTranscript();
    prompt.clear();
    line->failWriteOf = QStringLiteral("PROG:LOOP?");
    EXPECT_EQ(device.ReadSequence(0), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{portMessage(CRs232cPort::WriteFailed)}));
    EXPECT_EQ(sent(), (identification() + QStringList{"INST:NSEL 1", "FUNC?"}));
    EXPECT_FALSE(linkOpen());

    prompt.clear();
    line->failWriteOf.clear();
    simulator.setModel(QStringLiteral("PLZ-5W"));
    EXPECT_EQ(device.ReadSequence(0), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{"Morvane KDR-X series - The instrument is not"}));
    EXPECT_FALSE(linkOpen());
}

TEST_F(SequenceRead, A255StepChannelReadsBackAsItWasWritten)
{
    // Resistances pass through the conductance the instrument holds: eight decimals out, five back.
    const auto throughConductance = [](const QString& resistance) {
        const double r = decimalValue(resistance);
        return formatDouble("%.5f", 1.0 / decimalValue(formatDouble("%.8f", 1.0 / r)));
    };
    auto original = std::make_unique<ChannelSequence>();
    for (const int mode : {ModeCR, ModeCC}) {
        SCOPED_TRACE(mode);
        settings.ModeChHard[4] = mode;
        settings.RepeatCh[4] = 12;
        settings.OutOffChHard[4] = 0;
        QStringList values;
        for (int i = 0; i < 255; ++i) {
            // Resistances as the worksheet holds them with five decimals; currents with four.
            values << (mode == ModeCR ? formatDouble("%.5f", 0.5 + i * 1.25) : formatDouble("%.4f", i * 0.2));
        }
        setSteps(4, values);
        for (int row = 0; row < 255; ++row)
            document->channel(4).steps[row].interval = formatDouble("%.3f", 0.5 + row * 0.125);
        *original = document->channel(4);
        ASSERT_EQ(device.WriteSequence(4), 1);

        for (SequenceStep& step : document->channel(4).steps)
            step.clear();
        document->channel(4).count = 0;
        settings.RepeatCh[4] = 1;
        settings.OutOffChHard[4] = 1;
        settings.ModeChHard[4] = ModeCV;
        ASSERT_EQ(device.ReadSequence(4), 1);
        EXPECT_TRUE(prompt.texts().isEmpty());
        EXPECT_EQ(settings.ModeChHard[4], mode);
        EXPECT_EQ(settings.RepeatCh[4], 12);
        EXPECT_EQ(settings.OutOffChHard[4], 0);

        const ChannelSequence& read = document->channel(4);
        ASSERT_EQ(read.count, 255);
        for (int row = 0; row < 255; ++row) {
            const SequenceStep& was = original->steps[row];
            if (mode == ModeCR) {
                ASSERT_EQ(read.steps[row].value, throughConductance(was.value)) << row;
                ASSERT_NEAR(decimalValue(read.steps[row].value), decimalValue(was.value), 2e-3) << row;
            } else {
                ASSERT_DOUBLE_EQ(decimalValue(read.steps[row].value), decimalValue(was.value)) << row;
            }
            ASSERT_EQ(read.steps[row].interval, was.interval) << row;
            ASSERT_EQ(read.steps[row].transition, was.transition) << row;
            ASSERT_EQ(read.steps[row].load, was.load) << row;
            ASSERT_EQ(read.steps[row].load2, was.load2) << row;
        }
    }
}

TEST_F(SequenceRead, WithoutADocumentNothingIsSent)
{
    current.clear();
    EXPECT_EQ(device.ReadSequence(0), 0);
    EXPECT_EQ(device.ReadSequence(-1), 0);
    EXPECT_TRUE(sent().isEmpty());
}

// Execution state.

class ProgramState : public DeviceFixture {
protected:
    std::array<int, kChannelCount> runState{9, 9, 9, 9, 9};
    ChannelTexts steps{"s", "s", "s", "s", "s"};
    ChannelTexts loops{"l", "l", "l", "l", "l"};
};

TEST_F(ProgramState, AsksTheSelectedChannelsInOneMessage)
{
    numbers = {5, 4, 3, 2, 1}; // not used here
    openLink();
    line->replies[QStringLiteral(":INST:NSEL 1;:PROG:EXEC?;:INST:NSEL 2;:PROG:EXEC?;")] =
        QStringLiteral("RUN,5,0,1,3;STOP,5,4,3,3");
    EXPECT_EQ((device.QueryProgramState(runState, steps, loops, {1, 1, 0, 0, 0})), 1);
    EXPECT_EQ(sent(), (QStringList{":INST:NSEL 1;:PROG:EXEC?;:INST:NSEL 2;:PROG:EXEC?;"}));
    EXPECT_EQ(runState, (std::array<int, kChannelCount>{2, 1, 9, 9, 9}));
    EXPECT_EQ(steps, (ChannelTexts{"1", "5", "s", "s", "s"}));
    EXPECT_EQ(loops, (ChannelTexts{"1", "3", "l", "l", "l"}));
    EXPECT_TRUE(linkOpen());
}

TEST_F(ProgramState, TheAnswersGoToTheSelectedChannelsInOrder)
{
    openLink();
    line->replies[QStringLiteral(
        ":INST:NSEL 2;:PROG:EXEC?;:INST:NSEL 4;:PROG:EXEC?;:INST:NSEL 5;:PROG:EXEC?;")] =
        QStringLiteral(";;PAUSE,1,x,2,2;;RUN,1,,,1;run,1,7,1,1");
    EXPECT_EQ((device.QueryProgramState(runState, steps, loops, {0, 1, 0, 1, 1})), 1);
    EXPECT_EQ(runState, (std::array<int, kChannelCount>{9, 1, 9, 2, 1}));
    EXPECT_EQ(steps, (ChannelTexts{"s", "1", "s", "1", "8"}));
    EXPECT_EQ(loops, (ChannelTexts{"l", "2", "l", "", "1"}));
}

TEST_F(ProgramState, FollowsARunningProgram)
{
    simulator.handleLine(QStringLiteral("INST:NSEL 3;:PROG:FSP:END 2;:PROG:LOOP 2"));
    simulator.handleLine(QStringLiteral("PROG:FSP:EDIT 1,1,0,10;:PROG:FSP:EDIT 2,2,0,10"));
    simulator.handleLine(QStringLiteral("PROG:STAT RUN"));
    time.waitMs(25000); // second pass, first step
    openLink();
    EXPECT_EQ((device.QueryProgramState(runState, steps, loops, {0, 0, 1, 0, 0})), 1);
    EXPECT_EQ(runState[2], 2);
    EXPECT_EQ(steps[2], QStringLiteral("1"));
    EXPECT_EQ(loops[2], QStringLiteral("2"));
    time.waitMs(20000);
    EXPECT_EQ((device.QueryProgramState(runState, steps, loops, {0, 0, 1, 0, 0})), 1);
    EXPECT_EQ(runState[2], 1);
    EXPECT_EQ(steps[2], QStringLiteral("2"));
}

TEST_F(ProgramState, AFailedExchangeIsSilentAndKeepsTheLink)
{
    openLink();
    simulator.stopAnsweringAfter(0);
    EXPECT_EQ((device.QueryProgramState(runState, steps, loops, {1, 0, 0, 0, 0})), 0);
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_TRUE(linkOpen());
    EXPECT_EQ(runState[0], 9);
}

TEST_F(ProgramState, AnAnswerLongerThanTheLinkCarriesFailsThePoll)
{
    openLink();
    const QString longAnswer = QStringLiteral("RUN,5,1,1,") + QString(120, QLatin1Char('0'));
    line->replies[QStringLiteral(":INST:NSEL 1;:PROG:EXEC?;:INST:NSEL 2;:PROG:EXEC?;")] =
        QStringLiteral("RUN,5,0,1,3;") + longAnswer;
    line->replies[QStringLiteral(":INST:NSEL 2;:PROG:EXEC?;")] = longAnswer;
    EXPECT_EQ((device.QueryProgramState(runState, steps, loops, {1, 1, 0, 0, 0})), 0);
    // The cut answer is never taken for a stopped program: channel 2 is asked on its own.
    EXPECT_EQ(sent(), (QStringList{":INST:NSEL 1;:PROG:EXEC?;:INST:NSEL 2;:PROG:EXEC?;",
                                   ":INST:NSEL 2;:PROG:EXEC?;"}));
    EXPECT_NE(runState[1], 1);
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_TRUE(linkOpen());
}

TEST_F(ProgramState, NoSelectedChannelAsksNothing)
{
    openLink();
    EXPECT_EQ((device.QueryProgramState(runState, steps, loops, {0, 0, 0, 0, 0})), 1);
    EXPECT_TRUE(sent().isEmpty());
}

TEST(GetField, CutsCommaSeparatedFieldsTheCallerStepsOver)
{
    struct Case {
        const char* text;
        int lastIndex;
        QStringList fields;
    };
    const Case cases[] = {
        {"1.5,0,10.000", 2, {"1.5", "0", "10.000"}},
        {"1.5,0", 2, {"1.5", "", ""}},
        {"1.5,,10", 2, {"1.5", "", "10"}},
        {",0,10", 2, {"", "0", "10"}},
        {"3.5", 2, {"", "", "5"}}, // the last field starts two places on whatever came before
        {"RUN,5,4,3,2,extra", 4, {"RUN", "5", "4", "3", "2,extra"}},
        {"", 2, {"", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QLatin1String(c.text);
        QStringList fields;
        int position = 0;
        for (int index = 0; index <= c.lastIndex; ++index) {
            fields << CKdrxDevice::GetField(position, text, index, c.lastIndex);
            position += 1;
        }
        EXPECT_EQ(fields, c.fields);
    }
}

TEST(GetField, APositionOutsideTheTextGivesAnEmptyField)
{
    int position = 20;
    EXPECT_EQ(CKdrxDevice::GetField(position, QStringLiteral("1,2"), 0, 2), QString());
    EXPECT_EQ(position, 20);
    position = -3;
    EXPECT_EQ(CKdrxDevice::GetField(position, QStringLiteral("1,2"), 2, 2), QString());
    EXPECT_EQ(position, -3);
    position = 2;
    EXPECT_EQ(CKdrxDevice::GetField(position, QStringLiteral("1,2"), 1, 1), QStringLiteral("2"));
    EXPECT_EQ(position, 3);
}
