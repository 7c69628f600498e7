#include "app/RecentFileList.h"

namespace {

// Longest path shown in the menu before the middle is elided.
constexpr int kMaxShownLength = 60;

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

void RecentFileList::setFiles(const QStringList& files)
{
    files_.clear();
    for (const QString& path : files) {
        if (!path.isEmpty() && !files_.contains(path) && files_.size() < kSize)
            files_ << path;
    }
}
