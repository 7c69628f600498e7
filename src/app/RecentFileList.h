#pragma once

#include <QString>
#include <QStringList>

// The most-recently-used file list: four entries, the newest first (kept in the profile by
// ProfileStore).
class RecentFileList {
public:
    static constexpr int kSize = 4;

    const QStringList& files() const { return files_; }
    int count() const { return static_cast<int>(files_.size()); }
    // The entry's path, or an empty text.
    QString file(int index) const { return files_.value(index); }

    // Puts the file first (moving it up when it is already listed), dropping the oldest past four.
    void add(const QString& path);
    void remove(int index);

    // The menu text of an entry: its number as the mnemonic and the path, with the home folder
    // shortened to "~" and long paths elided in the middle.
    QString menuText(int index, const QString& homeFolder) const;

    // Replaces the list (as read from the profile): empty and repeated entries are dropped, and at
    // most four are kept.
    void setFiles(const QStringList& files);

private:
    QStringList files_;
};
