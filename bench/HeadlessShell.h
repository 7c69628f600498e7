#pragma once

#include "app/ShellPrompt.h"
#include "app/ShellServices.h"

#include <QDialog>
#include <cstdio>

// The shell of a bench that runs the program without anyone at it: messages go to stderr, every
// question is answered No, no file dialog or other dialog opens.
class StderrShellPrompt : public ShellPrompt {
public:
    void showMessage(const QString& text, Icon) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    bool askYesNo(const QString&, Icon) override { return false; }
    Answer askYesNoCancel(const QString&) override { return Answer::No; }
    void setBusy(bool) override {}
};

class NoShellServices : public ShellServices {
public:
    QString openFileName(QWidget*, const FileRequest&) override { return QString(); }
    QString saveFileName(QWidget*, const FileRequest&) override { return QString(); }
    bool openWithDesktop(const QString&) override { return false; }
    int execDialog(QDialog&) override { return QDialog::Rejected; }
};
