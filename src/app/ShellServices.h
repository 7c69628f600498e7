#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class QDialog;
class QWidget;

// A file-type filter of the file dialogs: the text shown and the patterns it matches.
struct FileFilter {
    QString name;         // as shown, e.g. "Tessor Text File (*.tsr; *.txt)"
    QStringList patterns; // e.g. "*.tsr", "*.txt"
};

// What a file dialog is asked for.
struct FileRequest {
    QString title;
    QString folder;
    QString proposedName; // Save As only
    std::vector<FileFilter> filters;
    QString defaultSuffix; // added when the user types a name without extension ("tsr")
    // When set, the index of the filter the user chose when the dialog closed.
    int* selectedFilter = nullptr;
};

// The desktop services the frame uses: file dialogs, the desktop's viewer and modal dialogs. The
// program uses the real ones; tests answer them without anything modal.
class ShellServices {
public:
    virtual ~ShellServices() = default;
    // The chosen file, or an empty text when the dialog was cancelled.
    virtual QString openFileName(QWidget* parent, const FileRequest& request) = 0;
    virtual QString saveFileName(QWidget* parent, const FileRequest& request) = 0;
    // Opens a file with the desktop's viewer for its type; false when that failed.
    virtual bool openWithDesktop(const QString& path) = 0;
    // Runs a dialog modally and returns its result code.
    virtual int execDialog(QDialog& dialog) = 0;
};
