#include "QtPrinters.h"
#include "SimulatorProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <signal.h>

namespace {

// Ctrl-C, SIGTERM and SIGHUP against tessorctl's instrument commands on kdrx-sim: each ends the
// command at its next exchange, a wait for a reply cut short, and says what the instrument holds.
class StopSignals : public ::testing::Test {
protected:
    ~StopSignals() override
    {
        if (tessorctl.state() != QProcess::NotRunning) {
            tessorctl.kill();
            tessorctl.waitForFinished(10000);
        }
    }
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
    bool waitForOutput(const QString& text)
    {
        QElapsedTimer timer;
        timer.start();
        while (!out.contains(text) && timer.elapsed() < 60000 && tessorctl.state() == QProcess::Running) {
            tessorctl.waitForReadyRead(100);
            out += QString::fromLocal8Bit(tessorctl.readAllStandardOutput());
        }
        return out.contains(text);
    }
    // Waits until the simulator has received the line.
    bool waitForReceived(SimulatorProcess& simulator, const QString& line)
    {
        QElapsedTimer timer;
        timer.start();
        while (!simulator.transcript().contains(line) && timer.elapsed() < 30000)
            QThread::msleep(20);
        return simulator.transcript().contains(line);
    }
    // Sends the signal and waits for the end; the time from the signal to the end in elapsedMs.
    int signalAndFinish(int signal, qint64& elapsedMs)
    {
        QElapsedTimer timer;
        timer.start();
        ::kill(static_cast<pid_t>(tessorctl.processId()), signal);
        EXPECT_TRUE(tessorctl.waitForFinished(60000));
        elapsedMs = timer.elapsed();
        out += QString::fromLocal8Bit(tessorctl.readAllStandardOutput());
        err = QString::fromLocal8Bit(tessorctl.readAllStandardError());
        return tessorctl.exitStatus() == QProcess::NormalExit ? tessorctl.exitCode() : -1;
    }
    void reset()
    {
        out.clear();
        err.clear();
    }

    QTemporaryDir config;
    QTemporaryDir work;
    QProcess tessorctl;
    QString out;
    QString err;
};

// The time a stop may take: the step under way, the link's settling and the end of the program,
// with room for a loaded machine; a reply time-out would be 15 s.
constexpr qint64 kStopBoundMs = 5000;

const struct {
    int number;
    const char* name;
} kSignals[] = {{SIGINT, "SIGINT"}, {SIGTERM, "SIGTERM"}, {SIGHUP, "SIGHUP"}};

TEST_F(StopSignals, AWriteEndsAfterTheStepUnderWayAndSaysWhatTheInstrumentHolds)
{
    QByteArray text = "CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\thard\r\n\r\n";
    for (int k = 1; k <= 255; ++k)
        text += QByteArray::number(1 + k % 5) + ".0000\t1.000\t0\t1\r\n";
    text += "\r\n\r\n\r\n\r\n";
    QFile file(work.filePath("long.tsr"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();

    for (const auto& signal : kSignals) {
        SCOPED_TRACE(signal.name);
        reset();
        // A slow line: each step takes a quarter of a second.
        QTemporaryDir folder;
        SimulatorProcess simulator(folder.path());
        ASSERT_TRUE(simulator.start({"--baud", "2400"}));
        start({"--port", simulator.device(), "write", file.fileName(), "--channels", "2"});
        ASSERT_TRUE(waitForOutput(QStringLiteral("Channel 2: step 3 of 255"))) << qPrintable(out);
        qint64 elapsed = 0;
        EXPECT_EQ(signalAndFinish(signal.number, elapsed), 130) << qPrintable(err);
        EXPECT_LT(elapsed, kStopBoundMs);

        const QRegularExpression stopped(QStringLiteral(
            "^tessorctl: stopped: channel 2: (\\d+) of 255 steps written; the program in the instrument is "
            "incomplete\n$"));
        const QRegularExpressionMatch match = stopped.match(err);
        ASSERT_TRUE(match.hasMatch()) << qPrintable(err);
        // Every step said to be written was sent and checked; none after it was sent.
        const QStringList sent = simulator.transcript();
        const int written = match.captured(1).toInt();
        EXPECT_GE(written, 3);
        EXPECT_EQ(sent.filter(QRegularExpression(QStringLiteral("^PROG:FSP:EDIT \\d+,"))).size(), written);
        EXPECT_EQ(sent.last(), QStringLiteral("SYST:ERR?"));
        EXPECT_FALSE(out.contains(QStringLiteral("step %1 of").arg(written + 1))) << qPrintable(out);
    }
}

TEST_F(StopSignals, AReadWaitingForAReplyEndsAndWritesNoFile)
{
    // The load answers the first thirteen lines (its program, the identification, the header and
    // four steps), then nothing: the read waits for the fifth step.
    SimulatorProcess simulator(work.path());
    ASSERT_TRUE(simulator.start({"--stop-after", "13"}));
    QString program = QStringLiteral("INST:NSEL 1;:FUNC CC;:PROG:FSP:END 10");
    for (int k = 1; k <= 10; ++k)
        program += QStringLiteral(";:PROG:FSP:EDIT %1,%1,0,5").arg(k);
    {
        QFile tty(simulator.device());
        ASSERT_TRUE(tty.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
        tty.write((program + QLatin1Char('\n')).toLatin1());
    }
    ASSERT_TRUE(waitForReceived(simulator, program));

    start({"--port", simulator.device(), "read", "--channels", "1", "-o", "back.tsr"});
    ASSERT_TRUE(waitForOutput(QStringLiteral("Channel 1: step 4 of 10"))) << qPrintable(out);
    ASSERT_TRUE(waitForReceived(simulator, QStringLiteral("PROG:FSP:EDIT? 5")));
    qint64 elapsed = 0;
    EXPECT_EQ(signalAndFinish(SIGINT, elapsed), 130) << qPrintable(err);
    EXPECT_LT(elapsed, kStopBoundMs);
    EXPECT_EQ(err, QStringLiteral(
                       "tessorctl: stopped: channel 1: 4 of 10 steps read; back.tsr was not written.\n"));
    EXPECT_FALSE(QFile::exists(work.filePath("back.tsr")));
}

TEST_F(StopSignals, AWaitForASilentLoadIsCutShortInEveryCommand)
{
    SimulatorProcess simulator(work.path());
    ASSERT_TRUE(simulator.start({"--stop-after", "0"}));
    QFile file(work.filePath("one.tsr"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\thard\r\n1.0000\t60.000\t0\t1\r\n\r\n\r\n\r\n\r\n\r\n");
    file.close();
    const QString device = simulator.device();
    const struct {
        QStringList arguments;
        int signal;
        QString said;
    } cases[] = {
        {{"--port", device, "idn"}, SIGINT, "tessorctl: stopped while waiting for the instrument's reply.\n"},
        {{"--port", device, "run", file.fileName()}, SIGTERM, "tessorctl: stopped before the run started.\n"},
        {{"--port", device, "write", file.fileName(), "--channels", "1"},
         SIGHUP,
         "tessorctl: stopped before channel 1 was written; its program in the instrument is unchanged\n"},
        {{"--port", device, "read", "--channels", "1", "-o", "r.tsr"},
         SIGINT,
         "tessorctl: stopped before channel 1 was read; r.tsr was not written.\n"},
        {{"--port", device, "ranges", "--channels", "1", "--cc", "LOW", "--cv", "LOW"},
         SIGTERM,
         "tessorctl: stopped; some of the listed channels may keep their old ranges.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        reset();
        const qsizetype asked = simulator.transcript().count(QStringLiteral("*IDN?"));
        start(c.arguments);
        QElapsedTimer timer;
        timer.start();
        while (simulator.transcript().count(QStringLiteral("*IDN?")) == asked && timer.elapsed() < 30000)
            QThread::msleep(20);
        qint64 elapsed = 0;
        EXPECT_EQ(signalAndFinish(c.signal, elapsed), 130) << qPrintable(err);
        EXPECT_LT(elapsed, kStopBoundMs);
        EXPECT_EQ(err, c.said);
    }
    EXPECT_FALSE(simulator.transcript().contains(QStringLiteral("*CLS;:INP:PROT:CLE")));
}

} // namespace
