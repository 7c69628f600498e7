#pragma once

#include "instrument/ChannelNumbers.h"

struct AppSettings;

// What the Initial Settings dialog holds per channel: enabled, and the constant-current,
// constant-voltage and (unused) resistance range indexes. Current 0 High, 1 Medium, 2 Low;
// voltage 0 High, 1 Low.
struct RangeData {
    ChannelFlags enabled{1, 1, 1, 1, 1};
    ChannelFlags currentRange{};
    ChannelFlags voltageRange{};
    ChannelFlags resistanceRange{};

    static RangeData fromSettings(const AppSettings& settings);
    // ChRange, RangeCC, RangeCV and RangeCR of all five channels.
    void storeTo(AppSettings& settings) const;
};
