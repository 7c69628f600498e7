#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "app/DocumentSession.h"
#include "model/CMainDoc.h"
#include "views/CDecimalEdit.h"
#include "views/CGridView.h"
#include "views/CommandRouter.h"
#include "views/WorksheetModel.h"

#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QMenu>
#include <QScrollBar>
#include <QtTest>

namespace {

// Five channels of 1024 steps; channel c's line i holds the value "c.iiii" and lasts 0.5 s.
QByteArray fullFile(const QString& control)
{
    std::vector<std::vector<QString>> channels(5);
    for (int c = 0; c < 5; ++c) {
        for (int i = 1; i <= 1024; ++i)
            channels[c].push_back(QString::asprintf("%d.%04d\t0.5\t%d\t1", c + 1, i, i % 2));
    }
    return sequenceFile(QStringLiteral("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\t") + control, channels);
}

} // namespace

// The worksheet in the program: a full file, the Worksheet menu and context menu through the frame's
// routing, and the frame's channel, control-method and mode changes.
class WorksheetDocumentTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void aFullFileShowsEveryLineOfEveryChannel();
    void underHardwareControlOnly255LinesAreReachable();
    void worksheetMenuAndContextMenuGoThroughTheRouter();
    void aLoadChangedOnAnExistingLineIsNotLostOnClosing();
    void aValueStillBeingTypedIsNotLost_data();
    void aValueStillBeingTypedIsNotLost();
    void controlMethodAndModeChangesReachTheWorksheet();

private:
    CGridView& startWith(const QByteArray& file);

    std::unique_ptr<StartedProgram> program_;
};

void WorksheetDocumentTest::cleanup()
{
    program_.reset();
}

CGridView& WorksheetDocumentTest::startWith(const QByteArray& file)
{
    program_ = std::make_unique<StartedProgram>();
    const QString path = program_->folders.writeFile(QStringLiteral("sequence.tsr"), file);
    const QStringList files = file.isEmpty() ? QStringList() : QStringList{path};
    [&] { QCOMPARE(program_->start(files), CTessorApp::kRunning); }();
    return *program_->frame().documents().gridView();
}

void WorksheetDocumentTest::aFullFileShowsEveryLineOfEveryChannel()
{
    CGridView& view = startWith(fullFile(QStringLiteral("soft")));
    CMainFrame& frame = program_->frame();
    QVERIFY(program_->prompt.entries.empty());
    for (int channel = 0; channel < 5; ++channel) {
        frame.switchChannel(channel);
        QCOMPARE(view.windowTitle(), QStringLiteral("Worksheet - Data Count:1024"));
        QVERIFY(view.table(channel)->isVisible());
    }
    const WorksheetModel* model = view.model(4);
    QCOMPARE(model->cellText(1024, 2), QStringLiteral("5.1024"));
    QCOMPARE(model->cellText(1024, 1), QStringLiteral("512.0"));
    QCOMPARE(model->cellText(1024, 3), QStringLiteral("0.5"));
    QCOMPARE(model->cellText(1024, 4), QStringLiteral("Step"));
    QCOMPARE(model->cellText(1023, 4), QStringLiteral("Ramp"));
    QCOMPARE(model->headerData(1023, Qt::Vertical).toString(), QStringLiteral("1024"));
    QCOMPARE(view.model(0)->cellText(1, 2), QStringLiteral("1.0001"));

    // The last line is reached with the keyboard and shown at the bottom of the grid.
    WorksheetTable* table = view.table(4);
    table->setCurrentIndex(table->model()->index(0, 2));
    QTest::keyClick(table, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(table->currentIndex().row(), 1023);
    QCOMPARE(table->verticalScrollBar()->value(), table->verticalScrollBar()->maximum());
    const QRect last = table->visualRect(table->model()->index(1023, 2));
    QVERIFY(last.top() >= 0 && last.bottom() < table->viewport()->height());
    // There is no line after the last one: the entry row would be line 1025.
    QTest::keyClick(table, Qt::Key_Down);
    QCOMPARE(table->currentIndex().row(), 1023);
}

void WorksheetDocumentTest::underHardwareControlOnly255LinesAreReachable()
{
    CGridView& view = startWith(fullFile(QStringLiteral("hard")));
    QCOMPARE(program_->frame().settings().SeqCtl, int(HardwareControl));
    WorksheetTable* table = view.table(0);
    QCOMPARE(table->model()->rowCount(), 255);
    for (int column : {0, 4, 5, 6, 7, 8})
        QVERIFY(table->isColumnHidden(column));
    QVERIFY(!table->isColumnHidden(3));
    table->setCurrentIndex(table->model()->index(0, 2));
    QTest::keyClick(table, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(table->currentIndex().row(), 254);
    QTest::keyClick(table, Qt::Key_PageDown);
    QCOMPARE(table->currentIndex().row(), 254);
    QCOMPARE(view.model(0)->cellText(255, 2), QStringLiteral("1.0255"));
    QCOMPARE(view.model(0)->cellText(255, 1), QStringLiteral("127.500"));
}

void WorksheetDocumentTest::worksheetMenuAndContextMenuGoThroughTheRouter()
{
    CGridView& view = startWith(fullFile(QStringLiteral("soft")));
    CMainFrame& frame = program_->frame();
    CommandRouter& router = frame.router();
    frame.mdiArea()->setActiveSubWindow(frame.documents().worksheetWindow());
    frame.updateCommandUi();
    for (int id : {CGridView::IdSelectAll, CGridView::IdDelete, CGridView::IdCopy, CGridView::IdPaste})
        QVERIFY2(router.isEnabled(id), qPrintable(QString::number(id)));
    QVERIFY(!router.isEnabled(CGridView::IdUndo));
    QVERIFY(!router.action(CGridView::IdUndo)->isEnabled());

    WorksheetTable* table = view.table(0);
    table->setCurrentIndex(table->model()->index(1, 2));
    program_->prompt.yesNoAnswers = {true};
    QVERIFY(router.trigger(CGridView::IdDelete));
    QCOMPARE(program_->prompt.texts().last(), QStringLiteral("Delete all data from the 2-th line?"));
    QCOMPARE(view.windowTitle(), QStringLiteral("Worksheet - Data Count:1023"));
    QVERIFY(program_->frame().currentDocument().get()->isModified());
    // The frame learns that Undo became possible.
    QTRY_VERIFY(router.action(CGridView::IdUndo)->isEnabled());

    // The context menu shows the same commands with the same states.
    const QPoint at = table->visualRect(table->model()->index(3, 2)).center();
    QTest::mousePress(table->viewport(), Qt::RightButton, Qt::NoModifier, at);
    auto* menu = frame.findChild<QMenu*>(QStringLiteral("ContextMenu132"));
    QVERIFY(menu);
    QStringList items;
    for (QAction* action : menu->actions())
        items << action->text();
    QCOMPARE(items, (QStringList{"Select &All", "&Undo", "&Delete", "&Copy", "&Paste"}));
    QVERIFY(menu->actions().at(1)->isEnabled());
    program_->prompt.yesNoAnswers = {true};
    menu->actions().at(1)->trigger();
    menu->close();
    QCOMPARE(program_->prompt.texts().last(), QStringLiteral("Undo deletion?"));
    QCOMPARE(view.model(0)->cellText(2, 2), QStringLiteral("1.0002"));
    QCOMPARE(view.windowTitle(), QStringLiteral("Worksheet - Data Count:1024"));
    QTRY_VERIFY(!router.action(CGridView::IdUndo)->isEnabled());
}

void WorksheetDocumentTest::aLoadChangedOnAnExistingLineIsNotLostOnClosing()
{
    CGridView& view = startWith(sequenceFile(QStringLiteral("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft"),
                                             {{QStringLiteral("1.5000\t10.0\t0\t1")}}));
    CMainDoc* document = program_->frame().currentDocument().get();
    QVERIFY(!document->isModified());
    WorksheetTable* table = view.table(0);
    table->setCurrentIndex(table->model()->index(0, 5));
    QTest::keyClick(table, Qt::Key_Return);
    QVERIFY(view.listEditor()->isVisible());
    QTest::keyClick(view.listEditor(), Qt::Key_Up);
    QTest::keyClick(view.listEditor(), Qt::Key_Return);
    QCOMPARE(document->channel(0).steps[0].load, QStringLiteral("0"));
    QVERIFY(document->isModified());

    program_->prompt.threeWayAnswers = {ShellPrompt::Answer::Cancel};
    program_->frame().documents().close();
    QCOMPARE(program_->prompt.texts().last(), QStringLiteral("Save changes to sequence.tsr?"));
    QVERIFY(program_->frame().currentDocument());
}

void WorksheetDocumentTest::aValueStillBeingTypedIsNotLost_data()
{
    QTest::addColumn<int>("command");
    QTest::newRow("Save") << int(CMainFrame::IdSave);
    QTest::newRow("Close") << int(CMainFrame::IdClose);
    QTest::newRow("Run...") << int(CMainFrame::IdRun);
}

// Toolbar buttons and menu items take no focus from the text box, so without help a value still
// being typed would be saved without, or dropped unasked when the document closes.
void WorksheetDocumentTest::aValueStillBeingTypedIsNotLost()
{
    QFETCH(int, command);
    CGridView& view = startWith(sequenceFile(QStringLiteral("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft"),
                                             {{QStringLiteral("1.5000\t10.0\t0\t1")}}));
    CMainFrame& frame = program_->frame();
    CMainDoc* document = frame.currentDocument().get();
    const QString path = frame.documents().path();
    WorksheetTable* table = view.table(0);
    table->setCurrentIndex(table->model()->index(0, 2));
    QTest::keyClick(table, Qt::Key_7);
    QTest::keyClick(view.textEditor(), Qt::Key_5);
    QVERIFY(view.isEditing());
    QVERIFY(!document->isModified());

    program_->prompt.threeWayAnswers = {ShellPrompt::Answer::Cancel};
    QVERIFY(frame.router().trigger(command));
    QVERIFY(!view.isEditing());
    QCOMPARE(document->channel(0).steps[0].value.toDouble(), 75.0);
    if (command == CMainFrame::IdSave) {
        QVERIFY(!document->isModified());
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().contains("75.0"));
    } else if (command == CMainFrame::IdClose) {
        QCOMPARE(program_->prompt.texts().last(), QStringLiteral("Save changes to sequence.tsr?"));
        QVERIFY(frame.currentDocument());
    }
}

void WorksheetDocumentTest::controlMethodAndModeChangesReachTheWorksheet()
{
    CGridView& view = startWith(QByteArray());
    CMainFrame& frame = program_->frame();
    QCOMPARE(view.windowTitle(), QStringLiteral("Worksheet - Data Count:0"));
    frame.changeControlMethod(HardwareControl);
    QCOMPARE(view.table(0)->model()->rowCount(), 255);
    QVERIFY(view.table(2)->isColumnHidden(4));
    frame.changeControlMethod(SoftwareControl);
    QCOMPARE(view.table(2)->model()->rowCount(), 1024);
    QVERIFY(!view.table(2)->isColumnHidden(4));

    AppSettings& settings = frame.settings();
    settings.Unit = UnitMin;
    settings.ModeCh[0] = ModeCR;
    frame.documents().applyModeSettings();
    QCOMPARE(view.model(0)->headerText(1), QStringLiteral("Time[min]"));
    QCOMPARE(view.model(0)->headerText(2), QStringLiteral("Resistance[ohm]"));
    QCOMPARE(view.model(3)->headerText(3), QStringLiteral("Interval[min]"));
}

QTEST_MAIN(WorksheetDocumentTest)
#include "WorksheetDocumentTest.moc"
