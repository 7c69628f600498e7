#include "views/CLogPlot.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QWheelEvent>
#include <cmath>

namespace {

// One notch of the wheel zooms by a fifth.
constexpr double kNotchFactor = 0.8;

} // namespace

CLogPlot::CLogPlot(const LogData& data, const std::vector<LogFigures::Channel>& figures,
                   const LogPlotTexts& texts, QWidget* parent)
    : QWidget(parent), data_(data), figures_(figures), texts_(texts),
      band_(new QRubberBand(QRubberBand::Rectangle, this))
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(320, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
    layOut();
    view_.fit(data_, figures_, shown_);
}

QRectF CLogPlot::plotRect() const
{
    return LogPlotPainter::plotRectFor(QRectF(rect()), font());
}

void CLogPlot::layOut()
{
    view_.setPlotRect(plotRect());
}

LogPlotPainter::Scene CLogPlot::scene(LogPlotViewport& view) const
{
    return LogPlotPainter::Scene{data_, view, shown_, std::nullopt, true, false, &blocks_};
}

void CLogPlot::setCurveShown(int channel, LogPlotViewport::Axis axis, bool shown)
{
    auto& flags = axis == LogPlotViewport::Axis::Current ? shown_.current : shown_.voltage;
    flags[static_cast<size_t>(channel)] = shown;
    update();
}

void CLogPlot::fitAll()
{
    layOut();
    view_.fit(data_, figures_, shown_);
    update();
    emit viewChanged();
}

void CLogPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    LogPlotPainter::Scene scene{data_, view_, shown_, cursor_, true, false, &blocks_};
    LogPlotPainter::paint(painter, QRectF(rect()), font(), scene, texts_);
}

void CLogPlot::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void CLogPlot::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0)
        return;
    const double factor = std::pow(kNotchFactor, notches);
    const QPointF at = event->position();
    if (event->modifiers() & Qt::ControlModifier)
        view_.zoomValues(factor, at.y());
    else
        view_.zoomTime(factor, at.x());
    event->accept();
    update();
    emit viewChanged();
}

void CLogPlot::mousePressEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    if (!view_.plotRect().contains(at))
        return;
    const bool pan = event->button() == Qt::MiddleButton ||
                     (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier));
    if (pan) {
        drag_ = Drag::Pan;
        setCursor(Qt::ClosedHandCursor);
    } else if (event->button() == Qt::LeftButton) {
        drag_ = Drag::Zoom;
        band_->setGeometry(QRect(at.toPoint(), QSize()));
        band_->show();
    } else {
        return;
    }
    dragStart_ = dragLast_ = at;
    event->accept();
}

void CLogPlot::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    switch (drag_) {
    case Drag::Pan:
        view_.pan(at.x() - dragLast_.x(), at.y() - dragLast_.y());
        dragLast_ = at;
        emit viewChanged();
        break;
    case Drag::Zoom:
        band_->setGeometry(QRectF(dragStart_, at).normalized().toRect());
        break;
    case Drag::None:
        break;
    }
    const QRectF rect = view_.plotRect();
    if (rect.contains(at))
        cursor_ = view_.timeAt(at.x());
    else
        cursor_.reset();
    update();
}

void CLogPlot::mouseReleaseEvent(QMouseEvent* event)
{
    if (drag_ == Drag::Zoom) {
        band_->hide();
        if (view_.zoomTo(QRectF(dragStart_, event->position()).normalized()))
            emit viewChanged();
    }
    drag_ = Drag::None;
    unsetCursor();
    update();
}

void CLogPlot::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    cursor_.reset();
    update();
}

void CLogPlot::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Home) {
        fitAll();
        return;
    }
    QWidget::keyPressEvent(event);
}
