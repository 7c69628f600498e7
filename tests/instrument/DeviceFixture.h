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
    // Opens the link for the operations that expect it open, and forgets the opening.
    void openLink()
    {
        ASSERT_EQ(port.Open(), 1);
        simulator.clearTranscript();
    }
    static QStringList identification() { return {"*IDN?", "*CLS;:INP:PROT:CLE"}; }
};
