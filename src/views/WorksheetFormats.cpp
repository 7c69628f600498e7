#include "views/WorksheetFormats.h"

#include "model/AppSettings.h"

namespace WorksheetFormats {

int shownLines(const AppSettings& settings)
{
    return settings.SeqCtl == HardwareControl ? kHardwareStepLimit : kMaxSteps;
}

} // namespace WorksheetFormats
