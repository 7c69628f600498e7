#include "app/CsvFileCommands.h"

#include "app/DocumentSession.h"
#include "app/ShellPrompt.h"
#include "app/ShellServices.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/CsvExport.h"
#include "model/CsvFile.h"
#include "ui/ResourceModule.h"
#include "views/CGridView.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

// String-table texts.
enum Text {
    CsvFilterText = 810,   // "CSV File"
    ImportTitleText = 811, // "Import CSV"
    ExportTitleText = 812, // "Export CSV"
    AllChannelsText = 813, // "CSV File, every channel"
    OneChannelText = 814,  // "CSV File, channel %1 only"
    NoDataText = 819,      // "There is no data to save."
    AllFilesText = 61442,  // the framework's "All Files (*.*)"
};

} // namespace

CsvFileCommands::CsvFileCommands(DocumentSession& documents, const AppSettings& settings, ShellPrompt& prompt,
                                 ShellServices& services, const ResourceModule& module, QWidget* window)
    : documents_(documents), settings_(settings), prompt_(prompt), services_(services), module_(module),
      window_(window)
{
}

QString CsvFileCommands::folder() const
{
    return documents_.path().isEmpty() ? QDir::currentPath() : QFileInfo(documents_.path()).absolutePath();
}

void CsvFileCommands::importFile()
{
    CGridView* grid = documents_.gridView();
    CMainDoc* document = documents_.document();
    if (!grid || !document)
        return;
    FileRequest request;
    request.title = module_.string(ImportTitleText);
    request.folder = folder();
    request.filters.push_back(
        FileFilter{module_.string(CsvFilterText),
                   {QStringLiteral("*.csv"), QStringLiteral("*.txt"), QStringLiteral("*.tsv")}});
    request.filters.push_back(FileFilter{module_.string(AllFilesText), {QStringLiteral("*")}});
    const QString path = services_.openFileName(window_, request);
    if (path.isEmpty())
        return;
    QString failure;
    const QString text = CsvFile::read(path, module_, failure);
    if (text.isNull()) {
        prompt_.showMessage(failure);
        return;
    }
    // A file is inserted where Paste would insert, or after the last step when the cursor is below it.
    const int count = document->current().count;
    const int line = std::clamp(grid->pasteLine(), 1, count + 1);
    grid->insertColumns(text, line, QFileInfo(path).fileName());
}

void CsvFileCommands::exportFile()
{
    CMainDoc* document = documents_.document();
    if (!document)
        return;
    const int channel = document->currentChannel();
    FileRequest request;
    request.title = module_.string(ExportTitleText);
    request.folder = folder();
    const QString base =
        documents_.path().isEmpty() ? documents_.title() : QFileInfo(documents_.path()).completeBaseName();
    request.proposedName = base + QStringLiteral(".csv");
    request.filters.push_back(FileFilter{module_.string(AllChannelsText), {QStringLiteral("*.csv")}});
    request.filters.push_back(
        FileFilter{module_.string(OneChannelText).arg(channel + 1), {QStringLiteral("*.csv")}});
    request.defaultSuffix = QStringLiteral("csv");
    int chosenFilter = 0;
    request.selectedFilter = &chosenFilter;
    const QString path = services_.saveFileName(window_, request);
    if (path.isEmpty())
        return;
    const bool oneChannel = chosenFilter == 1;
    if (oneChannel ? document->channel(channel).count <= 0 : !document->hasAnySteps()) {
        prompt_.showMessage(module_.string(NoDataText));
        return;
    }
    const QString text = oneChannel ? CsvExport::channelText(*document, channel, settings_)
                                    : CsvExport::allChannelsText(*document, settings_);
    QString failure;
    if (!CsvFile::write(path, text, module_, failure))
        prompt_.showMessage(failure);
}
