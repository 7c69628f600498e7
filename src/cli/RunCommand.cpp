#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliInstrument.h"
#include "cli/CommandValues.h"
#include "cli/RunProgress.h"
#include "model/CMainDoc.h"
#include "run/RunEngine.h"
#include "ui/QtTimerService.h"
#include "ui/StopSignals.h"
#include "ui/SystemClock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>
#include <memory>
#include <unistd.h>

namespace {

// How a run ended, as an exit code: Ctrl-C or SIGTERM 130, an "Error" 1, a UVP or UCP trip 3,
// every channel at its end 0.
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

} // namespace

// tessorctl run FILE [--channels LIST]: opens FILE and runs its channels as the Run window's
// Run all does, with the profile's monitoring and log settings, until every channel has ended or
// Ctrl-C / SIGTERM stops them all.
int runRunCommand(CliContext& context, const QStringList& arguments)
{
    CommandValues parsed;
    if (!splitCommandValues(context, arguments, {QStringLiteral("--channels")}, {}, parsed))
        return ExitUsage;
    if (parsed.positional.size() != 1) {
        context.err << "Usage: tessorctl run FILE [--channels LIST]" << Qt::endl;
        return ExitUsage;
    }
    ChannelFlags selected{};
    if (parsed.has(QStringLiteral("--channels")) && !readChannelsOption(context, parsed, selected))
        return ExitUsage;

    // Stop signals (Ctrl-C, SIGTERM, a closed terminal's SIGHUP) are taken from here on.
    bool interrupted = false;
    RunEngine* running = nullptr;
    StopSignals stopSignals([&interrupted, &running](int) {
        interrupted = true;
        if (running)
            running->StopAll();
    });

    const QString path = parsed.positional.first();
    auto document = std::make_unique<CMainDoc>(context.settings, context.prompt);
    if (!document->openDocument(path))
        return ExitFailure;
    const bool software = context.settings.SeqCtl != HardwareControl;
    bool any = false;
    for (int c = 0; c < kChannelCount; ++c) {
        document->recomputeTimes(c, 0);
        const bool hasSteps = document->channel(c).count > 0;
        if (!parsed.has(QStringLiteral("--channels")))
            selected[c] = hasSteps ? 1 : 0;
        else if (selected[c] && software && !hasSteps) {
            context.err << "tessorctl: channel " << c + 1 << " of " << path << " has no steps." << Qt::endl;
            return ExitUsage;
        }
        any = any || selected[c];
    }
    if (!any) {
        context.err << "tessorctl: " << path << " has no steps to run." << Qt::endl;
        return ExitFailure;
    }
    for (int c = 0; c < kChannelCount; ++c)
        context.settings.RunCh[c] = selected[c];

    CliInstrument instrument(context);
    instrument.current().set(document.get());
    SystemClock clock;
    QtTimerService timers;
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
    context.prompt.setBeforeMessage([&progress] { progress.breakBlock(); });
    engine.setObserver(&progress);
    engine.prepareDialog();

    QTimer::singleShot(0, [&engine, &running, &interrupted] {
        if (interrupted) {
            QCoreApplication::quit();
            return;
        }
        engine.RunAll();
        running = &engine;
        // A run that could not start has no timers to end it.
        if (!engine.isRunActive())
            QCoreApplication::quit();
    });
    QCoreApplication::exec();
    running = nullptr;
    progress.finish();
    context.prompt.setBeforeMessage({});
    context.out.flush();
    return exitCodeOf(engine, selected, interrupted, progress.logFailed());
}
