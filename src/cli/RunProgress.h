#pragma once

#include "model/SequenceTypes.h"
#include "run/RunObserver.h"

#include <QString>
#include <QStringList>
#include <QTimer>
#include <array>
#include <functional>

class QTextStream;

// What tessorctl run shows of a run: on a terminal one live line per channel (status, pass and
// step of their totals, current, voltage, elapsed time), redrawn in place; otherwise a plain line
// whenever a channel's status, pass or step changes. The log file's path is printed when it opens.
// With an elapsed clock the time on a line is the time it is printed (frozen when the channel
// leaves Running); without one it is the engine's last elapsed-time display.
class RunProgress : public RunObserver {
public:
    struct Channel {
        bool shown = false;
        QString countTotal;
        QString stepTotal;
    };

    RunProgress(QTextStream& out, QTextStream& err, bool terminal,
                std::array<Channel, kChannelCount> channels);

    void setFinishedHandler(std::function<void()> handler) { finished_ = std::move(handler); }
    // Seconds since the run started, negative before it started.
    void setElapsedClock(std::function<qint64()> secondsNow) { secondsNow_ = std::move(secondsNow); }
    // Called when a channel's status turns to "Error".
    void setErrorHandler(std::function<void(int channel)> handler) { errorHandler_ = std::move(handler); }
    // Ends the live block, so that a message printed now stands below it.
    void breakBlock();
    // Shows the last state and ends the block; then each channel's charge and energy from its
    // readings (with monitoring on).
    void finish();
    // A log file could not be written completely.
    bool logFailed() const { return logFailed_; }
    // Where readings kept in memory go when their folder cannot take them, in this order.
    void setRescueFolders(const QStringList& folders) { rescueFolders_ = folders; }

    void statusChanged(int channel, const QString& text, RunColor, RunColor) override;
    void statusTextChanged(int channel, const QString& text) override;
    void countChanged(int channel, const QString& text) override;
    void stepChanged(int channel, const QString& text) override;
    void currentChanged(int channel, const QString& text) override;
    void voltageChanged(int channel, const QString& text) override;
    void readingTaken(int channel, const RunReading& reading) override;
    void elapsedChanged(int channel, const QString& text) override;
    void dayChanged(int channel, const QString& text) override;
    void totalsChanged(int channel, const QString& countTotal, const QString& stepTotal) override;
    void logOpened(const QString& path) override;
    void logCut(const QString& path) override;
    void logFinished(const QString& path, bool ok) override;
    void logNotCreated(const QString& path, const QString& reason) override;
    void logWriteFailed(const QString& path, const QString& reason) override;
    QString logRescuePath(const QString& path, const QString& reason) override;
    void runFinished() override;

    // The text shown for a channel.
    QString channelLine(int channel) const;
    // "Channel 1: charge 0.123456 Ah, energy 1.234567 Wh" for a channel with readings, else empty.
    QString figuresLine(int channel) const;

private:
    struct State {
        QString status;
        QString count;
        QString step;
        QString current;
        QString voltage;
        QString elapsed;
        QString day;
    };

    void changed(int channel, bool milestone);
    // The elapsed and day texts of the clock now, for a channel's line.
    void stampElapsed(int channel);
    void flush();
    void redraw();

    QTextStream& out_;
    QTextStream& err_;
    bool terminal_;
    std::array<Channel, kChannelCount> channels_;
    std::array<State, kChannelCount> state_;
    std::array<bool, kChannelCount> milestone_{};
    std::array<QString, kChannelCount> printed_;
    std::array<RunReading, kChannelCount> lastReading_{};
    std::array<bool, kChannelCount> read_{};
    int blockLines_ = 0;
    bool logFailed_ = false;
    bool logFailureShown_ = false;
    QStringList rescueFolders_;
    bool rescued_ = false;
    QTimer flushTimer_;
    std::function<void()> finished_;
    std::function<qint64()> secondsNow_;
    std::function<void(int)> errorHandler_;
};
