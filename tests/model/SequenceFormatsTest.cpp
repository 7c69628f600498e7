#include "model/SequenceFormats.h"

#include "model/AppSettings.h"

#include <gtest/gtest.h>

using namespace SequenceFormats;

TEST(SequenceFormats, HeaderModeTokensMatchExactlyInUpperOrLowerCase)
{
    const struct {
        const char* token;
        OperationMode mode;
    } cases[] = {
        {"CV", ModeCV},    {"cv", ModeCV},  {"CC", ModeCC},    {"cc", ModeCC},    {"Cc", ModeCV},
        {"cC", ModeCV},    {"CR", ModeCR},  {"cr", ModeCR},    {"Cr", ModeCV},    {"CCV", ModeCCCV},
        {"ccv", ModeCCCV}, {"CcV", ModeCV}, {"CRV", ModeCRCV}, {"crv", ModeCRCV}, {"cRv", ModeCV},
        {"", ModeCV},      {"CC ", ModeCV}, {"xyz", ModeCV},
    };
    for (const auto& c : cases)
        EXPECT_EQ(modeFromToken(QString::fromLatin1(c.token)), c.mode) << c.token;
}

TEST(SequenceFormats, WrittenTokensReadBackToTheSameModeAndUnit)
{
    for (int mode = ModeCV; mode <= ModeCRCV; ++mode)
        EXPECT_EQ(modeFromToken(modeToken(mode)), mode);
    EXPECT_EQ(modeToken(ModeCCCV), "CCV");
    EXPECT_EQ(modeToken(ModeCRCV), "CRV");
    EXPECT_EQ(modeToken(17), "CV");
    EXPECT_EQ(unitToken(UnitMs), "ms");
    EXPECT_EQ(unitToken(UnitS), "s");
    EXPECT_EQ(unitToken(UnitMin), "min");
    EXPECT_EQ(unitToken(UnitH), "h");
    EXPECT_EQ(unitToken(-1), "s");
}

TEST(SequenceFormats, UnitTokensIgnoreCaseAndEverythingElseIsSeconds)
{
    const struct {
        const char* token;
        TimeUnit unit;
    } cases[] = {
        {"min", UnitMin}, {"MIN", UnitMin}, {"Min", UnitMin}, {"h", UnitH},    {"H", UnitH}, {"s", UnitS},
        {"ms", UnitS},    {"MS", UnitS},    {"sec", UnitS},   {"hour", UnitS}, {"", UnitS},
    };
    for (const auto& c : cases)
        EXPECT_EQ(unitFromToken(QString::fromLatin1(c.token)), c.unit) << c.token;
}

TEST(SequenceFormats, ValueFormatFollowsModeAndDecimalPlaces)
{
    const struct {
        int mode;
        int voltPlace, currPlace, resistPlace;
        const char* format;
    } cases[] = {
        {ModeCV, 0, 2, 1, "%.2f"},   {ModeCV, 1, 2, 1, "%.3f"},   {ModeCV, 7, 2, 1, "%.3f"},
        {ModeCC, 1, 0, 1, "%.2f"},   {ModeCC, 1, 1, 1, "%.3f"},   {ModeCC, 1, 2, 1, "%.4f"},
        {ModeCC, 1, 3, 1, "%.5f"},   {ModeCC, 1, -4, 1, "%.5f"},  {ModeCCCV, 1, 0, 1, "%.2f"},
        {ModeCCCV, 1, 9, 1, "%.5f"}, {ModeCR, 1, 2, 0, "%.4f"},   {ModeCR, 1, 2, 1, "%.5f"},
        {ModeCR, 1, 2, 5, "%.5f"},   {ModeCRCV, 1, 2, 0, "%.4f"}, {ModeCRCV, 1, 2, 1, "%.5f"},
    };
    for (const auto& c : cases) {
        AppSettings settings;
        settings.VoltPlace = c.voltPlace;
        settings.CurrPlace = c.currPlace;
        settings.ResistPlace = c.resistPlace;
        EXPECT_STREQ(fileValueFormat(c.mode, settings), c.format)
            << "mode " << c.mode << " places " << c.voltPlace << c.currPlace << c.resistPlace;
    }
}

TEST(SequenceFormats, RecomputedTimeFormatBySequenceModeAndUnit)
{
    EXPECT_STREQ(recomputedTimeFormat(NormalSequence, UnitMs), "%.0f");
    EXPECT_STREQ(recomputedTimeFormat(NormalSequence, UnitS), "%.3f");
    EXPECT_STREQ(recomputedTimeFormat(NormalSequence, UnitMin), "%.1f");
    EXPECT_STREQ(recomputedTimeFormat(NormalSequence, UnitH), "%.1f");
    for (int unit = UnitMs; unit <= UnitH; ++unit)
        EXPECT_STREQ(recomputedTimeFormat(FastSequence, unit), "%.3f");
}

TEST(SequenceFormats, SoftwareControlSecondsRoundToHalfSeconds)
{
    const struct {
        double seconds;
        const char* text;
    } cases[] = {
        {1.23, "1.0"}, {1.3, "1.5"},     {1.8, "2.0"},     {1200.3, "999.5"}, {1500.0, "1500.0"},
        {1.0, "1.0"},  {1.5, "1.5"},     {1.1, "1.0"},     {1.2, "1.0"},      {1.4, "1.5"},
        {1.6, "1.5"},  {1.7, "1.5"},     {1.9, "2.0"},     {0.04, "0.0"},     {0.26, "0.5"},
        {0.2, "0.0"},  {999.7, "999.5"}, {999.8, "999.5"}, {999.0, "999.0"},  {1000.2, "999.5"},
        {1.25, "1.5"}, {1.24, "1.0"},    {2.0, "2.0"},     {-1.3, "-1.5"},    {-1.2, "-1.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fileIntervalText(c.seconds, UnitS, SoftwareControl), QString::fromLatin1(c.text))
            << c.seconds;
}

TEST(SequenceFormats, IntervalFormatByUnitAndControlMethod)
{
    const struct {
        double interval;
        int unit;
        int control;
        const char* text;
    } cases[] = {
        {1.23, UnitS, HardwareControl, "1.230"},      {1200.3, UnitS, HardwareControl, "1200.300"},
        {2.5, UnitMs, SoftwareControl, "3"},          {1.23, UnitMin, SoftwareControl, "1.2"},
        {1.25, UnitMin, HardwareControl, "1.3"},      {0.75, UnitH, SoftwareControl, "0.8"},
        {1200.3, UnitMin, SoftwareControl, "1200.3"}, {1.23, UnitH, HardwareControl, "1.2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fileIntervalText(c.interval, c.unit, c.control), QString::fromLatin1(c.text))
            << c.interval << " unit " << c.unit << " control " << c.control;
}

TEST(SequenceFormats, AbsurdIntervalsRoundWithoutOverflow)
{
    for (double seconds : {1e300, -1e300, 1.7e308, -1.7e308, 2147483647.3, 4e9 + 0.1}) {
        const QString text = fileIntervalText(seconds, UnitS, SoftwareControl);
        const QString unrounded = QString::asprintf("%.1f", seconds);
        EXPECT_TRUE(text == unrounded || text == QLatin1String("999.5") ||
                    (seconds < 0 && text.startsWith(QLatin1Char('-'))))
            << seconds << " gave " << text.left(40).toStdString();
    }
    EXPECT_EQ(fileIntervalText(2147483647.3, UnitS, SoftwareControl), "999.5");
}
