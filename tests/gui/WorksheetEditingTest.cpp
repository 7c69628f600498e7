#include "WorksheetRig.h"
#include "views/CDecimalEdit.h"
#include "views/WorksheetFormats.h"
#include "views/WorksheetModel.h"

#include <QComboBox>
#include <QHeaderView>
#include <QtTest>

using namespace WorksheetFormats;

// The worksheet's cells: which ones open an editor and how, what a commit stores, how the entry row
// becomes a step, the cursor's way back after an edit, the headers and the layout by control method.
class WorksheetEditingTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void editorsOpenOnlyWhereACellCanBeEdited_data();
    void editorsOpenOnlyWhereACellCanBeEdited();
    void doubleClickOpensTheEditorOfTheCell();
    void setValuesWithinTheirBoundsAreStoredWithTheModesFormat_data();
    void setValuesWithinTheirBoundsAreStoredWithTheModesFormat();
    void intervalsAreCheckedAndRoundedByUnitAndControlMethod_data();
    void intervalsAreCheckedAndRoundedByUnitAndControlMethod();
    void anIntervalLeftAsItWasChangesNothing();
    void aChangedIntervalMovesTheLaterTimes();
    void transitionAndLoadOfAnExistingLineAreEdits_data();
    void transitionAndLoadOfAnExistingLineAreEdits();
    void theEntryRowBecomesAStepWhenItIsComplete_data();
    void theEntryRowBecomesAStepWhenItIsComplete();
    void aLoadTypedIntoTheEntryRowIsKept();
    void entryRowFlagsBelongToTheirRow();
    void entryRowFlagsDoNotComeBackWithTheirLine();
    void aControlMethodChangeEmptiesTheEntryRow();
    void escapeDropsTheEditAndTheCursorComesBack();
    void losingTheFocusCommitsWithoutMovingTheCursor();
    void setValueFormatsFollowTheDecimalPlaces_data();
    void setValueFormatsFollowTheDecimalPlaces();
    void headersFollowUnitModeAndFastMode();
    void timeColumnIsGreyAndCellsShowTheStoredTexts();
    void rightButtonOpensTheContextMenuAndKeepsTheSelection();
    void graphEditsAreShownAndMoveTheSavedCell();

private:
    std::unique_ptr<WorksheetRig> rig_;
};

void WorksheetEditingTest::init()
{
    rig_ = std::make_unique<WorksheetRig>();
    rig_->loadChannel(0, {QStringLiteral("1.5000\t10.0\t0\t1"), QStringLiteral("2.5000\t2.5\t1\t0")});
    rig_->graph.calls.clear();
    rig_->prompt.clear();
}

void WorksheetEditingTest::cleanup()
{
    rig_.reset();
}

void WorksheetEditingTest::editorsOpenOnlyWhereACellCanBeEdited_data()
{
    QTest::addColumn<int>("sequenceMode");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("editor"); // "text", "list" or "" for none
    QTest::addColumn<QString>("text");

    QTest::newRow("5 on a Time cell") << 0 << 1 << 1 << int(Qt::Key_5) << ""
                                      << "";
    QTest::newRow("5 on the entry row's value") << 0 << 3 << 2 << int(Qt::Key_5) << "text"
                                                << "5";
    QTest::newRow("Enter on a value") << 0 << 1 << 2 << int(Qt::Key_Return) << "text"
                                      << "1.5000";
    QTest::newRow("Enter on an interval") << 0 << 2 << 3 << int(Qt::Key_Enter) << "text"
                                          << "2.5";
    QTest::newRow("digit on an interval") << 0 << 2 << 3 << int(Qt::Key_0) << "text"
                                          << "0";
    QTest::newRow("below the entry row") << 0 << 4 << 2 << int(Qt::Key_Return) << ""
                                         << "";
    QTest::newRow("transition") << 0 << 2 << 4 << int(Qt::Key_Return) << "list"
                                << "Ramp";
    QTest::newRow("load") << 0 << 2 << 5 << int(Qt::Key_7) << "list"
                          << "off";
    QTest::newRow("entry row's transition") << 0 << 3 << 4 << int(Qt::Key_Return) << "list"
                                            << "";
    QTest::newRow("entry row's load") << 0 << 3 << 5 << int(Qt::Key_Return) << "list"
                                      << "on";
    QTest::newRow("fast mode value") << 1 << 1 << 2 << int(Qt::Key_Return) << "text"
                                     << "1.5000";
    QTest::newRow("fast mode interval") << 1 << 1 << 3 << int(Qt::Key_Return) << ""
                                        << "";
    QTest::newRow("fast mode transition") << 1 << 1 << 4 << int(Qt::Key_Return) << ""
                                          << "";
    QTest::newRow("fast mode load") << 1 << 1 << 5 << int(Qt::Key_Return) << "list"
                                    << "on";
}

void WorksheetEditingTest::editorsOpenOnlyWhereACellCanBeEdited()
{
    QFETCH(int, sequenceMode);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(int, key);
    QFETCH(QString, editor);
    QFETCH(QString, text);
    rig_->settings.SeqMode = sequenceMode;

    rig_->setCursor(line, column);
    rig_->key(key);
    // The cell is the saved cell whether or not an editor opened.
    QCOMPARE(rig_->view->savedCell(0), QPoint(column, line));
    if (editor.isEmpty()) {
        QVERIFY(!rig_->view->isEditing());
        QVERIFY(!rig_->view->textEditor()->isVisible());
        QVERIFY(!rig_->view->listEditor()->isVisible());
        QCOMPARE(rig_->cell(line, column), rig_->view->model(0)->cellText(line, column));
        return;
    }
    QVERIFY(rig_->view->isEditing());
    if (editor == QLatin1String("text")) {
        CDecimalEdit* edit = rig_->view->textEditor();
        QVERIFY(edit->isVisible());
        QVERIFY(edit->hasFocus());
        QCOMPARE(edit->text(), text);
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            QCOMPARE(edit->selectedText(), text);
        } else {
            QVERIFY(!edit->hasSelectedText());
            QCOMPARE(edit->cursorPosition(), 1);
        }
    } else {
        QComboBox* list = rig_->view->listEditor();
        QVERIFY(list->isVisible());
        QCOMPARE(list->currentText(), text);
        QCOMPARE(list->count(), 2);
    }
}

void WorksheetEditingTest::doubleClickOpensTheEditorOfTheCell()
{
    WorksheetTable* table = rig_->table();
    const QRect cell = table->visualRect(table->model()->index(1, 3));
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QVERIFY(rig_->view->isEditing());
    QCOMPARE(rig_->view->textEditor()->text(), QStringLiteral("2.5"));
    QCOMPARE(rig_->view->savedCell(0), QPoint(3, 2));
    // The editor lies over the cell.
    QCOMPARE(rig_->view->textEditor()->geometry(), cell);
}

void WorksheetEditingTest::setValuesWithinTheirBoundsAreStoredWithTheModesFormat_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // empty: refused, the step keeps "1.5000"

    QTest::newRow("in range") << "3.25"
                              << "3.2500";
    QTest::newRow("upper bound") << "300000"
                                 << "300000.0000";
    QTest::newRow("above the upper bound") << "300000.5"
                                           << "";
    QTest::newRow("lower bound") << "-100"
                                 << "-100.0000";
    QTest::newRow("below the lower bound") << "-100.01"
                                           << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("a point alone reads as 0") << "."
                                              << "0.0000";
}

void WorksheetEditingTest::setValuesWithinTheirBoundsAreStoredWithTheModesFormat()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    rig_->type(1, 2, typed);
    QVERIFY(!rig_->view->isEditing());
    if (stored.isEmpty()) {
        QCOMPARE(rig_->steps(0).first(), QStringLiteral("1.5000|10.0|0|1"));
        QVERIFY(!rig_->document->isModified());
        QVERIFY(rig_->graph.calls.isEmpty());
        return;
    }
    QCOMPARE(rig_->steps(0).first(), stored + QStringLiteral("|10.0|0|1"));
    QCOMPARE(rig_->cell(1, 2), stored);
    QVERIFY(rig_->document->isModified());
    QCOMPARE(rig_->graph.calls, QStringList{QStringLiteral("stepChanged 0 1")});
    QVERIFY(rig_->prompt.entries.empty());
}

void WorksheetEditingTest::intervalsAreCheckedAndRoundedByUnitAndControlMethod_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("control");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // empty: refused

    const int soft = SoftwareControl;
    const int hard = HardwareControl;
    QTest::newRow("s soft 0.7 rounds down") << int(UnitS) << soft << "0.7"
                                            << "0.5";
    QTest::newRow("s soft 0.8 rounds up") << int(UnitS) << soft << "0.8"
                                          << "1.0";
    QTest::newRow("s soft 2.3 rounds up") << int(UnitS) << soft << "2.3"
                                          << "2.5";
    QTest::newRow("s soft 2.16 rounds down") << int(UnitS) << soft << "2.16"
                                             << "2.0";
    QTest::newRow("s soft 999.5 is the longest") << int(UnitS) << soft << "999.5"
                                                 << "999.5";
    QTest::newRow("s soft 999.9 is refused") << int(UnitS) << soft << "999.9"
                                             << "";
    QTest::newRow("s soft 0.4 is refused") << int(UnitS) << soft << "0.4"
                                           << "";
    QTest::newRow("s hard 0.0005 is refused") << int(UnitS) << hard << "0.0005"
                                              << "";
    QTest::newRow("s hard 0.001") << int(UnitS) << hard << "0.001"
                                  << "0.001";
    QTest::newRow("s hard 9999") << int(UnitS) << hard << "9999"
                                 << "9999.000";
    QTest::newRow("ms 0.9 is refused") << int(UnitMs) << soft << "0.9"
                                       << "";
    QTest::newRow("ms 1") << int(UnitMs) << hard << "1"
                          << "1";
    QTest::newRow("ms 10000 is refused") << int(UnitMs) << soft << "10000"
                                         << "";
    QTest::newRow("min 0.05 is refused") << int(UnitMin) << soft << "0.05"
                                         << "";
    QTest::newRow("min 0.1") << int(UnitMin) << soft << "0.1"
                             << "0.1";
    QTest::newRow("h 999.999") << int(UnitH) << hard << "999.999"
                               << "1000.0";
    QTest::newRow("h 1000 is refused") << int(UnitH) << soft << "1000"
                                       << "";
}

void WorksheetEditingTest::intervalsAreCheckedAndRoundedByUnitAndControlMethod()
{
    QFETCH(int, unit);
    QFETCH(int, control);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    rig_->settings.Unit = unit;
    rig_->settings.SeqCtl = control;

    rig_->type(2, 3, typed);
    if (stored.isEmpty()) {
        QCOMPARE(rig_->document->channel(0).steps[1].interval, QStringLiteral("2.5"));
        QVERIFY(!rig_->document->isModified());
        QVERIFY(rig_->graph.calls.isEmpty());
    } else {
        QCOMPARE(rig_->document->channel(0).steps[1].interval, stored);
        QCOMPARE(rig_->cell(2, 3), stored);
        QVERIFY(rig_->document->isModified());
        QCOMPARE(rig_->graph.calls, QStringList{QStringLiteral("timesChangedFrom 0 2")});
    }
    // Accepted or not, the cursor stands on the interval.
    QCOMPARE(rig_->cursor(), QPoint(3, 2));
}

void WorksheetEditingTest::anIntervalLeftAsItWasChangesNothing()
{
    rig_->setCursor(2, 3);
    rig_->key(Qt::Key_Return);
    rig_->key(Qt::Key_Return);
    QVERIFY(!rig_->view->isEditing());
    QVERIFY(!rig_->document->isModified());
    QVERIFY(rig_->graph.calls.isEmpty());
    // Retyped with the same text it is still the text at open.
    rig_->type(2, 3, QStringLiteral("2.5"));
    QVERIFY(!rig_->document->isModified());
}

void WorksheetEditingTest::aChangedIntervalMovesTheLaterTimes()
{
    rig_->loadChannel(0, {QStringLiteral("1.0\t1.0\t0\t1"), QStringLiteral("2.0\t2.0\t0\t1"),
                          QStringLiteral("3.0\t1.5\t0\t1")});
    QCOMPARE(rig_->cell(3, 1), QStringLiteral("4.5"));
    rig_->type(2, 3, QStringLiteral("4"));
    // The document recomputes from the edited line on, in its own format; earlier lines keep theirs.
    QCOMPARE(rig_->cell(1, 1), QStringLiteral("1.0"));
    QCOMPARE(rig_->cell(2, 1), QStringLiteral("5.000"));
    QCOMPARE(rig_->cell(3, 1), QStringLiteral("6.500"));
    QCOMPARE(rig_->document->channel(0).steps[2].time, QStringLiteral("6.500"));
}

void WorksheetEditingTest::transitionAndLoadOfAnExistingLineAreEdits_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QStringList>("graphCalls");

    QTest::newRow("ramp") << 4 << "Ramp"
                          << "1.5000|10.0|1|1" << QStringList{QStringLiteral("stepChanged 0 1")};
    QTest::newRow("step kept") << 4 << "Step"
                               << "1.5000|10.0|0|1" << QStringList{QStringLiteral("stepChanged 0 1")};
    // The graph draws no load, so only the document learns of it; but the edit must not be lost on
    // closing.
    QTest::newRow("load off") << 5 << "off"
                              << "1.5000|10.0|0|0" << QStringList();
}

void WorksheetEditingTest::transitionAndLoadOfAnExistingLineAreEdits()
{
    QFETCH(int, column);
    QFETCH(QString, item);
    QFETCH(QString, step);
    QFETCH(QStringList, graphCalls);
    rig_->choose(1, column, item);
    QCOMPARE(rig_->steps(0).first(), step);
    QCOMPARE(rig_->cell(1, column), item);
    QVERIFY(rig_->document->isModified());
    QCOMPARE(rig_->graph.calls, graphCalls);
    QCOMPARE(rig_->view->windowTitle(), QStringLiteral("Worksheet - Data Count:2"));
}

void WorksheetEditingTest::theEntryRowBecomesAStepWhenItIsComplete_data()
{
    QTest::addColumn<int>("control");
    QTest::addColumn<int>("sequenceMode");
    QTest::addColumn<QStringList>("entries"); // "column=text", in order; text for 4 and 5 is an item
    QTest::addColumn<int>("countAfterEach");  // the entry that completes the step (1-based), 0 never
    QTest::addColumn<QString>("step");

    const int soft = SoftwareControl;
    const int hard = HardwareControl;
    QTest::newRow("soft value alone") << soft << 0 << QStringList{"2=4"} << 0 << "";
    QTest::newRow("soft value and interval") << soft << 0 << QStringList{"2=4", "3=1.5"} << 0 << "";
    QTest::newRow("soft value, interval, transition")
        << soft << 0 << QStringList{"2=4", "3=1.5", "4=Ramp"} << 3 << "4.0000|1.5|1|1";
    QTest::newRow("soft transition first")
        << soft << 0 << QStringList{"4=Step", "3=3", "2=7"} << 3 << "7.0000|3.0|0|1";
    QTest::newRow("hard value and interval")
        << hard << 0 << QStringList{"3=0.25", "2=4"} << 2 << "4.0000|0.250||1";
    QTest::newRow("fast value alone") << soft << 1 << QStringList{"2=4"} << 1 << "4.0000|0.5|0|1";
}

void WorksheetEditingTest::theEntryRowBecomesAStepWhenItIsComplete()
{
    QFETCH(int, control);
    QFETCH(int, sequenceMode);
    QFETCH(QStringList, entries);
    QFETCH(int, countAfterEach);
    QFETCH(QString, step);
    rig_->settings.SeqCtl = control;
    rig_->settings.SeqMode = sequenceMode;
    rig_->settings.SeqTime = 0.5;
    rig_->view->applyControlMethod();

    for (int i = 0; i < entries.size(); ++i) {
        const int column = entries[i].section(QLatin1Char('='), 0, 0).toInt();
        const QString text = entries[i].section(QLatin1Char('='), 1);
        if (column == 4 || column == 5)
            rig_->choose(3, column, text);
        else
            rig_->type(3, column, text);
        const bool complete = countAfterEach != 0 && i + 1 >= countAfterEach;
        QCOMPARE(rig_->document->channel(0).count, complete ? 3 : 2);
        QCOMPARE(rig_->view->windowTitle(),
                 QStringLiteral("Worksheet - Data Count:%1").arg(complete ? 3 : 2));
        QCOMPARE(rig_->document->isModified(), complete);
    }
    if (countAfterEach == 0) {
        QVERIFY(rig_->graph.calls.isEmpty());
        // What was entered waits in the entry row.
        QCOMPARE(rig_->cell(3, 2), QStringLiteral("4.0000"));
        return;
    }
    QCOMPARE(rig_->steps(0).last(), step);
    QCOMPARE(rig_->document->channel(0).steps[2].load2, QStringLiteral("1"));
    QCOMPARE(rig_->graph.calls, QStringList{QStringLiteral("stepAppended 0 3")});
    // The Time of the new step follows on from the line before it; the next row is the entry row.
    const double before = rig_->cell(2, 1).toDouble();
    QCOMPARE(rig_->cell(3, 1).toDouble(), before + rig_->document->channel(0).steps[2].interval.toDouble());
    QCOMPARE(rig_->cell(4, 2), QString());
    rig_->setCursor(4, 2);
    rig_->key(Qt::Key_Return);
    QVERIFY(rig_->view->isEditing());
}

void WorksheetEditingTest::aLoadTypedIntoTheEntryRowIsKept()
{
    rig_->choose(3, 5, QStringLiteral("off"));
    QCOMPARE(rig_->document->channel(0).count, 2);
    QVERIFY(!rig_->document->isModified());
    rig_->type(3, 2, QStringLiteral("4"));
    rig_->type(3, 3, QStringLiteral("1"));
    QCOMPARE(rig_->document->channel(0).count, 2);
    rig_->choose(3, 4, QStringLiteral("Step"));
    QCOMPARE(rig_->steps(0).last(), QStringLiteral("4.0000|1.0|0|0"));
    QCOMPARE(rig_->cell(3, 5), QStringLiteral("off"));
}

void WorksheetEditingTest::entryRowFlagsBelongToTheirRow()
{
    // A value waits in channel 1's entry row (line 3); channel 2's entry row knows nothing of it.
    rig_->loadNumberedSteps(1, 1);
    rig_->type(3, 2, QStringLiteral("4"));
    rig_->switchChannel(1);
    rig_->type(2, 3, QStringLiteral("2"));
    rig_->choose(2, 4, QStringLiteral("Step"));
    QCOMPARE(rig_->document->channel(1).count, 1);

    // Once a deletion moved channel 1's entry row up, the value typed into the old one is gone and
    // a row without a value never becomes a step.
    rig_->switchChannel(0);
    rig_->prompt.answers = {true};
    rig_->selectLines(1, 1);
    rig_->key(Qt::Key_Delete);
    QCOMPARE(rig_->document->channel(0).count, 1);
    rig_->type(2, 3, QStringLiteral("2"));
    rig_->choose(2, 4, QStringLiteral("Ramp"));
    QCOMPARE(rig_->document->channel(0).count, 1);
    rig_->type(2, 2, QStringLiteral("6"));
    QCOMPARE(rig_->steps(0),
             (QStringList{QStringLiteral("2.5000|2.5|1|0"), QStringLiteral("6.0000|2.0|1|1")}));
}

void WorksheetEditingTest::entryRowFlagsDoNotComeBackWithTheirLine()
{
    // A transition is chosen in the entry row (line 3); then the graph draws step 3 and deletes it
    // again, telling the worksheet as it does. Line 3 is the entry row once more, with nothing in it.
    rig_->choose(3, 4, QStringLiteral("Ramp"));
    ChannelSequence& channel = rig_->document->channel(0);
    channel.steps[2].value = QStringLiteral("3.0000");
    channel.steps[2].interval = QStringLiteral("1.0");
    channel.steps[2].transition = QStringLiteral("0");
    channel.steps[2].load = QStringLiteral("1");
    channel.count = 3;
    rig_->view->refreshLine(0, 3);
    channel.steps[2].clear();
    channel.count = 2;
    rig_->view->refreshLinesFrom(0, 3);

    // A value and an interval do not make a step without a transition.
    rig_->type(3, 2, QStringLiteral("4"));
    rig_->type(3, 3, QStringLiteral("1"));
    QCOMPARE(channel.count, 2);
    rig_->choose(3, 4, QStringLiteral("Step"));
    QCOMPARE(rig_->steps(0).last(), QStringLiteral("4.0000|1.0|0|1"));
}

void WorksheetEditingTest::aControlMethodChangeEmptiesTheEntryRow()
{
    // 0.8 s typed under Software Control is kept as 1.0; under Hardware Control, which the empty
    // document may switch to, it must not complete the next step (found by gui_fuzz, seed 5109).
    rig_->loadChannel(0, {});
    rig_->type(1, 3, QStringLiteral("0.8"));
    QCOMPARE(rig_->document->channel(0).steps[0].interval, QStringLiteral("1.0"));
    rig_->settings.SeqCtl = HardwareControl;
    rig_->settings.deriveActiveValues();
    rig_->view->applyControlMethod();
    QVERIFY(rig_->document->channel(0).steps[0].interval.isEmpty());

    rig_->type(1, 2, QStringLiteral("2"));
    QCOMPARE(rig_->document->channel(0).count, 0);
    rig_->type(1, 3, QStringLiteral("0.8"));
    QCOMPARE(rig_->document->channel(0).count, 1);
    QCOMPARE(rig_->document->channel(0).steps[0].interval, QStringLiteral("0.800"));
}

void WorksheetEditingTest::escapeDropsTheEditAndTheCursorComesBack()
{
    rig_->setCursor(1, 2);
    rig_->key(Qt::Key_7);
    QCOMPARE(rig_->view->textEditor()->text(), QStringLiteral("7"));
    rig_->key(Qt::Key_Escape);
    QVERIFY(!rig_->view->isEditing());
    QVERIFY(!rig_->view->textEditor()->isVisible());
    QVERIFY(rig_->table()->hasFocus());
    QCOMPARE(rig_->cell(1, 2), QStringLiteral("1.5000"));
    QVERIFY(!rig_->document->isModified());

    // A tenth of a second later a Right arrow moves the cursor, another tenth later it is back.
    rig_->time.advanceMs(99);
    QCOMPARE(rig_->cursor(), QPoint(2, 1));
    rig_->time.advanceMs(1);
    QCOMPARE(rig_->cursor(), QPoint(3, 1));
    rig_->time.advanceMs(100);
    QCOMPARE(rig_->cursor(), QPoint(2, 1));
    QCOMPARE(rig_->time.activeTimers(), 0);

    // After a commit by Enter the same happens.
    rig_->type(2, 2, QStringLiteral("9"));
    rig_->setCursor(1, 1);
    rig_->time.advanceMs(200);
    QCOMPARE(rig_->cursor(), QPoint(2, 2));
}

void WorksheetEditingTest::losingTheFocusCommitsWithoutMovingTheCursor()
{
    auto* elsewhere = new QLineEdit(rig_->view.get());
    elsewhere->show();
    rig_->setCursor(1, 2);
    rig_->key(Qt::Key_Return);
    QTest::keyClicks(rig_->view->textEditor(), QStringLiteral("8"));
    elsewhere->setFocus();
    QVERIFY(!rig_->view->isEditing());
    QCOMPARE(rig_->steps(0).first(), QStringLiteral("8.0000|10.0|0|1"));
    QCOMPARE(rig_->time.activeTimers(), 0);
    QVERIFY(elsewhere->hasFocus());

    // A channel switch while a list is open commits the choice to the channel it was opened on.
    rig_->setCursor(1, 5);
    rig_->key(Qt::Key_Return);
    QTest::keyClick(rig_->view->listEditor(), Qt::Key_Up);
    rig_->switchChannel(1);
    QVERIFY(!rig_->view->isEditing());
    QCOMPARE(rig_->document->channel(0).steps[0].load, QStringLiteral("0"));
}

void WorksheetEditingTest::setValueFormatsFollowTheDecimalPlaces_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("places");
    QTest::addColumn<QString>("stored");

    QTest::newRow("CV 0") << int(ModeCV) << 0 << "1.23";
    QTest::newRow("CV 1") << int(ModeCV) << 1 << "1.235";
    QTest::newRow("CV unknown") << int(ModeCV) << 2 << "1.23";
    QTest::newRow("CC 0") << int(ModeCC) << 0 << "1.23";
    QTest::newRow("CC+CV 3") << int(ModeCCCV) << 3 << "1.23457";
    QTest::newRow("CC unknown") << int(ModeCC) << 7 << "1.23";
    QTest::newRow("CR 0") << int(ModeCR) << 0 << "1.2346";
    QTest::newRow("CR+CV 1") << int(ModeCRCV) << 1 << "1.23457";
    QTest::newRow("CR unknown") << int(ModeCR) << 2 << "1.2346";
}

void WorksheetEditingTest::setValueFormatsFollowTheDecimalPlaces()
{
    QFETCH(int, mode);
    QFETCH(int, places);
    QFETCH(QString, stored);
    rig_->settings.ModeCh[0] = mode;
    rig_->settings.VoltPlace = rig_->settings.CurrPlace = rig_->settings.ResistPlace = places;
    rig_->type(1, 2, QStringLiteral("1.234567"));
    QCOMPARE(rig_->cell(1, 2), stored);
}

void WorksheetEditingTest::headersFollowUnitModeAndFastMode()
{
    const WorksheetModel* model = rig_->view->model(0);
    const auto headers = [model] {
        QStringList texts;
        for (int column = 1; column <= 5; ++column)
            texts << model->headerData(column, Qt::Horizontal).toString();
        return texts;
    };
    QCOMPARE(headers(), (QStringList{"Time[s]", "Current[A]", "Interval[s]", "Transition", "Load"}));
    QCOMPARE(model->headerData(0, Qt::Vertical).toString(), QStringLiteral("1"));
    QCOMPARE(model->headerData(1023, Qt::Vertical).toString(), QStringLiteral("1024"));

    rig_->settings.Unit = UnitMin;
    rig_->view->setTimeHeaders(UnitMin);
    rig_->view->setValueHeader(ModeCRCV);
    QCOMPARE(headers(), (QStringList{"Time[min]", "Resistance[ohm]", "Interval[min]", "Transition", "Load"}));

    // Fast mode counts in ms whatever the unit.
    rig_->settings.SeqMode = FastSequence;
    rig_->view->setTimeHeaders(UnitH);
    QCOMPARE(headers().first(), QStringLiteral("Time[ms]"));

    // Each channel's value header follows its own mode once it is shown, with its step count.
    rig_->loadNumberedSteps(1, 4);
    rig_->switchChannel(1);
    QCOMPARE(rig_->view->model(1)->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Voltage[V]"));
    QCOMPARE(rig_->view->windowTitle(), QStringLiteral("Worksheet - Data Count:4"));
    QVERIFY(rig_->view->table(1)->isVisible());
    QVERIFY(!rig_->view->table(0)->isVisible());

    // Every header text fits its column.
    WorksheetTable* table = rig_->view->table(1);
    for (int column = 1; column <= 5; ++column) {
        const QString text = rig_->view->model(1)->headerText(column);
        QVERIFY2(table->horizontalHeader()->fontMetrics().horizontalAdvance(text) <
                     table->columnWidth(column),
                 qPrintable(text));
    }
}

void WorksheetEditingTest::timeColumnIsGreyAndCellsShowTheStoredTexts()
{
    rig_->loadChannel(0, {QStringLiteral("1.5000\t10.0\t0\t1"), QStringLiteral("2.5000\t2.5\t1\t0"),
                          QStringLiteral("3.0000\t1.0\t7\tx")});
    const QAbstractItemModel* model = rig_->table()->model();
    for (int row : {0, 3, 1023})
        QCOMPARE(model->index(row, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(240, 240, 240));
    QVERIFY(!model->index(0, 2).data(Qt::BackgroundRole).isValid());
    // The times are computed when the channel is filled; unknown flags show seven blanks.
    QCOMPARE(rig_->cell(1, 1), QStringLiteral("10.0"));
    QCOMPARE(rig_->cell(3, 1), QStringLiteral("13.5"));
    QCOMPARE(rig_->cell(2, 4), QStringLiteral("Ramp"));
    QCOMPARE(rig_->cell(3, 4), QStringLiteral("       "));
    QCOMPARE(rig_->cell(3, 5), QStringLiteral("       "));
    QCOMPARE(rig_->cell(2, 5), QStringLiteral("off"));
    // Rows past the entry row are blank whatever their slots hold.
    rig_->document->channel(0).steps[5].value = QStringLiteral("leftover");
    QCOMPARE(rig_->cell(6, 2), QString());
}

void WorksheetEditingTest::rightButtonOpensTheContextMenuAndKeepsTheSelection()
{
    rig_->selectLines(1, 2);
    WorksheetTable* table = rig_->table();
    const QPoint at = table->visualRect(table->model()->index(5, 3)).center();
    QTest::mousePress(table->viewport(), Qt::RightButton, Qt::NoModifier, at);
    QCOMPARE(rig_->contextMenus.size(), size_t(1));
    QCOMPARE(rig_->contextMenus.front().first, 132);
    QCOMPARE(rig_->contextMenus.front().second, table->viewport()->mapToGlobal(at));
    QCOMPARE(rig_->cursor(), QPoint(2, 1));
    QCOMPARE(table->selectionModel()->selectedIndexes().size(), 2);
}

void WorksheetEditingTest::graphEditsAreShownAndMoveTheSavedCell()
{
    WorksheetLink& link = *rig_->view;
    // The graph drew a third step.
    SequenceStep& drawn = rig_->document->channel(0).steps[2];
    drawn.value = QStringLiteral("5.0000");
    drawn.interval = QStringLiteral("1.0");
    drawn.time = QStringLiteral("13.5");
    rig_->document->channel(0).count = 3;
    link.refreshLine(0, 3);
    QCOMPARE(rig_->cell(3, 2), QStringLiteral("5.0000"));
    QCOMPARE(rig_->view->windowTitle(), QStringLiteral("Worksheet - Data Count:3"));
    QCOMPARE(rig_->view->savedCell(0), QPoint(1, 3));
    link.restoreCursor();
    QCOMPARE(rig_->cursor(), QPoint(1, 3));

    // It dragged the first step's end: the times from there on are shown anew.
    rig_->document->channel(0).steps[0].time = QStringLiteral("11.0");
    rig_->document->channel(0).steps[1].time = QStringLiteral("13.5");
    link.refreshTimesFrom(0, 1);
    QCOMPARE(rig_->cell(1, 1), QStringLiteral("11.0"));

    // It deleted the first step.
    rig_->document->moveStep(1, 0);
    rig_->document->moveStep(2, 1);
    rig_->document->channel(0).count = 2;
    link.refreshLinesFrom(0, 1);
    QCOMPARE(rig_->cell(1, 2), QStringLiteral("2.5000"));
    QCOMPARE(rig_->cell(3, 2), QString());
    QCOMPARE(rig_->view->windowTitle(), QStringLiteral("Worksheet - Data Count:2"));
}

QTEST_MAIN(WorksheetEditingTest)
#include "WorksheetEditingTest.moc"
