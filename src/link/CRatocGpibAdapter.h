#pragma once

#include "link/RatocGpibAdapterBase.h"

// GPIB through a Ratoc REX-5052 PCMCIA card; waits 100 ms after each message it sends.
class CRatocGpibAdapter : public RatocGpibAdapterBase {
public:
    CRatocGpibAdapter(UserPrompt& prompt, Clock& clock) : RatocGpibAdapterBase(prompt, clock, false) {}
};
