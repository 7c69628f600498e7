#pragma once

#include "model/DecimalText.h"
#include "run/StepSchedule.h"

#include <QString>

// The state of one channel in a run. A run as a whole is active while at least one channel is
// Running.
enum RunState : int {
    RunIdle = 0,     // not yet started, or finished normally
    RunStopped = 1,  // stopped by the user
    RunError = 2,    // an instrument operation for this channel failed
    RunUvpTrip = 3,  // stopped by under-voltage protection
    RunUcpTrip = 4,  // stopped by under-current protection
    RunRunning = 10, // running
};

// What the run engine keeps of one channel (index 0..4 for channels 1..5).
struct ChannelRunState {
    RunState state = RunIdle;
    bool selected = false;        // takes part in the current run (its check box when it started)
    bool runButtonActive = false; // its Run button reads "Stop"
    bool noData = false;          // no steps under Software Control: its controls are disabled
    int stepIndex = 0;            // 0-based current step
    int repetition = 1;           // 1-based current pass
    int graphCycle = 1;           // pass counter of the channel's live graph
    bool loadOn = false;          // the load state last commanded
    bool skipFirstCheck = false;  // the next monitoring reading skips the protection check
    bool alarm = false;           // the channel shows "ALARM"
    double rampStart = 0.0;       // set value at the start of the current ramp (V, A or ohm)
    double rampEnd = 0.0;         // set value at its end
    double startTime = 0.0;       // run clock when this channel was started, in seconds
    qint64 startMs = 0;           // the same in milliseconds, for the step schedule

    bool isRunning() const { return state == RunRunning; }
    // The first pass of a start: step 1, no ramp under way, the load as the first step has it (on
    // without steps), and the protection check skipped once when monFirst asks for it.
    void beginFirstPass(const SequenceStep* first, bool monFirst)
    {
        rampStart = 0.0;
        stepIndex = 0;
        rampEnd = first ? decimalValue(first->value) : 0.0;
        repetition = 1;
        skipFirstCheck = monFirst;
        loadOn = !first || StepSchedule::isLoadOn(*first);
    }
    // Forgets where the channel stood (after a file was read or the control method changed).
    void resetProgress()
    {
        stepIndex = 0;
        repetition = 1;
        graphCycle = 1;
        rampStart = 0.0;
        rampEnd = 0.0;
        loadOn = false;
        alarm = false;
        skipFirstCheck = false;
    }
};
