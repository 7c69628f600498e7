#include "PtyInstrument.h"
#include "QtPrinters.h"
#include "RecordingPrompt.h"
#include "ScriptedSerialLine.h"
#include "SimulatedController.h"
#include "link/CInstrumentPort.h"
#include "link/TcpSocketLine.h"
#include "model/AppSettings.h"
#include "ui/ResourceModule.h"
#include "ui/SystemClock.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using Transport = SimulatedController::Transport;

// What the port sends when it opens the link to the load at address 5, and what the controller
// answers: its version, then the address asked back.
const QByteArray kOpening = "++ver\n++mode 1\n++addr 5\n++eoi 1\n++eos 3\n++auto 0\n++eot_enable 0\n"
                            "++read_tmo_ms 3000\n++addr\n";
const QByteArray kRead = "++read eoi\n";

QByteArray openingAnswers()
{
    return PrologixController::defaultVersion().toLatin1() + "\r\n5\r\n";
}

// A command without bytes to escape, with the load's line feed (escaped) and the end of the line.
QByteArray command(const QByteArray& text)
{
    return text + "\x1b\n\n";
}

// The port on a Prologix-compatible controller in front of the simulated load, over the
// controller's serial port and over its network port.
class PrologixLink : public ::testing::TestWithParam<Transport> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.isServing()) << qPrintable(server.errorString());
        ASSERT_TRUE(strings.loadFromProgramFolder());
        settings.Interface = 1;
        settings.Maker = CInstrumentPort::PrologixGpib;
        settings.Address = 5;
        settings.GpibDevice = server.device();
        port.applySettings(settings);
    }
    // Short waits for the tests whose controller or load stays silent.
    void expectSilence() { port.prologix().setTimeoutsMs(200, 600); }

    SystemClock clock;
    SimulatedController server{GetParam(), clock};
    ResourceModule strings;
    RecordingPrompt prompt;
    CInstrumentPort port{strings, prompt, clock};
    AppSettings settings;
};

TEST_P(PrologixLink, IdentificationPutsExactlyTheseBytesOnTheWire)
{
    ASSERT_EQ(port.Open(), 1) << qPrintable(prompt.texts().join('\n'));
    ASSERT_EQ(port.Write(QStringLiteral("*IDN?")), 1);
    QString reply;
    ASSERT_EQ(port.Read(reply), 1);
    ASSERT_EQ(port.Write(QStringLiteral("*CLS;:INP:PROT:CLE")), 1);
    EXPECT_EQ(port.Close(), 1);

    EXPECT_EQ(reply, KdrxSimulator::defaultIdentity());
    PrologixController& controller = server.controller();
    const QByteArray wire = kOpening + command("*IDN?") + kRead + command("*CLS;:INP:PROT:CLE");
    EXPECT_EQ(server.receivedBytes(wire.size()), wire);
    EXPECT_EQ(controller.sentBytes(), openingAnswers() + KdrxSimulator::defaultIdentity().toLatin1() + "\n");
    EXPECT_EQ(server.simulator().receivedTexts(), QStringList({"*IDN?", "*CLS;:INP:PROT:CLE"}));
    EXPECT_EQ(controller.mode(), 1);
    EXPECT_EQ(controller.address(), 5);
    EXPECT_TRUE(controller.eoi());
    EXPECT_EQ(controller.eos(), 3);
    EXPECT_FALSE(controller.autoRead());
    EXPECT_FALSE(controller.eotEnabled());
    EXPECT_EQ(controller.readTimeoutMs(), CPrologixAdapter::busTimeoutMs);
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST_P(PrologixLink, DataThatLooksLikeAControllerCommandReachesTheLoad)
{
    ASSERT_EQ(port.Open(), 1);
    server.controller().clearWire();
    ASSERT_EQ(port.Write(QStringLiteral("++ver")), 1);
    ASSERT_EQ(port.Write(QStringLiteral("PROG:LVAL +1.5")), 1);
    ASSERT_EQ(port.Write(QStringLiteral("PROG:LVAL?")), 1);
    QString reply;
    ASSERT_EQ(port.Read(reply), 1);
    port.Close();

    const QByteArray wire = "\x1b+\x1b+ver\x1b\n\nPROG:LVAL \x1b+1.5\x1b\n\n" + command("PROG:LVAL?") + kRead;
    EXPECT_EQ(server.receivedBytes(wire.size()), wire);
    // The controller took none of it for its own: no version came back, only the load's answer.
    EXPECT_EQ(server.controller().sentBytes(), "1.5\n");
    EXPECT_EQ(reply, QStringLiteral("1.5"));
    EXPECT_EQ(server.simulator().receivedTexts(), QStringList({"++ver", "PROG:LVAL +1.5", "PROG:LVAL?"}));
}

TEST_P(PrologixLink, EveryFailureOfTheControllerOrTheLoadShowsItsMessage)
{
    expectSilence();
    const QString device = server.device();
    struct Case {
        const char* name;
        std::function<void()> arrange;
        bool opens;
        QString message;
        QByteArray wire; // what the port sent, when it matters
    };
    const Case cases[] = {
        {"no device", [&] { port.prologix().device.clear(); }, false,
         "GPIB[Prologix]: No controller has been set up.", ""},
        {"no answer to ++ver", [&] { server.controller().setSilent(true); }, false,
         QStringLiteral("GPIB[Prologix]: The controller %1 does not answer.").arg(device),
         "++ver\n++ver\n++ver\n"},
        {"not a controller", [&] { server.controller().setVersion(QStringLiteral("ECHO 1.0")); }, false,
         QStringLiteral(
             "GPIB[Prologix]: The controller %1 is not Prologix-compatible; it answered \"ECHO 1.0\".")
             .arg(device),
         "++ver\n"},
        {"address off the bus", [&] { port.address = 31; }, false,
         "GPIB[Prologix]: The controller did not take the address 31.", ""},
        {"load absent at the address", [&] { server.controller().setInstrumentAddress(7); }, true,
         "GPIB[Prologix]: The instrument does not answer at address 5.", kOpening + command("*IDN?") + kRead},
        {"reply cut", [&] { server.controller().cutRepliesAfter(10); }, true,
         "GPIB[Prologix]: The instrument's reply was cut off.", kOpening + command("*IDN?") + kRead},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompt.clear();
        port.applySettings(settings);
        port.address = settings.Address;
        server.controller().setSilent(false);
        server.controller().setVersion(PrologixController::defaultVersion());
        server.controller().setInstrumentAddress(5);
        server.controller().cutRepliesAfter(-1);
        c.arrange();
        server.controller().clearWire();

        if (c.opens) {
            ASSERT_EQ(port.Open(), 1);
            ASSERT_EQ(port.Write(QStringLiteral("*IDN?")), 1);
            QString reply = QStringLiteral("old");
            EXPECT_EQ(port.Read(reply), 0);
            EXPECT_TRUE(reply.isEmpty());
            port.ReportError();
        } else {
            // The port shows the message of a failed open itself.
            EXPECT_EQ(port.Open(), 0);
        }
        port.Close();
        EXPECT_EQ(prompt.texts(), QStringList{c.message});
        if (!c.wire.isEmpty()) {
            EXPECT_EQ(server.receivedBytes(c.wire.size()), c.wire);
        }
    }
}

TEST_P(PrologixLink, AControllerThatCannotBeReachedIsNamedWithTheSystemsReason)
{
    const bool network = GetParam() == Transport::Network;
    // Nothing listens on port 1 of the loopback interface.
    port.prologix().device =
        network ? QStringLiteral("tcp:127.0.0.1:1") : QStringLiteral("/nonexistent/ttyUSB9");
    EXPECT_EQ(port.Open(), 0);
    EXPECT_EQ(
        prompt.texts(),
        QStringList{
            network ? "GPIB[Prologix]: The controller tcp:127.0.0.1:1 cannot be opened (Connection refused)."
                    : "GPIB[Prologix]: The controller /nonexistent/ttyUSB9 cannot be opened (No such "
                      "file or directory)."});
}

TEST_P(PrologixLink, TheOpenPassesOverAnswersItDidNotAskFor)
{
    // A controller that says more than its version: the extra line is not taken for the address
    // asked back, nor left for the load's reply.
    server.controller().setVersion(
        QStringLiteral("Prologix GPIB-USB Controller version 6.107\r\nUnrecognized command"));
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(port.prologix().version, QStringLiteral("Prologix GPIB-USB Controller version 6.107"));
    ASSERT_EQ(port.Write(QStringLiteral("PROG:LOOP?")), 1);
    QString reply;
    ASSERT_EQ(port.Read(reply), 1);
    EXPECT_EQ(reply, QStringLiteral("1"));
    port.Close();
}

INSTANTIATE_TEST_SUITE_P(SerialPortAndNetwork, PrologixLink,
                         ::testing::Values(Transport::SerialPort, Transport::Network));

TEST(PrologixAdapter, TheLastCommandsOfAnOperationSurviveTheNextOpen)
{
    // Nothing waits for the last commands of an operation to leave: if the controller has not
    // taken them when the next operation opens its port, that open must not discard them.
    ResourceModule strings;
    ASSERT_TRUE(strings.loadFromProgramFolder());
    RecordingPrompt prompt;
    CPrologixAdapter adapter(strings, prompt);
    PtyInstrument controller;
    ASSERT_TRUE(controller.isOpen());
    adapter.device = controller.devicePath();
    adapter.address = 5;
    for (int operation = 0; operation < 2; ++operation) {
        // The answers come once the open has dropped whatever came before it.
        controller.send(PrologixController::defaultVersion().toLatin1() + "\r\n5\r\n", 300);
        ASSERT_EQ(adapter.Open(), 1) << qPrintable(adapter.errorText());
        ASSERT_EQ(adapter.Write(QStringLiteral("PROG:LOOP 3")), 1);
        adapter.Close();
        controller.finishSending();
    }
    EXPECT_EQ(controller.received(), (kOpening + command("PROG:LOOP 3")).repeated(2));
}

TEST(PrologixAdapter, EscapesTheBytesTheControllerActsOn)
{
    const struct {
        QByteArray data;
        QByteArray wire;
    } cases[] = {
        {"", ""},
        {"*IDN?", "*IDN?"},
        {"+", "\x1b+"},
        {"++ver", "\x1b+\x1b+ver"},
        {"VOLT 1e+3", "VOLT 1e\x1b+3"},
        {"a\r\nb", "a\x1b\r\x1b\nb"},
        {"\x1b", "\x1b\x1b"},
        {"TAB\tXON\x11", "TAB\tXON\x11"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CPrologixAdapter::escaped(c.data), c.wire) << c.data.toStdString();
}

TEST(PrologixAdapter, TheDeviceNamesASerialPortOrTheNetworkModel)
{
    const struct {
        const char* device;
        const char* network; // empty: a serial device
    } cases[] = {
        {"/dev/ttyUSB0", ""},
        {"/dev/serial/by-id/usb-Prologix_Prologix_GPIB-USB_Controller_PX1-if00-port0", ""},
        {"tcp:192.0.2.7:1234", "192.0.2.7:1234"},
        {"tcp:192.0.2.7", "192.0.2.7:1234"},
        {" TCP: 192.0.2.7:4321 ", "192.0.2.7:4321"},
        {"192.0.2.7:1235", "192.0.2.7:1235"},
        {"gpib-lab.example", "gpib-lab.example:1234"},
        {"tcp:[2001:db8::7]:1234", "[2001:db8::7]:1234"},
        {"[2001:db8::7]", "[2001:db8::7]:1234"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CPrologixAdapter::networkAddress(QLatin1String(c.device)), QLatin1String(c.network))
            << c.device;

    QString host;
    int port = 0;
    for (const char* bad : {"host", "host:0", "host:65536", ":1234", "2001:db8::7:1234", "[::1]:x", "[::1]"})
        EXPECT_FALSE(TcpSocketLine::splitAddress(QLatin1String(bad), host, port)) << bad;
    ASSERT_TRUE(TcpSocketLine::splitAddress(QStringLiteral("[2001:db8::7]:1234"), host, port));
    EXPECT_EQ(host, QStringLiteral("2001:db8::7"));
    EXPECT_EQ(port, 1234);
}

TEST(PrologixAdapter, TakesTheVersionOfProlgixCompatibleControllersOnly)
{
    for (const char* answer : {"Prologix GPIB-USB Controller version 6.107",
                               "Prologix GPIB-ETHERNET Controller version 01.06.06.00",
                               "AR488 GPIB controller, ver. 0.51.18, 24/07/2023"})
        EXPECT_TRUE(CPrologixAdapter::isCompatibleVersion(QLatin1String(answer))) << answer;
    for (const char* answer : {"", "MORVANE,KDR-X5,SIM00001,1.00", "++ver", "Unrecognized command"})
        EXPECT_FALSE(CPrologixAdapter::isCompatibleVersion(QLatin1String(answer))) << answer;
}

// Failures the simulated controller cannot stage: a line that refuses the write, a reply longer
// than the buffer.
class PrologixScriptedLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(strings.loadFromProgramFolder());
        adapter.device = QStringLiteral("/dev/ttyUSB0");
        adapter.address = 5;
        adapter.setTimeoutsMs(50, 50);
        adapter.setLineFactory([this](bool network) {
            networkLines += network ? 1 : 0;
            return std::make_unique<ScriptedSerialLine>(script);
        });
        script->input = "AR488 GPIB controller, ver. 0.51.18\r\n5\r\n";
    }

    ResourceModule strings;
    RecordingPrompt prompt;
    CPrologixAdapter adapter{strings, prompt};
    std::shared_ptr<ScriptedSerialLine::Script> script = std::make_shared<ScriptedSerialLine::Script>();
    int networkLines = 0;
};

TEST_F(PrologixScriptedLine, AWriteTheLineRefusesIsASendFailure)
{
    ASSERT_EQ(adapter.Open(), 1);
    EXPECT_EQ(adapter.version, QStringLiteral("AR488 GPIB controller, ver. 0.51.18"));
    script->writeSucceeds = false;
    EXPECT_EQ(adapter.Write(QStringLiteral("*IDN?")), 0);
    EXPECT_EQ(adapter.errorText(), QStringLiteral("GPIB[Prologix]: Sending the data failed."));
    EXPECT_EQ(networkLines, 0);
}

TEST_F(PrologixScriptedLine, ReplyLengthsAroundTheBuffer)
{
    // The buffer holds a reply with its line feed: a reply that fills it passes, a longer one is
    // refused rather than cut.
    for (const int length : {CPrologixAdapter::replyBufferSize - 1, CPrologixAdapter::replyBufferSize}) {
        SCOPED_TRACE(length);
        script->input =
            "Prologix GPIB-USB Controller version 6.107\r\n5\r\n" + QByteArray(length, 'x') + "\n";
        ASSERT_EQ(adapter.Open(), 1);
        const QString reply = adapter.Read();
        if (length < CPrologixAdapter::replyBufferSize) {
            EXPECT_EQ(reply.size(), length);
        } else {
            EXPECT_TRUE(reply.isEmpty());
            EXPECT_EQ(adapter.errorText(),
                      QStringLiteral("GPIB[Prologix]: The instrument's reply is too long."));
        }
        adapter.Close();
    }
}

TEST_F(PrologixScriptedLine, ALineThatFailsMidReplyIsAReceiveFailure)
{
    script->failAfterInput = true;
    ASSERT_EQ(adapter.Open(), 1);
    EXPECT_TRUE(adapter.Read().isEmpty());
    EXPECT_EQ(adapter.errorText(), QStringLiteral("GPIB[Prologix]: Receiving the data failed."));
}

} // namespace
