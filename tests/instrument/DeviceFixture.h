#pragma once

#include "FakeTime.h"
#include "FaultLine.h"
#include "KdrxSimulator.h"
#include "QtPrinters.h"
#include "RecordingPrompt.h"
#include "SimulatorSerialLine.h"
#include "instrument/CKdrxDevice.h"
#include "link/CInstrumentPort.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/CurrentDocument.h"
#include "ui/ResourceModule.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>

// A prompt that also notes whether the link was open when each message was shown.
class LinkWatchingPrompt : public RecordingPrompt {
public:
    void showMessage(const QString& text, Icon icon = Icon::None) override
    {
        RecordingPrompt::showMessage(text, icon);
        linkOpenAtMessage.push_back(linkOpen ? linkOpen() : false);
    }
    std::function<bool()> linkOpen;
    std::vector<bool> linkOpenAtMessage;
};

// CKdrxDevice on the RS-232C adapter whose line is the simulator, answered synchronously on a
// fake clock: every exchange is deterministic and the transcript is what the instrument received.
class DeviceFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(strings.loadFromProgramFolder());
        auto faultLine = std::make_unique<FaultLine>(simulatorLine);
        line = faultLine.get();
        port.rs232c().setLine(std::move(faultLine));
        settings.PortDevice = QStringLiteral("/dev/kdrx-test");
        port.applySettings(settings);
        prompt.linkOpen = [this] { return simulatorLine.isOpen(); };
        current.set(document.get());
    }

    QStringList sent() const { return simulator.receivedTexts(); }
    bool linkOpen() const { return simulatorLine.isOpen(); }
    // Channel c's steps: one per value, all with the same interval text.
    void setSteps(int c, const QStringList& values, const QString& interval = QStringLiteral("10.000"))
    {
        ChannelSequence& channel = document->channel(c);
        for (int i = 0; i < values.size(); ++i) {
            channel.steps[i].value = values[i];
            channel.steps[i].interval = interval;
            channel.steps[i].transition = QStringLiteral("0");
            channel.steps[i].load = QStringLiteral("1");
            channel.steps[i].load2 = QStringLiteral("1");
        }
        channel.count = static_cast<int>(values.size());
    }
    // Opens the link for the operations that expect it open, and forgets the opening.
    void openLink()
    {
        ASSERT_EQ(port.Open(), 1);
        simulator.clearTranscript();
    }
    // The RS-232C message of a code, from the string table.
    QString portMessage(int code) const { return strings.string(506 + code); }

    static QStringList identification() { return {"*IDN?", "*CLS;:INP:PROT:CLE"}; }

    ResourceModule strings;
    LinkWatchingPrompt prompt;
    FakeTime time;
    KdrxSimulator simulator{time};
    SimulatorSerialLine simulatorLine{simulator, time};
    CInstrumentPort port{strings, prompt, time};
    FaultLine* line = nullptr;
    AppSettings settings;
    ChannelNumbers numbers = defaultChannelNumbers();
    std::unique_ptr<CMainDoc> document = std::make_unique<CMainDoc>(settings, prompt);
    CurrentDocument current;
    CKdrxDevice device{port, settings, numbers, current, prompt, time};
};
