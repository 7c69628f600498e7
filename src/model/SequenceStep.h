#pragma once

#include <QString>

// One step (one worksheet line) of a channel. Every field is held as the text it was stored
// with; numbers are read back with decimalValue(), in which an empty text reads as 0.
struct SequenceStep {
    QString time;        // cumulative end time, computed only
    QString value;       // set value: V for CV, A for CC and CC+CV, ohm for CR and CR+CV
    QString interval;    // duration in the time unit
    QString transition;  // "0" step, "1" ramp
    QString frequency;   // another instrument family's; never written to files
    QString transition2; // belongs to frequency; never written to files
    QString load;        // "1" on, "0" off
    QString load2;       // "1" on, "0" off; "1" when absent

    void clear() { *this = SequenceStep(); }
    // Copies the seven fields other than time.
    void assignFieldsButTime(const SequenceStep& other)
    {
        value = other.value;
        interval = other.interval;
        transition = other.transition;
        frequency = other.frequency;
        transition2 = other.transition2;
        load = other.load;
        load2 = other.load2;
    }
};
