#include "run/StepSchedule.h"

#include "model/DecimalText.h"
#include "model/SequenceTypes.h"

#include <algorithm>
#include <cmath>

namespace StepSchedule {

namespace {

bool isConductanceMode(int mode)
{
    return mode == ModeCR || mode == ModeCRCV;
}

QString conductanceCommand(double resistance)
{
    const double conductance = resistance == 0.0 ? 0.0 : 1.0 / resistance;
    return QStringLiteral("COND ") + formatDouble("%.8f", conductance);
}

QString prefixOf(int mode)
{
    if (mode == ModeCV)
        return QStringLiteral("VOLT ");
    if (isConductanceMode(mode))
        return QStringLiteral("COND ");
    return QStringLiteral("CURR ");
}

} // namespace

bool isRamp(const SequenceStep& step)
{
    return step.transition == QLatin1String("1");
}

bool isLoadOn(const SequenceStep& step)
{
    return step.load != QLatin1String("0");
}

bool isHalfSecondRamp(const SequenceStep& step, int unit)
{
    return unit == UnitS && decimalValue(step.interval) == 0.5;
}

double unitFactor(int unit)
{
    switch (unit) {
    case UnitMs:
        return 0.001;
    case UnitMin:
        return 60.0;
    case UnitH:
        return 3600.0;
    default:
        return 1.0;
    }
}

int stepTimerPeriodMs(int unit)
{
    return unit == UnitS ? 500 : 1000;
}

qint64 nextStepTickDelayMs(qint64 runStartMs, qint64 nowMs, int periodMs, int marginMs)
{
    const qint64 period = std::max(periodMs, 1);
    const qint64 sinceGrid = nowMs - runStartMs - marginMs;
    qint64 k = sinceGrid < 0 ? 1 : sinceGrid / period + 1;
    if (k < 1)
        k = 1;
    return runStartMs + k * period + marginMs - nowMs;
}

qint64 stepEndMs(const ChannelSequence& sequence, int stepIndex, int repetition, double unitFactor)
{
    const int count = sequence.stepCount();
    if (count == 0)
        return 0;
    const int index = std::clamp(stepIndex, 0, count - 1);
    const double last = decimalValue(sequence.steps[count - 1].time);
    const double current = decimalValue(sequence.steps[index].time);
    const double end = (repetition - 1) * last * unitFactor + current * unitFactor;
    return std::llround(end * 1000.0);
}

double rampValue(double rampStart, double rampEnd, double durationSeconds, double endSeconds,
                 double nowSeconds)
{
    if (!(durationSeconds > 0.0))
        return rampEnd;
    const double elapsed = durationSeconds - (endSeconds - nowSeconds);
    return rampStart + (rampEnd - rampStart) / durationSeconds * elapsed;
}

QString computedValueCommand(int mode, double value)
{
    if (isConductanceMode(mode))
        return conductanceCommand(value);
    return prefixOf(mode) + formatDouble("%.3f", value);
}

QString storedValueCommand(int mode, const QString& valueText)
{
    if (isConductanceMode(mode))
        return conductanceCommand(decimalValue(valueText));
    return prefixOf(mode) + valueText;
}

QString zeroValueCommand(int mode)
{
    return prefixOf(mode) + QLatin1Char('0');
}

QString loadCommand(bool on)
{
    return on ? QStringLiteral("OUTP 1") : QStringLiteral("OUTP 0");
}

} // namespace StepSchedule
