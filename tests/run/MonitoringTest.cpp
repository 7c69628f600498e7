#include "RunFixture.h"

#include <QDir>

namespace {

// A serial line that fails the write of one chosen command once: a single lost exchange, after
// which the link works again.
class OneFailureLine : public SerialLine {
public:
    explicit OneFailureLine(SimulatorSerialLine& line) : line_(line) {}
    bool open(const QString& device) override { return line_.open(device); }
    bool configure() override { return line_.configure(); }
    void purge() override { line_.purge(); }
    bool write(const QByteArray& bytes, int timeoutMs) override
    {
        if (!failOnce.isEmpty() && bytes.startsWith(failOnce.toLatin1())) {
            failOnce.clear();
            return false;
        }
        return line_.write(bytes, timeoutMs);
    }
    ReadResult readByte(char& byte, int timeoutMs) override { return line_.readByte(byte, timeoutMs); }
    void close() override { line_.close(); }
    bool isOpen() const override { return line_.isOpen(); }

    QString failOnce;

private:
    SimulatorSerialLine& line_;
};

const char* const kTabHeader =
    "Time[s]\tCh1[A]\tCh1[V]\tCh2[A]\tCh2[V]\tCh3[A]\tCh3[V]\tCh4[A]\tCh4[V]\tCh5[A]\tCh5[V]\n";

// Monitoring, protection and the log files. Channels 1 and 3 run CC on the simulator's 12 V,
// 0.1 ohm sources: 1 A reads 1.0000 A at 11.900 V, 0.5 A reads 0.5000 A at 11.950 V, a load that
// is off 0.0000 A at 12.000 V.
class MonitoringTest : public RunFixture {
protected:
    void SetUp() override
    {
        RunFixture::SetUp();
        setMode(0, ModeCC);
        setMode(2, ModeCC);
        setSteps(0, {{"1", "1.0"}, {"2", "1.0"}});
        setSteps(2, {{"0.5", "3.0"}});
        monitor(true, true, true);
        settings.MonitorTime = 1000;
    }
    QStringList logFiles() const { return QDir(folder.path()).entryList(QDir::Files, QDir::Name); }
};

TEST_F(MonitoringTest, LineByLineLogHoldsEveryReadingAsItIsTaken)
{
    settings.MonStart = 1;
    settings.MonEnd = 1;
    openDialog({1, 3});
    engine.RunAll();
    const QString path = logFile(QStringLiteral("CC_CC_12-24-05_14-03-09.txt"));
    EXPECT_EQ(engine.logPath(), path);
    EXPECT_EQ(
        observer.caption,
        QStringLiteral("Run - Monitoring:ON, Output to File:provided 1000[ms] CC_CC_12-24-05_14-03-09.txt"));
    const QByteArray first = QByteArray(kTabHeader) + "0.000\t0.0000\t12.000\t\t\t0.0000\t12.000\t\t\t\t\n";
    EXPECT_EQ(fileContents(path), first);
    runUntil(1100);
    // Already on disk while the run goes on. The reading follows the step tick of 1.005 s.
    EXPECT_EQ(fileContents(path), first + "1.006\t2.0000\t11.800\t\t\t0.5000\t11.950\t\t\t\t\n");
    EXPECT_EQ(observer.current[0], QStringLiteral("2.0000"));
    EXPECT_EQ(observer.voltage[2], QStringLiteral("11.950"));
    runToEnd();
    // Channel 1 ends at 2.005 s (after-processing line) before the reading of 2.006 s, which then
    // has channel 3 alone; channel 3 ends the run at 3.005 s.
    EXPECT_EQ(fileContents(path), first + "1.006\t2.0000\t11.800\t\t\t0.5000\t11.950\t\t\t\t\n"
                                          "2.005\t0.0000\t12.000\t\t\t0.5000\t11.950\t\t\t\t\n"
                                          "2.006\t\t\t\t\t0.5000\t11.950\t\t\t\t\n"
                                          "3.005\t\t\t\t\t0.0000\t12.000\t\t\t\t\n");
    EXPECT_EQ(observer.callsStarting(QStringLiteral("log")),
              (QStringList{"log opened " + path, "log finished " + path + " ok"}));
    EXPECT_EQ(observer.caption, QStringLiteral("Run - Monitoring:ON, Output to File:provided 1000[ms]"));
    EXPECT_EQ(logFiles(), QStringList{"CC_CC_12-24-05_14-03-09.txt"});
}

TEST_F(MonitoringTest, CaptionShowsTheIntervalAndTheFileCutInForce)
{
    // A profile edited by hand, or a setting given on the command line, may hold any number; the
    // readings are then taken every 500 to 600000 ms, and the caption says which.
    const struct {
        int stored;
        const char* shown;
    } intervals[] = {{0, "500"},         {-20, "500"},       {499, "500"},          {500, "500"},
                     {600000, "600000"}, {600001, "600000"}, {2147483647, "600000"}};
    for (const auto& c : intervals) {
        settings.MonitorTime = c.stored;
        openDialog({1});
        EXPECT_EQ(observer.caption,
                  QStringLiteral("Run - Monitoring:ON, Output to File:provided %1[ms]").arg(c.shown))
            << c.stored;
    }
    // The file cut is named only where the log is cut.
    const struct {
        int fileMem, hours, minutes;
        const char* shown;
    } cuts[] = {{1, 0, 1, ", File cut:0hour1min"},
                {1, 2, 0, ", File cut:2hour0min"},
                {1, 0, 0, ""},
                {1, -1, 30, ""},
                {0, 1, 0, ""}};
    settings.MonitorTime = 1000;
    settings.bCut = 1;
    for (const auto& c : cuts) {
        settings.FileMem = c.fileMem;
        settings.CutHour = c.hours;
        settings.CutMin = c.minutes;
        openDialog({1});
        EXPECT_EQ(observer.caption,
                  QStringLiteral("Run - Monitoring:ON, Output to File:provided 1000[ms]") + c.shown)
            << c.fileMem << " " << c.hours << ":" << c.minutes;
    }
}

TEST_F(MonitoringTest, InMemoryLogWithCommasAndHoursIsWrittenWhole_OnlyAtTheEnd)
{
    settings.FileMem = 0;
    settings.Txt = 1;
    settings.PassTime = 1;
    settings.Ext = QStringLiteral("csv");
    settings.MonStart = 1;
    settings.MonEnd = 1;
    openDialog({1, 3});
    engine.RunAll();
    EXPECT_EQ(
        observer.caption,
        QStringLiteral("Run - Monitoring:ON, Output to File:provided 1000[ms] CC_CC_12-24-05_14-03-09"));
    runUntil(3004);
    EXPECT_EQ(logFiles(), QStringList());
    observer.calls.clear();
    runToEnd();
    EXPECT_EQ(fileContents(logFile(QStringLiteral("CC_CC_12-24-05_14-03-09.csv"))),
              QByteArray("Time[h:m:s],Ch1[A],Ch1[V],Ch2[A],Ch2[V],Ch3[A],Ch3[V],Ch4[A],Ch4[V],Ch5[A],Ch5[V]\n"
                         "0:00:0.000,0.0000,12.000,,,0.0000,12.000,,,,\n"
                         "0:00:1.006,2.0000,11.800,,,0.5000,11.950,,,,\n"
                         "0:00:2.005,0.0000,12.000,,,0.5000,11.950,,,,\n"
                         "0:00:2.006,,,,,0.5000,11.950,,,,\n"
                         "0:00:3.005,,,,,0.0000,12.000,,,,\n"));
    // The panels show "Saving" while the file is written, then their status again.
    EXPECT_EQ(observer.callsStarting(QStringLiteral("status")),
              (QStringList{"status 3 End black/grey", "status 1 Saving", "status 3 Saving", "status 1 End",
                           "status 3 End"}));
    EXPECT_EQ(observer.status[0], QStringLiteral("End"));
    EXPECT_EQ(observer.buttons(), QStringLiteral("RunAll - Close"));
}

TEST_F(MonitoringTest, InMemoryLinesLongerThanARecordAreKeptWhole)
{
    settings.FileMem = 0;
    const QString longCurrent = QStringLiteral("1.") + QString(60, QLatin1Char('0'));
    const QString longVoltage = QStringLiteral("11.9") + QString(60, QLatin1Char('0'));
    line->replies.insert(QStringLiteral("INST:NSEL 1;:MEAS:CURR?;:MEAS:VOLT?"),
                         longCurrent + ";" + longVoltage);
    setSteps(0, {{"1", "1.5"}});
    openDialog({1});
    engine.RunAll();
    runToEnd();
    const QByteArray expected = QByteArray(kTabHeader) + "1.006\t" + longCurrent.toLatin1() + "\t" +
                                longVoltage.toLatin1() + "\t\t\t\t\t\t\t\t\n";
    EXPECT_GT(expected.size() - qstrlen(kTabHeader), 127);
    EXPECT_EQ(fileContents(logFile(QStringLiteral("CC_12-24-05_14-03-09.txt"))), expected);
}

TEST_F(MonitoringTest, CutFilesFollowEachOtherWithTheIndexRightAfterTheDate)
{
    settings.bCut = 1;
    settings.CutHour = 0;
    settings.CutMin = 1;
    settings.MonitorTime = 20000;
    setSteps(0, {{"1", "130.0"}});
    openDialog({1});
    engine.RunAll();
    EXPECT_EQ(observer.caption, QStringLiteral("Run - Monitoring:ON, Output to File:provided 20000[ms], File "
                                               "cut:0hour1min CC_12-24-05_14-03-090.txt"));
    runUntil(90000);
    EXPECT_EQ(observer.caption, QStringLiteral("Run - Monitoring:ON, Output to File:provided 20000[ms], File "
                                               "cut:0hour1min CC_12-24-05_14-03-091.txt"));
    runToEnd();
    // Each file takes the lines after its cut time: the reading of 60.006 s opens the second.
    EXPECT_EQ(logFiles(), (QStringList{"CC_12-24-05_14-03-090.txt", "CC_12-24-05_14-03-091.txt",
                                       "CC_12-24-05_14-03-092.txt"}));
    const QByteArray line = "\t1.0000\t11.900\t\t\t\t\t\t\t\t\n";
    EXPECT_EQ(fileContents(logFile(QStringLiteral("CC_12-24-05_14-03-090.txt"))),
              QByteArray(kTabHeader) + "20.006" + line + "40.006" + line);
    EXPECT_EQ(fileContents(logFile(QStringLiteral("CC_12-24-05_14-03-091.txt"))),
              "60.006" + line + "80.006" + line + "100.006" + line);
    EXPECT_EQ(fileContents(logFile(QStringLiteral("CC_12-24-05_14-03-092.txt"))), "120.006" + line);
}

TEST_F(MonitoringTest, InMemoryNothingIsCut)
{
    settings.FileMem = 0;
    settings.bCut = 1;
    settings.CutHour = 0;
    settings.CutMin = 1;
    settings.MonitorTime = 30000;
    setSteps(0, {{"1", "150.0"}});
    openDialog({1});
    engine.RunAll();
    runToEnd();
    EXPECT_EQ(logFiles(), QStringList{"CC_12-24-05_14-03-09.txt"});
    EXPECT_EQ(fileContents(logFile(QStringLiteral("CC_12-24-05_14-03-09.txt"))).count('\n'), 5);
}

TEST_F(MonitoringTest, ACutThatCannotCreateItsFileEndsTheLogAndTheRun)
{
    settings.bCut = 1;
    settings.CutHour = 0;
    settings.CutMin = 1;
    settings.MonitorTime = 30000;
    setSteps(0, {{"1", "150.0"}});
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("CC_12-24-05_14-03-091.txt")));
    openDialog({1});
    engine.RunAll();
    runUntil(65000);
    EXPECT_EQ(observer.status[0], QStringLiteral("Error"));
    EXPECT_FALSE(simulator.channel(1).loadOn()) << "the run no longer controls the channel";
    EXPECT_EQ(engine.logPath(), QString());
    runToEnd();
    EXPECT_EQ(fileContents(logFile(QStringLiteral("CC_12-24-05_14-03-090.txt"))),
              QByteArray(kTabHeader) + "30.006\t1.0000\t11.900\t\t\t\t\t\t\t\t\n");
    EXPECT_FALSE(engine.isRunActive());
}

TEST_F(MonitoringTest, StepEndTimingReadsBeforeTheNextValueAtTheEndOfStepsOnly)
{
    settings.MonSoft = 1;
    setSteps(0, {{"1", "1.0"}, {"2", "1.0", "1"}, {"3", "0.5"}});
    openDialog({1});
    engine.RunAll();
    EXPECT_EQ(observer.caption,
              QStringLiteral("Run - Monitoring:ON, Output to File:provided Immediately before end of "
                             "the Step Transition CC_12-24-05_14-03-09.txt"));
    runToEnd();
    EXPECT_EQ(timelineWithoutStatus(),
              (QStringList{"+1005 INST:NSEL 1;:MEAS:CURR?;:MEAS:VOLT?", "+1005 INST:NSEL 1;:CURR 1",
                           "+1505 INST:NSEL 1;:CURR 1.505", "+2005 INST:NSEL 1;:CURR 3",
                           "+2505 INST:NSEL 1;:MEAS:CURR?;:MEAS:VOLT?", "+2505 INST:NSEL 1;:OUTP 0"}));
    EXPECT_EQ(fileContents(logFile(QStringLiteral("CC_12-24-05_14-03-09.txt"))),
              QByteArray(kTabHeader) +
                  "1.005\t1.0000\t11.900\t\t\t\t\t\t\t\t\n2.505\t3.0000\t11.700\t\t\t\t\t\t\t\t\n");
}

TEST_F(MonitoringTest, UnderVoltageTripsAtTheLimitAndTakesTheLoadOffWhateverLastLoadOffSays)
{
    settings.Curr = 0;
    settings.UvpOn[0] = 1;
    settings.Uvp[0] = 11.9;
    engine.setLastLoadOff(0, false);
    setSteps(0, {{"1", "10.0"}});
    openDialog({1});
    engine.RunAll();
    runUntil(1100);
    EXPECT_EQ(timelineWithoutStatus(),
              (QStringList{"+1006 INST:NSEL 1;:MEAS:CURR?;:MEAS:VOLT?", "+1006 INST:NSEL 1;:OUTP 0"}));
    EXPECT_EQ(observer.status[0], QStringLiteral("UVP"));
    EXPECT_EQ(observer.statusColors[0], QStringLiteral("black/yellow"));
    EXPECT_EQ(engine.channelState(0).state, RunUvpTrip);
    EXPECT_FALSE(simulator.channel(1).loadOn());
    EXPECT_TRUE(observer.calls.contains(QStringLiteral("graph 1 stop")));
    runToEnd();
    // The monitor tick before the status tick still writes its line, with empty fields.
    EXPECT_EQ(fileContents(logFile(QStringLiteral("CC_12-24-05_14-03-09.txt"))),
              QByteArray(kTabHeader) + "1.006\t\t11.900\t\t\t\t\t\t\t\t\n2.006\t\t\t\t\t\t\t\t\t\t\n");
    EXPECT_EQ(observer.status[0], QStringLiteral("UVP"));
    EXPECT_FALSE(engine.isRunActive());
}

TEST_F(MonitoringTest, FirstReadingSkipsTheCheckWhenMonFirstIsSet)
{
    settings.Curr = 0;
    settings.UvpOn[0] = 1;
    settings.Uvp[0] = 11.95;
    settings.MonFirst[0] = 1;
    setSteps(0, {{"1", "10.0"}});
    openDialog({1});
    engine.RunAll();
    runUntil(1100);
    EXPECT_TRUE(engine.channelState(0).isRunning());
    EXPECT_EQ(observer.status[0], QStringLiteral("Running"));
    runUntil(2010);
    EXPECT_EQ(engine.channelState(0).state, RunUvpTrip);
    EXPECT_EQ(timelineWithoutStatus().last(), QStringLiteral("+2006 INST:NSEL 1;:OUTP 0"));
}

TEST_F(MonitoringTest, UnderCurrentTripsAtTheLimitAndUnderVoltageComesFirst)
{
    settings.Volt = 0;
    settings.UcpOn[0] = 1;
    settings.Ucp[0] = 1.0;
    settings.UcpOn[2] = 1;
    settings.Ucp[2] = 0.4;
    setSteps(0, {{"1", "10.0"}});
    setSteps(2, {{"0.5", "10.0"}});
    openDialog({1, 3});
    engine.RunAll();
    runUntil(1100);
    EXPECT_EQ(observer.status[0], QStringLiteral("UCP"));
    EXPECT_EQ(engine.channelState(0).state, RunUcpTrip);
    EXPECT_TRUE(engine.channelState(2).isRunning());
    engine.StopAll();

    // With both limits crossed the voltage trip is the one shown.
    settings.Volt = 1;
    settings.UvpOn[0] = 1;
    settings.Uvp[0] = 12.0;
    openDialog({1});
    engine.RunAll();
    runUntil(1100);
    EXPECT_EQ(observer.status[0], QStringLiteral("UVP"));
}

TEST_F(MonitoringTest, WithoutAFileReadingsAreShownAndTripsWorkButNothingIsWritten)
{
    settings.File = 0;
    settings.UvpOn[2] = 1;
    settings.Uvp[2] = 11.96;
    openDialog({1, 3});
    EXPECT_EQ(observer.caption, QStringLiteral("Run - Monitoring:ON, Output to File:none 1000[ms]"));
    engine.RunAll();
    runUntil(1100);
    EXPECT_EQ(observer.current[0], QStringLiteral("2.0000"));
    EXPECT_EQ(observer.voltage[0], QStringLiteral("11.800"));
    EXPECT_EQ(observer.status[2], QStringLiteral("UVP"));
    runToEnd();
    EXPECT_EQ(logFiles(), QStringList());
    EXPECT_EQ(observer.callsStarting(QStringLiteral("log")), QStringList());
    EXPECT_EQ(observer.finished, 1);
}

TEST_F(MonitoringTest, AFailedReadingMarksOnlyItsChannelAndTakesItsLoadOff)
{
    auto flaky = std::make_unique<OneFailureLine>(simulatorLine);
    OneFailureLine* lineWithFault = flaky.get();
    port.rs232c().setLine(std::move(flaky));
    setSteps(2, {{"0.5", "4.0"}});
    // Nothing steps, reads or protects the channel any more: its load goes off whatever Last
    // Load OFF says.
    settings.OutOffCh = {0, 0, 0, 0, 0};
    openDialog({1, 3});
    engine.RunAll();
    lineWithFault->failOnce = QStringLiteral("INST:NSEL 1;:MEAS");
    runUntil(1100);
    EXPECT_EQ(observer.status[0], QStringLiteral("Error"));
    EXPECT_EQ(engine.channelState(0).state, RunError);
    EXPECT_FALSE(simulator.channel(1).loadOn());
    EXPECT_TRUE(engine.channelState(2).isRunning());
    EXPECT_TRUE(simulator.channel(3).loadOn());
    EXPECT_EQ(prompt.texts(), QStringList());
    runToEnd();
    EXPECT_EQ(observer.status[2], QStringLiteral("End"));
    EXPECT_EQ(fileContents(logFile(QStringLiteral("CC_CC_12-24-05_14-03-09.txt"))),
              QByteArray(kTabHeader) + "1.006\t\t\t\t\t0.5000\t11.950\t\t\t\t\n"
                                       "2.006\t\t\t\t\t0.5000\t11.950\t\t\t\t\n"
                                       "3.006\t\t\t\t\t0.5000\t11.950\t\t\t\t\n");
}

TEST_F(MonitoringTest, StopAllWithAfterProcessingDataReadsEveryRunningChannelThenClosesTheLink)
{
    settings.MonEnd = 1;
    openDialog({1, 3});
    engine.RunAll();
    runUntil(1500);
    engine.StopAll();
    EXPECT_EQ(timelineWithoutStatus().mid(3),
              (QStringList{"+1500 INST:NSEL 1;:OUTP 0", "+1500 INST:NSEL 3;:OUTP 0",
                           "+1500 INST:NSEL 1;:MEAS:CURR?;:MEAS:VOLT?",
                           "+1500 INST:NSEL 3;:MEAS:CURR?;:MEAS:VOLT?"}));
    EXPECT_FALSE(simulatorLine.isOpen());
    EXPECT_EQ(observer.status[0], QStringLiteral("Stop"));
    runToEnd();
    EXPECT_EQ(fileContents(logFile(QStringLiteral("CC_CC_12-24-05_14-03-09.txt"))),
              QByteArray(kTabHeader) + "1.006\t2.0000\t11.800\t\t\t0.5000\t11.950\t\t\t\t\n"
                                       "1.500\t0.0000\t12.000\t\t\t0.0000\t12.000\t\t\t\t\n");
    EXPECT_EQ(observer.finished, 1);
}

TEST_F(MonitoringTest, ShuttingDownMidRunStopsTheLoadsAndWritesTheLogWithoutAnotherTick)
{
    // The program ends with the run active: no timer fires again, yet the loads go off as Stop
    // all takes them off and the in-memory log reaches its file.
    settings.FileMem = 0;
    settings.MonEnd = 1;
    settings.OutOffCh[2] = 0;
    openDialog({1, 3});
    engine.RunAll();
    runUntil(1500);
    engine.shutDown();
    EXPECT_FALSE(engine.isRunActive());
    EXPECT_EQ(time.activeTimers(), 0);
    EXPECT_FALSE(simulator.channel(1).loadOn());
    EXPECT_TRUE(simulator.channel(3).loadOn()) << "Last Load OFF is cleared for channel 3";
    EXPECT_FALSE(simulatorLine.isOpen());
    EXPECT_EQ(fileContents(logFile(QStringLiteral("CC_CC_12-24-05_14-03-09.txt"))),
              QByteArray(kTabHeader) + "1.006\t2.0000\t11.800\t\t\t0.5000\t11.950\t\t\t\t\n"
                                       "1.500\t0.0000\t12.000\t\t\t0.5000\t11.950\t\t\t\t\n");
    EXPECT_EQ(observer.finished, 1);

    // Without a run it does nothing.
    simulator.clearTranscript();
    engine.shutDown();
    EXPECT_TRUE(sent().isEmpty());
}

TEST_F(MonitoringTest, StopOneChannelWritesItsAfterProcessingLine)
{
    settings.MonEnd = 1;
    openDialog({1, 3});
    engine.RunAll();
    runUntil(1500);
    engine.ToggleChannel(2);
    runToEnd();
    EXPECT_EQ(fileContents(logFile(QStringLiteral("CC_CC_12-24-05_14-03-09.txt"))),
              QByteArray(kTabHeader) + "1.006\t2.0000\t11.800\t\t\t0.5000\t11.950\t\t\t\t\n"
                                       "1.500\t2.0000\t11.800\t\t\t0.0000\t12.000\t\t\t\t\n"
                                       "2.005\t0.0000\t12.000\t\t\t0.0000\t12.000\t\t\t\t\n");
}

TEST_F(MonitoringTest, HardwareControlEndLineCarriesOnlyTheChannelsThatFinishedInThePoll)
{
    useHardwareControl();
    settings.MonEnd = 1;
    settings.MonitorTime = 3000;
    setSteps(0, {{"1", "1.0"}});
    setSteps(2, {{"0.5", "9.0"}});
    settings.OutOffChHard[0] = 0;
    ASSERT_EQ(device.WriteSequence(0), 1);
    ASSERT_EQ(device.WriteSequence(2), 1);
    openDialog({1, 3});
    engine.RunAll();
    const QString path = engine.logPath();
    runUntil(2100);
    EXPECT_EQ(observer.status[0], QStringLiteral("End"));
    runToEnd();
    // Channel 1's program ended at 1 s with its load left on (end value 0 A).
    EXPECT_EQ(fileContents(path), QByteArray(kTabHeader) + "2.000\t0.0000\t12.000\t\t\t\t\t\t\t\t\n"
                                                           "3.000\t\t\t\t\t0.5000\t11.950\t\t\t\t\n"
                                                           "6.000\t\t\t\t\t0.5000\t11.950\t\t\t\t\n"
                                                           "9.000\t\t\t\t\t0.0000\t12.000\t\t\t\t\n"
                                                           "10.000\t\t\t\t\t0.0000\t12.000\t\t\t\t\n");
}

TEST_F(MonitoringTest, AFolderThatDisappearsLosesTheMemoryLogButRestoresTheDisplay)
{
    settings.FileMem = 0;
    settings.Folder = folder.filePath(QStringLiteral("sub"));
    ASSERT_TRUE(QDir().mkpath(settings.Folder));
    setSteps(0, {{"1", "1.5"}});
    openDialog({1});
    engine.RunAll();
    runUntil(1100);
    ASSERT_TRUE(QDir(settings.Folder).removeRecursively());
    runToEnd();
    EXPECT_EQ(observer.callsStarting(QStringLiteral("log finished")),
              QStringList{"log finished " + folder.filePath(QStringLiteral("sub/CC_12-24-05_14-03-09.txt")) +
                          " failed"});
    EXPECT_EQ(observer.status[0], QStringLiteral("End"));
    EXPECT_EQ(observer.buttons(), QStringLiteral("RunAll - Close"));
    EXPECT_FALSE(engine.isRunActive());
}

TEST_F(MonitoringTest, AChannelStartedLaterJoinsTheLogWithTimesFromTheRunsStart)
{
    settings.MonStart = 1;
    openDialog({1, 3});
    engine.ToggleChannel(0);
    const QString path = logFile(QStringLiteral("CC_12-24-05_14-03-09.txt"));
    EXPECT_EQ(engine.logPath(), path);
    runUntil(1250);
    engine.ToggleChannel(2);
    runToEnd();
    // Channel 3 runs 3 s from its own start at 1.25 s; its lines count from the run's start.
    EXPECT_EQ(fileContents(path), QByteArray(kTabHeader) +
                                      "0.000\t0.0000\t12.000\t\t\t\t\t\t\t\t\n"
                                      "1.006\t2.0000\t11.800\t\t\t\t\t\t\t\t\n"
                                      "1.250\t2.0000\t11.800\t\t\t0.0000\t12.000\t\t\t\t\n"
                                      "2.006\t\t\t\t\t0.5000\t11.950\t\t\t\t\n"
                                      "3.006\t\t\t\t\t0.5000\t11.950\t\t\t\t\n"
                                      "4.006\t\t\t\t\t0.5000\t11.950\t\t\t\t\n");
    EXPECT_EQ(timelineWithoutStatus().last(), QStringLiteral("+4505 INST:NSEL 3;:OUTP 0"));
}

} // namespace
