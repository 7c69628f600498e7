#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliInstrument.h"
#include "cli/CommandValues.h"
#include "cli/WriteProgress.h"
#include "instrument/TransferProcedures.h"
#include "model/CMainDoc.h"

#include <QTextStream>
#include <memory>
#include <unistd.h>

// tessorctl write FILE --channels LIST: opens a Hardware Control sequence file and writes the
// listed channels into the instrument as the Transfer dialog's Write does.
int runWriteCommand(CliContext& context, const QStringList& arguments)
{
    CommandValues parsed;
    if (!splitCommandValues(context, arguments, {QStringLiteral("--channels")}, {}, parsed))
        return ExitUsage;
    if (parsed.positional.size() != 1 || !parsed.has(QStringLiteral("--channels"))) {
        context.err << "Usage: tessorctl write FILE --channels LIST" << Qt::endl;
        return ExitUsage;
    }
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
    auto document = std::make_unique<CMainDoc>(context.settings, context.prompt);
    if (!document->openDocument(path))
        return ExitFailure;
    // The instrument runs what it holds by itself: only a Hardware Control file is written.
    if (context.settings.SeqCtl != HardwareControl) {
        context.err << "tessorctl: " << path
                    << " is not a Hardware Control file (its header ends in \"soft\"); nothing was sent."
                    << Qt::endl;
        return ExitFailure;
    }

    CliInstrument instrument(context);
    instrument.current().set(document.get());
    WriteProgress progress(context.out, isatty(STDOUT_FILENO) == 1);
    instrument.device().setWriteProgress(
        [&progress](int channel, int step, int total) { progress.step(channel, step, total); });
    context.prompt.setBeforeMessage([&progress] { progress.finish(); });

    TransferProcedures procedures(instrument.device(), context.settings, instrument.current(),
                                  context.prompt);
    const int written = procedures.writeChannels(data);
    progress.finish();
    context.prompt.setBeforeMessage({});
    context.out.flush();
    return written ? ExitSuccess : ExitFailure;
}
