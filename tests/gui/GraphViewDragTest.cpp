#include "GraphViewRig.h"
#include "model/DecimalText.h"
#include "views/CScaleDlg.h"

#include <QColorDialog>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QtTest>

// The graph's drags against everything else that can happen while the button is held: the Graph
// menu's commands, the context menu, a release the view never sees; and the rules a drag shares
// with a drawing. With fixed ranges 0..10 and 0..8 the three-step sequence runs (40,170)-(112,170),
// ramp to (220,73), (220,235)-(346,235).
class GraphViewDragTest : public QObject {
    Q_OBJECT

private slots:
    void commandsWhileTheButtonIsHeldLeaveNothingToRelease_data();
    void commandsWhileTheButtonIsHeldLeaveNothingToRelease();
    void dragsAndDrawingsRoundBeforeTheMinimum_data();
    void dragsAndDrawingsRoundBeforeTheMinimum();
    void theSavedTimeMaximumReadsBackAsItWas_data();
    void theSavedTimeMaximumReadsBackAsItWas();
};

namespace {

// Pseudo-commands of the table besides the Graph menu's.
constexpr int kContextMenu = 0;
constexpr int kButtonLetGoElsewhere = -1;

// A mouse move with the left button down, as the window system sends it during a drag.
void heldMove(GraphViewRig& rig, const QPoint& point)
{
    QMouseEvent event(QEvent::MouseMove, point, rig.view->mapToGlobal(point), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(rig.view.get(), &event);
}

QStringList stepTexts(const GraphViewRig& rig)
{
    QStringList texts;
    const ChannelSequence& channel = rig.document->current();
    for (int i = 0; i < channel.count; ++i) {
        const SequenceStep& step = channel.steps[i];
        texts << QStringList{step.value, step.interval, step.time, step.transition}.join(QLatin1Char('|'));
    }
    return texts;
}

// Accepts the Scale dialog as it opened and every colour; declines the printing dialogs.
int answerDialog(QDialog& dialog)
{
    if (auto* scale = qobject_cast<CScaleDlg*>(&dialog)) {
        scale->controls().ok->click();
        return scale->result();
    }
    if (qobject_cast<QColorDialog*>(&dialog))
        return int(QDialog::Accepted);
    return int(QDialog::Rejected);
}

} // namespace

void GraphViewDragTest::commandsWhileTheButtonIsHeldLeaveNothingToRelease_data()
{
    QTest::addColumn<bool>("timeHandle");
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("answer"); // to the Delete question

    const std::pair<const char*, int> commands[] = {
        {"Ramp", CGraphView::IdRamp},
        {"Step", CGraphView::IdStep},
        {"Delete", CGraphView::IdDelete},
        {"Vertical Axis", CGraphView::IdVerticalAxis},
        {"Scale", CGraphView::IdScale},
        {"Background colour", CGraphView::IdColorBackground},
        {"Line colour", CGraphView::IdColorLine},
        {"Draw colour", CGraphView::IdColorDraw},
        {"Vertical axis colour", CGraphView::IdColorVerticalAxis},
        {"Axis colour", CGraphView::IdColorAxis},
        {"Copy", CGraphView::IdCopy},
        {"Print", CGraphView::IdPrint},
        {"Print Preview", CGraphView::IdPrintPreview},
        {"Print Setup", CGraphView::IdPrintSetup},
        {"context menu", kContextMenu},
        {"button let go elsewhere", kButtonLetGoElsewhere},
    };
    for (const bool timeHandle : {false, true}) {
        for (const auto& [name, id] : commands) {
            // A time handle offers neither transition nor Delete: the menu would not run them.
            if (timeHandle &&
                (id == CGraphView::IdRamp || id == CGraphView::IdStep || id == CGraphView::IdDelete))
                continue;
            const QString row = QStringLiteral("%1 handle, %2").arg(timeHandle ? "time" : "value", name);
            if (id == CGraphView::IdDelete) {
                QTest::newRow(qPrintable(row + QStringLiteral(", Yes"))) << timeHandle << id << true;
                QTest::newRow(qPrintable(row + QStringLiteral(", No"))) << timeHandle << id << false;
            } else {
                QTest::newRow(qPrintable(row)) << timeHandle << id << false;
            }
        }
    }
}

void GraphViewDragTest::commandsWhileTheButtonIsHeldLeaveNothingToRelease()
{
    QFETCH(bool, timeHandle);
    QFETCH(int, command);
    QFETCH(bool, answer);
    GraphViewRig rig;
    rig.fixRanges();
    rig.addThreeSteps();
    rig.onDialog = answerDialog;
    CGraphView& view = rig.show();

    // Step 2 by its line (value handle at its end) or by its boundary line (time handle at the top).
    rig.doubleClick(timeHandle ? QPoint(220, 250) : QPoint(166, 121));
    QCOMPARE(view.selectedIndex(), 1);
    const QPoint handle = view.handlePoint();
    rig.press(handle);
    heldMove(rig, handle + QPoint(timeHandle ? 30 : 0, timeHandle ? 0 : 40));
    QVERIFY(view.drag() != CGraphView::Drag::None);

    if (command == kContextMenu) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, handle, view.mapToGlobal(handle));
        QApplication::sendEvent(&view, &event);
        QCOMPARE(rig.contextMenus.size(), size_t(1));
    } else if (command == kButtonLetGoElsewhere) {
        // The release went to another window; the next move comes without the button.
        QMouseEvent event(QEvent::MouseMove, QPoint(300, 100), view.mapToGlobal(QPoint(300, 100)),
                          Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    } else {
        const CommandTable::Entry* entry = view.commands().find(command);
        QVERIFY(entry && (!entry->enabled || entry->enabled()));
        rig.prompt.answers = {answer};
        entry->run();
    }
    // Whatever the command did, no drag is left running, and the line shows no drag.
    QCOMPARE(view.drag(), CGraphView::Drag::None);
    QVERIFY(view.dragLine().empty());
    const QStringList afterCommand = stepTexts(rig);
    const bool modified = rig.document->isModified();

    // The button is still held: moving and letting go change nothing more.
    heldMove(rig, QPoint(250, 150));
    heldMove(rig, QPoint(150, 200));
    rig.release(QPoint(150, 200));
    QCOMPARE(stepTexts(rig), afterCommand);
    QCOMPARE(rig.document->isModified(), modified);
    QCOMPARE(view.drag(), CGraphView::Drag::None);
    QVERIFY(view.selectedIndex() >= -1 && view.selectedIndex() < view.plot(0).count());
    QCOMPARE(view.plot(0).count(), rig.document->current().count);

    // The view goes on as usual: a value drag of step 1 stores its value.
    rig.doubleClick({76, 170});
    rig.press({112, 170});
    heldMove(rig, {112, 105});
    rig.release({112, 105});
    QCOMPARE(rig.document->current().steps[0].value, QStringLiteral("6.000"));
}

void GraphViewDragTest::dragsAndDrawingsRoundBeforeTheMinimum_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("pixels");   // the interval in pixels, 36 to a unit
    QTest::addColumn<QString>("text"); // the stored interval; empty: refused

    QTest::newRow("s, 0.42 s is half a second") << int(UnitS) << 15 << "0.5";
    QTest::newRow("s, 0.31 s is half a second") << int(UnitS) << 11 << "0.5";
    QTest::newRow("s, 0.19 s is refused") << int(UnitS) << 7 << "";
    QTest::newRow("s, 0.72 s is half a second") << int(UnitS) << 26 << "0.5";
    QTest::newRow("ms, 0.81 ms is 1 ms") << int(UnitMs) << 29 << "1";
    QTest::newRow("ms, 0.36 ms is refused") << int(UnitMs) << 13 << "";
    QTest::newRow("min, 0.08 min is 0.1") << int(UnitMin) << 3 << "0.1";
    QTest::newRow("h, 0.08 h is 0.1") << int(UnitH) << 3 << "0.1";
    QTest::newRow("h, 0.03 h is refused") << int(UnitH) << 1 << "";
}

void GraphViewDragTest::dragsAndDrawingsRoundBeforeTheMinimum()
{
    QFETCH(int, unit);
    QFETCH(int, pixels);
    QFETCH(QString, text);

    // Step 2 starts at x 112: its time handle released that many pixels right of it.
    {
        GraphViewRig rig;
        rig.fixRanges();
        rig.settings.Unit = unit;
        rig.addThreeSteps();
        CGraphView& view = rig.show();
        rig.doubleClick({220, 250});
        QCOMPARE(view.handle(), CGraphView::Handle::Time);
        rig.press({220, 40});
        heldMove(rig, {112 + pixels, 40});
        rig.release({112 + pixels, 40});
        QCOMPARE(rig.document->current().steps[1].interval, text.isEmpty() ? QStringLiteral("3.0") : text);
        QCOMPARE(rig.document->isModified(), !text.isEmpty());
        if (!text.isEmpty())
            QCOMPARE(view.plot(0).segment(1).interval, decimalValue(text));
    }
    // The line ends at x 346: a step drawn as long as that from there.
    {
        GraphViewRig rig;
        rig.fixRanges();
        rig.settings.Unit = unit;
        rig.addThreeSteps();
        rig.show();
        rig.drag({346, 170}, {346 + pixels, 170});
        QCOMPARE(rig.document->current().count, text.isEmpty() ? 3 : 4);
        if (!text.isEmpty())
            QCOMPARE(rig.document->current().steps[3].interval, text);
    }
}

void GraphViewDragTest::theSavedTimeMaximumReadsBackAsItWas_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("label");

    QTest::newRow("min, 0.4") << int(UnitMin) << "0.4"
                              << "0";
    QTest::newRow("h, 0.25") << int(UnitH) << "0.25"
                             << "0";
    QTest::newRow("min, 2.5") << int(UnitMin) << "2.5"
                              << "3";
    QTest::newRow("s, 0.04") << int(UnitS) << "0.04"
                             << "0.04";
    QTest::newRow("ms, 12") << int(UnitMs) << "12"
                            << "12";
}

void GraphViewDragTest::theSavedTimeMaximumReadsBackAsItWas()
{
    QFETCH(int, unit);
    QFETCH(QString, typed);
    QFETCH(QString, label);
    GraphViewRig rig;
    rig.fixRanges();
    rig.settings.Unit = unit;
    rig.addStep(QStringLiteral("4.000"), QString::number(decimalValue(typed) / 4.0));
    CGraphView& view = rig.show();
    rig.onDialog = [&typed](QDialog& dialog) {
        auto* scale = qobject_cast<CScaleDlg*>(&dialog);
        scale->controls().timeMax->setText(typed);
        scale->controls().ok->click();
        return scale->result();
    };
    view.commands().find(CGraphView::IdScale)->run();
    QCOMPARE(view.plot(0).timeMax(), decimalValue(typed));
    QCOMPARE(view.plot(0).labels().timeMax, label);

    rig.close();
    QCOMPARE(decimalValue(rig.readProfile(QStringLiteral("Graph/TimeMax")).toString()), decimalValue(typed));
    CGraphView& next = rig.show();
    QCOMPARE(next.plot(0).timeMax(), decimalValue(typed));
    QCOMPARE(next.plot(0).labels().timeMax, label);
    // The step can be seen and drawn after: the axis has a length.
    QVERIFY(next.plot(0).segment(0).endPoint().x() > next.plot(0).left());
}

QTEST_MAIN(GraphViewDragTest)
#include "GraphViewDragTest.moc"
