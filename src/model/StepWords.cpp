#include "model/StepWords.h"

#include "model/SequenceTypes.h"

namespace StepWords {

namespace {

const QString kBlankWord = QStringLiteral("       ");

} // namespace

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

} // namespace StepWords
