#include "views/GraphInteraction.h"

#include "views/ChannelPlot.h"
#include "views/GraphStepEditor.h"

#include <QRect>
#include <algorithm>

bool GraphInteraction::onHandle(const QPoint& point) const
{
    const QPoint& handle = state_.handlePoint;
    return state_.selected >= 0 && point.x() >= handle.x() - 3 && point.x() < handle.x() + 3 &&
           point.y() >= handle.y() - 3 && point.y() < handle.y() + 3;
}

bool GraphInteraction::inAppendZone(const ChannelPlot& plot, const QPoint& point)
{
    return point.x() >= plot.appendLeft() && point.x() <= plot.appendLeft() + 3 && point.y() >= plot.top() &&
           point.y() <= plot.bottom();
}

bool GraphInteraction::inDrawingArea(const ChannelPlot& plot, const QPoint& point)
{
    return point.x() >= plot.appendLeft() - 3 && point.x() < plot.right() + 4 &&
           point.y() >= plot.top() - 1 && point.y() < plot.bottom();
}

bool GraphInteraction::select(const ChannelPlot& plot, const QPoint& point, bool boundaryLines, bool fastMode)
{
    if (state_.selected >= 0 || state_.drag != Drag::None || !plot.plotRect().contains(point))
        return false;
    if (boundaryLines && !fastMode) {
        const int boundary = plot.boundaryAt(point);
        if (boundary >= 0) {
            state_.selected = boundary;
            state_.handle = Handle::Time;
            state_.handlePoint = plot.boundary(boundary).endPoint();
            return true;
        }
    }
    const int segment = plot.segmentAt(point);
    if (segment < 0 || !plot.segment(segment).hasLine())
        return false;
    state_.selected = segment;
    state_.handle = Handle::Value;
    state_.handlePoint = plot.segment(segment).endPoint();
    return true;
}

bool GraphInteraction::press(const ChannelPlot& plot, const QPoint& point)
{
    if (state_.drag != Drag::None)
        return false;
    if (state_.selected >= 0) {
        if (!onHandle(point) || !selectionFits(plot))
            return clearSelection();
        if (state_.handle == Handle::Value) {
            state_.drag = Drag::Value;
            state_.dragLine = plot.segment(state_.selected).points;
        } else {
            state_.drag = Drag::Time;
            state_.dragLine = plot.boundary(state_.selected).points;
        }
        return true;
    }
    if (!inAppendZone(plot, point))
        return false;
    state_.drag = Drag::Drawing;
    state_.drawingStart = QPoint(plot.appendLeft(), point.y());
    state_.dragLine = {state_.drawingStart, state_.drawingStart};
    state_.moved = false;
    return true;
}

void GraphInteraction::move(const ChannelPlot& plot, const QPoint& point)
{
    switch (state_.drag) {
    case Drag::Drawing:
        state_.moved = state_.moved || point != state_.drawingStart;
        state_.dragLine = {state_.drawingStart, point};
        break;
    case Drag::Value:
        if (!selectionFits(plot) || state_.dragLine.empty())
            break;
        state_.dragLine.back().setY(point.y());
        if (plot.segment(state_.selected).transition != StepSegment::Ramp)
            state_.dragLine.front().setY(point.y());
        break;
    case Drag::Time:
        for (QPoint& linePoint : state_.dragLine)
            linePoint.setX(point.x());
        break;
    case Drag::None:
        break;
    }
}

GraphInteraction::Outcome GraphInteraction::release(ChannelPlot& plot, int channel, const QPoint& point)
{
    const State finished = state_;
    const bool fits = selectionFits(plot);
    clearSelection();
    switch (finished.drag) {
    case Drag::Value:
        return fits ? finishValueDrag(plot, channel, finished.selected, point) : Outcome::Nothing;
    case Drag::Time:
        return fits ? finishTimeDrag(plot, channel, finished.selected, point) : Outcome::Nothing;
    case Drag::Drawing:
        return finishDrawing(plot, channel, finished.drawingStart, finished.moved, point);
    case Drag::None:
        break;
    }
    return Outcome::Nothing;
}

GraphInteraction::Outcome GraphInteraction::finishValueDrag(ChannelPlot& plot, int channel, int index,
                                                            const QPoint& point)
{
    const QRect allowed(QPoint(plot.left() - 1, plot.top() - 1), QPoint(plot.right() + 1, plot.bottom() + 1));
    if (!allowed.contains(point))
        return Outcome::Nothing;
    // The one-pixel margin is a tolerance: a release there stores the range's end, not a value the
    // plot would no longer show.
    const int y = std::clamp(point.y(), plot.top(), plot.bottom());
    return editor_.storeValue(plot, channel, index, plot.valueAt(y)) ? Outcome::ValueStored
                                                                     : Outcome::Nothing;
}

GraphInteraction::Outcome GraphInteraction::finishTimeDrag(ChannelPlot& plot, int channel, int index,
                                                           const QPoint& point)
{
    const int previousX = index > 0 ? plot.segment(index - 1).endPoint().x() : plot.left();
    const QRect allowed(QPoint(previousX - 1, plot.top() - 1), QPoint(plot.right() + 1, plot.bottom() + 1));
    if (!allowed.contains(point))
        return Outcome::Nothing;
    const int x = std::clamp(point.x(), previousX, plot.right());
    const double previousEnd = index > 0 ? plot.segment(index - 1).endTime : 0.0;
    return editor_.storeInterval(plot, channel, index, plot.timeAt(x) - previousEnd) ? Outcome::IntervalStored
                                                                                     : Outcome::Nothing;
}

GraphInteraction::Outcome GraphInteraction::finishDrawing(ChannelPlot& plot, int channel, const QPoint& start,
                                                          bool moved, const QPoint& point)
{
    // A click without a drag draws nothing; neither does a release outside the drawing area.
    if (!moved || !inDrawingArea(plot, point))
        return Outcome::Nothing;
    // The area's margins beyond the plot are a tolerance: the step ends on the plot's edge.
    const QPoint end(std::min(point.x(), plot.right()), std::max(point.y(), plot.top()));
    const bool first = plot.count() == 0;
    if (!editor_.appendDrawnStep(plot, channel, start, end))
        return Outcome::Nothing;
    return first ? Outcome::FirstStepDrawn : Outcome::StepDrawn;
}

bool GraphInteraction::clearSelection()
{
    const bool hadSelection = state_.selected >= 0;
    state_ = State();
    return hadSelection;
}

bool GraphInteraction::cancelDrag()
{
    const bool dragging = state_.drag != Drag::None;
    state_.drag = Drag::None;
    state_.dragLine.clear();
    state_.moved = false;
    return dragging;
}

bool GraphInteraction::selectionFits(const ChannelPlot& plot)
{
    if (state_.selected < 0)
        return true;
    const int pieces =
        state_.handle == Handle::Value ? plot.count() : static_cast<int>(plot.boundaries().size());
    if (state_.selected < pieces)
        return true;
    clearSelection();
    return false;
}

void GraphInteraction::followPlot(const ChannelPlot& plot)
{
    if (state_.selected < 0 || !selectionFits(plot))
        return;
    state_.handlePoint = state_.handle == Handle::Value ? plot.segment(state_.selected).endPoint()
                                                        : plot.boundary(state_.selected).endPoint();
}
