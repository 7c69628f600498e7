#include "plot/AxisTicks.h"

#include <algorithm>
#include <cmath>

namespace {

AxisTicks::Ticks ticksAt(double lo, double hi, double step)
{
    AxisTicks::Ticks ticks;
    ticks.step = step;
    const double first = std::ceil(lo / step - 1e-9) * step;
    for (double value = first; value <= hi + step * 1e-9 && ticks.values.size() < 1000; value += step)
        ticks.values.push_back(std::abs(value) < step * 1e-9 ? 0.0 : value);
    ticks.decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    return ticks;
}

} // namespace

namespace AxisTicks {

Ticks values(double lo, double hi, int maxCount)
{
    if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi))
        return ticksAt(lo, lo, 1.0);
    const double raw = (hi - lo) / std::max(1, maxCount);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double normal = raw / magnitude;
    const double factor = normal <= 1.0 ? 1.0 : normal <= 2.0 ? 2.0 : normal <= 5.0 ? 5.0 : 10.0;
    return ticksAt(lo, hi, factor * magnitude);
}

Ticks times(double lo, double hi, int maxCount)
{
    static const double steps[] = {1,   2,   5,    10,   15,   30,    60,    120,   300,
                                   600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400};
    const double raw = (hi - lo) / std::max(1, maxCount);
    if (!(raw >= 1.0))
        return values(lo, hi, maxCount);
    for (double step : steps) {
        if (step >= raw)
            return ticksAt(lo, hi, step);
    }
    return ticksAt(lo, hi, std::ceil(raw / 86400.0) * 86400.0);
}

QString valueText(double value, const Ticks& ticks)
{
    return QString::number(value, 'f', std::min(ticks.decimals, 9));
}

QString timeText(double seconds, const Ticks& ticks, bool hms)
{
    if (!hms)
        return valueText(seconds, ticks);
    const bool negative = seconds < 0.0;
    double rest = std::abs(seconds);
    const long long hours = static_cast<long long>(rest / 3600.0);
    rest -= 3600.0 * static_cast<double>(hours);
    const int minutes = static_cast<int>(rest / 60.0);
    rest -= 60.0 * minutes;
    const int decimals = std::min(ticks.decimals, 3);
    QString secondsText = QString::number(rest, 'f', decimals);
    if (rest < 10.0)
        secondsText.prepend(QLatin1Char('0'));
    return QStringLiteral("%1%2:%3:%4")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(hours)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(secondsText);
}

} // namespace AxisTicks
