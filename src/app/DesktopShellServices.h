#pragma once

#include "app/ShellServices.h"

// The desktop's file dialogs, its viewer (through the desktop services) and QDialog::exec.
class DesktopShellServices : public ShellServices {
public:
    QString openFileName(QWidget* parent, const FileRequest& request) override;
    QString saveFileName(QWidget* parent, const FileRequest& request) override;
    bool openWithDesktop(const QString& path) override;
    int execDialog(QDialog& dialog) override;

    // The name filters of a request as the file dialog takes them: the shown text stays exactly as
    // given, followed by the patterns the dialog matches with.
    static QStringList nameFilters(const FileRequest& request);
};
