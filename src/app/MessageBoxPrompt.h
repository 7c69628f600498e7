#pragma once

#include "app/ShellPrompt.h"

#include <QPointer>
#include <QWidget>

// The program's prompt: message boxes captioned with the application title over the main window,
// and the wait cursor.
class MessageBoxPrompt : public ShellPrompt {
public:
    MessageBoxPrompt();
    ~MessageBoxPrompt() override;

    void setParentWindow(QWidget* window) override { parent_ = window; }

    void showMessage(const QString& text, Icon icon = Icon::None) override;
    bool askYesNo(const QString& text, Icon icon = Icon::Information) override;
    Answer askYesNoCancel(const QString& text) override;
    void setBusy(bool busy) override;

private:
    int run(int icon, const QString& text, int buttons, int defaultButton);

    QPointer<QWidget> parent_;
    QString title_;
    int busyDepth_ = 0;
};
