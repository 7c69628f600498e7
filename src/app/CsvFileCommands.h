#pragma once

#include <QString>

struct AppSettings;
class DocumentSession;
class ResourceModule;
class ShellPrompt;
class ShellServices;
class QWidget;

// File > Import CSV... and Export CSV...: steps from a spreadsheet's or a script's CSV file into the
// open document through the worksheet's change report, and the document's steps out to a CSV file
// for one channel or all of them (a column group each), as the file dialog's type says.
class CsvFileCommands {
public:
    // Command identifiers.
    enum Command { IdImportCsv = 32960, IdExportCsv = 32961 };
    // Files larger than this are no spreadsheet of steps (5 x 1024 rows take well under 1 MB).
    static constexpr qint64 kMaxImportBytes = 16 * 1024 * 1024;

    CsvFileCommands(DocumentSession& documents, const AppSettings& settings, ShellPrompt& prompt,
                    ShellServices& services, const ResourceModule& module, QWidget* window);

    void importFile();
    void exportFile();
    // The text of a CSV file, decoded as UTF-8 or, when it is not, as Latin-1; a null text after a
    // message when it cannot be read.
    QString readFile(const QString& path);

private:
    QString folder() const;

    DocumentSession& documents_;
    const AppSettings& settings_;
    ShellPrompt& prompt_;
    ShellServices& services_;
    const ResourceModule& module_;
    QWidget* window_;
};
