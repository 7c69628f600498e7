#pragma once

#include "model/SequenceTypes.h"

#include <QString>
#include <array>

class FuzzSession;

// What must hold after every action of the random user, whatever it did: the wait cursor is off;
// each channel keeps to its step limit (a channel read from a file with more steps never grows);
// nothing is stored past the entry row; each step's time is the sum of the intervals up to it; the
// worksheet shows the current channel's lines as the document holds them; the graph has one segment
// per step, at the step's value and time, and a drag only of what is selected; and the document
// written as a file reads back as the same document.
class FuzzInvariants {
public:
    // The first broken invariant as "what: details", or an empty text.
    QString check(FuzzSession& session);

private:
    QString checkSteps(FuzzSession& session);
    QString checkWorksheet(FuzzSession& session);
    QString checkGraph(FuzzSession& session);
    QString checkFileRoundTrip(FuzzSession& session);

    int generation_ = -1;
    std::array<int, kChannelCount> lastCounts_{-1, -1, -1, -1, -1};
};
