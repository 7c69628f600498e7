// How late the run engine's step commands reach the instrument, in real time: Run all on two
// channels of 60 half-second steps (Software Control, unit s) against kdrx-sim served on a
// pseudo-terminal, through the real serial code, Qt's precise timers and the steady clock. For
// every step boundary the arrival of its set-value command (and of the final "OUTP 0") is compared
// with the boundary's schedule: the channel's start + k x 500 ms.
//
//   step_timing_bench [--phasing aligned|periodic|both] [--steps N] [--baud B] [--stall MS]
//                     [--monitor MS] [--coarse] [--prologix]
//
// "periodic" is one 500 ms timer set when the run starts; "aligned" re-arms a single shot for
// 5 ms after each grid point. --baud makes the pseudo-terminal take a real line's time per byte;
// --stall blocks the event loop once, 10.2 s into the run, for that many milliseconds (a slow
// exchange or a busy machine). --monitor reads current and voltage of both channels at that
// interval (no file). --coarse runs the engine on coarse timers, which may fire up to 5 % of their
// interval early, as the timers of some systems do. --prologix puts a simulated Prologix-compatible
// GPIB controller on the pseudo-terminal and runs over GPIB through it (the load at address 5).

#include "BoundaryLateness.h"
#include "PtySimulatorServer.h"
#include "instrument/CKdrxDevice.h"
#include "link/CInstrumentPort.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/CurrentDocument.h"
#include "run/RunEngine.h"
#include "run/RunObserver.h"
#include "ui/QtTimerService.h"
#include "ui/ResourceModule.h"
#include "ui/SystemClock.h"
#include "ui/UserPrompt.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <thread>
#include <vector>

namespace {

class StderrPrompt : public UserPrompt {
public:
    void showMessage(const QString& text, Icon) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    bool askYesNo(const QString&, Icon) override { return false; }
    void setBusy(bool) override {}
};

// Qt's coarse timers: within 5 % of the interval, early or late.
class CoarseTimerService : public TimerService {
public:
    ~CoarseTimerService() override
    {
        for (auto& entry : timers_)
            delete entry.second;
    }
    TimerId startTimer(int intervalMs, bool singleShot, std::function<void()> onTimeout) override
    {
        const TimerId id = nextId_++;
        auto* timer = new QTimer(&owner_);
        timer->setTimerType(Qt::CoarseTimer);
        timer->setSingleShot(singleShot);
        timer->setInterval(std::max(intervalMs, 0));
        QObject::connect(timer, &QTimer::timeout, &owner_, [this, id, singleShot, onTimeout] {
            if (singleShot)
                stopTimer(id);
            onTimeout();
        });
        timers_[id] = timer;
        timer->start();
        return id;
    }
    void stopTimer(TimerId id) override
    {
        const auto found = timers_.find(id);
        if (found == timers_.end())
            return;
        found->second->stop();
        found->second->deleteLater();
        timers_.erase(found);
    }

private:
    QObject owner_;
    std::map<TimerId, QTimer*> timers_;
    TimerId nextId_ = 1;
};

class QuitWhenFinished : public RunObserver {
public:
    void runFinished() override { QCoreApplication::quit(); }
    // The bench keeps no log.
    void logNotCreated(const QString&, const QString&) override {}
    void logWriteFailed(const QString&, const QString&) override {}
    QString logRescuePath(const QString&, const QString&) override { return QString(); }
};

using Figures = BoundaryLateness;

QString valueText(int channel, int step)
{
    return QString::asprintf("%d.%03d", channel, step);
}

Figures runOnce(RunEngine::StepTickPhasing phasing, int steps, int baud, int stallMs, int monitorMs,
                bool coarse, bool prologix)
{
    SystemClock clock;
    QtTimerService preciseTimers;
    CoarseTimerService coarseTimers;
    TimerService& timers = coarse ? static_cast<TimerService&>(coarseTimers) : preciseTimers;
    StderrPrompt prompt;
    ResourceModule strings;
    strings.loadFromProgramFolder();
    PtySimulatorServer server(clock, baud,
                              prologix ? PtySimulatorServer::FrontEnd::PrologixController
                                       : PtySimulatorServer::FrontEnd::Serial);
    if (!server.isServing()) {
        std::fprintf(stderr, "no pseudo-terminal: %s\n", qPrintable(server.errorString()));
        return {};
    }

    AppSettings settings;
    settings.PortDevice = server.devicePath();
    if (prologix) {
        settings.Interface = 1;
        settings.Maker = CInstrumentPort::PrologixGpib;
        settings.Address = PrologixController::kDefaultInstrumentAddress;
        settings.GpibDevice = server.devicePath();
    }
    settings.SeqCtl = SoftwareControl;
    settings.UnitSoft = UnitS;
    settings.ModeChSoft = {ModeCC, ModeCC, ModeCV, ModeCV, ModeCV};
    settings.RunCh = {1, 1, 0, 0, 0};
    if (monitorMs > 0) {
        settings.Curr = 1;
        settings.Volt = 1;
        settings.MonitorTime = monitorMs;
    }
    settings.deriveActiveValues();

    auto document = std::make_unique<CMainDoc>(settings, prompt);
    for (int c = 0; c < 2; ++c) {
        ChannelSequence& channel = document->channel(c);
        for (int k = 0; k < steps; ++k) {
            SequenceStep& step = channel.steps[k];
            step.value = valueText(c + 1, k);
            step.interval = QStringLiteral("0.5");
            step.transition = QStringLiteral("0");
            step.load = QStringLiteral("1");
            step.load2 = QStringLiteral("1");
        }
        channel.count = steps;
        document->recomputeTimes(c, 0);
    }
    CurrentDocument current;
    current.set(document.get());

    CInstrumentPort port(strings, prompt, clock);
    port.applySettings(settings);
    const ChannelNumbers numbers = defaultChannelNumbers();
    CKdrxDevice device(port, settings, numbers, current, prompt, clock);
    RunEngine engine(settings, current, port, device, numbers, prompt, clock, timers);
    QuitWhenFinished observer;
    engine.setObserver(&observer);
    engine.setStepTickPhasing(phasing);
    engine.prepareDialog();
    QTimer::singleShot(0, [&engine, stallMs] {
        engine.RunAll();
        if (stallMs > 0) {
            QTimer::singleShot(10200, Qt::PreciseTimer, [stallMs] {
                std::this_thread::sleep_for(std::chrono::milliseconds(stallMs));
            });
        }
    });
    QCoreApplication::exec();
    // The last commands may still be on the paced line when the run has ended (a serial port's close
    // waits for them, a controller's does not).
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    std::vector<qint64> starts;
    for (int c = 0; c < 2; ++c)
        starts.push_back(engine.channelState(c).startMs);
    return BoundaryLateness::measure(server.simulator().received(), engine.runStartMs(), starts, steps,
                                     valueText);
}

void report(const char* name, const Figures& figures)
{
    figures.print(qPrintable(QStringLiteral("%1 ").arg(QLatin1String(name), -9)));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QString phasing = QStringLiteral("both");
    int steps = 60;
    int baud = 0;
    int stallMs = 0;
    int monitorMs = 0;
    bool coarse = false;
    QStringList arguments = application.arguments();
    coarse = arguments.removeAll(QStringLiteral("--coarse")) > 0;
    const bool prologix = arguments.removeAll(QStringLiteral("--prologix")) > 0;
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--phasing"))
            phasing = arguments[i + 1];
        else if (arguments[i] == QLatin1String("--steps"))
            steps = std::clamp(arguments[i + 1].toInt(), 2, 1024);
        else if (arguments[i] == QLatin1String("--baud"))
            baud = arguments[i + 1].toInt();
        else if (arguments[i] == QLatin1String("--stall"))
            stallMs = arguments[i + 1].toInt();
        else if (arguments[i] == QLatin1String("--monitor"))
            monitorMs = arguments[i + 1].toInt();
    }
    std::printf(
        "Run all, 2 channels x %d steps of 0.5 s, %s, line %s, stall %d ms, monitoring %d ms, %s timers\n",
        steps, prologix ? "GPIB through a Prologix-compatible controller" : "RS-232C",
        baud > 0 ? qPrintable(QStringLiteral("%1 baud").arg(baud)) : "unthrottled", stallMs, monitorMs,
        coarse ? "coarse" : "precise");
    if (phasing == QLatin1String("periodic") || phasing == QLatin1String("both"))
        report("periodic",
               runOnce(RunEngine::StepTickPhasing::Periodic, steps, baud, stallMs, monitorMs, coarse, prologix));
    if (phasing == QLatin1String("aligned") || phasing == QLatin1String("both"))
        report("aligned",
               runOnce(RunEngine::StepTickPhasing::Aligned, steps, baud, stallMs, monitorMs, coarse, prologix));
    return 0;
}
