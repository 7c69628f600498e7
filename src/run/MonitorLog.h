#pragma once

#include <QByteArray>
#include <QChar>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <vector>

struct AppSettings;

// The monitoring log of one run. Line by line (FileMem 1) every stored line reaches the disk
// before store() returns, so a crash or power cut loses at most the line being written; the file
// may be cut into numbered files at a fixed period. In memory (FileMem 0) the lines are kept whole,
// in order, and written with the header by finish(); they stay in memory until they are written
// somewhere or discarded. A log never replaces a file: a name that is taken gets "-2", "-3" ...
// after the start time.
class MonitorLog {
public:
    struct Options {
        QString folder;
        QString extension; // without the dot
        QChar separator = QLatin1Char('\t');
        int passTime = 0;
        bool inMemory = false;
        bool cut = false; // only in file mode, and only with a period above 0
        qint64 cutPeriodSeconds = 0;
    };
    // Folder (the default folder when empty), Ext, Txt, PassTime, FileMem, bCut and the cut period
    // from the settings.
    static Options optionsFrom(const AppSettings& settings);

    enum class CutResult { NotDue, Cut, Failed };

    explicit MonitorLog(Options options);
    ~MonitorLog();
    MonitorLog(const MonitorLog&) = delete;
    MonitorLog& operator=(const MonitorLog&) = delete;

    // Names the log prefix + start time. In file mode the file is created and the header written;
    // in memory mode the file is created and removed again, so that a folder or a name that cannot
    // take the log is known before the run rather than after it. False when it cannot be created.
    bool open(const QString& prefix, const QDateTime& start);

    // The name shown in the Run dialog's caption: the name with cut index and extension in file
    // mode, the bare name in memory mode.
    QString displayedName() const { return displayedName_; }
    // The file written now (file mode), to be written (memory mode), or last tried.
    QString path() const { return path_; }
    int cutIndex() const { return cutIndex_; }
    const Options& options() const { return options_; }

    // In file mode with cutting on: when t (seconds from the run's start) is past the next cut
    // time, closes the file and starts the next numbered one, without a header. Failed when it
    // cannot be created; nothing is written after that.
    CutResult cutIfDue(double seconds);
    // Stores one line (ending with its line feed).
    void store(const QString& line);
    // True in memory mode while no line is kept.
    bool isEmpty() const;
    // Lines kept so far (memory mode).
    const std::vector<QByteArray>& storedLines() const { return lines_; }
    // Memory mode: creates the file and writes the header and every line; file mode: closes the
    // file. False when the file could not be created or a write failed at any time; in memory mode
    // the lines are then kept for writeTo().
    bool finish();
    // Memory mode: writes the header and the kept lines to a new file at path (or at its name with
    // "-2", "-3" ... before the extension when that is taken). False, the lines kept, when it fails.
    bool writeTo(const QString& path);
    // Closes the file without writing anything more; the lines kept in memory are dropped.
    void discard();
    // A write to the file failed (disk full, removed medium).
    bool writeFailed() const { return writeFailed_; }
    // The last file could not be created (open, a cut, or the memory mode's finish).
    bool createFailed() const { return createFailed_; }
    // Why the first creation or write failed, as the system says it ("No space left on device"); in
    // memory mode why the last attempt to write the file failed.
    QString errorText() const { return errorText_; }
    // True once, after the first failed write, so that the failure is told when it happens.
    bool takeWriteFailure();

private:
    // Creates a file that did not exist: stem + tail, or stem + "-N" + tail, N from suffix up to
    // lastSuffix while the name is taken. suffix (1 for none) becomes the one used; path_ is the
    // file, or the last name tried.
    bool createNew(const QString& stem, const QString& tail, int& suffix, int lastSuffix);
    bool writeLines(const QString& stem, const QString& tail, int firstSuffix);
    void writeDurably(const QByteArray& bytes);
    void noteCreateFailure();
    void noteWriteFailure();

    Options options_;
    QString name_;
    QString stem_; // folder + name
    int suffix_ = 1;
    QString path_;
    QString displayedName_;
    int cutIndex_ = 0;
    qint64 nextCutSeconds_ = 0;
    QFile file_;
    std::vector<QByteArray> lines_;
    bool writeFailed_ = false;
    bool writeFailureTaken_ = false;
    bool createFailed_ = false;
    QString errorText_;
};
