#include "model/StepRules.h"

#include "QtPrinters.h"
#include "model/AppSettings.h"

#include <gtest/gtest.h>

// The formats and limits the worksheet, the graph and the spreadsheet import share.
using namespace StepRules;

TEST(StepRules, ValueFormatFallsToTheFirstFormatOutsideItsList)
{
    const struct {
        int mode;
        int place; // the setting of the mode's quantity
        const char* format;
    } cases[] = {
        {ModeCV, 0, "%.2f"}, {ModeCV, 1, "%.3f"},   {ModeCV, 2, "%.2f"},   {ModeCC, 0, "%.2f"},
        {ModeCC, 3, "%.5f"}, {ModeCCCV, 2, "%.4f"}, {ModeCC, 4, "%.2f"},   {ModeCC, -1, "%.2f"},
        {ModeCR, 0, "%.4f"}, {ModeCR, 1, "%.5f"},   {ModeCRCV, 5, "%.4f"},
    };
    for (const auto& c : cases) {
        AppSettings settings;
        settings.VoltPlace = settings.CurrPlace = settings.ResistPlace = c.place;
        EXPECT_STREQ(valueFormat(c.mode, settings), c.format) << "mode " << c.mode << " place " << c.place;
    }
}

// A value that rounds to zero is stored as zero: a file reads "-0.00" back as "0.00", and the
// worksheet would show what the file does not hold (found by gui_fuzz, seed 1216).
TEST(StepRules, AcceptedValuesNeverStoreAMinusZero)
{
    AppSettings settings;
    settings.CurrPlace = 0;
    const struct {
        const char* typed;
        const char* stored;
    } cases[] = {
        {"-0.004", "0.00"}, {"-0.0", "0.00"}, {"-0.02", "-0.02"}, {"0.004", "0.00"}, {"-100", "-100.00"}};
    for (const auto& c : cases)
        EXPECT_EQ(acceptedValue(QString::fromLatin1(c.typed), ModeCC, settings),
                  QString::fromLatin1(c.stored))
            << c.typed;
    EXPECT_EQ(valueText(-0.00001, "%.4f"), QStringLiteral("0.0000"));
}

TEST(StepRules, IntervalsByUnitAndControl)
{
    const struct {
        int unit;
        int control;
        const char* typed;
        const char* stored; // empty: refused
        const char* format;
    } cases[] = {
        {UnitMs, SoftwareControl, "12.6", "13", "%.0f"}, {UnitS, HardwareControl, "0.0014", "0.001", "%.3f"},
        {UnitS, HardwareControl, "0.0005", "", "%.3f"},  {UnitS, HardwareControl, "9999.5", "", "%.3f"},
        {UnitS, SoftwareControl, "0.7", "0.5", "%.1f"},  {UnitS, SoftwareControl, "0.3", "", "%.1f"},
        {UnitS, SoftwareControl, "999.9", "", "%.1f"},   {UnitMin, SoftwareControl, "0.26", "0.3", "%.1f"},
        {UnitH, HardwareControl, "2", "2.0", "%.1f"},
    };
    for (const auto& c : cases) {
        AppSettings settings;
        settings.Unit = c.unit;
        settings.SeqCtl = c.control;
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(acceptedInterval(QString::fromLatin1(c.typed), settings).value_or(QString()),
                  QString::fromLatin1(c.stored));
        EXPECT_STREQ(timeTextFormat(settings), c.format);
    }
    AppSettings settings;
    settings.SeqMode = FastSequence;
    EXPECT_STREQ(timeTextFormat(settings), "%.1f");
    settings.SeqCtl = HardwareControl;
    EXPECT_EQ(stepLimit(settings), 1024);
    settings.SeqMode = NormalSequence;
    EXPECT_EQ(stepLimit(settings), 255);
    settings.SeqCtl = SoftwareControl;
    EXPECT_EQ(stepLimit(settings), 1024);
}
