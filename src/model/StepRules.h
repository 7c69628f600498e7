#pragma once

#include <QString>
#include <optional>

struct AppSettings;

// What a step may hold, by the sequence mode, time unit, control method and operation mode: the step
// limit, the bounds of set values and intervals, and the texts an accepted number is stored as. The
// worksheet, the graph, the spreadsheet import and the checks before a run all ask here.
namespace StepRules {

// The largest step count of a channel: 255 under Hardware Control in normal mode, else 1024.
int stepLimit(const AppSettings& settings);

// Format of the Time and Interval texts: "%.0f" for ms, "%.3f" for s under Hardware Control, "%.1f"
// otherwise (and always in fast mode).
const char* timeTextFormat(const AppSettings& settings);
// Format of a set value by operation mode and the decimal-places settings; an unknown setting takes
// the format of the first.
const char* valueFormat(int mode, const AppSettings& settings);

// The accepted range of a set value, whatever the mode.
constexpr double kValueMinimum = -100.0;
constexpr double kValueMaximum = 300000.0;
bool isValueInRange(double value);

// The accepted range of an interval by sequence mode, unit and control method.
struct IntervalBounds {
    double minimum;
    double maximum;
};
IntervalBounds intervalBounds(const AppSettings& settings);
// Whether intervals become multiples of 0.5 s: normal mode, unit s, Software Control.
bool roundsToHalfSeconds(const AppSettings& settings);

// A set value in the mode's format, as the worksheet stores it; a value that rounds to zero is
// zero ("0.00", never "-0.00", which a file would read back as "0.00").
QString valueText(double value, const char* format);

// A typed set value as stored: empty when the text is empty or the value lies outside the range
// (the edit is then dropped).
std::optional<QString> acceptedValue(const QString& text, int mode, const AppSettings& settings);
// A typed interval as stored: empty when it is outside the bounds (the edit is then dropped). Under
// Software Control with unit s the interval becomes a multiple of 0.5 s.
std::optional<QString> acceptedInterval(const QString& text, const AppSettings& settings);

} // namespace StepRules
