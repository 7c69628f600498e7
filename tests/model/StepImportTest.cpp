#include "model/StepImport.h"

#include "QtPrinters.h"
#include "model/AppSettings.h"

#include <gtest/gtest.h>

namespace {

using Finding = StepImport::Finding;

const char* const kFindingNames[] = {
    "ValueNotANumber",
    "IntervalNotANumber",
    "NoValue",
    "NoInterval",
    "ValueOutOfRange",
    "IntervalOutOfRange",
    "UnknownTransition",
    "UnknownLoad",
    "OpenQuote",
    "PastStepLimit",
    "IntervalNeeded",
    "ValueRounded",
    "IntervalRounded",
    "HardwareStepOn",
    "HeaderUnrecognised",
    "ColumnIgnored",
    "IntervalsConverted",
    "QuantityDiffers",
    "ModeDiffers",
    "ConstantVoltageDiffers",
    "ControlDiffers",
    "FixedInterval",
    "FastModeInterval",
    "NothingToInsert",
};

// An entry as "3 NoValue", "6-10 PastStepLimit 255" or "0 IntervalsConverted ms s"; the channel as
// "CH2 " in front when it is not the one the test inserts into.
QString entryText(const StepImport::Entry& entry, int channel)
{
    QString text;
    if (entry.channel >= 0 && entry.channel != channel)
        text += QStringLiteral("CH%1 ").arg(entry.channel + 1);
    text += QString::number(entry.firstLine);
    if (entry.lastLine != entry.firstLine)
        text += QStringLiteral("-%1").arg(entry.lastLine);
    text += QLatin1Char(' ') + QLatin1String(kFindingNames[static_cast<int>(entry.finding)]);
    for (const QString& arg : entry.args)
        text += QLatin1Char(' ') + arg;
    return text;
}

struct Outcome {
    QStringList steps;   // "value|interval|transition|load" of the first insertion
    QStringList entries; // entryText of each entry
    StepImport::Plan plan;
};

Outcome planOf(const QString& text, const AppSettings& settings, const StepImport::Target& target = {})
{
    Outcome outcome;
    outcome.plan = StepImport::plan(StepColumns::read(text), settings, target);
    if (!outcome.plan.insertions.empty()) {
        for (const SequenceStep& step : outcome.plan.insertions.front().steps) {
            outcome.steps << QStringList{step.value, step.interval, step.transition, step.load}.join(
                QLatin1Char('|'));
            EXPECT_EQ(step.load2, QStringLiteral("1"));
        }
    }
    for (const StepImport::Entry& entry : outcome.plan.entries)
        outcome.entries << entryText(entry, target.channel);
    return outcome;
}

// Channel 1 in CC with four decimals, unit s, Software Control.
AppSettings ccSettings()
{
    AppSettings settings;
    settings.ModeCh = {ModeCC, ModeCV, ModeCR, ModeCCCV, ModeCRCV};
    settings.Volt1Ch[3] = 12.0;
    settings.Unit = UnitS;
    settings.SeqCtl = SoftwareControl;
    return settings;
}

} // namespace

TEST(StepImport, ReadsTheColumnsByTheirHeaderOrInOrder)
{
    const struct {
        const char* name;
        const char* text;
        QStringList steps;
        QStringList entries;
    } cases[] = {
        {"the worksheet's own Copy",
         "Current[A]\tInterval[s]\tTransition\tLoad\n2.5000\t2.5\tRamp\toff\n",
         {"2.5000|2.5|1|0"},
         {}},
        {"any case, any order, decimal comma",
         "load;INTERVAL [s];current[a]\nOff;2,5;1,25\n",
         {"1.2500|2.5|0|0"},
         {}},
        {"no header: value, interval, transition, load",
         "1.5,10\n2,3.5,ramp,ON\n",
         {"1.5000|10.0|0|1", "2.0000|3.5|1|1"},
         {}},
        {"0 and 1 for the flags", "1\t1\t1\t0\n", {"1.0000|1.0|1|0"}, {}},
        {"a header without a set value", "I,dt\n1,2\n", {"1.0000|2.0|0|1"}, {"1 HeaderUnrecognised"}},
        {"the Time column is not used",
         "Time[s]\tCurrent[A]\tInterval[s]\n1.0\t2\t1\n",
         {"2.0000|1.0|0|1"},
         {"1 ColumnIgnored 1 Time[s]"}},
        {"columns past the fourth",
         "1,2,Step,on,x,y\n",
         {"1.0000|2.0|0|1"},
         {"0 ColumnIgnored 5 ", "0 ColumnIgnored 6 "}},
        {"a second value column",
         "Current[A],Value,Interval\n1,2,3\n",
         {"1.0000|3.0|0|1"},
         {"1 ColumnIgnored 2 Value"}},
        {"values of another quantity",
         "Voltage[V],Interval[s]\n5,1\n",
         {"5.0000|1.0|0|1"},
         {"1 QuantityDiffers Voltage[V] 1 Current[A]"}},
        {"another mode of the same quantity",
         "Current[A] (CCCV 5 V),Interval[s] (Hardware Control)\n5,1\n",
         {"5.0000|1.0|0|1"},
         {"1 ModeDiffers CCCV 1 CC", "1 ControlDiffers Hardware Control Software Control"}},
        {"the header's mode and control agree",
         "Current[A] (cc),Interval[s] (soft)\n5,1\n",
         {"5.0000|1.0|0|1"},
         {}},
        {"intervals in another unit",
         "Current[A],Interval[ms]\n1,1500\n1,1234\n",
         {"1.0000|1.5|0|1", "1.0000|1.0|0|1"},
         {"0 IntervalsConverted ms s", "3 IntervalRounded 1234 1.0"}},
        {"minutes to seconds",
         "Current[A];Interval[min]\n1;0,5\n",
         {"1.0000|30.0|0|1"},
         {"0 IntervalsConverted min s"}},
        {"nothing but a header", "Current[A],Interval[s]\n", {}, {"0 NothingToInsert"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = planOf(QString::fromUtf8(c.text), ccSettings());
        EXPECT_EQ(outcome.steps, c.steps);
        EXPECT_EQ(outcome.entries, c.entries);
    }
}

TEST(StepImport, RefusesOrChangesRowsAndSaysWhichLine)
{
    const QString text = QStringLiteral("Current[A];Interval[s];Transition;Load\n" // 1
                                        "1;1\n"                                    // 2
                                        "abc;1\n"                                  // 3
                                        "1;x\n"                                    // 4
                                        ";1\n"                                     // 5
                                        "2\n"                                      // 6
                                        "400000;1\n"                               // 7
                                        "1;0,3\n"                                  // 8
                                        "1;1000,2\n"                               // 9
                                        "1;1800\n"                                 // 10
                                        "1;1,2\n"                                  // 11
                                        "1,234567;1\n"                             // 12
                                        "1;1;glide\n"                              // 13
                                        "1;1;ramp;maybe\n"                         // 14
                                        "\"1;1\n"                                  // 15
                                        "\n"                                       // 16
                                        "-100;0,5;RAMP;OFF\n"                      // 17
                                        ";;;\n"                                    // 18
                                        "1,23456;0,8\n");                          // 19
    const Outcome outcome = planOf(text, ccSettings());
    EXPECT_EQ(outcome.steps, (QStringList{"1.0000|1.0|0|1", "1.0000|1800.0|0|1", "1.0000|1.0|0|1",
                                          "1.2346|1.0|0|1", "-100.0000|0.5|1|0", "1.2346|1.0|0|1"}));
    EXPECT_EQ(
        outcome.entries,
        (QStringList{"3 ValueNotANumber abc", "4 IntervalNotANumber x", "5 NoValue", "6 NoInterval",
                     "7 ValueOutOfRange 400000 -100 300000", "8 IntervalOutOfRange 0,3 0.5 999.5 s",
                     "9 IntervalOutOfRange 1000,2 0.5 999.5 s", "11 IntervalRounded 1,2 1.0",
                     "12 ValueRounded 1,234567 1.2346", "13 UnknownTransition glide", "14 UnknownLoad maybe",
                     "15 OpenQuote", "19 ValueRounded 1,23456 1.2346", "19 IntervalRounded 0,8 1.0"}));
    EXPECT_EQ(outcome.plan.rows, 16);
    EXPECT_EQ(outcome.plan.changedRows, 3);
    EXPECT_EQ(outcome.plan.refusedRows, 10);
    EXPECT_TRUE(outcome.plan.hasRefusals());
}

TEST(StepImport, AppliesTheIntervalBoundsAndFormatsOfTheUnitAndControl)
{
    const struct {
        int unit;
        int control;
        const char* interval;
        const char* stored; // empty: refused
        bool rounded;
    } cases[] = {
        {UnitMs, SoftwareControl, "12.6", "13", true},
        {UnitMs, SoftwareControl, "0.4", "", false},
        {UnitMs, HardwareControl, "9999", "9999", false},
        {UnitMs, SoftwareControl, "10000", "", false},
        {UnitS, HardwareControl, "0.0014", "0.001", true},
        {UnitS, HardwareControl, "0.0005", "", false},
        {UnitS, HardwareControl, "9999", "9999.000", false},
        {UnitS, HardwareControl, "1800.25", "1800.250", false},
        {UnitS, SoftwareControl, "0.7", "0.5", true},
        {UnitS, SoftwareControl, "0.8", "1.0", true},
        {UnitS, SoftwareControl, "999.5", "999.5", false},
        {UnitS, SoftwareControl, "999.9", "", false},
        {UnitS, SoftwareControl, "1500", "1500.0", false},
        {UnitS, SoftwareControl, "1500.3", "", false},
        {UnitS, SoftwareControl, "0.25", "", false},
        {UnitMin, SoftwareControl, "0.26", "0.3", true},
        {UnitMin, HardwareControl, "0.05", "", false},
        {UnitH, HardwareControl, "2", "2.0", false},
        {UnitH, SoftwareControl, "1000", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("unit %1 control %2 interval %3")
                         .arg(c.unit)
                         .arg(c.control)
                         .arg(c.interval)
                         .toStdString());
        AppSettings settings = ccSettings();
        settings.Unit = c.unit;
        settings.SeqCtl = c.control;
        const Outcome outcome = planOf(QStringLiteral("1\t%1\n").arg(QLatin1String(c.interval)), settings);
        const QString stored = QString::fromLatin1(c.stored);
        EXPECT_EQ(outcome.steps.value(0).section(QLatin1Char('|'), 1, 1), stored);
        const bool refused = stored.isEmpty();
        EXPECT_EQ(outcome.plan.refusedRows, refused ? 1 : 0);
        EXPECT_EQ(outcome.plan.changedRows, c.rounded ? 1 : 0);
    }
}

TEST(StepImport, StoresValuesInTheChannelsDecimals)
{
    const struct {
        int mode;
        int places;
        const char* value;
        const char* stored;
        bool rounded;
    } cases[] = {
        {ModeCV, 0, "12.5", "12.50", false},       {ModeCV, 1, "12.3456", "12.346", true},
        {ModeCC, 0, "1.005", "1.00", true},        {ModeCC, 3, "0.123456", "0.12346", true},
        {ModeCR, 1, "100", "100.00000", false},    {ModeCRCV, 0, "2.25", "2.2500", false},
        {ModeCCCV, 2, "-100", "-100.0000", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        AppSettings settings = ccSettings();
        settings.ModeCh[0] = c.mode;
        settings.VoltPlace = settings.CurrPlace = settings.ResistPlace = c.places;
        const Outcome outcome = planOf(QStringLiteral("%1,1\n").arg(QLatin1String(c.value)), settings);
        EXPECT_EQ(outcome.steps, QStringList{QStringLiteral("%1|1.0|0|1").arg(QLatin1String(c.stored))});
        EXPECT_EQ(outcome.plan.changedRows, c.rounded ? 1 : 0);
    }
}

TEST(StepImport, StopsAtTheStepLimitWithoutPushingStepsOut)
{
    const struct {
        const char* name;
        int control;
        int sequenceMode;
        int count;
        int rows;
        int taken;
        QStringList entries;
    } cases[] = {
        {"Hardware Control, 250 steps",
         HardwareControl,
         NormalSequence,
         250,
         10,
         5,
         {"7-11 PastStepLimit 255"}},
        {"Hardware Control, full",
         HardwareControl,
         NormalSequence,
         255,
         2,
         0,
         {"0 NothingToInsert", "2-3 PastStepLimit 255"}},
        {"fast mode under Hardware Control",
         HardwareControl,
         FastSequence,
         1020,
         6,
         4,
         {"0 FastModeInterval 1.0", "6-7 PastStepLimit 1024"}},
        {"Software Control, 1020 steps",
         SoftwareControl,
         NormalSequence,
         1020,
         6,
         4,
         {"6-7 PastStepLimit 1024"}},
        {"room for all", SoftwareControl, NormalSequence, 0, 1024, 1024, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AppSettings settings = ccSettings();
        settings.SeqCtl = c.control;
        settings.SeqMode = c.sequenceMode;
        QString text = QStringLiteral("Current[A],Interval[s]\n");
        for (int i = 0; i < c.rows; ++i)
            text += QStringLiteral("%1,1\n").arg(i);
        StepImport::Target target;
        target.counts[0] = c.count;
        target.line = 3;
        const Outcome outcome = planOf(text, settings, target);
        EXPECT_EQ(outcome.plan.stepCount(), c.taken);
        EXPECT_EQ(outcome.entries, c.entries);
        // The line is where Paste may insert: at most just after the last step.
        if (c.taken > 0) {
            EXPECT_EQ(outcome.plan.insertions.front().line, std::min(3, c.count + 1));
        }
    }
}

TEST(StepImport, HardwareControlRunsEveryStepAsAStepWithTheLoadOn)
{
    AppSettings settings = ccSettings();
    settings.SeqCtl = HardwareControl;
    const Outcome outcome = planOf(QStringLiteral("1,1,Ramp,on\n2,1,Step,off\n3,1,Ramp,off\n4,1,Step,on\n"
                                                  "5,1,Ramp,on\n"),
                                   settings);
    EXPECT_EQ(outcome.steps, (QStringList{"1.0000|1.000|0|1", "2.0000|1.000|0|1", "3.0000|1.000|0|1",
                                          "4.0000|1.000|0|1", "5.0000|1.000|0|1"}));
    EXPECT_EQ(outcome.entries, (QStringList{"1-3 HardwareStepOn", "5 HardwareStepOn"}));
}

TEST(StepImport, ASingleColumnTakesTheIntervalItIsGiven)
{
    const struct {
        const char* name;
        std::optional<double> interval;
        QStringList steps;
        QStringList entries;
    } cases[] = {
        {"none given", {}, {}, {"1-3 IntervalNeeded"}},
        {"rounded once",
         1.3,
         {"1.0000|1.5|0|1", "2.5000|1.5|0|1", "3.0000|1.5|0|1"},
         {"0 FixedInterval 1.5 s", "0 IntervalRounded 1.3 1.5"}},
        {"out of bounds", 2000.2, {}, {"0 IntervalOutOfRange 2000.2 0.5 999.5 s", "1-3 IntervalNeeded"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StepImport::Target target;
        target.interval = c.interval;
        const Outcome outcome = planOf(QStringLiteral("1\n2.5\n3\n"), ccSettings(), target);
        EXPECT_EQ(outcome.plan.needsInterval, c.steps.isEmpty());
        EXPECT_EQ(outcome.steps, c.steps);
        EXPECT_EQ(outcome.entries, c.entries);
    }
}

TEST(StepImport, ChannelGroupsGoAfterTheLastStepOfTheirChannels)
{
    const QString text =
        QStringLiteral("CH1 Current[A],CH1 Interval[s],CH3 Resistance[ohm] (CR),CH3 Interval[s],"
                       "Note\n"
                       "1,1,10,2,x\n"
                       "2,1\n"
                       ",,abc,2\n");
    StepImport::Target target;
    target.counts = {4, 0, 7, 0, 0};
    target.channel = 1;
    target.line = 1;
    const StepImport::Plan plan = StepImport::plan(StepColumns::read(text), ccSettings(), target);
    ASSERT_EQ(plan.insertions.size(), 2u);
    EXPECT_EQ(plan.insertions[0].channel, 0);
    EXPECT_EQ(plan.insertions[0].line, 5);
    EXPECT_EQ(plan.insertions[0].steps.size(), 2u);
    EXPECT_EQ(plan.insertions[1].channel, 2);
    EXPECT_EQ(plan.insertions[1].line, 8);
    EXPECT_EQ(plan.insertions[1].steps.front().value, QStringLiteral("10.00000"));
    QStringList entries;
    for (const StepImport::Entry& entry : plan.entries)
        entries << entryText(entry, -1);
    EXPECT_EQ(entries, (QStringList{"1 ColumnIgnored 5 Note", "CH3 4 ValueNotANumber abc"}));

    // Only one channel's group, into the channel it names.
    target.onlyChannel = 2;
    target.channel = 2;
    const StepImport::Plan third = StepImport::plan(StepColumns::read(text), ccSettings(), target);
    ASSERT_EQ(third.insertions.size(), 1u);
    EXPECT_EQ(third.insertions[0].channel, 2);
    EXPECT_EQ(third.insertions[0].steps.size(), 1u);
}
