#include "views/CRunGraph.h"

#include "model/AppSettings.h"
#include "model/ChannelSequence.h"
#include "model/DecimalText.h"
#include "run/MeasuredQuantity.h"
#include "views/GraphTooltips.h"
#include "views/WorksheetFormats.h"

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

void CRunGraph::load(const ChannelSequence& sequence, int operationMode, int passes)
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
    trace_.setPass(end * unitSeconds(), passes);
    hasFigures_ = false;
    layOut();
    update();
}

double CRunGraph::unitSeconds() const
{
    return secondsPerUnit(unit_, sequenceMode_);
}

void CRunGraph::layOut()
{
    plot_.setPlotArea(rect(), startLevel(settings_));
    plot_.rebuild(steps_);
    // The value axis takes the readings too, so that none is drawn outside it.
    std::vector<StepValues> extents = steps_;
    if (!trace_.isEmpty() && !steps_.empty()) {
        for (double value : {trace_.minimum(), trace_.maximum()})
            extents.push_back(StepValues{steps_.back().endTime, 0.0, value, StepSegment::Step});
    }
    plot_.applyAutomaticRanges(extents, true, true, true);
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
    // The cursor goes on top of the measured line, below.
    plotPainter.paint(plot_, look_.labelFont, options);
    if (measuredShown_ && !trace_.isEmpty()) {
        painter.save();
        painter.setClipRect(plot_.plotRect().adjusted(0, 0, 1, 1));
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(look_.measuredColour, 1.5);
        pen.setCosmetic(true);
        painter.setPen(pen);
        for (const QPolygonF& line : measuredPolylines()) {
            if (line.size() == 1)
                painter.drawPoint(line.front());
            else
                painter.drawPolyline(line);
        }
        painter.restore();
    }
    plotPainter.paintPolyline(cursor_, look_.colours.draw);
    const QString figures = figuresText();
    if (!figures.isEmpty()) {
        // Above the plot at its right end, clear of the curves and of the value unit at the left.
        painter.save();
        painter.setFont(look_.labelFont);
        painter.setPen(look_.colours.axis);
        const QRect corner(plot_.left(), 0, plot_.right() - plot_.left(), ChannelPlot::kInset - 4);
        painter.drawText(corner, Qt::AlignRight | Qt::AlignVCenter, figures);
        painter.restore();
    }
}

void CRunGraph::addReading(const RunReading& reading)
{
    const double value = MeasuredQuantity::valueOf(mode_, reading.current, reading.voltage);
    const int pass = trace_.pass();
    trace_.add(reading.seconds, reading.pass, value);
    figures_ = reading;
    hasFigures_ = true;
    if (trace_.pass() != pass ||
        (!std::isnan(value) && (value > plot_.valueMax() || value < plot_.valueMin())))
        layOut();
    update();
}

void CRunGraph::clearMeasurement()
{
    trace_.clear();
    hasFigures_ = false;
    layOut();
    update();
}

void CRunGraph::setMeasurementShown(bool shown)
{
    measuredShown_ = shown;
    update();
}

QString CRunGraph::figuresText() const
{
    if (!hasFigures_ || !figures_.hasCharge)
        return QString();
    QString text = look_.chargeText.arg(QString::number(figures_.chargeAh, 'f', 4));
    if (figures_.hasEnergy)
        text += QStringLiteral("   ") + look_.energyText.arg(QString::number(figures_.energyWh, 'f', 3));
    return text;
}

std::vector<QPolygonF> CRunGraph::measuredPolylines() const
{
    std::vector<QPolygonF> lines;
    const double timeSpan = plot_.timeMax() - plot_.timeMin();
    const double valueSpan = plot_.valueMax() - plot_.valueMin();
    if (!(timeSpan > 0.0) || !(valueSpan > 0.0))
        return lines;
    const double xScale = (plot_.right() - plot_.left()) / timeSpan / unitSeconds();
    const double yScale = (plot_.bottom() - plot_.top()) / valueSpan;
    for (const std::vector<QPointF>& points : trace_.polylines()) {
        QPolygonF line;
        line.reserve(static_cast<qsizetype>(points.size()));
        for (const QPointF& point : points)
            line << QPointF(plot_.left() + (point.x() - plot_.timeMin() * unitSeconds()) * xScale,
                            plot_.bottom() - (point.y() - plot_.valueMin()) * yScale);
        lines.push_back(line);
    }
    return lines;
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
    // Without readings (monitoring off, or none yet) there is nothing to show or hide.
    QAction* measured = menu->addAction(look_.measuredValuesText);
    measured->setCheckable(true);
    measured->setChecked(measuredShown_);
    measured->setEnabled(!trace_.isEmpty());
    connect(measured, &QAction::triggered, this, [this] { setMeasurementShown(!measuredShown_); });
    menu->popup(event->globalPos());
}

void CRunGraph::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    tooltip_.set(point, tooltipAt(point));
}

QString CRunGraph::tooltipAt(const QPoint& point) const
{
    const QString stepTip = setLineTipAt(point);
    const QString measuredTip = measuredTipAt(point);
    if (stepTip.isEmpty() || measuredTip.isEmpty())
        return stepTip + measuredTip;
    return stepTip + QLatin1Char('\n') + measuredTip;
}

QString CRunGraph::measuredTipAt(const QPoint& point) const
{
    if (!measuredShown_ || trace_.isEmpty() || !plot_.plotRect().contains(point))
        return QString();
    const double time = plot_.timeAt(point.x());
    const double measured = trace_.valueAt(time * unitSeconds());
    if (std::isnan(measured))
        return QString();
    const QByteArray format = WorksheetFormats::valueFormat(mode_, settings_);
    return look_.measuredTip.arg(
        formatDouble(format.constData(), ChannelPlot::setValueAt(steps_, plot_.startLevel(), time)),
        WorksheetFormats::valueUnitText(mode_), formatDouble(format.constData(), measured));
}

QString CRunGraph::setLineTipAt(const QPoint& point) const
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
