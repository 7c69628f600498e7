#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "dialogs/CInitDlg.h"
#include "dialogs/CMonitorSetupDlg.h"
#include "model/AppSettings.h"
#include "ui/ResourceModule.h"
#include "views/CDecimalEdit.h"
#include "views/CSpinButton.h"
#include "views/CommandRouter.h"
#include "views/ShellResources.h"
#include "views/TemplateLoader.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

// Monitoring Setup and Initial Settings: every enabling rule, the folder chooser, the checks and
// messages of OK and what is stored.
class MonitorDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void enablingFollowsQuantitiesSaveFileTimingAndControlMethod_data();
    void enablingFollowsQuantitiesSaveFileTimingAndControlMethod();
    void clicksApplyTheRules();
    void rangesAndTooltips();
    void theFolderChooserSwitchesSaveFileToYes();
    void okRefusesWhatCannotBeUsed_data();
    void okRefusesWhatCannotBeUsed();
    void okKeepsTheStoredCutWhileItsFieldsAreHidden_data();
    void okKeepsTheStoredCutWhileItsFieldsAreHidden();
    void okStoresEveryFieldAndTheTimingForGoodOnlyUnderSoftwareControl();
    void commandsOpenTheDialogs();
    void initialSettingsEnablingAndStore();

private:
    ResourceModule module_;
    RecordingShellPrompt prompt_;
    std::unique_ptr<TemplateLoader> loader_;
    AppSettings settings_;
    QTemporaryDir folder_;
};

namespace {

// Shows the file-cut controls, which the template hides.
void showCutControls(const CMonitorSetupDlg::Controls& c)
{
    for (QWidget* widget : std::initializer_list<QWidget*>{c.cut, c.cutHours, c.cutHoursSpin, c.cutHoursLabel,
                                                           c.cutMinutes, c.cutMinutesSpin, c.cutMinutesLabel})
        widget->show();
}

// The enabled controls as letters: S save-file radios, I interval field, T interval spin, E
// step-end radio, F folder, U unit radios, D data options, C cut box, H cut fields.
QString enabled(const CMonitorSetupDlg::Controls& c)
{
    QString letters;
    const auto add = [&letters](QChar letter, const QWidget* widget) {
        if (widget->isEnabled())
            letters += letter;
    };
    add(QLatin1Char('S'), c.saveYes);
    add(QLatin1Char('I'), c.interval);
    add(QLatin1Char('T'), c.intervalSpin);
    add(QLatin1Char('E'), c.stepEndTiming);
    add(QLatin1Char('F'), c.folder);
    add(QLatin1Char('U'), c.hoursMinutesSeconds);
    add(QLatin1Char('D'), c.afterProcessing);
    add(QLatin1Char('C'), c.cut);
    add(QLatin1Char('H'), c.cutHours);
    return letters;
}

} // namespace

void MonitorDialogsTest::initTestCase()
{
    QVERIFY(module_.loadFromProgramFolder());
    loader_ = std::make_unique<TemplateLoader>(module_, prompt_);
}

void MonitorDialogsTest::init()
{
    settings_ = AppSettings();
    settings_.Folder = folder_.path();
    prompt_.clear();
}

void MonitorDialogsTest::enablingFollowsQuantitiesSaveFileTimingAndControlMethod_data()
{
    QTest::addColumn<int>("curr");
    QTest::addColumn<int>("file");
    QTest::addColumn<int>("stepEnd");
    QTest::addColumn<int>("hardware");
    QTest::addColumn<int>("fileMem");
    QTest::addColumn<int>("cut");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nothing measured") << 0 << 1 << 0 << 0 << 1 << 1 << "";
    QTest::newRow("no file") << 1 << 0 << 0 << 0 << 1 << 0 << "SITE";
    QTest::newRow("file") << 1 << 1 << 0 << 0 << 1 << 0 << "SITEFUDC";
    QTest::newRow("file, cut") << 1 << 1 << 0 << 0 << 1 << 1 << "SITEFUDCH";
    QTest::newRow("file in memory: no cut") << 1 << 1 << 0 << 0 << 0 << 0 << "SITEFUD";
    QTest::newRow("step end: field only") << 1 << 1 << 1 << 0 << 1 << 0 << "STEFUDC";
    QTest::newRow("hardware control") << 1 << 0 << 0 << 1 << 1 << 0 << "SIT";
}

void MonitorDialogsTest::enablingFollowsQuantitiesSaveFileTimingAndControlMethod()
{
    QFETCH(int, curr);
    QFETCH(int, file);
    QFETCH(int, stepEnd);
    QFETCH(int, hardware);
    QFETCH(int, fileMem);
    QFETCH(int, cut);
    QFETCH(QString, expected);
    settings_.Curr = curr;
    settings_.File = file;
    settings_.MonSoft = stepEnd;
    settings_.SeqCtl = hardware ? HardwareControl : SoftwareControl;
    settings_.FileMem = fileMem;
    settings_.bCut = cut;
    settings_.deriveActiveValues();
    CMonitorSetupDlg dialog(*loader_, settings_);
    const CMonitorSetupDlg::Controls& c = dialog.controls();
    QCOMPARE(enabled(c), expected);
    // The labels and groups go with their controls; power is never offered.
    QCOMPARE(c.intervalUnit->isEnabled(), curr == 1);
    QCOMPARE(c.saveGroup->isEnabled(), curr == 1);
    QCOMPARE(c.browse->isEnabled(), expected.contains(QLatin1Char('F')));
    QCOMPARE(c.folderLabel->isEnabled(), expected.contains(QLatin1Char('F')));
    QCOMPARE(c.dataGroup->isEnabled(), expected.contains(QLatin1Char('D')));
    QCOMPARE(c.cutMinutesLabel->isEnabled(), expected.contains(QLatin1Char('H')));
    QVERIFY(!c.power->isEnabled());
    QVERIFY(!c.power->isVisibleTo(&dialog));
    QVERIFY(!c.cut->isVisibleTo(&dialog));
}

void MonitorDialogsTest::clicksApplyTheRules()
{
    settings_.Curr = 1;
    settings_.File = 1;
    CMonitorSetupDlg dialog(*loader_, settings_);
    dialog.show();
    const CMonitorSetupDlg::Controls& c = dialog.controls();
    QCOMPARE(enabled(c), QStringLiteral("SITEFUDC"));
    QTest::mouseClick(c.saveNo, Qt::LeftButton);
    QCOMPARE(enabled(c), QStringLiteral("SITE"));
    QTest::mouseClick(c.saveYes, Qt::LeftButton);
    QCOMPARE(enabled(c), QStringLiteral("SITEFUDC"));
    QTest::mouseClick(c.stepEndTiming, Qt::LeftButton);
    QCOMPARE(enabled(c), QStringLiteral("STEFUDC"));
    QTest::mouseClick(c.intervalTiming, Qt::LeftButton);
    QCOMPARE(enabled(c), QStringLiteral("SITEFUDC"));
    c.cut->click();
    QCOMPARE(enabled(c), QStringLiteral("SITEFUDCH"));
    QTest::mouseClick(c.current, Qt::LeftButton);
    QCOMPARE(enabled(c), QString());
    QTest::mouseClick(c.voltage, Qt::LeftButton);
    QCOMPARE(enabled(c), QStringLiteral("SITEFUDCH"));
}

void MonitorDialogsTest::rangesAndTooltips()
{
    CMonitorSetupDlg dialog(*loader_, settings_);
    const CMonitorSetupDlg::Controls& c = dialog.controls();
    QCOMPARE(c.interval->toolTip(), QStringLiteral("500 to 600000"));
    QCOMPARE(c.cutHours->toolTip(), QStringLiteral("0 to 1000"));
    QCOMPARE(c.cutMinutes->toolTip(), QStringLiteral("0 to 59"));
    QCOMPARE(c.intervalSpin->minimum(), 500);
    QCOMPARE(c.intervalSpin->maximum(), 600000);
    QCOMPARE(c.cutHoursSpin->maximum(), 1000);
    QCOMPARE(c.cutMinutesSpin->maximum(), 59);
    // The arrows move the field's number by one, within the range.
    c.interval->setText(QStringLiteral("600000"));
    c.intervalSpin->stepBy(1);
    QCOMPARE(c.interval->text(), QStringLiteral("600000"));
    c.intervalSpin->stepBy(-1);
    QCOMPARE(c.interval->text(), QStringLiteral("599999"));
    c.cutMinutes->setText(QString());
    c.cutMinutesSpin->stepBy(1);
    QCOMPARE(c.cutMinutes->text(), QStringLiteral("0"));
}

void MonitorDialogsTest::theFolderChooserSwitchesSaveFileToYes()
{
    settings_.Curr = 1;
    settings_.File = 1;
    CMonitorSetupDlg dialog(*loader_, settings_);
    const CMonitorSetupDlg::Controls& c = dialog.controls();
    QStringList asked;
    QString answer = QStringLiteral("/chosen/folder");
    QWidget* askedParent = nullptr;
    dialog.setFolderChooser([&](QWidget* parent, const QString& title, const QString& folder) -> QString {
        asked << title << folder;
        askedParent = parent;
        return answer;
    });
    c.browse->click();
    QCOMPARE(asked, (QStringList{QStringLiteral("Select the folder."), folder_.path()}));
    QCOMPARE(askedParent, static_cast<QWidget*>(&dialog));
    QCOMPARE(c.folder->text(), QStringLiteral("/chosen/folder"));
    QVERIFY(c.saveYes->isChecked());
    // Cancelled: the text stays and Save File is Yes all the same.
    answer.clear();
    c.browse->click();
    QCOMPARE(c.folder->text(), QStringLiteral("/chosen/folder"));
    QVERIFY(c.saveYes->isChecked());
    QVERIFY(c.folder->isEnabled());
}

void MonitorDialogsTest::okRefusesWhatCannotBeUsed_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("interval too short") << "interval"
                                        << "499"
                                        << "Enter an integer between 500 and 600000.";
    QTest::newRow("interval too long") << "interval"
                                       << "600001"
                                       << "Enter an integer between 500 and 600000.";
    QTest::newRow("interval not whole") << "interval"
                                        << "1000.5"
                                        << "Enter an integer.";
    QTest::newRow("interval empty") << "interval"
                                    << ""
                                    << "Enter an integer.";
    QTest::newRow("hours") << "hours"
                           << "1001"
                           << "Enter an integer between 0 and 1000.";
    QTest::newRow("minutes") << "minutes"
                             << "60"
                             << "Enter an integer between 0 and 59.";
    QTest::newRow("no folder") << "folder"
                               << "/no/such/folder"
                               << "The folder cannot be found.";
    QTest::newRow("empty folder") << "folder"
                                  << ""
                                  << "The folder cannot be found.";
    QTest::newRow("a file for a folder") << "folder"
                                         << "file"
                                         << "The folder cannot be found.";
    QTest::newRow("no cut period") << "period"
                                   << "0"
                                   << "0[hour]0[min] cannot.";
}

void MonitorDialogsTest::okRefusesWhatCannotBeUsed()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    // Nothing measured and no file: OK still checks every field.
    settings_.Curr = 0;
    settings_.File = 0;
    const AppSettings before = settings_;
    CMonitorSetupDlg dialog(*loader_, settings_);
    const CMonitorSetupDlg::Controls& c = dialog.controls();
    // The cut fields are checked where they are shown.
    showCutControls(c);
    if (field == QLatin1String("interval")) {
        c.interval->setText(text);
    } else if (field == QLatin1String("hours")) {
        c.cutHours->setText(text);
    } else if (field == QLatin1String("minutes")) {
        c.cutMinutes->setText(text);
    } else if (field == QLatin1String("folder")) {
        QFile file(folder_.filePath(QStringLiteral("file")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        c.folder->setText(text == QLatin1String("file") ? file.fileName() : text);
    } else {
        c.cutHours->setText(text);
        c.cutMinutes->setText(text);
    }
    dialog.show();
    c.ok->click();
    QCOMPARE(prompt_.texts(), QStringList{message});
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), 0);
    QCOMPARE(settings_.MonitorTime, before.MonitorTime);
    QCOMPARE(settings_.Folder, before.Folder);
    QCOMPARE(settings_.CutHour, before.CutHour);
}

void MonitorDialogsTest::okKeepsTheStoredCutWhileItsFieldsAreHidden_data()
{
    QTest::addColumn<int>("cut");
    QTest::addColumn<int>("hours");
    QTest::addColumn<int>("minutes");
    QTest::newRow("zero period, cut on") << 1 << 0 << 0;
    QTest::newRow("zero period, cut off") << 0 << 0 << 0;
    QTest::newRow("above the ranges") << 1 << 5000 << 75;
    QTest::newRow("below the ranges") << 0 << -3 << -1;
    QTest::newRow("a usable period") << 1 << 2 << 30;
}

void MonitorDialogsTest::okKeepsTheStoredCutWhileItsFieldsAreHidden()
{
    QFETCH(int, cut);
    QFETCH(int, hours);
    QFETCH(int, minutes);
    settings_.Curr = 1;
    settings_.File = 1;
    settings_.bCut = cut;
    settings_.CutHour = hours;
    settings_.CutMin = minutes;
    CMonitorSetupDlg dialog(*loader_, settings_);
    const CMonitorSetupDlg::Controls& c = dialog.controls();
    dialog.show();
    QVERIFY(!c.cutHours->isVisible());
    c.interval->setText(QStringLiteral("3000"));
    c.ok->click();
    QCOMPARE(prompt_.texts(), QStringList());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(settings_.MonitorTime, 3000);
    QCOMPARE(settings_.bCut, cut);
    QCOMPARE(settings_.CutHour, hours);
    QCOMPARE(settings_.CutMin, minutes);
}

void MonitorDialogsTest::okStoresEveryFieldAndTheTimingForGoodOnlyUnderSoftwareControl()
{
    const QString workingFolder = QDir::currentPath();
    settings_.Curr = 1;
    CMonitorSetupDlg dialog(*loader_, settings_);
    const CMonitorSetupDlg::Controls& c = dialog.controls();
    c.voltage->click();
    c.current->click();
    c.interval->setText(QStringLiteral("1500"));
    c.saveYes->click();
    QDir(folder_.path()).mkdir(QStringLiteral("logs"));
    c.folder->setText(folder_.filePath(QStringLiteral("logs")));
    c.hoursMinutesSeconds->click();
    c.beforeProcessing->click();
    c.afterProcessing->click();
    c.stepEndTiming->click();
    c.ok->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(prompt_.texts(), QStringList());
    QCOMPARE(settings_.Curr, 0);
    QCOMPARE(settings_.Volt, 1);
    QCOMPARE(settings_.MonitorTime, 1500);
    QCOMPARE(settings_.File, 1);
    QCOMPARE(settings_.Folder, folder_.filePath(QStringLiteral("logs")));
    QCOMPARE(settings_.PassTime, 1);
    QCOMPARE(settings_.MonStart, 1);
    QCOMPARE(settings_.MonEnd, 1);
    QCOMPARE(settings_.MonTiming, 1);
    QCOMPARE(settings_.MonSoft, 1);
    // The folder is checked, not made the program's working folder.
    QCOMPARE(QDir::currentPath(), workingFolder);

    // Under Hardware Control the timing is in force until the settings are loaded again.
    settings_.SeqCtl = HardwareControl;
    settings_.MonSoft = 1;
    settings_.deriveActiveValues();
    CMonitorSetupDlg hardware(*loader_, settings_);
    QVERIFY(hardware.controls().intervalTiming->isChecked());
    hardware.controls().ok->click();
    QCOMPARE(settings_.MonTiming, 0);
    QCOMPARE(settings_.MonSoft, 1);
}

void MonitorDialogsTest::commandsOpenTheDialogs()
{
    StartedProgram program;
    QCOMPARE(program.start(), CTessorApp::kRunning);
    CMainFrame& frame = program.frame();
    frame.settings().Folder = folder_.path();
    QStringList opened;
    program.services.onDialog = [&](QDialog& dialog) {
        opened << dialog.windowTitle();
        if (auto* setup = qobject_cast<CMonitorSetupDlg*>(&dialog)) {
            setup->controls().current->click();
            setup->controls().ok->click();
        } else if (auto* init = qobject_cast<CInitDlg*>(&dialog)) {
            init->controls().setVoltage->click();
            init->controls().voltage->setText(QStringLiteral("5.25"));
            init->controls().ok->click();
        }
        return dialog.result();
    };
    QVERIFY(frame.router().trigger(CMainFrame::IdMonitoringSetup));
    QCOMPARE(frame.settings().Curr, 1);
    QVERIFY(frame.router().trigger(CMainFrame::IdInitialValues));
    QCOMPARE(frame.settings().bInitVolt, 1);
    QCOMPARE(frame.settings().InitVolt, 5.25);
    QCOMPARE(opened, (QStringList{QStringLiteral("Monitoring Setup"), QStringLiteral("Initial Settings")}));

    // Initial Settings is reached by its command only: no menu item, button or key carries it.
    const std::function<bool(const std::vector<MenuItem>&)> carries =
        [&](const std::vector<MenuItem>& items) {
            for (const MenuItem& item : items) {
                if (item.id == CMainFrame::IdInitialValues || carries(item.items))
                    return true;
            }
            return false;
        };
    ShellResources resources;
    QVERIFY(resources.load());
    for (int menu : {128, 129, 132, 134, 152})
        QVERIFY(!carries(resources.menu(menu)));
    for (const Accelerator& accelerator : resources.accelerators(128))
        QVERIFY(accelerator.id != CMainFrame::IdInitialValues);
    for (QAction* action : frame.mainToolBar()->actions())
        QVERIFY(action != frame.router().action(CMainFrame::IdInitialValues));
    // And it needs a document, like the Run command.
    frame.router().trigger(CMainFrame::IdClose);
    frame.updateCommandUi();
    QVERIFY(!frame.router().isEnabled(CMainFrame::IdInitialValues));
    QVERIFY(!frame.router().isEnabled(CMainFrame::IdRun));
    QVERIFY(frame.router().isEnabled(CMainFrame::IdMonitoringSetup));
}

void MonitorDialogsTest::initialSettingsEnablingAndStore()
{
    settings_.bInitCurr = 1;
    settings_.InitCurr = 1.25;
    settings_.bInitPower = 1;
    CInitDlg dialog(*loader_, settings_);
    const CInitDlg::Controls& c = dialog.controls();
    QCOMPARE(c.current->text(), QStringLiteral("1.25"));
    QCOMPARE(c.power->text(), QStringLiteral("150"));
    QVERIFY(c.current->isEnabled());
    QVERIFY(!c.voltage->isEnabled());
    // Power and resistance belong to other instrument models.
    QVERIFY(!c.setPower->isEnabled());
    QVERIFY(!c.power->isEnabled());
    QVERIFY(!c.setResistance->isEnabled());
    QVERIFY(!c.resistance->isEnabled());
    c.setCurrent->click();
    QVERIFY(!c.current->isEnabled());
    c.setVoltage->click();
    QVERIFY(c.voltage->isEnabled());

    dialog.show();
    c.voltage->setText(QStringLiteral("."));
    c.ok->click();
    QCOMPARE(prompt_.texts(), QStringList{QStringLiteral("Enter a number.")});
    QVERIFY(dialog.isVisible());
    QCOMPARE(settings_.bInitVolt, 0);
    c.voltage->setText(QStringLiteral("12.5"));
    c.ok->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(settings_.bInitCurr, 0);
    QCOMPARE(settings_.bInitVolt, 1);
    QCOMPARE(settings_.InitVolt, 12.5);
    QCOMPARE(settings_.bInitPower, 1);

    // Models 2 and 5 set power and resistance too.
    settings_.Machine = 5;
    CInitDlg other(*loader_, settings_);
    QVERIFY(other.controls().setPower->isEnabled());
    QVERIFY(other.controls().power->isEnabled());
    QVERIFY(other.controls().setResistance->isEnabled());
    QVERIFY(!other.controls().resistance->isEnabled());
}

QTEST_MAIN(MonitorDialogsTest)
#include "MonitorDialogsTest.moc"
