#include "dialogs/ModeSettings.h"

#include "model/AppSettings.h"

ModeSettings ModeSettings::fromSettings(const AppSettings& settings)
{
    const bool hardware = settings.SeqCtl == HardwareControl;
    ModeSettings data;
    data.unit = settings.Unit;
    for (int c = 0; c < kChannelCount; ++c) {
        Channel& channel = data.channels[c];
        channel.mode = settings.ModeCh[c];
        channel.repeat = settings.RepeatCh[c];
        channel.volt1 = settings.Volt1Ch[c];
        channel.volt2 = settings.Volt2Ch[c];
        channel.loadOff = hardware ? settings.OutOffChHard[c] : settings.OutOffCh[c];
        channel.currentAfter = settings.CurrCh[c];
    }
    return data;
}

void ModeSettings::storeTo(AppSettings& settings) const
{
    const bool hardware = settings.SeqCtl == HardwareControl;
    for (int c = 0; c < kChannelCount; ++c) {
        const Channel& channel = channels[c];
        settings.ModeCh[c] = channel.mode;
        (hardware ? settings.ModeChHard : settings.ModeChSoft)[c] = channel.mode;
        settings.RepeatCh[c] = channel.repeat;
        settings.Volt1Ch[c] = channel.volt1;
        settings.Volt2Ch[c] = channel.volt2;
        (hardware ? settings.OutOffChHard : settings.OutOffCh)[c] = channel.loadOff;
        settings.CurrCh[c] = channel.currentAfter;
    }
    // The dialog sets s, min or h; without a choice the unit stays.
    if (unit >= UnitS && unit <= UnitH) {
        settings.Unit = unit;
        (hardware ? settings.UnitHard : settings.UnitSoft) = unit;
    }
}
