#pragma once

#include "PtySimulatorServer.h"
#include "TcpSimulatorServer.h"

#include <QElapsedTimer>
#include <QString>
#include <QThread>
#include <memory>
#include <ostream>

// The simulated load behind a simulated Prologix-compatible controller, served the two ways a real
// controller is reached: its USB serial port (a pseudo-terminal) or its network port (TCP on the
// loopback interface, a free port). For tests that link kdrxsim.
class SimulatedController {
public:
    enum class Transport { SerialPort, Network };

    SimulatedController(Transport transport, Clock& clock, int baud = 0)
    {
        if (transport == Transport::SerialPort)
            pty_ = std::make_unique<PtySimulatorServer>(clock, baud,
                                                        PtySimulatorServer::FrontEnd::PrologixController);
        else
            tcp_ = std::make_unique<TcpSimulatorServer>(clock, 0);
    }

    bool isServing() const { return pty_ ? pty_->isServing() : tcp_->isServing(); }
    QString errorString() const { return pty_ ? pty_->errorString() : tcp_->errorString(); }
    // What GpibDevice holds to reach it: the terminal's path, or "tcp:127.0.0.1:PORT".
    QString device() const { return pty_ ? pty_->devicePath() : QStringLiteral("tcp:") + tcp_->address(); }
    KdrxSimulator& simulator() { return pty_ ? pty_->simulator() : tcp_->simulator(); }
    PrologixController& controller() { return pty_ ? *pty_->controller() : tcp_->controller(); }
    // The bytes the controller has received, once there are at least `count` of them or the limit
    // has passed: the last commands of an operation need no answer, and the server takes them on
    // its own thread after the operation has returned.
    QByteArray receivedBytes(qsizetype count, int limitMs = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        while (controller().receivedBytes().size() < count && timer.elapsed() < limitMs)
            QThread::msleep(5);
        return controller().receivedBytes();
    }
    // Stops answering: the terminal stays, the network connection ends.
    void stop() { pty_ ? pty_->stop() : tcp_->stop(); }

private:
    std::unique_ptr<PtySimulatorServer> pty_;
    std::unique_ptr<TcpSimulatorServer> tcp_;
};

inline std::ostream& operator<<(std::ostream& stream, SimulatedController::Transport transport)
{
    return stream << (transport == SimulatedController::Transport::SerialPort ? "SerialPort" : "Network");
}
