#pragma once

#include <QPoint>
#include <QString>
#include <optional>

struct AppSettings;
class ChannelPlot;
class CMainDoc;
class WorksheetLink;

// The edits the graph makes to a channel's steps. Each writes the step's texts with the worksheet's
// formats, moves the plot's points, tells the worksheet and marks the document modified. An edit
// that would break a limit (the step limit, an interval or value the worksheet would not accept)
// changes nothing and returns false.
class GraphStepEditor {
public:
    GraphStepEditor(CMainDoc& document, const AppSettings& settings);

    void setWorksheet(WorksheetLink* worksheet) { worksheet_ = worksheet; }

    // A value drag of step index (0-based) released at a value.
    bool storeValue(ChannelPlot& plot, int channel, int index, double value);
    // A time drag of step index released at a new interval, which is rounded as it is stored and
    // must then lie within the worksheet's bounds; the times after it follow.
    bool storeInterval(ChannelPlot& plot, int channel, int index, double interval);
    // A step drawn from the start point (at the end of the line) to the release point: appended when
    // it is long enough and the channel below its step limit. A value change of 0.01 or more makes a
    // ramp, otherwise a step; fast mode and Hardware Control force a step, fast mode also the
    // interval SeqTime.
    bool appendDrawnStep(ChannelPlot& plot, int channel, const QPoint& start, const QPoint& release);
    // Step or ramp; false when the step already has that transition.
    bool changeTransition(ChannelPlot& plot, int channel, int index, int transition);
    // Removes step index: the later steps move up and the times are recomputed. The caller rebuilds
    // the plot.
    void deleteStep(int channel, int index);

private:
    // The set value text the worksheet would store, or none outside its range.
    std::optional<QString> valueText(int channel, double value) const;
    // A dragged or drawn interval with the time text format; under Software Control in seconds a
    // multiple of 0.5 s.
    QString intervalText(double interval) const;
    int modeOf(int channel) const;

    CMainDoc& document_;
    const AppSettings& settings_;
    WorksheetLink* worksheet_ = nullptr;
};
