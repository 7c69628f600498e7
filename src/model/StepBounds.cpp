#include "model/StepBounds.h"

#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/ChannelSequence.h"
#include "model/DecimalText.h"
#include "model/SequenceFormats.h"
#include "model/StepRules.h"

#include <cmath>

namespace StepBounds {

namespace {

QString rangeText(const Range& range)
{
    return QStringLiteral("%1 to %2").arg(range.minimum, 0, 'g', 10).arg(range.maximum, 0, 'g', 10);
}

} // namespace

int stepLimit(const AppSettings& settings)
{
    if (settings.SeqMode == NormalSequence && settings.SeqCtl == HardwareControl)
        return kHardwareStepLimit;
    return kMaxSteps;
}

Range valueRange()
{
    return {StepRules::kValueMinimum, StepRules::kValueMaximum};
}

Range intervalRange(const AppSettings& settings)
{
    switch (settings.Unit) {
    case UnitMs:
        return {1.0, 9999.0};
    case UnitS:
        if (settings.SeqCtl == HardwareControl)
            return {0.001, 9999.0};
        return {0.5, 999.5};
    default:
        return {0.1, 999.999};
    }
}

bool isLongHalfSecondInterval(double interval, const AppSettings& settings)
{
    constexpr double kLongestStep = 1.0e7;
    return StepRules::roundsToHalfSeconds(settings) && interval > intervalRange(settings).maximum &&
           interval <= kLongestStep && std::fmod(interval, 0.5) == 0.0;
}

QString channelProblem(const ChannelSequence& sequence, int channel, const AppSettings& settings)
{
    const QString where = QStringLiteral("Channel %1, line %2: ").arg(channel + 1);
    const QString nothingSent = QStringLiteral(" Nothing was sent.");
    const int limit = stepLimit(settings);
    if (sequence.count > limit) {
        return where.arg(limit + 1) +
               QStringLiteral("the channel holds %1 steps; at most %2 can be sent.")
                   .arg(sequence.count)
                   .arg(limit) +
               nothingSent;
    }
    const Range values = valueRange();
    const Range intervals = intervalRange(settings);
    for (int line = 1; line <= sequence.stepCount(); ++line) {
        const SequenceStep& step = sequence.steps[line - 1];
        if (!values.contains(decimalValue(step.value))) {
            return where.arg(line) +
                   QStringLiteral("the value \"%1\" is outside %2.").arg(step.value, rangeText(values)) +
                   nothingSent;
        }
        const double interval = decimalValue(step.interval);
        if (!intervals.contains(interval) && !isLongHalfSecondInterval(interval, settings)) {
            return where.arg(line) +
                   QStringLiteral("the interval \"%1\" is outside %2 %3.")
                       .arg(step.interval, rangeText(intervals), SequenceFormats::unitToken(settings.Unit)) +
                   nothingSent;
        }
    }
    return QString();
}

QString channelsProblem(const CMainDoc& document, const std::array<bool, kChannelCount>& channels,
                        const AppSettings& settings)
{
    for (int c = 0; c < kChannelCount; ++c) {
        if (!channels[c])
            continue;
        const QString problem = channelProblem(document.channel(c), c, settings);
        if (!problem.isEmpty())
            return problem;
    }
    return QString();
}

} // namespace StepBounds
