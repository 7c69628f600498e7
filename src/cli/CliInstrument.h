#pragma once

#include "instrument/CKdrxDevice.h"
#include "link/CInstrumentPort.h"
#include "model/CurrentDocument.h"
#include "ui/SystemClock.h"

#include <memory>

class PtySimulatorServer;
struct CliContext;

// The instrument side of a tessorctl command: the port set up from the settings (the built-in
// simulator, served on a pseudo-terminal for the life of the command, when the port device is
// "simulator"), the KDR-X protocol object and the reference to the document it works on.
class CliInstrument {
public:
    explicit CliInstrument(CliContext& context);
    ~CliInstrument();
    CliInstrument(const CliInstrument&) = delete;
    CliInstrument& operator=(const CliInstrument&) = delete;

    CInstrumentPort& port() { return port_; }
    CKdrxDevice& device() { return device_; }
    CurrentDocument& current() { return current_; }

private:
    QString simulatorDevice();

    CliContext& context_;
    SystemClock clock_;
    // Declared before the port so that the port lets the line go before the simulator stops.
    std::unique_ptr<PtySimulatorServer> simulator_;
    CInstrumentPort port_;
    ChannelNumbers numbers_ = defaultChannelNumbers();
    CurrentDocument current_;
    CKdrxDevice device_;
};
