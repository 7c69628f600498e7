#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliDocument.h"
#include "model/CMainDoc.h"

#include <QTextStream>
#include <memory>

// tessorctl resave IN OUT [--force]: opens IN as the program's Open does and saves it to OUT as its
// Save does; the messages go to stderr. Exit 0 only when OUT was written.
int runResaveCommand(CliContext& context, const QStringList& arguments)
{
    CommandArguments parsed;
    if (!splitCommandArguments(context, arguments, {QStringLiteral("--force")}, parsed))
        return ExitUsage;
    if (parsed.positional.size() != 2)
        return usageError(context, QStringLiteral("resave needs IN and OUT"));
    const QString out = parsed.positional[1];
    int exitCode = ExitSuccess;
    const auto document =
        CliDocument::open(context, parsed.positional[0], parsed.flags.contains(QStringLiteral("--force")),
                          QStringLiteral("%1 was not written").arg(out), exitCode);
    if (!document)
        return exitCode;
    // A document without steps writes nothing: for a script that is no file saved.
    return document->save(out) == CMainDoc::SaveResult::Written ? ExitSuccess : ExitFailure;
}
