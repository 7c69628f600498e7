#pragma once

#include "instrument/ChannelNumbers.h"
#include "model/StepBounds.h"

struct AppSettings;

// What the Transfer dialog holds: the checked channels and the options it keeps for other
// instrument families (hidden, stored back unchanged). Indexes are list indexes, one below the
// stored numbers.
struct TransferData {
    static constexpr int kFirstRepeat = StepBounds::kFirstRepeat;
    static constexpr int kLastRepeat = StepBounds::kLastRepeat;

    ChannelFlags channels{1, 1, 1, 1, 1}; // Ch1 .. Ch5
    int repeat = 1;                       // Repeat
    int writeProgramIndex = 0;            // WriteProgNo - 1
    int readProgramIndex = 0;             // ReadProgNo - 1
    int outOff = 1;                       // OutOff
    double offCurrent = 0.0;              // OffCurr
    int currentRangeIndex = 2;            // CurrRange - 1: Low, Mid, High
    int voltageRangeIndex = 1;            // nVoltRange - 1: Low, High
    int eraseAll = 1;                     // AllDel

    static TransferData fromSettings(const AppSettings& settings);
    // Everything back into the settings, as closing the dialog with "Close" does.
    void storeTo(AppSettings& settings) const;
    // The hidden values only, as a write stores them before it starts.
    void storeHiddenValuesTo(AppSettings& settings) const;
    // The hidden repeat field takes 1 to 9999; outside that the write (not the read) is refused.
    bool repeatIsValid() const { return repeat >= kFirstRepeat && repeat <= kLastRepeat; }
    bool anyChannel() const;
};
