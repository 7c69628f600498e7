#include "views/PlotPainter.h"

#include "model/GraphSettings.h"
#include "views/ChannelPlot.h"

#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

namespace {

bool insidePlot(const ChannelPlot& plot, const QPoint& point)
{
    return point.x() >= plot.left() && point.x() <= plot.right() && point.y() >= plot.top() &&
           point.y() <= plot.bottom();
}

bool insidePlot(const ChannelPlot& plot, const StepSegment& segment)
{
    return segment.hasLine() && std::all_of(segment.points.begin(), segment.points.end(),
                                            [&plot](const QPoint& point) { return insidePlot(plot, point); });
}

} // namespace

PlotPainter::PlotPainter(QPainter& painter, const PlotColours& colours) : painter_(painter), colours_(colours)
{
}

void PlotColours::applyStored(const GraphSettings& graph)
{
    const std::pair<const std::optional<long>&, QColor*> colours[] = {{graph.colorArea, &background},
                                                                      {graph.colorLine, &line},
                                                                      {graph.colorAxis, &axis},
                                                                      {graph.colorLineY, &verticalAxis},
                                                                      {graph.colorLineCap, &draw}};
    for (const auto& [stored, colour] : colours) {
        if (stored)
            *colour = QColor(int(*stored & 0xff), int((*stored >> 8) & 0xff), int((*stored >> 16) & 0xff));
    }
}

void PlotColours::store(GraphSettings& graph) const
{
    graph.colorArea = storedNumber(background);
    graph.colorLine = storedNumber(line);
    graph.colorAxis = storedNumber(axis);
    graph.colorLineY = storedNumber(verticalAxis);
    graph.colorLineCap = storedNumber(draw);
}

long PlotColours::storedNumber(const QColor& colour)
{
    return long(colour.red()) | (long(colour.green()) << 8) | (long(colour.blue()) << 16);
}

QFont PlotPainter::labelFont(const QString& face)
{
    QFont font(face);
    // The named face is a narrow Japanese UI face; the substitutes are the nearest in width.
    font.setFamilies({face, QStringLiteral("Noto Sans CJK JP"), QStringLiteral("DejaVu Sans Condensed"),
                      QStringLiteral("Liberation Sans Narrow"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(9);
    font.setWeight(QFont::Normal);
    return font;
}

void PlotPainter::paint(const ChannelPlot& plot, const QFont& font, const Options& options)
{
    paintBackground(plot);
    paintZeroLine(plot);
    if (options.boundaryLines)
        paintBoundaryLines(plot, options.markedBoundary);
    paintAxes(plot);
    paintSequence(plot, options.markedSegment);
    if (options.labels)
        paintLabels(plot, font);
    paintPolyline(options.freeLine, colours_.draw);
}

void PlotPainter::paintBackground(const ChannelPlot& plot)
{
    painter_.fillRect(plot.plotRect(), colours_.background);
}

void PlotPainter::paintZeroLine(const ChannelPlot& plot)
{
    if (plot.showsZeroLine())
        stroke(plot.zeroLine().points, plot.zeroLine().pen, colours_.verticalAxis);
}

void PlotPainter::paintBoundaryLines(const ChannelPlot& plot, int marked)
{
    const std::vector<StepSegment>& boundaries = plot.boundaries();
    for (std::size_t i = 0; i < boundaries.size(); ++i) {
        const int x = boundaries[i].endPoint().x();
        if (x < plot.left() || x > plot.right())
            continue;
        stroke(boundaries[i].points, boundaries[i].pen, colours_.verticalAxis);
        if (static_cast<int>(i) == marked)
            invertSquare(boundaries[i].endPoint());
    }
}

void PlotPainter::paintAxes(const ChannelPlot& plot)
{
    stroke(plot.xAxis().points, plot.xAxis().pen, colours_.axis);
    stroke(plot.yAxis().points, plot.yAxis().pen, colours_.axis);
}

void PlotPainter::paintSequence(const ChannelPlot& plot, int marked)
{
    const std::vector<StepSegment>& segments = plot.segments();
    std::vector<char> drawn(segments.size(), 0);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (!insidePlot(plot, segments[i]))
            continue;
        drawn[i] = 1;
        stroke(segments[i].points, segments[i].pen, colours_.line);
    }
    const PlotPen connector{PlotPen::Style::Solid, 1, colours_.line};
    for (std::size_t i = 1; i < segments.size(); ++i) {
        if (segments[i].transition == StepSegment::Ramp || !drawn[i - 1] || !drawn[i])
            continue;
        stroke({segments[i - 1].endPoint(), segments[i].firstPoint()}, connector, colours_.line);
    }
    // The square belongs to the line: where the segment is not drawn, neither is its square.
    if (marked >= 0 && marked < static_cast<int>(segments.size()) && drawn[marked])
        invertSquare(segments[marked].endPoint());
}

void PlotPainter::paintLabels(const ChannelPlot& plot, const QFont& font)
{
    const QFont oldFont = painter_.font();
    painter_.setFont(font);
    const AxisLabels& labels = plot.labels();
    // A label never leaves the plot's window area: a long value label moves right rather than
    // losing its leading digits, a long unit moves left.
    const int areaLeft = plot.left() - ChannelPlot::kInset;
    const int areaRight = plot.right() + ChannelPlot::kInset;
    const auto put = [&](int x, int y, const QString& label, bool rightAligned) {
        text(QPoint(x, y), label, rightAligned, areaLeft, areaRight);
    };
    put(plot.right() + 5, plot.bottom(), labels.timeUnit, false);
    put(plot.right(), plot.bottom() + 8, labels.timeMax, true);
    if (plot.timeMin() > 0.0)
        put(plot.left(), plot.bottom() + 8, labels.timeMin, false);
    put(plot.left() - 12, plot.top() - 17, labels.valueUnit, false);
    put(plot.left() - 1, plot.top(), labels.valueMax, true);
    if (plot.valueMin() < 0.0)
        put(plot.left() - 1, plot.bottom() - 10, labels.valueMin, true);
    painter_.setFont(oldFont);
}

void PlotPainter::paintPolyline(const std::vector<QPoint>& points, const QColor& colour)
{
    stroke(points, PlotPen{}, colour);
}

void PlotPainter::invertSquare(const QPoint& centre)
{
    const QRect square(centre.x() - 3, centre.y() - 3, 7, 7);
    QPaintEngine* engine = painter_.paintEngine();
    if (engine && engine->hasFeature(QPaintEngine::RasterOpModes)) {
        const QPainter::CompositionMode oldMode = painter_.compositionMode();
        painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter_.fillRect(square, Qt::white);
        painter_.setCompositionMode(oldMode);
        return;
    }
    const QColor& back = colours_.background;
    painter_.fillRect(square, QColor(255 - back.red(), 255 - back.green(), 255 - back.blue()));
}

void PlotPainter::stroke(const std::vector<QPoint>& points, const PlotPen& pen, const QColor& colour)
{
    if (points.size() < 2)
        return;
    QPen qpen(colour);
    qpen.setWidth(std::max(1, pen.width));
    qpen.setCapStyle(Qt::FlatCap);
    qpen.setJoinStyle(Qt::MiterJoin);
    if (pen.style == PlotPen::Style::Dotted)
        qpen.setDashPattern({1.0, 1.0});
    const QPen oldPen = painter_.pen();
    const QBrush oldBrush = painter_.brush();
    painter_.setPen(qpen);
    painter_.setBrush(Qt::NoBrush);
    if (points.size() == 2)
        painter_.drawLine(points[0], points[1]);
    else
        painter_.drawPolyline(points.data(), static_cast<int>(points.size()));
    painter_.setPen(oldPen);
    painter_.setBrush(oldBrush);
}

void PlotPainter::text(const QPoint& anchor, const QString& label, bool rightAligned, int minX, int maxX)
{
    if (label.isEmpty())
        return;
    const QFontMetrics metrics(painter_.font(), painter_.device());
    const int width = metrics.horizontalAdvance(label);
    int x = rightAligned ? anchor.x() - width : anchor.x();
    x = std::max(std::min(x, maxX - width), minX);
    const QPen oldPen = painter_.pen();
    painter_.setPen(Qt::black);
    painter_.drawText(QRect(x, anchor.y(), width + 1, metrics.height()), Qt::AlignLeft | Qt::AlignTop, label);
    painter_.setPen(oldPen);
}
