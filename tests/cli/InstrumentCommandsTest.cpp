#include "QtPrinters.h"
#include "SimulatorProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

QString example(const char* name)
{
    return QStringLiteral(TESSOR_EXAMPLES_DIR "/") + QLatin1String(name);
}

} // namespace

// tessorctl's instrument commands against the built-in simulator (--port simulator) and against
// the kdrx-sim program on a pseudo-terminal, whose memory outlives one tessorctl and whose
// transcript shows what was sent.
class InstrumentCommands : public ::testing::Test {
protected:
    Result run(const QStringList& arguments) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        environment.insert(QStringLiteral("HOME"), config.path());
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(work.path());
        process.start(QStringLiteral(TESSORCTL_PATH), arguments);
        EXPECT_TRUE(process.waitForFinished(120000));
        Result result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        result.err = QString::fromLocal8Bit(process.readAllStandardError());
        return result;
    }
    // Serves kdrx-sim at work/kdrx with its transcript at work/transcript.txt.
    void startSimulator(const QStringList& faults = {}) { ASSERT_TRUE(simulator.start(faults)); }
    QString device() const { return simulator.device(); }
    QStringList transcript() const { return simulator.transcript(); }
    QByteArray fileBytes(const QString& name) const
    {
        QFile file(work.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir config;
    QTemporaryDir work;
    SimulatorProcess simulator{work.path()};
};

TEST_F(InstrumentCommands, IdnPrintsTheIdentificationReply)
{
    const Result r = run({"--port", "simulator", "idn"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QStringLiteral("MORVANE,KDR-X5,SIM00001,1.00\n"));
    EXPECT_EQ(r.err, QString());
}

TEST_F(InstrumentCommands, IdnOfAnotherInstrumentShowsTheMessageAndItsReply)
{
    startSimulator({"--model", "PLZ-5W"});
    const Result r = run({"--port", device(), "idn"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, QStringLiteral("MORVANE,PLZ-5W,SIM00001,1.00\n"));
    EXPECT_EQ(r.err, QStringLiteral("Morvane KDR-X series - The instrument is not\n"));
    EXPECT_EQ(transcript(), QStringList{"*IDN?"});
}

TEST_F(InstrumentCommands, APortThatCannotBeOpenedIsNamedWithTheSystemsReason)
{
    startSimulator();
    // Another program holding the simulator's terminal.
    const int holder = ::open(QFile::encodeName(device()).constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    const struct {
        QString port;
        QString device;
        QString reason;
    } cases[] = {
        {work.filePath("no-such-tty"), work.filePath("no-such-tty"), "No such file or directory"},
        {work.path(), work.path(), "Is a directory"},
        {"/dev/null", "/dev/null", "it is not a serial device"},
        {device(), device(), "it is in use by another program (locked)"},
        // COMn is the system's /dev/ttyS(n-1), as in the Interface dialog.
        {"COM99", "/dev/ttyS98", "No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port.toStdString());
        const Result r = run({"--port", c.port, "idn"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err,
                  "RS-232C: failed to open the COM port\ntessorctl: " + c.device + ": " + c.reason + "\n");
        EXPECT_EQ(r.out, QString());
    }
    ::close(holder);
    EXPECT_EQ(transcript(), QStringList());
}

TEST_F(InstrumentCommands, WithoutAPortNamedItSaysWhichPortItTries)
{
    const Result r = run({"--set", "Port=99", "idn"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("tessorctl: neither --port nor --gpib is given and the profile names no "
                                    "port: trying /dev/ttyS98 (COM99)\n"
                                    "RS-232C: failed to open the COM port\n"
                                    "tessorctl: /dev/ttyS98: No such file or directory\n"));
}

TEST_F(InstrumentCommands, ReadChecksItsOutputFileBeforeAskingTheInstrument)
{
    startSimulator();
    QDir(work.path()).mkdir(QStringLiteral("adir.tsr"));
    const struct {
        QString out;
        QString reason;
    } cases[] = {{"/nonexistent/r.tsr", "No such file or directory"}, {"adir.tsr", "it is a directory"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out.toStdString());
        const Result r = run({"--port", device(), "read", "--channels", "1", "-o", c.out});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, "tessorctl: cannot write " + c.out + ": " + c.reason + "; nothing was read.\n");
    }
    EXPECT_EQ(transcript(), QStringList());
    EXPECT_FALSE(QFile::exists(QStringLiteral("/nonexistent/r.tsr")));
}

TEST_F(InstrumentCommands, WriteSendsTheListedChannelsWithProgress)
{
    const Result r =
        run({"--port", "simulator", "write", example("hardware-cc-cr.tsr"), "--channels", "1,2"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, QStringLiteral("Succeed to writing\n"));
    QStringList progress;
    for (int step = 1; step <= 5; ++step)
        progress << QStringLiteral("Channel 1: step %1 of 5").arg(step);
    for (int step = 1; step <= 4; ++step)
        progress << QStringLiteral("Channel 2: step %1 of 4").arg(step);
    EXPECT_EQ(r.out, progress.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

TEST_F(InstrumentCommands, WriteRefusesAFileThatIsNotForHardwareControl)
{
    startSimulator();
    const Result r =
        run({"--port", device(), "write", example("cc-battery-discharge.tsr"), "--channels", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("is not a Hardware Control file"))) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains(QStringLiteral("nothing was sent")));
    EXPECT_EQ(transcript(), QStringList());
}

TEST_F(InstrumentCommands, WriteOfAChannelWithoutStepsSendsNothing)
{
    startSimulator();
    const Result r = run({"--port", device(), "write", example("hardware-cc-cr.tsr"), "--channels", "1-3"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("Channel 3 does not have data.\n"));
    EXPECT_EQ(transcript(), QStringList());
}

TEST_F(InstrumentCommands, WriteRefusesAStoredRepeatOutOfRange)
{
    startSimulator();
    const Result r = run(
        {"--port", device(), "--set", "Repeat=0", "write", example("hardware-cc-cr.tsr"), "--channels", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("Please enter an integer between 1 and 9999.\n"));
    EXPECT_EQ(transcript(), QStringList());
}

TEST_F(InstrumentCommands, WriteStopsAtTheInstrumentsError)
{
    startSimulator({"--error-after", "PROG:FSP:EDIT 2,0.25000000,0,20.000=-222,\"Data out of range\""});
    const Result r = run({"--port", device(), "write", example("hardware-cc-cr.tsr"), "--channels", "2"});
    EXPECT_EQ(r.exitCode, 1) << qPrintable(r.err);
    EXPECT_EQ(r.err, QStringLiteral("An error occurred. -222,\"Data out of range\"\n"));
    EXPECT_EQ(r.out, QStringLiteral("Channel 2: step 1 of 4\n"));
    EXPECT_EQ(transcript().mid(2),
              (QStringList{"INST:NSEL 2;:INST:COUP NONE", "FUNC CR", "PROG:FSP:END 4", "PROG:LVAL 0",
                           "PROG:FSP:EDIT 1,0.12500000,0,10.000", "SYST:ERR?",
                           "PROG:FSP:EDIT 2,0.25000000,0,20.000", "SYST:ERR?"}));
}

TEST_F(InstrumentCommands, WhatWasWrittenReadsBackIntoAHardwareControlFile)
{
    startSimulator();
    ASSERT_EQ(run({"--port", device(), "--set", "Repeat1=3", "write", example("hardware-cc-cr.tsr"),
                   "--channels", "1,2"})
                  .exitCode,
              0);
    const Result r = run({"--port", device(), "read", "--channels", "1,2", "-o", "back.tsr"});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(r.err, QString());
    // The read shows its progress as the write does.
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Channel 1: step 1 of 5\n"))) << qPrintable(r.out);
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("Channel 2: step 4 of 4\n"))) << qPrintable(r.out);
    EXPECT_EQ(fileBytes("back.tsr"), QByteArray("CC\t0\tCR\t0\tCC\t0\tCC\t0\tCC\t0\ts\thard\r\n"
                                                "2\t30.000\t0\t1\r\n"
                                                "5.5\t12.500\t0\t1\r\n"
                                                "0\t5.000\t0\t1\r\n"
                                                "1.25\t60.000\t0\t1\r\n"
                                                "3\t0.500\t0\t1\r\n"
                                                "\r\n"
                                                "8.00000\t10.000\t0\t1\r\n"
                                                "4.00000\t20.000\t0\t1\r\n"
                                                "2.50000\t15.000\t0\t1\r\n"
                                                "100.00000\t5.000\t0\t1\r\n"
                                                "\r\n\r\n\r\n\r\n"));
    const QStringList sent = transcript();
    EXPECT_TRUE(sent.contains(QStringLiteral("PROG:LOOP 3")));
    EXPECT_EQ(sent.filter(QStringLiteral("PROG:FSP:EDIT?")).size(), 9);
}

TEST_F(InstrumentCommands, ReadOfTheBuiltInSimulatorGivesItsEmptyProgram)
{
    const Result r = run({"--port", "simulator", "read", "--channels", "4", "-o", "fresh.tsr"});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(
        fileBytes("fresh.tsr"),
        QByteArray("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\thard\r\n\r\n\r\n\r\n0\t0.000\t0\t1\r\n\r\n\r\n"));
}

TEST_F(InstrumentCommands, ReadOfAChannelInAnotherFunctionSavesNothing)
{
    startSimulator();
    // Channel 2 goes into CV through the same device, as another program would put it.
    QFile tty(device());
    ASSERT_TRUE(tty.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
    tty.write("INST:NSEL 2;:FUNC CV\n");
    tty.close();
    QElapsedTimer timer;
    timer.start();
    while (!transcript().contains(QStringLiteral("INST:NSEL 2;:FUNC CV")) && timer.elapsed() < 10000)
        QThread::msleep(20);

    const Result cv = run({"--port", device(), "read", "--channels", "2", "-o", "cv.tsr"});
    EXPECT_EQ(cv.exitCode, 1);
    EXPECT_EQ(cv.err, QStringLiteral(
                          "Channel 2: This channel is not CC mode or CR mode.\nThere is no data to save.\n"));

    // Among other channels the message names the one it speaks of.
    ASSERT_EQ(run({"--port", device(), "write", example("hardware-cc-cr.tsr"), "--channels", "1"}).exitCode,
              0);
    const Result mixed = run({"--port", device(), "read", "--channels", "1-3", "-o", "mixed.tsr"});
    EXPECT_EQ(mixed.exitCode, 0) << qPrintable(mixed.err);
    EXPECT_EQ(mixed.err, QStringLiteral("Channel 2: This channel is not CC mode or CR mode.\n"));
    EXPECT_EQ(fileBytes("cv.tsr"), QByteArray("<missing>"));
}

TEST_F(InstrumentCommands, RangesSetTheListedChannels)
{
    startSimulator();
    const Result r = run({"--port", device(), "ranges", "--channels", "1,3", "--cc", "med", "--cv", "LOW"});
    EXPECT_EQ(r.exitCode, 0);
    // The instrument keeps them, but a Software Control run sets the current range again.
    EXPECT_EQ(r.err, QStringLiteral("It succeeded in writing.\ntessorctl: a Software Control run sets each "
                                    "channel's current range from the profile again; to run with MED, give "
                                    "run --set RangeCC1=1 --set RangeCC3=1.\n"));
    EXPECT_EQ(transcript(),
              (QStringList{"*IDN?", "*CLS;:INP:PROT:CLE", "INST:NSEL 1;:INST:COUP NONE", "VOLT:RANG LOW",
                           "SYST:ERR?", "CURR:RANG MED", "SYST:ERR?", "INST:NSEL 3;:INST:COUP NONE",
                           "VOLT:RANG LOW", "SYST:ERR?", "CURR:RANG MED", "SYST:ERR?"}));
}

TEST_F(InstrumentCommands, RangesStopAtTheInstrumentsError)
{
    startSimulator({"--error-after", "CURR:RANG LOW=-221,\"Settings conflict\""});
    const Result r = run({"--port", device(), "ranges", "--channels", "2", "--cc", "LOW", "--cv", "HIGH"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("An error occurred. -221,\"Settings conflict\"\n"));
}

TEST_F(InstrumentCommands, UsageErrorsExitWithTwoAndSendNothing)
{
    startSimulator();
    const QString port = device();
    const QList<QStringList> cases{
        {"--port", port, "write", example("hardware-cc-cr.tsr")},
        {"--port", port, "write", "--channels", "1"},
        {"--port", port, "write", example("hardware-cc-cr.tsr"), "--channels", "6"},
        {"--port", port, "write", example("hardware-cc-cr.tsr"), "--channels", "3-1"},
        {"--port", port, "write", example("hardware-cc-cr.tsr"), "--channels", ""},
        {"--port", port, "write", example("hardware-cc-cr.tsr"), "--channels", "1", "--channels", "2"},
        {"--port", port, "read", "--channels", "1"},
        {"--port", port, "read", "-o", "x.tsr"},
        {"--port", port, "read", "--channels", "1", "-o"},
        {"--port", port, "ranges", "--channels", "1", "--cc", "HUGE", "--cv", "LOW"},
        {"--port", port, "ranges", "--channels", "1", "--cc", "LOW"},
        {"--port", port, "idn", "extra"},
        {"--port", port, "idn", "--verbose"},
        {"--gpib", "acme:5", "idn"},
        {"--gpib", "ni:31", "idn"},
        {"--port", "", "idn"},
    };
    for (const QStringList& arguments : cases) {
        SCOPED_TRACE(arguments.join(QLatin1Char(' ')).toStdString());
        const Result r = run(arguments);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_EQ(transcript(), QStringList());
}
