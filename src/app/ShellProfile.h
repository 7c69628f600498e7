#pragma once

#include <QRect>
#include <QString>

class RecentFileList;
struct AppSettings;

// The profile keys the shell reads and writes itself: the rectangles of the worksheet ("Grid") and
// graph ("Graph") windows and the recent-file list. The profile is the per-user INI file
// Morvane/TessorEng/Kdrx5ch/Tessor.ini in the configuration folder.
class ShellProfile {
public:
    explicit ShellProfile(QString path) : path_(std::move(path)) {}

    // The profile of the user: $XDG_CONFIG_HOME (or ~/.config)/Morvane/TessorEng/Kdrx5ch/Tessor.ini.
    static QString defaultPath();
    const QString& path() const { return path_; }

    // A window rectangle from the keys Left, Top, Right and Bottom of the section (defaults 0, 0,
    // 500, 500): the top-left corner and the size Right - Left by Bottom - Top.
    QRect readRect(const QString& section) const;
    void writeRect(const QString& section, const QRect& rect);

    // The application keys: the main window rectangle, bPos and bFile.
    void readApplicationKeys(AppSettings& settings) const;
    void writeApplicationKeys(const AppSettings& settings);

    void readRecentFiles(RecentFileList& list) const;
    void writeRecentFiles(const RecentFileList& list);

private:
    QString path_;
};
