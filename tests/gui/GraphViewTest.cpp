#include "GraphViewRig.h"
#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "app/DocumentSession.h"
#include "views/CScaleDlg.h"
#include "views/CommandRouter.h"
#include "views/GraphPrinter.h"

#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QToolTip>
#include <QtTest>

using Points = std::vector<QPoint>;

// The graph view as a widget, driven by mouse events at exact pixels: drawing steps, dragging
// handles, the Graph menu's commands, the Scale dialog, tooltips, the profile and printing. With
// fixed ranges 0..10 s and 0..8 the plot maps 36 pixels to a second and 32.5 pixels to a unit; the
// three-step sequence then runs (40,170)-(112,170), ramp to (220,73), (220,235)-(346,235).
class GraphViewTest : public QObject {
    Q_OBJECT

private slots:
    void drawsAStepThenARampFromTheEndOfTheLine();
    void dropsShortDrawingsAndRoundsHalfSeconds();
    void dropsADrawingAtTheStepLimit();
    void fastModeAndHardwareControlDrawSteps();
    void drawingKeepsTheWorksheetsIntervalLimit();
    void firstDrawnStepOfAnyChannelRescales();
    void valueDragThroughTheHandleSquare();
    void valueDragReleasedOutsideThePlotIsCancelled();
    void timeDragMovesEveryLaterStep();
    void timeDragRefusesShortIntervalsAndLeftOfThePreviousStep();
    void timeDragBeyondTheTimeMaximumWidensTheRange();
    void transitionCommandsFollowSelectionAndControl();
    void deleteAsksAndHonoursTheAnswer();
    void scaleDialogChecksInOrder();
    void scaleDialogAppliesRangesAndFlags();
    void profileIsReadWhenShownAndWrittenOnClose();
    void aViewNeverShownWritesNoProfile();
    void tooltipsAppearAfterTheDelayAndOnlyWhenTheMouseMoves();
    void worksheetEditsMoveTheLine();
    void copyRightClickAndTitle();
    void printingGoesThroughThePrinter();
    void aPrinterThatCannotStartIsReported();
    void printCommandsFollowTheGraphWindow();
};

namespace {

const SequenceStep& step(GraphViewRig& rig, int line)
{
    return rig.document->current().steps[line - 1];
}

} // namespace

void GraphViewTest::drawsAStepThenARampFromTheEndOfTheLine()
{
    GraphViewRig rig;
    rig.fixRanges();
    CGraphView& view = rig.show();
    QCOMPARE(view.windowTitle(), QStringLiteral("Graph - Channel1"));

    rig.move({41, 170});
    QCOMPARE(view.cursor().shape(), Qt::CrossCursor);
    rig.press({41, 170});
    QCOMPARE(view.drag(), CGraphView::Drag::Drawing);
    rig.move({112, 170});
    QCOMPARE(view.dragLine(), (Points{{40, 170}, {112, 170}}));
    QCOMPARE(view.tooltipText(), QStringLiteral("[Line1] Time2.0[s] Interval2.0[s] Voltage4.000[V]"));
    QCOMPARE(view.picture().pixelColor(76, 170), QColor(0, 255, 0));
    rig.release({112, 170});

    QCOMPARE(rig.document->current().count, 1);
    const SequenceStep& first = step(rig, 1);
    QCOMPARE(first.value, QStringLiteral("4.000"));
    QCOMPARE(first.interval, QStringLiteral("2.0"));
    QCOMPARE(first.time, QStringLiteral("2.0"));
    QCOMPARE(first.transition, QStringLiteral("0"));
    QCOMPARE(first.load, QStringLiteral("1"));
    QCOMPARE(first.load2, QStringLiteral("1"));
    QCOMPARE(first.frequency, QStringLiteral("50.00"));
    QCOMPARE(first.transition2, QStringLiteral("0"));
    QVERIFY(rig.document->isModified());
    QVERIFY(rig.worksheet.calls.contains(QStringLiteral("refreshLine 0 1")));
    QVERIFY(rig.worksheet.calls.contains(QStringLiteral("restoreCursor"))); // the first step rescales
    QCOMPARE(view.plot(0).segment(0).points, (Points{{40, 170}, {112, 170}}));
    QCOMPARE(view.drag(), CGraphView::Drag::None);
    QCOMPARE(view.picture().pixelColor(76, 170), QColor(255, 0, 0));

    // From the new end up to the top: a ramp from the previous end point.
    rig.drag({113, 170}, {220, 40});
    QCOMPARE(rig.document->current().count, 2);
    QCOMPARE(step(rig, 2).value, QStringLiteral("8.000"));
    QCOMPARE(step(rig, 2).interval, QStringLiteral("3.0"));
    QCOMPARE(step(rig, 2).time, QStringLiteral("5.0"));
    QCOMPARE(step(rig, 2).transition, QStringLiteral("1"));
    QCOMPARE(view.plot(0).segment(1).points, (Points{{112, 170}, {220, 40}}));

    // No change in value: a step.
    rig.drag({221, 40}, {256, 40});
    QCOMPARE(step(rig, 3).transition, QStringLiteral("0"));
    QCOMPARE(step(rig, 3).value, QStringLiteral("8.000"));
}

void GraphViewTest::dropsShortDrawingsAndRoundsHalfSeconds()
{
    GraphViewRig rig;
    rig.fixRanges();
    CGraphView& view = rig.show();
    // Software Control in seconds: 0.19 s is below half the 0.5 s minimum.
    rig.drag({41, 170}, {47, 170});
    QCOMPARE(rig.document->current().count, 0);
    // A plain click at the end of the line draws nothing.
    rig.press({43, 170});
    rig.release({43, 170});
    // Released on the bottom edge, outside the drawing area.
    rig.drag({41, 170}, {112, 300});
    QCOMPARE(rig.document->current().count, 0);
    QVERIFY(!rig.document->isModified());
    QVERIFY(rig.worksheet.calls.isEmpty());
    QCOMPARE(view.plot(0).count(), 0);

    // 0.31 s is kept and rounded to the half second.
    rig.drag({41, 170}, {51, 170});
    QCOMPARE(rig.document->current().count, 1);
    QCOMPARE(step(rig, 1).interval, QStringLiteral("0.5"));
    QCOMPARE(step(rig, 1).time, QStringLiteral("0.5"));
    QCOMPARE(view.plot(0).segment(0).endPoint(), QPoint(58, 170));

    // The margin beyond the plot's right edge ends the step at the time maximum.
    rig.drag({59, 170}, {403, 170});
    QCOMPARE(step(rig, 2).time, QStringLiteral("10.0"));
}

void GraphViewTest::dropsADrawingAtTheStepLimit()
{
    GraphViewRig rig;
    rig.fixRanges();
    rig.settings.SeqCtl = HardwareControl;
    for (int i = 0; i < 255; ++i)
        rig.addStep(QStringLiteral("1.000"), QStringLiteral("0.020"));
    CGraphView& view = rig.show();
    QCOMPARE(view.plot(0).appendLeft(), 223);
    rig.drag({224, 170}, {300, 170});
    QCOMPARE(rig.document->current().count, 255);
    QVERIFY(!rig.document->isModified());

    // Under Software Control the same channel may grow.
    rig.settings.SeqCtl = SoftwareControl;
    rig.drag({224, 170}, {300, 170});
    QCOMPARE(rig.document->current().count, 256);
}

void GraphViewTest::fastModeAndHardwareControlDrawSteps()
{
    {
        GraphViewRig rig;
        rig.fixRanges();
        rig.settings.SeqMode = FastSequence;
        rig.settings.SeqTime = 2.5;
        rig.show();
        rig.drag({41, 170}, {112, 40});
        QCOMPARE(step(rig, 1).transition, QStringLiteral("0"));
        QCOMPARE(step(rig, 1).interval, QStringLiteral("2.5"));
        QCOMPARE(step(rig, 1).time, QStringLiteral("2.5"));
    }
    {
        GraphViewRig rig;
        rig.fixRanges();
        rig.settings.SeqCtl = HardwareControl;
        rig.settings.ModeCh[0] = ModeCC;
        rig.show();
        rig.drag({41, 170}, {112, 40});
        QCOMPARE(step(rig, 1).transition, QStringLiteral("0"));
        QCOMPARE(step(rig, 1).interval, QStringLiteral("2.000"));
        QCOMPARE(step(rig, 1).value, QStringLiteral("8.0000")); // CurrPlace 2
    }
}

void GraphViewTest::drawingKeepsTheWorksheetsIntervalLimit()
{
    GraphViewRig rig;
    rig.fixRanges();
    rig.writeProfile(QStringLiteral("Graph/TimeMax"), QStringLiteral("20000"));
    rig.settings.SeqCtl = HardwareControl;
    CGraphView& view = rig.show();
    // 20000 s is more than the instrument takes for one step (9999 s): nothing is stored.
    rig.drag({41, 170}, {400, 170});
    QCOMPARE(rig.document->current().count, 0);
    rig.drag({41, 170}, {200, 170});
    QCOMPARE(rig.document->current().count, 1);
    QCOMPARE(step(rig, 1).interval, QStringLiteral("8888.889"));
    QCOMPARE(view.plot(0).count(), 1);
}

void GraphViewTest::firstDrawnStepOfAnyChannelRescales()
{
    GraphViewRig rig; // automatic ranges
    rig.document->setCurrentChannel(2);
    CGraphView& view = rig.show();
    view.showChannel(2);
    rig.worksheet.calls.clear();
    rig.drag({41, 170}, {112, 170}); // 2 s at 4 on the stored 0..10, 0..8
    QCOMPARE(rig.document->channel(2).count, 1);
    QVERIFY(rig.worksheet.calls.contains(QStringLiteral("refreshLine 2 1")));
    QCOMPARE(view.plot(2).timeMax(), 3.0);
    QCOMPARE(view.plot(2).valueMax(), 5.0);
    QCOMPARE(view.plot(0).timeMax(), 10.0);
}

void GraphViewTest::valueDragThroughTheHandleSquare()
{
    GraphViewRig rig;
    rig.fixRanges();
    rig.addThreeSteps();
    CGraphView& view = rig.show();

    rig.doubleClick({76, 170});
    QCOMPARE(view.selectedIndex(), 0);
    QCOMPARE(view.handle(), CGraphView::Handle::Value);
    QCOMPARE(view.handlePoint(), QPoint(112, 170));
    QCOMPARE(view.picture().pixelColor(112 + 3, 170 + 3), QColor(0, 0, 0)); // the inverted square
    rig.move({109, 170});
    QCOMPARE(view.cursor().shape(), Qt::SizeVerCursor);
    QCOMPARE(view.tooltipText(), QStringLiteral("[Line1] Voltage4.000[V]"));
    rig.move({115, 170});
    QCOMPARE(view.cursor().shape(), Qt::ArrowCursor);

    // 3 pixels right of the handle is outside its square: the selection goes.
    rig.press({115, 170});
    rig.release({115, 170});
    QCOMPARE(view.selectedIndex(), -1);
    QCOMPARE(view.drag(), CGraphView::Drag::None);

    // 3 pixels left and above is inside: the drag starts.
    rig.doubleClick({76, 170});
    rig.press({109, 167});
    QCOMPARE(view.drag(), CGraphView::Drag::Value);
    QCOMPARE(view.cursor().shape(), Qt::SizeVerCursor);
    rig.move({109, 105});
    QCOMPARE(view.dragLine(), (Points{{40, 105}, {112, 105}}));
    QCOMPARE(view.tooltipText(), QStringLiteral("[Line1] Time2.0[s] Interval2.0[s] Voltage6.000[V]"));
    rig.release({109, 105});

    QCOMPARE(step(rig, 1).value, QStringLiteral("6.000"));
    QCOMPARE(rig.worksheet.calls, QStringList{QStringLiteral("refreshLine 0 1")});
    QVERIFY(rig.document->isModified());
    QCOMPARE(view.selectedIndex(), -1);
    QCOMPARE(view.plot(0).segment(0).points, (Points{{40, 105}, {112, 105}}));
    QCOMPARE(view.plot(0).segment(1).firstPoint(), QPoint(112, 105)); // the ramp follows

    // A ramp's drag line keeps its start.
    rig.doubleClick({166, 89});
    QCOMPARE(view.selectedIndex(), 1);
    rig.press({220, 73});
    rig.move({220, 200});
    QCOMPARE(view.dragLine(), (Points{{112, 105}, {220, 200}}));
    rig.release({220, 200});
    QCOMPARE(step(rig, 2).value, QStringLiteral("3.077"));
}

void GraphViewTest::valueDragReleasedOutsideThePlotIsCancelled()
{
    GraphViewRig rig;
    rig.fixRanges();
    rig.addThreeSteps();
    CGraphView& view = rig.show();
    rig.doubleClick({76, 170});
    rig.press({112, 170});
    rig.move({112, 38});
    rig.release({112, 38}); // two pixels above the plot
    QCOMPARE(step(rig, 1).value, QStringLiteral("4.000"));
    QVERIFY(!rig.document->isModified());
    QCOMPARE(view.selectedIndex(), -1);
    QCOMPARE(view.plot(0).segment(0).endPoint(), QPoint(112, 170));

    // One pixel above is within the tolerance and stores the maximum.
    rig.doubleClick({76, 170});
    rig.press({112, 170});
    rig.release({112, 39});
    QCOMPARE(step(rig, 1).value, QStringLiteral("8.000"));
}

void GraphViewTest::timeDragMovesEveryLaterStep()
{
    GraphViewRig rig;
    rig.fixRanges();
    rig.addThreeSteps();
    CGraphView& view = rig.show();

    // Boundary lines are hit first: a time handle at the top of the line.
    rig.doubleClick({112, 250});
    QCOMPARE(view.selectedIndex(), 0);
    QCOMPARE(view.handle(), CGraphView::Handle::Time);
    QCOMPARE(view.handlePoint(), QPoint(112, 40));
    rig.move({112, 40});
    QCOMPARE(view.cursor().shape(), Qt::SizeHorCursor);
    QCOMPARE(view.tooltipText(), QStringLiteral("[Line1] Time2.0[s] Interval2.0[s]"));
    rig.press({112, 40});
    QCOMPARE(view.drag(), CGraphView::Drag::Time);
    rig.move({148, 40});
    QCOMPARE(view.dragLine(), (Points{{148, 300}, {148, 40}}));
    QCOMPARE(view.tooltipText(), QStringLiteral("[Line1] Time3.0[s] Interval3.0[s] Voltage4.000[V]"));
    rig.release({148, 40});

    QCOMPARE(step(rig, 1).interval, QStringLiteral("3.0"));
    QCOMPARE(step(rig, 1).time, QStringLiteral("3.000"));
    QCOMPARE(step(rig, 2).time, QStringLiteral("6.000"));
    QCOMPARE(step(rig, 3).time, QStringLiteral("9.500"));
    QCOMPARE(rig.worksheet.calls,
             (QStringList{QStringLiteral("refreshLine 0 1"), QStringLiteral("refreshTimesFrom 0 1")}));
    QVERIFY(rig.document->isModified());
    QCOMPARE(view.selectedIndex(), -1);
    const ChannelPlot& plot = view.plot(0);
    QCOMPARE(plot.segment(1).points, (Points{{148, 170}, {256, 73}}));
    QCOMPARE(plot.segment(2).points, (Points{{256, 235}, {382, 235}}));
    QCOMPARE(plot.boundary(2).endPoint().x(), 382);
    QCOMPARE(plot.timeMax(), 10.0);
}

void GraphViewTest::timeDragRefusesShortIntervalsAndLeftOfThePreviousStep()
{
    GraphViewRig rig;
    rig.fixRanges();
    rig.addThreeSteps();
    CGraphView& view = rig.show();
    // Step 2 ends at x 220 and starts at 112: 0.17 s rounds to 0.0, below the 0.5 s minimum.
    rig.doubleClick({220, 250});
    QCOMPARE(view.selectedIndex(), 1);
    rig.press({220, 40});
    rig.move({118, 40});
    rig.release({118, 40});
    QCOMPARE(step(rig, 2).interval, QStringLiteral("3.0"));
    QCOMPARE(view.plot(0).boundary(1).endPoint().x(), 220);
    QVERIFY(!rig.document->isModified());
    // Left of the previous step's end: cancelled.
    rig.doubleClick({220, 250});
    rig.press({220, 40});
    rig.release({110, 40});
    QCOMPARE(step(rig, 2).interval, QStringLiteral("3.0"));
    QVERIFY(rig.worksheet.calls.isEmpty());

    // In fast mode a boundary line gives no time handle.
    rig.settings.SeqMode = FastSequence;
    rig.doubleClick({220, 250});
    QCOMPARE(view.selectedIndex(), -1);
}

void GraphViewTest::timeDragBeyondTheTimeMaximumWidensTheRange()
{
    {
        GraphViewRig rig;
        rig.fixRanges();
        rig.addThreeSteps();
        CGraphView& view = rig.show();
        rig.doubleClick({112, 250});
        rig.press({112, 40});
        rig.release({220, 40}); // interval 5: the sequence now ends at 11.5 s
        QCOMPARE(step(rig, 3).time, QStringLiteral("11.500"));
        QCOMPARE(view.plot(0).timeMax(), 11.5);
        QCOMPARE(view.plot(0).labels().timeMax, QStringLiteral("11.5"));
    }
    {
        GraphViewRig rig; // automatic ranges
        rig.addThreeSteps();
        CGraphView& view = rig.show();
        QCOMPARE(view.plot(0).timeMax(), 10.0);
        QCOMPARE(view.plot(0).valueMax(), 8.0);
        rig.doubleClick({112, 250});
        rig.press({112, 40});
        rig.release({220, 40});
        QCOMPARE(view.plot(0).timeMax(), 21.0); // N(11.5)
    }
}

void GraphViewTest::transitionCommandsFollowSelectionAndControl()
{
    GraphViewRig rig;
    rig.fixRanges();
    rig.addThreeSteps();
    CGraphView& view = rig.show();
    const CommandTable& commands = view.commands();
    const auto enabled = [&commands](int id) { return commands.find(id)->enabled(); };
    const auto checked = [&commands](int id) { return commands.find(id)->checked(); };

    QVERIFY(!enabled(CGraphView::IdRamp));
    QVERIFY(!enabled(CGraphView::IdDelete));
    rig.doubleClick({76, 170});
    QVERIFY(rig.statesChanged > 0);
    QVERIFY(enabled(CGraphView::IdRamp));
    QVERIFY(enabled(CGraphView::IdStep));
    QVERIFY(checked(CGraphView::IdStep));
    QVERIFY(!checked(CGraphView::IdRamp));

    // Greyed under Hardware Control and in fast mode, even with a selection.
    rig.settings.SeqCtl = HardwareControl;
    QVERIFY(!enabled(CGraphView::IdRamp));
    QVERIFY(!enabled(CGraphView::IdStep));
    QVERIFY(enabled(CGraphView::IdDelete));
    rig.settings.SeqCtl = SoftwareControl;
    rig.settings.SeqMode = FastSequence;
    QVERIFY(!enabled(CGraphView::IdRamp));
    rig.settings.SeqMode = NormalSequence;

    commands.find(CGraphView::IdRamp)->run();
    QCOMPARE(step(rig, 1).transition, QStringLiteral("1"));
    QVERIFY(rig.worksheet.calls.contains(QStringLiteral("refreshLine 0 1")));
    QVERIFY(rig.document->isModified());
    QCOMPARE(view.selectedIndex(), -1);
    QCOMPARE(view.plot(0).segment(0).points, (Points{{40, 300}, {112, 170}}));

    // A time handle offers neither transition nor Delete.
    rig.doubleClick({112, 250});
    QCOMPARE(view.handle(), CGraphView::Handle::Time);
    QVERIFY(!enabled(CGraphView::IdRamp));
    QVERIFY(!enabled(CGraphView::IdDelete));
}

void GraphViewTest::deleteAsksAndHonoursTheAnswer()
{
    GraphViewRig rig;
    rig.fixRanges();
    rig.addThreeSteps();
    CGraphView& view = rig.show();
    const CommandTable& commands = view.commands();

    rig.doubleClick({166, 121});
    QCOMPARE(view.selectedIndex(), 1);
    rig.prompt.answers = {false};
    commands.find(CGraphView::IdDelete)->run();
    QCOMPARE(rig.prompt.texts(), QStringList{QStringLiteral("Delete all data from [Line2]?")});
    QCOMPARE(rig.document->current().count, 3);
    QCOMPARE(view.selectedIndex(), -1);
    QVERIFY(!rig.document->isModified());

    rig.doubleClick({166, 121});
    rig.prompt.answers = {true};
    commands.find(CGraphView::IdDelete)->run();
    QCOMPARE(rig.document->current().count, 2);
    QCOMPARE(step(rig, 2).value, QStringLiteral("2.000"));
    QCOMPARE(step(rig, 2).time, QStringLiteral("5.500"));
    QVERIFY(step(rig, 3).value.isEmpty());
    QCOMPARE(rig.worksheet.calls, QStringList{QStringLiteral("refreshLinesFrom 0 2")});
    QVERIFY(rig.document->isModified());
    QCOMPARE(view.plot(0).count(), 2);
    QCOMPARE(view.plot(0).segment(1).points, (Points{{112, 235}, {238, 235}}));
}

void GraphViewTest::scaleDialogChecksInOrder()
{
    const struct {
        const char* timeMax;
        const char* timeMin;
        const char* valueMax;
        const char* valueMin;
        const char* message;
    } cases[] = {
        {"10", "0", "8", "8", "Set values so that Minimum < Maximum."},
        {"10", "10", "8", "0", "Set values so that Minimum < Maximum."},
        {"10", "0", "8", "0.5", "You must specify a value less than \"0\"."},
        {"10", "0", "-1", "-2", "You must specify a value greater than \"0\"."},
        {"10", "-1", "8", "0", "You must specify a value greater than \"0\"."},
        {"10", "0", "8", "-1000", "No additional data may be entered."},
        {"10", "0", "1000.5", "0", "No additional data may be entered."},
        {"10", "0", "8", "abc", "Please enter a number."},
    };
    for (const auto& c : cases) {
        GraphViewRig rig;
        CGraphView& view = rig.show();
        bool stayedOpen = false;
        rig.onDialog = [&](QDialog& dialog) {
            auto* scale = qobject_cast<CScaleDlg*>(&dialog);
            if (!scale)
                return int(QDialog::Rejected);
            scale->controls().timeMax->setText(QString::fromLatin1(c.timeMax));
            scale->controls().timeMin->setText(QString::fromLatin1(c.timeMin));
            scale->controls().valueMax->setText(QString::fromLatin1(c.valueMax));
            scale->controls().valueMin->setText(QString::fromLatin1(c.valueMin));
            scale->controls().ok->click();
            stayedOpen = scale->result() != QDialog::Accepted;
            return scale->result();
        };
        view.commands().find(CGraphView::IdScale)->run();
        QVERIFY2(stayedOpen, c.message);
        QCOMPARE(rig.prompt.texts(), QStringList{QString::fromLatin1(c.message)});
        QCOMPARE(view.plot(0).valueMax(), 8.0);
    }
}

void GraphViewTest::scaleDialogAppliesRangesAndFlags()
{
    GraphViewRig rig;
    rig.addThreeSteps();
    CGraphView& view = rig.show();
    QStringList opened;
    rig.onDialog = [&](QDialog& dialog) {
        auto* scale = qobject_cast<CScaleDlg*>(&dialog);
        const CScaleDlg::Controls& controls = scale->controls();
        opened << controls.timeMax->text() << controls.valueMax->text() << controls.valueMin->text();
        controls.timeMax->setText(QStringLiteral("20"));
        controls.valueMax->setText(QStringLiteral("10"));
        controls.valueMin->setText(QStringLiteral("-2"));
        controls.autoValueMax->setChecked(false);
        controls.autoValueMin->setChecked(false);
        controls.ok->click();
        return scale->result();
    };
    view.commands().find(CGraphView::IdScale)->run();
    QCOMPARE(opened, (QStringList{"10", "8", "0"}));
    QVERIFY(rig.prompt.texts().isEmpty());
    const ChannelPlot& plot = view.plot(0);
    // The automatic time maximum replaces the typed one at once.
    QCOMPARE(plot.timeMax(), 10.0);
    QCOMPARE(plot.valueMax(), 10.0);
    QCOMPARE(plot.valueMin(), -2.0);
    QVERIFY(view.automaticTimeMax());
    QVERIFY(!view.automaticValueMax());
    QCOMPARE(plot.labels().valueMax, QStringLiteral("10.000"));
    QCOMPARE(plot.labels().valueMin, QStringLiteral("-2.000"));
    QVERIFY(plot.showsZeroLine());
    QCOMPARE(plot.zeroLine().points.front().y(), 257); // 2/12 of 260 pixels up
}

void GraphViewTest::profileIsReadWhenShownAndWrittenOnClose()
{
    GraphViewRig rig;
    rig.fixRanges();
    rig.writeProfile(QStringLiteral("Graph/bLineY"), 0);
    rig.writeProfile(QStringLiteral("Graph/colorLine"), QStringLiteral("16711680"));
    rig.writeProfile(QStringLiteral("Graph/TimeMax"), QStringLiteral("20.0"));
    rig.writeProfile(QStringLiteral("Graph/ValueMax"), QStringLiteral("4.0"));
    rig.writeProfile(QStringLiteral("Graph/ValueMin"), QStringLiteral("-1.0"));
    CGraphView& view = rig.show();
    QVERIFY(!view.showsBoundaryLines());
    QCOMPARE(view.colours().line, QColor(0, 0, 255));
    for (int channel = 0; channel < kChannelCount; ++channel) {
        QCOMPARE(view.plot(channel).timeMax(), 20.0);
        QCOMPARE(view.plot(channel).valueMin(), -1.0);
    }

    // Written at once: the vertical lines and a chosen colour.
    view.commands().find(CGraphView::IdVerticalAxis)->run();
    QVERIFY(view.showsBoundaryLines());
    QVERIFY(view.commands().find(CGraphView::IdVerticalAxis)->checked());
    QCOMPARE(rig.readProfile(QStringLiteral("Graph/bLineY")).toInt(), 1);
    QColor offered;
    rig.onDialog = [&offered](QDialog& dialog) {
        auto* colours = qobject_cast<QColorDialog*>(&dialog);
        offered = colours->currentColor();
        colours->setCurrentColor(QColor(10, 20, 30));
        return int(QDialog::Accepted);
    };
    view.commands().find(CGraphView::IdColorBackground)->run();
    QCOMPARE(offered, QColor(255, 255, 255));
    QCOMPARE(view.colours().background, QColor(10, 20, 30));
    QCOMPARE(rig.readProfile(QStringLiteral("Graph/colorArea")).toString(), QStringLiteral("1971210"));
    QCOMPARE(rig.readProfile(QStringLiteral("Graph/TimeMax")).toString(), QStringLiteral("20.0"));

    rig.close();
    const auto text = [&rig](const char* key) {
        return rig.readProfile(QStringLiteral("Graph/") + key).toString();
    };
    QCOMPARE(text("bLineY"), QStringLiteral("1"));
    QCOMPARE(text("bTimeMax"), QStringLiteral("0"));
    QCOMPARE(text("bValueMax"), QStringLiteral("0"));
    QCOMPARE(text("bValueMin"), QStringLiteral("0"));
    QCOMPARE(text("TimeMax"), QStringLiteral("20.0"));
    QCOMPARE(text("TimeMin"), QStringLiteral("0.0"));
    QCOMPARE(text("ValueMax"), QStringLiteral("4.000"));
    QCOMPARE(text("ValueMin"), QStringLiteral("-1.000"));
    QCOMPARE(text("colorArea"), QStringLiteral("1971210"));
    QCOMPARE(text("colorLine"), QStringLiteral("16711680"));
    QCOMPARE(text("colorAxis"), QStringLiteral("0"));
    QCOMPARE(text("colorLineY"), QStringLiteral("16711680"));
    QCOMPARE(text("colorLineCap"), QStringLiteral("65280"));
}

void GraphViewTest::aViewNeverShownWritesNoProfile()
{
    GraphViewRig rig;
    rig.writeProfile(QStringLiteral("Graph/colorLine"), QStringLiteral("255"));
    rig.view = std::make_unique<CGraphView>(*rig.document, *rig.context);
    rig.close();
    QCOMPARE(rig.readProfile(QStringLiteral("Graph/colorLine")).toString(), QStringLiteral("255"));
    QVERIFY(!rig.readProfile(QStringLiteral("Graph/TimeMax")).isValid());
}

void GraphViewTest::tooltipsAppearAfterTheDelayAndOnlyWhenTheMouseMoves()
{
    GraphViewRig rig;
    rig.fixRanges();
    rig.addThreeSteps();
    CGraphView& view = rig.show();
    QToolTip::hideText();
    rig.move({76, 170});
    const QString stepText = QStringLiteral("[Line1] Voltage4.000[V] Interval2.0[s]");
    QCOMPARE(view.tooltipText(), stepText);
    QVERIFY(!QToolTip::isVisible());
    rig.time.advanceMs(GraphViewTooltip::kDelayMs - 1);
    QVERIFY(!QToolTip::isVisible());
    rig.time.advanceMs(1);
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), stepText);

    // The same position again changes nothing, even after the data changed.
    rig.document->current().steps[0].value = QStringLiteral("5.000");
    view.stepChanged(0, 1);
    rig.move({76, 170});
    QCOMPARE(view.tooltipText(), stepText);
    QCOMPARE(rig.time.activeTimers(), 0);

    const struct {
        QPoint point;
        const char* text;
    } cases[] = {
        {{160, 301}, "[X-axis] Time3.3[s]"},
        {{39, 105}, "[Y-axis] Voltage6.000[V]"},
        {{346, 280}, "[Vertical Axis] [Line3] Time8.5[s] Interval3.5[s] Voltage2.000[V]"},
        {{300, 100}, ""},
    };
    for (const auto& c : cases) {
        rig.move(c.point);
        QCOMPARE(view.tooltipText(), QString::fromLatin1(c.text));
    }
    QToolTip::hideText();
}

void GraphViewTest::worksheetEditsMoveTheLine()
{
    GraphViewRig rig; // automatic ranges
    CGraphView& view = rig.show();
    rig.addStep(QStringLiteral("4.000"), QStringLiteral("2.0"));
    view.stepAppended(0, 1);
    QCOMPARE(view.plot(0).count(), 1);
    QCOMPARE(view.plot(0).timeMax(), 3.0); // the first step rescales
    QVERIFY(rig.worksheet.calls.contains(QStringLiteral("restoreCursor")));

    rig.addStep(QStringLiteral("1.000"), QStringLiteral("0.5"), QStringLiteral("1"));
    view.stepAppended(0, 2);
    QCOMPARE(view.plot(0).segment(1).transition, int(StepSegment::Ramp));
    QCOMPARE(view.plot(0).segment(1).firstPoint(), view.plot(0).segment(0).endPoint());

    // A value beyond the automatic range widens it.
    rig.document->current().steps[1].value = QStringLiteral("45.000");
    view.stepChanged(0, 2);
    QCOMPARE(view.plot(0).valueMax(), 51.0);
    QCOMPARE(view.plot(0).labels().valueMax, QStringLiteral("51.000"));

    rig.document->current().steps[0].interval = QStringLiteral("1.0");
    rig.document->recomputeTimes(0);
    view.timesChangedFrom(0, 1);
    QCOMPARE(view.plot(0).segment(1).endTime, 1.5);
    QCOMPARE(view.plot(0).segment(1).endPoint().x(), view.plot(0).xOf(1.5));

    rig.document->current().count = 0;
    view.channelRebuilt(0);
    QCOMPARE(view.plot(0).count(), 0);
}

void GraphViewTest::copyRightClickAndTitle()
{
    GraphViewRig rig;
    rig.fixRanges();
    rig.addThreeSteps();
    CGraphView& view = rig.show();
    view.commands().find(CGraphView::IdCopy)->run();
    const QImage image = QGuiApplication::clipboard()->image();
    QCOMPARE(image.size(), view.size() * view.devicePixelRatio());
    QCOMPARE(image.pixelColor(76, 170), QColor(255, 0, 0));

    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(100, 100), view.mapToGlobal(QPoint(100, 100)));
    QApplication::sendEvent(&view, &event);
    QCOMPARE(rig.contextMenus.size(), size_t(1));
    QCOMPARE(rig.contextMenus[0].first, CGraphView::kContextMenu);
    QCOMPARE(rig.contextMenus[0].second, view.mapToGlobal(QPoint(100, 100)));

    rig.document->setCurrentChannel(1);
    view.showChannel(1);
    QCOMPARE(view.windowTitle(), QStringLiteral("Graph - Channel2"));
    QCOMPARE(view.plot(1).count(), 0);
}

void GraphViewTest::printingGoesThroughThePrinter()
{
    GraphViewRig rig;
    rig.addThreeSteps();
    CGraphView& view = rig.show();
    const QString pdf = rig.folder.filePath(QStringLiteral("graph.pdf"));
    QStringList dialogs;
    rig.onDialog = [&](QDialog& dialog) {
        auto* print = qobject_cast<QPrintDialog*>(&dialog);
        if (print && print->printer()->outputFormat() == QPrinter::PdfFormat && dialogs.size() == 2) {
            dialogs << QStringLiteral("print");
            print->printer()->setOutputFormat(QPrinter::PdfFormat);
            print->printer()->setOutputFileName(pdf);
            return int(QDialog::Accepted);
        }
        if (qobject_cast<QPrintPreviewDialog*>(&dialog))
            dialogs << QStringLiteral("preview");
        if (qobject_cast<QPageSetupDialog*>(&dialog) || print)
            dialogs << QStringLiteral("setup");
        return int(QDialog::Rejected);
    };
    view.commands().find(CGraphView::IdPrintSetup)->run();
    view.commands().find(CGraphView::IdPrintPreview)->run();
    view.commands().find(CGraphView::IdPrint)->run();
    QCOMPARE(dialogs, (QStringList{"setup", "preview", "print"}));
    QVERIFY(rig.prompt.texts().isEmpty());
    QVERIFY(QFileInfo(pdf).size() > 1000);

    // The page: the title on top and the graph below it, filling the page.
    QImage page(1000, 800, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        view.paintPage(painter, page.rect());
    }
    // 1000 pixels wide for an 800-pixel canvas: the plot runs from x 50 to 950, the sequence (8.5 s
    // of 10) to 815.
    int firstRed = page.width();
    int lastRed = -1;
    bool title = false;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor colour = page.pixelColor(x, y);
            if (colour == QColor(255, 0, 0)) {
                firstRed = std::min(firstRed, x);
                lastRed = std::max(lastRed, x);
            } else if (y < 20 && colour != QColor(Qt::white)) {
                title = true;
            }
        }
    }
    QVERIFY(title);
    QVERIFY2(firstRed >= 49 && firstRed <= 52, qPrintable(QString::number(firstRed)));
    QVERIFY2(lastRed >= 810 && lastRed <= 818, qPrintable(QString::number(lastRed)));
}

void GraphViewTest::aPrinterThatCannotStartIsReported()
{
    GraphViewRig rig;
    CGraphView& view = rig.show();
    rig.onDialog = [&rig](QDialog& dialog) {
        auto* print = qobject_cast<QPrintDialog*>(&dialog);
        print->printer()->setOutputFormat(QPrinter::PdfFormat);
        print->printer()->setOutputFileName(rig.folder.filePath(QStringLiteral("missing/folder/graph.pdf")));
        return int(QDialog::Accepted);
    };
    view.commands().find(CGraphView::IdPrint)->run();
    QCOMPARE(rig.prompt.texts(), QStringList{QStringLiteral("Could not start print job.")});
}

void GraphViewTest::printCommandsFollowTheGraphWindow()
{
    StartedProgram program;
    QCOMPARE(program.start(), int(CTessorApp::kRunning));
    CMainFrame& frame = program.frame();
    DocumentSession& documents = frame.documents();
    QVERIFY(documents.graphWindow());
    CommandRouter& router = frame.router();
    frame.mdiArea()->setActiveSubWindow(documents.graphWindow());
    frame.updateCommandUi();
    for (int id : {CGraphView::IdPrint, CGraphView::IdPrintPreview, CGraphView::IdPrintSetup,
                   CGraphView::IdCopy, CGraphView::IdScale})
        QVERIFY2(router.isEnabled(id), qPrintable(QString::number(id)));
    QVERIFY(!router.isEnabled(CGraphView::IdDelete));
    QCOMPARE(documents.graphView()->windowTitle(), QStringLiteral("Graph - Channel1"));
    frame.mdiArea()->setActiveSubWindow(documents.worksheetWindow());
    frame.updateCommandUi();
    QVERIFY(!router.isEnabled(CGraphView::IdPrint));
    program.stop();
}

QTEST_MAIN(GraphViewTest)
#include "GraphViewTest.moc"
