#include "QtPrinters.h"
#include "RecordingPrompt.h"
#include "SimulatedController.h"
#include "instrument/CKdrxDevice.h"
#include "link/CInstrumentPort.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/CurrentDocument.h"
#include "ui/ResourceModule.h"
#include "ui/SystemClock.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

using Transport = SimulatedController::Transport;

const QByteArray kOpening = "++ver\n++mode 1\n++addr 5\n++eoi 1\n++eos 3\n++auto 0\n++eot_enable 0\n"
                            "++read_tmo_ms 3000\n++addr\n";

// A command to the load on the wire: its text, the load's line feed escaped, the end of the line.
QByteArray command(const QByteArray& text)
{
    return text + "\x1b\n\n";
}
// A query: the command, then the controller told to fetch the answer.
QByteArray query(const QByteArray& text)
{
    return command(text) + "++read eoi\n";
}
QByteArray identification()
{
    return kOpening + query("*IDN?") + command("*CLS;:INP:PROT:CLE");
}
QByteArray controllerAnswers()
{
    return PrologixController::defaultVersion().toLatin1() + "\r\n5\r\n" +
           KdrxSimulator::defaultIdentity().toLatin1() + "\n";
}

// The KDR-X dialogue through a Prologix-compatible controller at GPIB address 5, reached over its
// serial port and over the network: every byte the controller receives and sends.
class PrologixDevice : public ::testing::TestWithParam<Transport> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.isServing()) << qPrintable(server.errorString());
        ASSERT_TRUE(strings.loadFromProgramFolder());
        settings.Interface = 1;
        settings.Maker = CInstrumentPort::PrologixGpib;
        settings.Address = 5;
        settings.GpibDevice = server.device();
        settings.SeqCtl = HardwareControl;
        settings.deriveActiveValues();
        port.applySettings(settings);
        current.set(document.get());
    }
    void setSteps(int c, const QStringList& values)
    {
        ChannelSequence& channel = document->channel(c);
        for (int i = 0; i < values.size(); ++i) {
            channel.steps[i].value = values[i];
            channel.steps[i].interval = QStringLiteral("10.000");
            channel.steps[i].transition = QStringLiteral("0");
            channel.steps[i].load = QStringLiteral("1");
            channel.steps[i].load2 = QStringLiteral("1");
        }
        channel.count = static_cast<int>(values.size());
    }
    PrologixController& controller() { return server.controller(); }

    SystemClock clock;
    SimulatedController server{GetParam(), clock};
    ResourceModule strings;
    RecordingPrompt prompt;
    CInstrumentPort port{strings, prompt, clock};
    AppSettings settings;
    ChannelNumbers numbers = defaultChannelNumbers();
    std::unique_ptr<CMainDoc> document = std::make_unique<CMainDoc>(settings, prompt);
    CurrentDocument current;
    CKdrxDevice device{port, settings, numbers, current, prompt, clock};
};

TEST_P(PrologixDevice, ATwoChannelWritePutsExactlyTheseBytesOnTheWire)
{
    settings.ModeChHard[1] = ModeCR;
    settings.RepeatCh[1] = 2;
    setSteps(0, {"1.5000", "0.2500"});
    setSteps(1, {"4.00000"});
    ASSERT_EQ(device.WriteSequence(0), 1) << qPrintable(prompt.texts().join('\n'));
    ASSERT_EQ(device.WriteSequence(1), 1) << qPrintable(prompt.texts().join('\n'));
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_FALSE(port.prologix().isOpen());

    const QByteArray channel1 = identification() + command("INST:NSEL 1;:INST:COUP NONE") +
                                command("FUNC CC") + command("PROG:FSP:END 2") + command("PROG:LVAL 0") +
                                command("PROG:FSP:EDIT 1,1.5000,0,10.000") + query("SYST:ERR?") +
                                command("PROG:FSP:EDIT 2,0.2500,0,10.000") + query("SYST:ERR?") +
                                command("PROG:FSP:EDIT 3,0,0,0") + command("PROG:LOOP 1") +
                                query("SYST:ERR?") + command("PROG:LINP OFF");
    const QByteArray channel2 = identification() + command("INST:NSEL 2;:INST:COUP NONE") +
                                command("FUNC CR") + command("PROG:FSP:END 1") + command("PROG:LVAL 0") +
                                command("PROG:FSP:EDIT 1,0.25000000,0,10.000") + query("SYST:ERR?") +
                                command("PROG:FSP:EDIT 2,0,0,0") + command("PROG:LOOP 2") +
                                query("SYST:ERR?") + command("PROG:LINP OFF");
    EXPECT_EQ(server.receivedBytes(channel1.size() + channel2.size()), channel1 + channel2);
    const QByteArray noError = "0,\"No error\"\n";
    EXPECT_EQ(controller().sentBytes(),
              controllerAnswers() + noError + noError + noError + controllerAnswers() + noError + noError);

    EXPECT_EQ(server.simulator().channel(1).endStep(), 2);
    EXPECT_DOUBLE_EQ(server.simulator().channel(2).step(1).value, 0.25);
    EXPECT_EQ(server.simulator().channel(2).loopCount(), 2);
}

TEST_P(PrologixDevice, AReadBackPutsExactlyTheseBytesOnTheWire)
{
    for (const char* line : {"INST:NSEL 3", "FUNC CC", "PROG:FSP:END 2", "PROG:LOOP 4", "PROG:LINP ON",
                             "PROG:LVAL 0.5", "PROG:FSP:EDIT 1,1.5,0,10", "PROG:FSP:EDIT 2,0,1,2.5"})
        server.simulator().handleLine(QLatin1String(line));
    ASSERT_EQ(server.simulator().errorQueue(), QStringList());

    ASSERT_EQ(device.ReadSequence(2), 1) << qPrintable(prompt.texts().join('\n'));
    EXPECT_FALSE(port.prologix().isOpen());
    EXPECT_EQ(controller().receivedBytes(), identification() + command("INST:NSEL 3") + query("FUNC?") +
                                                query("PROG:LOOP?") + query("PROG:LINP?") +
                                                query("PROG:LVAL?") + query("PROG:FSP:END?") +
                                                query("PROG:FSP:EDIT? 1") + query("PROG:FSP:EDIT? 2"));
    EXPECT_EQ(controller().sentBytes(), controllerAnswers() + "CC\n4\nON\n0.5\n2\n1.5,0,10.000\n0,1,2.500\n");

    const ChannelSequence& channel = document->channel(2);
    ASSERT_EQ(channel.count, 2);
    EXPECT_EQ(channel.steps[0].value, QStringLiteral("1.5"));
    EXPECT_EQ(channel.steps[1].value, QStringLiteral("0"));
    EXPECT_EQ(channel.steps[1].interval, QStringLiteral("2.500"));
    EXPECT_EQ(settings.RepeatCh[2], 4);
}

TEST_P(PrologixDevice, ALoadAbsentAtTheAddressFailsTheOperationWithTheMessage)
{
    port.prologix().setTimeoutsMs(300, 600);
    controller().setInstrumentAddress(9);
    setSteps(0, {"1.0000"});
    EXPECT_EQ(device.WriteSequence(0), 0);
    EXPECT_EQ(prompt.texts(), QStringList{"GPIB[Prologix]: The instrument does not answer at address 5."});
    EXPECT_FALSE(port.prologix().isOpen());
    EXPECT_EQ(server.receivedBytes(kOpening.size() + query("*IDN?").size()), kOpening + query("*IDN?"));
}

INSTANTIATE_TEST_SUITE_P(SerialPortAndNetwork, PrologixDevice,
                         ::testing::Values(Transport::SerialPort, Transport::Network));

} // namespace
