#include "run/UnattendedRun.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace {

void tell(const QString& text)
{
    qWarning().noquote() << QStringLiteral("Tessor: ") + text;
}

} // namespace

void UnattendedRun::logFinished(const QString& path, bool ok)
{
    if (ok && rescued_)
        tell(QStringLiteral("the readings of the run were written to %1").arg(path));
}

void UnattendedRun::logNotCreated(const QString& path, const QString& reason)
{
    tell(QStringLiteral("the log file %1 could not be created: %2").arg(path, reason));
}

void UnattendedRun::logWriteFailed(const QString& path, const QString& reason)
{
    tell(QStringLiteral("a line could not be written to the log file %1: %2").arg(path, reason));
}

QString UnattendedRun::logRescuePath(const QString& path, const QString& reason)
{
    tell(QStringLiteral("the readings of the run could not be written to %1: %2").arg(path, reason));
    if (rescueFolders_.isEmpty()) {
        tell(QStringLiteral("the readings of the run were discarded"));
        return QString();
    }
    rescued_ = true;
    return QDir(rescueFolders_.takeFirst()).filePath(QFileInfo(path).fileName());
}
