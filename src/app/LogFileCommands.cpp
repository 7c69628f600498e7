#include "app/LogFileCommands.h"

#include "app/ShellPrompt.h"
#include "app/ShellServices.h"
#include "model/AppSettings.h"
#include "run/LogFileReader.h"
#include "ui/ResourceModule.h"
#include "views/CLogViewer.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

// Open Log: its dialog's title and filter, the note on a last line cut short, "All Files (*.*)".
constexpr int kOpenLogTitle = 890;
constexpr int kLogFilter = 891;
constexpr int kIncompleteLineText = 867;
constexpr int kAllFilesFilter = 61442;

// A filter text "Name (*.a *.b)" as the file dialogs take it.
FileFilter filterOf(const QString& text)
{
    const qsizetype open = text.lastIndexOf(QLatin1Char('('));
    const qsizetype close = text.lastIndexOf(QLatin1Char(')'));
    QStringList patterns;
    if (open >= 0 && close > open)
        patterns = text.mid(open + 1, close - open - 1)
                       .split(QRegularExpression(QStringLiteral("[ ;]+")), Qt::SkipEmptyParts);
    return FileFilter{text, patterns};
}

} // namespace

LogFileCommands::LogFileCommands(const AppSettings& settings, ShellPrompt& prompt, ShellServices& services,
                                 const ResourceModule& module, const TemplateLoader& templates,
                                 QWidget* window)
    : settings_(settings), prompt_(prompt), services_(services), module_(module), templates_(templates),
      window_(window)
{
}

bool LogFileCommands::open(const QString& path)
{
    const LogFileReader::Result result = LogFileReader::read(path);
    if (!result.data) {
        prompt_.showMessage(result.problem.message(module_));
        return false;
    }
    const bool incomplete = !result.data->incompleteFile.isEmpty();
    const QString incompleteName = QFileInfo(result.data->incompleteFile).fileName();
    CLogViewer::Context context{
        templates_,
        [this](QWidget* parent, const QString& title, const QStringList& filters, const QString& proposed) {
            FileRequest request;
            request.title = title;
            request.folder = QFileInfo(proposed).absolutePath();
            request.proposedName = QFileInfo(proposed).fileName();
            for (const QString& filter : filters)
                request.filters.push_back(filterOf(filter));
            request.defaultSuffix = QFileInfo(proposed).suffix();
            return services_.saveFileName(parent, request);
        },
        [this](QDialog& dialog) { return services_.execDialog(dialog); }};
    auto* viewer = new CLogViewer(context, std::move(*result.data), window_);
    viewer->setWindowIcon(window_->windowIcon());
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    if (incomplete)
        prompt_.showMessage(module_.string(kIncompleteLineText).arg(incompleteName));
    return true;
}

void LogFileCommands::openWithDialog()
{
    FileRequest request;
    request.title = module_.string(kOpenLogTitle);
    request.folder = settings_.Folder;
    request.filters = {filterOf(module_.string(kLogFilter)), filterOf(module_.string(kAllFilesFilter))};
    const QString path = services_.openFileName(window_, request);
    if (!path.isEmpty())
        open(path);
}
