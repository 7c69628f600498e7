#pragma once

#include "model/GraphSettings.h"

#include <QString>
#include <QStringList>

struct AppSettings;

// The per-user profile: an INI file with the sections "Config", "Graph", "Grid" and
// "Recent File List" and the application's own keys at the top level. The settings block is
// loaded once at start and saved once at exit; the graph view, the child windows and the
// recent-file list read and write their own parts.
class ProfileStore {
public:
    static constexpr int kRecentFileCount = 4;

    explicit ProfileStore(QString path);

    // $XDG_CONFIG_HOME/Morvane/TessorEng/Kdrx5ch/Tessor.ini (~/.config when the variable is unset).
    static QString defaultPath();
    // Default folder of the monitoring output files: the user's home folder with a trailing "/".
    static QString defaultFolder();
    const QString& path() const { return path_; }

    // Reads every key into the block (a missing key takes its default), then applies the load
    // rules: no file cut without line-by-line writing, the active modes, unit and monitoring
    // timing of the control method, and the KDR-X family.
    void load(AppSettings& settings) const;
    // Writes every key with its stored form; false when the file could not be written.
    bool save(const AppSettings& settings) const;

    GraphSettings loadGraph() const;
    bool saveGraph(const GraphSettings& graph) const;
    // The keys the graph view writes as soon as the user changes them.
    bool saveGraphLineY(int bLineY) const;
    bool saveGraphColor(const QString& key, long rgb) const;

    // Rectangle of the worksheet ("Grid") or graph ("Graph") child window; its corners within the
    // window coordinate limit.
    WindowRect loadWindowRect(const QString& section) const;
    bool saveWindowRect(const QString& section, const WindowRect& rect) const;

    // The recent-file list, most recent first, at most four entries (File1 .. File4).
    QStringList loadRecentFiles() const;
    bool saveRecentFiles(const QStringList& files) const;

private:
    QString path_;
};
