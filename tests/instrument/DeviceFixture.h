#pragma once

#include "QtPrinters.h"
#include "SimulatedInstrument.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>

// CKdrxDevice on the RS-232C adapter whose line is the simulator, answered synchronously on a
// fake clock: every exchange is deterministic and the transcript is what the instrument received.
class DeviceFixture : public ::testing::Test, protected SimulatedInstrument {
protected:
    void SetUp() override { ASSERT_TRUE(connectInstrument()); }

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
    static QStringList identification() { return {"*IDN?", "*CLS;:INP:PROT:CLE"}; }
};
