#include "FakeGpibLibrary.h"
#include "FakeTime.h"
#include "PtyInstrument.h"
#include "RecordingPrompt.h"
#include "ScriptedSerialLine.h"
#include "link/CInstrumentPort.h"
#include "model/AppSettings.h"
#include "ui/ResourceModule.h"
#include "ui/StopFlag.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

namespace {

class InstrumentPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(strings.loadFromProgramFolder());
        port.setLibraryFolder(FakeGpibLibrary::folder());
        port.rs232c().setLine(std::make_unique<ScriptedSerialLine>(line));
    }

    ResourceModule strings;
    RecordingPrompt prompt;
    FakeTime time;
    std::shared_ptr<ScriptedSerialLine::Script> line = std::make_shared<ScriptedSerialLine::Script>();
    CInstrumentPort port{strings, prompt, time};
};

struct SettingsCase {
    int Interface, Port, Maker, Address;
    int kind, address;
};

TEST_F(InstrumentPortTest, SettingsChooseTheLinkAndItsAddress)
{
    const SettingsCase cases[] = {
        {0, 3, 1, 7, 0, 3}, // RS-232C on COM Port whatever the GPIB fields hold
        {0, 2, 5, 14, 0, 2},
        {1, 3, 1, 7, 1, 7},
        {1, 3, 3, 12, 3, 12},
        {1, 3, 5, 2, 5, 2},
        {1, 4, 0, 6, 0, 6}, // no maker chosen: RS-232C on the COM port numbered by
                            // Address
        {1, 3, 6, 9, 6, 9}, // a Prologix-compatible controller
    };
    for (const SettingsCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.Interface << "/" << c.Port << "/" << c.Maker << "/" << c.Address);
        AppSettings settings;
        settings.Interface = c.Interface;
        settings.Port = c.Port;
        settings.Maker = c.Maker;
        settings.Address = c.Address;
        settings.Machine = 6;
        settings.PortDevice = QStringLiteral("/dev/ttyUSB1");
        settings.GpibDevice = QStringLiteral("tcp:192.0.2.7");
        port.applySettings(settings);
        EXPECT_EQ(port.kind, c.kind);
        EXPECT_EQ(port.address, c.address);
        EXPECT_EQ(port.machine, 6);
        EXPECT_EQ(port.rs232c().portDevice, QStringLiteral("/dev/ttyUSB1"));
        EXPECT_EQ(port.prologix().device, QStringLiteral("tcp:192.0.2.7"));
    }
}

TEST_F(InstrumentPortTest, NoMakerChosenOpensTheComPortNumberedByTheAddress)
{
    AppSettings settings;
    settings.Interface = 1;
    settings.Maker = 0;
    settings.Address = 4;
    settings.Port = 1;
    port.applySettings(settings);
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(line->calls.first(), QStringLiteral("open /dev/ttyS3"));
}

TEST_F(InstrumentPortTest, OpenHandsAddressAndMachineToEveryAdapter)
{
    port.kind = 7;
    port.address = 11;
    port.machine = 5;
    port.Open();
    EXPECT_EQ(port.rs232c().address, 11);
    EXPECT_EQ(port.niGpib().address, 11);
    EXPECT_EQ(port.interfaceGpib().address, 11);
    EXPECT_EQ(port.contecGpib().address, 11);
    EXPECT_EQ(port.ratocGpib().address, 11);
    EXPECT_EQ(port.ratocUsbGpib().address, 11);
    EXPECT_EQ(port.rs232c().machine, 5);
    EXPECT_EQ(port.interfaceGpib().machine, 5);
    EXPECT_EQ(port.contecGpib().machine, 5);
    EXPECT_EQ(port.ratocGpib().machine, 5);
    EXPECT_EQ(port.ratocUsbGpib().machine, 5);
}

TEST_F(InstrumentPortTest, AMakerOutsideTheTableFailsEveryExchangeAndIsNamed)
{
    // Maker=99 in the profile: nothing may look like an instrument that answered.
    for (int maker : {99, -1}) {
        SCOPED_TRACE(maker);
        AppSettings settings;
        settings.Interface = 1;
        settings.Maker = maker;
        port.applySettings(settings);
        prompt.clear();
        const QString text =
            QStringLiteral("GPIB: the board maker %1 (setting Maker) is not known; choose the "
                           "GPIB board in the Interface dialog.")
                .arg(maker);
        EXPECT_EQ(port.Open(), 0);
        EXPECT_EQ(prompt.texts(), QStringList{text});
        EXPECT_EQ(port.Write(QStringLiteral("*IDN?")), 0);
        QString reply = QStringLiteral("old");
        EXPECT_EQ(port.Read(reply), 0);
        EXPECT_TRUE(reply.isEmpty());
        EXPECT_EQ(port.Close(), 1);
        EXPECT_EQ(port.errorText(), text);
    }
    EXPECT_TRUE(line->calls.isEmpty());
    EXPECT_EQ(time.waitedMs(), 0);
}

TEST_F(InstrumentPortTest, FailedOpenShowsExactlyOneMessage)
{
    struct Case {
        int kind;
        QString folder; // empty: the stand-ins
        QString message;
    };
    QTemporaryDir empty;
    const Case cases[] = {
        {0, {}, "RS-232C: failed to open the COM port"},
        {1, empty.path(), "GPIB[National Instruments]: No GPIB has been set up."},
        {2, empty.path(), "No GPIB has been set up."},
        {3, empty.path(), "No GPIB has been set up."},
        {4, empty.path(), "GPIBがセットアップされていません"},
        {5, empty.path(), "GPIBがセットアップされていません"},
        {6, {}, "GPIB[Prologix]: No controller has been set up."},
    };
    line->openSucceeds = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        prompt.clear();
        port.setLibraryFolder(c.folder.isEmpty() ? FakeGpibLibrary::folder() : c.folder);
        // A code left from an earlier failure is not shown again.
        port.niGpib().lastError = 6;
        port.interfaceGpib().lastError = -14;
        port.contecGpib().lastError = 254;
        port.ratocGpib().lastError = 9;
        port.ratocUsbGpib().lastError = 9;
        port.kind = c.kind;
        EXPECT_EQ(port.Open(), 0);
        EXPECT_EQ(prompt.texts(), QStringList({c.message}));
        EXPECT_EQ(prompt.entries.front().icon, UserPrompt::Icon::None);
    }
}

TEST_F(InstrumentPortTest, FailedOpenOfAPresentBoardShowsTheBoardsError)
{
    FakeGpibLibrary board(QStringLiteral("libGPC4304.so"));
    board.failNext("PciGpibExSetIfc", -16);
    port.kind = CInstrumentPort::InterfaceGpib;
    EXPECT_EQ(port.Open(), 0);
    EXPECT_EQ(prompt.texts(), QStringList({"GPIB[Interface]: IFC assertion failed."}));
}

TEST_F(InstrumentPortTest, FailedWritesAndReadsShowNothingUntilReportError)
{
    line->writeSucceeds = false;
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(port.Write(QStringLiteral("*IDN?")), 0);
    QString reply;
    EXPECT_EQ(port.Read(reply), 0);
    EXPECT_TRUE(prompt.entries.empty());
    port.ReportError();
    EXPECT_EQ(prompt.texts(), QStringList({"RS-232C: failed to receive data (no data)"}));

    FakeGpibLibrary board(QStringLiteral("libApiGpib1.so"));
    prompt.clear();
    port.kind = CInstrumentPort::ContecGpib;
    ASSERT_EQ(port.Open(), 1);
    board.failNext("GpTalk", 252);
    EXPECT_EQ(port.Write(QStringLiteral("*IDN?")), 0);
    EXPECT_EQ(port.Read(reply), 0);
    EXPECT_TRUE(prompt.entries.empty());
    port.ReportError();
    EXPECT_EQ(prompt.texts(), QStringList({"GPIB[Contec]: It was done a time out."}));
}

TEST_F(InstrumentPortTest, EmptyLineIsAReplyOverRs232cButAFailureOverGpib)
{
    ASSERT_EQ(port.Open(), 1);
    line->input = "\n";
    QString reply;
    EXPECT_EQ(port.Read(reply), 1);
    EXPECT_TRUE(reply.isEmpty());

    FakeGpibLibrary board(QStringLiteral("libGPC4304.so"));
    port.kind = CInstrumentPort::InterfaceGpib;
    ASSERT_EQ(port.Open(), 1);
    port.interfaceGpib().lastError = -12;
    board.setReply(QByteArray());
    EXPECT_EQ(port.Read(reply), 0);
    // The library reported nothing; the message is whatever code the adapter holds.
    port.ReportError();
    EXPECT_EQ(prompt.texts(), QStringList({"GPIB[Interface]: Receiving the data failed."}));

    board.setReply("1.000");
    EXPECT_EQ(port.Read(reply), 1);
    EXPECT_EQ(reply, QStringLiteral("1.000"));
}

TEST_F(InstrumentPortTest, EmptyCommandIsALoneLineFeedOverRs232cAndNothingOverContec)
{
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(port.Write(QString()), 1);
    EXPECT_EQ(line->written, QByteArray("\n"));

    FakeGpibLibrary board(QStringLiteral("libApiGpib1.so"));
    port.kind = CInstrumentPort::ContecGpib;
    ASSERT_EQ(port.Open(), 1);
    board.forgetCalls();
    EXPECT_EQ(port.Write(QString()), 1);
    EXPECT_TRUE(board.calls().isEmpty());
}

TEST_F(InstrumentPortTest, NationalInstrumentsCloseFailureIsShownByClose)
{
    FakeGpibLibrary board(QStringLiteral("libgpib.so.0"));
    port.kind = CInstrumentPort::NiGpib;
    ASSERT_EQ(port.Open(), 1);
    board.failNext("ibstop", 0);
    EXPECT_EQ(port.Close(), 0);
    EXPECT_EQ(prompt.texts(), QStringList({"GPIB[National Instruments]: No GPIB has been set up."}));
}

TEST_F(InstrumentPortTest, NationalInstrumentsFailedOpenThenCloseShowsOneMessage)
{
    FakeGpibLibrary board(QStringLiteral("libgpib.so.0"));
    port.kind = CInstrumentPort::NiGpib;
    board.failNext("ibdev", 7);
    EXPECT_EQ(port.Open(), 0);
    // The caller closes the link after a failed open, as every operation does.
    board.forgetCalls();
    port.Close();
    EXPECT_EQ(prompt.texts().size(), 1) << qPrintable(prompt.texts().join(QLatin1Char('|')));
    EXPECT_TRUE(board.calls().isEmpty()) << qPrintable(board.calls().join(QLatin1Char(' ')));
    // A later open and close work as before.
    ASSERT_EQ(port.Open(), 1);
    board.forgetCalls();
    EXPECT_EQ(port.Close(), 1);
    EXPECT_EQ(board.calls(), QStringList({"ibstop(7)", "ibonl(7,0)"}));
    EXPECT_EQ(prompt.texts().size(), 1);
}

TEST_F(InstrumentPortTest, AfterAStopsGraceNoGpibTransferStartsAndNothingIsShown)
{
    // A board library's call cannot be cut short: once the grace has passed none is started.
    FakeGpibLibrary board(QStringLiteral("libgpib.so.0"));
    board.setResponder([](const QString&) { return QStringLiteral("0,\"No error\""); });
    StopFlag stop;
    port.setStopFlag(&stop);
    port.kind = CInstrumentPort::NiGpib;
    ASSERT_EQ(port.Open(), 1);
    stop.set();
    // Within the grace the exchange under way goes on.
    EXPECT_EQ(port.Write(QStringLiteral("SYST:ERR?")), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(StopFlag::kGraceMs + 100));
    board.forgetCalls();
    const int failures = port.failureCount();
    QString reply = QStringLiteral("old");
    EXPECT_EQ(port.Read(reply), 0);
    EXPECT_TRUE(reply.isEmpty());
    EXPECT_EQ(port.Write(QStringLiteral("OUTP 0")), 0);
    EXPECT_TRUE(board.calls().isEmpty()) << qPrintable(board.calls().join(QLatin1Char(' ')));
    EXPECT_EQ(port.failureCount(), failures + 2);
    EXPECT_TRUE(port.lastFailureInterrupted());
    port.ReportError();
    EXPECT_TRUE(prompt.entries.empty());

    // Taken back, the stop lets the stopping exchanges through.
    stop.clear();
    EXPECT_EQ(port.Write(QStringLiteral("OUTP 0")), 1);
    EXPECT_EQ(port.Close(), 1);
}

TEST_F(InstrumentPortTest, SimulatorDeviceIsAskedOfTheProvider)
{
    AppSettings settings;
    settings.PortDevice = QStringLiteral("SIMULATOR");
    port.applySettings(settings);
    EXPECT_EQ(port.Open(), 0);
    EXPECT_EQ(prompt.texts(), QStringList({"RS-232C: failed to open the COM port"}));
    port.setSimulatorProvider([] { return QStringLiteral("/dev/pts/42"); });
    EXPECT_EQ(port.Open(), 1);
    EXPECT_EQ(line->calls.first(), QStringLiteral("open /dev/pts/42"));
}

struct MessageCase {
    int kind;
    int code;
    const char* text; // empty: nothing is shown
};

// Every message of the link, by adapter and code.
const MessageCase messageCases[] = {
    {0, 0, "RS-232C: failed to open the COM port"},
    {0, 1, "RS-232C: failed to set up the COM port"},
    {0, 2, "RS-232C: failed to transmit data"},
    {0, 3, "RS-232C: failed to receive data"},
    {0, 4, "RS-232C: failed to receive data (no data)"},
    {0, 5, "RS-232C: failed to receive data (data over)"},
    {0, 6, "RS-232C: failed to receive data (invalid data)"},
    {0, 7, ""},
    {0, -1, ""},
    {3, 3, "GPIB[Contec]: Data has been left within FIFO."},
    {3, 80, "GPIB[Contec]: It is I/O address error."},
    {3, 82, "GPIB[Contec]: Resistry setup is wrong. Review resistry setup."},
    {3, 128, "GPIB[Contec]: Data receiving was exceeded.and polling is not."},
    {3, 140, "GPIB[Contec]: Running asynchronous function."},
    {3, 240, "GPIB[Contec]: [Esc] key was pushed."},
    {3, 242, "GPIB[Contec]: Address appoint is wrong."},
    {3, 243, "GPIB[Contec]: Buffer Error."},
    {3, 252, "GPIB[Contec]: It is an error of GP-IB."},
    {3, 253, "GPIB[Contec]: Only a delimiter was receiving."},
    {3, 254, "GPIB[Contec]: It was done a time out."},
    {3, 255, "GPIB[Contec]: It is a parameter error."},
    {3, 0, "GPIB[Contec]: error code 0"},
    {3, 513, "GPIB[Contec]: error code 513"},
    {2, -1,
     "GPIB[Interface]: The specified board number is invalid or initialization has already been performed."},
    {2, -2, "GPIB[Interface]: The given parameter is invalid."},
    {2, -4, "GPIB[Interface]: The interface is not a Listner or a Talker."},
    {2, -7, "GPIB[Interface]: Failed to send a GPIB command."},
    {2, -12, "GPIB[Interface]: Receiving the data failed."},
    {2, -13, "GPIB[Interface]: Sending the data failed."},
    {2, -14, "GPIB[Interface]: It was done a time out."},
    {2, -16, "GPIB[Interface]: IFC assertion failed."},
    {2, -20, "GPIB[Interface]: Asynchronous transfer is in progress on the GPIB."},
    {2, -22, "GPIB[Interface]: The device driver cannot change configuration parameter."},
    {2, -50, "GPIB[Interface]: No GPIB has been set up."},
    {2, -995, "GPIB[Interface]: Failed to close the board."},
    {2, -996, "GPIB[Interface]: The driver software cannot allocate enough memory."},
    {2, -997, "GPIB[Interface]: The timer is not successfully configured."},
    {2, -998,
     "GPIB[Interface]: Hardware resources such as IRQ level and DMA channel may conflict with the system "
     "or other devices."},
    {2, -999,
     "GPIB[Interface]: The board is not correctly installed or the I/O port address conflicts with the "
     "system or other devices."},
    {2, -3, "GPIB[Interface]: error code -3"},
    {2, 0, "GPIB[Interface]: error code 0"},
    {1, 0, "GPIB[National Instruments]: No GPIB has been set up."},
    {1, 1, "GPIB[National Instruments]: Function requires GPIB board to be CIC"},
    {1, 2, "GPIB[National Instruments]: No Listeners on the GPIB"},
    {1, 3, "GPIB[National Instruments]: GPIB board not addressed correctly"},
    {1, 4, "GPIB[National Instruments]: Invalid argument to function call"},
    {1, 5, "GPIB[National Instruments]: GPIB board not System Controller as required"},
    {1, 6, "GPIB[National Instruments]: I/O operation aborted (timeout)"},
    {1, 7, "GPIB[National Instruments]: Nonexistent GPIB board"},
    {1, 8, "GPIB[National Instruments]: DMA error"},
    {1, 10, "GPIB[National Instruments]: Asynchronous I/O in progress"},
    {1, 11, "GPIB[National Instruments]: No capability for operation"},
    {1, 12, "GPIB[National Instruments]: File system error"},
    {1, 14, "GPIB[National Instruments]: GPIB bus error"},
    {1, 15, "GPIB[National Instruments]: Serial poll status byte queue overflow"},
    {1, 16, "GPIB[National Instruments]: SRQ stuck in ON position"},
    {1, 20, "GPIB[National Instruments]: Table problem"},
    {1, 9, "GPIB[National Instruments]: error code 9"},
    {1, 23, "GPIB[National Instruments]: error code 23"},
    {4, 1, "PCMCIA GPIB CARD のリソース情報(I/O,IRQ)を取得できません"},
    {4, 2, "GPIB CARD の初期化ができませんでした"},
    {4, 3, "IFCエラー"},
    {4, 4, "RENエラー"},
    {4, 5, "タイムアウト設定エラー"},
    {4, 6, "デバイスクリアエラー"},
    {4, 7, "デリミタ設定エラー"},
    {4, 8, "リモート設定エラー"},
    {4, 9, "ＧＰＩＢ送信エラー"},
    {4, 10, "ＧＰＩＢ受信エラー"},
    {4, 11, "ローカル設定エラー"},
    {4, 0, ""},
    {4, 12, ""},
    {5, 1, "PCMCIA GPIB CARD のリソース情報(I/O,IRQ)を取得できません"},
    {5, 2, "GPIB USB の初期化ができませんでした"},
    {5, 3, "IFCエラー"},
    {5, 9, "ＧＰＩＢ送信エラー"},
    {5, 11, "ローカル設定エラー"},
    {5, 0, ""},
};

TEST_F(InstrumentPortTest, ReportErrorShowsTheSelectedAdaptersTextForItsCode)
{
    for (const MessageCase& c : messageCases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " code " << c.code);
        prompt.clear();
        port.kind = c.kind;
        port.rs232c().lastError = c.code;
        port.niGpib().lastError = c.code;
        port.interfaceGpib().lastError = c.code;
        port.contecGpib().lastError = c.code;
        port.ratocGpib().lastError = c.code;
        port.ratocUsbGpib().lastError = c.code;
        port.ReportError();
        const QString expected = QString::fromUtf8(c.text);
        if (expected.isEmpty()) {
            EXPECT_TRUE(prompt.entries.empty());
        } else {
            ASSERT_EQ(prompt.entries.size(), 1u);
            EXPECT_EQ(prompt.entries.front().text, expected);
            EXPECT_EQ(prompt.entries.front().icon, UserPrompt::Icon::None);
            EXPECT_FALSE(prompt.entries.front().question);
        }
    }
}

TEST(InstrumentPortStrings, TextsAreReadFromTheModuleWhenShown)
{
    ResourceModule strings;
    RecordingPrompt prompt;
    FakeTime time;
    CInstrumentPort port(strings, prompt, time);
    port.rs232c().lastError = 4;
    ASSERT_TRUE(strings.loadFromProgramFolder());
    port.ReportError();
    EXPECT_EQ(prompt.texts(), QStringList({"RS-232C: failed to receive data (no data)"}));
}

TEST(InstrumentPortOverPty, ExchangesACommandAndItsReply)
{
    ResourceModule strings;
    ASSERT_TRUE(strings.loadFromProgramFolder());
    RecordingPrompt prompt;
    FakeTime time;
    PtyInstrument instrument;
    ASSERT_TRUE(instrument.isOpen());
    CInstrumentPort port(strings, prompt, time);
    AppSettings settings;
    settings.PortDevice = instrument.devicePath();
    port.applySettings(settings);
    port.rs232c().setTimeoutsMs(2000, 2000);

    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(port.Write(QStringLiteral("*IDN?")), 1);
    EXPECT_EQ(instrument.received(), QByteArray("*IDN?\n"));
    instrument.send("MORVANE,KDR-X,0,1.00\n");
    QString reply;
    EXPECT_EQ(port.Read(reply), 1);
    EXPECT_EQ(reply, QStringLiteral("MORVANE,KDR-X,0,1.00"));
    EXPECT_EQ(port.Close(), 1);
    EXPECT_EQ(time.waitedMs(), 400);
    EXPECT_TRUE(prompt.entries.empty());
}

} // namespace
