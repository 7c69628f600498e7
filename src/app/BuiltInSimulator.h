#pragma once

#include "ui/SystemClock.h"

#include <QString>
#include <memory>

class PtySimulatorServer;

// The simulated KDR-X load behind the port device "simulator": served on a pseudo-terminal that
// is made the first time the port is opened with it, and kept until the program ends. It keeps no
// transcript of what it received.
class BuiltInSimulator {
public:
    BuiltInSimulator();
    ~BuiltInSimulator();
    BuiltInSimulator(const BuiltInSimulator&) = delete;
    BuiltInSimulator& operator=(const BuiltInSimulator&) = delete;

    // The pseudo-terminal's device path, starting the simulator when it is not running; empty when
    // no pseudo-terminal can be made (the port's open then fails with its message).
    QString devicePath();
    // The running server, or null.
    PtySimulatorServer* server() const { return server_.get(); }

private:
    SystemClock clock_;
    std::unique_ptr<PtySimulatorServer> server_;
};
