#include "views/GraphInteraction.h"

#include "views/ChannelPlot.h"
#include "views/GraphStepEditor.h"

#include <QRect>
#include <algorithm>

bool GraphInteraction::onHandle(const QPoint& point) const
{
    return selected_ >= 0 && point.x() >= handlePoint_.x() - 3 && point.x() < handlePoint_.x() + 3 &&
           point.y() >= handlePoint_.y() - 3 && point.y() < handlePoint_.y() + 3;
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

bool GraphInteraction::select(ChannelPlot& plot, const QPoint& point, bool boundaryLines, bool fastMode)
{
    if (selected_ >= 0 || drag_ != Drag::None || !plot.plotRect().contains(point))
        return false;
    if (boundaryLines && !fastMode) {
        const int boundary = plot.boundaryAt(point);
        if (boundary >= 0) {
            selected_ = boundary;
            handle_ = Handle::Time;
            handlePoint_ = plot.boundary(boundary).endPoint();
            plot.selectBoundary(boundary);
            return true;
        }
    }
    const int segment = plot.segmentAt(point);
    if (segment < 0 || !plot.segment(segment).hasLine())
        return false;
    selected_ = segment;
    handle_ = Handle::Value;
    handlePoint_ = plot.segment(segment).endPoint();
    plot.selectSegment(segment);
    return true;
}

bool GraphInteraction::press(ChannelPlot& plot, const QPoint& point)
{
    if (drag_ != Drag::None)
        return false;
    if (selected_ >= 0) {
        if (!onHandle(point))
            return clearSelection(plot);
        if (handle_ == Handle::Value) {
            drag_ = Drag::Value;
            dragLine_ = plot.segment(selected_).points;
        } else {
            drag_ = Drag::Time;
            dragLine_ = plot.boundary(selected_).points;
        }
        return true;
    }
    if (!inAppendZone(plot, point))
        return false;
    drag_ = Drag::Drawing;
    drawingStart_ = QPoint(plot.appendLeft(), point.y());
    dragLine_ = {drawingStart_, drawingStart_};
    moved_ = false;
    return true;
}

void GraphInteraction::move(const ChannelPlot& plot, const QPoint& point)
{
    switch (drag_) {
    case Drag::Drawing:
        moved_ = moved_ || point != drawingStart_;
        dragLine_ = {drawingStart_, point};
        break;
    case Drag::Value:
        dragLine_.back().setY(point.y());
        if (plot.segment(selected_).transition != StepSegment::Ramp)
            dragLine_.front().setY(point.y());
        break;
    case Drag::Time:
        for (QPoint& linePoint : dragLine_)
            linePoint.setX(point.x());
        break;
    case Drag::None:
        break;
    }
}

GraphInteraction::Outcome GraphInteraction::release(ChannelPlot& plot, int channel, const QPoint& point)
{
    const Drag finished = drag_;
    const int index = selected_;
    cancelDrag();
    clearSelection(plot);
    switch (finished) {
    case Drag::Value:
        return finishValueDrag(plot, channel, index, point);
    case Drag::Time:
        return finishTimeDrag(plot, channel, index, point);
    case Drag::Drawing:
        return finishDrawing(plot, channel, point);
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

GraphInteraction::Outcome GraphInteraction::finishDrawing(ChannelPlot& plot, int channel, const QPoint& point)
{
    // A click without a drag draws nothing; neither does a release outside the drawing area.
    if (!moved_ || !inDrawingArea(plot, point))
        return Outcome::Nothing;
    // The area's margins beyond the plot are a tolerance: the step ends on the plot's edge.
    const QPoint end(std::min(point.x(), plot.right()), std::max(point.y(), plot.top()));
    const bool first = plot.count() == 0;
    if (!editor_.appendDrawnStep(plot, channel, drawingStart_, end))
        return Outcome::Nothing;
    return first ? Outcome::FirstStepDrawn : Outcome::StepDrawn;
}

bool GraphInteraction::clearSelection(ChannelPlot& plot)
{
    plot.clearSelection();
    if (selected_ < 0)
        return false;
    selected_ = -1;
    return true;
}

void GraphInteraction::cancelDrag()
{
    drag_ = Drag::None;
    dragLine_.clear();
}

void GraphInteraction::followPlot(const ChannelPlot& plot)
{
    if (selected_ < 0)
        return;
    if (selected_ >= plot.count()) {
        selected_ = -1;
        cancelDrag();
        return;
    }
    handlePoint_ =
        handle_ == Handle::Value ? plot.segment(selected_).endPoint() : plot.boundary(selected_).endPoint();
}
