#include "views/ChannelPlot.h"

#include "model/ChannelSequence.h"
#include "model/DecimalText.h"
#include "model/SequenceTypes.h"
#include "views/WorksheetFormats.h"

#include <algorithm>
#include <cmath>

namespace {

// Pixel offsets beyond this are as good as infinitely far off the plot; holding them here keeps
// the conversion to int defined for any datum.
constexpr double kFarOff = 1.0e6;

int truncatedOffset(double offset)
{
    if (std::isnan(offset))
        return 0;
    return static_cast<int>(std::trunc(std::clamp(offset, -kFarOff, kFarOff)));
}

} // namespace

ChannelPlot::ChannelPlot()
{
    zeroLine_.pen = PlotPen::dotted();
    layOutFixedPieces();
}

void ChannelPlot::setPlotArea(const QRect& area, double startLevel)
{
    left_ = area.x() + kInset;
    top_ = area.y() + kInset;
    right_ = area.x() + area.width() - kInset;
    bottom_ = area.y() + area.height() - kInset;
    startLevel_ = startLevel;
    relayOut();
}

void ChannelPlot::setStartLevel(double level)
{
    startLevel_ = level;
    relayOut();
}

void ChannelPlot::setRanges(double timeMin, double timeMax, double valueMin, double valueMax)
{
    timeMin_ = timeMin;
    timeMax_ = timeMax;
    valueMin_ = valueMin;
    valueMax_ = valueMax;
    timeMaxAutomatic_ = false;
    relayOut();
}

void ChannelPlot::setTimeMax(double timeMax)
{
    timeMax_ = timeMax;
    timeMaxAutomatic_ = false;
    relayOut();
}

double ChannelPlot::axisMaximum(double x)
{
    if (!(x >= 0.001)) // NaN as well
        return 0.001;
    double step = 100.0;
    double offset = 1.0;
    if (x < 0.05) {
        step = 0.01;
        offset = 0.01;
    } else if (x < 0.5) {
        step = 0.1;
        offset = 0.1;
    } else if (x < 1.0) {
        step = 1.0;
        offset = 0.0;
    } else if (x < 10.0) {
        step = 1.0;
        offset = 1.0;
    } else if (x < 100.0) {
        step = 10.0;
        offset = 1.0;
    }
    return std::trunc(x / step + 0.9999) * step + offset;
}

void ChannelPlot::applyAutomaticRanges(const std::vector<StepValues>& steps, bool timeMax, bool valueMax,
                                       bool valueMin)
{
    if (steps.empty())
        return;
    double largest = 0.0;
    double smallest = 0.0;
    for (const StepValues& step : steps) {
        largest = std::max(largest, step.value);
        smallest = std::min(smallest, step.value);
    }
    if (timeMax) {
        timeMax_ = axisMaximum(steps.back().endTime);
        timeMaxAutomatic_ = true;
    }
    if (valueMax)
        valueMax_ = axisMaximum(largest);
    if (valueMin)
        valueMin_ = smallest;
    relayOut();
}

void ChannelPlot::writeLabels(int timeUnit, int operationMode, int sequenceMode)
{
    labels_.valueMax = formatDouble("%.3f", valueMax_);
    labels_.valueMin = formatDouble("%.3f", valueMin_);
    labels_.valueUnit = WorksheetFormats::valueUnitText(operationMode);
    labels_.timeUnit = WorksheetFormats::timeUnitText(timeUnit, sequenceMode);
    if (sequenceMode == FastSequence) {
        labels_.timeMax = formatDouble("%.1f", timeMax_);
        labels_.timeMin = formatDouble("%.1f", timeMin_);
        return;
    }
    switch (timeUnit) {
    case UnitMs:
        labels_.timeMax = formatDouble("%.0f", timeMax_);
        labels_.timeMin = formatDouble("%.0f", timeMin_);
        break;
    case UnitMin:
    case UnitH:
        labels_.timeMax = formatDouble(timeMaxAutomatic_ ? "%.1f" : "%.0f", timeMax_);
        labels_.timeMin = formatDouble("%.0f", timeMin_);
        break;
    default:
        // A maximum below a twentieth of a second would read 0.0: it keeps hundredths.
        labels_.timeMax = formatDouble("%.1f", timeMax_);
        if (decimalValue(labels_.timeMax) == 0.0)
            labels_.timeMax = formatDouble("%.2f", timeMax_);
        labels_.timeMin = formatDouble("%.1f", timeMin_);
        break;
    }
}

QString ChannelPlot::storedRange(const QString& label, double value)
{
    if (decimalValue(label) == value)
        return label;
    for (int decimals = 1; decimals <= 9; ++decimals) {
        const QString text = QString::number(value, 'f', decimals);
        if (decimalValue(text) == value)
            return text;
    }
    return QString::number(value, 'g', 17);
}

int ChannelPlot::xOf(double time) const
{
    if (timeMax_ == timeMin_)
        return left_;
    return left_ + truncatedOffset((time - timeMin_) * (right_ - left_) / (timeMax_ - timeMin_));
}

int ChannelPlot::yOf(double value) const
{
    if (valueMax_ == valueMin_)
        return bottom_;
    return bottom_ - truncatedOffset((value - valueMin_) * (bottom_ - top_) / (valueMax_ - valueMin_));
}

double ChannelPlot::timeAt(int x) const
{
    if (right_ == left_)
        return timeMin_;
    return (timeMax_ - timeMin_) * (x - left_) / double(right_ - left_) + timeMin_;
}

double ChannelPlot::valueAt(int y) const
{
    if (bottom_ == top_)
        return valueMin_;
    return (valueMax_ - valueMin_) * (bottom_ - y) / double(bottom_ - top_) + valueMin_;
}

QPoint ChannelPlot::lineEnd() const
{
    return segments_.empty() ? lineStart() : segments_.back().endPoint();
}

std::vector<StepValues> ChannelPlot::stepValuesOf(const ChannelSequence& sequence)
{
    std::vector<StepValues> steps;
    const int count = sequence.stepCount();
    steps.reserve(count);
    // The end times are summed from the intervals: the time texts are a display the worksheet
    // recomputes, and a freshly read table has none yet.
    double endTime = 0.0;
    for (int slot = 0; slot < count; ++slot) {
        const SequenceStep& step = sequence.steps[slot];
        StepValues values;
        values.interval = decimalValue(step.interval);
        endTime += values.interval;
        values.endTime = endTime;
        values.value = decimalValue(step.value);
        values.transition = integerValue(step.transition) == 1 ? StepSegment::Ramp : StepSegment::Step;
        steps.push_back(values);
    }
    return steps;
}

void ChannelPlot::rebuild(const std::vector<StepValues>& steps)
{
    clear();
    segments_.reserve(steps.size());
    boundaries_.reserve(steps.size());
    for (const StepValues& step : steps)
        appendStep(step);
}

const StepSegment& ChannelPlot::appendStep(const StepValues& step)
{
    StepSegment segment;
    segment.endTime = step.endTime;
    segment.interval = step.interval;
    segment.value = step.value;
    segment.transition = step.transition;
    segments_.push_back(std::move(segment));
    const int index = count() - 1;
    segments_.back().step = index + 1;
    placeSegment(index);
    StepSegment boundary;
    boundary.pen = PlotPen::dotted();
    boundaries_.push_back(std::move(boundary));
    placeBoundary(index);
    appendLeft_ = segments_.back().endPoint().x();
    return segments_.back();
}

void ChannelPlot::addSegment(StepSegment segment)
{
    segment.step = count() + 1;
    segments_.push_back(std::move(segment));
    StepSegment boundary;
    boundary.pen = PlotPen::dotted();
    boundaries_.push_back(std::move(boundary));
    placeBoundary(count() - 1);
    appendLeft_ = segments_.back().endPoint().x();
}

void ChannelPlot::removeLast()
{
    if (segments_.empty())
        return;
    segments_.pop_back();
    boundaries_.pop_back();
    appendLeft_ = segments_.empty() ? left_ : segments_.back().endPoint().x();
}

void ChannelPlot::clear()
{
    segments_.clear();
    boundaries_.clear();
    appendLeft_ = left_;
}

void ChannelPlot::setValue(int index, double value)
{
    if (index < 0 || index >= count())
        return;
    segments_[index].value = value;
    boundaries_[index].value = value;
    placeSegment(index);
    if (index + 1 < count())
        placeSegment(index + 1);
}

void ChannelPlot::setInterval(int index, double interval)
{
    if (index < 0 || index >= count())
        return;
    segments_[index].interval = interval;
    double endTime = previousEndTime(index);
    for (int i = index; i < count(); ++i) {
        endTime += segments_[i].interval;
        segments_[i].endTime = endTime;
        placeSegment(i);
        placeBoundary(i);
    }
    appendLeft_ = segments_.back().endPoint().x();
}

void ChannelPlot::setTransition(int index, int transition)
{
    if (index < 0 || index >= count())
        return;
    segments_[index].transition = transition;
    placeSegment(index);
}

int ChannelPlot::segmentAt(const QPoint& point) const
{
    for (int i = 0; i < count(); ++i) {
        if (segments_[i].isHit(point))
            return i;
    }
    return -1;
}

int ChannelPlot::boundaryAt(const QPoint& point) const
{
    for (int i = 0; i < static_cast<int>(boundaries_.size()); ++i) {
        if (boundaries_[i].isHit(point))
            return i;
    }
    return -1;
}

double ChannelPlot::previousEndTime(int index) const
{
    return index > 0 ? segments_[index - 1].endTime : 0.0;
}

QPoint ChannelPlot::previousEnd(int index) const
{
    return index > 0 ? segments_[index - 1].endPoint() : lineStart();
}

void ChannelPlot::placeSegment(int index)
{
    StepSegment& segment = segments_[index];
    const QPoint end = map(segment.endTime, segment.value);
    const QPoint previous = previousEnd(index);
    // A ramp runs from the previous end point; a step jumps at the previous end time and runs level.
    const QPoint first = segment.transition == StepSegment::Ramp ? previous : QPoint(previous.x(), end.y());
    segment.points = {first, end};
}

void ChannelPlot::placeBoundary(int index)
{
    const StepSegment& segment = segments_[index];
    StepSegment& boundary = boundaries_[index];
    boundary.step = segment.step;
    boundary.endTime = segment.endTime;
    boundary.interval = segment.interval;
    boundary.value = segment.value;
    boundary.transition = StepSegment::Boundary;
    const int x = xOf(segment.endTime);
    boundary.points = {QPoint(x, bottom_), QPoint(x, top_)};
}

void ChannelPlot::layOutFixedPieces()
{
    xAxis_.points = {QPoint(left_, bottom_), QPoint(right_, bottom_)};
    yAxis_.points = {QPoint(left_, bottom_), QPoint(left_, top_)};
    const int zeroY = yOf(0.0);
    zeroLine_.points = {QPoint(left_, zeroY), QPoint(right_, zeroY)};
}

void ChannelPlot::relayOut()
{
    layOutFixedPieces();
    for (int i = 0; i < count(); ++i) {
        placeSegment(i);
        placeBoundary(i);
    }
    appendLeft_ = segments_.empty() ? left_ : segments_.back().endPoint().x();
}
