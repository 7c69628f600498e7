#include "dialogs/CModeDlg.h"

#include "dialogs/DialogControls.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/CurrentDocument.h"
#include "ui/UserPrompt.h"
#include "views/DialogDataCheck.h"
#include "views/SpinEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>

void CModeDlg::Controls::bind(TemplateForm& form)
{
    form.bind(unit, "comboUnit");
    form.bind(tabs, "tabChannels");
    form.bind(fields, "channelFields");
    form.bind(modes[ModeCV], "radioCv");
    form.bind(modes[ModeCC], "radioCc");
    form.bind(modes[ModeCR], "radioCr");
    form.bind(modes[ModeCCCV], "radioCccv");
    form.bind(modes[ModeCRCV], "radioCrcv");
    form.bind(volt1Label, "labelVolt1");
    form.bind(volt1, "editVolt1");
    form.bind(volt2Label, "labelVolt2");
    form.bind(volt2, "editVolt2");
    form.bind(repeat, "spinRepeat");
    form.bind(loadOff, "checkLoadOff");
    form.bind(currentAfter, "editCurrentAfter");
    form.bindOkCancel(ok, cancel);
}

CModeDlg::CModeDlg(const TemplateLoader& loader, AppSettings& settings, const CurrentDocument& document,
                   UserPrompt& prompt, QWidget* parent)
    : TemplateDialog(loader, QLatin1String(templateName), parent), settings_(settings), document_(document),
      prompt_(prompt), data_(ModeSettings::fromSettings(settings))
{
    controls_.bind(form());
    const bool hardware = settings_.SeqCtl == HardwareControl;

    // Under Hardware Control the instrument times in seconds only.
    QComboBox* unit = controls_.unit;
    if (hardware) {
        while (unit->count() > 1)
            unit->removeItem(unit->count() - 1);
    }
    DialogControls::showListValue(unit, data_.unit, UnitS);
    shownUnitIndex_ = unit->currentIndex();
    controls_.repeat->setArrowRange(kFirstRepeat, kLastRepeat);

    // Hardware Control runs CC and CR programs only; the load-off flag is the instrument program's.
    for (int mode : {ModeCV, ModeCCCV, ModeCRCV})
        controls_.modes[mode]->setEnabled(!hardware);
    controls_.volt1Label->setEnabled(!hardware);
    controls_.volt2Label->setEnabled(!hardware);
    controls_.loadOff->setEnabled(hardware);

    controls_.tabs->setCurrentIndex(0);
    showChannel(0);

    for (int mode = ModeCV; mode <= ModeCRCV; ++mode)
        connect(controls_.modes[mode], &QRadioButton::clicked, this, [this, mode] { modeChosen(mode); });
    connect(unit, &QComboBox::currentIndexChanged, this, &CModeDlg::unitChosen);
    connect(controls_.tabs, &QTabWidget::currentChanged, this, &CModeDlg::tabChanged);
    connectOkCancel(controls_.ok, controls_.cancel);
}

void CModeDlg::showChannel(int channel)
{
    shownChannel_ = channel;
    const ModeSettings::Channel& slot = data_.channels[channel];
    checkMode(slot.mode);
    controls_.volt1->setText(DialogDataCheck::numberText(slot.volt1));
    controls_.volt2->setText(DialogDataCheck::numberText(slot.volt2));
    controls_.repeat->setValue(slot.repeat);
    controls_.loadOff->setChecked(slot.loadOff != 0);
    controls_.currentAfter->setText(DialogDataCheck::numberText(slot.currentAfter));
    enableVoltageFields(slot.mode);

    DialogControls::showInPage(controls_.tabs, channel, controls_.fields);
}

void CModeDlg::checkMode(int mode)
{
    // A mode off the list shows no button; exclusive buttons can only be cleared one by one.
    for (QRadioButton* button : controls_.modes) {
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
    }
    if (mode >= ModeCV && mode <= ModeCRCV)
        controls_.modes[mode]->setChecked(true);
}

int CModeDlg::shownMode() const
{
    for (int mode = ModeCV; mode <= ModeCRCV; ++mode) {
        if (controls_.modes[mode]->isChecked())
            return mode;
    }
    return data_.channels[shownChannel_].mode;
}

bool CModeDlg::readShownChannel()
{
    const DialogDataCheck check(loader().module(), prompt_);
    ModeSettings::Channel slot = data_.channels[shownChannel_];
    slot.mode = shownMode();
    // The spin box takes what was typed only when asked.
    controls_.repeat->interpretText();
    if (!check.number(controls_.volt1, controls_.volt1->text(), slot.volt1) ||
        !check.number(controls_.volt2, controls_.volt2->text(), slot.volt2) ||
        !check.integerIn(controls_.repeat, controls_.repeat->cleanText(), kFirstRepeat, kLastRepeat,
                         slot.repeat) ||
        !check.number(controls_.currentAfter, controls_.currentAfter->text(), slot.currentAfter))
        return false;
    slot.loadOff = controls_.loadOff->isChecked() ? 1 : 0;
    data_.channels[shownChannel_] = slot;
    if (controls_.unit->currentIndex() >= 0)
        data_.unit = controls_.unit->currentIndex() + UnitS;
    return true;
}

void CModeDlg::enableVoltageFields(int mode)
{
    controls_.volt1->setEnabled(mode == ModeCCCV);
    controls_.volt2->setEnabled(mode == ModeCRCV);
}

void CModeDlg::tabChanged(int index)
{
    if (index == shownChannel_ || index < 0 || index >= kChannelCount)
        return;
    // The tab stays on the shown channel until its fields are read.
    const QSignalBlocker blocker(controls_.tabs);
    controls_.tabs->setCurrentIndex(shownChannel_);
    if (!readShownChannel())
        return;
    controls_.tabs->setCurrentIndex(index);
    showChannel(index);
}

void CModeDlg::modeChosen(int mode)
{
    // Steps already entered would be read in another unit of measure.
    const CMainDoc* document = document_.get();
    if (document && document->channel(shownChannel_).count > 0) {
        prompt_.showMessage(QStringLiteral("Change mode without entering data."));
        checkMode(data_.channels[shownChannel_].mode);
        return;
    }
    enableVoltageFields(mode);
}

void CModeDlg::unitChosen(int index)
{
    if (index == shownUnitIndex_)
        return;
    const CMainDoc* document = document_.get();
    if (document && document->hasAnySteps()) {
        prompt_.showMessage(QStringLiteral("Change unit without entering data."));
        controls_.unit->setCurrentIndex(shownUnitIndex_);
        return;
    }
    shownUnitIndex_ = index;
}

void CModeDlg::accept()
{
    if (!readShownChannel())
        return;
    data_.storeTo(settings_);
    TemplateDialog::accept();
}
