#include "views/GraphViewTooltip.h"

#include "views/ChannelPlot.h"
#include "views/GraphInteraction.h"
#include "views/GraphTooltips.h"

#include <QToolTip>
#include <QWidget>

using Drag = GraphInteraction::Drag;

GraphViewTooltip::GraphViewTooltip(QWidget& view, TimerService& timers) : view_(view), timers_(timers) {}

GraphViewTooltip::~GraphViewTooltip()
{
    timers_.stopTimer(timer_);
}

QString GraphViewTooltip::hoverText(const ChannelPlot& plot, const GraphInteraction& mouse,
                                    const QPoint& point, bool boundaryLines, int mode,
                                    const AppSettings& settings)
{
    const int selected = mouse.selectedIndex();
    if (mouse.onHandle(point) && selected < plot.count()) {
        if (mouse.handle() == GraphInteraction::Handle::Value) {
            const StepSegment& segment = plot.segment(selected);
            return QStringLiteral("[Line%1] ").arg(segment.step) +
                   GraphTooltips::valueText(segment.value, mode, settings);
        }
        const StepSegment& boundary = plot.boundary(selected);
        return QStringLiteral("[Line%1] ").arg(boundary.step) +
               GraphTooltips::timeAndInterval(boundary.endTime, boundary.interval, settings);
    }
    const int segment = plot.segmentAt(point);
    const int boundary = boundaryLines ? plot.boundaryAt(point) : -1;
    if (segment >= 0) {
        const StepSegment& s = plot.segment(segment);
        return GraphTooltips::stepTip(s.step, s.value, s.interval, mode, settings);
    }
    if (boundary >= 0 && plot.plotRect().contains(point)) {
        const StepSegment& b = plot.boundary(boundary);
        return GraphTooltips::boundaryTip(b.step, b.endTime, b.interval, b.value, mode, settings);
    }
    if (plot.xAxis().isHit(point))
        return GraphTooltips::timeAxisTip(plot.timeAt(point.x()), settings);
    if (plot.yAxis().isHit(point))
        return GraphTooltips::valueAxisTip(plot.valueAt(point.y()), mode, settings);
    return QString();
}

QString GraphViewTooltip::dragText(const ChannelPlot& plot, const GraphInteraction& mouse,
                                   const QPoint& point, int mode, const AppSettings& settings)
{
    const int index = mouse.selectedIndex();
    const double time = plot.timeAt(point.x());
    // A handle's drag names its step; without one there is nothing to tell.
    if ((mouse.drag() == Drag::Value || mouse.drag() == Drag::Time) && (index < 0 || index >= plot.count()))
        return QString();
    switch (mouse.drag()) {
    case Drag::Drawing: {
        const double previousEnd = plot.count() > 0 ? plot.segments().back().endTime : 0.0;
        return GraphTooltips::editTip(plot.count() + 1, time, time - previousEnd, plot.valueAt(point.y()),
                                      mode, settings);
    }
    case Drag::Value: {
        const StepSegment& segment = plot.segment(index);
        return GraphTooltips::editTip(segment.step, segment.endTime, segment.interval,
                                      plot.valueAt(point.y()), mode, settings);
    }
    case Drag::Time: {
        const StepSegment& segment = plot.segment(index);
        const double previousEnd = index > 0 ? plot.segment(index - 1).endTime : 0.0;
        return GraphTooltips::editTip(segment.step, time, time - previousEnd, segment.value, mode, settings);
    }
    case Drag::None:
        break;
    }
    return QString();
}

void GraphViewTooltip::set(const QPoint& point, const QString& text)
{
    if (point == position_)
        return;
    position_ = point;
    text_ = text;
    timers_.stopTimer(timer_);
    timer_ = TimerService::noTimer;
    if (text.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    timer_ = timers_.startTimer(kDelayMs, true, [this] { show(); });
}

void GraphViewTooltip::show()
{
    timer_ = TimerService::noTimer;
    if (!view_.isVisible() || text_.isEmpty())
        return;
    QToolTip::showText(view_.mapToGlobal(position_), text_, &view_, QRect(), kShowMs);
}
