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
    // Ends the program (SIGTERM, then kill).
    void stop();
    QString device() const;
    // The lines the simulator received, without their time stamps.
    QStringList transcript() const;

private:
    QString folder_;
    QProcess process_;
};
