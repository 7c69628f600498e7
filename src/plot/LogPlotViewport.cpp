#include "plot/LogPlotViewport.h"

#include <algorithm>
#include <cmath>

namespace {

// The narrowest ranges a zoom may reach: a millisecond, a microampere or microvolt.
constexpr double kMinTimeSpan = 1e-3;
constexpr double kMinValueSpan = 1e-6;
// And the widest: far beyond any log, but where the arithmetic stays exact enough.
constexpr double kMaxSpan = 1e12;

LogPlotViewport::Range bounded(double lo, double hi, double minSpan)
{
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return {0.0, 1.0};
    if (hi < lo)
        std::swap(lo, hi);
    if (hi - lo < minSpan) {
        const double middle = 0.5 * (lo + hi);
        return {middle - minSpan / 2, middle + minSpan / 2};
    }
    if (hi - lo > kMaxSpan) {
        const double middle = 0.5 * (lo + hi);
        return {middle - kMaxSpan / 2, middle + kMaxSpan / 2};
    }
    return {lo, hi};
}

} // namespace

void LogPlotViewport::setTime(double lo, double hi)
{
    time_ = bounded(lo, hi, kMinTimeSpan);
}

void LogPlotViewport::setRange(Axis axis, double lo, double hi)
{
    (axis == Axis::Current ? current_ : voltage_) = bounded(lo, hi, kMinValueSpan);
}

double LogPlotViewport::xOf(double seconds) const
{
    return rect_.left() + (seconds - time_.lo) / time_.span() * rect_.width();
}

double LogPlotViewport::timeAt(double x) const
{
    return time_.lo + (x - rect_.left()) / rect_.width() * time_.span();
}

double LogPlotViewport::yOf(double value, Axis axis) const
{
    const Range& r = range(axis);
    return rect_.bottom() - (value - r.lo) / r.span() * rect_.height();
}

double LogPlotViewport::valueAt(double y, Axis axis) const
{
    const Range& r = range(axis);
    return r.lo + (rect_.bottom() - y) / rect_.height() * r.span();
}

LogPlotViewport::Range LogPlotViewport::padded(double lo, double hi)
{
    // A curve that hardly moves gets a twentieth of its size as room, so that its ticks stay readable.
    const double size = std::max(std::abs(hi), std::abs(lo));
    const double room = std::max((hi - lo) / 20.0, size / 20.0);
    if (room == 0.0)
        return {lo - 1.0, hi + 1.0};
    return {lo - room, hi + room};
}

void LogPlotViewport::fit(const LogData& data, const std::vector<LogFigures::Channel>& figures,
                          const CurveVisibility& shown)
{
    if (data.lineCount() > 0)
        setTime(data.times.front(),
                data.times.back() > data.times.front() ? data.times.back() : data.times.front() + 1.0);
    else
        setTime(0.0, 1.0);
    for (Axis axis : {Axis::Current, Axis::Voltage}) {
        bool any = false;
        double lo = 0.0;
        double hi = 0.0;
        for (const LogFigures::Channel& channel : figures) {
            const size_t index = static_cast<size_t>(channel.channel - 1);
            const bool visible = axis == Axis::Current ? shown.current[index] : shown.voltage[index];
            const LogFigures::Range& values = axis == Axis::Current ? channel.current : channel.voltage;
            if (!visible || values.count == 0)
                continue;
            lo = any ? std::min(lo, values.min) : values.min;
            hi = any ? std::max(hi, values.max) : values.max;
            any = true;
        }
        const Range range = any ? padded(lo, hi) : Range{0.0, 1.0};
        setRange(axis, range.lo, range.hi);
    }
}

void LogPlotViewport::zoomTime(double factor, double anchorX)
{
    const double anchor = timeAt(anchorX);
    setTime(anchor - (anchor - time_.lo) * factor, anchor + (time_.hi - anchor) * factor);
}

void LogPlotViewport::zoomValues(double factor, double anchorY)
{
    for (Axis axis : {Axis::Current, Axis::Voltage}) {
        const Range r = range(axis);
        const double anchor = valueAt(anchorY, axis);
        setRange(axis, anchor - (anchor - r.lo) * factor, anchor + (r.hi - anchor) * factor);
    }
}

bool LogPlotViewport::zoomTo(const QRectF& pixels)
{
    const QRectF area = pixels.normalized().intersected(rect_);
    if (area.width() < 4 || area.height() < 4)
        return false;
    const double t0 = timeAt(area.left());
    const double t1 = timeAt(area.right());
    const double c0 = valueAt(area.bottom(), Axis::Current);
    const double c1 = valueAt(area.top(), Axis::Current);
    const double v0 = valueAt(area.bottom(), Axis::Voltage);
    const double v1 = valueAt(area.top(), Axis::Voltage);
    setTime(t0, t1);
    setRange(Axis::Current, c0, c1);
    setRange(Axis::Voltage, v0, v1);
    return true;
}

void LogPlotViewport::pan(double dx, double dy)
{
    const double dt = dx / rect_.width() * time_.span();
    setTime(time_.lo - dt, time_.hi - dt);
    for (Axis axis : {Axis::Current, Axis::Voltage}) {
        const Range r = range(axis);
        const double dv = dy / rect_.height() * r.span();
        setRange(axis, r.lo + dv, r.hi + dv);
    }
}
