#pragma once

#include <QString>
#include <optional>

struct AppSettings;

// How the worksheet writes and reads the step texts: the time and set value formats, the column
// headers, the cell words, the step limit and the rules that accept or refuse a typed number. The
// graph uses the same formats and limits for the steps it draws.
namespace WorksheetFormats {

// The cell columns of a channel's grid.
enum Column {
    LineColumn = 0,
    TimeColumn = 1,
    ValueColumn = 2,
    IntervalColumn = 3,
    TransitionColumn = 4,
    LoadColumn = 5,
    Load2Column = 6,
    FrequencyColumn = 7,
    Transition2Column = 8,
    ColumnCount = 9
};

// The largest step count of a channel (StepBounds): 255 under Hardware Control in normal mode,
// else 1024.
int stepLimit(const AppSettings& settings);
// The lines a channel's grid shows: the instrument's 255 under Hardware Control, else 1024.
int shownLines(const AppSettings& settings);

// Format of the Time and Interval texts: "%.0f" for ms, "%.3f" for s under Hardware Control, "%.1f"
// otherwise (and always in fast mode).
const char* timeTextFormat(const AppSettings& settings);
// Format of a set value by operation mode and the decimal-places settings; an unknown setting takes
// the format of the first.
const char* valueFormat(int mode, const AppSettings& settings);

// The quantity of a set value by operation mode: "Voltage", "Current" or "Resistance".
QString valueWord(int mode);
// The unit texts of the columns, the graph's axes and its tooltips: "[V]", "[A]" or "[ohm]" by
// operation mode; "[ms]", "[s]", "[min]" or "[h]" by time unit, and "[ms]" in fast mode.
QString valueUnitText(int mode);
QString timeUnitText(int unit, int sequenceMode);

// Column headers. Fast mode counts in ms whatever the unit.
QString timeHeader(int unit, int sequenceMode);
QString intervalHeader(int unit, int sequenceMode);
QString valueHeader(int mode);

// Cell words of the flag fields: "Step"/"Ramp" and "off"/"on" for "0"/"1", seven blanks for any
// other stored text; the hidden second load shows "off" only for "0".
QString transitionText(const QString& field);
QString loadText(const QString& field);
QString load2Text(const QString& field);

// The accepted range of a typed interval by unit and control method (StepBounds).
struct IntervalBounds {
    double minimum;
    double maximum;
};
IntervalBounds intervalBounds(const AppSettings& settings);

// A typed set value as stored: empty when the text is empty or the value lies outside its range
// (StepBounds: -100 to 300000; the edit is then dropped).
std::optional<QString> acceptedValue(const QString& text, int mode, const AppSettings& settings);
// A typed interval as stored: empty when it is outside the bounds (the edit is then dropped). Under
// Software Control with unit s the interval becomes a multiple of 0.5 s.
std::optional<QString> acceptedInterval(const QString& text, const AppSettings& settings);

} // namespace WorksheetFormats
