#include "cli/RunProgress.h"

#include <QDir>
#include <QFileInfo>

#include "run/RunFormats.h"

#include <QTextStream>

namespace {

bool isRunningStatus(const QString& status)
{
    // An alarm only colours the display; the channel runs on.
    return status == QLatin1String("Running") || status == QLatin1String("ALARM");
}

} // namespace

RunProgress::RunProgress(QTextStream& out, QTextStream& err, bool terminal,
                         std::array<Channel, kChannelCount> channels)
    : out_(out), err_(err), terminal_(terminal), channels_(std::move(channels))
{
    // Changes that come together (a tick touches several fields) are shown once.
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(0);
    QObject::connect(&flushTimer_, &QTimer::timeout, [this] { flush(); });
}

void RunProgress::stampElapsed(int channel)
{
    const qint64 seconds = secondsNow_();
    if (seconds < 0)
        return;
    state_[channel].elapsed = RunFormats::elapsedText(seconds);
    state_[channel].day = RunFormats::dayText(seconds);
}

QString RunProgress::channelLine(int channel) const
{
    State s = state_[channel];
    if (secondsNow_ && isRunningStatus(s.status)) {
        const qint64 seconds = secondsNow_();
        if (seconds >= 0) {
            s.elapsed = RunFormats::elapsedText(seconds);
            s.day = RunFormats::dayText(seconds);
        }
    }
    const Channel& c = channels_[channel];
    QString line = QStringLiteral("Ch%1 %2").arg(channel + 1).arg(s.status, -8);
    line +=
        QStringLiteral("  pass %1/%2").arg(s.count.isEmpty() ? QStringLiteral("-") : s.count, c.countTotal);
    line += QStringLiteral("  step %1/%2").arg(s.step.isEmpty() ? QStringLiteral("-") : s.step, c.stepTotal);
    if (!s.current.isEmpty())
        line += QStringLiteral("  %1 A").arg(s.current);
    if (!s.voltage.isEmpty())
        line += QStringLiteral("  %1 V").arg(s.voltage);
    if (!s.elapsed.isEmpty() && s.elapsed != QLatin1String("--")) {
        line += QStringLiteral("  ") + s.elapsed;
        if (!s.day.isEmpty() && s.day != QLatin1String("(0day)"))
            line += QLatin1Char(' ') + s.day;
    }
    return line;
}

void RunProgress::changed(int channel, bool milestone)
{
    if (!channels_[channel].shown)
        return;
    milestone_[channel] = milestone_[channel] || milestone;
    if (!flushTimer_.isActive())
        flushTimer_.start();
}

void RunProgress::flush()
{
    if (terminal_) {
        redraw();
        return;
    }
    for (int c = 0; c < kChannelCount; ++c) {
        if (!channels_[c].shown || !milestone_[c])
            continue;
        milestone_[c] = false;
        const QString line = channelLine(c);
        if (line != printed_[c]) {
            out_ << line << '\n';
            printed_[c] = line;
        }
    }
    out_.flush();
}

void RunProgress::redraw()
{
    if (blockLines_ > 0)
        out_ << "\x1b[" << blockLines_ << 'A';
    int lines = 0;
    for (int c = 0; c < kChannelCount; ++c) {
        if (!channels_[c].shown)
            continue;
        // Erase to the end of the line: a shorter text must not leave the end of a longer one.
        out_ << '\r' << channelLine(c) << "\x1b[K\n";
        ++lines;
    }
    blockLines_ = lines;
    out_.flush();
}

void RunProgress::breakBlock()
{
    // On a terminal the block is brought up to date and left where it is; plain lines wait.
    if (terminal_ && flushTimer_.isActive()) {
        flushTimer_.stop();
        redraw();
    }
    blockLines_ = 0;
    out_.flush();
}

void RunProgress::finish()
{
    flushTimer_.stop();
    if (!terminal_) {
        for (int c = 0; c < kChannelCount; ++c)
            milestone_[c] = true;
    }
    flush();
    blockLines_ = 0;
    for (int c = 0; c < kChannelCount; ++c) {
        const QString line = figuresLine(c);
        if (!line.isEmpty())
            out_ << line << '\n';
    }
    out_.flush();
}

void RunProgress::readingTaken(int channel, const RunReading& reading)
{
    lastReading_[channel] = reading;
    read_[channel] = true;
}

QString RunProgress::figuresLine(int channel) const
{
    const RunReading& reading = lastReading_[channel];
    if (!read_[channel] || !reading.hasCharge)
        return QString();
    QString line =
        QStringLiteral("Channel %1: charge %2 Ah").arg(channel + 1).arg(reading.chargeAh, 0, 'f', 6);
    if (reading.hasEnergy)
        line += QStringLiteral(", energy %1 Wh").arg(reading.energyWh, 0, 'f', 6);
    return line;
}

void RunProgress::statusChanged(int channel, const QString& text, RunColor, RunColor)
{
    const bool wasRunning = isRunningStatus(state_[channel].status);
    state_[channel].status = text;
    // A channel that leaves Running keeps the time it left.
    if (secondsNow_ && wasRunning && !isRunningStatus(text))
        stampElapsed(channel);
    changed(channel, true);
    if (text == QLatin1String("Error") && errorHandler_)
        errorHandler_(channel);
}

void RunProgress::statusTextChanged(int channel, const QString& text)
{
    state_[channel].status = text;
    changed(channel, true);
}

void RunProgress::countChanged(int channel, const QString& text)
{
    state_[channel].count = text;
    changed(channel, true);
}

void RunProgress::stepChanged(int channel, const QString& text)
{
    state_[channel].step = text;
    changed(channel, true);
}

void RunProgress::currentChanged(int channel, const QString& text)
{
    state_[channel].current = text;
    changed(channel, false);
}

void RunProgress::voltageChanged(int channel, const QString& text)
{
    state_[channel].voltage = text;
    changed(channel, false);
}

void RunProgress::elapsedChanged(int channel, const QString& text)
{
    // With a clock of its own the line shows the time it is printed; "--" still clears it.
    if (!secondsNow_ || text == QLatin1String("--"))
        state_[channel].elapsed = text;
    changed(channel, false);
}

void RunProgress::dayChanged(int channel, const QString& text)
{
    if (!secondsNow_)
        state_[channel].day = text;
    changed(channel, false);
}

void RunProgress::totalsChanged(int channel, const QString& countTotal, const QString& stepTotal)
{
    // "/ 3" as the Run window shows it; the line shows "1/3".
    channels_[channel].countTotal = countTotal.mid(2);
    channels_[channel].stepTotal = stepTotal.mid(2);
}

void RunProgress::logOpened(const QString& path)
{
    breakBlock();
    out_ << "Log file: " << path << '\n';
    out_.flush();
}

void RunProgress::logCut(const QString& path)
{
    logOpened(path);
}

void RunProgress::logFinished(const QString& path, bool ok)
{
    if (ok && rescued_) {
        breakBlock();
        err_ << "tessorctl: the readings were written to " << path << " instead" << Qt::endl;
    }
    if (ok)
        return;
    logFailed_ = true;
    // The failure was told when it happened.
    if (logFailureShown_)
        return;
    breakBlock();
    err_ << "tessorctl: the log file could not be written completely: " << path << Qt::endl;
}

void RunProgress::logNotCreated(const QString& path, const QString& reason)
{
    logFailed_ = true;
    logFailureShown_ = true;
    breakBlock();
    err_ << "tessorctl: cannot create the log file " << path << ": " << reason << Qt::endl;
}

void RunProgress::logWriteFailed(const QString& path, const QString& reason)
{
    logFailed_ = true;
    logFailureShown_ = true;
    breakBlock();
    err_ << "tessorctl: cannot write the log file " << path << ": " << reason << "; the run goes on"
         << Qt::endl;
}

QString RunProgress::logRescuePath(const QString& path, const QString& reason)
{
    logFailed_ = true;
    logFailureShown_ = true;
    breakBlock();
    err_ << "tessorctl: cannot write the log file " << path << ": " << reason << Qt::endl;
    if (rescueFolders_.isEmpty()) {
        err_ << "tessorctl: the readings of this run were discarded" << Qt::endl;
        return QString();
    }
    rescued_ = true;
    return QDir(rescueFolders_.takeFirst()).filePath(QFileInfo(path).fileName());
}

void RunProgress::runFinished()
{
    if (finished_)
        finished_();
}
