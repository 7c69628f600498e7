#include "views/ChannelPlot.h"

#include "QtPrinters.h"
#include "model/ChannelSequence.h"
#include "model/SequenceTypes.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

// A 440 x 340 window: the plot rectangle is (40, 40) to (400, 300), 360 pixels per 10 s of the
// default time range and 260 pixels per 8 of the default value range.
ChannelPlot standardPlot()
{
    ChannelPlot plot;
    plot.setPlotArea(QRect(0, 0, 440, 340));
    return plot;
}

// Step to 4 until 2 s, ramp to 8 until 5 s, step to 2 until 10 s.
std::vector<StepValues> threeSteps()
{
    return {{2.0, 2.0, 4.0, StepSegment::Step},
            {5.0, 3.0, 8.0, StepSegment::Ramp},
            {10.0, 5.0, 2.0, StepSegment::Step}};
}

using Points = std::vector<QPoint>;

} // namespace

TEST(ChannelPlot, PlotRectangleIsTheAreaInsetByFortyPixels)
{
    ChannelPlot plot;
    plot.setPlotArea(QRect(10, 20, 500, 300));
    EXPECT_EQ(plot.left(), 50);
    EXPECT_EQ(plot.top(), 60);
    EXPECT_EQ(plot.right(), 470);
    EXPECT_EQ(plot.bottom(), 280);
    EXPECT_EQ(plot.xAxis().points, (Points{{50, 280}, {470, 280}}));
    EXPECT_EQ(plot.yAxis().points, (Points{{50, 280}, {50, 60}}));
    EXPECT_EQ(plot.appendZone(), QRect(QPoint(50, 60), QPoint(470, 280)));
}

TEST(ChannelPlot, MapsDataToPixelsByTruncation)
{
    const ChannelPlot plot = standardPlot();
    struct Case {
        double time;
        int x;
    } times[] = {{0.0, 40}, {10.0, 400}, {5.0, 220}, {3.33, 159}, {-0.05, 39}, {10.01, 400}};
    for (const Case& c : times)
        EXPECT_EQ(plot.xOf(c.time), c.x) << "t=" << c.time;
    struct ValueCase {
        double value;
        int y;
    } values[] = {{0.0, 300}, {8.0, 40}, {1.0, 268}, {4.0, 170}, {-0.1, 303}};
    for (const ValueCase& c : values)
        EXPECT_EQ(plot.yOf(c.value), c.y) << "v=" << c.value;
    EXPECT_DOUBLE_EQ(plot.timeAt(220), 5.0);
    EXPECT_DOUBLE_EQ(plot.timeAt(40), 0.0);
    EXPECT_DOUBLE_EQ(plot.valueAt(40), 8.0);
    EXPECT_DOUBLE_EQ(plot.valueAt(170), 4.0);
}

TEST(ChannelPlot, EqualRangeEndsMapToTheLeftAndBottomEdges)
{
    ChannelPlot plot = standardPlot();
    plot.setRanges(3.0, 3.0, 2.0, 2.0);
    EXPECT_EQ(plot.xOf(7.0), 40);
    EXPECT_EQ(plot.yOf(7.0), 300);
}

TEST(ChannelPlot, AbsurdDataStayFarOffThePlotWithoutOverflow)
{
    const ChannelPlot plot = standardPlot();
    EXPECT_GT(plot.xOf(1e300), 400 + 100000);
    EXPECT_LT(plot.xOf(-1e300), 40 - 100000);
    EXPECT_GT(plot.yOf(-std::numeric_limits<double>::infinity()), 300);
    EXPECT_EQ(plot.xOf(std::numeric_limits<double>::quiet_NaN()), 40);
}

TEST(ChannelPlot, AxisMaximumRoundsUpByTheStepOfItsDecade)
{
    struct Case {
        double x;
        double maximum;
    } cases[] = {
        {-3.0, 0.001},  {0.0, 0.001},   {0.0005, 0.001}, // below 0.001
        {0.001, 0.02},  {0.049, 0.06},                   // step 0.01, offset 0.01
        {0.05, 0.2},    {0.3, 0.4},     {0.45, 0.6},     // step 0.1, offset 0.1
        {0.5, 1.0},     {0.99, 1.0},                     // step 1, no offset
        {1.0, 2.0},     {8.5, 10.0},    {9.0, 10.0},     // step 1, offset 1
        {10.0, 11.0},   {45.0, 51.0},   {99.5, 101.0},   // step 10, offset 1
        {100.0, 101.0}, {250.0, 301.0},                  // step 100, offset 1
    };
    for (const Case& c : cases)
        EXPECT_NEAR(ChannelPlot::axisMaximum(c.x), c.maximum, 1e-9) << "x=" << c.x;
}

TEST(ChannelPlot, AutomaticRangesFollowTheLastTimeAndTheValueExtremes)
{
    ChannelPlot plot = standardPlot();
    plot.applyAutomaticRanges({{4.0, 4.0, 45.0, 0}, {8.5, 4.5, -2.5, 1}}, true, true, true);
    EXPECT_DOUBLE_EQ(plot.timeMax(), 10.0);
    EXPECT_DOUBLE_EQ(plot.valueMax(), 51.0);
    EXPECT_DOUBLE_EQ(plot.valueMin(), -2.5);
    EXPECT_TRUE(plot.timeMaxIsAutomatic());

    // Only positive values: the minimum is 0; only negative ones: the maximum is N(0).
    plot.applyAutomaticRanges({{1.0, 1.0, 3.0, 0}}, false, true, true);
    EXPECT_DOUBLE_EQ(plot.valueMin(), 0.0);
    EXPECT_DOUBLE_EQ(plot.valueMax(), 4.0);
    plot.applyAutomaticRanges({{1.0, 1.0, -3.0, 0}}, false, true, false);
    EXPECT_DOUBLE_EQ(plot.valueMax(), 0.001);
    EXPECT_DOUBLE_EQ(plot.valueMin(), 0.0);
    EXPECT_DOUBLE_EQ(plot.timeMax(), 10.0);
}

TEST(ChannelPlot, FlagsOffOrNoStepsKeepTheRanges)
{
    ChannelPlot plot = standardPlot();
    plot.setRanges(1.0, 20.0, -5.0, 30.0);
    plot.applyAutomaticRanges(threeSteps(), false, false, false);
    plot.applyAutomaticRanges({}, true, true, true);
    EXPECT_DOUBLE_EQ(plot.timeMin(), 1.0);
    EXPECT_DOUBLE_EQ(plot.timeMax(), 20.0);
    EXPECT_DOUBLE_EQ(plot.valueMin(), -5.0);
    EXPECT_DOUBLE_EQ(plot.valueMax(), 30.0);
    EXPECT_FALSE(plot.timeMaxIsAutomatic());
}

TEST(ChannelPlot, LabelsByUnitModeAndSequenceMode)
{
    struct Case {
        int unit;
        int mode;
        int sequenceMode;
        double timeMax;
        double lastTime; // > 0: the time maximum comes from the automatic rule

        const char* timeMaxText;
        const char* timeMinText;
        const char* timeUnit;
        const char* valueUnit;
    } cases[] = {
        {UnitS, ModeCV, NormalSequence, 10.0, 0.0, "10.0", "1.0", "[s]", "[V]"},
        {UnitS, ModeCC, NormalSequence, 0.02, 0.0075, "0.02", "1.0", "[s]", "[A]"},
        {UnitMs, ModeCCCV, NormalSequence, 1500.0, 0.0, "1500", "1", "[ms]", "[A]"},
        {UnitMin, ModeCR, NormalSequence, 11.0, 0.0, "11", "1", "[min]", "[ohm]"},
        {UnitMin, ModeCRCV, NormalSequence, 11.0, 10.0, "11.0", "1", "[min]", "[ohm]"},
        {UnitH, ModeCV, NormalSequence, 2.0, 0.0, "2", "1", "[h]", "[V]"},
        {UnitMin, ModeCV, FastSequence, 51.0, 0.0, "51.0", "1.0", "[ms]", "[V]"},
    };
    for (const Case& c : cases) {
        ChannelPlot plot = standardPlot();
        if (c.lastTime > 0.0) {
            plot.setRanges(1.0, 10.0, -2.5, 8.0);
            plot.applyAutomaticRanges({{c.lastTime, 1.0, 1.0, 0}}, true, false, false);
            ASSERT_DOUBLE_EQ(plot.timeMax(), c.timeMax);
        } else {
            plot.setRanges(1.0, c.timeMax, -2.5, 8.0);
        }
        plot.writeLabels(c.unit, c.mode, c.sequenceMode);
        const AxisLabels& labels = plot.labels();
        SCOPED_TRACE(c.timeMaxText);
        EXPECT_EQ(labels.timeMax, QString::fromLatin1(c.timeMaxText));
        EXPECT_EQ(labels.timeMin, QString::fromLatin1(c.timeMinText));
        EXPECT_EQ(labels.timeUnit, QString::fromLatin1(c.timeUnit));
        EXPECT_EQ(labels.valueUnit, QString::fromLatin1(c.valueUnit));
        EXPECT_EQ(labels.valueMax, QStringLiteral("8.000"));
        EXPECT_EQ(labels.valueMin, QStringLiteral("-2.500"));
    }
}

TEST(ChannelPlot, RebuildDrawsStepsLevelAndRampsFromThePreviousEnd)
{
    ChannelPlot plot = standardPlot();
    plot.rebuild(threeSteps());
    ASSERT_EQ(plot.count(), 3);
    EXPECT_EQ(plot.segment(0).points, (Points{{40, 170}, {112, 170}}));
    EXPECT_EQ(plot.segment(1).points, (Points{{112, 170}, {220, 40}}));
    EXPECT_EQ(plot.segment(2).points, (Points{{220, 235}, {400, 235}}));
    EXPECT_EQ(plot.segment(2).step, 3);
    EXPECT_EQ(plot.boundary(0).points, (Points{{112, 300}, {112, 40}}));
    EXPECT_EQ(plot.boundary(0).pen.style, PlotPen::Style::Dotted);
    EXPECT_DOUBLE_EQ(plot.boundary(1).interval, 3.0);
    EXPECT_EQ(plot.appendLeft(), 400);

    plot.removeLast();
    EXPECT_EQ(plot.count(), 2);
    EXPECT_EQ(plot.boundaries().size(), 2u);
    EXPECT_EQ(plot.appendLeft(), 220);
    plot.clear();
    EXPECT_EQ(plot.appendLeft(), 40);
    EXPECT_EQ(plot.lineEnd(), QPoint(40, 300));
}

TEST(ChannelPlot, ReadsStepsFromTheirTextsAndSumsTheIntervals)
{
    ChannelSequence sequence;
    sequence.count = 2;
    sequence.steps[0].time = ""; // as read from a file, before anything recomputed the times
    sequence.steps[0].interval = "1.5";
    sequence.steps[0].value = "3.25";
    sequence.steps[0].transition = "1";
    sequence.steps[1].time = "7.0";
    sequence.steps[1].interval = "2.5";
    sequence.steps[1].value = "junk";
    sequence.steps[1].transition = "";
    sequence.steps[2].value = "99"; // past the count
    const std::vector<StepValues> steps = ChannelPlot::stepValuesOf(sequence);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_DOUBLE_EQ(steps[0].value, 3.25);
    EXPECT_EQ(steps[0].transition, StepSegment::Ramp);
    EXPECT_DOUBLE_EQ(steps[1].endTime, 4.0);
    EXPECT_DOUBLE_EQ(steps[1].value, 0.0);
    EXPECT_EQ(steps[1].transition, StepSegment::Step);
}

TEST(ChannelPlot, NegativeMinimumPlacesTheZeroLineAndTheStartOfALeadingRamp)
{
    ChannelPlot plot = standardPlot();
    plot.setRanges(0.0, 10.0, -2.0, 8.0);
    EXPECT_TRUE(plot.showsZeroLine());
    // One fifth of the 260-pixel height above the bottom.
    EXPECT_EQ(plot.zeroLine().points, (Points{{40, 248}, {400, 248}}));
    EXPECT_EQ(plot.zeroLine().pen.style, PlotPen::Style::Dotted);
    plot.rebuild({{2.0, 2.0, 6.0, StepSegment::Ramp}});
    EXPECT_EQ(plot.segment(0).firstPoint(), QPoint(40, 248));

    plot.setRanges(0.0, 10.0, 0.0, 8.0);
    EXPECT_FALSE(plot.showsZeroLine());
    EXPECT_EQ(plot.segment(0).firstPoint(), QPoint(40, 300));
}

TEST(ChannelPlot, SetValueMovesTheStepAndTheStartOfAFollowingRamp)
{
    ChannelPlot plot = standardPlot();
    plot.rebuild(threeSteps());
    plot.setValue(0, 6.0);
    EXPECT_EQ(plot.segment(0).points, (Points{{40, 105}, {112, 105}}));
    EXPECT_EQ(plot.segment(1).points, (Points{{112, 105}, {220, 40}}));
    EXPECT_DOUBLE_EQ(plot.boundary(0).value, 6.0);

    // A ramp keeps its start; the step after it keeps its own height.
    plot.setValue(1, 6.0);
    EXPECT_EQ(plot.segment(1).points, (Points{{112, 105}, {220, 105}}));
    EXPECT_EQ(plot.segment(2).points, (Points{{220, 235}, {400, 235}}));
}

TEST(ChannelPlot, SetIntervalShiftsEveryLaterStepAndBoundary)
{
    ChannelPlot plot = standardPlot();
    plot.rebuild(threeSteps());
    plot.setInterval(0, 3.0);
    EXPECT_DOUBLE_EQ(plot.segment(0).endTime, 3.0);
    EXPECT_DOUBLE_EQ(plot.segment(2).endTime, 11.0);
    EXPECT_EQ(plot.segment(0).points, (Points{{40, 170}, {148, 170}}));
    EXPECT_EQ(plot.segment(1).points, (Points{{148, 170}, {256, 40}}));
    EXPECT_EQ(plot.segment(2).points, (Points{{256, 235}, {436, 235}}));
    EXPECT_EQ(plot.boundary(0).points.front().x(), 148);
    EXPECT_EQ(plot.boundary(2).points.front().x(), 436);
    EXPECT_DOUBLE_EQ(plot.boundary(2).endTime, 11.0);
    EXPECT_EQ(plot.appendLeft(), 436);
}

TEST(ChannelPlot, SetTransitionMovesTheFirstPoint)
{
    ChannelPlot plot = standardPlot();
    plot.rebuild(threeSteps());
    plot.setTransition(2, StepSegment::Ramp);
    EXPECT_EQ(plot.segment(2).points, (Points{{220, 40}, {400, 235}}));
    plot.setTransition(1, StepSegment::Step);
    EXPECT_EQ(plot.segment(1).points, (Points{{112, 40}, {220, 40}}));
    plot.setTransition(0, StepSegment::Ramp);
    EXPECT_EQ(plot.segment(0).points, (Points{{40, 300}, {112, 170}}));
    plot.setRanges(0.0, 10.0, -2.0, 8.0);
    EXPECT_EQ(plot.segment(0).firstPoint(), QPoint(40, 248));
}

TEST(ChannelPlot, PlotAreaChangeMovesEverySegment)
{
    ChannelPlot plot = standardPlot();
    plot.rebuild(threeSteps());
    plot.setPlotArea(QRect(0, 0, 800, 600));
    EXPECT_EQ(plot.segment(2).points, (Points{{40 + 360, 560 - 130}, {760, 430}}));
    EXPECT_EQ(plot.boundary(0).points, (Points{{40 + 144, 560}, {184, 40}}));
    EXPECT_EQ(plot.appendLeft(), 760);
}

TEST(StepSegment, HitToleranceGrowsWithTheSlope)
{
    StepSegment steep;
    steep.points = {{100, 300}, {110, 40}}; // slope -26
    EXPECT_TRUE(steep.isHit({105, 170 - 15}));
    EXPECT_TRUE(steep.isHit({105, 170 + 20}));
    EXPECT_FALSE(steep.isHit({105, 170 - 21}));

    StepSegment flat;
    flat.points = {{100, 170}, {200, 170}};
    EXPECT_FALSE(flat.isHit({150, 155}));
    EXPECT_TRUE(flat.isHit({150, 168}));
    EXPECT_TRUE(flat.isHit({150, 172}));
    EXPECT_FALSE(flat.isHit({150, 173}));
    EXPECT_TRUE(flat.isHit({98, 170}));
    EXPECT_FALSE(flat.isHit({97, 170}));
    EXPECT_TRUE(flat.isHit({202, 170}));
    EXPECT_FALSE(flat.isHit({203, 170}));

    StepSegment moderate;
    moderate.points = {{100, 200}, {150, 100}}; // slope -2: 10 pixels
    EXPECT_TRUE(moderate.isHit({125, 150 + 10}));
    EXPECT_FALSE(moderate.isHit({125, 150 + 11}));
}

TEST(StepSegment, EndsCountWithinOnePixel)
{
    StepSegment steep;
    steep.points = {{100, 300}, {110, 40}};
    // The line test alone would miss these: the line is far off at x = 111.
    EXPECT_EQ(steep.hitTest({111, 41}), StepSegment::Hit::EndPoint);
    EXPECT_EQ(steep.hitTest({99, 299}), StepSegment::Hit::FirstPoint);
    EXPECT_EQ(steep.hitTest({112, 42}), StepSegment::Hit::None);

    StepSegment vertical;
    vertical.points = {{50, 300}, {50, 40}};
    EXPECT_EQ(vertical.hitTest({52, 150}), StepSegment::Hit::Line);
    EXPECT_EQ(vertical.hitTest({53, 150}), StepSegment::Hit::None);
    EXPECT_EQ(vertical.hitTest({50, 37}), StepSegment::Hit::None);

    StepSegment single;
    single.points = {{50, 50}};
    EXPECT_EQ(single.hitTest({50, 50}), StepSegment::Hit::None);
}

TEST(ChannelPlot, FindsTheFirstSegmentOrBoundaryHit)
{
    ChannelPlot plot = standardPlot();
    plot.rebuild(threeSteps());
    EXPECT_EQ(plot.segmentAt({80, 171}), 0);
    EXPECT_EQ(plot.segmentAt({166, 105}), 1);
    EXPECT_EQ(plot.segmentAt({300, 237}), 2);
    EXPECT_EQ(plot.segmentAt({300, 100}), -1);
    // The end of step 1 is the start of the ramp: the earlier segment wins.
    EXPECT_EQ(plot.segmentAt({112, 170}), 0);
    EXPECT_EQ(plot.boundaryAt({114, 250}), 0);
    EXPECT_EQ(plot.boundaryAt({218, 250}), 1);
    EXPECT_EQ(plot.boundaryAt({160, 250}), -1);
}
