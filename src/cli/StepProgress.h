#pragma once

#include "instrument/ChannelNumbers.h"

#include <array>

class QTextStream;

// The progress of a sequence write or read, step k of n per channel: on a terminal one line
// rewritten in place, otherwise one plain line per step. A line left open is ended before anything
// else is printed (finish()). It remembers how far each channel got, for the message of a transfer
// that a stop cut short.
class StepProgress {
public:
    StepProgress(QTextStream& out, bool terminal) : out_(out), terminal_(terminal) {}

    // channel 0..4, step 0..total; step 0 (the channel begun) prints nothing.
    void step(int channel, int step, int total);
    void finish();

    // The last step reported for the channel, -1 when none was; and its total.
    int reached(int channel) const { return reached_[channel]; }
    int total(int channel) const { return total_[channel]; }
    // The first of the channels whose transfer was not completed, or -1.
    int firstUnfinished(const ChannelFlags& channels) const;

private:
    QTextStream& out_;
    bool terminal_;
    bool lineOpen_ = false;
    std::array<int, kChannelCount> reached_{-1, -1, -1, -1, -1};
    std::array<int, kChannelCount> total_{};
};
