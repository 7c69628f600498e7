#include "ScpiMessage.h"

#include "QtPrinters.h"
#include "ScpiHeaderPattern.h"

#include <gtest/gtest.h>

TEST(ScpiMessage, SplitsJoinedUnitsAndDropsTheEmptyOnes)
{
    const auto units =
        ScpiMessage::split(QStringLiteral(":INST:NSEL 1;:PROG:EXEC?;:INST:NSEL 2;:PROG:EXEC?;"));
    ASSERT_EQ(units.size(), 4u);
    EXPECT_EQ(units[0].nodes, QStringList({"INST", "NSEL"}));
    EXPECT_EQ(units[0].parameters, QStringList({"1"}));
    EXPECT_FALSE(units[0].query);
    EXPECT_EQ(units[1].nodes, QStringList({"PROG", "EXEC"}));
    EXPECT_TRUE(units[1].query);
    EXPECT_TRUE(units[1].parameters.isEmpty());
    EXPECT_EQ(units[3].text, QStringLiteral(":PROG:EXEC?"));
}

TEST(ScpiMessage, AUnitWithoutColonContinuesThePathOfTheOneBefore)
{
    const auto units = ScpiMessage::split(QStringLiteral("INST:NSEL 1;COUP NONE;*CLS;NSEL 2;:OUTP 1"));
    ASSERT_EQ(units.size(), 5u);
    EXPECT_EQ(units[1].nodes, QStringList({"INST", "COUP"}));
    EXPECT_TRUE(units[2].common);
    EXPECT_EQ(units[2].nodes, QStringList({"*CLS"}));
    // A common command leaves the path where it was.
    EXPECT_EQ(units[3].nodes, QStringList({"INST", "NSEL"}));
    EXPECT_EQ(units[4].nodes, QStringList({"OUTP"}));
}

TEST(ScpiMessage, SplitsParametersAtCommas)
{
    const auto units = ScpiMessage::split(QStringLiteral("PROG:FSP:EDIT 3,1.5,0,10;INST:COUP CH1, CH3"));
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].parameters, QStringList({"3", "1.5", "0", "10"}));
    EXPECT_EQ(units[1].parameters, QStringList({"CH1", "CH3"}));
}

TEST(ScpiMessage, MarksMalformedHeaders)
{
    for (const char* text : {"INST::NSEL 1", "VOLT$ 1", "1VOLT", ":", "*", "PROG:EXEC??"}) {
        const auto units = ScpiMessage::split(QLatin1String(text));
        ASSERT_EQ(units.size(), 1u) << text;
        EXPECT_TRUE(units[0].malformed) << text;
    }
}

TEST(ScpiMessage, ReadsOnlyPlainDecimalNumbers)
{
    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"1.500", 1.5},
        {"0", 0.0},
        {"+2", 2.0},
        {"-0.5", -0.5},
        {".25", 0.25},
        {"5.", 5.0},
        {"1e3", 1000.0},
        {"2.5E-1", 0.25},
        {" 3 ", 3.0},
        {"", std::nullopt},
        {"1.5A", std::nullopt},
        {"nan", std::nullopt},
        {"inf", std::nullopt},
        {"1,5", std::nullopt},
        {"0x10", std::nullopt},
        {"1e", std::nullopt},
        {".", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScpiMessage::decimal(QLatin1String(c.text)), c.value) << c.text;
}

TEST(ScpiMessage, ReadsWholeNumbersOnly)
{
    EXPECT_EQ(ScpiMessage::integer(QStringLiteral("3")), 3);
    EXPECT_EQ(ScpiMessage::integer(QStringLiteral("3.0")), 3);
    EXPECT_EQ(ScpiMessage::integer(QStringLiteral("3.5")), std::nullopt);
    EXPECT_EQ(ScpiMessage::integer(QStringLiteral("1e12")), std::nullopt);
    EXPECT_EQ(ScpiMessage::integer(QStringLiteral("CH1")), std::nullopt);
}

TEST(ScpiHeaderPattern, MatchesShortAndLongFormsInAnyCase)
{
    const ScpiHeaderPattern pattern(QStringLiteral("INSTrument:NSELect"));
    int suffix = 0;
    EXPECT_TRUE(pattern.matches({"INST", "NSEL"}, false, &suffix));
    EXPECT_TRUE(pattern.matches({"instrument", "nselect"}, false, &suffix));
    EXPECT_FALSE(pattern.matches({"INSTR", "NSEL"}, false, &suffix));
    EXPECT_FALSE(pattern.matches({"INST", "NSEL"}, true, &suffix));
    EXPECT_FALSE(pattern.matches({"INST"}, false, &suffix));
    EXPECT_FALSE(pattern.matches({"INST", "NSEL", "X"}, false, &suffix));
}

TEST(ScpiHeaderPattern, SkipsOptionalNodes)
{
    const ScpiHeaderPattern pattern(QStringLiteral("[SOURce]:CURRent:[LEVel]?"));
    int suffix = 0;
    EXPECT_TRUE(pattern.matches({"CURR"}, true, &suffix));
    EXPECT_TRUE(pattern.matches({"SOUR", "CURR"}, true, &suffix));
    EXPECT_TRUE(pattern.matches({"CURR", "LEV"}, true, &suffix));
    EXPECT_FALSE(pattern.matches({"CURR", "RANG"}, true, &suffix));
}

TEST(ScpiHeaderPattern, ReadsANumericSuffix)
{
    const ScpiHeaderPattern pattern(QStringLiteral("STATus:QUEStionable:INSTrument:ISUMmary#:CONDition?"));
    int suffix = 0;
    ASSERT_TRUE(pattern.matches({"STAT", "QUES", "INST", "ISUM3", "COND"}, true, &suffix));
    EXPECT_EQ(suffix, 3);
    ASSERT_TRUE(pattern.matches({"STAT", "QUES", "INST", "ISUM", "COND"}, true, &suffix));
    EXPECT_EQ(suffix, 1);
    ASSERT_TRUE(pattern.matches({"STAT", "QUES", "INST", "ISUM99999999999", "COND"}, true, &suffix));
    EXPECT_EQ(suffix, -1);
    // A node without a suffix in the pattern takes no digits.
    EXPECT_FALSE(pattern.matches({"STAT2", "QUES", "INST", "ISUM1", "COND"}, true, &suffix));
}
