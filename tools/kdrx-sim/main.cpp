// kdrx-sim: the simulated Morvane KDR-X load as a program, on a pseudo-terminal or on the standard
// streams.

#include "KdrxSimulator.h"
#include "PtySimulatorServer.h"
#include "SimulatorCommandLine.h"
#include "ui/SystemClock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <csignal>
#include <cstdio>
#include <functional>
#include <iostream>
#include <pthread.h>
#include <string>
#include <unistd.h>

namespace {

void printError(const QString& text)
{
    std::fprintf(stderr, "kdrx-sim: %s\n", qPrintable(text));
}

// Links path to the device. A symbolic link left by an earlier run is replaced in one step (a new
// link renamed over it); anything else at path is kept and refused.
bool linkDevice(const QString& device, const QString& path)
{
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isSymLink()) {
        printError(QStringLiteral("%1 exists and is not a link; it is left alone").arg(path));
        return false;
    }
    const QString fresh = QStringLiteral("%1.%2.new").arg(path).arg(::getpid());
    QFile::remove(fresh);
    if (::symlink(QFile::encodeName(device).constData(), QFile::encodeName(fresh).constData()) != 0 ||
        ::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(fresh);
        printError(QStringLiteral("cannot link %1 to %2").arg(path, device));
        return false;
    }
    return true;
}

// Removes the link only while it still points at this run's device.
void unlinkDevice(const QString& device, const QString& path)
{
    const QFileInfo link(path);
    if (link.isSymLink() && link.symLinkTarget() == device)
        QFile::remove(path);
}

// Holds PATH.lock while serving, so that a second simulator asked for the same link path refuses
// instead of taking the link over and leaving the first serving nothing. A lock left by a simulator
// that died is taken over.
bool lockLinkPath(QLockFile& lock, const QString& path)
{
    lock.setStaleLockTime(0);
    if (lock.tryLock(0))
        return true;
    qint64 pid = 0;
    QString host;
    QString application;
    if (lock.error() == QLockFile::LockFailedError && lock.getLockInfo(&pid, &host, &application)) {
        printError(QStringLiteral("%1 is served by %2 (process %3); stop it first or choose another path")
                       .arg(path, application.isEmpty() ? QStringLiteral("another simulator") : application)
                       .arg(pid));
    } else {
        printError(QStringLiteral("cannot lock %1 (%2)").arg(path, lock.fileName()));
    }
    return false;
}

int servePty(Clock& clock, const SimulatorOptions& options,
             const std::function<void(KdrxSimulator&)>& prepare)
{
    QLockFile lock(options.ptyPath + QStringLiteral(".lock"));
    if (!lockLinkPath(lock, options.ptyPath))
        return 1;

    // The server thread must not take the stop signals: they are waited for here.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    PtySimulatorServer server(clock, options.baud);
    if (!server.isServing()) {
        printError(server.errorString());
        return 1;
    }
    prepare(server.simulator());
    if (!linkDevice(server.devicePath(), options.ptyPath))
        return 1;
    std::printf("kdrx-sim: serving %s at %s\n", qPrintable(server.devicePath()), qPrintable(options.ptyPath));
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.stop();
    unlinkDevice(server.devicePath(), options.ptyPath);
    return 0;
}

int serveStreams(Clock& clock, const std::function<void(KdrxSimulator&)>& prepare)
{
    KdrxSimulator simulator(clock);
    prepare(simulator);
    std::string line;
    while (std::getline(std::cin, line)) {
        for (const QString& reply : simulator.handleLine(QString::fromLatin1(line.c_str())))
            std::cout << reply.toLatin1().constData() << '\n';
        std::cout.flush();
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QString error;
    const std::optional<SimulatorOptions> options =
        SimulatorCommandLine::parse(application.arguments(), &error);
    if (!options) {
        printError(error);
        std::fputs(qPrintable(SimulatorCommandLine::usage()), stderr);
        return 2;
    }
    if (options->help) {
        std::fputs(qPrintable(SimulatorCommandLine::usage()), stdout);
        return 0;
    }

    SystemClock clock;
    QFile transcript;
    if (!options->transcriptPath.isEmpty()) {
        transcript.setFileName(options->transcriptPath);
        if (!transcript.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            printError(QStringLiteral("cannot write the transcript %1").arg(options->transcriptPath));
            return 1;
        }
    }
    const auto prepare = [&](KdrxSimulator& simulator) {
        SimulatorCommandLine::apply(*options, simulator);
        // Nothing in the program reads the lines back: a session of days keeps none in memory.
        simulator.setTranscriptLimit(0);
        if (!transcript.isOpen())
            return;
        simulator.setTranscriptObserver([&transcript, &clock](const KdrxSimulator::Received& entry) {
            const QString stamp = clock.calendarNow().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
            transcript.write((stamp + QLatin1Char('\t') + entry.text + QLatin1Char('\n')).toLatin1());
            transcript.flush();
        });
    };
    if (options->ptyPath.isEmpty())
        return serveStreams(clock, prepare);
    return servePty(clock, *options, prepare);
}
