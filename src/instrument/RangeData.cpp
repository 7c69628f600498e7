#include "instrument/RangeData.h"

#include "model/AppSettings.h"

RangeData RangeData::fromSettings(const AppSettings& settings)
{
    RangeData data;
    data.enabled = settings.ChRange;
    data.currentRange = settings.RangeCC;
    data.voltageRange = settings.RangeCV;
    data.resistanceRange = settings.RangeCR;
    return data;
}

void RangeData::storeTo(AppSettings& settings) const
{
    settings.ChRange = enabled;
    settings.RangeCC = currentRange;
    settings.RangeCV = voltageRange;
    settings.RangeCR = resistanceRange;
}
