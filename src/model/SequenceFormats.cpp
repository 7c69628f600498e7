#include "model/SequenceFormats.h"

#include "model/AppSettings.h"
#include "model/DecimalText.h"

#include <cmath>

namespace SequenceFormats {

QString modeToken(int mode)
{
    switch (mode) {
    case ModeCC:
        return QStringLiteral("CC");
    case ModeCR:
        return QStringLiteral("CR");
    case ModeCCCV:
        return QStringLiteral("CCV");
    case ModeCRCV:
        return QStringLiteral("CRV");
    default:
        return QStringLiteral("CV");
    }
}

OperationMode modeFromToken(const QString& token)
{
    if (token == QLatin1String("crv") || token == QLatin1String("CRV"))
        return ModeCRCV;
    if (token == QLatin1String("ccv") || token == QLatin1String("CCV"))
        return ModeCCCV;
    if (token == QLatin1String("cr") || token == QLatin1String("CR"))
        return ModeCR;
    if (token == QLatin1String("cc") || token == QLatin1String("CC"))
        return ModeCC;
    return ModeCV;
}

QString unitToken(int unit)
{
    switch (unit) {
    case UnitMs:
        return QStringLiteral("ms");
    case UnitMin:
        return QStringLiteral("min");
    case UnitH:
        return QStringLiteral("h");
    default:
        return QStringLiteral("s");
    }
}

TimeUnit unitFromToken(const QString& token)
{
    if (token.compare(QLatin1String("min"), Qt::CaseInsensitive) == 0)
        return UnitMin;
    if (token.compare(QLatin1String("h"), Qt::CaseInsensitive) == 0)
        return UnitH;
    return UnitS;
}

int fileValueDecimals(int mode, const AppSettings& settings)
{
    switch (mode) {
    case ModeCC:
    case ModeCCCV:
        switch (settings.CurrPlace) {
        case 0:
            return 2;
        case 1:
            return 3;
        case 2:
            return 4;
        default:
            return 5;
        }
    case ModeCR:
    case ModeCRCV:
        return settings.ResistPlace == 0 ? 4 : 5;
    default:
        return settings.VoltPlace == 0 ? 2 : 3;
    }
}

const char* fileValueFormat(int mode, const AppSettings& settings)
{
    static const char* const formats[] = {"%.0f", "%.1f", "%.2f", "%.3f", "%.4f", "%.5f"};
    return formats[fileValueDecimals(mode, settings)];
}

const char* recomputedTimeFormat(int sequenceMode, int unit)
{
    if (sequenceMode == FastSequence)
        return "%.3f";
    switch (unit) {
    case UnitMs:
        return "%.0f";
    case UnitMin:
    case UnitH:
        return "%.1f";
    default:
        return "%.3f";
    }
}

namespace {

// Decimals of the interval text of a unit and control method; -1 for Software Control seconds,
// which are rounded to half seconds.
int intervalDecimals(int unit, int controlMethod)
{
    switch (unit) {
    case UnitMs:
        return 0;
    case UnitMin:
    case UnitH:
        return 1;
    default:
        return controlMethod == HardwareControl ? 3 : -1;
    }
}

// The rounding of halfSecondIntervalText, from the "%.1f" text of the interval.
QString halfSecondsFromTenths(const QString& tenthsText)
{
    // The count of tenths is kept in a double: an int would overflow for absurd intervals. The
    // rounding works on the magnitude so that a negative interval rounds like its positive twin.
    const double tenths = std::trunc(decimalValue(tenthsText) * 10.0);
    if (!std::isfinite(tenths))
        return formatDouble("%.1f", 999.5);
    const double magnitude = std::fabs(tenths);
    const double remainder = std::fmod(magnitude, 5.0);
    if (remainder == 0.0)
        return tenthsText;
    double rounded = remainder < 3.0 ? magnitude - remainder : magnitude + (5.0 - remainder);
    if (tenths < 0)
        rounded = -rounded;
    double result = rounded * 0.1;
    if (result > 999.5)
        result = 999.5;
    return formatDouble("%.1f", result);
}

} // namespace

QString fileIntervalText(double interval, int unit, int controlMethod)
{
    const int decimals = intervalDecimals(unit, controlMethod);
    if (decimals < 0)
        return halfSecondIntervalText(interval);
    return QString::number(interval, 'f', decimals);
}

QString fileIntervalText(QLatin1String field, int unit, int controlMethod)
{
    const int decimals = intervalDecimals(unit, controlMethod);
    if (decimals < 0)
        return halfSecondsFromTenths(fixedText(field, 1));
    return fixedText(field, decimals);
}

QString halfSecondIntervalText(double seconds)
{
    return halfSecondsFromTenths(formatDouble("%.1f", seconds));
}

} // namespace SequenceFormats
