#pragma once

#include "model/SequenceStep.h"
#include "model/SequenceTypes.h"

#include <algorithm>
#include <array>

// One channel's table: 1024 fixed slots and the step count. The steps are slots 0 .. count - 1;
// slots at and after the count may hold leftovers that nothing reads as steps.
struct ChannelSequence {
    std::array<SequenceStep, kMaxSteps> steps;
    int count = 0;

    // The step count as far as the slots go: a stored count off 0 .. 1024 never reaches past them.
    int stepCount() const { return std::clamp(count, 0, kMaxSteps); }
};
