#pragma once

#include "instrument/CKdrxDevice.h"
#include "link/CInstrumentPort.h"
#include "model/CurrentDocument.h"
#include "ui/StopSignals.h"
#include "ui/SystemClock.h"

#include <functional>
#include <memory>

class PtySimulatorServer;
struct CliContext;

// The instrument side of a tessorctl command: the port set up from the settings (the built-in
// simulator, served on a pseudo-terminal for the life of the command, when the port device is
// "simulator"), the KDR-X protocol object and the reference to the document it works on. While it
// lives, Ctrl-C, SIGTERM and SIGHUP set the context's stop request, which ends the link's waits and
// the operations at their next step; the stop handler, when set, is called on the event loop.
// A port failure is followed by the device and the system's reason.
class CliInstrument {
public:
    explicit CliInstrument(CliContext& context);
    ~CliInstrument();
    CliInstrument(const CliInstrument&) = delete;
    CliInstrument& operator=(const CliInstrument&) = delete;

    CInstrumentPort& port() { return port_; }
    CKdrxDevice& device() { return device_; }
    CurrentDocument& current() { return current_; }
    const ChannelNumbers& numbers() const { return numbers_; }
    SystemClock& clock() { return clock_; }

    void setStopHandler(std::function<void()> handler) { stopHandler_ = std::move(handler); }
    bool stopRequested() const;

private:
    QString simulatorDevice();
    // Says which port is tried when neither the command line nor the profile names one.
    void noteDefaultPort() const;

    CliContext& context_;
    SystemClock clock_;
    // Declared before the port so that the port lets the line go before the simulator stops.
    std::unique_ptr<PtySimulatorServer> simulator_;
    CInstrumentPort port_;
    ChannelNumbers numbers_ = defaultChannelNumbers();
    CurrentDocument current_;
    CKdrxDevice device_;
    std::function<void()> stopHandler_;
    StopSignals stopSignals_;
};
