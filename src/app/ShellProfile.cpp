#include "app/ShellProfile.h"

#include "app/RecentFileList.h"
#include "model/AppSettings.h"

#include <QSettings>
#include <QStandardPaths>

QString ShellProfile::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Morvane/TessorEng/Kdrx5ch/Tessor.ini");
}

QRect ShellProfile::readRect(const QString& section) const
{
    QSettings profile(path_, QSettings::IniFormat);
    profile.beginGroup(section);
    const int left = profile.value(QStringLiteral("Left"), 0).toInt();
    const int top = profile.value(QStringLiteral("Top"), 0).toInt();
    const int right = profile.value(QStringLiteral("Right"), 500).toInt();
    const int bottom = profile.value(QStringLiteral("Bottom"), 500).toInt();
    return QRect(QPoint(left, top), QSize(right - left, bottom - top));
}

void ShellProfile::writeRect(const QString& section, const QRect& rect)
{
    QSettings profile(path_, QSettings::IniFormat);
    profile.beginGroup(section);
    profile.setValue(QStringLiteral("Left"), rect.left());
    profile.setValue(QStringLiteral("Top"), rect.top());
    profile.setValue(QStringLiteral("Right"), rect.left() + rect.width());
    profile.setValue(QStringLiteral("Bottom"), rect.top() + rect.height());
}

void ShellProfile::readRecentFiles(RecentFileList& list) const
{
    QSettings profile(path_, QSettings::IniFormat);
    list.read(profile);
}

void ShellProfile::writeRecentFiles(const RecentFileList& list)
{
    QSettings profile(path_, QSettings::IniFormat);
    list.write(profile);
}

void ShellProfile::readApplicationKeys(AppSettings& settings) const
{
    QSettings profile(path_, QSettings::IniFormat);
    settings.Top = profile.value(QStringLiteral("Top"), 0).toInt();
    settings.Left = profile.value(QStringLiteral("Left"), 0).toInt();
    settings.Bottom = profile.value(QStringLiteral("Bottom"), 500).toInt();
    settings.Right = profile.value(QStringLiteral("Right"), 500).toInt();
    settings.bPos = profile.value(QStringLiteral("bPos"), 0).toInt();
    settings.bFile = profile.value(QStringLiteral("bFile"), 0).toInt();
}

void ShellProfile::writeApplicationKeys(const AppSettings& settings)
{
    QSettings profile(path_, QSettings::IniFormat);
    profile.setValue(QStringLiteral("Top"), settings.Top);
    profile.setValue(QStringLiteral("Left"), settings.Left);
    profile.setValue(QStringLiteral("Bottom"), settings.Bottom);
    profile.setValue(QStringLiteral("Right"), settings.Right);
    profile.setValue(QStringLiteral("bPos"), settings.bPos);
    profile.setValue(QStringLiteral("bFile"), settings.bFile);
}
