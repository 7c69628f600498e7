#pragma once

#include "ui/TimerService.h"

#include <QPoint>
#include <QString>

class ChannelPlot;
class GraphInteraction;
class QWidget;
struct AppSettings;

// The graph view's one tooltip (the Run window's live graphs show theirs the same way): the text for the
// mouse over the current channel's plot (a selected handle, a step, a boundary line, an axis, or the step
// being dragged or drawn), shown a moment after the mouse stopped, on the view's timers. Its text changes
// only when the mouse moves.
class GraphViewTooltip {
public:
    // The tooltip appears this long after the mouse stopped and stays up this long.
    static constexpr int kDelayMs = 50;
    static constexpr int kShowMs = 10000;

    GraphViewTooltip(QWidget& view, TimerService& timers);
    ~GraphViewTooltip();
    GraphViewTooltip(const GraphViewTooltip&) = delete;
    GraphViewTooltip& operator=(const GraphViewTooltip&) = delete;

    // Without a drag: the selected handle under the mouse, else a step, a boundary line (when shown,
    // within the plot) or an axis; empty elsewhere.
    static QString hoverText(const ChannelPlot& plot, const GraphInteraction& mouse, const QPoint& point,
                             bool boundaryLines, int mode, const AppSettings& settings);
    // While a handle is dragged or a step drawn: the step as it would be stored with the mouse here.
    static QString dragText(const ChannelPlot& plot, const GraphInteraction& mouse, const QPoint& point,
                            int mode, const AppSettings& settings);

    // The text for a mouse position: shown after the delay, or hidden at once when empty. Nothing
    // changes while the position stays the same.
    void set(const QPoint& point, const QString& text);
    const QString& text() const { return text_; }

private:
    void show();

    QWidget& view_;
    TimerService& timers_;
    QPoint position_{-1, -1};
    QString text_;
    TimerService::TimerId timer_ = TimerService::noTimer;
};
