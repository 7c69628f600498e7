#include "cli/CliCommand.h"
#include "cli/CliContext.h"

#include <QTextStream>

QString usageLine(const CliCommand& command)
{
    QString line = QStringLiteral("Usage: tessorctl [OPTIONS] ") + QLatin1String(command.name);
    if (command.arguments && *command.arguments)
        line += QLatin1Char(' ') + QLatin1String(command.arguments);
    return line;
}

int usageError(CliContext& context, const QString& what)
{
    context.err << "tessorctl: " << what << '\n';
    return usageHint(context);
}

int usageHint(CliContext& context)
{
    if (context.command) {
        context.err << usageLine(*context.command) << '\n'
                    << "See 'tessorctl " << context.command->name << " --help'." << Qt::endl;
    } else {
        context.err << "Usage: tessorctl [OPTIONS] COMMAND [ARGUMENTS]\n"
                    << "See 'tessorctl --help'." << Qt::endl;
    }
    return ExitUsage;
}
