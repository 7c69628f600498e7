// How late the real program's Run window gets its step commands to the instrument, in real time:
// the program (offscreen) opens a file of five channels of N half-second steps, and its Run window
// runs them all with current and voltage monitoring every 500 ms into a line-by-line log file,
// the live graphs drawing, against the built-in simulator on a pseudo-terminal. For every step
// boundary the arrival of its set-value command (and of the final "OUTP 0") is compared with the
// boundary's schedule, the run's start + k x 500 ms. The GUI thread's busy share is the time it
// spent outside the event loop's wait during the run.
//
//   run_window_bench [--steps N] [--monitor MS]

#include "BoundaryLateness.h"
#include "HeadlessShell.h"
#include "PtySimulatorServer.h"
#include "app/BuiltInSimulator.h"
#include "app/CMainFrame.h"
#include "app/CTessorApp.h"
#include "app/ShellPrompt.h"
#include "app/ShellServices.h"
#include "dialogs/CRunDlg.h"
#include "model/AppSettings.h"
#include "run/RunEngine.h"
#include "views/CRunGraph.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

// The program's application object, timing every event it delivers on the GUI thread: the time
// spent outside the event loop's wait (timer ticks with their instrument exchanges, paints, input).
class TimedApplication : public QApplication {
public:
    TimedApplication(int& argc, char** argv) : QApplication(argc, argv) { clock_.start(); }
    bool notify(QObject* receiver, QEvent* event) override
    {
        if (depth_++ > 0) {
            const bool handled = QApplication::notify(receiver, event);
            --depth_;
            return handled;
        }
        const qint64 began = clock_.nsecsElapsed();
        const bool handled = QApplication::notify(receiver, event);
        busyNs_ += clock_.nsecsElapsed() - began;
        --depth_;
        return handled;
    }
    void restartMeter()
    {
        busyNs_ = 0;
        startNs_ = clock_.nsecsElapsed();
    }
    double busyShare() const
    {
        const qint64 total = clock_.nsecsElapsed() - startNs_;
        return total > 0 ? static_cast<double>(busyNs_) / static_cast<double>(total) : 0.0;
    }

private:
    QElapsedTimer clock_;
    qint64 busyNs_ = 0;
    qint64 startNs_ = 0;
    int depth_ = 0;
};

// Counts the paints of the live graphs.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<CRunGraph*>(watched))
            ++paints;
        return false;
    }
    int paints = 0;
};

QString valueText(int channel, int step)
{
    return QString::asprintf("%d.%04d", channel, step);
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TimedApplication application(argc, argv);
    int steps = 60;
    int monitorMs = 500;
    const QStringList arguments = application.arguments();
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--steps"))
            steps = std::clamp(arguments[i + 1].toInt(), 2, 1024);
        else if (arguments[i] == QLatin1String("--monitor"))
            monitorMs = std::clamp(arguments[i + 1].toInt(), 500, 600000);
    }

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
            for (int k = 0; k < steps; ++k)
                text += valueText(c, k).toLatin1() + "\t0.5\t0\t1\r\n";
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
    settings.MonitorTime = monitorMs;
    settings.MonSoft = 0;
    settings.File = 1;
    settings.FileMem = 1;
    settings.Folder = folder.path();
    settings.RunCh = {1, 1, 1, 1, 1};
    settings.deriveActiveValues();

    CRunDlg& dialog = *frame.runDialog();
    PaintCounter paints;
    for (int c = 0; c < kChannelCount; ++c)
        dialog.graph(c)->installEventFilter(&paints);
    dialog.prepare();
    dialog.show();
    RunEngine& engine = frame.runEngine();
    // The lateness is measured on every line the simulator received, not its last ones.
    frame.simulator().devicePath();
    if (PtySimulatorServer* server = frame.simulator().server())
        server->simulator().setTranscriptLimit(KdrxSimulator::kWholeTranscript);
    QTimer::singleShot(200, [&] {
        application.restartMeter();
        dialog.controls().runAll->click();
    });
    QTimer watch;
    watch.setInterval(100);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (engine.runStartMs() != 0 && !engine.isRunActive())
            QCoreApplication::quit();
    });
    watch.start();
    QApplication::exec();
    const double busyShare = application.busyShare();

    std::vector<qint64> starts;
    for (int c = 0; c < kChannelCount; ++c)
        starts.push_back(engine.channelState(c).startMs);
    const std::vector<KdrxSimulator::Received> received = frame.simulator().server()->simulator().received();
    const BoundaryLateness late =
        BoundaryLateness::measure(received, engine.runStartMs(), starts, steps, valueText);
    int readings = 0;
    for (const KdrxSimulator::Received& entry : received)
        readings +=
            entry.ms > engine.runStartMs() && entry.text.contains(QLatin1String("MEAS:CURR?")) ? 1 : 0;
    std::printf("Run window, 5 channels x %d steps of 0.5 s, monitoring every %d ms into a log file, "
                "built-in simulator on a pty\n",
                steps, monitorMs);
    late.print("");
    std::printf("GUI thread busy %.1f %% of the run; readings %d; live graph paints %d; log %s\n",
                busyShare * 100.0, readings, paints.paints,
                qPrintable(QDir(folder.path()).entryList({QStringLiteral("CC_*")}).join(' ')));
    return late.missing == 0 ? 0 : 1;
}
