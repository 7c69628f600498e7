#pragma once

#include "run/LogFigures.h"

#include <QRectF>
#include <array>
#include <vector>

// Which curves of a log are shown: per channel its current and its voltage.
struct CurveVisibility {
    std::array<bool, 5> current{true, true, true, true, true};
    std::array<bool, 5> voltage{true, true, true, true, true};
};

// What part of a log a plot shows and where: the time range across the plot rectangle and the
// current (left axis) and voltage (right axis) ranges up its height. Zoom, pan and "fit all" move
// the ranges; the plot rectangle is in pixels of whatever the plot is drawn into.
class LogPlotViewport {
public:
    struct Range {
        double lo = 0.0;
        double hi = 1.0;
        double span() const { return hi - lo; }
    };
    enum class Axis { Current, Voltage };

    void setPlotRect(const QRectF& rect) { rect_ = rect; }
    const QRectF& plotRect() const { return rect_; }

    const Range& time() const { return time_; }
    const Range& current() const { return current_; }
    const Range& voltage() const { return voltage_; }
    const Range& range(Axis axis) const { return axis == Axis::Current ? current_ : voltage_; }
    void setTime(double lo, double hi);
    void setRange(Axis axis, double lo, double hi);

    double xOf(double seconds) const;
    double timeAt(double x) const;
    double yOf(double value, Axis axis) const;
    double valueAt(double y, Axis axis) const;

    // Every reading of the shown curves in view: the log's time span, and each axis from the
    // smallest to the largest reading of its shown quantity, with a twentieth of room above and below.
    void fit(const LogData& data, const std::vector<LogFigures::Channel>& figures,
             const CurveVisibility& shown);
    // Zooms the time axis about the time at pixel x (factor below 1 zooms in).
    void zoomTime(double factor, double anchorX);
    // Zooms both value axes about the values at pixel y.
    void zoomValues(double factor, double anchorY);
    // Shows what a rectangle of the plot (pixels) holds; one too small to mean anything is ignored.
    bool zoomTo(const QRectF& pixels);
    // Moves the view by pixels: the content follows the pointer.
    void pan(double dx, double dy);

private:
    static Range padded(double lo, double hi);

    QRectF rect_{0, 0, 100, 100};
    Range time_;
    Range current_;
    Range voltage_;
};
