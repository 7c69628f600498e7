#pragma once

#include "model/SequenceTypes.h"

#include <QString>
#include <array>

// The instrument channel number sent in "INST:NSEL %d" for each sequence channel; 1..5 at start.
using ChannelNumbers = std::array<int, kChannelCount>;
// Per-channel flags (selection, enable) as the instrument operations take them: 1 on, 0 off.
using ChannelFlags = std::array<int, kChannelCount>;
// Per-channel texts (readings, status answers).
using ChannelTexts = std::array<QString, kChannelCount>;

inline ChannelNumbers defaultChannelNumbers()
{
    return {1, 2, 3, 4, 5};
}
