#include "ui/InstallLayout.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString firstExisting(const QString& programFolder, const char* installedFolder, const QString& fileName)
{
    const QDir program(programFolder);
    const QString beside = QDir::cleanPath(program.filePath(fileName));
    if (QFileInfo(beside).isFile())
        return beside;
    const QString installed =
        QDir::cleanPath(program.filePath(QLatin1String(installedFolder) + QLatin1Char('/') + fileName));
    return QFileInfo(installed).isFile() ? installed : beside;
}

} // namespace

QString InstallLayout::dataFile(const QString& programFolder, const QString& fileName)
{
    return firstExisting(programFolder, dataFolder, fileName);
}

QString InstallLayout::manualFile(const QString& programFolder, const QString& fileName)
{
    return firstExisting(programFolder, manualFolder, fileName);
}
