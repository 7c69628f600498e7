#include "views/WorksheetFormats.h"

#include "model/AppSettings.h"
#include "model/DecimalText.h"
#include "model/SequenceFormats.h"
#include "model/StepBounds.h"

namespace WorksheetFormats {

namespace {

const QString kBlankWord = QStringLiteral("       ");

} // namespace

int stepLimit(const AppSettings& settings)
{
    return StepBounds::stepLimit(settings);
}

int shownLines(const AppSettings& settings)
{
    return settings.SeqCtl == HardwareControl ? kHardwareStepLimit : kMaxSteps;
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

QString valueWord(int mode)
{
    switch (mode) {
    case ModeCC:
    case ModeCCCV:
        return QStringLiteral("Current");
    case ModeCR:
    case ModeCRCV:
        return QStringLiteral("Resistance");
    default:
        return QStringLiteral("Voltage");
    }
}

QString valueUnitText(int mode)
{
    switch (mode) {
    case ModeCC:
    case ModeCCCV:
        return QStringLiteral("[A]");
    case ModeCR:
    case ModeCRCV:
        return QStringLiteral("[ohm]");
    default:
        return QStringLiteral("[V]");
    }
}

QString timeUnitText(int unit, int sequenceMode)
{
    if (sequenceMode == FastSequence)
        return QStringLiteral("[ms]");
    switch (unit) {
    case UnitMs:
        return QStringLiteral("[ms]");
    case UnitMin:
        return QStringLiteral("[min]");
    case UnitH:
        return QStringLiteral("[h]");
    default:
        return QStringLiteral("[s]");
    }
}

QString timeHeader(int unit, int sequenceMode)
{
    return QStringLiteral("Time") + timeUnitText(unit, sequenceMode);
}

QString intervalHeader(int unit, int sequenceMode)
{
    return QStringLiteral("Interval") + timeUnitText(unit, sequenceMode);
}

QString valueHeader(int mode)
{
    return valueWord(mode) + valueUnitText(mode);
}

QString transitionText(const QString& field)
{
    if (field == QLatin1String("0"))
        return QStringLiteral("Step");
    if (field == QLatin1String("1"))
        return QStringLiteral("Ramp");
    return kBlankWord;
}

QString loadText(const QString& field)
{
    if (field == QLatin1String("1"))
        return QStringLiteral("on");
    if (field == QLatin1String("0"))
        return QStringLiteral("off");
    return kBlankWord;
}

QString load2Text(const QString& field)
{
    return field == QLatin1String("0") ? QStringLiteral("off") : QStringLiteral("on");
}

IntervalBounds intervalBounds(const AppSettings& settings)
{
    const StepBounds::Range range = StepBounds::intervalRange(settings);
    return {range.minimum, range.maximum};
}

std::optional<QString> acceptedValue(const QString& text, int mode, const AppSettings& settings)
{
    if (text.isEmpty())
        return std::nullopt;
    const double value = decimalValue(text);
    if (!StepBounds::valueRange().contains(value))
        return std::nullopt;
    return formatDouble(valueFormat(mode, settings), value);
}

std::optional<QString> acceptedInterval(const QString& text, const AppSettings& settings)
{
    const double interval = decimalValue(text);
    const IntervalBounds bounds = intervalBounds(settings);
    if (interval < bounds.minimum || interval > bounds.maximum)
        return std::nullopt;
    if (settings.SeqMode == NormalSequence && settings.Unit == UnitS && settings.SeqCtl == SoftwareControl)
        return SequenceFormats::halfSecondIntervalText(interval);
    return formatDouble(timeTextFormat(settings), interval);
}

} // namespace WorksheetFormats
