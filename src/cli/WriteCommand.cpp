#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliDocument.h"
#include "cli/CliInstrument.h"
#include "cli/CommandValues.h"
#include "cli/StepProgress.h"
#include "instrument/TransferProcedures.h"
#include "model/CMainDoc.h"

#include <QTextStream>
#include <memory>
#include <unistd.h>

namespace {

// What the instrument holds after a stop cut the write short.
void reportStoppedWrite(CliContext& context, const StepProgress& progress, const ChannelFlags& channels)
{
    const int channel = progress.firstUnfinished(channels);
    if (channel < 0) {
        context.err << "tessorctl: stopped after every channel was written" << Qt::endl;
        return;
    }
    if (progress.reached(channel) < 0) {
        context.err << "tessorctl: stopped before channel " << channel + 1
                    << " was written; its program in the instrument is unchanged" << Qt::endl;
    } else {
        context.err << "tessorctl: stopped: channel " << channel + 1 << ": " << progress.reached(channel)
                    << " of " << progress.total(channel)
                    << " steps written; the program in the instrument is incomplete" << Qt::endl;
    }
    QStringList untouched;
    for (int c = channel + 1; c < kChannelCount; ++c) {
        if (channels[c])
            untouched << QString::number(c + 1);
    }
    if (!untouched.isEmpty())
        context.err << "tessorctl: not written: channel " << untouched.join(QStringLiteral(", ")) << Qt::endl;
}

} // namespace

// tessorctl write FILE --channels LIST [--force]: opens a Hardware Control sequence file and writes
// the listed channels into the instrument as the Transfer dialog's Write does.
int runWriteCommand(CliContext& context, const QStringList& arguments)
{
    CommandValues parsed;
    if (!splitCommandValues(context, arguments, {QStringLiteral("--channels")}, {QStringLiteral("--force")},
                            parsed))
        return ExitUsage;
    if (parsed.positional.isEmpty())
        return usageError(context, QStringLiteral("write needs the FILE to write"));
    if (parsed.positional.size() > 1)
        return usageError(context,
                          QStringLiteral("write takes one FILE, not '%1'").arg(parsed.positional.join(' ')));
    if (!parsed.has(QStringLiteral("--channels")))
        return usageError(context, QStringLiteral("write needs --channels LIST"));
    TransferData data = TransferData::fromSettings(context.settings);
    if (!readChannelsOption(context, parsed, data.channels))
        return ExitUsage;

    // The Transfer dialog refuses a write while its (hidden) repeat field holds a stored Repeat
    // outside its range, with the standard range message.
    if (!data.repeatIsValid()) {
        context.prompt.showMessage(QStringLiteral("Please enter an integer between %1 and %2.")
                                       .arg(TransferData::kFirstRepeat)
                                       .arg(TransferData::kLastRepeat));
        return ExitFailure;
    }

    const QString path = parsed.positional.first();
    int exitCode = ExitSuccess;
    const auto document = CliDocument::open(context, path, parsed.flags.contains(QStringLiteral("--force")),
                                            QStringLiteral("nothing was sent to the instrument"), exitCode);
    if (!document)
        return exitCode;
    // The instrument runs what it holds by itself: only a Hardware Control file is written.
    if (context.settings.SeqCtl != HardwareControl) {
        context.err << "tessorctl: " << path
                    << " is not a Hardware Control file (its header ends in \"soft\"); nothing was sent."
                    << Qt::endl;
        return ExitFailure;
    }

    CliInstrument instrument(context);
    instrument.current().set(document.get());
    StepProgress progress(context.out, isatty(STDOUT_FILENO) == 1);
    instrument.device().setWriteProgress(
        [&progress](int channel, int step, int total) { progress.step(channel, step, total); });
    context.prompt.setBeforeMessage([&progress] { progress.finish(); });

    TransferProcedures procedures(instrument.device(), context.settings, instrument.current(),
                                  context.prompt);
    const int written = procedures.writeChannels(data);
    progress.finish();
    context.prompt.setBeforeMessage({});
    context.out.flush();
    if (written)
        return ExitSuccess;
    if (!instrument.stopRequested())
        return ExitFailure;
    reportStoppedWrite(context, progress, data.channels);
    return ExitInterrupted;
}
