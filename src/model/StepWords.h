#pragma once

#include <QString>

// The words the worksheet shows for the steps: column headers, unit texts and the cell words of the
// flag fields. The clipboard's columns and the spreadsheet import and export use the same words.
namespace StepWords {

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

} // namespace StepWords
