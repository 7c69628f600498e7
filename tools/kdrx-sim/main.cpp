// kdrx-sim: the simulated Morvane KDR-X load as a program, on a pseudo-terminal or on the standard
// streams, optionally behind a Prologix-compatible GPIB controller (also on a TCP port).

#include "KdrxSimulator.h"
#include "PrologixController.h"
#include "PtySimulatorServer.h"
#include "SimulatorCommandLine.h"
#include "TcpSimulatorServer.h"
#include "ui/SystemClock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <functional>
#include <iostream>
#include <pthread.h>
#include <string>
#include <unistd.h>

namespace {

// Prepares the load and, when there is one, the controller in front of it.
using Prepare = std::function<void(KdrxSimulator&, PrologixController*)>;

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

sigset_t blockStopSignals()
{
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    return stopSignals;
}

int servePty(Clock& clock, const SimulatorOptions& options, const Prepare& prepare)
{
    QLockFile lock(options.ptyPath + QStringLiteral(".lock"));
    if (!lockLinkPath(lock, options.ptyPath))
        return 1;

    // The server thread must not take the stop signals: they are waited for here.
    sigset_t stopSignals = blockStopSignals();

    PtySimulatorServer server(clock, options.baud,
                              options.prologix ? PtySimulatorServer::FrontEnd::PrologixController
                                               : PtySimulatorServer::FrontEnd::Serial);
    if (!server.isServing()) {
        printError(server.errorString());
        return 1;
    }
    prepare(server.simulator(), server.controller());
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

// The controller on a TCP port until a stop signal; the port is printed, since 0 takes a free one.
int serveTcp(Clock& clock, const SimulatorOptions& options, const Prepare& prepare)
{
    sigset_t stopSignals = blockStopSignals();
    TcpSimulatorServer server(clock, *options.tcpPort);
    if (!server.isServing()) {
        printError(server.errorString());
        return 1;
    }
    prepare(server.simulator(), &server.controller());
    std::printf("kdrx-sim: serving a Prologix-compatible controller at %s\n", qPrintable(server.address()));
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.stop();
    return 0;
}

// The controller on the standard streams: the bytes as they come, the answers as they go.
int serveControllerStreams(Clock& clock, const Prepare& prepare)
{
    KdrxSimulator simulator(clock);
    PrologixController controller(simulator);
    prepare(simulator, &controller);
    char buffer[4096];
    ssize_t count = 0;
    while ((count = ::read(STDIN_FILENO, buffer, sizeof buffer)) > 0 || (count < 0 && errno == EINTR)) {
        const QByteArray answer = count > 0 ? controller.receive(QByteArray(buffer, count)) : QByteArray();
        if (!answer.isEmpty()) {
            std::fwrite(answer.constData(), 1, static_cast<size_t>(answer.size()), stdout);
            std::fflush(stdout);
        }
    }
    return 0;
}

int serveStreams(Clock& clock, const Prepare& prepare)
{
    KdrxSimulator simulator(clock);
    prepare(simulator, nullptr);
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
    // The controller's commands and the load's lines go to one transcript, in the order received.
    const auto record = [&transcript, &clock](const QString& text) {
        const QString stamp = clock.calendarNow().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        transcript.write((stamp + QLatin1Char('\t') + text + QLatin1Char('\n')).toLatin1());
        transcript.flush();
    };
    const Prepare prepare = [&](KdrxSimulator& simulator, PrologixController* controller) {
        SimulatorCommandLine::apply(*options, simulator);
        if (controller)
            SimulatorCommandLine::applyController(*options, *controller);
        // Nothing in the program reads the lines back: a session of days keeps none in memory.
        simulator.setTranscriptLimit(0);
        if (!transcript.isOpen())
            return;
        simulator.setTranscriptObserver(
            [record](const KdrxSimulator::Received& entry) { record(entry.text); });
        if (controller)
            controller->setCommandObserver(record);
    };
    if (options->tcpPort)
        return serveTcp(clock, *options, prepare);
    if (options->ptyPath.isEmpty())
        return options->prologix ? serveControllerStreams(clock, prepare) : serveStreams(clock, prepare);
    return servePty(clock, *options, prepare);
}
