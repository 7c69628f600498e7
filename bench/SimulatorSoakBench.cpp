// Resident memory of the program and of tessorctl over a long run against the simulator, in real
// time. The program (offscreen) runs five channels of half-second steps, current and voltage read
// every 500 ms, against its built-in simulator on a pseudo-terminal; beside it tessorctl runs the
// same sequence with "--port simulator" (its own simulator in the process). The resident set of
// both processes is sampled once the runs are under way and again at the end; a simulator that
// kept every line it received grew steadily (some 2.4 KB a second for tessorctl), a bounded one
// levels off.
//
//   simulator_soak_bench [--minutes N]      (default 10, at least 1)

#include "HeadlessShell.h"
#include "PtySimulatorServer.h"
#include "app/BuiltInSimulator.h"
#include "app/CMainFrame.h"
#include "app/CTessorApp.h"
#include "dialogs/CRunDlg.h"
#include "model/AppSettings.h"
#include "run/RunEngine.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kStepsPerPass = 20;
constexpr double kStepSeconds = 0.5;
// The first sample waits until both runs have settled into their ticks.
constexpr int kWarmUpMs = 20000;

// VmRSS of a process in KiB, -1 when it cannot be read.
long residentKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

struct Sample {
    long program = -1;
    long tessorctl = -1;
    qint64 ms = 0;
};

void report(const char* what, long start, long end, double seconds)
{
    std::printf(
        "%-10s resident %7ld KiB at the start, %7ld KiB at the end: %+ld KiB, %+.1f B/s over %.0f s\n", what,
        start, end, end - start, (end - start) * 1024.0 / seconds, seconds);
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    int minutes = 10;
    const QStringList arguments = application.arguments();
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--minutes"))
            minutes = std::max(1, arguments[i + 1].toInt());
    }
    const qint64 soakMs = qint64(minutes) * 60 * 1000;
    // Passes enough to outlast the soak.
    const int passes = int(soakMs / (kStepsPerPass * kStepSeconds * 1000)) + 2;

    QTemporaryDir folder;
    const QString profile = folder.filePath(QStringLiteral("config/Tessor.ini"));
    const QString runtime = folder.filePath(QStringLiteral("runtime"));
    QDir().mkpath(folder.filePath(QStringLiteral("config")));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    {
        QFile file(profile);
        file.open(QIODevice::WriteOnly);
        file.write("[Config]\nPortDevice=simulator\n");
    }
    const QString sequence = folder.filePath(QStringLiteral("five-channels.tsr"));
    {
        QByteArray text = "CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft\r\n";
        for (int c = 1; c <= 5; ++c) {
            for (int k = 0; k < kStepsPerPass; ++k)
                text += QByteArray::number(0.1 * c + 0.01 * k, 'f', 2) + "\t0.5\t0\t1\r\n";
            text += "\r\n";
        }
        QFile file(sequence);
        file.open(QIODevice::WriteOnly);
        file.write(text);
    }

    StderrShellPrompt prompt;
    NoShellServices services;
    CTessorApp app(prompt, services, StartupPaths{QCoreApplication::applicationDirPath(), profile, runtime});
    if (app.initInstance({sequence}) != CTessorApp::kRunning) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    CMainFrame& frame = *app.mainFrame();
    AppSettings& settings = frame.settings();
    settings.Curr = 1;
    settings.Volt = 1;
    settings.MonitorTime = 500;
    settings.MonSoft = 0;
    settings.File = 0;
    settings.RunCh = {1, 1, 1, 1, 1};
    for (int c = 0; c < kChannelCount; ++c)
        settings.RepeatCh[c] = passes;
    settings.deriveActiveValues();
    CRunDlg& dialog = *frame.runDialog();
    dialog.prepare();
    dialog.show();

    QProcess tessorctl;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("ctl-config")));
    environment.insert(QStringLiteral("HOME"), folder.path());
    tessorctl.setProcessEnvironment(environment);
    tessorctl.setStandardOutputFile(QProcess::nullDevice());
    QStringList ctlArguments{"--port", "simulator", "--set", "Curr=1",
                             "--set",  "Volt=1",    "--set", "MonitorTime=500"};
    for (int c = 0; c < kChannelCount; ++c)
        ctlArguments << QStringLiteral("--set") << QStringLiteral("Repeat%1=%2").arg(c).arg(passes);
    tessorctl.start(QStringLiteral(TESSORCTL_PATH), ctlArguments + QStringList{"run", sequence});
    if (!tessorctl.waitForStarted(10000)) {
        std::fprintf(stderr, "tessorctl did not start\n");
        return 1;
    }
    dialog.controls().runAll->click();

    QElapsedTimer clock;
    clock.start();
    Sample first;
    Sample last;
    const auto sample = [&] {
        return Sample{residentKiB(QCoreApplication::applicationPid()), residentKiB(tessorctl.processId()),
                      clock.elapsed()};
    };
    QTimer::singleShot(kWarmUpMs, [&] { first = sample(); });
    QTimer::singleShot(int(soakMs), [&] {
        last = sample();
        dialog.controls().stopAll->click();
        tessorctl.terminate();
        QTimer::singleShot(2000, [] { QCoreApplication::quit(); });
    });
    QApplication::exec();
    tessorctl.waitForFinished(10000);

    const double seconds = double(last.ms - first.ms) / 1000.0;
    std::printf("Five channels of 0.5 s steps, current and voltage every 500 ms, on the simulator, %d min "
                "(samples at %.0f s and %.0f s)\n",
                minutes, first.ms / 1000.0, last.ms / 1000.0);
    report("program", first.program, last.program, seconds);
    report("tessorctl", first.tessorctl, last.tessorctl, seconds);
    const RunEngine& engine = frame.runEngine();
    int stopped = 0;
    for (int c = 0; c < kChannelCount; ++c)
        stopped += engine.channelState(c).state == RunStopped ? 1 : 0;
    PtySimulatorServer* server = frame.simulator().server();
    std::printf("program's simulator keeps %zu received lines (limit %zu); channels stopped by Stop all: %d "
                "of 5; tessorctl exit %d\n",
                server ? server->simulator().received().size() : size_t(0),
                server ? server->simulator().transcriptLimit() : size_t(0), stopped, tessorctl.exitCode());
    return first.program > 0 && last.tessorctl > 0 ? 0 : 1;
}
