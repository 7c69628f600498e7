#pragma once

#include <QStringList>

class QTextStream;
struct CliCommand;
struct CliContext;

// The command line of tessorctl: tessorctl [OPTIONS] COMMAND [ARGUMENTS]. Loads the resource
// module and the user's profile, applies the common options and runs the command; returns the
// process exit code. "--help" and "--version" alone, and "COMMAND --help", print and end.
class Tessorctl {
public:
    Tessorctl(QTextStream& out, QTextStream& err) : out_(out), err_(err) {}

    // arguments without the program name.
    int run(const QStringList& arguments);
    // Loads the profile into the context, applies the common options among the arguments (anywhere
    // before "--") in their order and derives the settings that depend on them, as the dialogs
    // and the program's start do. rest receives the other arguments. False after a usage error.
    static bool applyCommonOptions(CliContext& context, const QStringList& arguments, QStringList& rest);
    void printUsage(QTextStream& stream) const;
    void printCommandHelp(QTextStream& stream, const CliCommand& command) const;

private:
    QTextStream& out_;
    QTextStream& err_;
};
