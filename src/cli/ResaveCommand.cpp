#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "model/CMainDoc.h"

#include <QTextStream>
#include <memory>

// tessorctl resave IN OUT: opens IN as the program's Open does and saves it to OUT as its Save
// does; the messages go to stderr. Exit 0 only when OUT was written.
int runResaveCommand(CliContext& context, const QStringList& arguments)
{
    CommandArguments parsed;
    if (!splitCommandArguments(context, arguments, {}, parsed))
        return ExitUsage;
    if (parsed.positional.size() != 2) {
        context.err << "Usage: tessorctl resave IN OUT" << Qt::endl;
        return ExitUsage;
    }
    auto document = std::make_unique<CMainDoc>(context.settings, context.prompt);
    if (!document->openDocument(parsed.positional[0]))
        return ExitFailure;
    // A document without steps writes nothing: for a script that is no file saved.
    return document->save(parsed.positional[1]) == CMainDoc::SaveResult::Written ? ExitSuccess : ExitFailure;
}
