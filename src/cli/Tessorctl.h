#pragma once

#include <QStringList>

class QTextStream;

// The command line of tessorctl: tessorctl [OPTIONS] COMMAND [ARGUMENTS]. Loads the resource
// module and the user's profile, applies the common options and runs the command; returns the
// process exit code.
class Tessorctl {
public:
    Tessorctl(QTextStream& out, QTextStream& err) : out_(out), err_(err) {}

    // arguments without the program name.
    int run(const QStringList& arguments);
    void printUsage(QTextStream& stream) const;

private:
    QTextStream& out_;
    QTextStream& err_;
};
