#pragma once

#include "model/ChannelSequence.h"
#include "run/RunState.h"

#include <QString>
#include <functional>

// One step tick of one Software Control channel: a ramp point while a ramping step lasts, and at
// the step's end the next step (load switch, set value), the closing ramp's end value, a new pass
// (load always sent, first value) or the end of the last pass. Every command goes through the
// writer, which adds the channel prefix; the channel's progress is kept in its ChannelRunState.
class SoftwareStepper {
public:
    // Sends one command; false when the write failed (the tick is then abandoned).
    using Writer = std::function<bool(const QString& command)>;
    enum class Outcome { InProgress, StepEnded, NextStep, NextPass, PassesDone, ReadingFailed, WriteFailed };

    SoftwareStepper(ChannelRunState& state, const ChannelSequence& sequence, int mode, int unit,
                    double unitFactor, int repeatCount, Writer write);

    // While the current step lasts (sinceStartMs is the time since the channel started) a ramp
    // with the load on gets its value for now: InProgress. StepEnded once the step's absolute end
    // has come, or when no step is left.
    Outcome tick(qint64 sinceStartMs);
    // The step that just ended steps rather than ramps (a step-end reading is taken for it).
    bool endedStepIsStep() const;
    // Moves past the ended step: NextStep, NextPass or PassesDone (the channel has finished).
    Outcome advance();
    // Takes the step-end reading of the channel; false when it failed.
    using StepEndReader = std::function<bool()>;
    // The whole tick: tick(), then at a step's end the step-end reading (when a reader is given
    // and the ended step steps rather than ramps) and advance(). ReadingFailed leaves the channel
    // where it stood.
    Outcome step(qint64 sinceStartMs, const StepEndReader& stepEndReading);

private:
    bool applyStep(int index);
    int count() const;

    ChannelRunState& state_;
    const ChannelSequence& sequence_;
    int mode_;
    int unit_;
    double unitFactor_;
    int repeatCount_;
    Writer write_;
};
