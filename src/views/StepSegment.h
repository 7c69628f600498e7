#pragma once

#include <QColor>
#include <QPoint>
#include <vector>

// How a line piece is stroked. The colour handed to the painter replaces the stored one; the style
// and width stay.
struct PlotPen {
    enum class Style { Solid, Dotted };
    Style style = Style::Solid;
    int width = 1;
    QColor colour = QColor(192, 192, 192);

    static PlotPen dotted() { return PlotPen{Style::Dotted, 1, QColor(0, 0, 255)}; }
};

// One drawn line piece of a plot: a step of the sequence, a vertical boundary line at a step's end,
// an axis, or a free polyline. Points are pixels of the plot's window, normally two: the first point
// and the end point.
struct StepSegment {
    enum Transition { Step = 0, Ramp = 1, Boundary = 2 };

    int step = 0; // 1-based step number
    double endTime = 0.0;
    double interval = 0.0;
    double value = 0.0;
    int transition = Boundary;
    std::vector<QPoint> points;
    PlotPen pen;

    bool hasLine() const { return points.size() >= 2; }
    QPoint firstPoint() const { return points.empty() ? QPoint() : points.front(); }
    QPoint endPoint() const { return points.empty() ? QPoint() : points.back(); }

    // Where a point lies on the piece. The tolerance around the line grows with its steepness (2, 10
    // or 20 pixels), so that a steep ramp is as easy to hit as a flat step; the 3 x 3 pixels around
    // either end always count.
    enum class Hit { None, Line, FirstPoint, EndPoint };
    Hit hitTest(const QPoint& point) const;
    bool isHit(const QPoint& point) const { return hitTest(point) != Hit::None; }
};
