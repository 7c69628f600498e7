#include "app/CsvFileCommands.h"

#include "app/DocumentSession.h"
#include "app/ShellPrompt.h"
#include "app/ShellServices.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/CsvExport.h"
#include "ui/ResourceModule.h"
#include "views/CGridView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>

namespace {

// String-table texts.
enum Text {
    CsvFilterText = 810,     // "CSV File"
    ImportTitleText = 811,   // "Import CSV"
    ExportTitleText = 812,   // "Export CSV"
    AllChannelsText = 813,   // "CSV File, every channel"
    OneChannelText = 814,    // "CSV File, channel %1 only"
    CannotReadText = 815,    // "The file %1 cannot be imported: %2"
    NotAFileText = 816,      // "it is not a regular file."
    TooLargeText = 817,      // "it is larger than %1 MB."
    CannotWriteText = 818,   // "The file %1 could not be written: %2"
    NoDataText = 819,        // "There is no data to save."
    AllFilesText = 61442,    // the framework's "All Files (*.*)"
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
    request.filters.push_back(FileFilter{module_.string(CsvFilterText),
                                         {QStringLiteral("*.csv"), QStringLiteral("*.txt"), QStringLiteral("*.tsv")}});
    request.filters.push_back(FileFilter{module_.string(AllFilesText), {QStringLiteral("*")}});
    const QString path = services_.openFileName(window_, request);
    if (path.isEmpty())
        return;
    const QString text = readFile(path);
    if (text.isNull())
        return;
    // A file is inserted where Paste would insert, or after the last step when the cursor is below it.
    const int count = document->current().count;
    const int line = std::clamp(grid->pasteLine(), 1, count + 1);
    grid->insertColumns(text, line, QFileInfo(path).fileName());
}

QString CsvFileCommands::readFile(const QString& path)
{
    const QFileInfo info(path);
    const auto refuse = [&](const QString& reason) {
        prompt_.showMessage(module_.string(CannotReadText).arg(info.fileName(), reason));
        return QString();
    };
    // A pipe or a device would never end (or never start) giving a table of steps.
    if (!info.isFile())
        return refuse(module_.string(NotAFileText));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    const QByteArray bytes = file.read(kMaxImportBytes + 1);
    if (bytes.size() > kMaxImportBytes)
        return refuse(module_.string(TooLargeText).arg(kMaxImportBytes / (1024 * 1024)));
    if (file.error() != QFileDevice::NoError)
        return refuse(file.errorString());
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.isNull())
        text = QString(QLatin1String(""));
    return text;
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
    // The old file stays whole until the new one is complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        prompt_.showMessage(module_.string(CannotWriteText).arg(QFileInfo(path).fileName(), file.errorString()));
}
