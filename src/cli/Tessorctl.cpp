#include "cli/Tessorctl.h"

#include "cli/CliCommand.h"
#include "cli/CliContext.h"

#include <QTextStream>
#include <memory>

namespace {

const CliOption* findOption(const QString& name)
{
    for (const CliOption& option : cliOptions()) {
        if (name == QLatin1String(option.name))
            return &option;
    }
    return nullptr;
}

const CliCommand* findCommand(const QString& name)
{
    for (const CliCommand& command : cliCommands()) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

bool isHelp(const QString& argument)
{
    return argument == QLatin1String("--help") || argument == QLatin1String("-h");
}

// "COMMAND --help" anywhere among the command's arguments before "--".
bool asksForHelp(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--"))
            return false;
        if (isHelp(argument))
            return true;
    }
    return false;
}

struct PendingOption {
    const CliOption* option;
    QString value;
};

} // namespace

int Tessorctl::run(const QStringList& arguments)
{
    if (arguments.size() == 1 && (isHelp(arguments[0]) || arguments[0] == QLatin1String("help"))) {
        printUsage(out_);
        return ExitSuccess;
    }
    if (arguments.size() == 1 && arguments[0] == QLatin1String("--version")) {
        out_ << "tessorctl (Tessor) " << TESSOR_VERSION << Qt::endl;
        return ExitSuccess;
    }

    // Like the program, tessorctl takes nothing further without its resource module.
    auto context = std::make_unique<CliContext>(out_, err_);
    if (!context->resources.loadFromProgramFolder()) {
        err_ << ResourceModule::moduleErrorText << Qt::endl;
        return ExitFailure;
    }

    QStringList rest;
    if (!applyCommonOptions(*context, arguments, rest))
        return ExitUsage;
    if (rest.isEmpty() || rest.first() == QLatin1String("--"))
        return usageError(*context, QStringLiteral("no command given"));
    const QString name = rest.takeFirst();
    const CliCommand* command = findCommand(name);
    if (!command) {
        if (name.startsWith(QLatin1Char('-')))
            return usageError(*context, QStringLiteral("unknown option '%1'").arg(name));
        return usageError(*context, QStringLiteral("unknown command '%1'").arg(name));
    }
    context->command = command;
    if (asksForHelp(rest)) {
        printCommandHelp(out_, *command);
        return ExitSuccess;
    }
    return command->run(*context, rest);
}

bool Tessorctl::applyCommonOptions(CliContext& context, const QStringList& arguments, QStringList& rest)
{
    // The common options may stand anywhere before "--"; everything else belongs to the command.
    std::vector<PendingOption> options;
    bool optionsEnded = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
            rest << argument;
            continue;
        }
        const CliOption* option = optionsEnded ? nullptr : findOption(argument);
        if (!option) {
            rest << argument;
            continue;
        }
        QString value;
        if (option->valueName) {
            if (i + 1 >= arguments.size()) {
                usageError(context, QStringLiteral("%1 needs %2").arg(option->name, option->valueName));
                return false;
            }
            value = arguments[++i];
        }
        options.push_back({option, value});
    }

    context.profile.load(context.settings);
    for (const PendingOption& pending : options) {
        if (!pending.option->apply(context, pending.value)) {
            usageHint(context);
            return false;
        }
    }
    // Options change stored keys; the values derived from them follow as they would at start.
    context.settings.applyLoadRules();
    return true;
}

void Tessorctl::printUsage(QTextStream& stream) const
{
    stream << "Usage: tessorctl [OPTIONS] COMMAND [ARGUMENTS]\n"
              "       tessorctl COMMAND --help\n"
              "       tessorctl --version\n\nCommands:\n";
    for (const CliCommand& command : cliCommands()) {
        stream << "  " << command.name;
        if (*command.arguments)
            stream << " " << command.arguments;
        stream << "\n      " << command.summary << "\n";
    }
    stream << "\nOptions:\n";
    for (const CliOption& option : cliOptions()) {
        stream << "  " << option.name;
        if (option.valueName)
            stream << " " << option.valueName;
        stream << "\n      " << option.summary << "\n";
    }
    stream
        << "\nThe settings come from " << ProfileStore::defaultPath()
        << ", which tessorctl never writes.\n"
           "Ctrl-C, SIGTERM and SIGHUP stop an instrument command at its next exchange (exit status 130).\n"
           "Exit status: 0 success, 1 a failure reported, 2 a usage error, 3 a UVP/UCP trip (run),\n"
           "130 stopped.\n";
    stream.flush();
}

void Tessorctl::printCommandHelp(QTextStream& stream, const CliCommand& command) const
{
    const QString summary = QString::fromUtf8(command.summary);
    stream << usageLine(command) << "\n\n" << summary.left(1).toUpper() << summary.mid(1) << ".\n";
    if (command.help)
        stream << '\n' << command.help;
    stream << "\nThe common options (--set, --port, --gpib) are in 'tessorctl --help'.\n";
    stream.flush();
}
