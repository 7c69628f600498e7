#pragma once

#include "model/SequenceTypes.h"
#include "run/RunObserver.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <array>
#include <utility>
#include <vector>

// A RunObserver that keeps what each control shows now and a log of the calls that matter most
// (statuses, buttons, graphs, the log file and the end of the run), so tests can assert both the
// state of the dialog and the order of changes.
class RecordingObserver : public RunObserver {
public:
    static QString colorName(RunColor color)
    {
        if (color == RunColors::black)
            return QStringLiteral("black");
        if (color == RunColors::white)
            return QStringLiteral("white");
        if (color == RunColors::lightGrey)
            return QStringLiteral("grey");
        if (color == RunColors::green)
            return QStringLiteral("green");
        if (color == RunColors::yellow)
            return QStringLiteral("yellow");
        if (color == RunColors::red)
            return QStringLiteral("red");
        return QStringLiteral("rgb(%1,%2,%3)").arg(color.red).arg(color.green).arg(color.blue);
    }

    void statusChanged(int c, const QString& text, RunColor textColor, RunColor background) override
    {
        status[c] = text;
        statusColors[c] = colorName(textColor) + QLatin1Char('/') + colorName(background);
        calls << QStringLiteral("status %1 %2 %3").arg(c + 1).arg(text, statusColors[c]);
    }
    void statusTextChanged(int c, const QString& text) override
    {
        status[c] = text;
        calls << QStringLiteral("status %1 %2").arg(c + 1).arg(text);
    }
    void countChanged(int c, const QString& text) override { count[c] = text; }
    void stepChanged(int c, const QString& text) override { step[c] = text; }
    void currentChanged(int c, const QString& text) override { current[c] = text; }
    void voltageChanged(int c, const QString& text) override { voltage[c] = text; }
    void readingTaken(int c, const RunReading& reading) override { readings.push_back({c, reading}); }
    void elapsedChanged(int c, const QString& text) override { elapsed[c] = text; }
    void dayChanged(int c, const QString& text) override { day[c] = text; }
    void totalsChanged(int c, const QString& countTotal, const QString& stepTotal) override
    {
        totals[c] = countTotal + QLatin1Char(' ') + stepTotal;
    }
    void panelEnabled(int c, bool fields, bool currentField, bool voltageField) override
    {
        panel[c] = QStringLiteral("%1%2%3")
                       .arg(fields ? 'F' : '-')
                       .arg(currentField ? 'A' : '-')
                       .arg(voltageField ? 'V' : '-');
    }
    void runButtonChanged(int c, const QString& text, bool enabled) override
    {
        runButton[c] = text + (enabled ? QString() : QStringLiteral(" (disabled)"));
    }
    void channelCheckChanged(int c, bool checked, bool enabled) override
    {
        checkBox[c] = QStringLiteral("%1%2").arg(checked ? "ticked" : "clear", enabled ? "" : " (disabled)");
    }
    void lastLoadOffVisible(bool visible) override { lastLoadOffShown = visible; }
    void runAllEnabled(bool enabled) override { runAll = enabled; }
    void stopAllEnabled(bool enabled) override { stopAll = enabled; }
    void closeEnabled(bool enabled) override { close = enabled; }
    void captionChanged(const QString& text) override { caption = text; }
    void graphStarted(int c) override { calls << QStringLiteral("graph %1 start").arg(c + 1); }
    void graphStopped(int c) override { calls << QStringLiteral("graph %1 stop").arg(c + 1); }
    bool graphPassDrawn(int c) override { return passDrawn[c]; }
    void resetGraphPass(int c) override
    {
        passDrawn[c] = false;
        calls << QStringLiteral("graph %1 reset").arg(c + 1);
    }
    void logOpened(const QString& path) override { calls << QStringLiteral("log opened ") + path; }
    void logCut(const QString& path) override { calls << QStringLiteral("log cut ") + path; }
    void logFinished(const QString& path, bool ok) override
    {
        calls << QStringLiteral("log finished %1 %2").arg(path, ok ? "ok" : "failed");
    }
    void logNotCreated(const QString& path, const QString& reason) override
    {
        calls << QStringLiteral("log not created %1: %2").arg(path, reason);
    }
    void logWriteFailed(const QString& path, const QString& reason) override
    {
        calls << QStringLiteral("log write failed %1: %2").arg(path, reason);
    }
    // Answers from rescuePaths in turn, then declines.
    QString logRescuePath(const QString& path, const QString& reason) override
    {
        calls << QStringLiteral("log rescue %1: %2").arg(path, reason);
        return rescuePaths.isEmpty() ? QString() : rescuePaths.takeFirst();
    }
    void runFinished() override
    {
        ++finished;
        calls << QStringLiteral("run finished");
    }

    // The run-wide buttons as "RunAll Stop-all Close" with a '-' for a disabled one.
    QString buttons() const
    {
        return QStringLiteral("%1 %2 %3")
            .arg(runAll ? "RunAll" : "-", stopAll ? "StopAll" : "-", close ? "Close" : "-");
    }
    // Calls that begin with the text.
    QStringList callsStarting(const QString& prefix) const
    {
        return calls.filter(QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(prefix)));
    }

    std::array<QString, kChannelCount> status;
    std::array<QString, kChannelCount> statusColors;
    std::array<QString, kChannelCount> count;
    std::array<QString, kChannelCount> step;
    std::array<QString, kChannelCount> current;
    std::array<QString, kChannelCount> voltage;
    std::vector<std::pair<int, RunReading>> readings;
    std::array<QString, kChannelCount> elapsed;
    std::array<QString, kChannelCount> day;
    std::array<QString, kChannelCount> totals;
    std::array<QString, kChannelCount> panel;
    std::array<QString, kChannelCount> runButton;
    std::array<QString, kChannelCount> checkBox;
    std::array<bool, kChannelCount> passDrawn{};
    bool lastLoadOffShown = false;
    bool runAll = false;
    bool stopAll = false;
    bool close = false;
    QString caption;
    QStringList rescuePaths;
    QStringList calls;
    int finished = 0;
};
