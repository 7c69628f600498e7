#include "model/StepRules.h"

#include "model/AppSettings.h"
#include "model/DecimalText.h"
#include "model/SequenceFormats.h"
#include "model/StepBounds.h"

namespace StepRules {

int stepLimit(const AppSettings& settings)
{
    return StepBounds::stepLimit(settings);
}

const char* timeTextFormat(const AppSettings& settings)
{
    if (settings.SeqMode == FastSequence)
        return "%.1f";
    switch (settings.Unit) {
    case UnitMs:
        return "%.0f";
    case UnitS:
        return settings.SeqCtl == HardwareControl ? "%.3f" : "%.1f";
    default:
        return "%.1f";
    }
}

const char* valueFormat(int mode, const AppSettings& settings)
{
    switch (mode) {
    case ModeCC:
    case ModeCCCV:
        switch (settings.CurrPlace) {
        case 1:
            return "%.3f";
        case 2:
            return "%.4f";
        case 3:
            return "%.5f";
        default:
            return "%.2f";
        }
    case ModeCR:
    case ModeCRCV:
        return settings.ResistPlace == 1 ? "%.5f" : "%.4f";
    default:
        return settings.VoltPlace == 1 ? "%.3f" : "%.2f";
    }
}

bool isValueInRange(double value)
{
    return StepBounds::valueRange().contains(value);
}

IntervalBounds intervalBounds(const AppSettings& settings)
{
    const StepBounds::Range range = StepBounds::intervalRange(settings);
    return {range.minimum, range.maximum};
}

bool roundsToHalfSeconds(const AppSettings& settings)
{
    return settings.SeqMode == NormalSequence && settings.Unit == UnitS && settings.SeqCtl == SoftwareControl;
}

QString valueText(double value, const char* format)
{
    QString text = formatDouble(format, value);
    if (text.startsWith(QLatin1Char('-')) && decimalValue(text) == 0.0)
        text.remove(0, 1);
    return text;
}

std::optional<QString> acceptedValue(const QString& text, int mode, const AppSettings& settings)
{
    if (text.isEmpty())
        return std::nullopt;
    const double value = decimalValue(text);
    if (!isValueInRange(value))
        return std::nullopt;
    return valueText(value, valueFormat(mode, settings));
}

std::optional<QString> acceptedInterval(const QString& text, const AppSettings& settings)
{
    const double interval = decimalValue(text);
    const IntervalBounds bounds = intervalBounds(settings);
    if (interval < bounds.minimum || interval > bounds.maximum)
        return std::nullopt;
    if (roundsToHalfSeconds(settings))
        return SequenceFormats::halfSecondIntervalText(interval);
    return formatDouble(timeTextFormat(settings), interval);
}

} // namespace StepRules
