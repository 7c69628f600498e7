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

struct PendingOption {
    const CliOption* option;
    QString value;
};

} // namespace

int Tessorctl::run(const QStringList& arguments)
{
    // Like the program, tessorctl takes nothing further without its resource module.
    auto context = std::make_unique<CliContext>(out_, err_);
    if (!context->resources.loadFromProgramFolder()) {
        err_ << ResourceModule::moduleErrorText << Qt::endl;
        return ExitFailure;
    }

    if (arguments.size() == 1 &&
        (arguments[0] == QLatin1String("--help") || arguments[0] == QLatin1String("-h") ||
         arguments[0] == QLatin1String("help"))) {
        printUsage(out_);
        return ExitSuccess;
    }

    // The common options may stand anywhere before "--"; everything else belongs to the command.
    std::vector<PendingOption> options;
    QStringList rest;
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
                err_ << "tessorctl: " << option->name << " needs " << option->valueName << Qt::endl;
                return ExitUsage;
            }
            value = arguments[++i];
        }
        options.push_back({option, value});
    }
    if (rest.isEmpty()) {
        printUsage(err_);
        return ExitUsage;
    }
    const CliCommand* command = findCommand(rest.takeFirst());
    if (!command) {
        printUsage(err_);
        return ExitUsage;
    }

    context->profile.load(context->settings);
    for (const PendingOption& pending : options) {
        if (!pending.option->apply(*context, pending.value))
            return ExitUsage;
    }
    // Options change stored keys; the values derived from them follow as they would at start.
    context->settings.applyLoadRules();
    return command->run(*context, rest);
}

void Tessorctl::printUsage(QTextStream& stream) const
{
    stream << "Usage: tessorctl [OPTIONS] COMMAND [ARGUMENTS]\n\nCommands:\n";
    for (const CliCommand& command : cliCommands())
        stream << "  " << command.name << " " << command.arguments << "\n      " << command.summary << "\n";
    stream << "\nOptions:\n";
    for (const CliOption& option : cliOptions()) {
        stream << "  " << option.name;
        if (option.valueName)
            stream << " " << option.valueName;
        stream << "\n      " << option.summary << "\n";
    }
    stream << "\nThe settings come from " << ProfileStore::defaultPath()
           << ", which tessorctl never writes.\n";
    stream.flush();
}
