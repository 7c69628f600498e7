#pragma once

#include "model/ChannelSequence.h"

#include <QString>

// The arithmetic and command texts of Software Control stepping: when a step ends, where a ramp
// stands, and how a set value is written for each operation mode.
namespace StepSchedule {

// A step ramps when its transition reads "1"; any other text steps.
bool isRamp(const SequenceStep& step);
// The load is off for a step whose load reads "0", on for any other text.
bool isLoadOn(const SequenceStep& step);
// A ramp that lasts one tick: unit s and an interval that reads exactly 0.5. It is applied at once.
bool isHalfSecondRamp(const SequenceStep& step, int unit);

// Seconds per time unit: 1 for s, 60 for min, 3600 for h, 0.001 for ms.
double unitFactor(int unit);
// The step timer's period: 500 ms with unit s, 1000 ms otherwise.
int stepTimerPeriodMs(int unit);
// The delay from nowMs to the next step tick: ticks land a margin after runStartMs + k x period
// (k >= 1), so a tick meant for a boundary on that grid never sees it still ahead.
qint64 nextStepTickDelayMs(qint64 runStartMs, qint64 nowMs, int periodMs, int marginMs);

// End of step stepIndex in pass repetition, in milliseconds from the channel's start:
// ((repetition - 1) x time of the last step + time of the step) x unitFactor. The ends are
// absolute, so a late tick never shifts the steps after it.
qint64 stepEndMs(const ChannelSequence& sequence, int stepIndex, int repetition, double unitFactor);
// The ramp's value at nowSeconds: rampStart + (rampEnd - rampStart) / D x (D - (T - now)), D the
// ramp's duration and T its end, both in seconds. A ramp of no duration stands at its end.
double rampValue(double rampStart, double rampEnd, double durationSeconds, double endSeconds,
                 double nowSeconds);

// A computed value (ramp points and ends): "VOLT %.3f" for CV, "CURR %.3f" for CC and CC+CV,
// "COND %.8f" of 1 / value for CR and CR+CV, where a value of 0 is sent as 0.
QString computedValueCommand(int mode, double value);
// A step's stored value: "VOLT " or "CURR " + the text as stored, "COND %.8f" of its inverse.
QString storedValueCommand(int mode, const QString& valueText);
// The start of a first-step ramp on a new pass: "VOLT 0", "CURR 0" or "COND 0".
QString zeroValueCommand(int mode);
// "OUTP 1" or "OUTP 0".
QString loadCommand(bool on);

} // namespace StepSchedule
