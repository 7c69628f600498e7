#include "model/AppSettings.h"

#include "model/StepBounds.h"

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
    // A repeat count the load cannot take starts as the default single pass.
    for (int& repeat : RepeatCh) {
        if (!StepBounds::isRepeatCount(repeat))
            repeat = 1;
    }
    deriveActiveValues();
    Machine = kKdrxMachine;
}
