#include "instrument/TransferData.h"

#include "model/AppSettings.h"

#include <algorithm>

TransferData TransferData::fromSettings(const AppSettings& settings)
{
    TransferData data;
    data.channels = settings.Ch;
    data.repeat = settings.Repeat;
    data.writeProgramIndex = settings.WriteProgNo - 1;
    data.readProgramIndex = settings.ReadProgNo - 1;
    data.outOff = settings.OutOff;
    data.offCurrent = settings.OffCurr;
    data.currentRangeIndex = settings.CurrRange - 1;
    data.voltageRangeIndex = settings.nVoltRange - 1;
    data.eraseAll = settings.AllDel;
    return data;
}

void TransferData::storeTo(AppSettings& settings) const
{
    settings.Ch = channels;
    settings.ReadProgNo = readProgramIndex + 1;
    storeHiddenValuesTo(settings);
}

void TransferData::storeHiddenValuesTo(AppSettings& settings) const
{
    settings.Repeat = repeat;
    settings.WriteProgNo = writeProgramIndex + 1;
    settings.CurrRange = currentRangeIndex + 1;
    settings.nVoltRange = voltageRangeIndex + 1;
    settings.OutOff = outOff;
    settings.OffCurr = offCurrent;
    settings.AllDel = eraseAll;
}

bool TransferData::anyChannel() const
{
    return std::any_of(channels.begin(), channels.end(), [](int flag) { return flag != 0; });
}
