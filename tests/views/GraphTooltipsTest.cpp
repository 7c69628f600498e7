#include "views/GraphTooltips.h"

#include "QtPrinters.h"
#include "model/AppSettings.h"

#include <gtest/gtest.h>

using namespace GraphTooltips;

TEST(GraphTooltips, ValueWordDecimalsAndUnitFollowModeAndPlaces)
{
    const struct {
        int mode;
        int places;
        double value;
        const char* text;
    } cases[] = {
        {ModeCV, 0, 12.345, "Voltage12.35[V]"},    {ModeCV, 1, 12.345, "Voltage12.345[V]"},
        {ModeCC, 3, 1.5, "Current1.50000[A]"},     {ModeCCCV, 0, 1.5, "Current1.50[A]"},
        {ModeCR, 0, 2.5, "Resistance2.5000[ohm]"}, {ModeCRCV, 1, 2.5, "Resistance2.50000[ohm]"},
    };
    for (const auto& c : cases) {
        AppSettings settings;
        settings.VoltPlace = settings.CurrPlace = settings.ResistPlace = c.places;
        EXPECT_EQ(valueText(c.value, c.mode, settings), QString::fromLatin1(c.text));
    }
}

TEST(GraphTooltips, TimesFollowTheTimeTextFormat)
{
    const struct {
        int sequenceMode;
        int unit;
        int control;
        const char* pair;
        const char* step; // interval 0.25: min and h cut it to tenths
    } cases[] = {
        {NormalSequence, UnitS, SoftwareControl, "Time1.5[s] Interval0.3[s]", "Interval0.3[s]"},
        {NormalSequence, UnitS, HardwareControl, "Time1.500[s] Interval0.250[s]", "Interval0.250[s]"},
        {NormalSequence, UnitMs, SoftwareControl, "Time2[ms] Interval0[ms]", "Interval0[ms]"},
        {NormalSequence, UnitMin, SoftwareControl, "Time1.5[min] Interval0.3[min]", "Interval0.2[min]"},
        {NormalSequence, UnitH, HardwareControl, "Time1.5[h] Interval0.3[h]", "Interval0.2[h]"},
        {FastSequence, UnitS, SoftwareControl, "Time1.5[ms] Interval0.3[ms]", "Interval0.3[ms]"},
    };
    for (const auto& c : cases) {
        AppSettings settings;
        settings.SeqMode = c.sequenceMode;
        settings.Unit = c.unit;
        settings.SeqCtl = c.control;
        SCOPED_TRACE(c.pair);
        EXPECT_EQ(timeAndInterval(1.5, 0.25, settings), QString::fromLatin1(c.pair));
        EXPECT_EQ(stepTip(4, 2.0, 0.25, ModeCV, settings),
                  QStringLiteral("[Line4] Voltage2.000[V] ") + QString::fromLatin1(c.step));
    }
}

TEST(GraphTooltips, AxisBoundaryAndEditTexts)
{
    AppSettings settings;
    EXPECT_EQ(timeAxisTip(2.5, settings), QStringLiteral("[X-axis] Time2.5[s]"));
    EXPECT_EQ(valueAxisTip(-1.0, ModeCC, settings), QStringLiteral("[Y-axis] Current-1.0000[A]"));
    EXPECT_EQ(editTip(2, 5.0, 3.0, 8.0, ModeCV, settings),
              QStringLiteral("[Line2] Time5.0[s] Interval3.0[s] Voltage8.000[V]"));
    EXPECT_EQ(boundaryTip(2, 5.0, 3.0, 8.0, ModeCV, settings),
              QStringLiteral("[Vertical Axis] [Line2] Time5.0[s] Interval3.0[s] Voltage8.000[V]"));
}
