#include "QtPrinters.h"
#include "SimulatorProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

namespace {

// tessorctl run as a program, against the built-in simulator or the kdrx-sim program on a
// pseudo-terminal (whose transcript shows what the run sent), with short sequences in real time.
class RunCommand : public ::testing::Test {
protected:
    ~RunCommand() override
    {
        if (tessorctl.state() != QProcess::NotRunning) {
            tessorctl.kill();
            tessorctl.waitForFinished(10000);
        }
    }

    // Starts tessorctl with these arguments in the work folder, the home folder (the log folder
    // of a fresh profile) being the temporary config folder.
    void start(const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        environment.insert(QStringLiteral("HOME"), config.path());
        tessorctl.setProcessEnvironment(environment);
        tessorctl.setWorkingDirectory(work.path());
        tessorctl.start(QStringLiteral(TESSORCTL_PATH), arguments);
        ASSERT_TRUE(tessorctl.waitForStarted(10000));
    }
    int finish()
    {
        EXPECT_TRUE(tessorctl.waitForFinished(120000));
        out += QString::fromLocal8Bit(tessorctl.readAllStandardOutput());
        err += QString::fromLocal8Bit(tessorctl.readAllStandardError());
        return tessorctl.exitStatus() == QProcess::NormalExit ? tessorctl.exitCode() : -1;
    }
    int run(const QStringList& arguments)
    {
        start(arguments);
        return finish();
    }
    // Waits until tessorctl has printed the text.
    bool waitForOutput(const QString& text)
    {
        QElapsedTimer timer;
        timer.start();
        while (!out.contains(text) && timer.elapsed() < 30000) {
            tessorctl.waitForReadyRead(200);
            out += QString::fromLocal8Bit(tessorctl.readAllStandardOutput());
        }
        return out.contains(text);
    }
    // A sequence file in the work folder: the header's modes and unit, then one block per channel.
    QString sequence(const QString& name, const QStringList& channelBlocks, const QString& mode = "CC")
    {
        QString text;
        for (int c = 0; c < 5; ++c)
            text += mode + "\t0\t";
        text += "s\tsoft\n";
        for (int c = 0; c < 5; ++c)
            text += channelBlocks.value(c) + "\n";
        QFile file(work.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toLatin1());
        return file.fileName();
    }
    void startSimulator(const QStringList& faults = {}) { ASSERT_TRUE(simulator.start(faults)); }
    QString device() const { return simulator.device(); }
    QStringList transcript() const { return simulator.transcript(); }
    // The log files written into the home folder.
    QStringList logs() const
    {
        return QDir(config.path()).entryList({QStringLiteral("*.txt"), QStringLiteral("*.csv")}, QDir::Files);
    }
    QByteArray log(const QString& name) const
    {
        QFile file(config.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir config;
    QTemporaryDir work;
    QProcess tessorctl;
    SimulatorProcess simulator{work.path()};
    QString out;
    QString err;
};

const QStringList kMonitoring{"--set", "Curr=1", "--set", "Volt=1",
                              "--set", "File=1", "--set", "MonitorTime=500"};

TEST_F(RunCommand, EveryChannelEndingExitsWithZeroAndShowsItsProgress)
{
    const QString file = sequence("two.tsr", {"1.0\t0.5\t0\t1\n2.0\t0.5\t0\t1\n", "", "0.5\t1.0\t0\t1\n"});
    EXPECT_EQ(run({"--port", "simulator", "run", file}), 0) << qPrintable(err);
    EXPECT_EQ(err, QString());
    // Not a terminal: a plain line whenever a channel's status, pass or step changes.
    EXPECT_TRUE(out.contains(QStringLiteral("Ch1 Running   pass 1/1  step 1/2"))) << qPrintable(out);
    EXPECT_TRUE(out.contains(QStringLiteral("Ch1 Running   pass 1/1  step 2/2"))) << qPrintable(out);
    EXPECT_TRUE(out.contains(QStringLiteral("Ch1 End       pass 1/1  step 2/2"))) << qPrintable(out);
    EXPECT_TRUE(out.contains(QStringLiteral("Ch3 End       pass 1/1  step 1/1"))) << qPrintable(out);
    EXPECT_FALSE(out.contains(QStringLiteral("Ch2"))) << qPrintable(out);
    EXPECT_EQ(logs(), QStringList());
}

TEST_F(RunCommand, TheLogIsWrittenWhereTheProfileSaysAndItsPathShown)
{
    const QString file = sequence("one.tsr", {"1.0\t1.5\t0\t1\n"});
    EXPECT_EQ(run(QStringList{"--port", "simulator"} + kMonitoring + QStringList{"run", file}), 0)
        << qPrintable(err);
    ASSERT_EQ(logs().size(), 1);
    EXPECT_TRUE(out.contains(QStringLiteral("Log file: ") + config.filePath(logs().first())))
        << qPrintable(out);
    EXPECT_TRUE(logs().first().startsWith(QLatin1String("CC_")));
    const QList<QByteArray> lines = log(logs().first()).split('\n');
    EXPECT_EQ(lines.first(),
              QByteArray(
                  "Time[s]\tCh1[A]\tCh1[V]\tCh2[A]\tCh2[V]\tCh3[A]\tCh3[V]\tCh4[A]\tCh4[V]\tCh5[A]\tCh5[V]"));
    // Readings every 500 ms until the 1.5 s sequence ends, at 1 A on the simulator's 12 V, 0.1 ohm.
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[1].endsWith("\t1.0000\t11.900\t\t\t\t\t\t\t\t")) << lines[1].constData();
    EXPECT_EQ(lines[1].count('\t'), 10);
}

TEST_F(RunCommand, AProtectionTripExitsWithThree)
{
    const QString file = sequence("trip.tsr", {"1.0\t30.0\t0\t1\n", "1.0\t30.0\t0\t1\n"});
    EXPECT_EQ(run({"--port", "simulator", "--set", "Volt=1", "--set", "MonitorTime=500", "--set", "UvpOn2=1",
                   "--set", "Uvp2=11.95", "--set", "OutOffCh2=0", "run", file, "--channels", "2"}),
              3)
        << qPrintable(out + err);
    EXPECT_TRUE(out.contains(QStringLiteral("Ch2 UVP"))) << qPrintable(out);
    EXPECT_FALSE(out.contains(QStringLiteral("Ch1"))) << qPrintable(out);
}

TEST_F(RunCommand, AChannelThatCannotStartExitsWithOne)
{
    // 100 A is beyond the load's range: the start's error check fails.
    const QString file = sequence("bad.tsr", {"100.0\t1.0\t0\t1\n"});
    EXPECT_EQ(run({"--port", "simulator", "run", file}), 1);
    EXPECT_EQ(err, QStringLiteral("There is not a channel or cannot set an initial value.\n"));
    EXPECT_TRUE(out.contains(QStringLiteral("Ch1 Error"))) << qPrintable(out);
}

TEST_F(RunCommand, AStartRefusedBeforeAnythingIsSentExitsWithOne)
{
    // A hand-edited file holds a value the worksheet would refuse: nothing runs, and that is no
    // success.
    const QString file = sequence("refused.tsr", {"999999.0000\t1.0\t0\t1\n"});
    EXPECT_EQ(run({"--port", "simulator", "run", file}), 1);
    EXPECT_EQ(err, QStringLiteral("Channel 1, line 1: the value \"999999.0000\" is outside -100 to 300000. "
                                  "Nothing was sent.\ntessorctl: nothing was run.\n"));
}

TEST_F(RunCommand, HalfHourStepsOfTheProgramsOwnFilesRun)
{
    // 1800.0 s steps are what the program's own files hold under Software Control (a typed interval
    // stops at 999.5 s); the run starts, and a stop ends it.
    const QString file = sequence("discharge.tsr", {"2.0000\t1800.0\t0\t1\n0.0000\t600.0\t0\t0\n"});
    start({"--port", "simulator", "run", file});
    ASSERT_TRUE(waitForOutput(QStringLiteral("Ch1 Running"))) << qPrintable(out + err);
    tessorctl.terminate();
    EXPECT_EQ(finish(), 130) << qPrintable(out + err);
    EXPECT_FALSE(err.contains(QStringLiteral("Nothing was sent"))) << qPrintable(err);
}

TEST_F(RunCommand, AnInstrumentLostMidRunExitsWithOne)
{
    startSimulator();
    QString steps;
    for (int i = 0; i < 40; ++i)
        steps += QStringLiteral("%1\t0.5\t0\t1\n").arg(1.0 + 0.01 * i, 0, 'f', 2);
    const QString file = sequence("lost.tsr", {steps});
    start({"--port", device(), "run", file});
    ASSERT_TRUE(waitForOutput(QStringLiteral("step 3/40")));
    simulator.stop();
    EXPECT_EQ(finish(), 1) << qPrintable(out + err);
    // What failed, with the system's reason, and that the load may still be on.
    EXPECT_TRUE(
        err.startsWith(QStringLiteral("RS-232C: failed to transmit data\ntessorctl: ") + device() + ": "))
        << qPrintable(err);
    EXPECT_TRUE(
        err.contains(QStringLiteral("tessorctl: channel 1 stopped with Error: RS-232C: failed to transmit "
                                    "data (")))
        << qPrintable(err);
    EXPECT_TRUE(
        err.endsWith(QStringLiteral("; its load may still be on (tessorctl could not switch it off).\n")))
        << qPrintable(err);
    EXPECT_TRUE(out.contains(QStringLiteral("Ch1 Error"))) << qPrintable(out);
}

TEST_F(RunCommand, ALoadThatStopsAnsweringMidRunIsToldWithTheLinksMessage)
{
    // The load answers the start and a few readings, then nothing: a reading waits out its time-out.
    startSimulator({"--stop-after", "20"});
    const QString file = sequence("silent.tsr", {"1.0\t60.0\t0\t1\n"});
    EXPECT_EQ(run(QStringList{"--port", device(), "--set", "Curr=1", "--set", "Volt=1", "--set",
                              "MonitorTime=500", "run", file}),
              1)
        << qPrintable(out + err);
    EXPECT_TRUE(
        err.contains(QStringLiteral("tessorctl: channel 1 stopped with Error: RS-232C: failed to receive "
                                    "data (no data) (") +
                     device() + QStringLiteral(": no reply within ")))
        << qPrintable(err);
    EXPECT_TRUE(
        err.endsWith(QStringLiteral("; its load may still be on (tessorctl could not switch it off).\n")))
        << qPrintable(err);
    EXPECT_TRUE(out.contains(QStringLiteral("Ch1 Error"))) << qPrintable(out);
}

TEST_F(RunCommand, AProtectionThatChecksNothingIsWarnedAbout)
{
    const QString file = sequence("one.tsr", {"1.0\t0.5\t0\t1\n", "1.0\t0.5\t0\t1\n"});
    const struct {
        QStringList sets;
        QString warning; // empty: none
    } cases[] = {
        {{"UvpOn1=1", "Uvp1=10.5"},
         "tessorctl: warning: channel 1: the under-voltage protection (UvpOn1=1) checks nothing: the voltage "
         "is "
         "not monitored (add --set Volt=1)\n"},
        {{"UcpOn2=1", "Curr=0", "Volt=1"},
         "tessorctl: warning: channel 2: the under-current protection (UcpOn2=1) checks nothing: the current "
         "is "
         "not monitored (add --set Curr=1)\n"},
        {{"UvpOn1=1", "Volt=1", "MonSoft=1"},
         "tessorctl: warning: channel 1: the under-voltage protection (UvpOn1=1) checks nothing: readings "
         "are "
         "taken only at step ends, which are not checked (MonSoft=1)\n"},
        {{"UvpOn1=1", "Uvp1=1", "Volt=1"}, ""},
        // A channel that is not run is not warned about.
        {{"UvpOn3=1"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sets.join(' ').toStdString());
        out.clear();
        err.clear();
        QStringList arguments{"--port", "simulator"};
        for (const QString& set : c.sets)
            arguments << QStringLiteral("--set") << set;
        EXPECT_EQ(run(arguments + QStringList{"run", file}), 0) << qPrintable(err);
        EXPECT_EQ(err, c.warning);
    }
}

TEST_F(RunCommand, ALineShowsTheTimeItIsPrinted)
{
    // A channel of two seconds ends at 00:00:02, not at the last elapsed-time display.
    const QString file = sequence("two.tsr", {"1.0\t1.0\t0\t1\n2.0\t1.0\t0\t1\n"});
    EXPECT_EQ(run({"--port", "simulator", "run", file}), 0) << qPrintable(err);
    const QRegularExpression ended(QStringLiteral("Ch1 End       pass 1/1  step 2/2  00:00:0([0-9])"));
    const QRegularExpressionMatch match = ended.match(out);
    ASSERT_TRUE(match.hasMatch()) << qPrintable(out);
    EXPECT_GE(match.captured(1).toInt(), 2) << qPrintable(out);
}

TEST_F(RunCommand, SigtermStopsEveryChannelAsStopAllDoesAndExitsWith130)
{
    startSimulator();
    const QString file = sequence("long.tsr", {"1.0\t60.0\t0\t1\n", "", "0.5\t60.0\t0\t1\n"});
    start(QStringList{"--port", device(), "--set", "MonEnd=1", "--set", "OutOffCh3=0"} + kMonitoring +
          QStringList{"run", file});
    ASSERT_TRUE(waitForOutput(QStringLiteral("Log file:")));
    ASSERT_TRUE(waitForOutput(QStringLiteral("Ch3 Running")));
    QThread::msleep(1200);
    tessorctl.terminate();
    EXPECT_EQ(finish(), 130) << qPrintable(out + err);
    EXPECT_TRUE(out.contains(QStringLiteral("Ch1 Stop"))) << qPrintable(out);
    EXPECT_TRUE(out.contains(QStringLiteral("Ch3 Stop"))) << qPrintable(out);
    // Channel 1 goes off; channel 3's Last Load OFF is cleared, so its load stays on. The
    // after-processing readings follow, and the log is finished.
    const QStringList sent = transcript();
    const qsizetype stop = sent.indexOf(QStringLiteral("INST:NSEL 1;:OUTP 0"));
    ASSERT_GE(stop, 0) << qPrintable(sent.join('\n'));
    EXPECT_EQ(sent.mid(stop), (QStringList{"INST:NSEL 1;:OUTP 0", "INST:NSEL 1;:MEAS:CURR?;:MEAS:VOLT?",
                                           "INST:NSEL 3;:MEAS:CURR?;:MEAS:VOLT?"}));
    ASSERT_EQ(logs().size(), 1);
    const QList<QByteArray> lines = log(logs().first()).chopped(1).split('\n');
    EXPECT_TRUE(lines.last().endsWith("\t0.0000\t12.000\t\t\t0.5000\t11.950\t\t\t\t"))
        << lines.last().constData();
}

TEST_F(RunCommand, AClosedTerminalStopsTheRunAsSigtermDoes)
{
    // Closing the terminal (or losing the SSH session) sends SIGHUP: without a stop the process
    // would end with the load on.
    startSimulator();
    const QString file = sequence("hangup.tsr", {"1.0\t60.0\t0\t1\n"});
    start({"--port", device(), "run", file});
    ASSERT_TRUE(waitForOutput(QStringLiteral("Ch1 Running")));
    ::kill(static_cast<pid_t>(tessorctl.processId()), SIGHUP);
    EXPECT_EQ(finish(), 130) << qPrintable(out + err);
    EXPECT_TRUE(out.contains(QStringLiteral("Ch1 Stop"))) << qPrintable(out);
    EXPECT_EQ(transcript().last(), QStringLiteral("INST:NSEL 1;:OUTP 0"));
}

TEST_F(RunCommand, ALogFileThatCannotBeCreatedIsToldWithItsReasonAndExitsWithOne)
{
    const QString file = sequence("one.tsr", {"1.0\t1.0\t0\t1\n"});
    const QString missing = work.filePath("no-such-folder");
    EXPECT_EQ(run(QStringList{"--port", "simulator", "--set", "Folder=" + missing} + kMonitoring +
                  QStringList{"run", file}),
              1);
    EXPECT_TRUE(err.startsWith("tessorctl: cannot create the log file " + missing + "/CC_"))
        << qPrintable(err);
    EXPECT_TRUE(err.endsWith(QStringLiteral(".txt: No such file or directory\n"))) << qPrintable(err);
    EXPECT_EQ(err.count('\n'), 1) << qPrintable(err);
    EXPECT_TRUE(out.contains(QStringLiteral("Ch1 Error"))) << qPrintable(out);
}

TEST_F(RunCommand, ALogWriteFailingMidRunIsToldOnceAndTheRunGoesOn)
{
    // Files of tessorctl may not grow past 150 bytes: the header and two lines fit.
    tessorctl.setChildProcessModifier([] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{150, 150};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    const QString file = sequence("one.tsr", {"1.0\t2.5\t0\t1\n"});
    const int status = run(QStringList{"--port", "simulator"} + kMonitoring + QStringList{"run", file});
    EXPECT_EQ(status, 1) << qPrintable(out + err);
    EXPECT_TRUE(err.startsWith(QStringLiteral("tessorctl: cannot write the log file ") + config.path()))
        << qPrintable(err);
    EXPECT_TRUE(err.contains(QStringLiteral(": File too large; the run goes on\n"))) << qPrintable(err);
    EXPECT_EQ(err.count('\n'), 1) << qPrintable(err);
    EXPECT_TRUE(out.contains(QStringLiteral("Ch1 End"))) << qPrintable(out);
    ASSERT_EQ(logs().size(), 1);
    EXPECT_GE(log(logs().first()).count('\n'), 3);
}

TEST_F(RunCommand, ReadingsKeptInMemoryWhoseFolderIsGoneAreWrittenBesideTheSequenceFile)
{
    const QString file = sequence("one.tsr", {"1.0\t2.5\t0\t1\n"});
    const QString folder = work.filePath("logs");
    ASSERT_TRUE(QDir().mkpath(folder));
    start(QStringList{"--port", "simulator", "--set", "FileMem=0", "--set", "Folder=" + folder} +
          kMonitoring + QStringList{"run", file});
    ASSERT_TRUE(waitForOutput(QStringLiteral("Ch1 Running")));
    ASSERT_TRUE(QDir(folder).removeRecursively());
    EXPECT_EQ(finish(), 1) << qPrintable(out + err);
    EXPECT_TRUE(out.contains(QStringLiteral("Ch1 End"))) << qPrintable(out);
    const QStringList written = QDir(work.path()).entryList({QStringLiteral("CC_*.txt")}, QDir::Files);
    ASSERT_EQ(written.size(), 1) << qPrintable(err);
    const QStringList told = err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(told.size(), 2) << qPrintable(err);
    EXPECT_EQ(told[0], "tessorctl: cannot write the log file " + folder + "/" + written.first() +
                           ": No such file or directory");
    EXPECT_EQ(told[1],
              "tessorctl: the readings were written to " + work.filePath(written.first()) + " instead");
    QFile rescued(work.filePath(written.first()));
    ASSERT_TRUE(rescued.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = rescued.readAll().split('\n');
    EXPECT_TRUE(lines.first().startsWith("Time[s]\tCh1[A]"));
    EXPECT_GE(lines.size(), 4);
}

TEST_F(RunCommand, UsageErrorsExitWithTwo)
{
    const QString file = sequence("one.tsr", {"1.0\t1.0\t0\t1\n"});
    EXPECT_EQ(run({"--port", "simulator", "run"}), 2);
    EXPECT_EQ(run({"--port", "simulator", "run", file, "--channels", "7"}), 2);
    EXPECT_EQ(run({"--port", "simulator", "run", file, "--channels", "2"}), 2);
    EXPECT_TRUE(err.contains(QStringLiteral("channel 2 of"))) << qPrintable(err);
    EXPECT_EQ(run({"--port", "simulator", "run", work.filePath("missing.tsr")}), 1);
}

} // namespace
