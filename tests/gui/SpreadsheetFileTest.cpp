#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "app/CsvFileCommands.h"
#include "app/DocumentSession.h"
#include "model/CMainDoc.h"
#include "views/CGraphView.h"
#include "views/CGridView.h"
#include "views/CImportReportDlg.h"
#include "views/CommandRouter.h"
#include "views/WorksheetModel.h"
#include "views/WorksheetTable.h"

#include <QClipboard>
#include <QMdiArea>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

// Spreadsheet columns in the running program: a paste from the system clipboard into the worksheet
// and on into the graph, and File > Import CSV... and Export CSV...
class SpreadsheetFileTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void aPasteFromTheClipboardReachesTheDocumentTheGridAndTheGraph();
    void importCsvInsertsAFileThroughTheReport();
    void importSaysWhyAFileCannotBeRead();
    void exportWritesEveryChannelOrTheCurrentOne();

private:
    CGridView& grid() const { return *frame_->documents().gridView(); }
    CMainDoc& document() const { return *frame_->documents().document(); }
    QStringList values(int channel) const;

    std::unique_ptr<StartedProgram> program_;
    CMainFrame* frame_ = nullptr;
    QStringList reports_; // the findings of each report shown, joined by " / "
};

void SpreadsheetFileTest::init()
{
    QGuiApplication::clipboard()->clear();
    program_ = std::make_unique<StartedProgram>();
    QCOMPARE(program_->start(), CTessorApp::kRunning);
    frame_ = &program_->frame();
    frame_->show();
    reports_.clear();
    program_->services.onDialog = [this](QDialog& dialog) {
        auto* report = qobject_cast<CImportReportDlg*>(&dialog);
        if (!report)
            return int(QDialog::Rejected);
        QStringList findings;
        QTreeWidget* list = report->controls().findings;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            findings << list->topLevelItem(i)->text(CImportReportDlg::TextColumn);
        reports_ << findings.join(QStringLiteral(" / "));
        report->controls().ok->click();
        return report->result();
    };
}

void SpreadsheetFileTest::cleanup()
{
    frame_ = nullptr;
    program_.reset();
}

QStringList SpreadsheetFileTest::values(int channel) const
{
    QStringList list;
    const ChannelSequence& table = document().channel(channel);
    for (int i = 0; i < table.count; ++i)
        list << table.steps[i].value + QLatin1Char('|') + table.steps[i].interval;
    return list;
}

void SpreadsheetFileTest::aPasteFromTheClipboardReachesTheDocumentTheGridAndTheGraph()
{
    DocumentSession& documents = frame_->documents();
    frame_->mdiArea()->setActiveSubWindow(documents.worksheetWindow());
    WorksheetTable* table = grid().table(0);
    table->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("Current[A]\tInterval[s]\n1,5\t2\n2.5\t3\n"));
    QTest::keyClick(table, Qt::Key_V);

    QCOMPARE(program_->services.dialogsRun, 1);
    // A new document's channels are in CV, with three decimals.
    QCOMPARE(values(0), (QStringList{"1.500|2.0", "2.500|3.0"}));
    QCOMPARE(grid().model(0)->cellText(2, 2), QStringLiteral("2.500"));
    QCOMPARE(grid().model(0)->cellText(2, 1), QStringLiteral("5.0"));
    QCOMPARE(documents.worksheetWindow()->windowTitle(), QStringLiteral("Worksheet - Data Count:2"));
    const ChannelPlot& plot = documents.graphView()->plot(0);
    QCOMPARE(plot.count(), 2);
    QCOMPARE(plot.segment(1).endPoint(), plot.map(5.0, 2.5));

    // The frame's Paste key does the same where the worksheet is active.
    QVERIFY(frame_->router().trigger(CGridView::kEditPaste));
    QCOMPARE(values(0), (QStringList{"1.500|2.0", "2.500|3.0", "1.500|2.0", "2.500|3.0"}));
    QCOMPARE(documents.graphView()->plot(0).count(), 4);
    QVERIFY(document().isModified());
}

void SpreadsheetFileTest::importCsvInsertsAFileThroughTheReport()
{
    const QString csv = program_->folders.writeFile(
        QStringLiteral("profile.csv"), "CH1 Voltage[V],CH1 Interval[s],CH2 Current[A],CH2 Interval[s]\r\n"
                                       "5,1,0.25,0.7\r\n6,1\r\n");
    program_->services.openAnswers = {csv};
    QVERIFY(frame_->router().trigger(CsvFileCommands::IdImportCsv));
    const FileRequest& request = program_->services.openRequests.front();
    QCOMPARE(request.title, QStringLiteral("Import CSV"));
    QCOMPARE(request.filters.front().patterns,
             (QStringList{QStringLiteral("*.csv"), QStringLiteral("*.txt"), QStringLiteral("*.tsv")}));
    // A new document's channels are in CV: the current values of channel 2 are said to be so.
    QCOMPARE(reports_, QStringList{"The values are Current[A]; channel 2 takes Voltage[V]. / "
                                   "The interval 0.7 is stored as 0.5."});
    QCOMPARE(values(0), (QStringList{"5.000|1.0", "6.000|1.0"}));
    QCOMPARE(values(1), (QStringList{"0.250|0.5"}));
    QCOMPARE(frame_->documents().graphView()->plot(1).count(), 1);
}

void SpreadsheetFileTest::importSaysWhyAFileCannotBeRead()
{
    program_->services.openAnswers = {QStringLiteral("/dev/null"), program_->folders.filePath("gone.csv")};
    frame_->router().trigger(CsvFileCommands::IdImportCsv);
    frame_->router().trigger(CsvFileCommands::IdImportCsv);
    QCOMPARE(program_->prompt.texts(),
             (QStringList{"The file null cannot be imported: it is not a regular file.",
                          "The file gone.csv cannot be imported: No such file or directory"}));
    QCOMPARE(program_->services.dialogsRun, 0);
}

void SpreadsheetFileTest::exportWritesEveryChannelOrTheCurrentOne()
{
    QVERIFY(frame_->openDocumentFile(QStringLiteral(TESSOR_EXAMPLES_DIR "/cr-ramp-profile.tsr")));
    const QString all = program_->folders.filePath(QStringLiteral("all.csv"));
    const QString one = program_->folders.filePath(QStringLiteral("one.csv"));
    program_->services.saveAnswers = {all, one};
    program_->services.saveFilterAnswers = {0, 1};
    QVERIFY(frame_->router().trigger(CsvFileCommands::IdExportCsv));
    QVERIFY(frame_->router().trigger(CsvFileCommands::IdExportCsv));
    const FileRequest& request = program_->services.saveRequests.front();
    QCOMPARE(request.proposedName, QStringLiteral("cr-ramp-profile.csv"));
    QCOMPARE(request.filters[0].name, QStringLiteral("CSV File, every channel (*.csv)"));
    QCOMPARE(request.filters[1].name, QStringLiteral("CSV File, channel 1 only (*.csv)"));
    QFile allFile(all);
    QVERIFY(allFile.open(QIODevice::ReadOnly));
    QVERIFY(allFile.readLine().startsWith("CH1 Resistance[ohm] (CR),CH1 Interval[s] (Software Control),"));
    QFile oneFile(one);
    QVERIFY(oneFile.open(QIODevice::ReadOnly));
    QCOMPARE(oneFile.readLine(),
             QByteArray("Resistance[ohm] (CR),Interval[s] (Software Control),Transition,Load\r\n"));
    QCOMPARE(oneFile.readLine(), QByteArray("100.00000,10.0,Step,on\r\n"));

    // An empty channel gives no file.
    frame_->switchChannel(4);
    program_->services.saveAnswers = {program_->folders.filePath(QStringLiteral("empty.csv"))};
    program_->services.saveFilterAnswers = {1};
    frame_->router().trigger(CsvFileCommands::IdExportCsv);
    QCOMPARE(program_->prompt.texts(), QStringList{"There is no data to save."});
    QVERIFY(!QFile::exists(program_->folders.filePath(QStringLiteral("empty.csv"))));
}

QTEST_MAIN(SpreadsheetFileTest)
#include "SpreadsheetFileTest.moc"
