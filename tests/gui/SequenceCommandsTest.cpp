#include "FaultLine.h"
#include "GuiTestSupport.h"
#include "KdrxSimulator.h"
#include "SimulatorSerialLine.h"
#include "TransferRig.h"
#include "app/CMainFrame.h"
#include "app/DocumentSession.h"
#include "app/SequenceDialogs.h"
#include "app/StatusPanes.h"
#include "dialogs/CModeDlg.h"
#include "dialogs/CRangeDlg.h"
#include "dialogs/CTransferDlg.h"
#include "model/CMainDoc.h"
#include "model/DecimalText.h"
#include "run/RunEngine.h"
#include "views/CommandRouter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QtTest>

namespace {

// Records what the status bar's message pane says each time the transfer's progress bar is painted.
class PaintedProgress : public QObject {
public:
    PaintedProgress(QProgressBar* bar, StatusPanes& panes) : panes_(panes) { bar->installEventFilter(this); }
    QStringList texts;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            const QString text = panes_.text(0);
            if (texts.isEmpty() || texts.last() != text)
                texts << text;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    StatusPanes& panes_;
};

// Drives the Transfer dialog the frame opens: checks the listed channels (1..5), presses the given
// buttons in turn, then "Close".
std::function<int(QDialog&)> transferClicks(const QList<int>& channels, const QStringList& buttons)
{
    return [channels, buttons](QDialog& dialog) {
        auto* transfer = qobject_cast<CTransferDlg*>(&dialog);
        if (!transfer)
            return int(QDialog::Rejected);
        const CTransferDlg::Controls& c = transfer->controls();
        for (int ch = 0; ch < kChannelCount; ++ch) {
            if (c.channels[ch]->isChecked() != channels.contains(ch + 1))
                c.channels[ch]->click();
        }
        for (const QString& button : buttons)
            (button == QLatin1String("write") ? c.write : c.read)->click();
        c.close->click();
        return transfer->result();
    };
}

} // namespace

// The Sequence menu's dialogs opened by the main frame, with its port on the simulated instrument:
// a document written and read back, the progress in the status bar, the Mode settings and the views.
class SequenceCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void aDocumentWrittenAndReadBackThroughTheDialogEqualsTheOriginal();
    void theStatusBarShowsTheProgressUntilAFailureEndsTheTransfer();
    void readAsksBeforeAModifiedDocumentCloses();
    void modeOkStoresTheSettingsAndRefreshesTheViews();
    void rangeWriteClearsTheRunWindowTotals();

private:
    CMainFrame& frame() { return program_->frame(); }
    // Channel 1 (CC) and channel 4 (CR) of the open document, under Hardware Control.
    void twoChannelDocument();

    std::unique_ptr<StartedProgram> program_;
    FakeTime time_;
    KdrxSimulator simulator_{time_};
    SimulatorSerialLine simulatorLine_{simulator_, time_};
    FaultLine* line_ = nullptr;
};

void SequenceCommandsTest::init()
{
    simulator_.clearTranscript();
    program_ = std::make_unique<StartedProgram>();
    QCOMPARE(program_->start(), CTessorApp::kRunning);
    auto faultLine = std::make_unique<FaultLine>(simulatorLine_);
    line_ = faultLine.get();
    frame().port().rs232c().setLine(std::move(faultLine));
    frame().settings().Interface = 0;
    frame().settings().PortDevice = QStringLiteral("/dev/kdrx-test");
    frame().applyInterfaceSettings();
}

void SequenceCommandsTest::cleanup()
{
    program_.reset();
}

void SequenceCommandsTest::twoChannelDocument()
{
    frame().changeControlMethod(HardwareControl);
    AppSettings& settings = frame().settings();
    settings.ModeChHard = {ModeCC, ModeCC, ModeCC, ModeCR, ModeCC};
    settings.RepeatCh = {2, 1, 1, 5, 1, 1, 1, 1};
    settings.OutOffChHard = {0, 1, 1, 1, 1};
    settings.deriveActiveValues();
    CMainDoc* document = frame().currentDocument().get();
    QVERIFY(document);
    const auto fill = [document](int c, const QStringList& values, const QStringList& intervals) {
        ChannelSequence& channel = document->channel(c);
        for (int i = 0; i < values.size(); ++i) {
            channel.steps[i].value = values[i];
            channel.steps[i].interval = intervals[i];
            channel.steps[i].transition = QStringLiteral("0");
            channel.steps[i].load = QStringLiteral("1");
            channel.steps[i].load2 = QStringLiteral("1");
        }
        channel.count = static_cast<int>(values.size());
        document->recomputeTimes(c, 0);
    };
    fill(0, {"1.500", "0.250", "3.000"}, {"10.000", "2.500", "0.500"});
    fill(3, {"4.00000", "8.00000", "0.00000"}, {"1.000", "20.000", "3.250"});
}

void SequenceCommandsTest::aDocumentWrittenAndReadBackThroughTheDialogEqualsTheOriginal()
{
    twoChannelDocument();
    CMainDoc* original = frame().currentDocument().get();
    original->setModified();
    auto* bar = frame().findChild<QProgressBar*>(QStringLiteral("transferProgress"));
    QVERIFY(bar);
    PaintedProgress painted(bar, frame().statusPanes());

    program_->services.onDialog = transferClicks({1, 4}, {"write"});
    QVERIFY(frame().router().trigger(CMainFrame::IdTransfer));
    QCOMPARE(program_->prompt.texts(), QStringList{"Succeed to writing"});
    QCOMPARE(painted.texts,
             (QStringList{"Writing channel 1: step 0 of 3", "Writing channel 1: step 1 of 3",
                          "Writing channel 1: step 2 of 3", "Writing channel 1: step 3 of 3",
                          "Writing channel 4: step 0 of 3", "Writing channel 4: step 1 of 3",
                          "Writing channel 4: step 2 of 3", "Writing channel 4: step 3 of 3"}));
    QVERIFY(!frame().statusPanes().isProgressShown());
    QCOMPARE(frame().statusPanes().text(0), QStringLiteral("For Help, press F1"));
    QCOMPARE(frame().settings().Ch, (ChannelFlags{1, 0, 0, 1, 0}));
    QCOMPARE(frame().settings().RunCh, (ChannelFlags{1, 0, 0, 1, 0}));
    const TransferProcedures::RunWindowTotals& totals = frame().runEngine().transferTotals();
    QCOMPARE(totals[0].stepTotal, QStringLiteral("/ 3"));
    QCOMPARE(totals[0].loopTotal, QStringLiteral("/ 2"));
    QCOMPARE(totals[3].loopTotal, QStringLiteral("/ 5"));
    QVERIFY(!totals[1].active);

    // Keep the original, then forget what the settings say about the instrument's programs.
    struct Step {
        QString value;
        QString interval;
    };
    std::array<std::vector<Step>, kChannelCount> before;
    for (int c = 0; c < kChannelCount; ++c) {
        for (int k = 0; k < original->channel(c).count; ++k)
            before[c].push_back(
                {original->channel(c).steps[k].value, original->channel(c).steps[k].interval});
    }
    AppSettings& settings = frame().settings();
    settings.ModeChHard = {ModeCC, ModeCC, ModeCC, ModeCC, ModeCC};
    settings.RepeatCh = {1, 1, 1, 1, 1, 1, 1, 1};
    settings.OutOffChHard = {1, 1, 1, 1, 1};

    program_->prompt.clear();
    program_->prompt.threeWayAnswers = {ShellPrompt::Answer::No};
    painted.texts.clear();
    simulator_.clearTranscript();
    program_->services.onDialog = transferClicks({1, 4}, {"read"});
    QVERIFY(frame().router().trigger(CMainFrame::IdTransfer));
    QCOMPARE(program_->prompt.texts(), QStringList{"Save changes to Tessor1?"});
    QCOMPARE(painted.texts.first(), QStringLiteral("Reading channel 1: step 0 of 3"));
    QCOMPARE(painted.texts.last(), QStringLiteral("Reading channel 4: step 3 of 3"));
    QCOMPARE(simulator_.receivedTexts().filter(QStringLiteral("PROG:FSP:EDIT?")).size(), 6);

    const CMainDoc* read = frame().currentDocument().get();
    QVERIFY(read);
    QCOMPARE(frame().documents().title(), QStringLiteral("Tessor2"));
    QVERIFY(frame().documents().worksheetWindow()->isVisible());
    for (int c = 0; c < kChannelCount; ++c) {
        QCOMPARE(read->channel(c).count, int(before[c].size()));
        for (int k = 0; k < read->channel(c).count; ++k) {
            const SequenceStep& step = read->channel(c).steps[k];
            // The resistance comes back at five decimals; currents and intervals as numbers.
            if (c == 3)
                QCOMPARE(step.value, before[c][k].value);
            else
                QCOMPARE(decimalValue(step.value), decimalValue(before[c][k].value));
            QCOMPARE(decimalValue(step.interval), decimalValue(before[c][k].interval));
            QCOMPARE(step.transition, QStringLiteral("0"));
            QCOMPARE(step.load, QStringLiteral("1"));
        }
    }
    QCOMPARE(settings.ModeChHard[3], int(ModeCR));
    QCOMPARE(settings.ModeCh[3], int(ModeCR));
    QCOMPARE(settings.RepeatCh[0], 2);
    QCOMPARE(settings.RepeatCh[3], 5);
    QCOMPARE(settings.OutOffChHard[0], 0);
    QCOMPARE(settings.OutOffChHard[3], 1);
}

void SequenceCommandsTest::theStatusBarShowsTheProgressUntilAFailureEndsTheTransfer()
{
    twoChannelDocument();
    auto* bar = frame().findChild<QProgressBar*>(QStringLiteral("transferProgress"));
    PaintedProgress painted(bar, frame().statusPanes());
    // The user had hidden the status bar: it is shown for the transfer only.
    QVERIFY(frame().router().trigger(CMainFrame::IdStatusBar));
    line_->failWriteOf = QStringLiteral("PROG:FSP:EDIT 3,");
    frame().settings().Ch = {1, 0, 0, 1, 0};
    bool barShown = false;
    program_->services.onDialog = [&](QDialog& dialog) {
        auto* transfer = qobject_cast<CTransferDlg*>(&dialog);
        transfer->controls().write->click();
        barShown = !painted.texts.isEmpty();
        return int(QDialog::Rejected);
    };
    QVERIFY(frame().router().trigger(CMainFrame::IdTransfer));
    QVERIFY(barShown);
    QCOMPARE(painted.texts, (QStringList{"Writing channel 1: step 0 of 3", "Writing channel 1: step 1 of 3",
                                         "Writing channel 1: step 2 of 3"}));
    QCOMPARE(program_->prompt.texts(), QStringList{"RS-232C: failed to transmit data"});
    QVERIFY(!frame().statusPanes().isProgressShown());
    QVERIFY(bar->isHidden());
    QVERIFY(frame().statusBar()->isHidden());
    QCOMPARE(frame().statusPanes().text(0), QStringLiteral("For Help, press F1"));
    QVERIFY(!frame().transferProgress()->isRunning());
}

void SequenceCommandsTest::readAsksBeforeAModifiedDocumentCloses()
{
    twoChannelDocument();
    CMainDoc* document = frame().currentDocument().get();
    document->setModified();
    program_->services.onDialog = transferClicks({1}, {"read"});
    program_->prompt.threeWayAnswers = {ShellPrompt::Answer::Cancel};
    QVERIFY(frame().router().trigger(CMainFrame::IdTransfer));
    QCOMPARE(program_->prompt.texts(), QStringList{"Save changes to Tessor1?"});
    QCOMPARE(frame().currentDocument().get(), document);
    QCOMPARE(document->channel(0).count, 3);
    QVERIFY(simulator_.receivedTexts().isEmpty());
}

void SequenceCommandsTest::modeOkStoresTheSettingsAndRefreshesTheViews()
{
    // Through the frame: the settings and what the status bar shows of them.
    AppSettings& settings = frame().settings();
    QCOMPARE(settings.SeqCtl, int(SoftwareControl));
    program_->services.onDialog = [](QDialog& dialog) {
        auto* mode = qobject_cast<CModeDlg*>(&dialog);
        if (!mode)
            return int(QDialog::Rejected);
        mode->controls().unit->setCurrentIndex(2);
        mode->controls().modes[ModeCR]->click();
        mode->controls().ok->click();
        return mode->result();
    };
    QVERIFY(frame().router().trigger(CMainFrame::IdMode));
    QCOMPARE(settings.UnitSoft, int(UnitH));
    QCOMPARE(settings.ModeChSoft[0], int(ModeCR));
    frame().updateCommandUi();
    QCOMPARE(frame().statusPanes().text(StatusPanes::kUnit), QStringLiteral("Hours"));
    QCOMPARE(frame().statusPanes().text(StatusPanes::kMode), QStringLiteral("Constant Resistance"));

    // The views are asked to follow after OK, and only then.
    TransferRig rig;
    QVERIFY(rig.connectInstrument());
    RunEngine engine(rig.settings, rig.current, rig.port, rig.device, rig.numbers, rig.prompt, rig.time,
                     rig.time);
    FakeShellServices services;
    int applied = 0;
    SequenceDialogs dialogs(SequenceDialogs::Context{rig.settings,
                                                     rig.current,
                                                     rig.device,
                                                     engine,
                                                     rig.prompt,
                                                     services,
                                                     rig.loader,
                                                     &rig.progress,
                                                     nullptr,
                                                     {},
                                                     {},
                                                     {},
                                                     [&] { ++applied; }});
    int answer = QDialog::Rejected;
    services.onDialog = [&](QDialog& dialog) {
        auto* mode = qobject_cast<CModeDlg*>(&dialog);
        (answer == QDialog::Accepted ? mode->controls().ok : mode->controls().cancel)->click();
        return mode->result();
    };
    dialogs.runMode();
    QCOMPARE(applied, 0);
    answer = QDialog::Accepted;
    dialogs.runMode();
    QCOMPARE(applied, 1);
}

void SequenceCommandsTest::rangeWriteClearsTheRunWindowTotals()
{
    twoChannelDocument();
    program_->services.onDialog = transferClicks({1}, {"write"});
    QVERIFY(frame().router().trigger(CMainFrame::IdTransfer));
    QVERIFY(frame().runEngine().transferTotals()[0].active);

    program_->prompt.clear();
    program_->services.onDialog = [](QDialog& dialog) {
        auto* ranges = qobject_cast<CRangeDlg*>(&dialog);
        if (!ranges)
            return int(QDialog::Rejected);
        ranges->controls().write->click();
        ranges->controls().close->click();
        return ranges->result();
    };
    QVERIFY(frame().router().trigger(CMainFrame::IdInitialSetting));
    QCOMPARE(program_->prompt.texts(), QStringList{"It succeeded in writing."});
    for (const TransferProcedures::RunPanelTotals& panel : frame().runEngine().transferTotals()) {
        QVERIFY(!panel.active);
        QVERIFY(panel.stepTotal.isEmpty());
    }
}

QTEST_MAIN(SequenceCommandsTest)
#include "SequenceCommandsTest.moc"
