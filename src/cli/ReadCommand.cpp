#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliInstrument.h"
#include "cli/CommandValues.h"
#include "instrument/TransferProcedures.h"
#include "model/CMainDoc.h"

#include <QTextStream>
#include <memory>

// tessorctl read --channels LIST -o OUT: reads the listed channels from the instrument into a new
// document as the Transfer dialog's Read does, and saves it as a Hardware Control file.
int runReadCommand(CliContext& context, const QStringList& arguments)
{
    CommandValues parsed;
    if (!splitCommandValues(context, arguments, {QStringLiteral("--channels"), QStringLiteral("-o")}, {},
                            parsed))
        return ExitUsage;
    if (!parsed.positional.isEmpty() || !parsed.has(QStringLiteral("--channels")) ||
        parsed.value(QStringLiteral("-o")).isEmpty()) {
        context.err << "Usage: tessorctl read --channels LIST -o OUT.tsr" << Qt::endl;
        return ExitUsage;
    }
    TransferData data = TransferData::fromSettings(context.settings);
    if (!readChannelsOption(context, parsed, data.channels))
        return ExitUsage;

    // The program offers Transfer only under Hardware Control.
    context.settings.SeqCtl = HardwareControl;
    context.settings.deriveActiveValues();

    CliInstrument instrument(context);
    std::unique_ptr<CMainDoc> document;
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
    if (!procedures.readChannels(data))
        return ExitFailure;
    // A document without steps is not saved ("There is no data to save."): no file, no success.
    const bool hasSteps = document->hasAnySteps();
    if (!document->saveDocument(parsed.value(QStringLiteral("-o"))) || !hasSteps)
        return ExitFailure;
    return ExitSuccess;
}
