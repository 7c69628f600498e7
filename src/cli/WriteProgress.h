#pragma once

class QTextStream;

// The progress of a sequence write, step k of n per channel: on a terminal one line rewritten in
// place, otherwise one plain line per step. A line left open is ended before anything else is
// printed (finish()).
class WriteProgress {
public:
    WriteProgress(QTextStream& out, bool terminal) : out_(out), terminal_(terminal) {}

    // channel 0..4, step 1..total.
    void step(int channel, int step, int total);
    void finish();

private:
    QTextStream& out_;
    bool terminal_;
    bool lineOpen_ = false;
};
