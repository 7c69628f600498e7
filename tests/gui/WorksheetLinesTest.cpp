#include "WorksheetRig.h"
#include "views/WorksheetModel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QtTest>

// The worksheet's line commands from the keys and the menu: Select All, Copy, Delete, Paste, Undo,
// their questions and messages, and which of them start a new undo history.
class WorksheetLinesTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void copySaysWhatItCopied_data();
    void copySaysWhatItCopied();
    void copyPutsTabSeparatedLinesOnTheClipboard();
    void deleteAsksAndRemovesTheLines_data();
    void deleteAsksAndRemovesTheLines();
    void deletingTheEntryRowEmptiesItWithoutAsking();
    void pasteInsertsTheBufferAtTheLine_data();
    void pasteInsertsTheBufferAtTheLine();
    void pastePastTheHardwareLimitDropsLinesAndUndoBringsThemBack();
    void pasteIntoALongHardwareChannelAsksAndUndoRestoresEveryStep();
    void undoRecordFollowsTheCommandsAndKeys_data();
    void undoRecordFollowsTheCommandsAndKeys();
    void undoBelongsToTheChannelItWasMadeOn();
    void anInsertionIsNoLongerUndoneOnceTheStepCountChanged();
    void lineOperationsResetTheEntryRow_data();
    void lineOperationsResetTheEntryRow();
    void selectAllReachesEveryLine();
    void lineOperationsShowTheWaitCursorAndPutTheCursorBack();

private:
    // Runs a script of key presses and commands: "sel 2-3" selects lines, "Del", "C", "V", "Z" and
    // "A" are keys, "menu Delete" and the like run the Worksheet menu's commands.
    void run(const QStringList& script);

    std::unique_ptr<WorksheetRig> rig_;
};

namespace {

QStringList numbered(std::initializer_list<int> numbers)
{
    QStringList values;
    for (int n : numbers)
        values << QStringLiteral("%1.0000").arg(n);
    return values;
}

std::deque<bool> answersFrom(const QString& letters)
{
    std::deque<bool> answers;
    for (const QChar c : letters)
        answers.push_back(c == QLatin1Char('y'));
    return answers;
}

} // namespace

void WorksheetLinesTest::init()
{
    rig_ = std::make_unique<WorksheetRig>();
    rig_->loadNumberedSteps(0, 5);
    rig_->graph.calls.clear();
    rig_->prompt.clear();
}

void WorksheetLinesTest::cleanup()
{
    rig_.reset();
}

void WorksheetLinesTest::run(const QStringList& script)
{
    for (const QString& step : script) {
        if (step.startsWith(QLatin1String("sel "))) {
            const QStringList range = step.mid(4).split(QLatin1Char('-'));
            rig_->selectLines(range.at(0).toInt(), range.at(1).toInt());
        } else if (step.startsWith(QLatin1String("menu "))) {
            const QString name = step.mid(5);
            const int id = name == QLatin1String("Delete")  ? CGridView::IdDelete
                           : name == QLatin1String("Copy")  ? CGridView::IdCopy
                           : name == QLatin1String("Paste") ? CGridView::IdPaste
                           : name == QLatin1String("Undo")  ? CGridView::IdUndo
                                                            : CGridView::IdSelectAll;
            rig_->command(id);
        } else if (step == QLatin1String("Del")) {
            rig_->key(Qt::Key_Delete);
        } else {
            rig_->key(Qt::Key_A + (step.at(0).toUpper().unicode() - 'A'),
                      step.at(0).isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
        }
    }
}

void WorksheetLinesTest::copySaysWhatItCopied_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("message"); // empty: nothing copied
    QTest::addColumn<QStringList>("buffer");

    QTest::newRow("one line, c") << QStringList{"sel 2-2", "c"} << "Data in the 2-th line has been copied."
                                 << numbered({2});
    QTest::newRow("lines, C") << QStringList{"sel 2-4", "C"}
                              << "Data from the 2-th to 4-th lines has been copied." << numbered({2, 3, 4});
    QTest::newRow("past the last step, menu")
        << QStringList{"sel 4-99", "menu Copy"} << "Data from the 4-th to 5-th lines has been copied."
        << numbered({4, 5});
    QTest::newRow("capped to one line")
        << QStringList{"sel 5-9", "c"} << "Data in the 5-th line has been copied." << numbered({5});
    QTest::newRow("entry row") << QStringList{"sel 6-6", "c"} << "" << QStringList();
}

void WorksheetLinesTest::copySaysWhatItCopied()
{
    QFETCH(QStringList, script);
    QFETCH(QString, message);
    QFETCH(QStringList, buffer);
    run(script);
    QStringList copied;
    for (const SequenceStep& step : rig_->document->copyBuffer())
        copied << step.value;
    QCOMPARE(copied, buffer);
    if (message.isEmpty()) {
        QVERIFY(rig_->prompt.entries.empty());
        return;
    }
    QCOMPARE(rig_->prompt.texts(), QStringList{message});
    QCOMPARE(rig_->prompt.entries.front().icon, UserPrompt::Icon::Information);
    QVERIFY(!rig_->prompt.entries.front().question);
    // Copying changes nothing in the document.
    QVERIFY(!rig_->document->isModified());
    QCOMPARE(rig_->values(0), numbered({1, 2, 3, 4, 5}));
}

void WorksheetLinesTest::copyPutsTabSeparatedLinesOnTheClipboard()
{
    rig_->loadChannel(0, {QStringLiteral("1.5000\t10.0\t0\t1"), QStringLiteral("2.5000\t2.5\t1\t0"),
                          QStringLiteral("0.2500\t0.5\t1\t1")});
    run({QStringLiteral("sel 2-3"), QStringLiteral("c")});
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("Current[A]\tInterval[s]\tTransition\tLoad\n"
                            "2.5000\t2.5\tRamp\toff\n"
                            "0.2500\t0.5\tRamp\ton\n"));
    // A deletion keeps its lines for Undo but leaves the clipboard alone.
    rig_->prompt.answers = {true};
    run({QStringLiteral("sel 1-1"), QStringLiteral("Del")});
    QVERIFY(QGuiApplication::clipboard()->text().contains(QStringLiteral("2.5000\t2.5")));
}

void WorksheetLinesTest::deleteAsksAndRemovesTheLines_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QStringList>("prompts");
    QTest::addColumn<QStringList>("values");

    QTest::newRow("lines 3 to 99") << QStringList{"sel 3-99", "Del"} << "y"
                                   << QStringList{"Delete all data from the 3-th line to the 5-th line?"}
                                   << numbered({1, 2});
    QTest::newRow("one line, menu") << QStringList{"sel 2-2", "menu Delete"} << "y"
                                    << QStringList{"Delete all data from the 2-th line?"}
                                    << numbered({1, 3, 4, 5});
    QTest::newRow("from the bottom up")
        << QStringList{"sel 4-1", "Del"} << "y"
        << QStringList{"Delete all data from the 1-th line to the 4-th line?"} << numbered({5});
    QTest::newRow("declined") << QStringList{"sel 2-3", "Del"} << "n"
                              << QStringList{"Delete all data from the 2-th line to the 3-th line?"}
                              << numbered({1, 2, 3, 4, 5});
    QTest::newRow("past the entry row")
        << QStringList{"sel 7-7", "Del"} << "" << QStringList() << numbered({1, 2, 3, 4, 5});
}

void WorksheetLinesTest::deleteAsksAndRemovesTheLines()
{
    QFETCH(QStringList, script);
    QFETCH(QString, answers);
    QFETCH(QStringList, prompts);
    QFETCH(QStringList, values);
    rig_->prompt.answers = answersFrom(answers);
    const bool changes = values.size() != 5;

    run(script);
    QCOMPARE(rig_->prompt.texts(), prompts);
    for (const RecordingPrompt::Entry& entry : rig_->prompt.entries)
        QCOMPARE(entry.icon, UserPrompt::Icon::Information);
    QCOMPARE(rig_->values(0), values);
    QCOMPARE(rig_->document->isModified(), changes);
    QCOMPARE(rig_->view->windowTitle(), QStringLiteral("Worksheet - Data Count:%1").arg(values.size()));
    for (int line = 1; line <= values.size(); ++line)
        QCOMPARE(rig_->cell(line, 2), values[line - 1]);
    QCOMPARE(rig_->cell(values.size() + 1, 2), QString());
    if (!changes) {
        QVERIFY(rig_->graph.calls.isEmpty());
        return;
    }
    QCOMPARE(rig_->graph.calls, QStringList{QStringLiteral("channelRebuilt 0")});
    // The deleted lines wait in the copy buffer; the times are counted again from the first line.
    QCOMPARE(rig_->document->bufferCount(), 5 - values.size());
    QCOMPARE(rig_->cell(values.size(), 1), QStringLiteral("%1.0").arg(values.size()));
    QVERIFY(rig_->document->channel(0).steps[values.size()].value.isEmpty());
}

void WorksheetLinesTest::deletingTheEntryRowEmptiesItWithoutAsking()
{
    rig_->type(6, 2, QStringLiteral("6"));
    rig_->type(6, 3, QStringLiteral("2"));
    QCOMPARE(rig_->cell(6, 2), QStringLiteral("6.0000"));
    run({QStringLiteral("sel 6-6"), QStringLiteral("Del")});
    QVERIFY(rig_->prompt.entries.empty());
    QCOMPARE(rig_->cell(6, 2), QString());
    QCOMPARE(rig_->cell(6, 3), QString());
    QVERIFY(rig_->document->channel(0).steps[5].value.isEmpty());
    QCOMPARE(rig_->document->channel(0).count, 5);
    // What was entered before counts no more: a transition alone does not make a step.
    rig_->choose(6, 4, QStringLiteral("Ramp"));
    QCOMPARE(rig_->document->channel(0).count, 5);
}

void WorksheetLinesTest::pasteInsertsTheBufferAtTheLine_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QStringList>("prompts");
    QTest::addColumn<QStringList>("values");

    const QString copied = QStringLiteral("Data from the 1-th to 2-th lines has been copied.");
    QTest::newRow("into line 4")
        << QStringList{"sel 1-2", "c", "sel 4-4", "v"} << "y"
        << QStringList{copied, "Step data from the 4-th line will be inserted into the 2-th line."}
        << numbered({1, 2, 3, 1, 2, 4, 5});
    QTest::newRow("at the entry row, menu")
        << QStringList{"sel 1-2", "c", "sel 6-6", "menu Paste"} << "y"
        << QStringList{copied, "Step data from the 6-th line will be inserted into the 2-th line."}
        << numbered({1, 2, 3, 4, 5, 1, 2});
    QTest::newRow("the upper end of a selection")
        << QStringList{"sel 1-2", "c", "sel 5-3", "V"} << "y"
        << QStringList{copied, "Step data from the 3-th line will be inserted into the 2-th line."}
        << numbered({1, 2, 1, 2, 3, 4, 5});
    QTest::newRow("declined")
        << QStringList{"sel 1-2", "c", "sel 4-4", "v"} << "n"
        << QStringList{copied, "Step data from the 4-th line will be inserted into the 2-th line."}
        << numbered({1, 2, 3, 4, 5});
    QTest::newRow("below the entry row") << QStringList{"sel 1-2", "c", "sel 7-7", "v"} << ""
                                         << QStringList{copied} << numbered({1, 2, 3, 4, 5});
    QTest::newRow("empty buffer") << QStringList{"sel 1-1", "v"} << "" << QStringList()
                                  << numbered({1, 2, 3, 4, 5});
}

void WorksheetLinesTest::pasteInsertsTheBufferAtTheLine()
{
    QFETCH(QStringList, script);
    QFETCH(QString, answers);
    QFETCH(QStringList, prompts);
    QFETCH(QStringList, values);
    rig_->prompt.answers = answersFrom(answers);

    run(script);
    QCOMPARE(rig_->prompt.texts(), prompts);
    QCOMPARE(rig_->values(0), values);
    for (int line = 1; line <= values.size(); ++line)
        QCOMPARE(rig_->cell(line, 2), values[line - 1]);
    QCOMPARE(rig_->view->windowTitle(), QStringLiteral("Worksheet - Data Count:%1").arg(values.size()));
    const bool changes = values.size() != 5;
    QCOMPARE(rig_->document->isModified(), changes);
    QCOMPARE(rig_->graph.calls, changes ? QStringList{QStringLiteral("channelRebuilt 0")} : QStringList());
    QCOMPARE(rig_->cell(values.size(), 1), QStringLiteral("%1.0").arg(values.size()));
    QCOMPARE(rig_->isEnabled(CGridView::IdUndo), changes);
}

void WorksheetLinesTest::pastePastTheHardwareLimitDropsLinesAndUndoBringsThemBack()
{
    rig_->settings.SeqCtl = HardwareControl;
    rig_->view->applyControlMethod();
    rig_->loadNumberedSteps(0, 250);
    const QStringList before = rig_->steps(0);
    QStringList pasted;
    for (int i = 0; i < 10; ++i)
        pasted << QStringLiteral("%1.5000").arg(i);
    for (int i = 0; i < 10; ++i)
        rig_->document->channel(0).steps[i].value = pasted[i];
    run({QStringLiteral("sel 1-10"), QStringLiteral("c")});
    rig_->loadNumberedSteps(0, 250);

    rig_->prompt.answers = {true, true, true};
    run({QStringLiteral("sel 250-250"), QStringLiteral("v")});
    QCOMPARE(rig_->prompt.texts().last(),
             QStringLiteral("Data in the 250-th line will be removed: a channel holds at most 255 steps. "
                            "Continue?"));
    // 249 old lines and the first 6 pasted ones; the old line 250 went past the limit.
    QCOMPARE(rig_->document->channel(0).count, 255);
    QStringList kept;
    for (int i = 1; i <= 249; ++i)
        kept << QStringLiteral("%1.0000").arg(i);
    QCOMPARE(rig_->values(0), kept + pasted.mid(0, 6));
    QCOMPARE(rig_->cell(255, 2), QStringLiteral("5.5000"));
    QCOMPARE(rig_->view->windowTitle(), QStringLiteral("Worksheet - Data Count:255"));
    // Nothing of the paste lingers past the limit.
    QVERIFY(rig_->document->channel(0).steps[255].value.isEmpty());

    run({QStringLiteral("z")});
    QCOMPARE(rig_->prompt.texts().last(), QStringLiteral("Undo insertion?"));
    QCOMPARE(rig_->steps(0), before);
    QCOMPARE(rig_->cell(250, 2), QStringLiteral("250.0000"));
    QCOMPARE(rig_->view->windowTitle(), QStringLiteral("Worksheet - Data Count:250"));
    QVERIFY(!rig_->isEnabled(CGridView::IdUndo));
}

void WorksheetLinesTest::pasteIntoALongHardwareChannelAsksAndUndoRestoresEveryStep()
{
    // A file may hold 300 steps in a channel under Hardware Control; the worksheet shows 255.
    rig_->settings.SeqCtl = HardwareControl;
    rig_->view->applyControlMethod();
    rig_->loadNumberedSteps(0, 300);
    const QStringList before = rig_->steps(0);
    const QString insert =
        QStringLiteral("Step data from the 1-th line will be inserted into the 1-th line.");
    const QString removed = QStringLiteral(
        "Data from the 255-th to 300-th lines will be removed: a channel holds at most 255 steps. Continue?");

    rig_->prompt.answers = {true, false};
    run({QStringLiteral("sel 1-1"), QStringLiteral("c"), QStringLiteral("sel 1-1"), QStringLiteral("v")});
    QCOMPARE(rig_->prompt.texts(),
             (QStringList{QStringLiteral("Data in the 1-th line has been copied."), insert, removed}));
    QCOMPARE(rig_->steps(0), before);
    QVERIFY(!rig_->document->isModified());
    QVERIFY(!rig_->isEnabled(CGridView::IdUndo));

    rig_->prompt.clear();
    rig_->prompt.answers = {true, true};
    run({QStringLiteral("sel 1-1"), QStringLiteral("v")});
    QCOMPARE(rig_->prompt.texts(), (QStringList{insert, removed}));
    QCOMPARE(rig_->document->channel(0).count, 255);
    QCOMPARE(rig_->steps(0), QStringList{before.first()} + before.mid(0, 254));
    QCOMPARE(rig_->view->windowTitle(), QStringLiteral("Worksheet - Data Count:255"));

    rig_->prompt.answers = {true};
    run({QStringLiteral("z")});
    QCOMPARE(rig_->prompt.texts().last(), QStringLiteral("Undo insertion?"));
    QCOMPARE(rig_->steps(0), before);
    QCOMPARE(rig_->view->windowTitle(), QStringLiteral("Worksheet - Data Count:300"));
}

void WorksheetLinesTest::undoRecordFollowsTheCommandsAndKeys_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QStringList>("prompts");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<bool>("undoEnabled");

    const QString delete23 = QStringLiteral("Delete all data from the 2-th line to the 3-th line?");
    QTest::newRow("nothing to undo") << QStringList{"z", "menu Undo"} << "" << QStringList()
                                     << numbered({1, 2, 3, 4, 5}) << false;
    QTest::newRow("undo a deletion") << QStringList{"sel 2-3", "Del", "sel 1-1", "z"} << "yy"
                                     << QStringList{delete23, "Undo deletion?"} << numbered({1, 2, 3, 4, 5})
                                     << false;
    QTest::newRow("undo declined") << QStringList{"sel 2-3", "menu Delete", "Z"} << "yn"
                                   << QStringList{delete23, "Undo deletion?"} << numbered({1, 4, 5}) << true;
    // Undo puts back the deleted lines, whatever was copied since.
    QTest::newRow("the C key keeps the record")
        << QStringList{"sel 2-3", "Del", "sel 3-3", "c", "menu Undo"} << "yy"
        << QStringList{delete23, "Data in the 3-th line has been copied.", "Undo deletion?"}
        << numbered({1, 2, 3, 4, 5}) << false;
    QTest::newRow("select all and copy after a deletion")
        << QStringList{"sel 2-2", "Del", "A", "c", "z"} << "yy"
        << QStringList{"Delete all data from the 2-th line?",
                       "Data from the 1-th to 4-th lines has been copied.", "Undo deletion?"}
        << numbered({1, 2, 3, 4, 5}) << false;
    QTest::newRow("menu Copy ends it")
        << QStringList{"sel 2-3", "Del", "sel 1-1", "menu Copy", "z"} << "y"
        << QStringList{delete23, "Data in the 1-th line has been copied."} << numbered({1, 4, 5}) << false;
    QTest::newRow("menu Paste after a deletion puts the lines back")
        << QStringList{"sel 2-3", "Del", "sel 1-1", "menu Paste"} << "y" << QStringList{delete23}
        << numbered({1, 2, 3, 4, 5}) << true;
    QTest::newRow("menu Paste after a deletion is undone as an insertion")
        << QStringList{"sel 2-3", "Del", "sel 1-1", "menu Paste", "z"} << "yy"
        << QStringList{delete23, "Undo insertion?"} << numbered({1, 4, 5}) << false;
    QTest::newRow("the V key after a deletion asks")
        << QStringList{"sel 2-3", "Del", "sel 1-1", "v"} << "yy"
        << QStringList{delete23, "Step data from the 1-th line will be inserted into the 2-th line."}
        << numbered({2, 3, 1, 4, 5}) << true;
    QTest::newRow("undo an insertion")
        << QStringList{"sel 2-3", "Del", "sel 1-1", "v", "z"} << "yyy"
        << QStringList{delete23, "Step data from the 1-th line will be inserted into the 2-th line.",
                       "Undo insertion?"}
        << numbered({1, 4, 5}) << false;
    QTest::newRow("a declined Delete has already ended it")
        << QStringList{"sel 1-1", "c", "sel 3-3", "v", "sel 2-2", "Del"} << "yn"
        << QStringList{"Data in the 1-th line has been copied.",
                       "Step data from the 3-th line will be inserted into the 1-th line.",
                       "Delete all data from the 2-th line?"}
        << numbered({1, 2, 1, 3, 4, 5}) << false;
    QTest::newRow("a declined V has already ended it")
        << QStringList{"sel 2-2", "Del", "sel 1-1", "v"} << "yn"
        << QStringList{"Delete all data from the 2-th line?",
                       "Step data from the 1-th line will be inserted into the 1-th line."}
        << numbered({1, 3, 4, 5}) << false;
    QTest::newRow("a declined menu Paste keeps it")
        << QStringList{"sel 1-1", "c", "sel 2-2", "v", "sel 4-4", "menu Paste"} << "yn"
        << QStringList{"Data in the 1-th line has been copied.",
                       "Step data from the 2-th line will be inserted into the 1-th line.",
                       "Step data from the 4-th line will be inserted into the 1-th line."}
        << numbered({1, 1, 2, 3, 4, 5}) << true;
}

void WorksheetLinesTest::undoRecordFollowsTheCommandsAndKeys()
{
    QFETCH(QStringList, script);
    QFETCH(QString, answers);
    QFETCH(QStringList, prompts);
    QFETCH(QStringList, values);
    QFETCH(bool, undoEnabled);
    rig_->prompt.answers = answersFrom(answers);

    run(script);
    QCOMPARE(rig_->prompt.texts(), prompts);
    QCOMPARE(rig_->values(0), values);
    QCOMPARE(rig_->isEnabled(CGridView::IdUndo), undoEnabled);
    QVERIFY(rig_->prompt.answers.empty());
}

void WorksheetLinesTest::undoBelongsToTheChannelItWasMadeOn()
{
    rig_->loadNumberedSteps(1, 3);
    rig_->prompt.answers = {true};
    run({QStringLiteral("sel 2-2"), QStringLiteral("Del")});
    QVERIFY(rig_->isEnabled(CGridView::IdUndo));

    // On channel 2 there is nothing of channel 1's to undo, and Paste is an ordinary paste.
    rig_->switchChannel(1);
    QVERIFY(!rig_->isEnabled(CGridView::IdUndo));
    run({QStringLiteral("z"), QStringLiteral("sel 1-1"), QStringLiteral("menu Paste")});
    QCOMPARE(rig_->prompt.texts().last(),
             QStringLiteral("Step data from the 1-th line will be inserted into the 1-th line."));
    QCOMPARE(rig_->values(1), numbered({1, 2, 3}));

    rig_->switchChannel(0);
    QVERIFY(rig_->isEnabled(CGridView::IdUndo));
    rig_->prompt.answers = {true};
    run({QStringLiteral("z")});
    QCOMPARE(rig_->values(0), numbered({1, 2, 3, 4, 5}));
    QCOMPARE(rig_->values(1), numbered({1, 2, 3}));
}

void WorksheetLinesTest::anInsertionIsNoLongerUndoneOnceTheStepCountChanged()
{
    rig_->prompt.answers = {true};
    run({QStringLiteral("sel 1-2"), QStringLiteral("c"), QStringLiteral("sel 1-1"), QStringLiteral("v")});
    QCOMPARE(rig_->document->channel(0).count, 7);
    QVERIFY(rig_->isEnabled(CGridView::IdUndo));

    // A step appended after the insertion would be dropped by putting the old count back.
    rig_->type(8, 2, QStringLiteral("8"));
    rig_->type(8, 3, QStringLiteral("1"));
    rig_->choose(8, 4, QStringLiteral("Step"));
    QCOMPARE(rig_->document->channel(0).count, 8);
    QVERIFY(!rig_->isEnabled(CGridView::IdUndo));
    run({QStringLiteral("z")});
    QCOMPARE(rig_->values(0), numbered({1, 2, 1, 2, 3, 4, 5, 8}));

    // The same after the graph deleted a step.
    rig_->prompt.answers = {true};
    run({QStringLiteral("sel 1-1"), QStringLiteral("v")});
    QVERIFY(rig_->isEnabled(CGridView::IdUndo));
    ChannelSequence& table = rig_->document->channel(0);
    table.steps[table.count - 1].clear();
    --table.count;
    rig_->view->refreshLinesFrom(0, table.count);
    QVERIFY(!rig_->isEnabled(CGridView::IdUndo));
}

void WorksheetLinesTest::lineOperationsResetTheEntryRow_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("answers");

    QTest::newRow("delete, then undo") << QStringList{"sel 1-1", "Del", "z"} << "yy";
    QTest::newRow("paste, then delete")
        << QStringList{"sel 1-1", "c", "sel 1-1", "v", "sel 1-1", "Del"} << "yy";
    QTest::newRow("paste, then undo") << QStringList{"sel 1-1", "c", "sel 1-1", "v", "z"} << "yy";
    QTest::newRow("delete, then menu Paste") << QStringList{"sel 2-2", "Del", "sel 1-1", "menu Paste"} << "y";
}

void WorksheetLinesTest::lineOperationsResetTheEntryRow()
{
    QFETCH(QStringList, script);
    QFETCH(QString, answers);
    // A value waits in the entry row; the line operations bring the step count back to 5.
    rig_->type(6, 2, QStringLiteral("9"));
    rig_->prompt.answers = answersFrom(answers);
    run(script);
    QCOMPARE(rig_->document->channel(0).count, 5);
    QCOMPARE(rig_->cell(6, 2), QString());

    // The entry row starts afresh: without a value it never becomes a step.
    rig_->type(6, 3, QStringLiteral("2"));
    rig_->choose(6, 4, QStringLiteral("Ramp"));
    QCOMPARE(rig_->document->channel(0).count, 5);
    rig_->type(6, 2, QStringLiteral("7"));
    QCOMPARE(rig_->steps(0).last(), QStringLiteral("7.0000|2.0|1|1"));
}

void WorksheetLinesTest::selectAllReachesEveryLine()
{
    run({QStringLiteral("sel 3-3"), QStringLiteral("a")});
    QCOMPARE(rig_->cursor(), QPoint(1, 1));
    const QItemSelection selection = rig_->table()->selectionModel()->selection();
    QCOMPARE(selection.size(), 1);
    QCOMPARE(selection.first().top(), 0);
    QCOMPARE(selection.first().bottom(), 1023);
    QCOMPARE(selection.first().left(), 1);
    QCOMPARE(selection.first().right(), 8);

    rig_->prompt.answers = {false};
    run({QStringLiteral("sel 2-2"), QStringLiteral("menu SelectAll"), QStringLiteral("menu Delete")});
    QCOMPARE(rig_->prompt.texts(),
             QStringList{QStringLiteral("Delete all data from the 1-th line to the 5-th line?")});
    rig_->prompt.answers = {true};
    run({QStringLiteral("A"), QStringLiteral("Del")});
    QCOMPARE(rig_->document->channel(0).count, 0);
    QCOMPARE(rig_->view->windowTitle(), QStringLiteral("Worksheet - Data Count:0"));
}

void WorksheetLinesTest::lineOperationsShowTheWaitCursorAndPutTheCursorBack()
{
    rig_->setCursor(4, 3);
    rig_->prompt.answers = {true};
    run({QStringLiteral("Del")});
    QCOMPARE(rig_->values(0), numbered({1, 2, 3, 5}));
    QCOMPARE(rig_->prompt.busyCount, 1);
    QCOMPARE(rig_->prompt.busyDepth, 0);
    QCOMPARE(rig_->cursor(), QPoint(3, 4));

    // Declined, the selection stays as it was.
    rig_->prompt.answers = {false};
    run({QStringLiteral("sel 1-3"), QStringLiteral("Del")});
    QCOMPARE(rig_->table()->selectionModel()->selectedIndexes().size(), 3);
    QCOMPARE(rig_->prompt.busyDepth, 0);
}

QTEST_MAIN(WorksheetLinesTest)
#include "WorksheetLinesTest.moc"
