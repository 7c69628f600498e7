#pragma once

#include "ui/TimerService.h"
#include "views/ChannelPlot.h"
#include "views/GraphViewTooltip.h"
#include "views/PlotPainter.h"

#include <QFont>
#include <QWidget>
#include <vector>

struct AppSettings;
struct ChannelSequence;

// The live graph of one Run window panel: the channel's sequence drawn as the graph view draws it,
// read-only, with a vertical progress cursor that moves once a second while the channel runs. The
// cursor shows the wall-clock seconds since the start, not the instrument's step. A right click
// offers "Vertical Axis", which shows or hides the lines at the step boundaries.
class CRunGraph : public QWidget {
    Q_OBJECT
public:
    // What every live graph of the window shares.
    struct Look {
        PlotColours colours;      // from the "Graph" section; never written back
        QFont labelFont;          // the axis labels
        QString verticalAxisText; // the context menu's item
    };

    CRunGraph(const AppSettings& settings, TimerService& timers, const Look& look, QWidget* parent = nullptr);
    ~CRunGraph() override;

    // Copies the channel's steps, mode, sequence mode and unit, rebuilds the line with the automatic
    // ranges and redraws. The line starts at the value set immediately before processing that the
    // Mode setting selects (0 when none is set).
    void load(const ChannelSequence& sequence, int operationMode);
    // The start level by Mode: the initial current (1), voltage (0), power (2) or resistance (3)
    // when its box is ticked, else 0.
    static double startLevel(const AppSettings& settings);

    // Starts the cursor at the left edge and the 1000 ms timer; refused (false) for a sequence of
    // a second or less in unit s (or ms).
    bool startProgress();
    // Stops the timer, removes the cursor and redraws.
    void stopProgress();
    bool isProgressing() const { return timer_ != TimerService::noTimer; }
    // One second of the cursor (the timer's tick).
    void advanceProgress();
    // The cursor has reached the end of one pass; resetPass() starts it over for the next.
    bool passDrawn() const { return seconds_ >= totalSeconds_; }
    void resetPass() { seconds_ = 0; }

    const ChannelPlot& plot() const { return plot_; }
    int elapsedSeconds() const { return seconds_; }
    double totalSeconds() const { return totalSeconds_; }
    // The cursor's two points; empty while there is none.
    const std::vector<QPoint>& cursor() const { return cursor_; }
    double cursorTime() const { return cursorTime_; }
    bool showsVerticalLines() const { return verticalLines_; }
    void setVerticalLines(bool shown);
    // The tooltip text for a point of the widget; empty where nothing is under it.
    QString tooltipAt(const QPoint& point) const;

signals:
    // The "Vertical Axis" choice: the window is redrawn.
    void verticalLinesToggled(bool shown);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void layOut();
    void placeCursor();

    const AppSettings& settings_;
    TimerService& timers_;
    Look look_;
    ChannelPlot plot_;
    std::vector<StepValues> steps_;
    int mode_ = 0;
    int sequenceMode_ = 0;
    int unit_ = 0;
    double totalSeconds_ = 0.0;
    int seconds_ = 0;
    double cursorTime_ = 0.0;
    std::vector<QPoint> cursor_;
    bool verticalLines_ = true;
    TimerService::TimerId timer_ = TimerService::noTimer;
    // Shown as in the graph view: after its delay, on the injected timers.
    GraphViewTooltip tooltip_{*this, timers_};
};
