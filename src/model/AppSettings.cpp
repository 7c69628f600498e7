#include "model/AppSettings.h"

void AppSettings::deriveActiveValues()
{
    const bool hardware = SeqCtl == HardwareControl;
    for (int c = 0; c < kChannelCount; ++c)
        ModeCh[c] = hardware ? ModeChHard[c] : ModeChSoft[c];
    Unit = hardware ? UnitHard : UnitSoft;
    MonTiming = hardware ? 0 : MonSoft;
}

void AppSettings::applyLoadRules()
{
    if (FileMem == 0)
        bCut = 0;
    deriveActiveValues();
    Machine = kKdrxMachine;
}
