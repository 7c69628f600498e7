#pragma once

#include "model/SequenceStep.h"
#include "model/SequenceTypes.h"
#include "model/StepColumns.h"

#include <QStringList>
#include <array>
#include <optional>
#include <vector>

struct AppSettings;

// What step columns from a spreadsheet become under the worksheet's rules, before anything is
// inserted: the steps for each channel, and every row that is changed on the way (a value or an
// interval rounded to what the channel stores) or refused (not a number, out of range, past the step
// limit), with its line, so that the user sees all of it and can still say no. The worksheet's paste,
// File > Import CSV... and tessorctl import all plan with it.
class StepImport {
public:
    enum class Severity { Note, Changed, Refused };
    enum class Finding {
        // Rows refused.
        ValueNotANumber,    // args: the text
        IntervalNotANumber, // the text
        NoValue,
        NoInterval,
        ValueOutOfRange,    // the value, the minimum, the maximum
        IntervalOutOfRange, // the interval, the minimum, the maximum, the unit
        UnknownTransition,  // the text
        UnknownLoad,        // the text
        OpenQuote,
        PastStepLimit,  // the limit
        IntervalNeeded, // the columns have no interval and none was given
        // Rows changed.
        ValueRounded,    // the value, the stored text
        IntervalRounded, // the interval, the stored text (line 0: the interval given for every step)
        HardwareStepOn,
        // Notes on the columns as a whole.
        HeaderUnrecognised,
        ColumnIgnored,          // the column number, its header text (empty without a header)
        IntervalsConverted,     // the header's unit, the channel's unit
        QuantityDiffers,        // the header's value header, the channel, the channel's value header
        ModeDiffers,            // the header's mode, the channel, the channel's mode
        ConstantVoltageDiffers, // the header's voltage, the channel, the channel's voltage
        ControlDiffers,         // the header's control method, the program's
        FixedInterval,          // the interval, the unit
        FastModeInterval,       // the fast-mode step time
        NothingToInsert,
    };
    static Severity severityOf(Finding finding);

    // One finding. Lines are those of the text (1-based; 0 for the columns as a whole); a run of
    // rows with the same finding is one entry from firstLine to lastLine.
    struct Entry {
        Finding finding;
        int channel = -1; // 0..4, -1 for the columns as a whole
        int firstLine = 0;
        int lastLine = 0;
        QStringList args;
        Severity severity() const { return severityOf(finding); }
    };

    // Steps inserted into one channel at a line (1-based).
    struct Insertion {
        int channel = 0;
        int line = 1;
        std::vector<SequenceStep> steps;
    };

    // Where the steps go and how their texts are made.
    struct Target {
        // One column group goes into this channel at this line; with several groups (a header that
        // names channels) each goes after the last step of its own channel.
        int channel = 0;
        int line = 1;
        // Take only the group of this channel (0..4), when the header names channels.
        std::optional<int> onlyChannel;
        // The step counts the channels have now.
        std::array<int, kChannelCount> counts{};
        // The interval of every step when the columns have none, in the channel's unit.
        std::optional<double> interval;
        // The unit of the intervals when the header names none; the channel's unit when empty.
        std::optional<int> intervalUnit;
        // Value texts as the sequence file reader stores them (a file that opens as written) rather
        // than as the worksheet does; they differ only for decimal-places settings off their lists.
        bool fileTexts = false;
        // Say where the header's mode, constant voltage or control method differ from the settings.
        bool compareHeader = true;
    };

    struct Plan {
        std::vector<Insertion> insertions; // in channel order, none empty
        std::vector<Entry> entries;        // notes first, then by line
        bool needsInterval = false;        // a group has no interval column and none was given
        int rows = 0;                      // data rows that hold anything for the groups taken
        int changedRows = 0;
        int refusedRows = 0;
        int stepCount() const;
        bool hasRefusals() const { return refusedRows > 0 || needsInterval; }
    };

    static Plan plan(const StepColumns& columns, const AppSettings& settings, const Target& target);

    // How many milliseconds one unit counts.
    static double millisecondsPerUnit(int unit);
};
