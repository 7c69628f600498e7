#pragma once

#include "model/SequenceTypes.h"

#include <QString>
#include <array>

class CMainDoc;
struct AppSettings;
struct ChannelSequence;

// The bounds a channel's steps keep: how many there may be, the set value's range and the
// interval's range by unit and control method. The worksheet and the graph refuse an edit outside
// them; a write or a Software Control run refuses a sequence that steps outside them (a file edited
// by hand or made by a script may hold anything), before anything reaches the load.
namespace StepBounds {

struct Range {
    double minimum;
    double maximum;
    // False for NaN as well.
    bool contains(double value) const { return value >= minimum && value <= maximum; }
};

// The repeat counts of a channel's sequence.
constexpr int kFirstRepeat = 1;
constexpr int kLastRepeat = 9999;
inline bool isRepeatCount(int count)
{
    return count >= kFirstRepeat && count <= kLastRepeat;
}

// The largest step count of a channel: 255 under Hardware Control in normal mode (the
// instrument's program memory), else 1024.
int stepLimit(const AppSettings& settings);
// The set value: -100 to 300000 in every mode.
Range valueRange();
// The interval by unit and control method: ms 1 to 9999; s 0.001 to 9999 under Hardware Control
// and 0.5 to 999.5 under Software Control; min and h 0.1 to 999.999.
Range intervalRange(const AppSettings& settings);

// Under Software Control in seconds a typed interval stops at 999.5 s, but the program's own files
// hold longer steps that are whole half seconds (the reader keeps them as they are: 1800.0), and the
// PC runs them; those pass up to 10,000,000 s, far below what the run's clock can count.
bool isLongHalfSecondInterval(double interval, const AppSettings& settings);

// What keeps channel (0..4) from being sent as it stands, naming the channel and the first line
// at fault (a line past the step limit, a value or an interval off its range); empty when every
// step may be sent.
QString channelProblem(const ChannelSequence& sequence, int channel, const AppSettings& settings);
// The same for the document's channels that take part, the first problem in channel order.
QString channelsProblem(const CMainDoc& document, const std::array<bool, kChannelCount>& channels,
                        const AppSettings& settings);

} // namespace StepBounds
