#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "app/DocumentSession.h"
#include "dialogs/CRunDlg.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "run/RunEngine.h"
#include "views/CColorEdit.h"
#include "views/CRunGraph.h"
#include "views/CommandRouter.h"
#include "views/GraphViewTooltip.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolTip>
#include <QtTest>

// The Run window in the program, on a fake clock with the simulated load on the frame's line:
// what it shows while channels start, run, stop, end and fail, its buttons, its caption, Esc, and
// the live graphs.
class RunWindowTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void theRunCommandOpensTheWindowWithTheBoxesAndCloseStoresThem();
    void escWithNoRunActiveStoresNothing();
    void theLastTickedChannelIsTickedAgain();
    void hardwareControlKeepsEveryPanelAndHidesLastLoadOff();
    void oneChannelRunsAndStopsWithItsButton();
    void runAllAndStopAllSetTheButtons();
    void statusDisplays_data();
    void statusDisplays();
    void captionFollowsTheMonitoringSettings_data();
    void captionFollowsTheMonitoringSettings();
    void captionNamesTheOpenLog();
    void elapsedTimeCountsDays();
    void escAndCloseRequestsDuringARunChangeNothing();
    void endingTheProgramDuringARunTakesTheLoadsOff();
    void fieldsUseTheirFontsAndFitTheirTexts();
    void aSequenceOpenedFromAFileRunsOnItsIntervals();
    void aHandedOverFileWaitsUntilTheRunWindowCloses();

    void graphCursorMovesOnceASecondToTheEndOfTheAxis();
    void graphCursorInMinutesStandsAtHalfAfterThirtyTicks();
    void graphCursorDoesNotStartForASecondOrLess();
    void graphStartsAtTheInitialValueChosenByMode();
    void graphContextMenuTogglesTheVerticalLines();
    void graphTooltipAppearsWithTheGraphViewsDelay();
    void graphsFollowTheRunAndStartEachPassAnew();

private:
    // Starts the program on the fake clock with a file of these channel blocks (CC, unit s).
    void start(const std::vector<std::vector<QString>>& channels,
               const QString& control = QStringLiteral("soft"), const QString& unit = QStringLiteral("s"));
    // Opens the Run window as the Run command does, without anything modal.
    CRunDlg& openWindow();
    const CRunDlg::Panel& panel(int channel) const
    {
        return dialog_->controls().panels[static_cast<size_t>(channel)];
    }
    QString statusOf(int channel) const;
    qint64 runStartMs() const { return frame_->runEngine().runStartMs(); }
    void advance(qint64 ms) { program_->instrument->time.advanceMs(ms); }

    std::unique_ptr<StartedProgram> program_;
    CMainFrame* frame_ = nullptr;
    CRunDlg* dialog_ = nullptr;
};

namespace {

const QString kTwoStepsOfOneSecond = QStringLiteral("1.0000\t1.0\t0\t1");

QColor grey()
{
    return QColor(192, 192, 192);
}

} // namespace

void RunWindowTest::start(const std::vector<std::vector<QString>>& channels, const QString& control,
                          const QString& unit)
{
    program_ = std::make_unique<StartedProgram>();
    const QString file = program_->folders.writeFile(
        QStringLiteral("run.tsr"),
        sequenceFile(QStringLiteral("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\t%1\t%2").arg(unit, control),
                     channels));
    QCOMPARE(program_->startSimulated({file}), CTessorApp::kRunning);
    frame_ = &program_->frame();
    dialog_ = frame_->runDialog();
    QVERIFY(dialog_);
    frame_->settings().Folder = program_->folders.root();
}

CRunDlg& RunWindowTest::openWindow()
{
    dialog_->prepare();
    dialog_->show();
    return *dialog_;
}

QString RunWindowTest::statusOf(int channel) const
{
    const CColorEdit* status = panel(channel).status;
    const auto name = [](const QColor& colour) {
        if (colour == QColor(Qt::black))
            return QStringLiteral("black");
        if (colour == QColor(Qt::white))
            return QStringLiteral("white");
        if (colour == grey())
            return QStringLiteral("grey");
        if (colour == QColor(0, 255, 0))
            return QStringLiteral("green");
        if (colour == QColor(255, 255, 0))
            return QStringLiteral("yellow");
        if (colour == QColor(255, 0, 0))
            return QStringLiteral("red");
        return colour.name();
    };
    return status->text() + QLatin1Char(' ') + name(status->textColor()) + QLatin1Char('/') +
           name(status->backgroundColor());
}

void RunWindowTest::cleanup()
{
    if (frame_ && frame_->runEngine().anyRunning())
        frame_->runEngine().StopAll();
    if (dialog_)
        dialog_->hide();
    dialog_ = nullptr;
    frame_ = nullptr;
    program_.reset();
}

void RunWindowTest::theRunCommandOpensTheWindowWithTheBoxesAndCloseStoresThem()
{
    start({{kTwoStepsOfOneSecond, kTwoStepsOfOneSecond}, {kTwoStepsOfOneSecond}, {}, {kTwoStepsOfOneSecond}});
    AppSettings& settings = frame_->settings();
    settings.RunCh = {1, 0, 1, 1, 1};
    settings.OutOffCh = {1, 0, 1, 1, 1};
    settings.RepeatCh[0] = 7;
    bool checked = false;
    program_->services.onDialog = [&](QDialog& dialog) {
        checked = true;
        [&] {
            QCOMPARE(&dialog, static_cast<QDialog*>(dialog_));
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Run - Monitoring:none, Output to File:none"));
            QCOMPARE(statusOf(0), QStringLiteral("Standby black/grey"));
            QCOMPARE(panel(0).count->text(), QStringLiteral("--"));
            QCOMPARE(panel(0).step->text(), QStringLiteral("--"));
            QCOMPARE(panel(0).elapsed->text(), QStringLiteral("--"));
            QCOMPARE(panel(0).day->text(), QStringLiteral("(0day)"));
            QCOMPARE(panel(0).countTotal->text(), QStringLiteral("/ 7"));
            QCOMPARE(panel(0).stepTotal->text(), QStringLiteral("/ 2"));
            QVERIFY(panel(0).channel->isChecked());
            QVERIFY(!panel(1).channel->isChecked());
            QVERIFY(!panel(1).run->isEnabled());
            // Channel 3 has no steps: it cannot be selected or run.
            QVERIFY(!panel(2).channel->isChecked());
            QVERIFY(!panel(2).channel->isEnabled());
            QVERIFY(!panel(2).run->isEnabled());
            QVERIFY(!panel(2).countLabel->isEnabled());
            QVERIFY(panel(0).lastLoadOff->isVisibleTo(&dialog));
            QVERIFY(panel(0).lastLoadOff->isChecked());
            QVERIFY(!panel(1).lastLoadOff->isChecked());
            QVERIFY(!dialog_->controls().stopAll->isEnabled());
            QVERIFY(dialog_->controls().runAll->isEnabled());
            // Nothing is monitored: the reading fields and their labels are grey.
            QVERIFY(!panel(0).current->isEnabled());
            QVERIFY(!panel(0).currentLabel->isEnabled());
            QVERIFY(!dialog_->controls().power->isVisibleTo(&dialog));
            QCOMPARE(dialog_->controls().power->text(), QStringLiteral("--"));
            QCOMPARE(dialog_->controls().sequence->text(), QStringLiteral("--"));
            QTest::mouseClick(panel(1).channel, Qt::LeftButton);
            QTest::mouseClick(panel(0).lastLoadOff, Qt::LeftButton);
            QTest::mouseClick(panel(1).lastLoadOff, Qt::LeftButton);
        }();
        dialog_->controls().close->click();
        return dialog.result();
    };
    QVERIFY(frame_->router().trigger(CMainFrame::IdRun));
    QVERIFY(checked);
    QCOMPARE(settings.RunCh, (AppSettings::PerChannel<int>{1, 1, 0, 1, 0}));
    QCOMPARE(settings.OutOffCh, (AppSettings::PerChannel<int>{0, 1, 1, 1, 1}));
}

void RunWindowTest::escWithNoRunActiveStoresNothing()
{
    start({{kTwoStepsOfOneSecond}, {kTwoStepsOfOneSecond}});
    AppSettings& settings = frame_->settings();
    settings.RunCh = {1, 0, 0, 0, 0};
    program_->services.onDialog = [&](QDialog& dialog) {
        QTest::mouseClick(panel(1).channel, Qt::LeftButton);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        return dialog.result();
    };
    QVERIFY(frame_->router().trigger(CMainFrame::IdRun));
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    QCOMPARE(settings.RunCh, (AppSettings::PerChannel<int>{1, 0, 0, 0, 0}));
}

void RunWindowTest::theLastTickedChannelIsTickedAgain()
{
    start({{kTwoStepsOfOneSecond}, {kTwoStepsOfOneSecond}});
    frame_->settings().RunCh = {0, 1, 0, 0, 0};
    openWindow();
    QTest::mouseClick(panel(1).channel, Qt::LeftButton);
    QVERIFY(panel(1).channel->isChecked());
    QVERIFY(panel(1).run->isEnabled());
    QTest::mouseClick(panel(0).channel, Qt::LeftButton);
    QTest::mouseClick(panel(1).channel, Qt::LeftButton);
    QVERIFY(!panel(1).channel->isChecked());
    QVERIFY(!panel(1).run->isEnabled());
    QVERIFY(!panel(1).status->isEnabled());
    QVERIFY(panel(0).status->isEnabled());
}

void RunWindowTest::hardwareControlKeepsEveryPanelAndHidesLastLoadOff()
{
    start({{kTwoStepsOfOneSecond}}, QStringLiteral("hard"));
    frame_->settings().RunCh = {0, 0, 1, 0, 0};
    openWindow();
    QVERIFY(!panel(0).lastLoadOff->isVisible());
    QCOMPARE(panel(2).countTotal->text(), QStringLiteral("/ 9999"));
    QCOMPARE(panel(2).stepTotal->text(), QStringLiteral("/ 1024"));
    QVERIFY(panel(2).channel->isChecked());
    QVERIFY(panel(2).run->isEnabled());
    QVERIFY(panel(4).channel->isEnabled());
}

void RunWindowTest::oneChannelRunsAndStopsWithItsButton()
{
    start({{kTwoStepsOfOneSecond, kTwoStepsOfOneSecond}, {kTwoStepsOfOneSecond}});
    frame_->settings().RunCh = {1, 1, 0, 0, 0};
    openWindow();
    QTest::mouseClick(panel(0).run, Qt::LeftButton);
    QCOMPARE(statusOf(0), QStringLiteral("Running black/green"));
    QCOMPARE(panel(0).run->text(), QStringLiteral("Stop"));
    QCOMPARE(panel(0).count->text(), QStringLiteral("1"));
    QCOMPARE(panel(0).step->text(), QStringLiteral("1"));
    QCOMPARE(panel(0).elapsed->text(), QStringLiteral("00:00:00"));
    QVERIFY(!panel(0).channel->isEnabled());
    QVERIFY(panel(1).channel->isEnabled());
    QVERIFY(panel(1).run->isEnabled());
    QCOMPARE(statusOf(1), QStringLiteral("Standby black/grey"));
    QVERIFY(!dialog_->controls().runAll->isEnabled());
    QVERIFY(!dialog_->controls().close->isEnabled());
    QVERIFY(dialog_->controls().stopAll->isEnabled());

    advance(1100);
    QCOMPARE(panel(0).step->text(), QStringLiteral("2"));
    QTest::mouseClick(panel(0).run, Qt::LeftButton);
    QCOMPARE(statusOf(0), QStringLiteral("Stop black/yellow"));
    QCOMPARE(panel(0).run->text(), QStringLiteral("Run"));
    QVERIFY(panel(0).run->isEnabled());
    QVERIFY(panel(0).channel->isEnabled());
    QVERIFY(dialog_->controls().runAll->isEnabled());
    QVERIFY(dialog_->controls().close->isEnabled());
    QVERIFY(!dialog_->controls().stopAll->isEnabled());
    // Last Load OFF is set: the load went off with the stop.
    QCOMPARE(program_->instrument->timeline(runStartMs()).last(),
             QStringLiteral("+1100 INST:NSEL 1;:OUTP 0"));
}

void RunWindowTest::runAllAndStopAllSetTheButtons()
{
    start({{kTwoStepsOfOneSecond, kTwoStepsOfOneSecond}, {kTwoStepsOfOneSecond, kTwoStepsOfOneSecond}});
    frame_->settings().RunCh = {1, 1, 0, 0, 0};
    openWindow();
    QTest::mouseClick(dialog_->controls().runAll, Qt::LeftButton);
    for (int c = 0; c < 2; ++c) {
        QCOMPARE(statusOf(c), QStringLiteral("Running black/green"));
        QCOMPARE(panel(c).run->text(), QStringLiteral("Stop"));
        QVERIFY(panel(c).run->isEnabled());
    }
    QCOMPARE(statusOf(2), QStringLiteral("Standby black/grey"));
    for (int c = 0; c < kChannelCount; ++c)
        QVERIFY(!panel(c).channel->isEnabled());
    QVERIFY(!dialog_->controls().runAll->isEnabled());
    QVERIFY(!dialog_->controls().close->isEnabled());
    advance(500);
    QTest::mouseClick(dialog_->controls().stopAll, Qt::LeftButton);
    for (int c = 0; c < 2; ++c) {
        QCOMPARE(statusOf(c), QStringLiteral("Stop black/yellow"));
        QCOMPARE(panel(c).run->text(), QStringLiteral("Run"));
        QVERIFY(panel(c).channel->isEnabled());
    }
    QVERIFY(!panel(2).channel->isEnabled()); // no data
    QVERIFY(dialog_->controls().runAll->isEnabled());
    QVERIFY(dialog_->controls().close->isEnabled());
    QVERIFY(!dialog_->controls().stopAll->isEnabled());
}

void RunWindowTest::statusDisplays_data()
{
    QTest::addColumn<QString>("event");
    QTest::addColumn<QString>("expected");
    QTest::newRow("sequence ends") << "end"
                                   << "End black/grey";
    QTest::newRow("link fails") << "error"
                                << "Error white/red";
    QTest::newRow("questionable condition") << "alarm"
                                            << "ALARM black/yellow";
    QTest::newRow("under-voltage") << "uvp"
                                   << "UVP black/yellow";
    QTest::newRow("under-current") << "ucp"
                                   << "UCP black/yellow";
}

void RunWindowTest::statusDisplays()
{
    QFETCH(QString, event);
    QFETCH(QString, expected);
    start({{QStringLiteral("1.0000\t10.0\t0\t1")}});
    AppSettings& settings = frame_->settings();
    settings.RunCh = {1, 0, 0, 0, 0};
    settings.Curr = 1;
    settings.Volt = 1;
    settings.MonitorTime = 1000;
    // 1 A from the simulated 12 V source through 0.1 ohm reads 1.0000 A at 11.900 V.
    if (event == QLatin1String("uvp")) {
        settings.UvpOn[0] = 1;
        settings.Uvp[0] = 11.9;
    } else if (event == QLatin1String("ucp")) {
        settings.UcpOn[0] = 1;
        settings.Ucp[0] = 1.0;
    } else if (event == QLatin1String("alarm")) {
        program_->instrument->simulator.setQuestionable(1, 4);
    }
    openWindow();
    dialog_->controls().runAll->click();
    if (event == QLatin1String("error"))
        program_->instrument->line->failWriteOf = QStringLiteral("INST:NSEL 1;:MEAS");
    advance(event == QLatin1String("end") ? 12000 : 2500);
    QCOMPARE(statusOf(0), expected);
    if (event == QLatin1String("alarm")) {
        // An alarm only shows: the sequence goes on, and the status returns when it clears.
        QVERIFY(frame_->runEngine().channelState(0).isRunning());
        program_->instrument->simulator.setQuestionable(1, 0);
        advance(2000);
        QCOMPARE(statusOf(0), QStringLiteral("Running black/green"));
    }
}

void RunWindowTest::captionFollowsTheMonitoringSettings_data()
{
    QTest::addColumn<int>("monitor");
    QTest::addColumn<int>("file");
    QTest::addColumn<int>("cut");
    QTest::addColumn<int>("stepEnd");
    QTest::addColumn<QString>("caption");
    QTest::newRow("no monitoring") << 0 << 1 << 1 << 0 << "Run - Monitoring:none, Output to File:none";
    QTest::newRow("no file, interval")
        << 1 << 0 << 0 << 0 << "Run - Monitoring:ON, Output to File:none 1500[ms]";
    QTest::newRow("no file, step end")
        << 1 << 0 << 0 << 1
        << "Run - Monitoring:ON, Output to File:none Immediately before end of the Step Transition";
    QTest::newRow("file, interval") << 1 << 1 << 0 << 0
                                    << "Run - Monitoring:ON, Output to File:provided 1500[ms]";
    QTest::newRow("file, step end")
        << 1 << 1 << 0 << 1
        << "Run - Monitoring:ON, Output to File:provided Immediately before end of the Step Transition";
    QTest::newRow("file cut, interval")
        << 1 << 1 << 1 << 0 << "Run - Monitoring:ON, Output to File:provided 1500[ms], File cut:2hour5min";
    QTest::newRow("file cut, step end")
        << 1 << 1 << 1 << 1
        << "Run - Monitoring:ON, Output to File:provided Immediately before end "
           "of the Step Transition, File cut:2hour5min";
}

void RunWindowTest::captionFollowsTheMonitoringSettings()
{
    QFETCH(int, monitor);
    QFETCH(int, file);
    QFETCH(int, cut);
    QFETCH(int, stepEnd);
    QFETCH(QString, caption);
    start({{kTwoStepsOfOneSecond}});
    AppSettings& settings = frame_->settings();
    settings.Volt = monitor;
    settings.File = file;
    settings.bCut = cut;
    settings.CutHour = 2;
    settings.CutMin = 5;
    settings.MonitorTime = 1500;
    settings.MonSoft = stepEnd;
    settings.deriveActiveValues();
    openWindow();
    QCOMPARE(dialog_->windowTitle(), caption);
}

void RunWindowTest::captionNamesTheOpenLog()
{
    start({{kTwoStepsOfOneSecond}, {kTwoStepsOfOneSecond}});
    AppSettings& settings = frame_->settings();
    settings.RunCh = {1, 1, 0, 0, 0};
    settings.Curr = 1;
    settings.File = 1;
    settings.MonitorTime = 1000;
    settings.ModeChSoft[1] = ModeCV;
    settings.deriveActiveValues();
    openWindow();
    dialog_->controls().runAll->click();
    // The clock started on 24 December 2005 at 14:03:09.
    QCOMPARE(
        dialog_->windowTitle(),
        QStringLiteral("Run - Monitoring:ON, Output to File:provided 1000[ms] CC_CV_12-24-05_14-03-09.txt"));
    advance(5000);
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Run - Monitoring:ON, Output to File:provided 1000[ms]"));
    QVERIFY(QFile::exists(program_->folders.root() + QStringLiteral("/CC_CV_12-24-05_14-03-09.txt")));
}

void RunWindowTest::elapsedTimeCountsDays()
{
    start({{QStringLiteral("1.0000\t30.0\t0\t1")}}, QStringLiteral("soft"), QStringLiteral("h"));
    frame_->settings().RunCh = {1, 0, 0, 0, 0};
    openWindow();
    dialog_->controls().runAll->click();
    const qint64 start = runStartMs();
    // The link's waits move the clock without the timers; the next status poll sees the time.
    program_->instrument->time.waitMs(
        static_cast<int>(start + 90061000 - program_->instrument->time.nowMs()));
    advance(1);
    QCOMPARE(panel(0).elapsed->text(), QStringLiteral("01:01:01"));
    QCOMPARE(panel(0).day->text(), QStringLiteral("(1day)"));
    QCOMPARE(statusOf(0), QStringLiteral("Running black/green"));
}

void RunWindowTest::escAndCloseRequestsDuringARunChangeNothing()
{
    start({{QStringLiteral("1.0000\t3.0\t0\t1")}});
    frame_->settings().RunCh = {1, 0, 0, 0, 0};
    openWindow();
    dialog_->controls().runAll->click();
    advance(1000);
    QTest::keyClick(dialog_, Qt::Key_Escape);
    QVERIFY(dialog_->isVisible());
    QVERIFY(!dialog_->close());
    QVERIFY(dialog_->isVisible());
    dialog_->accept();
    QVERIFY(dialog_->isVisible());
    // The run goes on to its end.
    advance(3000);
    QCOMPARE(statusOf(0), QStringLiteral("End black/grey"));
    QCOMPARE(program_->instrument->timeline(runStartMs()).filter(QStringLiteral("OUTP 0")),
             QStringList{QStringLiteral("+3005 INST:NSEL 1;:OUTP 0")});
    QTest::keyClick(dialog_, Qt::Key_Escape);
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
}

void RunWindowTest::endingTheProgramDuringARunTakesTheLoadsOff()
{
    // A stop signal ends the Run window's event loop with the run active; the frame then goes.
    start({{QStringLiteral("1.0000\t30.0\t0\t1")}, {QStringLiteral("0.5000\t30.0\t0\t1")}});
    frame_->settings().RunCh = {1, 1, 0, 0, 0};
    frame_->settings().OutOffCh = {1, 1, 1, 1, 1};
    openWindow();
    dialog_->controls().runAll->click();
    advance(2000);
    const KdrxSimulator& simulator = program_->instrument->simulator;
    QVERIFY(simulator.channel(1).loadOn());
    QVERIFY(simulator.channel(2).loadOn());
    dialog_ = nullptr;
    frame_ = nullptr;
    program_->stop();
    QVERIFY(!simulator.channel(1).loadOn());
    QVERIFY(!simulator.channel(2).loadOn());
}

void RunWindowTest::fieldsUseTheirFontsAndFitTheirTexts()
{
    start({{kTwoStepsOfOneSecond}});
    openWindow();
    const QString face = CRunDlg::fieldFace(QStringLiteral("MS UI Gothic"));
    QCOMPARE(panel(0).status->font().pointSizeF(), 22.0);
    QCOMPARE(panel(0).status->font().family(), face);
    for (const CColorEdit* field :
         {panel(3).count, panel(3).step, panel(3).current, panel(3).voltage, panel(3).elapsed})
        QCOMPARE(field->font().pointSizeF(), 14.0);
    QCOMPARE(dialog_->controls().power->font().pointSizeF(), 17.0);
    QCOMPARE(dialog_->controls().sequence->font().pointSizeF(), 17.0);
    // Every field is wide enough for the longest text it shows, in its own font.
    const auto fits = [](const CColorEdit* field, const char* text) {
        return QFontMetrics(field->font()).horizontalAdvance(QLatin1String(text)) < field->width() - 4;
    };
    for (int c = 0; c < kChannelCount; ++c) {
        QVERIFY(fits(panel(c).status, "Standby"));
        QVERIFY(fits(panel(c).status, "Running"));
        QVERIFY(fits(panel(c).count, "9999"));
        QVERIFY(fits(panel(c).step, "1024"));
        QVERIFY(fits(panel(c).current, "60.0000"));
        QVERIFY(fits(panel(c).voltage, "150.000"));
        QVERIFY(fits(panel(c).elapsed, "00:00:00"));
        QVERIFY(fits(panel(c).day, "(400day)"));
    }
}

void RunWindowTest::aSequenceOpenedFromAFileRunsOnItsIntervals()
{
    start({{QStringLiteral("1.0000\t2.0\t0\t1"), QStringLiteral("2.0000\t1.5\t0\t1")}});
    frame_->settings().RunCh = {1, 0, 0, 0, 0};
    openWindow();
    dialog_->controls().runAll->click();
    advance(5000);
    // After the start, the next step at 2 s and the end at 3.5 s.
    QCOMPARE(program_->instrument->timeline(runStartMs())
                 .filter(QRegularExpression(QStringLiteral("^\\+[1-9].*NSEL 1;"))),
             (QStringList{QStringLiteral("+2005 INST:NSEL 1;:CURR 2.0000"),
                          QStringLiteral("+3505 INST:NSEL 1;:OUTP 0")}));
}

void RunWindowTest::aHandedOverFileWaitsUntilTheRunWindowCloses()
{
    start({{QStringLiteral("1.0000\t30.0\t0\t1")}});
    frame_->settings().RunCh = {1, 0, 0, 0, 0};
    const QString mine = frame_->documents().path();
    const QString other =
        program_->folders.writeFile(QStringLiteral("other.tsr"),
                                    sequenceFile(QStringLiteral("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft"),
                                                 {{QStringLiteral("7.7500\t9.0\t0\t1")}}));
    bool checked = false;
    program_->services.onDialog = [&](QDialog& dialog) {
        checked = true;
        // The Run window as the program shows it: application-modal.
        dialog.setModal(true);
        dialog.show();
        [&] {
            dialog_->controls().runAll->click();
            advance(5000);
            RecordingShellPrompt secondPrompt;
            FakeShellServices secondServices;
            CTessorApp second(secondPrompt, secondServices, program_->folders.paths());
            QCOMPARE(second.initInstance({other}), 0);
            // The path arrives while the run goes on: nothing replaces the document under it.
            QTest::qWait(600);
            QCOMPARE(frame_->documents().path(), mine);
            QVERIFY(frame_->runEngine().channelState(0).isRunning());
            QCOMPARE(frame_->currentDocument().get()->channel(0).steps[0].value, QStringLiteral("1.0000"));
            advance(2000);
            QCOMPARE(statusOf(0), QStringLiteral("Running black/green"));
            dialog_->controls().stopAll->click();
            advance(100);
        }();
        dialog_->controls().close->click();
        return dialog.result();
    };
    QVERIFY(frame_->router().trigger(CMainFrame::IdRun));
    QVERIFY(checked);
    // Once the window has closed the file opens as Open would open it.
    QTRY_COMPARE(frame_->documents().path(), other);
    QCOMPARE(frame_->currentDocument().get()->channel(0).steps[0].value, QStringLiteral("7.7500"));
}

// ---------------------------------------------------------------------------------------------
// The live graph

namespace {

struct GraphRig {
    GraphRig()
        : graph(settings, time, CRunGraph::Look{PlotColours(), QFont(), QStringLiteral("&Vertical Axis")})
    {
        graph.resize(400, 300);
    }
    void load(std::initializer_list<const char*> intervals)
    {
        ChannelSequence sequence;
        int i = 0;
        for (const char* interval : intervals) {
            sequence.steps[i].value = QStringLiteral("1.0");
            sequence.steps[i].interval = QLatin1String(interval);
            sequence.steps[i].transition = QStringLiteral("0");
            ++i;
        }
        sequence.count = i;
        graph.load(sequence, ModeCC);
    }
    AppSettings settings;
    FakeTime time;
    CRunGraph graph;
};

} // namespace

void RunWindowTest::graphCursorMovesOnceASecondToTheEndOfTheAxis()
{
    GraphRig rig;
    rig.load({"60.0", "30.0"});
    const double timeMax = rig.graph.plot().timeMax();
    QVERIFY(timeMax >= 90.0);
    QVERIFY(rig.graph.startProgress());
    QCOMPARE(rig.graph.cursor().front().x(), rig.graph.plot().left());
    rig.time.advanceMs(30000);
    QCOMPARE(rig.graph.elapsedSeconds(), 30);
    QCOMPARE(rig.graph.cursorTime(), 30.0);
    QCOMPARE(rig.graph.cursor().front().x(), rig.graph.plot().xOf(30.0));
    QCOMPARE(rig.graph.cursor().back().y(), rig.graph.plot().bottom());
    QVERIFY(!rig.graph.passDrawn());
    rig.time.advanceMs(static_cast<qint64>(timeMax) * 1000 + 20000);
    QCOMPARE(rig.graph.cursorTime(), timeMax);
    QVERIFY(rig.graph.passDrawn());
    rig.graph.stopProgress();
    QVERIFY(rig.graph.cursor().empty());
    QCOMPARE(rig.time.activeTimers(), 0);
}

void RunWindowTest::graphCursorInMinutesStandsAtHalfAfterThirtyTicks()
{
    GraphRig rig;
    rig.settings.UnitSoft = UnitMin;
    rig.settings.deriveActiveValues();
    rig.load({"2.0"});
    QVERIFY(rig.graph.startProgress());
    rig.time.advanceMs(30000);
    QCOMPARE(rig.graph.cursorTime(), 0.5);
}

void RunWindowTest::graphCursorDoesNotStartForASecondOrLess()
{
    GraphRig rig;
    rig.load({"0.5"});
    QVERIFY(rig.graph.plot().timeMax() <= 1.0);
    QVERIFY(!rig.graph.startProgress());
    QVERIFY(rig.graph.cursor().empty());
    QCOMPARE(rig.time.activeTimers(), 0);
    // In minutes even a short sequence shows its progress.
    rig.settings.UnitSoft = UnitMin;
    rig.settings.deriveActiveValues();
    rig.load({"0.5"});
    QVERIFY(rig.graph.startProgress());
}

void RunWindowTest::graphStartsAtTheInitialValueChosenByMode()
{
    AppSettings settings;
    settings.InitCurr = 1.5;
    settings.InitVolt = 12.0;
    settings.Mode = 1;
    QCOMPARE(CRunGraph::startLevel(settings), 0.0);
    settings.bInitCurr = 1;
    QCOMPARE(CRunGraph::startLevel(settings), 1.5);
    settings.Mode = 0;
    QCOMPARE(CRunGraph::startLevel(settings), 0.0);
    settings.bInitVolt = 1;
    QCOMPARE(CRunGraph::startLevel(settings), 12.0);
    GraphRig rig;
    rig.settings = settings;
    rig.load({"5.0"});
    QCOMPARE(rig.graph.plot().lineStart().y(), rig.graph.plot().yOf(12.0));
}

void RunWindowTest::graphContextMenuTogglesTheVerticalLines()
{
    GraphRig rig;
    rig.load({"5.0", "5.0"});
    rig.graph.show();
    QVERIFY(rig.graph.showsVerticalLines());
    const QPoint boundary(rig.graph.plot().boundary(0).endPoint().x(), rig.graph.plot().top() + 10);
    QVERIFY(rig.graph.tooltipAt(boundary).startsWith(
        QStringLiteral("[Vertical Axis] [Line1] Time5.0[s] Interval5.0[s]")));
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(50, 50), rig.graph.mapToGlobal(QPoint(50, 50)));
    QApplication::sendEvent(&rig.graph, &event);
    auto* menu = rig.graph.findChild<QMenu*>();
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 1);
    QAction* item = menu->actions().front();
    QCOMPARE(item->text(), QStringLiteral("&Vertical Axis"));
    QVERIFY(item->isChecked());
    item->trigger();
    QVERIFY(!rig.graph.showsVerticalLines());
    QVERIFY(!rig.graph.tooltipAt(boundary).startsWith(QStringLiteral("[Vertical Axis]")));
    menu->close();
}

void RunWindowTest::graphTooltipAppearsWithTheGraphViewsDelay()
{
    GraphRig rig;
    rig.load({"5.0", "5.0"});
    rig.graph.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.graph));
    QToolTip::hideText();
    const StepSegment& step = rig.graph.plot().segment(0);
    const QPoint point = (step.firstPoint() + step.endPoint()) / 2;
    const QString text = rig.graph.tooltipAt(point);
    QVERIFY(text.startsWith(QStringLiteral("[Line1] ")));
    const auto move = [&rig](const QPoint& to) {
        // Sent directly: without a pressed button QTest would only move the system cursor.
        QMouseEvent event(QEvent::MouseMove, to, rig.graph.mapToGlobal(to), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&rig.graph, &event);
    };
    move(point);
    QVERIFY(!QToolTip::isVisible());
    rig.time.advanceMs(GraphViewTooltip::kDelayMs - 1);
    QVERIFY(!QToolTip::isVisible());
    rig.time.advanceMs(1);
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), text);
    // The same position again changes nothing.
    move(point);
    QCOMPARE(rig.time.activeTimers(), 0);
    QToolTip::hideText();
}

void RunWindowTest::graphsFollowTheRunAndStartEachPassAnew()
{
    start({{QStringLiteral("1.0000\t3.0\t0\t1")}, {QStringLiteral("1.0000\t30.0\t0\t1")}});
    AppSettings& settings = frame_->settings();
    settings.RunCh = {1, 1, 0, 0, 0};
    settings.RepeatCh[0] = 4;
    openWindow();
    CRunGraph* first = dialog_->graph(0);
    const double total = first->totalSeconds();
    QVERIFY(total > 3.0 && total < 10.0);
    QTest::mouseClick(dialog_->controls().runAll, Qt::LeftButton);
    QVERIFY(first->isProgressing());
    QVERIFY(dialog_->graph(1)->isProgressing());
    QVERIFY(!dialog_->graph(2)->isProgressing());
    // The status poll after the cursor reached the axis end starts the next pass from the left.
    advance(static_cast<qint64>(total) * 1000 + 2500);
    QVERIFY(frame_->runEngine().channelState(0).graphCycle >= 2);
    QVERIFY(first->elapsedSeconds() < total);
    QTest::mouseClick(panel(1).run, Qt::LeftButton);
    QVERIFY(!dialog_->graph(1)->isProgressing());
    QVERIFY(dialog_->graph(1)->cursor().empty());
    advance(12000);
    QVERIFY(!first->isProgressing());
}

QTEST_MAIN(RunWindowTest)
#include "RunWindowTest.moc"
