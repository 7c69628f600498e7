#include "PtySimulatorServer.h"
#include "QtPrinters.h"
#include "RecordingPrompt.h"
#include "instrument/CKdrxDevice.h"
#include "link/CInstrumentPort.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/CurrentDocument.h"
#include "model/DecimalText.h"
#include "ui/ResourceModule.h"
#include "ui/SystemClock.h"

#include <gtest/gtest.h>
#include <memory>

// The same dialogue through the real serial code: termios on the slave side of a pseudo-terminal
// that the simulator serves from its own thread, with real waits and short line time-outs.
class PtyDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.isServing()) << qPrintable(server.errorString());
        ASSERT_TRUE(strings.loadFromProgramFolder());
        settings.PortDevice = server.devicePath();
        settings.SeqCtl = HardwareControl;
        settings.deriveActiveValues();
        port.applySettings(settings);
        port.rs232c().setTimeoutsMs(3000, 3000);
        current.set(document.get());
    }
    QStringList sent() { return server.simulator().receivedTexts(); }
    bool linkOpen() { return port.rs232c().isOpen(); }

    SystemClock clock;
    PtySimulatorServer server{clock};
    ResourceModule strings;
    RecordingPrompt prompt;
    CInstrumentPort port{strings, prompt, clock};
    AppSettings settings;
    ChannelNumbers numbers = defaultChannelNumbers();
    std::unique_ptr<CMainDoc> document = std::make_unique<CMainDoc>(settings, prompt);
    CurrentDocument current;
    CKdrxDevice device{port, settings, numbers, current, prompt, clock};
};

TEST_F(PtyDevice, WritesAndReadsBackAChannel)
{
    settings.ModeChHard[1] = ModeCR;
    settings.RepeatCh[1] = 4;
    ChannelSequence& channel = document->channel(1);
    for (int row = 0; row < 20; ++row) {
        channel.steps[row].value = formatDouble("%.5f", 2.0 + row);
        channel.steps[row].interval = formatDouble("%.3f", 1.0 + row * 0.5);
    }
    channel.count = 20;
    ASSERT_EQ(device.WriteSequence(1), 1);
    EXPECT_FALSE(linkOpen());
    QStringList written = sent();
    ASSERT_EQ(written.size(), 2 + 4 + 40 + 4);
    EXPECT_EQ(written.mid(0, 6), (QStringList{"*IDN?", "*CLS;:INP:PROT:CLE", "INST:NSEL 2;:INST:COUP NONE",
                                              "FUNC CR", "PROG:FSP:END 20", "PROG:LVAL 0"}));
    EXPECT_EQ(written[6], QStringLiteral("PROG:FSP:EDIT 1,0.50000000,0,1.000"));
    EXPECT_EQ(written.mid(written.size() - 4),
              (QStringList{"PROG:FSP:EDIT 21,0,0,0", "PROG:LOOP 4", "SYST:ERR?", "PROG:LINP OFF"}));

    server.simulator().clearTranscript();
    channel = ChannelSequence();
    settings.RepeatCh[1] = 1;
    ASSERT_EQ(device.ReadSequence(1), 1);
    EXPECT_FALSE(linkOpen());
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_EQ(sent().size(), 2 + 6 + 20);
    ASSERT_EQ(channel.count, 20);
    EXPECT_EQ(channel.steps[0].value, QStringLiteral("2.00000"));
    EXPECT_EQ(channel.steps[19].value, QStringLiteral("21.00000"));
    EXPECT_EQ(channel.steps[19].interval, QStringLiteral("10.500"));
    EXPECT_EQ(settings.RepeatCh[1], 4);
}

TEST_F(PtyDevice, SetsRanges)
{
    ASSERT_EQ(device.SetRanges({0, 0, 0, 0, 2}, {0, 0, 0, 0, 1}, {}, {0, 0, 0, 0, 1}), 1);
    EXPECT_EQ(sent(), (QStringList{"*IDN?", "*CLS;:INP:PROT:CLE", "INST:NSEL 5;:INST:COUP NONE",
                                   "VOLT:RANG LOW", "SYST:ERR?", "CURR:RANG LOW", "SYST:ERR?"}));
    EXPECT_EQ(server.simulator().channel(5).voltageRange(), VoltageRange::Low);
    EXPECT_EQ(server.simulator().channel(5).currentRange(), CurrentRange::Low);
    EXPECT_FALSE(linkOpen());
}

TEST_F(PtyDevice, AnInstrumentThatStopsAnsweringTimesOutAndTheLinkIsClosed)
{
    port.rs232c().setTimeoutsMs(300, 3000);
    document->channel(0).steps[0].value = QStringLiteral("1.0000");
    document->channel(0).steps[0].interval = QStringLiteral("1.000");
    document->channel(0).count = 1;
    server.simulator().stopAnsweringAfter(6); // up to the first step; its error check gets no answer
    EXPECT_EQ(device.WriteSequence(0), 0);
    EXPECT_EQ(prompt.texts(), QStringList{strings.string(506 + CRs232cPort::NoData)});
    EXPECT_EQ(sent().last(), QStringLiteral("SYST:ERR?"));
    EXPECT_FALSE(linkOpen());

    server.simulator().clearFaults();
    prompt.clear();
    server.simulator().setModel(QStringLiteral("PLZ-5W"));
    EXPECT_EQ(device.ReadSequence(0), 0);
    EXPECT_EQ(prompt.texts(), QStringList{"Morvane KDR-X series - The instrument is not"});
    EXPECT_FALSE(linkOpen());
}

TEST_F(PtyDevice, StartsPollsAndStopsAProgram)
{
    server.simulator().handleLine(QStringLiteral("INST:NSEL 3;:PROG:FSP:END 2;:PROG:FSP:EDIT 1,1,0,30"));
    server.simulator().clearTranscript();
    ChannelTexts currents;
    ChannelTexts voltages;
    document->channel(2).steps[0].load = QStringLiteral("1");
    ASSERT_EQ(device.StartChannels({0, 0, 1, 0, 0}, nullptr, currents, voltages, 0), 1);
    EXPECT_TRUE(linkOpen());

    std::array<int, kChannelCount> runState{};
    ChannelTexts steps;
    ChannelTexts loops;
    ASSERT_EQ(device.QueryProgramState(runState, steps, loops, {0, 0, 1, 0, 0}), 1);
    EXPECT_EQ(runState[2], 2);
    EXPECT_EQ(steps[2], QStringLiteral("1"));
    EXPECT_EQ(loops[2], QStringLiteral("1"));

    ASSERT_EQ(device.StopChannels({0, 0, 1, 0, 0}, {}, 1), 1);
    EXPECT_FALSE(linkOpen());
    EXPECT_EQ(sent().mid(2),
              (QStringList{"INST:COUP NONE", "INST CH3;:INST:COUP CH3;:PROG:STAT RUN", "INST:COUP NONE",
                           "SYST:ERR?", ":INST:NSEL 3;:PROG:EXEC?;", "INST:NSEL 3;:PROG:STAT STOP"}));
    EXPECT_FALSE(server.simulator().channel(3).isRunning());
}

TEST_F(PtyDevice, MeasuresAndPollsTheConditions)
{
    settings.SeqCtl = SoftwareControl;
    settings.Curr = 1;
    settings.Volt = 1;
    server.simulator().setQuestionable(4, 2);
    ASSERT_EQ(port.Open(), 1);
    QString current;
    QString voltage;
    EXPECT_EQ(device.Measure(current, voltage, 1), 1);
    EXPECT_EQ(current, QStringLiteral("0.0000"));
    EXPECT_EQ(voltage, QStringLiteral("12.000"));
    ChannelTexts status;
    EXPECT_EQ(device.QueryStatus(status), 2);
    EXPECT_EQ(status, (ChannelTexts{"0", "0", "0", "2", "0"}));
    EXPECT_EQ(device.CheckError(), 1);
    port.Close();
}
