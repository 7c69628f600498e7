#include "run/MonitorLog.h"

#include "model/AppSettings.h"
#include "run/RunFormats.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

MonitorLog::Options MonitorLog::optionsFrom(const AppSettings& settings)
{
    Options options;
    options.folder = settings.Folder;
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
    baseName_ = RunFormats::logBaseName(options_.folder, name_);
    const QString extension = QLatin1Char('.') + options_.extension;
    cutIndex_ = 0;
    nextCutSeconds_ = options_.cutPeriodSeconds;
    if (options_.inMemory) {
        path_ = baseName_ + extension;
        displayedName_ = name_;
        return true;
    }
    if (options_.cut) {
        path_ = baseName_ + QLatin1Char('0') + extension;
        displayedName_ = name_ + QLatin1Char('0') + extension;
    } else {
        path_ = baseName_ + extension;
        displayedName_ = name_ + extension;
    }
    if (!createFile(path_))
        return false;
    writeDurably(RunFormats::headerLine(options_.passTime, options_.separator).toUtf8());
    return true;
}

bool MonitorLog::createFile(const QString& path)
{
    file_.close();
    file_.setFileName(path);
    createFailed_ = !file_.open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (createFailed_ && errorText_.isEmpty())
        errorText_ = file_.errorString();
    return !createFailed_;
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
    const QString extension = QLatin1Char('.') + options_.extension;
    path_ = baseName_ + QString::number(cutIndex_) + extension;
    displayedName_ = name_ + QString::number(cutIndex_) + extension;
    if (!createFile(path_))
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
    if (!createFile(path_)) {
        lines_.clear();
        return false;
    }
    const QByteArray header = RunFormats::headerLine(options_.passTime, options_.separator).toUtf8();
    errno = 0;
    bool written = file_.write(header) == header.size();
    for (const QByteArray& line : lines_)
        written = written && file_.write(line) == line.size();
    lines_.clear();
    if (!written)
        noteWriteFailure();
    writeDurably(QByteArray());
    file_.close();
    return !writeFailed_;
}

void MonitorLog::discard()
{
    file_.close();
    lines_.clear();
}
