#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliDocument.h"
#include "cli/CliInstrument.h"
#include "cli/CommandValues.h"
#include "cli/RunProgress.h"
#include "cli/StopAwareTimerService.h"
#include "model/CMainDoc.h"
#include "run/RunEngine.h"
#include "ui/QtTimerService.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>
#include <cmath>
#include <memory>
#include <unistd.h>

namespace {

// How a run ended, as an exit code: a stop signal 130, an "Error" 1, a UVP or UCP trip 3, every
// channel at its end 0.
int exitCodeOf(const RunEngine& engine, const ChannelFlags& selected, bool interrupted, bool logFailed)
{
    if (interrupted)
        return ExitInterrupted;
    bool tripped = false;
    for (int c = 0; c < kChannelCount; ++c) {
        if (!selected[c])
            continue;
        const RunState state = engine.channelState(c).state;
        if (state == RunError || state == RunRunning)
            return ExitFailure;
        if (state == RunUvpTrip || state == RunUcpTrip)
            tripped = true;
    }
    if (logFailed)
        return ExitFailure;
    return tripped ? ExitTripped : ExitSuccess;
}

// A protection is checked only on the readings of its quantity taken at the monitoring interval; a
// profile edited by hand or --set can switch one on that checks nothing, which the Monitoring
// Setup dialog cannot.
void warnAboutIdleProtections(CliContext& context, const ChannelFlags& selected)
{
    const AppSettings& s = context.settings;
    const bool stepEndReadings = s.SeqCtl != HardwareControl && s.MonTiming == 1;
    for (int c = 0; c < kChannelCount; ++c) {
        if (!selected[c])
            continue;
        const struct {
            bool on;
            bool monitored;
            const char* name;
            const char* key;
            const char* quantity;
            const char* monitorKey;
        } protections[] = {{s.UvpOn[c] == 1, s.Volt == 1, "under-voltage", "UvpOn", "voltage", "Volt"},
                           {s.UcpOn[c] == 1, s.Curr == 1, "under-current", "UcpOn", "current", "Curr"}};
        for (const auto& p : protections) {
            if (!p.on)
                continue;
            QString why;
            if (!p.monitored)
                why =
                    QStringLiteral("the %1 is not monitored (add --set %2=1)").arg(p.quantity, p.monitorKey);
            else if (stepEndReadings)
                why =
                    QStringLiteral("readings are taken only at step ends, which are not checked (MonSoft=1)");
            if (!why.isEmpty())
                context.err << "tessorctl: warning: channel " << c + 1 << ": the " << p.name
                            << " protection (" << p.key << c + 1 << "=1) checks nothing: " << why << Qt::endl;
        }
    }
}

} // namespace

// tessorctl run FILE [--channels LIST] [--force]: opens FILE and runs its channels as the Run
// window's Run all does, with the profile's monitoring and log settings, until every channel has
// ended or a stop signal stops them all.
int runRunCommand(CliContext& context, const QStringList& arguments)
{
    CommandValues parsed;
    if (!splitCommandValues(context, arguments, {QStringLiteral("--channels")}, {QStringLiteral("--force")},
                            parsed))
        return ExitUsage;
    if (parsed.positional.isEmpty())
        return usageError(context, QStringLiteral("run needs the FILE to run"));
    if (parsed.positional.size() > 1)
        return usageError(context,
                          QStringLiteral("run takes one FILE, not '%1'").arg(parsed.positional.join(' ')));
    ChannelFlags selected{};
    if (parsed.has(QStringLiteral("--channels")) && !readChannelsOption(context, parsed, selected))
        return ExitUsage;

    const QString path = parsed.positional.first();
    int openExit = ExitSuccess;
    const auto document = CliDocument::open(context, path, parsed.flags.contains(QStringLiteral("--force")),
                                            QStringLiteral("nothing was run"), openExit);
    if (!document)
        return openExit;
    const bool software = context.settings.SeqCtl != HardwareControl;
    bool any = false;
    for (int c = 0; c < kChannelCount; ++c) {
        document->recomputeTimes(c, 0);
        const bool hasSteps = document->channel(c).count > 0;
        if (!parsed.has(QStringLiteral("--channels")))
            selected[c] = hasSteps ? 1 : 0;
        else if (selected[c] && software && !hasSteps)
            return usageError(context, QStringLiteral("channel %1 of %2 has no steps").arg(c + 1).arg(path));
        any = any || selected[c];
    }
    if (!any) {
        context.err << "tessorctl: " << path << " has no steps to run." << Qt::endl;
        return ExitFailure;
    }
    for (int c = 0; c < kChannelCount; ++c)
        context.settings.RunCh[c] = selected[c];
    warnAboutIdleProtections(context, selected);

    // From here on the stop signals are taken: the first one cuts a wait for the instrument short
    // and stops every channel as Stop all does, before any further tick.
    CliInstrument instrument(context);
    instrument.current().set(document.get());
    bool interrupted = false;
    RunEngine* running = nullptr;
    const auto stopRun = [&] {
        if (interrupted)
            return false;
        interrupted = true;
        // The stopping exchanges (the stop commands, the last readings) go through; a further signal
        // cuts them short in turn.
        context.stop.clear();
        if (running)
            running->StopAll();
        else
            QCoreApplication::quit();
        return true;
    };
    instrument.setStopHandler([stopRun] { stopRun(); });
    QtTimerService qtTimers;
    StopAwareTimerService timers(qtTimers, context.stop, stopRun);
    SystemClock& clock = instrument.clock();
    RunEngine engine(context.settings, instrument.current(), instrument.port(), instrument.device(),
                     instrument.numbers(), context.prompt, clock, timers);

    std::array<RunProgress::Channel, kChannelCount> shown;
    for (int c = 0; c < kChannelCount; ++c) {
        shown[c].shown = selected[c] != 0;
        shown[c].countTotal = QString::number(context.settings.RepeatCh[c]);
        shown[c].stepTotal = QString::number(document->channel(c).count);
    }
    RunProgress progress(context.out, context.err, isatty(STDOUT_FILENO) == 1, shown);
    // Readings the log folder cannot take go beside the sequence file, or else the current folder.
    QStringList rescueFolders{QFileInfo(path).absolutePath()};
    if (QDir::currentPath() != rescueFolders.first())
        rescueFolders << QDir::currentPath();
    progress.setRescueFolders(rescueFolders);
    progress.setFinishedHandler([] { QCoreApplication::quit(); });
    progress.setElapsedClock([&engine, &clock]() -> qint64 {
        if (engine.runStartMs() == 0)
            return -1;
        return (std::llround(clock.runClock() * 1000.0) - engine.runStartMs()) / 1000;
    });
    // Channels that a failed exchange took out of a started run: their loads may still be on. The
    // channels of one failure (the link lost takes them all) are told together, with the failure
    // that took them out, before the exchanges that tried to switch them off.
    bool started = false;
    int failuresAtStart = 0;
    QStringList failedChannels;
    QString failure;
    const auto tellFailedChannels = [&] {
        if (failedChannels.isEmpty())
            return;
        progress.breakBlock();
        const bool one = failedChannels.size() == 1;
        context.err << "tessorctl: " << (one ? "channel " : "channels ")
                    << failedChannels.join(QStringLiteral(", ")) << " stopped with Error: " << failure
                    << (one ? "; its load may" : "; their loads may")
                    << " still be on (tessorctl could not switch " << (one ? "it" : "them") << " off)."
                    << Qt::endl;
        failedChannels.clear();
    };
    progress.setErrorHandler([&](int channel) {
        CInstrumentPort& port = instrument.port();
        if (!started || port.failureCount() <= failuresAtStart)
            return;
        if (failedChannels.isEmpty()) {
            failure = port.lastFailureInterrupted()
                          ? QStringLiteral("the wait for its reply was cut short by the stop")
                          : port.errorText();
            const QString detail = port.failureDetail();
            if (!port.lastFailureInterrupted() && !detail.isEmpty())
                failure += QStringLiteral(" (") + detail + QLatin1Char(')');
            QTimer::singleShot(0, tellFailedChannels);
        }
        failedChannels << QString::number(channel + 1);
    });
    context.prompt.setBeforeMessage([&progress] { progress.breakBlock(); });
    engine.setObserver(&progress);
    engine.prepareDialog();

    QTimer::singleShot(0, [&] {
        if (interrupted || context.stop.isSet()) {
            QCoreApplication::quit();
            return;
        }
        engine.RunAll();
        running = &engine;
        started = engine.isRunActive();
        // Failures of the start have said what they are; the ones counted from here took a running
        // channel out.
        failuresAtStart = instrument.port().failureCount();
        // A run that could not start has no timers to end it.
        if (!engine.isRunActive())
            QCoreApplication::quit();
    });
    QCoreApplication::exec();
    running = nullptr;
    tellFailedChannels();
    progress.finish();
    context.prompt.setBeforeMessage({});
    context.out.flush();
    // A stop that came while the start waited for the instrument ended the start.
    if (context.stop.isSet())
        interrupted = true;
    if (interrupted && !started)
        context.err << "tessorctl: stopped before the run started." << Qt::endl;
    const int exitCode = exitCodeOf(engine, selected, interrupted, progress.logFailed());
    // A start refused before anything was sent (a step out of bounds) leaves every channel standing
    // by: the message above says why, and nothing ran.
    if (!started && !interrupted && exitCode == ExitSuccess) {
        context.err << "tessorctl: nothing was run." << Qt::endl;
        return ExitFailure;
    }
    return exitCode;
}
