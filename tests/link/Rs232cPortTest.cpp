#include "FakeTime.h"
#include "PtyInstrument.h"
#include "RecordingPrompt.h"
#include "ScriptedSerialLine.h"
#include "link/CRs232cPort.h"
#include "ui/ResourceModule.h"
#include "ui/StopFlag.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace {

// Long enough for a loaded machine to pass bytes through; the tests of the time-outs themselves
// shorten them to keep the suite fast.
constexpr int lineTimeoutMs = 2000;
constexpr int shortTimeoutMs = 150;

class Rs232cOverPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(strings.loadFromProgramFolder());
        ASSERT_TRUE(instrument.isOpen());
        port.portDevice = instrument.devicePath();
        port.setTimeoutsMs(lineTimeoutMs, lineTimeoutMs);
    }
    void TearDown() override { port.Close(); }

    // Sends XOFF; the line that follows it is read back, so the terminal has acted on it.
    void holdOutput()
    {
        instrument.send("\x13"
                        "held\n");
        QString reply;
        ASSERT_EQ(port.Read(reply), 1);
        ASSERT_EQ(reply, QStringLiteral("held"));
        instrument.finishSending();
    }

    ResourceModule strings;
    RecordingPrompt prompt;
    FakeTime time;
    PtyInstrument instrument;
    CRs232cPort port{strings, prompt, time};
};

TEST_F(Rs232cOverPty, WritesEachCommandWithOneLineFeed)
{
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(port.Write(QStringLiteral("*IDN?")), 1);
    EXPECT_EQ(instrument.received(), QByteArray("*IDN?\n"));
    EXPECT_EQ(port.Write(QString()), 1);
    EXPECT_EQ(instrument.received(), QByteArray("\n"));
    EXPECT_EQ(port.Write(QStringLiteral("PROG:FSP:EDIT 1,2.500,0.5,0,1")), 1);
    EXPECT_EQ(instrument.received(), QByteArray("PROG:FSP:EDIT 1,2.500,0.5,0,1\n"));
}

TEST_F(Rs232cOverPty, ReadsLinesWithoutTheLineFeedKeepingACarriageReturn)
{
    ASSERT_EQ(port.Open(), 1);
    instrument.send("MORVANE,KDR-X,0,1.00\r\n12.5\n");
    QString reply;
    EXPECT_EQ(port.Read(reply), 1);
    EXPECT_EQ(reply, QStringLiteral("MORVANE,KDR-X,0,1.00\r"));
    EXPECT_EQ(port.Read(reply), 1);
    EXPECT_EQ(reply, QStringLiteral("12.5"));
}

TEST_F(Rs232cOverPty, BareLineFeedIsAnEmptySuccessfulReply)
{
    ASSERT_EQ(port.Open(), 1);
    instrument.send("\n");
    QString reply = QStringLiteral("stale");
    EXPECT_EQ(port.Read(reply), 1);
    EXPECT_TRUE(reply.isEmpty());
}

TEST_F(Rs232cOverPty, TakesAReplyThatLeavesRoomInTheBufferAndRefusesOneThatFillsIt)
{
    ASSERT_EQ(port.Open(), 1);
    const QByteArray longest(8190, 'x');
    instrument.send(longest + '\n');
    QString reply;
    EXPECT_EQ(port.Read(reply), 1);
    EXPECT_EQ(reply.size(), 8190);
    instrument.finishSending();

    // 8191 characters and the line feed fill all 8192 bytes: refused, even though the line ended.
    instrument.send(QByteArray(8191, 'y') + '\n');
    EXPECT_EQ(port.Read(reply), 0);
    EXPECT_EQ(port.lastError, CRs232cPort::DataOver);
    EXPECT_TRUE(reply.isEmpty());
    EXPECT_EQ(port.errorText(), QStringLiteral("RS-232C: failed to receive data (data over)"));
    instrument.finishSending();

    // The port stays open and the next line reads normally.
    instrument.send("OK\n");
    EXPECT_EQ(port.Read(reply), 1);
    EXPECT_EQ(reply, QStringLiteral("OK"));
}

TEST_F(Rs232cOverPty, SilentInstrumentFailsTheReadWithNoDataAfterTheTimeOut)
{
    port.setTimeoutsMs(shortTimeoutMs, lineTimeoutMs);
    ASSERT_EQ(port.Open(), 1);
    QElapsedTimer elapsed;
    elapsed.start();
    QString reply;
    EXPECT_EQ(port.Read(reply), 0);
    EXPECT_GE(elapsed.elapsed(), shortTimeoutMs);
    EXPECT_EQ(port.lastError, CRs232cPort::NoData);

    // A line cut short by the time-out fails the same way.
    instrument.send("12.");
    EXPECT_EQ(port.Read(reply), 0);
    EXPECT_EQ(port.lastError, CRs232cPort::NoData);
    EXPECT_TRUE(prompt.entries.empty());
}

TEST_F(Rs232cOverPty, TheWaitHookRunsWhileASilentInstrumentIsAwaited)
{
    int calls = 0;
    port.setWaitHook([&calls] { ++calls; });
    port.setTimeoutsMs(3 * SerialLine::kWaitSliceMs + 50, lineTimeoutMs);
    ASSERT_EQ(port.Open(), 1);
    QString reply;
    EXPECT_EQ(port.Read(reply), 0);
    EXPECT_EQ(port.lastError, CRs232cPort::NoData);
    EXPECT_GE(calls, 3);

    // A reply that is there is read without waiting; without a hook nothing is called.
    calls = 0;
    instrument.send("1.5\n");
    instrument.finishSending();
    EXPECT_EQ(port.Read(reply), 1);
    EXPECT_EQ(reply, QStringLiteral("1.5"));
    port.setWaitHook({});
    EXPECT_EQ(port.Read(reply), 0);
    EXPECT_LE(calls, 1);
}

TEST_F(Rs232cOverPty, HungUpLineFailsReadsAndWrites)
{
    ASSERT_EQ(port.Open(), 1);
    instrument.hangUp();
    QString reply;
    EXPECT_EQ(port.Read(reply), 0);
    EXPECT_EQ(port.lastError, CRs232cPort::ReadFailed);
    EXPECT_EQ(port.Write(QStringLiteral("OUTP 0")), 0);
    EXPECT_EQ(port.lastError, CRs232cPort::WriteFailed);
}

TEST_F(Rs232cOverPty, ReopeningAnOpenPortClosesItFirstAndWaitsTwice)
{
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(time.waitedMs(), 200);
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(time.waitedMs(), 600);
    EXPECT_EQ(port.Write(QStringLiteral("*CLS")), 1);
    EXPECT_EQ(instrument.received(), QByteArray("*CLS\n"));
    EXPECT_EQ(port.Close(), 1);
    EXPECT_EQ(time.waitedMs(), 800);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(Rs232cOverPty, SecondOpenerOfTheDeviceIsRefusedUntilTheFirstCloses)
{
    ASSERT_EQ(port.Open(), 1);
    CRs232cPort second(strings, prompt, time);
    second.portDevice = instrument.devicePath();
    EXPECT_EQ(second.Open(), 0);
    EXPECT_EQ(second.lastError, CRs232cPort::OpenFailed);
    EXPECT_EQ(second.errorText(), QStringLiteral("RS-232C: failed to open the COM port"));

    port.Close();
    EXPECT_EQ(second.Open(), 1);
    second.Close();
}

TEST_F(Rs232cOverPty, ClosedPortLeavesTheDeviceFreeForEveryUser)
{
    ASSERT_EQ(port.Open(), 1);
    EXPECT_NE(instrument.exclusiveMark(), 0);
    port.Close();
    // A terminal still marked exclusive would turn away every later open but a privileged one's.
    EXPECT_EQ(instrument.exclusiveMark(), 0);
}

TEST_F(Rs232cOverPty, SetsTheInstrumentsLineSettings)
{
    ASSERT_EQ(port.Open(), 1);
    termios settings{};
    ASSERT_TRUE(instrument.lineSettings(settings));
    EXPECT_EQ(cfgetospeed(&settings), static_cast<speed_t>(B19200));
    EXPECT_EQ(cfgetispeed(&settings), static_cast<speed_t>(B19200));
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(settings.c_cflag & PARENB);
    EXPECT_FALSE(settings.c_cflag & CSTOPB);
    EXPECT_FALSE(settings.c_cflag & CRTSCTS);
    EXPECT_TRUE(settings.c_iflag & IXON);
    EXPECT_TRUE(settings.c_iflag & IXOFF);
    EXPECT_EQ(settings.c_cc[VSTART], 0x11);
    EXPECT_EQ(settings.c_cc[VSTOP], 0x13);
    // Raw: no line editing, echo, translation or output processing.
    EXPECT_FALSE(settings.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(settings.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP));
    EXPECT_FALSE(settings.c_oflag & OPOST);
}

TEST_F(Rs232cOverPty, InstrumentHoldsTheOutputWithXoffAndReleasesItWithXon)
{
    ASSERT_EQ(port.Open(), 1);
    holdOutput();
    instrument.send("\x11", 300);
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(port.Write(QStringLiteral("MEAS:CURR?")), 1);
    EXPECT_GE(elapsed.elapsed(), 250);
    EXPECT_EQ(instrument.received(), QByteArray("MEAS:CURR?\n"));
}

TEST_F(Rs232cOverPty, OutputHeldPastTheWriteTimeOutIsAFailedWrite)
{
    port.setTimeoutsMs(lineTimeoutMs, shortTimeoutMs);
    ASSERT_EQ(port.Open(), 1);
    holdOutput();
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(port.Write(QStringLiteral("OUTP 1")), 0);
    EXPECT_GE(elapsed.elapsed(), shortTimeoutMs);
    EXPECT_EQ(port.lastError, CRs232cPort::WriteFailed);
}

TEST_F(Rs232cOverPty, OpenDiscardsWhatArrivedBeforeIt)
{
    ASSERT_EQ(port.Open(), 1);
    port.Close();
    instrument.send("left over\n");
    instrument.finishSending();
    ASSERT_EQ(port.Open(), 1);
    instrument.send("fresh\n");
    QString reply;
    EXPECT_EQ(port.Read(reply), 1);
    EXPECT_EQ(reply, QStringLiteral("fresh"));
}

TEST_F(Rs232cOverPty, AStopRequestCutsTheWaitForAReplyShortWithoutAMessage)
{
    // Long enough that only the stop can end the wait within the bound below.
    port.setTimeoutsMs(20000, lineTimeoutMs);
    StopFlag stop;
    port.setStopFlag(&stop);
    ASSERT_EQ(port.Open(), 1);
    std::thread signaller([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        stop.set();
    });
    QElapsedTimer elapsed;
    elapsed.start();
    QString reply;
    EXPECT_EQ(port.Read(reply), 0);
    signaller.join();
    EXPECT_LT(elapsed.elapsed(), 10000);
    EXPECT_EQ(port.lastError, CRs232cPort::Interrupted);
    EXPECT_EQ(port.errorText(), QString());
    port.ReportError();
    EXPECT_TRUE(prompt.entries.empty());

    // Output held with XOFF ends the same way.
    stop.clear();
    holdOutput();
    port.setTimeoutsMs(20000, 20000);
    std::thread second([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        stop.set();
    });
    elapsed.restart();
    EXPECT_EQ(port.Write(QStringLiteral("OUTP 0")), 0);
    second.join();
    EXPECT_LT(elapsed.elapsed(), 10000);
    EXPECT_EQ(port.lastError, CRs232cPort::Interrupted);
}

TEST_F(Rs232cOverPty, AReplyThatArrivesWithinTheStopsGraceIsTaken)
{
    // The instrument answers the exchange under way: what it holds afterwards is known.
    StopFlag stop;
    port.setStopFlag(&stop);
    ASSERT_EQ(port.Open(), 1);
    stop.set();
    instrument.send("0,\"No error\"\n", 50);
    QString reply;
    EXPECT_EQ(port.Read(reply), 1);
    EXPECT_EQ(reply, QStringLiteral("0,\"No error\""));
}

TEST_F(Rs232cOverPty, AnOpenFailureNamesTheDeviceAndTheSystemsReason)
{
    QTemporaryDir folder;
    // Another program holding the terminal: its lock turns the port away.
    const int holder = ::open(QFile::encodeName(instrument.devicePath()).constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    const struct {
        QString device;
        QString reason;
    } cases[] = {
        {folder.filePath(QStringLiteral("ttyUSB0")), QStringLiteral("No such file or directory")},
        {folder.path(), QStringLiteral("Is a directory")},
        {QStringLiteral("/dev/null"), QStringLiteral("it is not a serial device")},
        {instrument.devicePath(), QStringLiteral("it is in use by another program (locked)")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.device.toStdString());
        port.portDevice = c.device;
        EXPECT_EQ(port.Open(), 0);
        EXPECT_EQ(port.lastError, CRs232cPort::OpenFailed);
        EXPECT_EQ(port.failureDetail(), c.device + QStringLiteral(": ") + c.reason);
    }
    ::close(holder);
}

class Rs232cPortLogic : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(strings.loadFromProgramFolder());
        port.setLine(std::make_unique<ScriptedSerialLine>(script));
    }

    ResourceModule strings;
    RecordingPrompt prompt;
    FakeTime time;
    std::shared_ptr<ScriptedSerialLine::Script> script = std::make_shared<ScriptedSerialLine::Script>();
    CRs232cPort port{strings, prompt, time};
};

TEST_F(Rs232cPortLogic, PortNumberNamesTheSystemsSerialDevice)
{
    port.address = 1;
    EXPECT_EQ(port.devicePath(), QStringLiteral("/dev/ttyS0"));
    port.address = 3;
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(script->calls, QStringList({"open /dev/ttyS2", "purge", "configure"}));
    EXPECT_EQ(time.waitedMs(), 200);

    port.portDevice = QStringLiteral("/dev/ttyUSB0");
    EXPECT_EQ(port.devicePath(), QStringLiteral("/dev/ttyUSB0"));
}

TEST_F(Rs232cPortLogic, SimulatorDeviceComesFromTheProvider)
{
    port.portDevice = QStringLiteral("Simulator");
    ASSERT_EQ(port.Open(), 0);
    EXPECT_EQ(port.lastError, CRs232cPort::OpenFailed);
    EXPECT_TRUE(script->calls.isEmpty());

    int started = 0;
    port.setSimulatorProvider([&started] {
        ++started;
        return QStringLiteral("/dev/pts/77");
    });
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(script->calls.first(), QStringLiteral("open /dev/pts/77"));

    port.setSimulatorProvider([] { return QString(); });
    port.Close();
    EXPECT_EQ(port.Open(), 0);
    EXPECT_EQ(port.lastError, CRs232cPort::OpenFailed);
}

TEST_F(Rs232cPortLogic, FailedSetUpLeavesThePortOpenForTheNextOpenToClose)
{
    script->configureSucceeds = false;
    EXPECT_EQ(port.Open(), 0);
    EXPECT_EQ(port.lastError, CRs232cPort::SetupFailed);
    EXPECT_EQ(port.errorText(), QStringLiteral("RS-232C: failed to set up the COM port"));
    EXPECT_TRUE(port.isOpen());

    script->configureSucceeds = true;
    script->calls.clear();
    EXPECT_EQ(port.Open(), 1);
    EXPECT_EQ(script->calls, QStringList({"close", "open /dev/ttyS0", "purge", "configure"}));
    EXPECT_EQ(time.waitedMs(), 600);
}

TEST_F(Rs232cPortLogic, FailedOrUnfinishedWriteIsAFailure)
{
    ASSERT_EQ(port.Open(), 1);
    script->writeSucceeds = false;
    EXPECT_EQ(port.Write(QStringLiteral("OUTP 1")), 0);
    EXPECT_EQ(port.lastError, CRs232cPort::WriteFailed);
    EXPECT_EQ(port.errorText(), QStringLiteral("RS-232C: failed to transmit data"));
}

TEST_F(Rs232cPortLogic, ClosedPortFailsWritesAndReadsWithoutTouchingTheLine)
{
    EXPECT_EQ(port.Write(QStringLiteral("*IDN?")), 0);
    EXPECT_EQ(port.lastError, CRs232cPort::WriteFailed);
    QString reply;
    EXPECT_EQ(port.Read(reply), 0);
    EXPECT_EQ(port.lastError, CRs232cPort::ReadFailed);
    EXPECT_TRUE(script->written.isEmpty());
}

TEST_F(Rs232cPortLogic, LinesWaitFifteenSecondsUnlessShortened)
{
    ASSERT_EQ(port.Open(), 1);
    QString reply;
    port.Write(QStringLiteral("A"));
    port.Read(reply);
    EXPECT_EQ(script->lastWriteTimeoutMs, 15000);
    EXPECT_EQ(script->lastReadTimeoutMs, 15000);
    port.setTimeoutsMs(40, 60);
    port.Write(QStringLiteral("A"));
    port.Read(reply);
    EXPECT_EQ(script->lastWriteTimeoutMs, 60);
    EXPECT_EQ(script->lastReadTimeoutMs, 40);
}

TEST_F(Rs232cPortLogic, CloseWaitsAndSucceedsWhetherOrNotThePortIsOpen)
{
    EXPECT_EQ(port.Close(), 1);
    EXPECT_EQ(time.waitedMs(), 200);
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(port.Close(), 1);
    EXPECT_EQ(script->calls.last(), QStringLiteral("close"));
    EXPECT_EQ(time.waitedMs(), 600);
}

TEST_F(Rs232cPortLogic, FailedReadCallIsCodeThree)
{
    ASSERT_EQ(port.Open(), 1);
    script->input = "12";
    script->failAfterInput = true;
    QString reply;
    EXPECT_EQ(port.Read(reply), 0);
    EXPECT_EQ(port.lastError, CRs232cPort::ReadFailed);
    EXPECT_EQ(port.errorText(), QStringLiteral("RS-232C: failed to receive data"));
}

} // namespace
