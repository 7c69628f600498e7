#pragma once

#include "plot/LogPlotPainter.h"
#include "run/LogFigures.h"

#include <QWidget>
#include <optional>

class QRubberBand;

// The plot of the log viewer: draws the log with LogPlotPainter and turns the mouse into view
// changes. The wheel zooms the time axis about the pointer (with Ctrl both value axes); dragging
// with the left button draws a rectangle that the view then shows; dragging with the middle button,
// or with Shift and the left button, pans; the reading cursor follows the pointer. Home fits all.
class CLogPlot : public QWidget {
    Q_OBJECT
public:
    CLogPlot(const LogData& data, const std::vector<LogFigures::Channel>& figures, const LogPlotTexts& texts,
             QWidget* parent = nullptr);

    LogPlotViewport& viewport() { return view_; }
    const LogPlotViewport& viewport() const { return view_; }
    const CurveVisibility& visibility() const { return shown_; }
    void setCurveShown(int channel, LogPlotViewport::Axis axis, bool shown);
    // Every reading of the shown curves in view.
    void fitAll();
    std::optional<double> cursorTime() const { return cursor_; }
    // The scene as the window shows it, for images and the printout (without the cursor).
    LogPlotPainter::Scene scene(LogPlotViewport& view) const;
    // The window's plot rectangle as laid out for its size and font.
    QRectF plotRect() const;

signals:
    void viewChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Drag { None, Zoom, Pan };
    void layOut();

    const LogData& data_;
    const std::vector<LogFigures::Channel>& figures_;
    LogPlotTexts texts_;
    LogCurveBlocks blocks_;
    LogPlotViewport view_;
    CurveVisibility shown_;
    std::optional<double> cursor_;
    Drag drag_ = Drag::None;
    QPointF dragStart_;
    QPointF dragLast_;
    QRubberBand* band_ = nullptr;
};
