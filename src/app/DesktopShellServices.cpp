#include "app/DesktopShellServices.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QUrl>
#include <algorithm>

QStringList DesktopShellServices::nameFilters(const FileRequest& request)
{
    // The dialog shows what precedes the last parenthesis (HideNameFilterDetails) and matches with
    // the space-separated patterns inside it, so "Tessor Text File (*.tsr; *.txt)" keeps its text.
    QStringList filters;
    for (const FileFilter& filter : request.filters)
        filters << filter.name + QStringLiteral(" (") + filter.patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    return filters;
}

namespace {

QString runFileDialog(QWidget* parent, const FileRequest& request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.title, request.folder);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = DesktopShellServices::nameFilters(request);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    if (request.selectedFilter)
        *request.selectedFilter = std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString DesktopShellServices::openFileName(QWidget* parent, const FileRequest& request)
{
    return runFileDialog(parent, request, QFileDialog::AcceptOpen);
}

QString DesktopShellServices::saveFileName(QWidget* parent, const FileRequest& request)
{
    return runFileDialog(parent, request, QFileDialog::AcceptSave);
}

bool DesktopShellServices::openWithDesktop(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

int DesktopShellServices::execDialog(QDialog& dialog)
{
    return dialog.exec();
}
