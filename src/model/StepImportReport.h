#pragma once

#include "model/StepImport.h"

#include <QString>
#include <QStringList>

class ResourceModule;

// The texts of an import's findings, from the string table: what the change report of the worksheet
// lists and what tessorctl import writes to stderr.
namespace StepImportReport {

// String-table entries.
enum Text {
    FirstFindingText = 760,        // the findings in StepImport::Finding order, 760 to 783
    LineText = 790,                // "line %1"
    LinesText = 791,               // "lines %1 to %2"
    ChannelText = 792,             // "CH%1"
    SummaryText = 793,             // "%1 steps will be inserted into channel %2 at line %3."
    CountsText = 794,              // "%1 rows: %2 changed, %3 refused."
    ColumnWithoutHeaderText = 795, // "Column %1 is not used."
    LineRangeText = 796,           // "%1 to %2"
};

// What the finding says, with its arguments.
QString findingText(const StepImport::Entry& entry, const ResourceModule& strings);
// "line 5", "lines 5 to 9", or an empty text for the columns as a whole.
QString linesText(const StepImport::Entry& entry, const ResourceModule& strings);
// "5", "5 to 9", or an empty text for the columns as a whole: the lines under a "Line" heading.
QString lineNumbers(const StepImport::Entry& entry, const ResourceModule& strings);
// "CH2", or an empty text for the columns as a whole.
QString channelText(const StepImport::Entry& entry, const ResourceModule& strings);
// One line per insertion: "12 steps will be inserted into channel 1 at line 5."
QStringList summary(const StepImport::Plan& plan, const ResourceModule& strings);
// "14 rows: 2 changed, 1 refused."
QString counts(const StepImport::Plan& plan, const ResourceModule& strings);
// Every finding as one line, "CH2 line 5: The value "x" is not a number."; the channel only when
// the columns were for several channels.
QStringList lines(const StepImport::Plan& plan, const ResourceModule& strings);

} // namespace StepImportReport
