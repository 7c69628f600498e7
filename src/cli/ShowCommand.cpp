#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CliDocument.h"
#include "cli/DocumentReport.h"
#include "model/CMainDoc.h"

#include <QTextStream>
#include <memory>

// tessorctl show FILE [--json]: opens FILE as the program's Open does and prints what it holds.
int runShowCommand(CliContext& context, const QStringList& arguments)
{
    CommandArguments parsed;
    if (!splitCommandArguments(context, arguments, {QStringLiteral("--json")}, parsed))
        return ExitUsage;
    if (parsed.positional.isEmpty())
        return usageError(context, QStringLiteral("show needs the FILE to show"));
    if (parsed.positional.size() > 1)
        return usageError(context,
                          QStringLiteral("show takes one FILE, not '%1'").arg(parsed.positional.join(' ')));
    const bool json = parsed.flags.contains(QStringLiteral("--json"));
    // The JSON object carries the messages itself, so stdout stays the one place to read.
    context.prompt.setEcho(!json);

    const QString path = parsed.positional.first();
    auto document = std::make_unique<CMainDoc>(context.settings, context.prompt);
    const bool opened = document->openDocument(path);
    if (!opened && !json)
        CliDocument::reportNotOpened(context, path);
    for (int c = 0; c < kChannelCount; ++c)
        document->recomputeTimes(c, 0);

    if (json)
        context.out << DocumentReport::json(*document, context.settings, opened, context.prompt.messages())
                    << '\n';
    else if (opened)
        context.out << DocumentReport::table(*document, context.settings);
    context.out.flush();
    return opened ? ExitSuccess : ExitFailure;
}
