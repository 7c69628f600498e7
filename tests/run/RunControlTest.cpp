#include "RunFixture.h"

namespace {

// Starting, stopping, Hardware Control, the status poll and every failure path, with what the
// Run dialog is told to show.
class RunControlTest : public RunFixture {
protected:
    void SetUp() override
    {
        RunFixture::SetUp();
        setMode(0, ModeCC);
        setMode(1, ModeCC);
        setSteps(0, {{"1", "1.0"}, {"2", "1.0"}, {"3", "1.0"}});
        setSteps(1, {{"1", "2.0"}, {"2", "2.0"}});
    }
    // Writes channel c's steps into the instrument's program memory as the Transfer dialog does.
    void writeProgram(int c)
    {
        ASSERT_EQ(device.WriteSequence(c), 1) << qPrintable(prompt.texts().join(QLatin1Char('|')));
        simulator.clearTranscript();
    }
};

TEST_F(RunControlTest, OpeningTheDialogShowsStandbyTotalsAndDisablesEmptyChannels)
{
    settings.RepeatCh[0] = 3;
    openDialog({1, 3});
    EXPECT_EQ(observer.caption, QStringLiteral("Run - Monitoring:none, Output to File:none"));
    EXPECT_FALSE(engine.monitoringActive());
    EXPECT_TRUE(observer.lastLoadOffShown);
    EXPECT_EQ(observer.buttons(), QStringLiteral("RunAll - Close"));
    EXPECT_EQ(observer.status[0], QStringLiteral("Standby"));
    EXPECT_EQ(observer.statusColors[0], QStringLiteral("black/grey"));
    EXPECT_EQ(observer.count[0], QStringLiteral("--"));
    EXPECT_EQ(observer.step[0], QStringLiteral("--"));
    EXPECT_EQ(observer.elapsed[0], QStringLiteral("--"));
    EXPECT_EQ(observer.totals[0], QStringLiteral("/ 3 / 3"));
    EXPECT_EQ(observer.totals[1], QStringLiteral("/ 1 / 2"));
    EXPECT_EQ(observer.totals[2], QStringLiteral("/ 1 / 0"));
    // Channel 1 ticked; channel 2 has data but its box is clear; channel 3 has no steps, so its
    // box is cleared and everything in its panel is disabled.
    EXPECT_EQ(observer.checkBox[0], QStringLiteral("ticked"));
    EXPECT_EQ(observer.runButton[0], QStringLiteral("Run"));
    EXPECT_EQ(observer.panel[0], QStringLiteral("F--"));
    EXPECT_EQ(observer.checkBox[1], QStringLiteral("clear"));
    EXPECT_EQ(observer.runButton[1], QStringLiteral("Run (disabled)"));
    EXPECT_EQ(observer.panel[1], QStringLiteral("---"));
    EXPECT_EQ(observer.checkBox[2], QStringLiteral("clear (disabled)"));
    EXPECT_EQ(observer.runButton[2], QStringLiteral("Run (disabled)"));
    EXPECT_TRUE(engine.channelState(2).noData);
    engine.closeDialog();
    EXPECT_EQ(settings.RunCh, (AppSettings::PerChannel<int>{1, 0, 0, 0, 0}));
}

TEST_F(RunControlTest, MonitoringFieldsFollowTheMonitoredQuantities)
{
    monitor(false, true, false);
    settings.MonitorTime = 1500;
    openDialog({1, 2});
    EXPECT_TRUE(engine.monitoringActive());
    EXPECT_EQ(observer.caption, QStringLiteral("Run - Monitoring:ON, Output to File:none 1500[ms]"));
    EXPECT_EQ(observer.panel[0], QStringLiteral("F-V"));
    settings.Curr = 1;
    engine.clickChannelCheck(1, false);
    EXPECT_EQ(observer.panel[1], QStringLiteral("---"));
    engine.clickChannelCheck(1, true);
    EXPECT_EQ(observer.panel[1], QStringLiteral("FAV"));
}

TEST_F(RunControlTest, HardwareControlKeepsEveryPanelUsableAndHidesLastLoadOff)
{
    useHardwareControl();
    observer.totals[0] = QStringLiteral("untouched");
    openDialog({3});
    EXPECT_FALSE(observer.lastLoadOffShown);
    EXPECT_EQ(observer.totals[0], QStringLiteral("untouched"));
    EXPECT_FALSE(engine.channelState(2).noData);
    EXPECT_EQ(observer.checkBox[2], QStringLiteral("ticked"));
    EXPECT_EQ(observer.runButton[2], QStringLiteral("Run"));
}

TEST_F(RunControlTest, TheLastTickedChannelCannotBeCleared)
{
    openDialog({2});
    engine.clickChannelCheck(1, false);
    EXPECT_TRUE(engine.isChecked(1));
    EXPECT_EQ(observer.checkBox[1], QStringLiteral("ticked"));
    engine.clickChannelCheck(0, true);
    engine.clickChannelCheck(1, false);
    EXPECT_FALSE(engine.isChecked(1));
    EXPECT_EQ(observer.runButton[1], QStringLiteral("Run (disabled)"));
    // A channel without steps cannot be ticked under Software Control.
    engine.clickChannelCheck(3, true);
    EXPECT_FALSE(engine.isChecked(3));
}

TEST_F(RunControlTest, RunAllShowsTheRunningStateAndRestoresTheButtonsAtTheEnd)
{
    openDialog({1});
    engine.RunAll();
    EXPECT_EQ(observer.status[0], QStringLiteral("Running"));
    EXPECT_EQ(observer.statusColors[0], QStringLiteral("black/green"));
    EXPECT_EQ(observer.status[1], QStringLiteral("Standby"));
    EXPECT_EQ(observer.count[0], QStringLiteral("1"));
    EXPECT_EQ(observer.count[1], QStringLiteral("1"));
    EXPECT_EQ(observer.step[0], QStringLiteral("1"));
    EXPECT_EQ(observer.elapsed[0], QStringLiteral("00:00:00"));
    EXPECT_EQ(observer.runButton[0], QStringLiteral("Stop"));
    EXPECT_EQ(observer.runButton[1], QStringLiteral("Run (disabled)"));
    for (int c = 0; c < kChannelCount; ++c)
        EXPECT_TRUE(observer.checkBox[c].endsWith(QLatin1String("(disabled)"))) << c;
    EXPECT_EQ(observer.buttons(), QStringLiteral("- StopAll -"));
    EXPECT_EQ(prompt.busyDepth, 0);
    EXPECT_GT(prompt.busyCount, 0);
    EXPECT_EQ(observer.callsStarting(QStringLiteral("graph")), QStringList{"graph 1 start"});

    runUntil(1100);
    EXPECT_EQ(observer.step[0], QStringLiteral("2"));
    // Under Software Control the status polls fall between step ticks: 2250 ms, 4250 ms ...
    runUntil(2300);
    EXPECT_EQ(observer.elapsed[0], QStringLiteral("00:00:02"));
    EXPECT_EQ(observer.day[0], QStringLiteral("(0day)"));
    runToEnd();
    EXPECT_EQ(observer.status[0], QStringLiteral("End"));
    EXPECT_EQ(observer.statusColors[0], QStringLiteral("black/grey"));
    EXPECT_EQ(observer.runButton[0], QStringLiteral("Run"));
    EXPECT_EQ(observer.checkBox[0], QStringLiteral("ticked"));
    EXPECT_EQ(observer.checkBox[2], QStringLiteral("clear (disabled)"));
    EXPECT_EQ(observer.buttons(), QStringLiteral("RunAll - Close"));
    EXPECT_EQ(observer.finished, 1);
    EXPECT_FALSE(engine.isRunActive());
    EXPECT_EQ(time.activeTimers(), 0);
    EXPECT_FALSE(simulatorLine.isOpen());
}

TEST_F(RunControlTest, StoppingOneChannelLeavesTheOtherRunning)
{
    openDialog({1, 2});
    engine.RunAll();
    runUntil(1200);
    engine.ToggleChannel(0);
    EXPECT_EQ(observer.status[0], QStringLiteral("Stop"));
    EXPECT_EQ(observer.statusColors[0], QStringLiteral("black/yellow"));
    EXPECT_EQ(observer.runButton[0], QStringLiteral("Run"));
    EXPECT_EQ(engine.channelState(0).state, RunStopped);
    EXPECT_TRUE(engine.channelState(1).isRunning());
    EXPECT_EQ(observer.buttons(), QStringLiteral("- StopAll -"));
    runToEnd();
    EXPECT_EQ(timelineWithoutStatus(),
              (QStringList{"+1005 INST:NSEL 1;:CURR 2", "+1200 INST:NSEL 1;:OUTP 0",
                           "+2005 INST:NSEL 2;:CURR 2", "+4005 INST:NSEL 2;:OUTP 0"}));
    EXPECT_EQ(observer.status[0], QStringLiteral("Stop"));
    EXPECT_EQ(observer.status[1], QStringLiteral("End"));
    EXPECT_FALSE(simulatorLine.isOpen());
}

TEST_F(RunControlTest, StoppingTheLastChannelEndsTheRun)
{
    engine.setLastLoadOff(0, false);
    openDialog({1});
    engine.ToggleChannel(0);
    runUntil(700);
    engine.ToggleChannel(0);
    // Last Load OFF cleared: the load stays on, the run ends and the link is closed.
    EXPECT_EQ(timelineWithoutStatus(), QStringList());
    EXPECT_TRUE(simulator.channel(1).loadOn());
    EXPECT_FALSE(engine.isRunActive());
    EXPECT_FALSE(simulatorLine.isOpen());
    EXPECT_EQ(observer.buttons(), QStringLiteral("RunAll - Close"));
    EXPECT_EQ(time.activeTimers(), 0);
}

TEST_F(RunControlTest, StopAllWhileRampingLeavesTheLastRampValueUnlessLastLoadOffIsSet)
{
    setSteps(0, {{"1", "0.5"}, {"5", "4.0", "1"}});
    engine.setLastLoadOff(0, false);
    engine.setLastLoadOff(1, true);
    openDialog({1, 2});
    engine.RunAll();
    runUntil(1600);
    engine.StopAll();
    EXPECT_EQ(timelineWithoutStatus(),
              (QStringList{"+505 INST:NSEL 1;:CURR 1", "+1005 INST:NSEL 1;:CURR 1.505",
                           "+1505 INST:NSEL 1;:CURR 2.005", "+1600 INST:NSEL 2;:OUTP 0"}));
    EXPECT_EQ(simulator.channel(1).current(), 2.005);
    EXPECT_TRUE(simulator.channel(1).loadOn());
    EXPECT_EQ(observer.status[0], QStringLiteral("Stop"));
    EXPECT_EQ(observer.status[1], QStringLiteral("Stop"));
    EXPECT_EQ(engine.channelState(0).state, RunStopped);
    EXPECT_EQ(observer.buttons(), QStringLiteral("RunAll - Close"));
    EXPECT_FALSE(simulatorLine.isOpen());
    EXPECT_EQ(time.activeTimers(), 0);
    EXPECT_EQ(observer.finished, 1);
}

TEST_F(RunControlTest, AnAlarmChangesOnlyTheStatusDisplay)
{
    openDialog({1});
    engine.RunAll();
    simulator.setQuestionable(1, 4);
    runUntil(2300);
    EXPECT_EQ(observer.status[0], QStringLiteral("ALARM"));
    EXPECT_EQ(observer.statusColors[0], QStringLiteral("black/yellow"));
    EXPECT_TRUE(engine.channelState(0).alarm);
    EXPECT_TRUE(engine.channelState(0).isRunning());
    simulator.setQuestionable(1, 0);
    runUntil(2700);
    EXPECT_EQ(observer.status[0], QStringLiteral("ALARM"));
    runToEnd();
    // The status poll at 4.25 s brings the green back only if the channel still runs; it ended at 3 s.
    EXPECT_EQ(timelineWithoutStatus(), (QStringList{"+1005 INST:NSEL 1;:CURR 2", "+2005 INST:NSEL 1;:CURR 3",
                                                    "+3005 INST:NSEL 1;:OUTP 0"}));
    EXPECT_EQ(observer.status[0], QStringLiteral("End"));
}

TEST_F(RunControlTest, AnAlarmThatClearsReturnsToRunning)
{
    setSteps(0, {{"1", "10.0"}});
    openDialog({1});
    engine.RunAll();
    simulator.setQuestionable(1, 2);
    runUntil(2300);
    EXPECT_EQ(timeline().filter(QStringLiteral("ISUM1")).first().section(QLatin1Char(' '), 0, 0),
              QStringLiteral("+2250"));
    EXPECT_EQ(observer.status[0], QStringLiteral("ALARM"));
    simulator.setQuestionable(1, 0);
    runUntil(4300);
    EXPECT_EQ(observer.status[0], QStringLiteral("Running"));
    EXPECT_EQ(observer.statusColors[0], QStringLiteral("black/green"));
    EXPECT_FALSE(engine.channelState(0).alarm);
    EXPECT_EQ(timeline().filter(QStringLiteral("ISUM1")).size(), 2);
}

TEST_F(RunControlTest, HardwareControlStartsThePrograms_PollsThemAndEndsWithThem)
{
    useHardwareControl();
    settings.RepeatCh[0] = 2;
    writeProgram(0);
    openDialog({1});
    engine.RunAll();
    EXPECT_EQ(sent(), (QStringList{"*IDN?", "*CLS;:INP:PROT:CLE", "INST:COUP NONE",
                                   "INST CH1;:INST:COUP CH1;:PROG:STAT RUN", "INST:COUP NONE", "SYST:ERR?"}));
    runUntil(2100);
    // 2 s into a 3 s pass: step 2 of 3 (reported from 0), first pass.
    EXPECT_EQ(observer.step[0], QStringLiteral("3"));
    EXPECT_EQ(observer.count[0], QStringLiteral("1"));
    runUntil(4100);
    EXPECT_EQ(observer.step[0], QStringLiteral("2"));
    EXPECT_EQ(observer.count[0], QStringLiteral("2"));
    runToEnd();
    EXPECT_EQ(timeline(), (QStringList{"+2000 :INST:NSEL 1;:PROG:EXEC?;", "+4000 :INST:NSEL 1;:PROG:EXEC?;",
                                       "+6000 :INST:NSEL 1;:PROG:EXEC?;"}));
    // The end display shows the totals the program ran.
    EXPECT_EQ(observer.status[0], QStringLiteral("End"));
    EXPECT_EQ(observer.count[0], QStringLiteral("2"));
    EXPECT_EQ(observer.step[0], QStringLiteral("3"));
    EXPECT_FALSE(simulatorLine.isOpen());
    EXPECT_EQ(observer.finished, 1);
}

TEST_F(RunControlTest, HardwareControlStopSendsTheProgramStop)
{
    useHardwareControl();
    writeProgram(0);
    writeProgram(1);
    openDialog({1, 2});
    engine.RunAll();
    runUntil(500);
    engine.ToggleChannel(1);
    runUntil(2100);
    engine.StopAll();
    EXPECT_EQ(timeline(),
              (QStringList{"+500 INST:NSEL 2;:PROG:STAT STOP", "+2000 :INST:NSEL 1;:PROG:EXEC?;",
                           "+2100 INST:NSEL 1;:PROG:STAT STOP", "+2100 INST:NSEL 2;:PROG:STAT STOP"}));
    EXPECT_FALSE(simulator.channel(1).isRunning());
    EXPECT_FALSE(simulatorLine.isOpen());
}

TEST_F(RunControlTest, AProgramTheInstrumentRefusesToStartShowsErrorNotEnd)
{
    // The programs were written in the HIGH current range; in LOW the instrument refuses them.
    useHardwareControl();
    writeProgram(0);
    writeProgram(1);
    simulator.handleLine(QStringLiteral("INST:NSEL 1;:CURR:RANG LOW"));
    simulator.clearTranscript();
    openDialog({1, 2});
    engine.RunAll();
    EXPECT_EQ(prompt.texts(), (QStringList{"An error occurred. -221,\"Settings conflict\""}));
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(observer.status[c], QStringLiteral("Error")) << c;
        EXPECT_EQ(engine.channelState(c).state, RunError) << c;
    }
    EXPECT_FALSE(simulator.channel(2).isRunning()) << "the channel that did start is stopped";
    EXPECT_FALSE(engine.isRunActive());

    // A channel started alone is refused the same way.
    prompt.clear();
    engine.ToggleChannel(0);
    EXPECT_EQ(prompt.texts(), (QStringList{"An error occurred. -221,\"Settings conflict\""}));
    EXPECT_EQ(observer.status[0], QStringLiteral("Error"));
    EXPECT_FALSE(engine.isRunActive());
    runUntil(4100);
    EXPECT_NE(observer.status[0], QStringLiteral("End"));
}

TEST_F(RunControlTest, AWriteFailureMidRunMarksEveryChannelErrorAndTheNextPollEndsTheRun)
{
    openDialog({1, 2});
    engine.RunAll();
    line->failWriteOf = QStringLiteral("INST:NSEL 1;:CURR 2");
    runUntil(1100);
    EXPECT_EQ(prompt.texts(), QStringList{portMessage(2)});
    EXPECT_FALSE(simulatorLine.isOpen());
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(observer.status[c], QStringLiteral("Error")) << c;
        EXPECT_EQ(observer.statusColors[c], QStringLiteral("white/red")) << c;
        EXPECT_EQ(engine.channelState(c).state, RunError) << c;
        EXPECT_EQ(observer.runButton[c], QStringLiteral("Run")) << c;
    }
    EXPECT_EQ(observer.buttons(), QStringLiteral("RunAll - Close"));
    // The timers run on until the status tick finds nothing running.
    EXPECT_TRUE(engine.isRunActive());
    runToEnd();
    EXPECT_FALSE(engine.isRunActive());
    EXPECT_EQ(time.activeTimers(), 0);
    EXPECT_EQ(observer.finished, 1);
    EXPECT_EQ(prompt.texts().size(), 1);
}

TEST_F(RunControlTest, AFailedStatusPollTakesTheLoadsOffTheChannelsItEnds)
{
    // The link still works but the status answer is unusable: every running channel leaves the
    // run, and with nothing to step or protect them their loads go off whatever Last Load OFF says.
    settings.OutOffCh = {0, 0, 0, 0, 0};
    openDialog({1, 2});
    engine.RunAll();
    runUntil(1100);
    line->replies.insert(QStringLiteral("STAT:QUES:INST:ISUM1:COND?;:STAT:QUES:INST:ISUM2:COND?;"
                                        ":STAT:QUES:INST:ISUM3:COND?;:STAT:QUES:INST:ISUM4:COND?;"
                                        ":STAT:QUES:INST:ISUM5:COND?"),
                         QString());
    runUntil(2300);
    EXPECT_EQ(observer.status[0], QStringLiteral("Error"));
    EXPECT_EQ(observer.status[1], QStringLiteral("Error"));
    EXPECT_EQ(timelineWithoutStatus().filter(QStringLiteral("OUTP 0")),
              (QStringList{"+2250 INST:NSEL 1;:OUTP 0", "+2250 INST:NSEL 2;:OUTP 0"}));
    EXPECT_FALSE(simulator.channel(1).loadOn());
    EXPECT_FALSE(simulator.channel(2).loadOn());
    EXPECT_EQ(prompt.texts(), QStringList());
}

TEST_F(RunControlTest, AnInstrumentThatStopsAnsweringFailsTheStatusPoll)
{
    openDialog({1});
    engine.RunAll();
    runUntil(1100);
    simulator.stopAnsweringAfter(0);
    runUntil(2300);
    // The poll waited out the line's time-out and failed silently: every channel is "Error".
    EXPECT_EQ(observer.status[0], QStringLiteral("Error"));
    EXPECT_EQ(engine.channelState(0).state, RunError);
    EXPECT_EQ(prompt.texts(), QStringList());
    runToEnd();
    EXPECT_FALSE(engine.isRunActive());
    EXPECT_FALSE(simulatorLine.isOpen());
}

TEST_F(RunControlTest, AFailedStopAtTheEndMarksEveryChannelError)
{
    openDialog({1, 2});
    engine.RunAll();
    line->failWriteOf = QStringLiteral("INST:NSEL 1;:OUTP 0");
    runToEnd();
    EXPECT_EQ(prompt.texts(), QStringList{portMessage(2)});
    EXPECT_EQ(observer.status[0], QStringLiteral("Error"));
    EXPECT_EQ(observer.status[1], QStringLiteral("Error"));
    EXPECT_FALSE(engine.isRunActive());
}

TEST_F(RunControlTest, RunAllThatCannotStartMarksTheChannelsErrorAndStartsNoTimer)
{
    setSteps(1, {{"100", "1.0"}});
    openDialog({1, 2});
    engine.RunAll();
    EXPECT_EQ(prompt.texts(), QStringList{"There is not a channel or cannot set an initial value."});
    EXPECT_EQ(observer.status[0], QStringLiteral("Error"));
    EXPECT_EQ(observer.status[1], QStringLiteral("Error"));
    EXPECT_EQ(observer.buttons(), QStringLiteral("RunAll - Close"));
    EXPECT_FALSE(engine.isRunActive());
    EXPECT_EQ(time.activeTimers(), 0);
    EXPECT_FALSE(simulatorLine.isOpen());
    EXPECT_EQ(prompt.busyDepth, 0);
}

TEST_F(RunControlTest, AFirstChannelThatCannotStartShowsErrorNotRunning)
{
    setSteps(0, {{"100", "1.0"}});
    openDialog({1});
    engine.ToggleChannel(0);
    EXPECT_EQ(prompt.texts(), QStringList{"There is not a channel or cannot set an initial value."});
    EXPECT_EQ(observer.status[0], QStringLiteral("Error"));
    EXPECT_EQ(engine.channelState(0).state, RunError);
    EXPECT_EQ(observer.runButton[0], QStringLiteral("Run"));
    EXPECT_EQ(observer.buttons(), QStringLiteral("RunAll - Close"));
    EXPECT_FALSE(engine.isRunActive());
    EXPECT_FALSE(simulatorLine.isOpen());
}

TEST_F(RunControlTest, ALaterChannelThatCannotStartFailsAloneAndSilently)
{
    setSteps(1, {{"100", "1.0"}});
    openDialog({1, 2});
    engine.ToggleChannel(0);
    runUntil(300);
    engine.ToggleChannel(1);
    EXPECT_EQ(prompt.texts(), QStringList());
    EXPECT_EQ(observer.status[1], QStringLiteral("Error"));
    EXPECT_TRUE(engine.channelState(0).isRunning());
    // Its button still reads Stop; pressing it only gives the button back.
    EXPECT_EQ(observer.runButton[1], QStringLiteral("Stop"));
    engine.ToggleChannel(1);
    EXPECT_EQ(observer.runButton[1], QStringLiteral("Run"));
    EXPECT_EQ(observer.status[1], QStringLiteral("Error"));
    runToEnd();
    EXPECT_EQ(observer.status[0], QStringLiteral("End"));
}

TEST_F(RunControlTest, ALogThatCannotBeCreatedStopsTheStartBeforeAnythingIsSent)
{
    // Also in memory mode, which writes its file only at the end: a run is not spent on readings
    // that would have nowhere to go.
    QFile plain(folder.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    struct Case {
        const char* name;
        int fileMem;
        QString folder;
        QString extension;
        QString told;
    };
    const Case cases[] = {
        {"missing folder", 1, folder.filePath(QStringLiteral("no/such/folder")), QStringLiteral("txt"),
         "no/such/folder/CC_CC_12-24-05_14-03-09.txt: No such file or directory"},
        {"missing folder in memory", 0, folder.filePath(QStringLiteral("no/such/folder")),
         QStringLiteral("txt"), "no/such/folder/CC_CC_12-24-05_14-03-09.txt: No such file or directory"},
        {"a file as the folder in memory", 0, folder.filePath(QStringLiteral("plain")), QStringLiteral("txt"),
         "plain/CC_CC_12-24-05_14-03-09.txt: Not a directory"},
        {"a folder in the extension in memory", 0, folder.path(), QStringLiteral("log/x"),
         "CC_CC_12-24-05_14-03-09.log/x: No such file or directory"},
    };
    monitor(true, true, true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings.FileMem = c.fileMem;
        settings.Folder = c.folder;
        settings.Ext = c.extension;
        observer.calls.clear();
        openDialog({1, 2});
        engine.RunAll();
        EXPECT_EQ(sent(), QStringList());
        EXPECT_EQ(observer.callsStarting(QStringLiteral("log ")),
                  QStringList{"log not created " + folder.filePath(c.told)});
        EXPECT_EQ(observer.status[0], QStringLiteral("Error"));
        EXPECT_EQ(observer.status[1], QStringLiteral("Error"));
        EXPECT_EQ(observer.buttons(), QStringLiteral("RunAll - Close"));
        EXPECT_FALSE(engine.isRunActive());
    }

    engine.ToggleChannel(0);
    EXPECT_EQ(sent(), QStringList());
    EXPECT_EQ(observer.status[0], QStringLiteral("Error"));
    EXPECT_EQ(engine.channelState(0).state, RunError);
}

TEST_F(RunControlTest, ASoftwareControlRunOfAStepTheWorksheetWouldRefuseSendsNothing)
{
    setSteps(1, {{"1", "2.0"}, {"2", "-3.0"}});
    const QStringList refusal{
        "Channel 2, line 2: the interval \"-3.0\" is outside 0.5 to 999.5 s. Nothing was sent."};
    openDialog({1, 2});
    engine.RunAll();
    EXPECT_EQ(prompt.texts(), refusal);
    EXPECT_EQ(sent(), QStringList());
    EXPECT_FALSE(engine.isRunActive());
    EXPECT_EQ(observer.status[0], QStringLiteral("Standby"));
    EXPECT_EQ(observer.buttons(), QStringLiteral("RunAll - Close"));

    prompt.clear();
    engine.ToggleChannel(1);
    EXPECT_EQ(prompt.texts(), refusal);
    EXPECT_EQ(sent(), QStringList());
    EXPECT_EQ(observer.status[1], QStringLiteral("Standby"));

    // A channel whose steps are sound runs alone.
    prompt.clear();
    engine.ToggleChannel(0);
    EXPECT_EQ(prompt.texts(), QStringList());
    EXPECT_EQ(observer.status[0], QStringLiteral("Running"));
}

TEST_F(RunControlTest, ClearingProgressResetsStoppedChannelsOnly)
{
    openDialog({1, 2});
    engine.RunAll();
    runUntil(1100);
    engine.ToggleChannel(0);
    ASSERT_EQ(engine.channelState(0).stepIndex, 1);
    engine.clearProgress();
    EXPECT_EQ(engine.channelState(0).stepIndex, 0);
    EXPECT_EQ(engine.channelState(0).repetition, 1);
    EXPECT_EQ(engine.channelState(1).startMs, engine.runStartMs());
    runUntil(2100);
    ASSERT_EQ(engine.channelState(1).stepIndex, 1);
    engine.clearProgress();
    EXPECT_EQ(engine.channelState(1).stepIndex, 1);
}

TEST_F(RunControlTest, TheDialogCannotBeDismissedWhileARunIsActive)
{
    openDialog({1});
    EXPECT_TRUE(engine.dismissDialog());
    engine.RunAll();
    runUntil(700);
    // Esc or a close request changes nothing: the sequence goes on to its end.
    EXPECT_FALSE(engine.dismissDialog());
    EXPECT_TRUE(engine.channelState(0).isRunning());
    EXPECT_EQ(observer.status[0], QStringLiteral("Running"));
    runToEnd();
    EXPECT_EQ(timelineWithoutStatus().last(), QStringLiteral("+3005 INST:NSEL 1;:OUTP 0"));
    EXPECT_EQ(observer.status[0], QStringLiteral("End"));
    EXPECT_TRUE(engine.dismissDialog());
}

TEST_F(RunControlTest, AMonitoringIntervalOutsideItsRangeIsHeldToIt)
{
    monitor(true, false, false);
    settings.MonitorTime = 0;
    setSteps(0, {{"1", "2.5"}});
    openDialog({1});
    engine.RunAll();
    runToEnd();
    // Readings follow the step tick of their grid point by a millisecond.
    EXPECT_EQ(timeline().filter(QStringLiteral("MEAS")),
              (QStringList{
                  "+506 INST:NSEL 1;:MEAS:CURR?;:MEAS:VOLT?", "+1006 INST:NSEL 1;:MEAS:CURR?;:MEAS:VOLT?",
                  "+1506 INST:NSEL 1;:MEAS:CURR?;:MEAS:VOLT?", "+2006 INST:NSEL 1;:MEAS:CURR?;:MEAS:VOLT?"}));
}

TEST_F(RunControlTest, ANewRunRightAfterTheLastOneFinishesItsLogFirst)
{
    monitor(true, true, true);
    settings.FileMem = 0;
    settings.MonitorTime = 500;
    setSteps(0, {{"1", "1.5"}});
    openDialog({1});
    engine.RunAll();
    const QString firstLog = engine.logPath();
    runUntil(1600);
    ASSERT_FALSE(engine.anyRunning());
    ASSERT_TRUE(engine.isRunActive());
    time.waitMs(1000);
    engine.RunAll();
    EXPECT_EQ(fileContents(firstLog).count('\n'), 3);
    EXPECT_NE(engine.logPath(), firstLog);
    runToEnd();
    EXPECT_EQ(observer.finished, 2);
    EXPECT_EQ(observer.callsStarting(QStringLiteral("log finished")).size(), 2);
}

// A prompt whose message box, like a real one, lets time pass and timers fire while it is shown.
class NestedLoopPrompt : public RecordingPrompt {
public:
    explicit NestedLoopPrompt(FakeTime& time) : time_(time) {}
    void showMessage(const QString& text, Icon icon = Icon::None) override
    {
        RecordingPrompt::showMessage(text, icon);
        time_.advanceMs(5000);
    }

private:
    FakeTime& time_;
};

TEST_F(RunControlTest, TicksArrivingWhileAMessageIsShownWaitForIt)
{
    NestedLoopPrompt nested(time);
    CInstrumentPort nestedPort{strings, nested, time};
    auto faultLine = std::make_unique<FaultLine>(simulatorLine);
    FaultLine* nestedLine = faultLine.get();
    nestedPort.rs232c().setLine(std::move(faultLine));
    nestedPort.applySettings(settings);
    CKdrxDevice nestedDevice{nestedPort, settings, numbers, current, nested, time};
    RunEngine nestedEngine{settings, current, nestedPort, nestedDevice, numbers, nested, time, time};
    RecordingObserver nestedObserver;
    nestedEngine.setObserver(&nestedObserver);
    settings.RunCh = {1, 1, 0, 0, 0};
    nestedEngine.prepareDialog();
    nestedEngine.RunAll();
    nestedLine->failWriteOf = QStringLiteral("INST:NSEL 1;:CURR 2");
    time.advanceMs(1100);
    // The message was shown once; no tick ran on the closed link while it was up.
    EXPECT_EQ(nested.texts(), QStringList{portMessage(2)});
    EXPECT_EQ(nestedObserver.status[0], QStringLiteral("Error"));
    EXPECT_EQ(nestedObserver.status[1], QStringLiteral("Error"));
    time.advanceMs(3000);
    EXPECT_FALSE(nestedEngine.isRunActive());
    EXPECT_EQ(nested.texts().size(), 1);
}

TEST_F(RunControlTest, ReopeningTheDialogAfterARunShowsStandbyAgain)
{
    openDialog({1});
    engine.RunAll();
    runToEnd();
    ASSERT_EQ(observer.status[0], QStringLiteral("End"));
    openDialog({1});
    EXPECT_EQ(observer.status[0], QStringLiteral("Standby"));
    EXPECT_EQ(observer.count[0], QStringLiteral("--"));
    EXPECT_EQ(observer.buttons(), QStringLiteral("RunAll - Close"));
}

} // namespace
