#include "views/PlotPainter.h"

#include "views/ChannelPlot.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

const QColor kMargin(255, 255, 255);
const QColor kBackground(255, 255, 200);
const QColor kLine(200, 0, 0);
const QColor kAxis(0, 0, 0);
const QColor kVertical(0, 0, 230);
const QColor kDraw(0, 160, 0);

PlotColours colours()
{
    PlotColours c;
    c.background = kBackground;
    c.line = kLine;
    c.axis = kAxis;
    c.verticalAxis = kVertical;
    c.draw = kDraw;
    return c;
}

// Plot (40, 40) to (400, 300) in a 440 x 340 image. Step to 4 until 2 s, ramp to 8 until 5 s, step
// to 2 until 10 s, and a step to 6 ending at 12 s, beyond the time maximum.
ChannelPlot knownPlot()
{
    ChannelPlot plot;
    plot.setPlotArea(QRect(0, 0, 440, 340));
    plot.rebuild({{2.0, 2.0, 4.0, StepSegment::Step},
                  {5.0, 3.0, 8.0, StepSegment::Ramp},
                  {10.0, 5.0, 2.0, StepSegment::Step},
                  {12.0, 2.0, 6.0, StepSegment::Step}});
    return plot;
}

QImage render(const ChannelPlot& plot, const PlotPainter::Options& options, QSize size = QSize(440, 340))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(kMargin);
    QPainter painter(&image);
    PlotPainter(painter, colours())
        .paint(plot, PlotPainter::labelFont(QStringLiteral("MS UI Gothic")), options);
    return image;
}

QColor at(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

int countInColumn(const QImage& image, int x, int fromY, int toY, const QColor& colour)
{
    int count = 0;
    for (int y = fromY; y <= toY; ++y)
        count += at(image, x, y) == colour ? 1 : 0;
    return count;
}

} // namespace

TEST(PlotPainter, DrawsTheSequenceInTheLineColourOnTheBackground)
{
    PlotPainter::Options options;
    options.boundaryLines = false;
    const QImage image = render(knownPlot(), options);
    EXPECT_EQ(at(image, 80, 170), kLine);  // step 1
    EXPECT_EQ(at(image, 166, 105), kLine); // middle of the ramp
    EXPECT_EQ(at(image, 300, 235), kLine); // step 3
    EXPECT_EQ(at(image, 80, 200), kBackground);
    EXPECT_EQ(at(image, 300, 100), kBackground);
    EXPECT_EQ(at(image, 20, 200), kMargin);
    // The axes.
    EXPECT_EQ(at(image, 200, 300), kAxis);
    EXPECT_EQ(at(image, 40, 100), kAxis);
}

TEST(PlotPainter, ConnectorsShowTheJumpOfAStepButNotOfARamp)
{
    PlotPainter::Options options;
    options.boundaryLines = false;
    const QImage image = render(knownPlot(), options);
    // From the ramp's end (220, 40) down to step 3's start (220, 235).
    EXPECT_EQ(countInColumn(image, 220, 41, 234, kLine), 234 - 41 + 1);
    // Step 1 ends where the ramp starts: nothing vertical at x = 112 above or below it.
    EXPECT_EQ(at(image, 112, 200), kBackground);
    EXPECT_EQ(at(image, 112, 140), kBackground);
}

TEST(PlotPainter, ASegmentBeyondTheTimeMaximumAndItsConnectorAreNotDrawn)
{
    PlotPainter::Options options;
    options.boundaryLines = false;
    const QImage image = render(knownPlot(), options);
    // Step 4 would run from (400, 105) to (472, 105), joined to step 3 at x = 400.
    EXPECT_EQ(at(image, 400, 105), kBackground);
    EXPECT_EQ(at(image, 400, 170), kBackground);
    EXPECT_EQ(at(image, 420, 105), kMargin);
}

TEST(PlotPainter, BoundaryLinesAreDottedAndOnlyThereWhenShown)
{
    PlotPainter::Options shown;
    const QImage with = render(knownPlot(), shown);
    // x = 112: the end of step 1, away from the line between y 41 and 169.
    const int dots = countInColumn(with, 112, 41, 169, kVertical);
    EXPECT_GT(dots, 50);
    EXPECT_LT(dots, 100);
    EXPECT_GT(countInColumn(with, 112, 41, 169, kBackground), 50);
    // The boundary of the step beyond the time maximum is outside the plot: not drawn.
    EXPECT_EQ(countInColumn(with, 436, 41, 299, kVertical), 0);

    PlotPainter::Options hidden;
    hidden.boundaryLines = false;
    EXPECT_EQ(countInColumn(render(knownPlot(), hidden), 112, 41, 169, kVertical), 0);
}

TEST(PlotPainter, ZeroLineIsDottedOneFifthUpWhenTheMinimumIsMinusTwo)
{
    ChannelPlot plot = knownPlot();
    plot.setRanges(0.0, 10.0, -2.0, 8.0);
    PlotPainter::Options options;
    options.boundaryLines = false;
    const QImage image = render(plot, options);
    int dots = 0;
    int gaps = 0;
    for (int x = 45; x < 100; ++x) {
        dots += at(image, x, 248) == kVertical ? 1 : 0;
        gaps += at(image, x, 248) == kBackground ? 1 : 0;
    }
    EXPECT_GT(dots, 20);
    EXPECT_GT(gaps, 20);

    plot.setRanges(0.0, 10.0, 0.0, 8.0);
    const QImage without = render(plot, options);
    for (int x = 45; x < 100; ++x)
        ASSERT_NE(at(without, x, 248), kVertical) << x;
}

TEST(PlotPainter, SelectionSquareInvertsSevenBySevenPixels)
{
    ChannelPlot plot = knownPlot();
    PlotPainter::Options options;
    options.boundaryLines = false;
    options.markedSegment = 0;
    const QImage image = render(plot, options);
    const QColor inverted(255 - kBackground.red(), 255 - kBackground.green(), 255 - kBackground.blue());
    const QColor invertedLine(255 - kLine.red(), 255 - kLine.green(), 255 - kLine.blue());
    EXPECT_EQ(at(image, 112 - 3, 170 - 3), inverted);
    EXPECT_EQ(at(image, 112 + 3, 170 + 3), inverted);
    EXPECT_EQ(at(image, 112 - 4, 170 - 3), kBackground);
    EXPECT_EQ(at(image, 112 + 4, 170 + 3), kBackground);
    EXPECT_EQ(at(image, 110, 170), invertedLine);

    PlotPainter::Options unselected = options;
    unselected.markedSegment = -1;
    EXPECT_EQ(at(render(plot, unselected), 112 + 3, 170 + 3), kBackground);
}

TEST(PlotPainter, SelectionSquareOnlyWhereItsSegmentIsDrawn)
{
    // The ramp to 8 ends above a value maximum of 7.5, at (220, 23) in the margin: neither it nor
    // its square is drawn.
    ChannelPlot plot = knownPlot();
    plot.setRanges(0.0, 10.0, 0.0, 7.5);
    ASSERT_EQ(plot.segment(1).endPoint(), QPoint(220, 23));
    PlotPainter::Options options;
    options.boundaryLines = false;
    options.markedSegment = 1;
    const QImage image = render(plot, options);
    for (int dx = -3; dx <= 3; ++dx) {
        for (int dy = -3; dy <= 3; ++dy)
            ASSERT_EQ(at(image, 220 + dx, 23 + dy), kMargin) << dx << "," << dy;
    }
}

TEST(PlotPainter, FreeLineIsDrawnOnTopInTheDrawColour)
{
    PlotPainter::Options options;
    options.freeLine = {{300, 60}, {300, 280}};
    const QImage image = render(knownPlot(), options);
    EXPECT_EQ(at(image, 300, 100), kDraw);
    EXPECT_EQ(at(image, 300, 235), kDraw); // over the sequence line
}

TEST(PlotPainter, LabelsStayInsideTheWindowArea)
{
    ChannelPlot plot;
    // The area starts 100 pixels into the image: nothing may be drawn left of or above it.
    plot.setPlotArea(QRect(100, 100, 440, 340));
    plot.setRanges(0.0, 10.0, -999.999, 1000.0);
    plot.writeLabels(2, 2, 0); // min, ohm
    PlotPainter::Options options;
    const QImage image = render(plot, options, QSize(640, 540));
    bool outside = false;
    bool inMargin = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (at(image, x, y) == kMargin)
                continue;
            if (x < 100 || y < 100 || x >= 540 || y >= 440)
                outside = true;
            else if (x < 140)
                inMargin = true;
        }
    }
    EXPECT_FALSE(outside);
    EXPECT_TRUE(inMargin); // the value labels are there
}
