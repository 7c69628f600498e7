#include "dialogs/CMonitorSetupDlg.h"

#include "model/AppSettings.h"
#include "ui/UserPrompt.h"
#include "views/CDecimalEdit.h"
#include "views/CSpinButton.h"
#include "views/DialogDataCheck.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <initializer_list>

namespace {

void enable(std::initializer_list<QWidget*> widgets, bool enabled)
{
    for (QWidget* widget : widgets)
        widget->setEnabled(enabled);
}

void setUp(CDecimalEdit* field, CSpinButton* spin, int minimum, int maximum, int value)
{
    field->setText(QString::number(value));
    field->setToolTipText(QStringLiteral("%1 to %2").arg(minimum).arg(maximum));
    spin->setBuddy(field);
    spin->setRange(minimum, maximum);
}

} // namespace

void CMonitorSetupDlg::Controls::bind(TemplateForm& form)
{
    form.bind(current, "check1042");
    form.bind(voltage, "check1043");
    form.bind(power, "check1044");
    form.bind(intervalTiming, "radio1113");
    form.bind(stepEndTiming, "radio1115");
    form.bind(interval, "edit1049");
    form.bind(intervalSpin, "spin1120");
    form.bind(intervalUnit, "labelMs");
    form.bind(saveGroup, "groupSaveFile");
    form.bind(saveNo, "radio1045");
    form.bind(saveYes, "radio1046");
    form.bind(folderLabel, "labelFolder");
    form.bind(folder, "edit1047");
    form.bind(browse, "button1048");
    form.bind(unitGroup, "groupUnit");
    form.bind(seconds, "radio1050");
    form.bind(hoursMinutesSeconds, "radio1051");
    form.bind(dataGroup, "groupData");
    form.bind(beforeProcessing, "check1101");
    form.bind(afterProcessing, "check1108");
    form.bind(cut, "check1102");
    form.bind(cutHours, "edit1052");
    form.bind(cutHoursSpin, "spin1124");
    form.bind(cutHoursLabel, "labelHour");
    form.bind(cutMinutes, "edit1055");
    form.bind(cutMinutesSpin, "spin1125");
    form.bind(cutMinutesLabel, "labelMinute");
    form.bindOkCancel(ok, cancel);
}

CMonitorSetupDlg::CMonitorSetupDlg(const TemplateLoader& loader, AppSettings& settings, QWidget* parent)
    : TemplateDialog(loader, QLatin1String(templateName), parent), settings_(settings),
      chooseFolder_([](QWidget* owner, const QString& title, const QString& folder) {
          return QFileDialog::getExistingDirectory(owner, title, folder);
      })
{
    const Controls& c = controls_;
    controls_.bind(form());
    connectOkCancel(c.ok, c.cancel);
    for (QCheckBox* quantity : {c.current, c.voltage, c.power})
        connect(quantity, &QCheckBox::clicked, this, &CMonitorSetupDlg::applyEnabling);
    connect(c.saveNo, &QRadioButton::clicked, this, &CMonitorSetupDlg::followSaveFile);
    connect(c.saveYes, &QRadioButton::clicked, this, &CMonitorSetupDlg::followSaveFile);
    connect(c.intervalTiming, &QRadioButton::clicked, this, [this] { controls_.interval->setEnabled(true); });
    connect(c.stepEndTiming, &QRadioButton::clicked, this, [this] { controls_.interval->setEnabled(false); });
    connect(c.cut, &QCheckBox::clicked, this, &CMonitorSetupDlg::followCut);
    connect(c.browse, &QPushButton::clicked, this, &CMonitorSetupDlg::browseFolder);

    c.current->setChecked(settings_.Curr == 1);
    c.voltage->setChecked(settings_.Volt == 1);
    c.power->setChecked(settings_.Power == 1);
    // Power is measured by none of this family's readings.
    c.power->setEnabled(false);
    c.intervalTiming->setChecked(settings_.MonTiming != 1);
    c.stepEndTiming->setChecked(settings_.MonTiming == 1);
    setUp(c.interval, c.intervalSpin, kMinInterval, kMaxInterval, settings_.MonitorTime);
    c.saveNo->setChecked(settings_.File != 1);
    c.saveYes->setChecked(settings_.File == 1);
    c.folder->setText(settings_.Folder);
    c.seconds->setChecked(settings_.PassTime != 1);
    c.hoursMinutesSeconds->setChecked(settings_.PassTime == 1);
    c.beforeProcessing->setChecked(settings_.MonStart == 1);
    c.afterProcessing->setChecked(settings_.MonEnd == 1);
    c.cut->setChecked(settings_.bCut == 1);
    setUp(c.cutHours, c.cutHoursSpin, 0, kMaxCutHours, settings_.CutHour);
    setUp(c.cutMinutes, c.cutMinutesSpin, 0, kMaxCutMinutes, settings_.CutMin);

    // The rules make the cut fields follow their box wherever the box itself applies.
    applyEnabling();
}

bool CMonitorSetupDlg::hardwareControl() const
{
    return settings_.SeqCtl == HardwareControl;
}

void CMonitorSetupDlg::applyEnabling()
{
    const Controls& c = controls_;
    if (!c.current->isChecked() && !c.voltage->isChecked() && !c.power->isChecked()) {
        // Nothing is measured: nothing else applies.
        enable({c.saveGroup,       c.saveNo,
                c.saveYes,         c.intervalTiming,
                c.stepEndTiming,   c.interval,
                c.intervalUnit,    c.intervalSpin,
                c.folderLabel,     c.folder,
                c.browse,          c.unitGroup,
                c.seconds,         c.hoursMinutesSeconds,
                c.dataGroup,       c.beforeProcessing,
                c.afterProcessing, c.cut,
                c.cutHours,        c.cutHoursLabel,
                c.cutHoursSpin,    c.cutMinutes,
                c.cutMinutesLabel, c.cutMinutesSpin},
               false);
        return;
    }
    followSaveFile();
    enable(
        {c.saveGroup, c.saveNo, c.saveYes, c.intervalTiming, c.stepEndTiming, c.intervalUnit, c.intervalSpin},
        true);
    c.interval->setEnabled(c.intervalTiming->isChecked());
    // The instrument times its own steps: readings follow the interval only.
    if (hardwareControl())
        c.stepEndTiming->setEnabled(false);
}

void CMonitorSetupDlg::followSaveFile()
{
    const Controls& c = controls_;
    const bool save = c.saveYes->isChecked();
    enable({c.folderLabel, c.folder, c.browse, c.unitGroup, c.seconds, c.hoursMinutesSeconds, c.dataGroup,
            c.beforeProcessing, c.afterProcessing},
           save);
    // Only a log written line by line can be cut.
    c.cut->setEnabled(save && settings_.FileMem != 0);
    if (save)
        followCut();
    else
        enable(
            {c.cutHours, c.cutHoursLabel, c.cutHoursSpin, c.cutMinutes, c.cutMinutesLabel, c.cutMinutesSpin},
            false);
}

void CMonitorSetupDlg::followCut()
{
    const Controls& c = controls_;
    enable({c.cutHours, c.cutHoursLabel, c.cutHoursSpin, c.cutMinutes, c.cutMinutesLabel, c.cutMinutesSpin},
           c.cut->isChecked());
}

void CMonitorSetupDlg::browseFolder()
{
    const QString chosen = chooseFolder_(this, QLatin1String(kFolderTitle), controls_.folder->text());
    if (!chosen.isEmpty())
        controls_.folder->setText(chosen);
    controls_.saveYes->setChecked(true);
    followSaveFile();
}

void CMonitorSetupDlg::accept()
{
    const Controls& c = controls_;
    UserPrompt& prompt = loader().prompt();
    const DialogDataCheck check(loader().module(), prompt);
    int interval = 0;
    int hours = settings_.CutHour;
    int minutes = settings_.CutMin;
    // The file cut is checked and stored only where the template shows it: a stored period that no
    // field shows cannot be mended here, so it is kept as it is.
    const bool cutShown =
        c.cut->isVisibleTo(this) && c.cutHours->isVisibleTo(this) && c.cutMinutes->isVisibleTo(this);
    if (!check.integerIn(c.interval, c.interval->text(), kMinInterval, kMaxInterval, interval))
        return;
    if (cutShown && (!check.integerIn(c.cutHours, c.cutHours->text(), 0, kMaxCutHours, hours) ||
                     !check.integerIn(c.cutMinutes, c.cutMinutes->text(), 0, kMaxCutMinutes, minutes)))
        return;
    // The folder is checked whether or not a file is written. It is not made the program's working
    // folder: a folder given relative to it would then name another place when the log opens.
    const QFileInfo folder(c.folder->text());
    if (c.folder->text().isEmpty() || !folder.isDir() || !folder.isExecutable()) {
        prompt.showMessage(QStringLiteral("The folder cannot be found."));
        c.folder->setFocus();
        return;
    }
    if (cutShown && hours == 0 && minutes == 0) {
        prompt.showMessage(QStringLiteral("0[hour]0[min] cannot."));
        return;
    }

    settings_.Curr = c.current->isChecked() ? 1 : 0;
    settings_.Volt = c.voltage->isChecked() ? 1 : 0;
    settings_.Power = c.power->isChecked() ? 1 : 0;
    settings_.MonitorTime = interval;
    settings_.File = c.saveYes->isChecked() ? 1 : 0;
    settings_.Folder = c.folder->text();
    settings_.PassTime = c.hoursMinutesSeconds->isChecked() ? 1 : 0;
    settings_.MonStart = c.beforeProcessing->isChecked() ? 1 : 0;
    settings_.MonEnd = c.afterProcessing->isChecked() ? 1 : 0;
    if (cutShown) {
        settings_.bCut = c.cut->isChecked() ? 1 : 0;
        settings_.CutHour = hours;
        settings_.CutMin = minutes;
    }
    // Under Hardware Control the choice lasts until the settings are next loaded; the stored
    // timing is Software Control's.
    settings_.MonTiming = c.stepEndTiming->isChecked() ? 1 : 0;
    if (!hardwareControl())
        settings_.MonSoft = settings_.MonTiming;
    TemplateDialog::accept();
}
