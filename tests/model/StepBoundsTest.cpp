#include "model/StepBounds.h"

#include "QtPrinters.h"
#include "RecordingPrompt.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

// A channel holds what a hand-edited file or a script may hold; the first line the worksheet would
// refuse is named, or none.
TEST(StepBounds, NamesTheFirstLineTheWorksheetWouldRefuse)
{
    struct Case {
        const char* name;
        int control;
        int unit;
        int sequenceMode;
        QStringList values;
        QStringList intervals;
        QString problem;
    };
    const QString none;
    const Case cases[] = {
        {"values at both ends pass",
         SoftwareControl,
         UnitS,
         NormalSequence,
         {"-100", "300000"},
         {"0.5", "999.5"},
         none},
        {"a value far above",
         HardwareControl,
         UnitS,
         NormalSequence,
         {"1", "999999.0000"},
         {"1.000", "1.000"},
         "Channel 3, line 2: the value \"999999.0000\" is outside -100 to 300000. Nothing was sent."},
        {"a value below",
         SoftwareControl,
         UnitS,
         NormalSequence,
         {"-100.5"},
         {"1.0"},
         "Channel 3, line 1: the value \"-100.5\" is outside -100 to 300000. Nothing was sent."},
        {"an empty interval",
         HardwareControl,
         UnitS,
         NormalSequence,
         {"1"},
         {""},
         "Channel 3, line 1: the interval \"\" is outside 0.001 to 9999 s. Nothing was sent."},
        {"a negative interval",
         HardwareControl,
         UnitS,
         NormalSequence,
         {"1", "2"},
         {"1.000", "-3.000"},
         "Channel 3, line 2: the interval \"-3.000\" is outside 0.001 to 9999 s. Nothing was sent."},
        {"an interval too long for the instrument",
         HardwareControl,
         UnitS,
         NormalSequence,
         {"1"},
         {"100000.000"},
         "Channel 3, line 1: the interval \"100000.000\" is outside 0.001 to 9999 s. Nothing was sent."},
        {"Software Control steps in half seconds",
         SoftwareControl,
         UnitS,
         NormalSequence,
         {"1"},
         {"0.4"},
         "Channel 3, line 1: the interval \"0.4\" is outside 0.5 to 999.5 s. Nothing was sent."},
        {"long half-second steps of the program's own files",
         SoftwareControl,
         UnitS,
         NormalSequence,
         {"2", "0", "1"},
         {"1800.0", "600.0", "10000000.0"},
         none},
        {"a long step off the half seconds",
         SoftwareControl,
         UnitS,
         NormalSequence,
         {"2", "2"},
         {"1800.0", "1800.3"},
         "Channel 3, line 2: the interval \"1800.3\" is outside 0.5 to 999.5 s. Nothing was sent."},
        {"a half-second step beyond any run",
         SoftwareControl,
         UnitS,
         NormalSequence,
         {"2"},
         {"10000000.5"},
         "Channel 3, line 1: the interval \"10000000.5\" is outside 0.5 to 999.5 s. Nothing was sent."},
        {"milliseconds",
         SoftwareControl,
         UnitMs,
         NormalSequence,
         {"1"},
         {"10000"},
         "Channel 3, line 1: the interval \"10000\" is outside 1 to 9999 ms. Nothing was sent."},
        {"minutes",
         HardwareControl,
         UnitMin,
         NormalSequence,
         {"1", "1"},
         {"0.1", "0.05"},
         "Channel 3, line 2: the interval \"0.05\" is outside 0.1 to 999.999 min. Nothing was sent."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppSettings settings;
        settings.SeqCtl = c.control;
        settings.UnitSoft = c.unit;
        settings.UnitHard = c.unit;
        settings.SeqMode = c.sequenceMode;
        settings.deriveActiveValues();
        ChannelSequence sequence;
        for (int i = 0; i < c.values.size(); ++i) {
            sequence.steps[i].value = c.values[i];
            sequence.steps[i].interval = c.intervals[i];
        }
        sequence.count = static_cast<int>(c.values.size());
        EXPECT_EQ(StepBounds::channelProblem(sequence, 2, settings), c.problem);
    }
}

TEST(StepBounds, AChannelPastTheStepLimitIsNamedAtTheFirstLineTooMany)
{
    struct Case {
        int control;
        int sequenceMode;
        int count;
        QString problem;
    };
    const Case cases[] = {
        {HardwareControl, NormalSequence, 255, QString()},
        {HardwareControl, NormalSequence, 300,
         "Channel 1, line 256: the channel holds 300 steps; at most 255 can be sent. Nothing was sent."},
        {HardwareControl, FastSequence, 1024, QString()},
        {SoftwareControl, NormalSequence, 1024, QString()},
        {SoftwareControl, NormalSequence, 1025,
         "Channel 1, line 1025: the channel holds 1025 steps; at most 1024 can be sent. Nothing was sent."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        AppSettings settings;
        settings.SeqCtl = c.control;
        settings.SeqMode = c.sequenceMode;
        settings.deriveActiveValues();
        ChannelSequence sequence;
        for (SequenceStep& step : sequence.steps) {
            step.value = QStringLiteral("1");
            step.interval = QStringLiteral("1.0");
        }
        sequence.count = c.count;
        EXPECT_EQ(StepBounds::channelProblem(sequence, 0, settings), c.problem);
    }
}

TEST(StepBounds, OnlyTheChannelsTakingPartAreLookedAtInChannelOrder)
{
    AppSettings settings;
    RecordingPrompt prompt;
    auto document = std::make_unique<CMainDoc>(settings, prompt);
    for (int c = 0; c < kChannelCount; ++c) {
        document->channel(c).steps[0].value = QStringLiteral("1");
        document->channel(c).steps[0].interval = QStringLiteral("1.0");
        document->channel(c).count = 1;
    }
    document->channel(1).steps[0].value = QStringLiteral("-500");
    document->channel(3).steps[0].interval = QStringLiteral("0");
    EXPECT_EQ(StepBounds::channelsProblem(*document, {true, false, true, false, true}, settings), QString());
    EXPECT_TRUE(StepBounds::channelsProblem(*document, {false, false, true, true, true}, settings)
                    .startsWith("Channel 4,"));
    EXPECT_TRUE(StepBounds::channelsProblem(*document, {false, true, true, true, false}, settings)
                    .startsWith("Channel 2,"));
}

} // namespace
