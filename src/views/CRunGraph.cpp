#include "views/CRunGraph.h"

#include "model/AppSettings.h"
#include "model/ChannelSequence.h"
#include "model/DecimalText.h"
#include "views/GraphTooltips.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Seconds per unit of the time axis: ms and fast mode in milliseconds.
double secondsPerUnit(int unit, int sequenceMode)
{
    if (sequenceMode == FastSequence || unit == UnitMs)
        return 0.001;
    if (unit == UnitMin)
        return 60.0;
    if (unit == UnitH)
        return 3600.0;
    return 1.0;
}

} // namespace

CRunGraph::CRunGraph(const AppSettings& settings, TimerService& timers, const Look& look, QWidget* parent)
    : QWidget(parent), settings_(settings), timers_(timers), look_(look)
{
    setMouseTracking(true);
    setMinimumSize(2 * ChannelPlot::kInset + 40, 2 * ChannelPlot::kInset + 40);
}

CRunGraph::~CRunGraph()
{
    if (timer_ != TimerService::noTimer)
        timers_.stopTimer(timer_);
}

double CRunGraph::startLevel(const AppSettings& settings)
{
    switch (settings.Mode) {
    case 0:
        return settings.bInitVolt == 1 ? settings.InitVolt : 0.0;
    case 1:
        return settings.bInitCurr == 1 ? settings.InitCurr : 0.0;
    case 2:
        return settings.bInitPower == 1 ? settings.InitPower : 0.0;
    case 3:
        return settings.bInitRes == 1 ? settings.InitRes : 0.0;
    default:
        return 0.0;
    }
}

void CRunGraph::load(const ChannelSequence& sequence, int operationMode)
{
    mode_ = operationMode;
    sequenceMode_ = settings_.SeqMode;
    unit_ = settings_.Unit;
    // The copy's end times come from its intervals.
    steps_ = ChannelPlot::stepValuesOf(sequence);
    double end = 0.0;
    for (StepValues& step : steps_) {
        end += step.interval;
        step.endTime = end;
    }
    layOut();
    update();
}

void CRunGraph::layOut()
{
    plot_.setPlotArea(rect(), startLevel(settings_));
    plot_.rebuild(steps_);
    plot_.applyAutomaticRanges(steps_, true, true, true);
    plot_.writeLabels(unit_, mode_, sequenceMode_);
    totalSeconds_ = plot_.timeMax() * secondsPerUnit(unit_, sequenceMode_);
    if (!cursor_.empty())
        placeCursor();
}

bool CRunGraph::startProgress()
{
    stopProgress();
    if (unit_ != UnitMin && unit_ != UnitH && !(plot_.timeMax() > 1.0))
        return false;
    seconds_ = 0;
    cursorTime_ = 0.0;
    cursor_ = {QPoint(plot_.left(), 0), QPoint(plot_.left(), plot_.bottom())};
    timer_ = timers_.startTimer(1000, false, [this] { advanceProgress(); });
    update();
    return true;
}

void CRunGraph::stopProgress()
{
    if (timer_ != TimerService::noTimer)
        timers_.stopTimer(timer_);
    timer_ = TimerService::noTimer;
    cursor_.clear();
    update();
}

void CRunGraph::advanceProgress()
{
    ++seconds_;
    if (seconds_ <= totalSeconds_)
        cursorTime_ = seconds_ / secondsPerUnit(unit_, sequenceMode_);
    else
        cursorTime_ = plot_.timeMax();
    placeCursor();
    update();
}

void CRunGraph::placeCursor()
{
    const int x = plot_.xOf(cursorTime_);
    cursor_ = {QPoint(x, 0), QPoint(x, plot_.bottom())};
}

void CRunGraph::setVerticalLines(bool shown)
{
    verticalLines_ = shown;
    update();
}

void CRunGraph::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PlotPainter plotPainter(painter, look_.colours);
    PlotPainter::Options options;
    options.boundaryLines = verticalLines_;
    options.freeLine = cursor_;
    plotPainter.paint(plot_, look_.labelFont, options);
}

void CRunGraph::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void CRunGraph::contextMenuEvent(QContextMenuEvent* event)
{
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* verticalAxis = menu->addAction(look_.verticalAxisText);
    verticalAxis->setCheckable(true);
    verticalAxis->setChecked(verticalLines_);
    connect(verticalAxis, &QAction::triggered, this, [this] {
        setVerticalLines(!verticalLines_);
        emit verticalLinesToggled(verticalLines_);
    });
    menu->popup(event->globalPos());
}

void CRunGraph::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    tooltip_.set(point, tooltipAt(point));
}

QString CRunGraph::tooltipAt(const QPoint& point) const
{
    const int index = plot_.segmentAt(point);
    if (index >= 0) {
        const StepSegment& segment = plot_.segment(index);
        return GraphTooltips::stepTip(segment.step, segment.value, segment.interval, mode_, settings_);
    }
    const int boundary = verticalLines_ ? plot_.boundaryAt(point) : -1;
    if (boundary >= 0) {
        const StepSegment& line = plot_.boundary(boundary);
        return GraphTooltips::boundaryTip(line.step, line.endTime, line.interval, line.value, mode_,
                                          settings_);
    }
    if (plot_.xAxis().isHit(point))
        return GraphTooltips::timeAxisTip(plot_.timeAt(point.x()), settings_);
    if (plot_.yAxis().isHit(point))
        return GraphTooltips::valueAxisTip(plot_.valueAt(point.y()), mode_, settings_);
    return QString();
}
