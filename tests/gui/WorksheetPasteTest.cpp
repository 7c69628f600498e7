#include "WorksheetRig.h"
#include "views/CDecimalEdit.h"
#include "views/CImportReportDlg.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

// Paste of spreadsheet columns from the system clipboard: which of the clipboard and the copy buffer
// Paste takes, the change report, the insertion and its Undo.
class WorksheetPasteTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void pasteTakesTheNewerOfClipboardAndCopyBuffer_data();
    void pasteTakesTheNewerOfClipboardAndCopyBuffer();
    void theReportListsEveryChangeWithItsLine();
    void undoTakesBackAPasteAsOneOperation();
    void channelGroupsGoToTheirChannelsAndComeBackTogether();
    void aSingleColumnAsksForTheInterval();
    void theStepLimitRefusesRowsAndKeepsEveryStep();

private:
    // Runs a script: "clip TEXT" puts TEXT on the clipboard as another program would, "sel 2-3"
    // selects lines, "menu Paste", "menu Delete", "menu Copy" run the menu's commands, "ctrl+v" the
    // frame's Paste key, anything else is a key ("Del", "v", "z", "c").
    void run(const QStringList& script);
    // The report of the last dialog, one line per finding: "line|channel|kind|text".
    QStringList reportLines() const { return report_; }

    std::unique_ptr<WorksheetRig> rig_;
    std::deque<bool> dialogAnswers_; // Insert (true) or Cancel; Cancel when empty
    QStringList report_;
    QString summary_;
    QString counts_;
    QString source_;
    std::function<void(CImportReportDlg&)> whileReportShown_;
};

namespace {

QStringList numbered(std::initializer_list<int> numbers)
{
    QStringList values;
    for (int n : numbers)
        values << QStringLiteral("%1.0000").arg(n);
    return values;
}

} // namespace

void WorksheetPasteTest::init()
{
    rig_ = std::make_unique<WorksheetRig>();
    rig_->loadNumberedSteps(0, 5);
    rig_->graph.calls.clear();
    rig_->prompt.clear();
    dialogAnswers_.clear();
    whileReportShown_ = nullptr;
    rig_->onDialog = [this](QDialog& dialog) {
        auto* report = qobject_cast<CImportReportDlg*>(&dialog);
        if (!report)
            return int(QDialog::Rejected);
        if (whileReportShown_)
            whileReportShown_(*report);
        const CImportReportDlg::Controls& controls = report->controls();
        report_.clear();
        for (int i = 0; i < controls.findings->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = controls.findings->topLevelItem(i);
            QStringList columns;
            for (int column = 0; column < controls.findings->columnCount(); ++column) {
                if (!controls.findings->isColumnHidden(column))
                    columns << item->text(column);
            }
            report_ << columns.join(QLatin1Char('|'));
        }
        summary_ = controls.summary->text();
        counts_ = controls.counts->text();
        source_ = controls.source->text();
        const bool insert = !dialogAnswers_.empty() && dialogAnswers_.front();
        if (!dialogAnswers_.empty())
            dialogAnswers_.pop_front();
        // The buttons decide, as the user's click would: a disabled Insert cannot be pressed.
        (insert && controls.ok->isEnabled() ? controls.ok : controls.cancel)->click();
        return report->result();
    };
}

void WorksheetPasteTest::cleanup()
{
    rig_.reset();
}

void WorksheetPasteTest::run(const QStringList& script)
{
    for (const QString& step : script) {
        if (step.startsWith(QLatin1String("clip "))) {
            QGuiApplication::clipboard()->setText(step.mid(5));
        } else if (step.startsWith(QLatin1String("sel "))) {
            const QStringList range = step.mid(4).split(QLatin1Char('-'));
            rig_->selectLines(range.at(0).toInt(), range.at(1).toInt());
        } else if (step == QLatin1String("menu Paste")) {
            rig_->command(CGridView::IdPaste);
        } else if (step == QLatin1String("menu Delete")) {
            rig_->command(CGridView::IdDelete);
        } else if (step == QLatin1String("menu Copy")) {
            rig_->command(CGridView::IdCopy);
        } else if (step == QLatin1String("ctrl+v")) {
            QVERIFY(rig_->command(CGridView::kEditPaste));
        } else if (step == QLatin1String("Del")) {
            rig_->key(Qt::Key_Delete);
        } else {
            rig_->key(Qt::Key_A + (step.at(0).toUpper().unicode() - 'A'));
        }
    }
}

void WorksheetPasteTest::pasteTakesTheNewerOfClipboardAndCopyBuffer_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("answers"); // y/n for the prompt's questions, then I/C for the report
    QTest::addColumn<QStringList>("prompts");
    QTest::addColumn<int>("reports");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<bool>("modified");

    const QString insert3 =
        QStringLiteral("Step data from the 3-th line will be inserted into the 1-th line.");
    QTest::newRow("nothing copied: the clipboard")
        << QStringList{"clip 7\t1", "sel 2-2", "v"} << "I" << QStringList() << 1
        << numbered({1, 7, 2, 3, 4, 5}) << true;
    QTest::newRow("the worksheet's own copy: the buffer")
        << QStringList{"sel 1-1", "c", "sel 3-3", "v"} << "y"
        << QStringList{"Data in the 1-th line has been copied.", insert3} << 0 << numbered({1, 2, 1, 3, 4, 5})
        << true;
    QTest::newRow("copied elsewhere after the worksheet's copy: the clipboard")
        << QStringList{"sel 1-1", "c", "clip 9\t1", "sel 3-3", "v"} << "I"
        << QStringList{"Data in the 1-th line has been copied."} << 1 << numbered({1, 2, 9, 3, 4, 5}) << true;
    QTest::newRow("deleted after the clipboard changed: the buffer")
        << QStringList{"clip 9\t1", "sel 2-2", "Del", "sel 1-1", "menu Paste"} << "y"
        << QStringList{"Delete all data from the 2-th line?"} << 0 << numbered({1, 2, 3, 4, 5}) << true;
    QTest::newRow("the frame's Paste key") << QStringList{"clip 8\t1\n9\t1", "sel 6-6", "ctrl+v"} << "I"
                                           << QStringList() << 1 << numbered({1, 2, 3, 4, 5, 8, 9}) << true;
    QTest::newRow("the report cancelled") << QStringList{"clip 9\t1", "sel 2-2", "v"} << "C" << QStringList()
                                          << 1 << numbered({1, 2, 3, 4, 5}) << false;
    QTest::newRow("text that is no columns") << QStringList{"clip hello", "sel 2-2", "v"} << "I"
                                             << QStringList() << 1 << numbered({1, 2, 3, 4, 5}) << false;
    QTest::newRow("below the entry row") << QStringList{"clip 9\t1", "sel 8-8", "v"} << "I" << QStringList()
                                         << 0 << numbered({1, 2, 3, 4, 5}) << false;
}

void WorksheetPasteTest::pasteTakesTheNewerOfClipboardAndCopyBuffer()
{
    QFETCH(QStringList, script);
    QFETCH(QString, answers);
    QFETCH(QStringList, prompts);
    QFETCH(int, reports);
    QFETCH(QStringList, values);
    QFETCH(bool, modified);
    for (const QChar c : answers) {
        if (c == QLatin1Char('y') || c == QLatin1Char('n'))
            rig_->prompt.answers.push_back(c == QLatin1Char('y'));
        else
            dialogAnswers_.push_back(c == QLatin1Char('I'));
    }

    run(script);
    QCOMPARE(rig_->prompt.texts(), prompts);
    QCOMPARE(rig_->dialogsRun, reports);
    QCOMPARE(rig_->values(0), values);
    for (int line = 1; line <= values.size(); ++line)
        QCOMPARE(rig_->cell(line, 2), values[line - 1]);
    QCOMPARE(rig_->view->windowTitle(), QStringLiteral("Worksheet - Data Count:%1").arg(values.size()));
    QCOMPARE(rig_->document->isModified(), modified);
}

void WorksheetPasteTest::theReportListsEveryChangeWithItsLine()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("Current[A]\tInterval[s]\tTransition\tLoad\n"
                                                         "1\t0.7\tramp\tOFF\n"
                                                         "x\t1\n"
                                                         "\n"
                                                         "2,25\t1\n"
                                                         "3\t1000.2\n"));
    dialogAnswers_ = {true};
    run({QStringLiteral("sel 6-6"), QStringLiteral("v")});
    QCOMPARE(source_, QStringLiteral("From the clipboard: TAB-separated columns."));
    QCOMPARE(summary_, QStringLiteral("2 steps will be inserted into channel 1 at line 6."));
    QCOMPARE(reportLines(), (QStringList{"2|changed|The interval 0.7 is stored as 0.5.",
                                         "3|refused|The value \"x\" is not a number.",
                                         "6|refused|The interval 1000.2 is outside 0.5 to 999.5 s."}));
    QCOMPARE(counts_, QStringLiteral("4 rows: 1 changed, 2 refused."));
    QCOMPARE(rig_->steps(0).mid(5), (QStringList{"1.0000|0.5|1|0", "2.2500|1.0|0|1"}));
    QCOMPARE(rig_->cell(7, 1), QStringLiteral("6.5"));
    QCOMPARE(rig_->cell(6, 4), QStringLiteral("Ramp"));
    QCOMPARE(rig_->cell(6, 5), QStringLiteral("off"));
}

void WorksheetPasteTest::undoTakesBackAPasteAsOneOperation()
{
    const QStringList before = rig_->steps(0);
    QGuiApplication::clipboard()->setText(QStringLiteral("7,1\n8,2\n9,3\n"));
    dialogAnswers_ = {true};
    run({QStringLiteral("sel 2-4"), QStringLiteral("v")});
    QCOMPARE(rig_->values(0), numbered({1, 7, 8, 9, 2, 3, 4, 5}));
    QCOMPARE(rig_->graph.calls, QStringList{QStringLiteral("channelRebuilt 0")});
    QVERIFY(rig_->isEnabled(CGridView::IdUndo));

    rig_->prompt.answers = {true};
    run({QStringLiteral("z")});
    QCOMPARE(rig_->prompt.texts(), QStringList{QStringLiteral("Undo insertion?")});
    QCOMPARE(rig_->steps(0), before);
    QCOMPARE(rig_->cell(5, 1), QStringLiteral("5.0"));
    QCOMPARE(rig_->view->windowTitle(), QStringLiteral("Worksheet - Data Count:5"));
    QVERIFY(!rig_->isEnabled(CGridView::IdUndo));
}

void WorksheetPasteTest::channelGroupsGoToTheirChannelsAndComeBackTogether()
{
    rig_->loadNumberedSteps(2, 2);
    QGuiApplication::clipboard()->setText(QStringLiteral(
        "CH1 Current[A];CH1 Interval[s];CH3 Resistance[ohm];CH3 Interval[s]\n7;1;8,5;2\n;;9;2\n"));
    dialogAnswers_ = {true};
    run({QStringLiteral("sel 2-2"), QStringLiteral("v")});
    QCOMPARE(summary_, QStringLiteral("1 steps will be inserted into channel 1 at line 6.\n"
                                      "2 steps will be inserted into channel 3 at line 3."));
    QCOMPARE(rig_->values(0), numbered({1, 2, 3, 4, 5, 7}));
    QCOMPARE(rig_->values(2), (QStringList{"1.0000", "2.0000", "8.50000", "9.00000"}));
    QCOMPARE(rig_->graph.calls, (QStringList{"channelRebuilt 0", "channelRebuilt 2"}));

    // Undo takes back both channels at once, whichever is shown.
    rig_->switchChannel(1);
    QVERIFY(rig_->isEnabled(CGridView::IdUndo));
    rig_->prompt.answers = {true};
    run({QStringLiteral("z")});
    QCOMPARE(rig_->values(0), numbered({1, 2, 3, 4, 5}));
    QCOMPARE(rig_->values(2), (QStringList{"1.0000", "2.0000"}));
    QVERIFY(rig_->document->channel(0).steps[5].value.isEmpty());
    QVERIFY(!rig_->isEnabled(CGridView::IdUndo));

    // A change to one of the channels since ends what can be undone.
    dialogAnswers_ = {true};
    rig_->switchChannel(0);
    run({QStringLiteral("sel 2-2"), QStringLiteral("v")});
    QVERIFY(rig_->isEnabled(CGridView::IdUndo));
    rig_->prompt.answers = {true};
    run({QStringLiteral("sel 1-1"), QStringLiteral("Del")});
    rig_->switchChannel(2);
    QVERIFY(!rig_->isEnabled(CGridView::IdUndo));
}

void WorksheetPasteTest::aSingleColumnAsksForTheInterval()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("3\n4\n"));
    bool askedFirst = false;
    whileReportShown_ = [&](CImportReportDlg& report) {
        const CImportReportDlg::Controls& controls = report.controls();
        askedFirst = !controls.interval->isHidden() && !controls.ok->isEnabled();
        QTest::keyClicks(controls.interval, QStringLiteral("1.8"));
    };
    dialogAnswers_ = {true};
    run({QStringLiteral("sel 6-6"), QStringLiteral("v")});
    QVERIFY(askedFirst);
    QCOMPARE(rig_->steps(0).mid(5), (QStringList{"3.0000|2.0|0|1", "4.0000|2.0|0|1"}));
    QCOMPARE(reportLines(),
             (QStringList{"|note|Every step lasts 2.0 s.", "|changed|The interval 1.8 is stored as 2.0."}));
}

void WorksheetPasteTest::theStepLimitRefusesRowsAndKeepsEveryStep()
{
    rig_->settings.SeqCtl = HardwareControl;
    rig_->view->applyControlMethod();
    rig_->loadNumberedSteps(0, 250);
    QString rows;
    for (int i = 1; i <= 10; ++i)
        rows += QStringLiteral("%1.5\t1\n").arg(i);
    QGuiApplication::clipboard()->setText(rows);
    dialogAnswers_ = {true};
    run({QStringLiteral("sel 100-100"), QStringLiteral("v")});
    QCOMPARE(reportLines(), QStringList{"6 to 10|refused|Past the step limit of 255 steps."});
    QCOMPARE(rig_->document->channel(0).count, 255);
    QCOMPARE(rig_->values(0).at(99), QStringLiteral("1.5000"));
    QCOMPARE(rig_->values(0).at(103), QStringLiteral("5.5000"));
    QCOMPARE(rig_->steps(0).at(100), QStringLiteral("2.5000|1.000|0|1"));
    // Every step that was there is still there.
    QCOMPARE(rig_->values(0).at(104), QStringLiteral("100.0000"));
    QCOMPARE(rig_->values(0).last(), QStringLiteral("250.0000"));
}

QTEST_MAIN(WorksheetPasteTest)
#include "WorksheetPasteTest.moc"
