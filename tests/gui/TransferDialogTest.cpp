#include "TransferRig.h"
#include "app/MessageBoxPrompt.h"
#include "dialogs/CRangeDlg.h"
#include "dialogs/CTransferDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// The Transfer dialog against the simulated instrument: what it sends, says and stores, and the
// progress it shows while a transfer runs.
class TransferDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithTheStoredChoicesAndTheHiddenOptions();
    void theLastCheckedChannelStaysChecked();
    void writeIsDisabledWithoutADocument();
    void closeStoresTheDialogDataEscapeStoresNothing();
    void aStoredRepeatOutsideItsRangeRefusesWriteAndCloseButNotRead_data();
    void aStoredRepeatOutsideItsRangeRefusesWriteAndCloseButNotRead();
    void writesTheCheckedChannelsWithTheirExactCommands();
    void aChannelWithoutStepsStopsTheWriteBeforeAnythingIsSent();
    void aFailedWriteKeepsTheHiddenValuesAndTheChannelsWritten();
    void readsTheCheckedChannelsIntoANewDocument();
    void aFailedReadKeepsWhatWasReadAndShowsIt();
    void cancellingTheSaveQuestionReadsNothing();
    void progressFollowsTheStepsOfAWriteAndARead();
    void progressGoesWhenTheTransferFailsMidway();
    void duringATransferInputIsDroppedAndNoTimerRuns();
    void noMnemonicActsDuringATransfer_data();
    void noMnemonicActsDuringATransfer();
    void aTransferInsideAnotherLeavesTheHoldOffToTheOuterOne();

private:
    std::unique_ptr<CTransferDlg> dialog();
    // Two channels of a Hardware Control document: channel 1 in CC, channel 3 in CR.
    void twoChannelDocument();

    std::unique_ptr<TransferRig> rig_;
};

void TransferDialogTest::init()
{
    rig_ = std::make_unique<TransferRig>();
    QVERIFY(rig_->connectInstrument());
}

void TransferDialogTest::cleanup()
{
    rig_.reset();
}

std::unique_ptr<CTransferDlg> TransferDialogTest::dialog()
{
    auto dialog = std::make_unique<CTransferDlg>(
        rig_->loader, CTransferDlg::Context{rig_->settings, rig_->current, rig_->procedures, rig_->prompt,
                                            &rig_->progress});
    if (!dialog->isComplete())
        qWarning("%s", qPrintable(dialog->templateProblems()));
    return dialog;
}

void TransferDialogTest::twoChannelDocument()
{
    rig_->settings.ModeChHard = {ModeCC, ModeCC, ModeCR, ModeCC, ModeCC};
    rig_->settings.deriveActiveValues();
    rig_->settings.RepeatCh[0] = 3;
    rig_->settings.OutOffChHard[0] = 0;
    rig_->settings.OutOffChHard[2] = 1;
    rig_->setSteps(0, {"1.500", "2.250"});
    rig_->setSteps(2, {"4.00000", "0.00000"});
    rig_->settings.Ch = {1, 0, 1, 0, 0};
}

void TransferDialogTest::opensWithTheStoredChoicesAndTheHiddenOptions()
{
    rig_->settings.Ch = {0, 1, 0, 1, 0};
    rig_->settings.Repeat = 25;
    rig_->settings.WriteProgNo = 4;
    rig_->settings.ReadProgNo = 2;
    rig_->settings.CurrRange = 1;
    rig_->settings.nVoltRange = 2;
    rig_->settings.OffCurr = 0.5;
    auto transfer = dialog();
    QVERIFY(transfer->isComplete());
    QCOMPARE(transfer->windowTitle(), QStringLiteral("Transfer"));
    const CTransferDlg::Controls& c = transfer->controls();
    QCOMPARE(c.channels[0]->text(), QStringLiteral("Channel1"));
    QCOMPARE(c.write->text(), QStringLiteral("&Run"));
    QCOMPARE(c.read->text(), QStringLiteral("R&un"));
    QCOMPARE(c.close->text(), QStringLiteral("Close"));
    for (int ch = 0; ch < kChannelCount; ++ch)
        QCOMPARE(c.channels[ch]->isChecked(), ch == 1 || ch == 3);
    // The options of other instrument families are there, hidden, with the stored values.
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{c.repeat, c.writeProgram, c.readProgram, c.outOff, c.offCurrent,
                                         c.currentRange, c.voltageRange, c.eraseAll})
        QVERIFY(!hidden->isVisibleTo(transfer.get()));
    QCOMPARE(c.repeat->text(), QStringLiteral("25"));
    QCOMPARE(c.repeat->toolTip(), QStringLiteral("1 to 9999"));
    QCOMPARE(c.writeProgram->currentText(), QStringLiteral("4"));
    QCOMPARE(c.readProgram->currentText(), QStringLiteral("2"));
    QCOMPARE(c.currentRange->currentText(), QStringLiteral("Low"));
    QCOMPARE(c.voltageRange->currentText(), QStringLiteral("High"));
    QCOMPARE(c.offCurrent->text(), QStringLiteral("0.5"));
}

void TransferDialogTest::theLastCheckedChannelStaysChecked()
{
    rig_->settings.Ch = {0, 0, 1, 0, 0};
    auto transfer = dialog();
    const CTransferDlg::Controls& c = transfer->controls();
    QTest::mouseClick(c.channels[2], Qt::LeftButton);
    QVERIFY(c.channels[2]->isChecked());
    c.channels[4]->click();
    c.channels[2]->click();
    QVERIFY(!c.channels[2]->isChecked());
    c.channels[4]->click();
    QVERIFY(c.channels[4]->isChecked());
    c.close->click();
    QCOMPARE(rig_->settings.Ch, (ChannelFlags{0, 0, 0, 0, 1}));
}

void TransferDialogTest::writeIsDisabledWithoutADocument()
{
    rig_->current.clear();
    QVERIFY(!dialog()->controls().write->isEnabled());
    rig_->current.set(rig_->document.get());
    QVERIFY(dialog()->controls().write->isEnabled());
}

void TransferDialogTest::closeStoresTheDialogDataEscapeStoresNothing()
{
    rig_->settings.Ch = {1, 1, 1, 1, 1};
    rig_->settings.ReadProgNo = 3;
    {
        auto transfer = dialog();
        transfer->controls().channels[0]->click();
        transfer->controls().channels[3]->click();
        transfer->show();
        QTest::keyClick(transfer.get(), Qt::Key_Escape);
        QCOMPARE(transfer->result(), int(QDialog::Rejected));
    }
    QCOMPARE(rig_->settings.Ch, (ChannelFlags{1, 1, 1, 1, 1}));

    auto transfer = dialog();
    transfer->controls().channels[0]->click();
    transfer->controls().channels[3]->click();
    transfer->controls().close->click();
    QCOMPARE(transfer->result(), int(QDialog::Accepted));
    QCOMPARE(rig_->settings.Ch, (ChannelFlags{0, 1, 1, 0, 1}));
    // Stored back unchanged.
    QCOMPARE(rig_->settings.ReadProgNo, 3);
    QCOMPARE(rig_->settings.Repeat, 1);
    QVERIFY(rig_->prompt.texts().isEmpty());
    QVERIFY(rig_->sent().isEmpty());
}

void TransferDialogTest::aStoredRepeatOutsideItsRangeRefusesWriteAndCloseButNotRead_data()
{
    QTest::addColumn<int>("repeat");
    QTest::newRow("zero") << 0;
    QTest::newRow("above 9999") << 10000;
    QTest::newRow("negative") << -5;
}

void TransferDialogTest::aStoredRepeatOutsideItsRangeRefusesWriteAndCloseButNotRead()
{
    QFETCH(int, repeat);
    rig_->settings.Repeat = repeat;
    rig_->settings.WriteProgNo = 5;
    rig_->setSteps(0, {"1.000"});
    rig_->settings.Ch = {1, 0, 0, 0, 0};
    const QString rangeMessage = QStringLiteral("Enter an integer between 1 and 9999.");
    auto transfer = dialog();
    transfer->controls().write->click();
    QCOMPARE(rig_->prompt.texts(), QStringList{rangeMessage});
    QVERIFY(rig_->sent().isEmpty());
    // Nothing stored.
    QCOMPARE(rig_->settings.WriteProgNo, 5);
    QCOMPARE(rig_->settings.Repeat, repeat);

    rig_->prompt.clear();
    transfer->controls().channels[1]->click();
    transfer->controls().close->click();
    QCOMPARE(rig_->prompt.texts(), QStringList{rangeMessage});
    // The dialog stays open.
    QCOMPARE(transfer->result(), int(QDialog::Rejected));
    QCOMPARE(rig_->settings.Ch, (ChannelFlags{1, 0, 0, 0, 0}));

    rig_->prompt.clear();
    transfer->controls().channels[1]->click();
    transfer->controls().read->click();
    QCOMPARE(rig_->creates, 1);
    QVERIFY(rig_->sent().contains(QStringLiteral("PROG:FSP:END?")));
    QVERIFY(!rig_->prompt.texts().contains(rangeMessage));
}

void TransferDialogTest::writesTheCheckedChannelsWithTheirExactCommands()
{
    twoChannelDocument();
    rig_->settings.WriteProgNo = 1;
    auto transfer = dialog();
    transfer->controls().write->click();
    const QStringList identify{"*IDN?", "*CLS;:INP:PROT:CLE"};
    const QStringList expected = identify +
                                 QStringList{"INST:NSEL 1;:INST:COUP NONE",
                                             "FUNC CC",
                                             "PROG:FSP:END 2",
                                             "PROG:LVAL 0",
                                             "PROG:FSP:EDIT 1,1.500,0,10.000",
                                             "SYST:ERR?",
                                             "PROG:FSP:EDIT 2,2.250,0,10.000",
                                             "SYST:ERR?",
                                             "PROG:FSP:EDIT 3,0,0,0",
                                             "PROG:LOOP 3",
                                             "SYST:ERR?",
                                             "PROG:LINP ON"} +
                                 identify +
                                 QStringList{"INST:NSEL 3;:INST:COUP NONE",
                                             "FUNC CR",
                                             "PROG:FSP:END 2",
                                             "PROG:LVAL 0",
                                             "PROG:FSP:EDIT 1,0.25000000,0,10.000",
                                             "SYST:ERR?",
                                             "PROG:FSP:EDIT 2,0.00000000,0,10.000",
                                             "SYST:ERR?",
                                             "PROG:FSP:EDIT 3,0,0,0",
                                             "PROG:LOOP 1",
                                             "SYST:ERR?",
                                             "PROG:LINP OFF"};
    QCOMPARE(rig_->sent(), expected);
    QCOMPARE(rig_->prompt.texts(), QStringList{"Succeed to writing"});
    QCOMPARE(rig_->prompt.entries[0].icon, UserPrompt::Icon::Information);
    QCOMPARE(rig_->settings.RunCh, (ChannelFlags{1, 0, 1, 0, 0}));
    QCOMPARE(rig_->settings.RunProgNo, 1);
    QCOMPARE(rig_->runWindow.size(), size_t(1));
    QCOMPARE(rig_->runWindow[0][0].stepTotal, QStringLiteral("/ 2"));
    QCOMPARE(rig_->runWindow[0][0].loopTotal, QStringLiteral("/ 3"));
    QVERIFY(!rig_->runWindow[0][1].active);
    // The dialog stays open.
    QCOMPARE(transfer->result(), int(QDialog::Rejected));
    QCOMPARE(rig_->prompt.busyDepth, 0);
}

void TransferDialogTest::aChannelWithoutStepsStopsTheWriteBeforeAnythingIsSent()
{
    rig_->setSteps(1, {"1.000", "2.000"});
    rig_->settings.Ch = {0, 1, 0, 1, 0};
    rig_->settings.RunCh = {1, 1, 1, 1, 1};
    auto transfer = dialog();
    transfer->controls().write->click();
    QCOMPARE(rig_->prompt.texts(), QStringList{"Channel 4 does not have data."});
    QVERIFY(rig_->sent().isEmpty());
    QCOMPARE(rig_->settings.RunCh, (ChannelFlags{1, 1, 1, 1, 1}));
    // No progress for a write that never started.
    QVERIFY(rig_->display.shown.isEmpty());
}

void TransferDialogTest::aFailedWriteKeepsTheHiddenValuesAndTheChannelsWritten()
{
    twoChannelDocument();
    rig_->settings.Ch = {1, 0, 1, 0, 0};
    rig_->settings.RunCh = {7, 7, 7, 7, 7};
    rig_->settings.Repeat = 12;
    rig_->settings.RunProgNo = 9;
    rig_->line->failWriteOf = QStringLiteral("INST:NSEL 3;");
    auto transfer = dialog();
    transfer->controls().write->click();
    QCOMPARE(rig_->prompt.texts(), QStringList{rig_->portMessage(CRs232cPort::WriteFailed)});
    QCOMPARE(rig_->settings.RunCh, (ChannelFlags{1, 0, 7, 7, 7}));
    QCOMPARE(rig_->settings.Repeat, 12);
    // Set only after a complete write.
    QCOMPARE(rig_->settings.RunProgNo, 9);
    QVERIFY(rig_->runWindow.empty());
    QCOMPARE(rig_->prompt.busyDepth, 0);
    QCOMPARE(transfer->result(), int(QDialog::Rejected));
}

void TransferDialogTest::readsTheCheckedChannelsIntoANewDocument()
{
    rig_->simulator.handleLine(QStringLiteral(
        "INST:NSEL 2;:FUNC CR;:PROG:FSP:END 2;:PROG:FSP:EDIT 1,0.5,0,3;:PROG:FSP:EDIT 2,0,0,1.5;"
        ":PROG:LOOP 6;:PROG:LINP ON"));
    rig_->simulator.handleLine(QStringLiteral("INST:NSEL 5;:FUNC CC;:PROG:FSP:END 1;:PROG:FSP:EDIT 1,2,0,4"));
    rig_->simulator.clearTranscript();
    rig_->setSteps(0, {"9.000"});
    rig_->settings.Ch = {0, 1, 0, 0, 1};
    rig_->settings.ReadProgNo = 4;
    CMainDoc* old = rig_->document.get();
    auto transfer = dialog();
    transfer->controls().read->click();

    const QStringList identify{"*IDN?", "*CLS;:INP:PROT:CLE"};
    const QStringList head{"FUNC?", "PROG:LOOP?", "PROG:LINP?", "PROG:LVAL?", "PROG:FSP:END?"};
    const QStringList expected = identify + QStringList{"INST:NSEL 2"} + head +
                                 QStringList{"PROG:FSP:EDIT? 1", "PROG:FSP:EDIT? 2"} + identify +
                                 QStringList{"INST:NSEL 5"} + head + QStringList{"PROG:FSP:EDIT? 1"};
    QCOMPARE(rig_->sent(), expected);
    QCOMPARE(rig_->closes, 1);
    QCOMPARE(rig_->creates, 1);
    QVERIFY(rig_->current.get() != old);
    const CMainDoc& read = *rig_->current.get();
    QCOMPARE(read.channel(0).count, 0);
    QCOMPARE(read.channel(1).count, 2);
    QCOMPARE(read.channel(1).steps[0].value, QStringLiteral("2.00000"));
    QCOMPARE(read.channel(1).steps[1].value, QStringLiteral("0.00000"));
    QCOMPARE(read.channel(1).steps[1].interval, QStringLiteral("1.500"));
    QCOMPARE(read.channel(4).steps[0].value, QStringLiteral("2"));
    QCOMPARE(rig_->settings.ModeChHard[1], int(ModeCR));
    QCOMPARE(rig_->settings.RepeatCh[1], 6);
    QCOMPARE(rig_->settings.OutOffChHard[1], 0);
    QCOMPARE(rig_->settings.RunCh, (ChannelFlags{0, 1, 0, 0, 1}));
    QCOMPARE(rig_->settings.ReadProgNo, 4);
    QCOMPARE(rig_->refreshes, 1);
    QCOMPARE(rig_->runWindow.size(), size_t(1));
    QCOMPARE(rig_->runWindow[0][4].stepTotal, QStringLiteral("/ 1"));
    // A read ends without a message.
    QVERIFY(rig_->prompt.texts().isEmpty());
    // A document now exists, so the write is offered.
    QVERIFY(transfer->controls().write->isEnabled());
}

void TransferDialogTest::aFailedReadKeepsWhatWasReadAndShowsIt()
{
    rig_->simulator.handleLine(QStringLiteral("INST:NSEL 1;:FUNC CC;:PROG:FSP:END 1;:PROG:FSP:EDIT 1,1,0,2"));
    rig_->simulator.clearTranscript();
    rig_->settings.Ch = {1, 1, 1, 0, 0};
    rig_->settings.RunCh = {7, 7, 7, 7, 7};
    rig_->settings.ReadProgNo = 1;
    rig_->line->failWriteOf = QStringLiteral("INST:NSEL 2");
    auto transfer = dialog();
    transfer->controls().readProgram->setCurrentIndex(6);
    transfer->controls().read->click();
    QCOMPARE(rig_->prompt.texts(), QStringList{rig_->portMessage(CRs232cPort::WriteFailed)});
    // Later channels are not read.
    QVERIFY(rig_->sent().filter(QStringLiteral("INST:NSEL 3")).isEmpty());
    QCOMPARE(rig_->current.get()->channel(0).count, 1);
    // The new document's windows show the channel read.
    QCOMPARE(rig_->refreshes, 1);
    QVERIFY(rig_->runWindow.empty());
    QCOMPARE(rig_->settings.RunCh, (ChannelFlags{1, 7, 7, 7, 7}));
    // Stored when the read began.
    QCOMPARE(rig_->settings.ReadProgNo, 7);
    // The channel choice waits for Close.
    QCOMPARE(rig_->settings.Ch, (ChannelFlags{1, 1, 1, 0, 0}));
    QCOMPARE(rig_->prompt.busyDepth, 0);
}

void TransferDialogTest::cancellingTheSaveQuestionReadsNothing()
{
    rig_->allowClose = false;
    rig_->settings.RunCh = {7, 7, 7, 7, 7};
    CMainDoc* old = rig_->document.get();
    auto transfer = dialog();
    transfer->controls().read->click();
    QCOMPARE(rig_->closes, 1);
    QCOMPARE(rig_->creates, 0);
    QCOMPARE(rig_->current.get(), old);
    QVERIFY(rig_->sent().isEmpty());
    QCOMPARE(rig_->settings.RunCh, (ChannelFlags{7, 7, 7, 7, 7}));
    QVERIFY(rig_->display.shown.isEmpty());
}

void TransferDialogTest::progressFollowsTheStepsOfAWriteAndARead()
{
    twoChannelDocument();
    auto transfer = dialog();
    bool shownWhileWriting = false;
    rig_->display.onShow = [&] { shownWhileWriting = rig_->progress.isRunning(); };
    transfer->controls().write->click();
    QVERIFY(shownWhileWriting);
    QCOMPARE(rig_->display.shown,
             (QStringList{"Writing channel 1: step 0 of 2", "Writing channel 1: step 1 of 2",
                          "Writing channel 1: step 2 of 2", "Writing channel 3: step 0 of 2",
                          "Writing channel 3: step 1 of 2", "Writing channel 3: step 2 of 2"}));
    QVERIFY(!rig_->display.visible);
    QCOMPARE(rig_->display.hides, 1);

    rig_->display.shown.clear();
    transfer->controls().read->click();
    QCOMPARE(rig_->display.shown,
             (QStringList{"Reading channel 1: step 0 of 2", "Reading channel 1: step 1 of 2",
                          "Reading channel 1: step 2 of 2", "Reading channel 3: step 0 of 2",
                          "Reading channel 3: step 1 of 2", "Reading channel 3: step 2 of 2"}));
    QVERIFY(!rig_->display.visible);
    QVERIFY(!rig_->progress.isRunning());
    QCOMPARE(rig_->progress.text(), QString());
}

void TransferDialogTest::progressGoesWhenTheTransferFailsMidway()
{
    rig_->setSteps(0, {"1.000", "2.000", "3.000"});
    rig_->settings.Ch = {1, 0, 0, 0, 0};
    rig_->line->failWriteOf = QStringLiteral("PROG:FSP:EDIT 2,");
    auto transfer = dialog();
    transfer->controls().write->click();
    QCOMPARE(rig_->display.shown,
             (QStringList{"Writing channel 1: step 0 of 3", "Writing channel 1: step 1 of 3"}));
    QCOMPARE(rig_->display.lastStep, 1);
    QCOMPARE(rig_->display.lastTotal, 3);
    QVERIFY(!rig_->display.visible);
    QVERIFY(!rig_->progress.isRunning());
    QCOMPARE(rig_->progress.text(), QString());
    // Step reports outside a transfer show nothing.
    rig_->progress.step(0, 1, 3);
    QCOMPARE(rig_->display.shown.size(), 2);
}

namespace {

// A window that counts its repaints.
class PaintProbe : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

} // namespace

void TransferDialogTest::duringATransferInputIsDroppedAndNoTimerRuns()
{
    rig_->setSteps(0, {"1.000", "2.000", "3.000"});
    rig_->settings.Ch = {1, 0, 0, 0, 0};
    auto transfer = dialog();
    transfer->show();
    PaintProbe probe;
    probe.resize(50, 50);
    probe.show();
    QVERIFY(QTest::qWaitForWindowExposed(&probe));
    QCoreApplication::processEvents();

    bool timerFired = false;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, [&] { timerFired = true; });
    timer.start(1);
    QStringList duringTransfer;
    int paintsBefore = 0;
    rig_->display.onShow = [&] {
        const int step = rig_->display.lastStep;
        if (step == 1) {
            // The user presses Close and Escape, and drops nothing else either.
            QTest::mouseClick(transfer->controls().close, Qt::LeftButton);
            QTest::keyClick(transfer.get(), Qt::Key_Escape);
            paintsBefore = probe.paints;
            probe.update();
            // The timer falls due now; it must wait for the end of the transfer.
            QThread::msleep(5);
        }
        if (step == 2) {
            // A wait on the line (an instrument slow to answer) keeps the windows painted too.
            QVERIFY(rig_->line->waitHook);
            const int paints = probe.paints;
            probe.update();
            rig_->line->waitHook();
            QVERIFY(probe.paints > paints);
        }
        duringTransfer << QStringLiteral("step %1 timer %2 visible %3")
                              .arg(step)
                              .arg(timerFired ? "fired" : "waiting")
                              .arg(transfer->isVisible() ? "yes" : "no");
    };
    transfer->controls().write->click();
    QCOMPARE(duringTransfer,
             (QStringList{"step 0 timer waiting visible yes", "step 1 timer waiting visible yes",
                          "step 2 timer waiting visible yes", "step 3 timer waiting visible yes"}));
    QVERIFY2(probe.paints > paintsBefore, "the windows repaint during the transfer");
    QVERIFY(!rig_->line->waitHook);
    QVERIFY(transfer->isVisible());
    QCOMPARE(transfer->result(), int(QDialog::Rejected));
    QCOMPARE(rig_->prompt.texts(), QStringList{"Succeed to writing"});

    // Afterwards the program is as responsive as before.
    QTRY_VERIFY(timerFired);
    QTest::keyClick(transfer.get(), Qt::Key_Escape);
    QVERIFY(!transfer->isVisible());
}

void TransferDialogTest::noMnemonicActsDuringATransfer_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("message");
    QTest::newRow("write") << "write"
                           << "Succeed to writing";
    // A read that fails on the line shows the port's message inside the transfer.
    QTest::newRow("read") << "read" << QString();
    QTest::newRow("ranges") << "ranges"
                            << "It succeeded in writing.";
}

void TransferDialogTest::noMnemonicActsDuringATransfer()
{
    QFETCH(QString, operation);
    QFETCH(QString, message);
    if (message.isEmpty())
        message = rig_->portMessage(CRs232cPort::WriteFailed);
    rig_->setSteps(0, {"1.000", "2.000"});
    rig_->settings.Ch = {1, 0, 0, 0, 0};
    rig_->settings.ChRange = {1, 0, 0, 0, 0};
    if (operation == QLatin1String("read"))
        rig_->line->failWriteOf = QStringLiteral("PROG:FSP:END?");
    std::unique_ptr<TemplateDialog> window;
    QList<QPushButton*> buttons;
    QPushButton* start = nullptr;
    if (operation == QLatin1String("ranges")) {
        auto ranges = std::make_unique<CRangeDlg>(rig_->loader, RangeData::fromSettings(rig_->settings),
                                                  rig_->procedures, &rig_->progress);
        start = ranges->controls().write;
        buttons = {ranges->controls().write, ranges->controls().close};
        window = std::move(ranges);
    } else {
        auto transfer = dialog();
        const CTransferDlg::Controls& c = transfer->controls();
        start = operation == QLatin1String("write") ? c.write : c.read;
        buttons = {c.write, c.read, c.close};
        window = std::move(transfer);
    }
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));

    // While the transfer runs the user presses every mnemonic of both dialogs; then the transfer's
    // message is shown in a real message box, whose event loop runs whatever those keys set off.
    QStringList buttonsDuringTransfer;
    QWidget* focusBefore = nullptr;
    QWidget* focusAfter = nullptr;
    int boxes = 0;
    rig_->prompt.whileShown = [&](const QString& text) {
        if (++boxes == 1) {
            for (QPushButton* button : buttons)
                buttonsDuringTransfer << (button->isEnabled() ? "enabled" : "disabled");
            // The lists' labels of the range dialog move the focus with Alt+C and Alt+V.
            focusBefore = QApplication::focusWidget();
            for (const Qt::Key key : {Qt::Key_R, Qt::Key_U, Qt::Key_W, Qt::Key_C, Qt::Key_V}) {
                QWidget* focus = QApplication::focusWidget();
                QTest::keyClick(focus ? focus : window.get(), key, Qt::AltModifier);
            }
            focusAfter = QApplication::focusWidget();
        }
        // A box closes once a click those keys may have started (100 ms) has had its time.
        QTimer closer;
        connect(&closer, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->done(QMessageBox::Ok);
        });
        closer.start(400);
        MessageBoxPrompt shown;
        shown.setParentWindow(window.get());
        shown.showMessage(text);
    };
    QTest::mouseClick(start, Qt::LeftButton);
    rig_->prompt.whileShown = nullptr;

    // One operation: one identification, one message.
    QCOMPARE(rig_->sent().count(QStringLiteral("*IDN?")), 1);
    QCOMPARE(boxes, 1);
    QCOMPARE(rig_->prompt.texts(), QStringList{message});
    QCOMPARE(buttonsDuringTransfer, QStringList(buttons.size(), QStringLiteral("disabled")));
    QCOMPARE(focusAfter, focusBefore);
    // Afterwards the dialog is as it was.
    QVERIFY(window->isVisible());
    for (QPushButton* button : buttons)
        QVERIFY(button->isEnabled());
    QVERIFY(!rig_->progress.isRunning());
}

void TransferDialogTest::aTransferInsideAnotherLeavesTheHoldOffToTheOuterOne()
{
    QPushButton button;
    {
        const TransferProgress::Scope outer(&rig_->progress, TransferProgress::Direction::Writing, {&button});
        {
            const TransferProgress::Scope inner(&rig_->progress, TransferProgress::Direction::Reading,
                                                {&button});
        }
        QVERIFY(rig_->progress.isRunning());
        QVERIFY(!button.isEnabled());
    }
    QVERIFY(!rig_->progress.isRunning());
    QVERIFY(button.isEnabled());
}

QTEST_MAIN(TransferDialogTest)
#include "TransferDialogTest.moc"
