#pragma once

#include <QString>

struct AppSettings;

// The tooltip texts of the graph view and the run window's live graphs, built from fixed pieces:
// axis names, "[Line%d]", a word directly followed by its number and unit ("Voltage2.500[V]",
// "Interval0.5[s]"), with the decimals of the set value and time text formats.
namespace GraphTooltips {

// "Voltage", "Current" or "Resistance" with the value and "[V]", "[A]" or "[ohm]".
QString valueText(double value, int mode, const AppSettings& settings);
// The word with a time or interval and its unit ("[ms]" in fast mode).
QString timeText(const QString& word, double time, const AppSettings& settings);
// "Time..." and "Interval..." separated by a blank.
QString timeAndInterval(double time, double interval, const AppSettings& settings);

// Hovering a step: "[Line3] Voltage2.000[V] Interval5.0[s]"; in min and h the interval is cut to
// tenths.
QString stepTip(int step, double value, double interval, int mode, const AppSettings& settings);
// Hovering a boundary line: "[Vertical Axis] [Line3] Time10.0[s] Interval5.0[s] Voltage2.000[V]".
QString boundaryTip(int step, double time, double interval, double value, int mode,
                    const AppSettings& settings);
// Dragging or drawing a step: "[Line3] Time10.0[s] Interval5.0[s] Voltage2.000[V]".
QString editTip(int step, double time, double interval, double value, int mode, const AppSettings& settings);
// Hovering an axis: "[X-axis] Time2.5[s]" or "[Y-axis] Voltage4.000[V]".
QString timeAxisTip(double time, const AppSettings& settings);
QString valueAxisTip(double value, int mode, const AppSettings& settings);

} // namespace GraphTooltips
