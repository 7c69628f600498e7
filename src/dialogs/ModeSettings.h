#pragma once

#include "model/SequenceTypes.h"

#include <array>

struct AppSettings;

// What the Mode dialog edits: the time unit and, per channel, the operation mode, the repeat count,
// the constant voltages of the combined modes, the load-off flag and the current after completion.
// It is read from and written back to the settings of the control method in force.
struct ModeSettings {
    struct Channel {
        int mode = ModeCV;
        int repeat = 1;
        double volt1 = 0.0; // CC+CV
        double volt2 = 0.0; // CR+CV
        int loadOff = 1;
        double currentAfter = 0.0;
    };

    int unit = UnitS; // 1 s, 2 min, 3 h
    std::array<Channel, kChannelCount> channels{};

    static ModeSettings fromSettings(const AppSettings& settings);
    // The active modes and unit and the stored ones of the control method in force (ModeChHard or
    // ModeChSoft, UnitHard or UnitSoft), Repeat0..4, Volt1Ch, Volt2Ch, CurrCh and the load-off flag
    // of the control method (OutOffChHard or OutOffCh). A unit other than s, min or h is not stored.
    void storeTo(AppSettings& settings) const;
};
