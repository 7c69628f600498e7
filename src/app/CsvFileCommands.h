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
    CsvFileCommands(DocumentSession& documents, const AppSettings& settings, ShellPrompt& prompt,
                    ShellServices& services, const ResourceModule& module, QWidget* window);

    void importFile();
    void exportFile();

private:
    QString folder() const;

    DocumentSession& documents_;
    const AppSettings& settings_;
    ShellPrompt& prompt_;
    ShellServices& services_;
    const ResourceModule& module_;
    QWidget* window_;
};
