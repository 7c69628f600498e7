#include "DeviceFixture.h"

using InstrumentControl = DeviceFixture;

TEST_F(InstrumentControl, IdentifyAcceptsAModelThatBeginsWithKdr)
{
    struct Case {
        const char* identity;
        bool accepted;
    };
    const Case cases[] = {
        {"MORVANE,KDR-X5,SIM00001,1.00", true},
        {"MORVANE,KDRX", true},
        {"MORVANE,,KDR-X5,1.00", true}, // an empty field between commas does not count
        {"MORVANE,PLZ-5W,SIM00001,1.00", false},
        {"MORVANE, KDR-X5", false},
        {"MORVANE,kdr-x5", false},
        {"KDR-X5", false},           // no second field
        {",KDR-X5,SIM00001", false}, // the leading comma is skipped: the model is the third field
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.identity);
        simulator.setIdentity(QLatin1String(c.identity));
        prompt.clear();
        openLink();
        QString reply;
        EXPECT_EQ(device.Identify(reply), c.accepted ? 1 : 0);
        EXPECT_EQ(reply, QLatin1String(c.identity));
        if (c.accepted) {
            EXPECT_EQ(sent(), identification());
            EXPECT_TRUE(prompt.texts().isEmpty());
        } else {
            EXPECT_EQ(sent(), (QStringList{"*IDN?"})) << "no *CLS for another instrument";
            EXPECT_EQ(prompt.texts(), (QStringList{"Morvane KDR-X series - The instrument is not"}));
        }
        EXPECT_TRUE(linkOpen()) << "Identify leaves the link to its caller";
    }
}

TEST_F(InstrumentControl, IdentifyLooksAtTheFirst63CharactersOnly)
{
    const QString maker(59, QLatin1Char('M'));
    simulator.setIdentity(maker + QStringLiteral(",KDR-X5"));
    openLink();
    EXPECT_EQ(device.Identify(), 1) << "\"KDR\" ends at character 63";
    simulator.setIdentity(maker + QStringLiteral("M,KDR-X5"));
    EXPECT_EQ(device.Identify(), 0) << "only \"KD\" is within the first 63 characters";
    EXPECT_EQ(prompt.texts(), QStringList{"Morvane KDR-X series - The instrument is not"});
}

TEST_F(InstrumentControl, IdentifyWithoutAReplyShowsThePortMessageAndKeepsTheLinkOpen)
{
    openLink();
    simulator.stopAnsweringAfter(0);
    EXPECT_EQ(device.Identify(), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{portMessage(CRs232cPort::NoData)}));
    EXPECT_EQ(sent(), (QStringList{"*IDN?"}));
    EXPECT_TRUE(linkOpen());
}

TEST_F(InstrumentControl, IdentifyReportsAFailedClearCommand)
{
    openLink();
    line->failWriteOf = QStringLiteral("*CLS");
    EXPECT_EQ(device.Identify(), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{portMessage(CRs232cPort::WriteFailed)}));
}

TEST_F(InstrumentControl, CheckErrorPassesOnlyARepliesBeginningWithZeroOrComma)
{
    struct Case {
        const char* reply;
        bool clear;
    };
    const Case cases[] = {
        {"0,\"No error\"", true},
        {"0", true},
        {",\"No error\"", true},
        {"+0,\"No error\"", false}, // error number 0 with a plus sign is still shown
        {"-222,\"Data out of range\"", false},
        {"1,\"Odd\"", false},
        {" 0,\"No error\"", false},
    };
    openLink();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        prompt.clear();
        line->replies[QStringLiteral("SYST:ERR?")] = QLatin1String(c.reply);
        EXPECT_EQ(device.CheckError(), c.clear ? 1 : 0);
        if (c.clear)
            EXPECT_TRUE(prompt.texts().isEmpty());
        else
            EXPECT_EQ(prompt.texts(),
                      (QStringList{QStringLiteral("An error occurred. ") + QLatin1String(c.reply)}));
        EXPECT_TRUE(linkOpen());
    }
}

TEST_F(InstrumentControl, CheckErrorShowsTheInstrumentsOwnQueueEntry)
{
    openLink();
    simulator.handleLine(QStringLiteral("INST:NSEL 9"));
    EXPECT_EQ(device.CheckError(), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{"An error occurred. -222,\"Data out of range\""}));
    prompt.clear();
    EXPECT_EQ(device.CheckError(), 1) << "the query took the entry out of the queue";
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST_F(InstrumentControl, CheckErrorWithoutAReplyShowsThePortMessageAndKeepsTheLinkOpen)
{
    openLink();
    simulator.stopAnsweringAfter(0);
    EXPECT_EQ(device.CheckError(), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{portMessage(CRs232cPort::NoData)}));
    EXPECT_TRUE(linkOpen());
}

TEST_F(InstrumentControl, StopChannelSwitchesTheLoadOffOrStopsTheProgramOfTheTablesChannel)
{
    numbers = {5, 4, 3, 2, 1};
    openLink();
    settings.SeqCtl = SoftwareControl;
    EXPECT_EQ(device.StopChannel(1), 1);
    settings.SeqCtl = HardwareControl;
    EXPECT_EQ(device.StopChannel(0), 1);
    EXPECT_EQ(sent(), (QStringList{"INST:NSEL 4;:OUTP 0", "INST:NSEL 5;:PROG:STAT STOP"}));
    EXPECT_TRUE(linkOpen());
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST_F(InstrumentControl, AStopThatCannotBeSentClosesTheLink)
{
    openLink();
    line->failWriteOf = QStringLiteral("INST:NSEL");
    EXPECT_EQ(device.StopChannel(2), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{portMessage(CRs232cPort::WriteFailed)}));
    EXPECT_FALSE(linkOpen());
}

TEST_F(InstrumentControl, StopChannelsStopsOnlyTheChannelsThatNeedIt)
{
    const ChannelFlags selected{1, 1, 1, 1, 0};
    const ChannelFlags unused{};
    openLink();
    settings.SeqCtl = SoftwareControl;
    settings.OutOffCh = {0, 0, 0, 0, 0};
    EXPECT_EQ(device.StopChannels(selected, unused, 0), 1);
    EXPECT_TRUE(sent().isEmpty()) << "every load stays on";
    EXPECT_TRUE(linkOpen());

    settings.OutOffCh = {1, 0, 1, 0, 1};
    EXPECT_EQ(device.StopChannels(selected, unused, 0), 1);
    EXPECT_EQ(sent(), (QStringList{"INST:NSEL 1;:OUTP 0", "INST:NSEL 3;:OUTP 0"}));
    EXPECT_TRUE(linkOpen());

    simulator.clearTranscript();
    settings.SeqCtl = HardwareControl;
    EXPECT_EQ(device.StopChannels(selected, unused, 1), 1);
    EXPECT_EQ(sent(), (QStringList{"INST:NSEL 1;:PROG:STAT STOP", "INST:NSEL 2;:PROG:STAT STOP",
                                   "INST:NSEL 3;:PROG:STAT STOP", "INST:NSEL 4;:PROG:STAT STOP"}));
    EXPECT_FALSE(linkOpen()) << "closed afterwards on request";
}

TEST_F(InstrumentControl, StopChannelsEndsAtTheFirstFailedStop)
{
    openLink();
    settings.SeqCtl = HardwareControl;
    line->failWriteOf = QStringLiteral("INST:NSEL 2;");
    EXPECT_EQ((device.StopChannels({1, 1, 1, 0, 0}, {}, 0)), 0);
    EXPECT_EQ(sent(), (QStringList{"INST:NSEL 1;:PROG:STAT STOP"}));
    EXPECT_EQ(prompt.texts(), (QStringList{portMessage(CRs232cPort::WriteFailed)}));
    EXPECT_FALSE(linkOpen());
}

TEST_F(InstrumentControl, StopChannelIfNeededLeavesASoftwareChannelWithItsLoadOnAlone)
{
    openLink();
    settings.SeqCtl = SoftwareControl;
    settings.OutOffCh = {0, 1, 1, 1, 1};
    EXPECT_EQ(device.StopChannelIfNeeded(0), 1);
    EXPECT_TRUE(sent().isEmpty());
    EXPECT_EQ(device.StopChannelIfNeeded(1), 1);
    settings.SeqCtl = HardwareControl;
    EXPECT_EQ(device.StopChannelIfNeeded(0), 1);
    EXPECT_EQ(sent(), (QStringList{"INST:NSEL 2;:OUTP 0", "INST:NSEL 1;:PROG:STAT STOP"}));
}

TEST_F(InstrumentControl, MeasureKeepsOnlyTheChosenQuantitiesTrimmed)
{
    numbers = {3, 2, 1, 4, 5};
    openLink();
    settings.Curr = 0;
    settings.Volt = 1;
    QString current = QStringLiteral("old");
    QString voltage;
    EXPECT_EQ(device.Measure(current, voltage, 0), 1);
    EXPECT_EQ(sent(), (QStringList{"INST:NSEL 3;:MEAS:CURR?;:MEAS:VOLT?"}));
    EXPECT_EQ(current, QString());
    EXPECT_EQ(voltage, QStringLiteral("12.000"));

    settings.Curr = 1;
    line->replies[QStringLiteral("INST:NSEL 3;:MEAS:CURR?;:MEAS:VOLT?")] =
        QStringLiteral(";; 1.2500 ;;  11.875 ");
    EXPECT_EQ(device.Measure(current, voltage, 0), 1);
    EXPECT_EQ(current, QStringLiteral("1.2500"));
    EXPECT_EQ(voltage, QStringLiteral("11.875"));
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST_F(InstrumentControl, MeasureReadsTheFirst127CharactersOnly)
{
    openLink();
    settings.Curr = 1;
    settings.Volt = 1;
    line->replies[QStringLiteral("INST:NSEL 1;:MEAS:CURR?;:MEAS:VOLT?")] =
        QString(126, QLatin1Char('1')) + QStringLiteral(";2.000");
    QString current;
    QString voltage = QStringLiteral("old");
    EXPECT_EQ(device.Measure(current, voltage, 0), 1);
    EXPECT_EQ(current.size(), 126);
    EXPECT_EQ(voltage, QString()) << "the voltage lies beyond the cap";
}

TEST_F(InstrumentControl, AFailedMeasurementShowsNothingAndKeepsTheLinkOpen)
{
    openLink();
    simulator.stopAnsweringAfter(0);
    QString current;
    QString voltage;
    EXPECT_EQ(device.Measure(current, voltage, 1), 0);
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_TRUE(linkOpen());
}

TEST_F(InstrumentControl, QueryStatusAsksTheFiveConditionsUnderSoftwareControl)
{
    openLink();
    settings.SeqCtl = SoftwareControl;
    simulator.setQuestionable(2, 4);
    simulator.setQuestionable(5, 1);
    ChannelTexts status;
    EXPECT_EQ(device.QueryStatus(status), 2);
    EXPECT_EQ(sent(), (QStringList{"STAT:QUES:INST:ISUM1:COND?;:STAT:QUES:INST:ISUM2:COND?;:STAT:QUES:INST:"
                                   "ISUM3:COND?;:STAT:QUES:INST:ISUM4:COND?;:STAT:QUES:INST:ISUM5:COND?"}));
    EXPECT_EQ(status, (ChannelTexts{"0", "4", "0", "0", "1"}));
}

TEST_F(InstrumentControl, QueryStatusSkipsEmptyPiecesAndLeavesMissingOnesEmpty)
{
    openLink();
    settings.SeqCtl = HardwareControl;
    line->replies[QStringLiteral("PROG:EXEC?")] = QStringLiteral(";RUN,3,1,1,1;;STOP,3,2,1,1;");
    ChannelTexts status{"a", "b", "c", "d", "e"};
    EXPECT_EQ(device.QueryStatus(status), 2);
    EXPECT_EQ(sent(), (QStringList{"PROG:EXEC?"}));
    EXPECT_EQ(status, (ChannelTexts{"RUN,3,1,1,1", "STOP,3,2,1,1", "", "", ""}));
}

TEST_F(InstrumentControl, AnEmptyOrMissingStatusReplyFailsSilently)
{
    openLink();
    settings.SeqCtl = HardwareControl;
    ChannelTexts status;
    line->replies[QStringLiteral("PROG:EXEC?")] = QString();
    EXPECT_EQ(device.QueryStatus(status), 0);
    line->replies.clear();
    simulator.stopAnsweringAfter(0);
    EXPECT_EQ(device.QueryStatus(status), 0);
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_TRUE(linkOpen());
}

TEST_F(InstrumentControl, SetRangesWithNoChannelOnlyIdentifiesAndCloses)
{
    EXPECT_EQ((device.SetRanges({}, {}, {}, {0, 0, 0, 0, 0})), 1);
    EXPECT_EQ(sent(), identification());
    EXPECT_FALSE(linkOpen());
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST_F(InstrumentControl, SetRangesSetsEachEnabledChannelNumberedOneToFive)
{
    numbers = {5, 4, 3, 2, 1}; // not used here
    EXPECT_EQ((device.SetRanges({2, 0, 1, 0, 0}, {1, 0, 0, 0, 0}, {9, 9, 9, 9, 9}, {1, 0, 1, 0, 0})), 1);
    EXPECT_EQ(sent(),
              (identification() + QStringList{"INST:NSEL 1;:INST:COUP NONE", "VOLT:RANG LOW", "SYST:ERR?",
                                              "CURR:RANG LOW", "SYST:ERR?", "INST:NSEL 3;:INST:COUP NONE",
                                              "VOLT:RANG HIGH", "SYST:ERR?", "CURR:RANG MED", "SYST:ERR?"}));
    EXPECT_FALSE(linkOpen());
    EXPECT_EQ(simulator.channel(1).currentRange(), CurrentRange::Low);
    EXPECT_EQ(simulator.channel(1).voltageRange(), VoltageRange::Low);
    EXPECT_EQ(simulator.channel(3).currentRange(), CurrentRange::Med);
}

TEST_F(InstrumentControl, SetRangesRefusesRangesOffTheList)
{
    EXPECT_EQ((device.SetRanges({0, 0, 0, 0, 0}, {0, 2, 0, 0, 0}, {}, {1, 1, 0, 0, 0})), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{"Can not set the cv range"}));
    EXPECT_EQ(sent(),
              (identification() + QStringList{"INST:NSEL 1;:INST:COUP NONE", "VOLT:RANG HIGH", "SYST:ERR?",
                                              "CURR:RANG HIGH", "SYST:ERR?", "INST:NSEL 2;:INST:COUP NONE"}));
    EXPECT_FALSE(linkOpen());
    EXPECT_EQ(simulator.channel(1).currentRange(), CurrentRange::High) << "channel 1 stays set";

    prompt.clear();
    simulator.clearTranscript();
    EXPECT_EQ((device.SetRanges({-1, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {}, {1, 0, 0, 0, 0})), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{"Can not set the cc range"}));
    EXPECT_EQ(sent(),
              (identification() + QStringList{"INST:NSEL 1;:INST:COUP NONE", "VOLT:RANG LOW", "SYST:ERR?"}));
    EXPECT_FALSE(linkOpen());
}

TEST_F(InstrumentControl, SetRangesStopsAtAnInstrumentError)
{
    simulator.pushErrorAfter(QStringLiteral("CURR:RANG MED"), QStringLiteral("-221,\"Settings conflict\""));
    EXPECT_EQ((device.SetRanges({1, 1, 0, 0, 0}, {0, 0, 0, 0, 0}, {}, {1, 1, 0, 0, 0})), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{"An error occurred. -221,\"Settings conflict\""}));
    EXPECT_EQ(prompt.linkOpenAtMessage, (std::vector<bool>{true}));
    EXPECT_EQ(sent().last(), QStringLiteral("SYST:ERR?"));
    EXPECT_EQ(sent().size(), 7);
    EXPECT_FALSE(linkOpen());
}

TEST_F(InstrumentControl, SetRangesReportsLinkFailuresAndClosesTheLink)
{
    simulatorLine.failOpen(true);
    EXPECT_EQ((device.SetRanges({}, {}, {}, {1, 1, 1, 1, 1})), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{portMessage(CRs232cPort::OpenFailed)}));
    EXPECT_TRUE(sent().isEmpty());
    EXPECT_FALSE(linkOpen());

    simulatorLine.failOpen(false);
    prompt.clear();
    simulator.setModel(QStringLiteral("PLZ-5W"));
    EXPECT_EQ((device.SetRanges({}, {}, {}, {1, 1, 1, 1, 1})), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{"Morvane KDR-X series - The instrument is not"}));
    EXPECT_EQ(sent(), (QStringList{"*IDN?"}));
    EXPECT_FALSE(linkOpen());

    simulator.clearFaults();
    simulator.clearTranscript();
    prompt.clear();
    line->failWriteOf = QStringLiteral("VOLT:RANG");
    EXPECT_EQ((device.SetRanges({}, {}, {}, {1, 1, 1, 1, 1})), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{portMessage(CRs232cPort::WriteFailed)}));
    EXPECT_EQ(sent(), (identification() + QStringList{"INST:NSEL 1;:INST:COUP NONE"}));
    EXPECT_FALSE(linkOpen());
}
