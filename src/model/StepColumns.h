#pragma once

#include "model/CsvTable.h"

#include <optional>
#include <vector>

// Spreadsheet columns read as step columns: which fields hold the set value, the interval, the
// transition and the load, for one channel or for several. A first row in which no field is a number
// is a header; its cells name the columns in the worksheet's words ("Current[A]", "Interval[s]",
// "Transition", "Load", any letter case), optionally after a channel ("CH2 Current[A]") and with the
// mode or control method in parentheses ("Current[A] (CCCV 12.000 V)", "Interval[s] (Hardware
// Control)"). Without a header, or with one whose cells name no set value, the columns are taken in
// the order value, interval, transition, load.
class StepColumns {
public:
    // What the set values are, as a header names them.
    enum class Quantity { Voltage, Current, Resistance };

    // The columns of one channel's steps: field indexes, -1 when the column is absent, and what the
    // header says about them.
    struct Group {
        int channel = -1; // 0..4 when the header names the channel
        int value = -1;
        int interval = -1;
        int transition = -1;
        int load = -1;
        std::optional<Quantity> quantity;      // from "Voltage", "Current", "Resistance"
        std::optional<int> mode;               // OperationMode from the parentheses
        std::optional<double> constantVoltage; // "(CCCV 12.000 V)"
        std::optional<int> unit;               // TimeUnit from the interval's "[ms]" ... "[h]"
        std::optional<int> control;            // ControlMethod from the parentheses
    };

    static StepColumns read(const QString& text);

    const CsvTable& table() const { return table_; }
    // The line of the header row, 0 when there is none.
    int headerLine() const { return headerLine_; }
    // A header was there but named no set value, so the columns were taken in order.
    bool headerUnrecognised() const { return headerUnrecognised_; }
    // The groups in the order of their first column; several only when the header names channels.
    const std::vector<Group>& groups() const { return groups_; }
    // Header cells (1-based column, text) and, without a header, columns past the fourth, that no
    // group uses.
    const std::vector<std::pair<int, QString>>& ignoredColumns() const { return ignored_; }
    // The rows after the header.
    std::vector<CsvTable::Row>::const_iterator firstDataRow() const;

    // The quantity of an operation mode's set values.
    static Quantity quantityOf(int mode);
    // A mode named in a header or on the command line: CV, CC, CR, CCCV (CC+CV, CCV), CRCV (CR+CV,
    // CRV), any letter case.
    static std::optional<int> modeFromName(const QString& name);
    // The name of a mode as headers and the command line write it: "CV", "CC", "CR", "CCCV", "CRCV".
    static QString modeName(int mode);

private:
    CsvTable table_;
    int headerLine_ = 0;
    bool headerUnrecognised_ = false;
    std::vector<Group> groups_;
    std::vector<std::pair<int, QString>> ignored_;
};
