#pragma once

#include <QString>
#include <QStringList>
#include <vector>

struct CliContext;

// Exit codes of tessorctl.
// run also ends with 3 when a protection limit stopped a channel; every command ends with 130 when
// a stop signal cut it short.
enum CliExit { ExitSuccess = 0, ExitFailure = 1, ExitUsage = 2, ExitTripped = 3, ExitInterrupted = 130 };

// One subcommand: its name, the arguments it takes (for the usage text), what it does, and the
// function that runs it with the arguments after its name; help, when given, explains its own
// options for "tessorctl COMMAND --help". A command adds a file with its function and one line in
// the table (CliCommandTable.cpp).
struct CliCommand {
    const char* name;
    const char* arguments;
    const char* summary;
    int (*run)(CliContext& context, const QStringList& arguments);
    const char* help = nullptr;
};

// One option common to every command, applied in command-line order after the profile loaded.
// apply returns false after writing its complaint to context.err (a usage error).
struct CliOption {
    const char* name;
    const char* valueName; // nullptr for an option without a value
    const char* summary;
    bool (*apply)(CliContext& context, const QString& value);
};

const std::vector<CliCommand>& cliCommands();
const std::vector<CliOption>& cliOptions();

// A command's arguments: the flags it knows (each at most once) and its positional arguments, in
// order. After "--" every argument is positional. An unknown option is a usage error: the
// complaint goes to context.err and the result is false.
struct CommandArguments {
    QStringList flags;
    QStringList positional;
};
bool splitCommandArguments(CliContext& context, const QStringList& arguments, const QStringList& knownFlags,
                           CommandArguments& result);

// A usage error of the command being run (or of the command line when none is): "tessorctl: "
// and what was wrong, the command's one-line usage and where the help is, on context.err.
// Returns ExitUsage.
int usageError(CliContext& context, const QString& what);
// The usage line and where the help is, after a complaint already written.
int usageHint(CliContext& context);
// "Usage: tessorctl [OPTIONS] NAME ARGUMENTS".
QString usageLine(const CliCommand& command);

// The commands and options.
int runShowCommand(CliContext& context, const QStringList& arguments);
int runResaveCommand(CliContext& context, const QStringList& arguments);
int runImportCommand(CliContext& context, const QStringList& arguments);
int runExportCommand(CliContext& context, const QStringList& arguments);
int runWriteCommand(CliContext& context, const QStringList& arguments);
int runReadCommand(CliContext& context, const QStringList& arguments);
int runRangesCommand(CliContext& context, const QStringList& arguments);
int runIdnCommand(CliContext& context, const QStringList& arguments);
int runRunCommand(CliContext& context, const QStringList& arguments);
int runLogCommand(CliContext& context, const QStringList& arguments);
// tessorctl log --png draws with the graphics library: main starts a QGuiApplication for it.
bool logCommandNeedsGui(const QStringList& arguments);
bool applySetOption(CliContext& context, const QString& value);
bool applyPortOption(CliContext& context, const QString& value);
bool applyGpibOption(CliContext& context, const QString& value);
