#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliInstrument.h"
#include "cli/CommandValues.h"
#include "cli/StepProgress.h"
#include "instrument/TransferProcedures.h"
#include "model/CMainDoc.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <memory>
#include <unistd.h>

namespace {

const char* const kNotCcOrCr = "This channel is not CC mode or CR mode.";

// Why the output file cannot be written, found before anything is read; empty when it can. An
// existing file is opened for appending and left as it is; a new one is created and removed.
QString unwritableReason(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("it is a directory");
    QFile file(path);
    if (info.exists()) {
        // A pipe or a device is left to the save: opening a pipe would wait for its reader.
        if (!info.isFile())
            return QString();
        return file.open(QIODevice::WriteOnly | QIODevice::Append) ? QString() : file.errorString();
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return file.errorString();
    file.close();
    file.remove();
    return QString();
}

} // namespace

// tessorctl read --channels LIST -o OUT: reads the listed channels from the instrument into a new
// document as the Transfer dialog's Read does, and saves it as a Hardware Control file.
int runReadCommand(CliContext& context, const QStringList& arguments)
{
    CommandValues parsed;
    if (!splitCommandValues(context, arguments, {QStringLiteral("--channels"), QStringLiteral("-o")}, {},
                            parsed))
        return ExitUsage;
    if (!parsed.positional.isEmpty())
        return usageError(context, QStringLiteral("read takes no FILE, but -o OUT.tsr ('%1' is left over)")
                                       .arg(parsed.positional.join(' ')));
    if (!parsed.has(QStringLiteral("--channels")))
        return usageError(context, QStringLiteral("read needs --channels LIST"));
    const QString out = parsed.value(QStringLiteral("-o"));
    if (out.isEmpty())
        return usageError(context, QStringLiteral("read needs -o OUT.tsr, the file to write"));
    TransferData data = TransferData::fromSettings(context.settings);
    if (!readChannelsOption(context, parsed, data.channels))
        return ExitUsage;

    // A file that cannot be written is found before the instrument is read for it.
    const QString problem = unwritableReason(out);
    if (!problem.isEmpty()) {
        context.err << "tessorctl: cannot write " << out << ": " << problem << "; nothing was read."
                    << Qt::endl;
        return ExitFailure;
    }

    // The program offers Transfer only under Hardware Control.
    context.settings.SeqCtl = HardwareControl;
    context.settings.deriveActiveValues();

    CliInstrument instrument(context);
    std::unique_ptr<CMainDoc> document;
    StepProgress progress(context.out, isatty(STDOUT_FILENO) == 1);
    instrument.device().setReadProgress(
        [&progress](int channel, int step, int total) { progress.step(channel, step, total); });
    context.prompt.setBeforeMessage([&progress] { progress.finish(); });
    // The channel that the instrument's refusal of its function speaks of: the first listed one
    // that has not been read yet. It counts as done.
    context.prompt.setMessageText([&](const QString& text) {
        if (text != QLatin1String(kNotCcOrCr))
            return text;
        const int channel = progress.firstUnfinished(data.channels);
        if (channel < 0)
            return text;
        progress.step(channel, 0, 0);
        return QStringLiteral("Channel %1: ").arg(channel + 1) + text;
    });

    TransferProcedures procedures(instrument.device(), context.settings, instrument.current(),
                                  context.prompt);
    TransferProcedures::Hooks hooks;
    hooks.closeDocuments = [] { return true; };
    hooks.createDocument = [&] {
        document = std::make_unique<CMainDoc>(context.settings, context.prompt);
        instrument.current().set(document.get());
        return true;
    };
    procedures.setHooks(hooks);
    const int read = procedures.readChannels(data);
    progress.finish();
    context.prompt.setBeforeMessage({});
    context.prompt.setMessageText({});
    if (!read) {
        if (!instrument.stopRequested())
            return ExitFailure;
        const int channel = progress.firstUnfinished(data.channels);
        if (channel >= 0 && progress.reached(channel) >= 0)
            context.err << "tessorctl: stopped: channel " << channel + 1 << ": " << progress.reached(channel)
                        << " of " << progress.total(channel) << " steps read; " << out << " was not written."
                        << Qt::endl;
        else if (channel >= 0)
            context.err << "tessorctl: stopped before channel " << channel + 1 << " was read; " << out
                        << " was not written." << Qt::endl;
        else
            context.err << "tessorctl: stopped; " << out << " was not written." << Qt::endl;
        return ExitInterrupted;
    }
    // A document without steps is not saved ("There is no data to save."): no file, no success.
    const bool hasSteps = document->hasAnySteps();
    if (!document->saveDocument(out) || !hasSteps)
        return ExitFailure;
    return ExitSuccess;
}
