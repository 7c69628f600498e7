#include "run/MonitorLog.h"

#include "model/AppSettings.h"
#include "model/ProfileStore.h"
#include "run/RunFormats.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

// How far "-2", "-3" ... go before a taken name counts as a failure.
constexpr int kLastSuffix = 999;

QString suffixText(int suffix)
{
    return suffix > 1 ? QStringLiteral("-%1").arg(suffix) : QString();
}

} // namespace

MonitorLog::Options MonitorLog::optionsFrom(const AppSettings& settings)
{
    Options options;
    // An empty folder would put the logs at the top of the file system.
    options.folder = settings.Folder.isEmpty() ? ProfileStore::defaultFolder() : settings.Folder;
    options.extension = settings.Ext;
    options.separator = RunFormats::separator(settings.Txt);
    options.passTime = settings.PassTime;
    options.inMemory = settings.FileMem == 0;
    options.cutPeriodSeconds = (static_cast<qint64>(settings.CutHour) * 60 + settings.CutMin) * 60;
    // A period of 0 would start a new file for every line.
    options.cut = settings.bCut == 1 && !options.inMemory && options.cutPeriodSeconds > 0;
    return options;
}

MonitorLog::MonitorLog(Options options) : options_(std::move(options)) {}

MonitorLog::~MonitorLog()
{
    file_.close();
}

bool MonitorLog::open(const QString& prefix, const QDateTime& start)
{
    name_ = RunFormats::logName(prefix, start);
    stem_ = RunFormats::logBaseName(options_.folder, name_);
    const QString extension = QLatin1Char('.') + options_.extension;
    cutIndex_ = 0;
    nextCutSeconds_ = options_.cutPeriodSeconds;
    // The cut index follows the date-time directly.
    const QString tail = options_.cut && !options_.inMemory ? QLatin1Char('0') + extension : extension;
    suffix_ = 1;
    if (!createNew(stem_, tail, suffix_, kLastSuffix))
        return false;
    if (options_.inMemory) {
        // Nothing is written during the run: the file was only a trial of folder and name.
        file_.close();
        QFile::remove(path_);
        displayedName_ = name_ + suffixText(suffix_);
        return true;
    }
    displayedName_ = name_ + suffixText(suffix_) + tail;
    writeDurably(RunFormats::headerLine(options_.passTime, options_.separator).toUtf8());
    return true;
}

bool MonitorLog::createNew(const QString& stem, const QString& tail, int& suffix, int lastSuffix)
{
    file_.close();
    for (int n = suffix;; ++n) {
        path_ = stem + suffixText(n) + tail;
        file_.setFileName(path_);
        if (file_.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            suffix = n;
            createFailed_ = false;
            return true;
        }
        const QFileInfo taken(path_);
        if (n >= lastSuffix || !(taken.exists() || taken.isSymLink()))
            break;
    }
    noteCreateFailure();
    return false;
}

void MonitorLog::noteCreateFailure()
{
    createFailed_ = true;
    if (errorText_.isEmpty())
        errorText_ = file_.errorString();
}

void MonitorLog::writeDurably(const QByteArray& bytes)
{
    if (!file_.isOpen())
        return;
    errno = 0;
    if (file_.write(bytes) != bytes.size() || !file_.flush() || ::fdatasync(file_.handle()) != 0)
        noteWriteFailure();
}

void MonitorLog::noteWriteFailure()
{
    // The file's own text is often "Unknown error" for a failed flush; the system's is exact.
    if (!writeFailed_ && errorText_.isEmpty())
        errorText_ = errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : file_.errorString();
    writeFailed_ = true;
}

bool MonitorLog::takeWriteFailure()
{
    if (!writeFailed_ || writeFailureTaken_)
        return false;
    writeFailureTaken_ = true;
    return true;
}

MonitorLog::CutResult MonitorLog::cutIfDue(double seconds)
{
    if (options_.inMemory || !options_.cut || !file_.isOpen() || !(seconds > nextCutSeconds_))
        return CutResult::NotDue;
    file_.close();
    ++cutIndex_;
    nextCutSeconds_ += options_.cutPeriodSeconds;
    const QString tail = QString::number(cutIndex_) + QLatin1Char('.') + options_.extension;
    displayedName_ = name_ + suffixText(suffix_) + tail;
    // The numbered files keep the run's name; one that is taken ends the log rather than be replaced.
    int suffix = suffix_;
    if (!createNew(stem_, tail, suffix, suffix_))
        return CutResult::Failed;
    return CutResult::Cut;
}

void MonitorLog::store(const QString& line)
{
    if (options_.inMemory)
        lines_.push_back(line.toUtf8());
    else
        writeDurably(line.toUtf8());
}

bool MonitorLog::isEmpty() const
{
    return options_.inMemory && lines_.empty();
}

bool MonitorLog::finish()
{
    if (!options_.inMemory) {
        file_.close();
        return !writeFailed_;
    }
    return writeLines(stem_, QLatin1Char('.') + options_.extension, suffix_);
}

bool MonitorLog::writeTo(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString tail = dot > 0 ? name.mid(dot) : QString();
    return writeLines(path.left(path.size() - tail.size()), tail, 1);
}

bool MonitorLog::writeLines(const QString& stem, const QString& tail, int firstSuffix)
{
    // Each attempt is told by its own reason.
    writeFailed_ = false;
    errorText_.clear();
    int suffix = firstSuffix;
    if (!createNew(stem, tail, suffix, kLastSuffix))
        return false;
    const QByteArray header = RunFormats::headerLine(options_.passTime, options_.separator).toUtf8();
    errno = 0;
    bool written = file_.write(header) == header.size();
    for (const QByteArray& line : lines_)
        written = written && file_.write(line) == line.size();
    if (!written)
        noteWriteFailure();
    writeDurably(QByteArray());
    file_.close();
    if (writeFailed_)
        return false;
    lines_.clear();
    return true;
}

void MonitorLog::discard()
{
    file_.close();
    lines_.clear();
}
