#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliInstrument.h"
#include "cli/CommandValues.h"

#include <QTextStream>

// tessorctl idn: opens the link, identifies the instrument as every operation does, prints its
// identification reply and closes the link.
int runIdnCommand(CliContext& context, const QStringList& arguments)
{
    CommandValues parsed;
    if (!splitCommandValues(context, arguments, {}, {}, parsed))
        return ExitUsage;
    if (!parsed.positional.isEmpty())
        return usageError(context,
                          QStringLiteral("idn takes no argument '%1'").arg(parsed.positional.first()));
    CliInstrument instrument(context);
    CInstrumentPort& port = instrument.port();
    if (!port.Open()) {
        port.Close();
        return ExitFailure;
    }
    QString identity;
    const int identified = instrument.device().Identify(identity);
    port.Close();
    // What another instrument answered is printed too: it says what is at the other end.
    if (!identity.isEmpty())
        context.out << identity << Qt::endl;
    if (!identified && instrument.stopRequested()) {
        context.err << "tessorctl: stopped while waiting for the instrument's reply." << Qt::endl;
        return ExitInterrupted;
    }
    return identified ? ExitSuccess : ExitFailure;
}
