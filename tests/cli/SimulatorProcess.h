#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The kdrx-sim program serving a pseudo-terminal linked at <folder>/kdrx, with its transcript in
// <folder>/transcript.txt, for tests that run tessorctl against an instrument that outlives it.
class SimulatorProcess {
public:
    explicit SimulatorProcess(const QString& folder);
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // Starts the program with the given fault options and waits for its device link; false when
    // it did not come up within ten seconds.
    bool start(const QStringList& faults = {});
    // Starts the program behind a simulated Prologix-compatible controller on a free TCP port
    // (--tcp 0) and waits until it names the port; false when it did not within ten seconds.
    bool startNetwork(const QStringList& faults = {});
    // "tcp:127.0.0.1:PORT" once startNetwork has succeeded.
    QString networkDevice() const { return networkDevice_; }
    // Ends the program (SIGTERM, then kill).
    void stop();
    QString device() const;
    // The lines the simulator received, without their time stamps.
    QStringList transcript() const;

private:
    QString folder_;
    QProcess process_;
    QString networkDevice_;
};
