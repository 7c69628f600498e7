#include "plot/LogPlotPainter.h"

#include "plot/AxisTicks.h"
#include "run/TraceDecimator.h"
#include "ui/ResourceModule.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

// The string table's texts of the plot: axis titles, legend entries, "No readings".
constexpr int kTimeTitle = 882;
constexpr int kTimeTitleHms = 883;
constexpr int kCurrentTitle = 884;
constexpr int kVoltageTitle = 885;
constexpr int kCurrentEntry = 886;
constexpr int kVoltageEntry = 887;
constexpr int kNoReadings = 888;

using Axis = LogPlotViewport::Axis;

const QColor kGrid(225, 225, 225);
const QColor kFrame(90, 90, 90);

bool shownCurve(const LogPlotPainter::Scene& scene, int channel, Axis axis)
{
    const LogData::Channel& column = scene.data.channels[static_cast<size_t>(channel)];
    if (axis == Axis::Current)
        return scene.shown.current[static_cast<size_t>(channel)] && !column.current.empty();
    return scene.shown.voltage[static_cast<size_t>(channel)] && !column.voltage.empty();
}

bool anyShown(const LogPlotPainter::Scene& scene, Axis axis)
{
    for (int c = 0; c < LogData::kChannels; ++c) {
        if (shownCurve(scene, c, axis))
            return true;
    }
    return false;
}

QPen curvePen(int channel, Axis axis)
{
    QPen pen(LogPlotPainter::channelColour(channel + 1), 1);
    pen.setCosmetic(true);
    if (axis == Axis::Voltage)
        pen.setStyle(Qt::DashLine);
    return pen;
}

// Hours:minutes:seconds labels once the view spans more than an hour, or when the file used them.
bool hmsLabels(const LogPlotPainter::Scene& scene)
{
    return scene.data.hoursMinutesSeconds || scene.view.time().span() > 3600.0;
}

void paintCurves(QPainter& painter, const LogPlotPainter::Scene& scene)
{
    const LogPlotViewport& view = scene.view;
    const QRectF rect = view.plotRect();
    const TraceDecimator::View range{view.time().lo, view.time().hi, rect.left(), rect.width()};
    painter.save();
    painter.setClipRect(rect.adjusted(-1, -1, 1, 1));
    for (Axis axis : {Axis::Voltage, Axis::Current}) {
        for (int c = LogData::kChannels - 1; c >= 0; --c) {
            if (!shownCurve(scene, c, axis))
                continue;
            const LogData::Channel& column = scene.data.channels[static_cast<size_t>(c)];
            const std::vector<double>& values = axis == Axis::Current ? column.current : column.voltage;
            painter.setPen(curvePen(c, axis));
            for (const std::vector<QPointF>& line :
                 TraceDecimator::decimate(scene.data.times, values, range)) {
                QPolygonF polygon;
                polygon.reserve(static_cast<qsizetype>(line.size()));
                for (const QPointF& point : line) {
                    // Far outside the plot the points are held where the arithmetic stays exact.
                    const double y =
                        std::clamp(view.yOf(point.y(), axis), rect.top() - 1e5, rect.bottom() + 1e5);
                    polygon << QPointF(point.x(), y);
                }
                if (polygon.size() == 1)
                    painter.drawPoint(polygon.front());
                else
                    painter.drawPolyline(polygon);
            }
        }
    }
    painter.restore();
}

void paintLegend(QPainter& painter, const LogPlotPainter::Scene& scene, const LogPlotTexts& texts,
                 const QFontMetricsF& metrics)
{
    QStringList entries;
    std::vector<std::pair<int, Axis>> curves;
    for (int c = 0; c < LogData::kChannels; ++c) {
        for (Axis axis : {Axis::Current, Axis::Voltage}) {
            if (!shownCurve(scene, c, axis))
                continue;
            entries << (axis == Axis::Current ? texts.currentEntry : texts.voltageEntry).arg(c + 1);
            curves.emplace_back(c, axis);
        }
    }
    if (entries.isEmpty())
        return;
    const double line = metrics.height();
    double widest = 0.0;
    for (const QString& entry : entries)
        widest = std::max(widest, metrics.horizontalAdvance(entry));
    const double sample = 2.5 * line;
    const QRectF rect = scene.view.plotRect();
    const QRectF box(rect.left() + 8, rect.top() + 8, sample + widest + 18, line * entries.size() + 8);
    painter.save();
    painter.setPen(QPen(kFrame, 0));
    painter.setBrush(QColor(255, 255, 255, 225));
    painter.drawRect(box);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const double y = box.top() + 4 + line * i;
        painter.setPen(curvePen(curves[static_cast<size_t>(i)].first, curves[static_cast<size_t>(i)].second));
        painter.drawLine(QPointF(box.left() + 6, y + line / 2),
                         QPointF(box.left() + 6 + sample, y + line / 2));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(box.left() + 12 + sample, y, widest + 4, line),
                         Qt::AlignLeft | Qt::AlignVCenter, entries[i]);
    }
    painter.restore();
}

void paintCursor(QPainter& painter, const LogPlotPainter::Scene& scene, const LogPlotTexts& texts,
                 const QFontMetricsF& metrics)
{
    const QRectF rect = scene.view.plotRect();
    const double x = scene.view.xOf(*scene.cursor);
    if (x < rect.left() || x > rect.right())
        return;
    painter.save();
    QPen pen(QColor(40, 40, 40), 0);
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawLine(QPointF(x, rect.top()), QPointF(x, rect.bottom()));
    const QStringList lines = LogPlotPainter::cursorLines(scene, *scene.cursor, texts);
    double widest = 0.0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const double height = metrics.height() * lines.size() + 8;
    QRectF box(x + 8, rect.top() + 8, widest + 12, height);
    if (box.right() > rect.right())
        box.moveRight(x - 8);
    painter.setPen(QPen(kFrame, 0));
    painter.setBrush(QColor(255, 255, 224, 235));
    painter.drawRect(box);
    painter.setPen(Qt::black);
    for (qsizetype i = 0; i < lines.size(); ++i)
        painter.drawText(
            QRectF(box.left() + 6, box.top() + 4 + metrics.height() * i, widest + 2, metrics.height()),
            Qt::AlignLeft | Qt::AlignVCenter, lines[i]);
    painter.restore();
}

} // namespace

LogCurveBlocks LogCurveBlocks::of(const LogData& data)
{
    LogCurveBlocks result;
    for (int c = 0; c < LogData::kChannels; ++c) {
        const LogData::Channel& column = data.channels[static_cast<size_t>(c)];
        result.current[static_cast<size_t>(c)] = TraceDecimator::blocksOf(column.current);
        result.voltage[static_cast<size_t>(c)] = TraceDecimator::blocksOf(column.voltage);
    }
    return result;
}

LogPlotTexts LogPlotTexts::fromModule(const ResourceModule& module)
{
    LogPlotTexts texts;
    const auto take = [&module](int id, QString& text) {
        if (module.hasString(id))
            text = module.string(id);
    };
    take(kTimeTitle, texts.timeTitle);
    take(kTimeTitleHms, texts.timeTitleHms);
    take(kCurrentTitle, texts.currentTitle);
    take(kVoltageTitle, texts.voltageTitle);
    take(kCurrentEntry, texts.currentEntry);
    take(kVoltageEntry, texts.voltageEntry);
    take(kNoReadings, texts.noReadings);
    return texts;
}

QColor LogPlotPainter::channelColour(int channel)
{
    static const QColor colours[] = {QColor(0, 90, 200), QColor(205, 35, 35), QColor(0, 140, 60),
                                     QColor(225, 120, 0), QColor(135, 55, 170)};
    return colours[std::clamp(channel, 1, 5) - 1];
}

QRectF LogPlotPainter::plotRectFor(const QRectF& area, const QFont& font)
{
    const QFontMetricsF metrics(font);
    const double label = metrics.horizontalAdvance(QStringLiteral("-0000.000"));
    const double side = label + metrics.height() + 14;
    return area.adjusted(side, metrics.height() + 6, -side, -(2 * metrics.height() + 14));
}

void LogPlotPainter::paint(QPainter& painter, const QRectF& area, const QFont& font, const Scene& scene,
                           const LogPlotTexts& texts)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, scene.antialias);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    LogPlotViewport& view = scene.view;
    view.setPlotRect(plotRectFor(area, font));
    const QRectF rect = view.plotRect();
    painter.fillRect(area, Qt::white);
    if (rect.width() < 10 || rect.height() < 10) {
        painter.restore();
        return;
    }

    // The grid follows the time ticks and the left axis's ticks (the right's when only voltage is shown).
    const bool hms = hmsLabels(scene);
    const int timeCount = std::max(
        2, static_cast<int>(rect.width() / (metrics.horizontalAdvance(QStringLiteral("00:00:00")) * 2)));
    const int valueCount = std::max(2, static_cast<int>(rect.height() / (metrics.height() * 4.0)));
    const AxisTicks::Ticks timeTicks = AxisTicks::times(view.time().lo, view.time().hi, timeCount);
    const AxisTicks::Ticks currentTicks = AxisTicks::values(view.current().lo, view.current().hi, valueCount);
    const AxisTicks::Ticks voltageTicks = AxisTicks::values(view.voltage().lo, view.voltage().hi, valueCount);
    const bool currentAxis = anyShown(scene, Axis::Current);
    const bool voltageAxis = anyShown(scene, Axis::Voltage);
    const Axis gridAxis = currentAxis || !voltageAxis ? Axis::Current : Axis::Voltage;

    painter.setPen(QPen(kGrid, 0));
    for (double t : timeTicks.values)
        painter.drawLine(QPointF(view.xOf(t), rect.top()), QPointF(view.xOf(t), rect.bottom()));
    for (double v : (gridAxis == Axis::Current ? currentTicks : voltageTicks).values)
        painter.drawLine(QPointF(rect.left(), view.yOf(v, gridAxis)),
                         QPointF(rect.right(), view.yOf(v, gridAxis)));

    paintCurves(painter, scene);

    painter.setPen(QPen(kFrame, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect);
    painter.setPen(Qt::black);
    const double line = metrics.height();
    for (double t : timeTicks.values) {
        const double x = view.xOf(t);
        painter.drawLine(QPointF(x, rect.bottom()), QPointF(x, rect.bottom() + 4));
        painter.drawText(QRectF(x - 60, rect.bottom() + 5, 120, line), Qt::AlignHCenter | Qt::AlignTop,
                         AxisTicks::timeText(t, timeTicks, hms));
    }
    painter.drawText(QRectF(rect.left(), rect.bottom() + line + 8, rect.width(), line),
                     Qt::AlignHCenter | Qt::AlignTop, hms ? texts.timeTitleHms : texts.timeTitle);
    const auto valueAxis = [&](Axis axis, const AxisTicks::Ticks& ticks, bool left) {
        const double edge = left ? rect.left() : rect.right();
        for (double v : ticks.values) {
            const double y = view.yOf(v, axis);
            painter.drawLine(QPointF(edge, y), QPointF(edge + (left ? -4 : 4), y));
            const QRectF box = left ? QRectF(edge - 206, y - line / 2, 200, line)
                                    : QRectF(edge + 6, y - line / 2, 200, line);
            painter.drawText(box, (left ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                             AxisTicks::valueText(v, ticks));
        }
        painter.save();
        const double x = left ? area.left() + 2 : area.right() - 2;
        painter.translate(x, rect.center().y());
        painter.rotate(left ? -90 : 90);
        painter.drawText(QRectF(-rect.height() / 2, 0, rect.height(), line), Qt::AlignHCenter | Qt::AlignTop,
                         axis == Axis::Current ? texts.currentTitle : texts.voltageTitle);
        painter.restore();
    };
    if (currentAxis || !voltageAxis)
        valueAxis(Axis::Current, currentTicks, true);
    if (voltageAxis)
        valueAxis(Axis::Voltage, voltageTicks, false);

    if (scene.data.channelNumbers().empty())
        painter.drawText(rect, Qt::AlignCenter, texts.noReadings);
    if (scene.legend)
        paintLegend(painter, scene, texts, metrics);
    if (scene.cursor)
        paintCursor(painter, scene, texts, metrics);
    painter.restore();
}

QStringList LogPlotPainter::cursorLines(const Scene& scene, double seconds, const LogPlotTexts& texts)
{
    const AxisTicks::Ticks precise{{}, 3, 0.001};
    QStringList lines{AxisTicks::timeText(seconds, precise, hmsLabels(scene)) +
                      (hmsLabels(scene) ? QString() : QStringLiteral(" s"))};
    for (int c = 0; c < LogData::kChannels; ++c) {
        for (Axis axis : {Axis::Current, Axis::Voltage}) {
            if (!shownCurve(scene, c, axis))
                continue;
            const LogData::Channel& column = scene.data.channels[static_cast<size_t>(c)];
            const std::vector<double>& values = axis == Axis::Current ? column.current : column.voltage;
            const long index = TraceDecimator::readingAt(scene.data.times, values, seconds);
            if (index < 0)
                continue;
            const QString name = (axis == Axis::Current ? texts.currentEntry : texts.voltageEntry).arg(c + 1);
            lines << QStringLiteral("%1: %2").arg(name, QString::number(values[static_cast<size_t>(index)],
                                                                        'f', axis == Axis::Current ? 4 : 3));
        }
    }
    return lines;
}
