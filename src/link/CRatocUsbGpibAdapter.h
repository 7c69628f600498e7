#pragma once

#include "link/RatocGpibAdapterBase.h"

// GPIB through a Ratoc REX-USB220 adapter; its delimiters depend on the instrument family and it
// waits 150 ms before releasing its library.
class CRatocUsbGpibAdapter : public RatocGpibAdapterBase {
public:
    CRatocUsbGpibAdapter(UserPrompt& prompt, Clock& clock) : RatocGpibAdapterBase(prompt, clock, true) {}
};
