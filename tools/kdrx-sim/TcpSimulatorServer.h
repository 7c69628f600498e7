#pragma once

#include "KdrxSimulator.h"
#include "PrologixController.h"
#include "ui/Clock.h"

#include <QString>
#include <atomic>
#include <thread>

// Serves a simulated load behind a Prologix-compatible controller on a TCP port of the loopback
// interface, as the controller's network model listens on port 1234. One connection is served at a
// time; a later one waits until it ends. A connection that ends forgets its half-received line; the
// controller keeps its settings, as the real one does. Port 0 takes a free port (port()).
//
// The server runs on its own thread from construction until stop() or destruction.
class TcpSimulatorServer {
public:
    explicit TcpSimulatorServer(Clock& clock, int port = 0);
    ~TcpSimulatorServer();
    TcpSimulatorServer(const TcpSimulatorServer&) = delete;
    TcpSimulatorServer& operator=(const TcpSimulatorServer&) = delete;

    // False when the port could not be opened; errorString() says why.
    bool isServing() const { return thread_.joinable(); }
    QString errorString() const { return error_; }
    int port() const { return port_; }
    // "127.0.0.1:PORT".
    QString address() const;
    KdrxSimulator& simulator() { return simulator_; }
    PrologixController& controller() { return controller_; }
    void stop();

private:
    bool listenOn(int port);
    void serve();
    void closeDescriptors();

    KdrxSimulator simulator_;
    PrologixController controller_;
    int listener_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    int port_ = 0;
    QString error_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};
