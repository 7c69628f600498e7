#pragma once

// The quantity a channel's set value is in, from a reading: voltage for CV, current for CC and
// CC+CV, resistance (voltage / current, in ohm like the set value) for CR and CR+CV. NaN when the
// reading lacks what it needs or the resistance is undefined (no current).
namespace MeasuredQuantity {

double valueOf(int operationMode, double current, double voltage);

} // namespace MeasuredQuantity
