#include "FakeGpibLibrary.h"
#include "FakeTime.h"
#include "KdrxSimulator.h"
#include "PtySimulatorServer.h"
#include "RecordingPrompt.h"
#include "SimulatorSerialLine.h"
#include "link/CInstrumentPort.h"
#include "model/AppSettings.h"
#include "ui/ResourceModule.h"
#include "ui/SystemClock.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

// The port against the simulated load: over its pseudo-terminal with the real serial code, over
// the synchronous simulator line, and over a stand-in GPIB board routed to the simulator.
class SimulatorLinkTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(strings.loadFromProgramFolder()); }

    // One identification exchange; the reply, or empty when any step failed.
    QString identify()
    {
        if (port.Open() != 1)
            return QString();
        QString reply;
        const bool exchanged = port.Write(QStringLiteral("*IDN?")) == 1 && port.Read(reply) == 1;
        port.Close();
        return exchanged ? reply : QString();
    }

    ResourceModule strings;
    RecordingPrompt prompt;
    FakeTime time;
    CInstrumentPort port{strings, prompt, time};
};

TEST_F(SimulatorLinkTest, SimulatorPortDeviceOpensThePseudoTerminalTheProviderStarts)
{
    SystemClock simulatorClock;
    std::unique_ptr<PtySimulatorServer> server;
    int started = 0;
    port.setSimulatorProvider([&] {
        if (!server) {
            server = std::make_unique<PtySimulatorServer>(simulatorClock);
            ++started;
        }
        return server->isServing() ? server->devicePath() : QString();
    });
    AppSettings settings;
    settings.PortDevice = QStringLiteral("simulator");
    port.applySettings(settings);
    port.rs232c().setTimeoutsMs(5000, 5000);

    EXPECT_EQ(identify(), KdrxSimulator::defaultIdentity());
    // Each operation opens and closes the port again; the simulator is started once.
    EXPECT_EQ(identify(), KdrxSimulator::defaultIdentity());
    EXPECT_EQ(started, 1);
    EXPECT_TRUE(prompt.entries.empty());
    ASSERT_TRUE(server);
    EXPECT_EQ(server->simulator().receivedTexts(), QStringList({"*IDN?", "*IDN?"}));
}

TEST_F(SimulatorLinkTest, SynchronousSimulatorLineTimesOutOnTheInjectedClock)
{
    KdrxSimulator simulator(time);
    port.rs232c().setLine(std::make_unique<SimulatorSerialLine>(simulator, time));
    EXPECT_EQ(identify(), KdrxSimulator::defaultIdentity());

    // A silent instrument costs the whole fifteen seconds, on the fake clock only.
    simulator.stopAnsweringAfter(0);
    const qint64 before = time.waitedMs();
    ASSERT_EQ(port.Open(), 1);
    ASSERT_EQ(port.Write(QStringLiteral("*IDN?")), 1);
    QString reply;
    EXPECT_EQ(port.Read(reply), 0);
    EXPECT_EQ(port.rs232c().lastError, CRs232cPort::NoData);
    EXPECT_GE(time.nowMs() - before, CRs232cPort::lineTimeoutMs);
    port.ReportError();
    EXPECT_EQ(prompt.texts(), QStringList({"RS-232C: failed to receive data (no data)"}));
    port.Close();
}

TEST_F(SimulatorLinkTest, StandInGpibBoardCarriesTheSimulatorsReplies)
{
    KdrxSimulator simulator(time);
    FakeGpibLibrary board(QStringLiteral("libApiGpib1.so"));
    board.setResponder([&simulator](const QString& command) {
        const QStringList replies = simulator.handleLine(command);
        return replies.isEmpty() ? QString() : replies.join(QLatin1Char('\n'));
    });
    port.setLibraryFolder(FakeGpibLibrary::folder());
    AppSettings settings;
    settings.Interface = 1;
    settings.Maker = CInstrumentPort::ContecGpib;
    settings.Address = 8;
    port.applySettings(settings);

    EXPECT_EQ(identify(), KdrxSimulator::defaultIdentity());
    EXPECT_EQ(simulator.receivedTexts(), QStringList({"*IDN?"}));
    EXPECT_TRUE(board.calls().contains(QStringLiteral("GpTalk({2,0,8},5,\"*IDN?\")")));
}

} // namespace
