#pragma once

#include <QString>
#include <vector>

// Tick positions of a plot axis at round values, and their label texts.
namespace AxisTicks {

struct Ticks {
    std::vector<double> values;
    int decimals = 0; // of the labels in plain numbers
    double step = 1.0;
};

// At most about maxCount ticks on lo..hi at a step of 1, 2 or 5 times a power of ten.
Ticks values(double lo, double hi, int maxCount);
// Time ticks in seconds: round seconds below a minute's step, then whole minutes and hours
// (1, 2, 5, 10, 15, 30 s; 1, 2, 5, 10, 15, 30 min; 1, 2, 3, 6, 12, 24 h and multiples of a day).
Ticks times(double lo, double hi, int maxCount);
// A value label: the value with the ticks' decimals.
QString valueText(double value, const Ticks& ticks);
// A time label: seconds as plain numbers, or hours:minutes:seconds when hms is set.
QString timeText(double seconds, const Ticks& ticks, bool hms);

} // namespace AxisTicks
