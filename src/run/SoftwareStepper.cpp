#include "run/SoftwareStepper.h"

#include "model/DecimalText.h"
#include "run/StepSchedule.h"

SoftwareStepper::SoftwareStepper(ChannelRunState& state, const ChannelSequence& sequence, int mode, int unit,
                                 double unitFactor, int repeatCount, Writer write)
    : state_(state), sequence_(sequence), mode_(mode), unit_(unit), unitFactor_(unitFactor),
      repeatCount_(repeatCount), write_(std::move(write))
{
}

int SoftwareStepper::count() const
{
    return sequence_.stepCount();
}

SoftwareStepper::Outcome SoftwareStepper::tick(qint64 sinceStartMs)
{
    if (state_.stepIndex < 0 || state_.stepIndex >= count())
        return Outcome::StepEnded;
    const SequenceStep& step = sequence_.steps[state_.stepIndex];
    const qint64 endMs = StepSchedule::stepEndMs(sequence_, state_.stepIndex, state_.repetition, unitFactor_);
    if (sinceStartMs >= endMs)
        return Outcome::StepEnded;
    if (StepSchedule::isRamp(step) && state_.loadOn) {
        const double value = StepSchedule::rampValue(
            state_.rampStart, state_.rampEnd, decimalValue(step.interval) * unitFactor_,
            static_cast<double>(endMs) / 1000.0, static_cast<double>(sinceStartMs) / 1000.0);
        if (!write_(StepSchedule::computedValueCommand(mode_, value)))
            return Outcome::WriteFailed;
    }
    return Outcome::InProgress;
}

SoftwareStepper::Outcome SoftwareStepper::step(qint64 sinceStartMs, const StepEndReader& stepEndReading)
{
    const Outcome outcome = tick(sinceStartMs);
    if (outcome != Outcome::StepEnded)
        return outcome;
    // The reading before the next value is applied.
    if (stepEndReading && endedStepIsStep() && !stepEndReading())
        return Outcome::ReadingFailed;
    return advance();
}

bool SoftwareStepper::endedStepIsStep() const
{
    return state_.stepIndex >= 0 && state_.stepIndex < count() &&
           !StepSchedule::isRamp(sequence_.steps[state_.stepIndex]);
}

SoftwareStepper::Outcome SoftwareStepper::advance()
{
    const int n = count();
    if (n == 0 || state_.stepIndex >= n)
        return Outcome::PassesDone;

    ++state_.stepIndex;
    if (state_.stepIndex < n) {
        if (!applyStep(state_.stepIndex))
            return Outcome::WriteFailed;
        state_.rampStart = decimalValue(sequence_.steps[state_.stepIndex - 1].value);
        state_.rampEnd = decimalValue(sequence_.steps[state_.stepIndex].value);
        return Outcome::NextStep;
    }

    // The pass is complete: a closing ramp ends exactly on its value.
    if (StepSchedule::isRamp(sequence_.steps[n - 1]) &&
        !write_(StepSchedule::computedValueCommand(mode_, state_.rampEnd)))
        return Outcome::WriteFailed;
    if (state_.repetition >= repeatCount_)
        return Outcome::PassesDone;

    // A new pass: the load state is sent whether or not it changes, and a first-step ramp starts
    // from zero unless it is a half-second ramp, which is applied at once.
    const SequenceStep& first = sequence_.steps[0];
    ++state_.repetition;
    state_.stepIndex = 0;
    state_.rampStart = 0.0;
    state_.rampEnd = decimalValue(first.value);
    state_.loadOn = StepSchedule::isLoadOn(first);
    if (!write_(StepSchedule::loadCommand(state_.loadOn)))
        return Outcome::WriteFailed;
    const QString value = !StepSchedule::isRamp(first) || StepSchedule::isHalfSecondRamp(first, unit_)
                              ? StepSchedule::storedValueCommand(mode_, first.value)
                              : StepSchedule::zeroValueCommand(mode_);
    if (!write_(value))
        return Outcome::WriteFailed;
    return Outcome::NextPass;
}

bool SoftwareStepper::applyStep(int index)
{
    const SequenceStep& step = sequence_.steps[index];
    const bool on = StepSchedule::isLoadOn(step);
    if (on != state_.loadOn) {
        if (!write_(StepSchedule::loadCommand(on)))
            return false;
        state_.loadOn = on;
    }
    // A ramp starts from the step before; a half-second ramp lasts a single tick and is applied at once.
    const SequenceStep& valueStep = !StepSchedule::isRamp(step) || StepSchedule::isHalfSecondRamp(step, unit_)
                                        ? step
                                        : sequence_.steps[index - 1];
    return write_(StepSchedule::storedValueCommand(mode_, valueStep.value));
}
