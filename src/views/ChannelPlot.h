#pragma once

#include "views/StepSegment.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <vector>

struct ChannelSequence;

// What the plot needs of one step: its cumulative end time, interval, set value and transition.
struct StepValues {
    double endTime = 0.0;
    double interval = 0.0;
    double value = 0.0;
    int transition = StepSegment::Step;
};

// The end texts and unit texts of the two axes.
struct AxisLabels {
    QString timeMax = QStringLiteral("10.0");
    QString valueMax = QStringLiteral("8.000");
    QString timeMin = QStringLiteral("0.0");
    QString valueMin = QStringLiteral("0.000");
    QString timeUnit;
    QString valueUnit = QStringLiteral("[V]");
};

// The geometry of one channel's plot: the plot rectangle inside a window area, the axis ranges and
// their labels, and the line pieces of the sequence with their pixel points. It knows no widget:
// the graph view and the run window's live graphs keep one per channel and paint it with
// PlotPainter.
//
// The plot rectangle is given by its edges; a point on an edge is inside. Data map to pixels by
// truncation, x = left + trunc((t - tmin) * (right - left) / (tmax - tmin)), and likewise for the
// value from the bottom edge up.
class ChannelPlot {
public:
    // The plot rectangle lies this far inside the window area on every side.
    static constexpr int kInset = 40;

    ChannelPlot();

    // Plot area: the rectangle is the area inset by 40 pixels (the area's right and bottom edges
    // are x() + width() and y() + height()). The axes and the zero line are laid out anew and
    // every segment is moved to its times and values. The start level is the value at which the
    // line starts at time 0.
    void setPlotArea(const QRect& area, double startLevel = 0.0);
    void setStartLevel(double level);
    double startLevel() const { return startLevel_; }
    int left() const { return left_; }
    int top() const { return top_; }
    int right() const { return right_; }
    int bottom() const { return bottom_; }
    // The plot rectangle with both corners inside: right() and bottom() are its last pixels.
    QRect plotRect() const { return QRect(QPoint(left_, top_), QPoint(right_, bottom_)); }
    // Where a new step may be drawn from: the end of the line (the left edge while there is no
    // segment) to the right edge, top to bottom.
    QRect appendZone() const { return QRect(QPoint(appendLeft_, top_), QPoint(right_, bottom_)); }
    int appendLeft() const { return appendLeft_; }

    // Axis ranges. Changing them moves every piece to the new scale.
    double timeMin() const { return timeMin_; }
    double timeMax() const { return timeMax_; }
    double valueMin() const { return valueMin_; }
    double valueMax() const { return valueMax_; }
    void setRanges(double timeMin, double timeMax, double valueMin, double valueMax);
    void setTimeMax(double timeMax);

    // The axis maximum of a largest datum x: the next multiple of a step at or above x, with an
    // offset so that the line does not run along the plot's edge (0.001 for anything below 0.001).
    static double axisMaximum(double x);
    // The automatic ranges, each applied when its flag is on: time maximum N(last end time), value
    // maximum N(largest value, at least 0), value minimum the smallest value (at most 0).
    void applyAutomaticRanges(const std::vector<StepValues>& steps, bool timeMax, bool valueMax,
                              bool valueMin);
    // Whether the time maximum came from the automatic rule (its label then keeps tenths in min
    // and h); cleared by setRanges and setTimeMax.
    bool timeMaxIsAutomatic() const { return timeMaxAutomatic_; }

    // Rewrites the six label texts from the ranges for a time unit, operation mode and sequence mode.
    void writeLabels(int timeUnit, int operationMode, int sequenceMode);
    const AxisLabels& labels() const { return labels_; }
    // How the profile keeps a range: as its label when the label reads back as the range, else with
    // the decimals it needs (a time maximum of 0.4 min is labelled "0", which would read back as an
    // axis of no length).
    static QString storedRange(const QString& label, double value);

    // Data to pixel and pixel to data. Points far outside the plot are held a safe distance off so
    // that absurd data never overflow the pixel type.
    int xOf(double time) const;
    int yOf(double value) const;
    QPoint map(double time, double value) const { return QPoint(xOf(time), yOf(value)); }
    double timeAt(int x) const;
    double valueAt(int y) const;

    // The line: starts at map(0, start level) and continues from each segment's end point.
    QPoint lineStart() const { return map(0.0, startLevel_); }
    QPoint lineEnd() const;

    // The steps of a channel's table, read from their texts; the end times are the sums of the
    // intervals.
    static std::vector<StepValues> stepValuesOf(const ChannelSequence& sequence);
    // Discards the segments and makes one per step: a step is a horizontal line at its value from
    // the previous end x, a ramp a line from the previous end point.
    void rebuild(const std::vector<StepValues>& steps);
    // Appends one step with the geometry of rebuild().
    const StepSegment& appendStep(const StepValues& step);
    // Appends a segment whose points are already set, with the next step number, and its boundary
    // line.
    void addSegment(StepSegment segment);
    // Takes back the last segment and its boundary line.
    void removeLast();
    void clear();

    int count() const { return static_cast<int>(segments_.size()); }
    const std::vector<StepSegment>& segments() const { return segments_; }
    const std::vector<StepSegment>& boundaries() const { return boundaries_; }
    const StepSegment& segment(int index) const { return segments_.at(index); }
    const StepSegment& boundary(int index) const { return boundaries_.at(index); }

    // Edits of one step (0-based index) that move the points depending on it: the step's own end,
    // the first point of a following ramp, and for an interval every later step and boundary.
    void setValue(int index, double value);
    void setInterval(int index, double interval);
    void setTransition(int index, int transition);

    // The first segment or boundary line (0-based) hit by a point, or -1.
    int segmentAt(const QPoint& point) const;
    int boundaryAt(const QPoint& point) const;

    // The built-in pieces.
    const StepSegment& xAxis() const { return xAxis_; }
    const StepSegment& yAxis() const { return yAxis_; }
    const StepSegment& zeroLine() const { return zeroLine_; }
    // The zero line is part of the picture while the value range reaches below 0.
    bool showsZeroLine() const { return valueMin_ < 0.0; }

private:
    double previousEndTime(int index) const;
    QPoint previousEnd(int index) const;
    void placeSegment(int index);
    void placeBoundary(int index);
    void layOutFixedPieces();
    void relayOut();

    int left_ = 0;
    int top_ = 0;
    int right_ = 0;
    int bottom_ = 0;
    int appendLeft_ = 0;
    double startLevel_ = 0.0;
    double timeMin_ = 0.0;
    double timeMax_ = 10.0;
    double valueMin_ = 0.0;
    double valueMax_ = 8.0;
    bool timeMaxAutomatic_ = false;
    AxisLabels labels_;
    StepSegment xAxis_;
    StepSegment yAxis_;
    StepSegment zeroLine_;
    std::vector<StepSegment> segments_;
    std::vector<StepSegment> boundaries_;
};
