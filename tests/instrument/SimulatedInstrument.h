#pragma once

#include "FakeTime.h"
#include "FaultLine.h"
#include "KdrxSimulator.h"
#include "RecordingPrompt.h"
#include "SimulatorSerialLine.h"
#include "instrument/CKdrxDevice.h"
#include "link/CInstrumentPort.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/CurrentDocument.h"
#include "ui/ResourceModule.h"

#include <functional>
#include <memory>
#include <vector>

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
// fake clock: every exchange is deterministic and the transcript is what the instrument received,
// stamped with the fake time. `line` lets a test make a write fail or replace a reply.
struct SimulatedInstrument {
    // Puts the simulator's line under the port and makes the document current; false when the
    // resource module cannot be loaded.
    bool connectInstrument()
    {
        if (!strings.loadFromProgramFolder())
            return false;
        auto faultLine = std::make_unique<FaultLine>(simulatorLine);
        line = faultLine.get();
        port.rs232c().setLine(std::move(faultLine));
        settings.PortDevice = QStringLiteral("/dev/kdrx-test");
        port.applySettings(settings);
        prompt.linkOpen = [this] { return simulatorLine.isOpen(); };
        current.set(document.get());
        return true;
    }
    // Channel c's steps: one per value, all with the same interval text (step transitions, load on).
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
    // Every command received since the transcript was last cleared, without times.
    QStringList sent() const { return simulator.receivedTexts(); }
    // The RS-232C message of a code, from the string table.
    QString portMessage(int code) const { return strings.string(506 + code); }

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
