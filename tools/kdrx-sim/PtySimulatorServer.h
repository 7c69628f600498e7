#pragma once

#include "KdrxSimulator.h"
#include "PrologixController.h"
#include "ui/Clock.h"

#include <QString>
#include <atomic>
#include <memory>
#include <thread>

// Serves a KdrxSimulator on a pseudo-terminal, so the program's real serial code can talk to it:
// the slave device (devicePath()) behaves as the instrument's serial port. The terminal is raw with
// no echo; lines end with a line feed (a carriage return before it is dropped). XON and XOFF bytes
// from the other end pause and resume the replies and never reach the simulator. With a line speed
// given, reception and replies take the time they would on a real line (ten bits per byte).
//
// With a controller in front, the terminal is a Prologix-compatible controller's USB serial port:
// every byte goes to the controller (no XON/XOFF) and the controller's answers come back.
//
// The server runs on its own thread from construction until stop() or destruction. It keeps a
// descriptor of the slave open itself, so the other end may open and close the device as often as it
// likes.
class PtySimulatorServer {
public:
    // Lines longer than this are dropped with an input-buffer-overrun error.
    static constexpr int kMaxLineBytes = 65536;
    // Replies waiting beyond this are dropped.
    static constexpr int kMaxPendingReplyBytes = 1 << 20;

    enum class FrontEnd { Serial, PrologixController };

    explicit PtySimulatorServer(Clock& clock, int baud = 0, FrontEnd frontEnd = FrontEnd::Serial);
    ~PtySimulatorServer();
    PtySimulatorServer(const PtySimulatorServer&) = delete;
    PtySimulatorServer& operator=(const PtySimulatorServer&) = delete;

    // False when the pseudo-terminal could not be made; errorString() says why.
    bool isServing() const { return thread_.joinable(); }
    QString errorString() const { return error_; }
    QString devicePath() const { return devicePath_; }
    KdrxSimulator& simulator() { return simulator_; }
    // The controller in front of the load; null without one.
    PrologixController* controller() { return controller_.get(); }
    // Stops serving; the device disappears when the server is destroyed.
    void stop();

private:
    bool openTerminal();
    void serve();
    void closeDescriptors();

    KdrxSimulator simulator_;
    std::unique_ptr<PrologixController> controller_;
    int baud_;
    int master_ = -1;
    int slave_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    QString devicePath_;
    QString error_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};
