#include "views/GraphTooltips.h"

#include "model/AppSettings.h"
#include "model/DecimalText.h"
#include "views/WorksheetFormats.h"

#include <cmath>

namespace GraphTooltips {

namespace {

QString lineName(int step)
{
    return QStringLiteral("[Line%1]").arg(step);
}

} // namespace

QString valueText(double value, int mode, const AppSettings& settings)
{
    return WorksheetFormats::valueWord(mode) +
           formatDouble(WorksheetFormats::valueFormat(mode, settings), value) +
           WorksheetFormats::valueUnitText(mode);
}

QString timeText(const QString& word, double time, const AppSettings& settings)
{
    return word + formatDouble(WorksheetFormats::timeTextFormat(settings), time) +
           WorksheetFormats::timeUnitText(settings.Unit, settings.SeqMode);
}

QString timeAndInterval(double time, double interval, const AppSettings& settings)
{
    return timeText(QStringLiteral("Time"), time, settings) + QLatin1Char(' ') +
           timeText(QStringLiteral("Interval"), interval, settings);
}

QString stepTip(int step, double value, double interval, int mode, const AppSettings& settings)
{
    if (settings.SeqMode != FastSequence && (settings.Unit == UnitMin || settings.Unit == UnitH))
        interval = std::trunc(interval * 10.0) / 10.0;
    return lineName(step) + QLatin1Char(' ') + valueText(value, mode, settings) + QLatin1Char(' ') +
           timeText(QStringLiteral("Interval"), interval, settings);
}

QString boundaryTip(int step, double time, double interval, double value, int mode,
                    const AppSettings& settings)
{
    return QStringLiteral("[Vertical Axis] ") + editTip(step, time, interval, value, mode, settings);
}

QString editTip(int step, double time, double interval, double value, int mode, const AppSettings& settings)
{
    return lineName(step) + QLatin1Char(' ') + timeAndInterval(time, interval, settings) + QLatin1Char(' ') +
           valueText(value, mode, settings);
}

QString timeAxisTip(double time, const AppSettings& settings)
{
    return QStringLiteral("[X-axis] ") + timeText(QStringLiteral("Time"), time, settings);
}

QString valueAxisTip(double value, int mode, const AppSettings& settings)
{
    return QStringLiteral("[Y-axis] ") + valueText(value, mode, settings);
}

} // namespace GraphTooltips
