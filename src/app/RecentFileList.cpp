#include "app/RecentFileList.h"

#include <QSettings>

namespace {

// Longest path shown in the menu before the middle is elided.
constexpr int kMaxShownLength = 60;

QString key(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}

} // namespace

void RecentFileList::add(const QString& path)
{
    if (path.isEmpty())
        return;
    files_.removeAll(path);
    files_.prepend(path);
    while (files_.size() > kSize)
        files_.removeLast();
}

void RecentFileList::remove(int index)
{
    if (index >= 0 && index < files_.size())
        files_.removeAt(index);
}

QString RecentFileList::menuText(int index, const QString& homeFolder) const
{
    QString shown = file(index);
    if (!homeFolder.isEmpty() && shown.startsWith(homeFolder + QLatin1Char('/')))
        shown = QLatin1Char('~') + shown.mid(homeFolder.size());
    if (shown.size() > kMaxShownLength) {
        const int keep = (kMaxShownLength - 3) / 2;
        shown = shown.left(keep) + QStringLiteral("...") + shown.right(keep);
    }
    // A literal ampersand in a path must not become a mnemonic.
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

void RecentFileList::read(QSettings& profile)
{
    files_.clear();
    profile.beginGroup(QLatin1String(kSection));
    for (int i = 0; i < kSize; ++i) {
        const QString path = profile.value(key(i)).toString();
        if (!path.isEmpty() && !files_.contains(path))
            files_ << path;
    }
    profile.endGroup();
}

void RecentFileList::write(QSettings& profile) const
{
    profile.beginGroup(QLatin1String(kSection));
    for (int i = 0; i < kSize; ++i) {
        if (i < files_.size())
            profile.setValue(key(i), files_.at(i));
        else
            profile.remove(key(i));
    }
    profile.endGroup();
}
