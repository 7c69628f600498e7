#include "dialogs/CInitDlg.h"

#include "model/AppSettings.h"
#include "ui/UserPrompt.h"
#include "views/CDecimalEdit.h"
#include "views/DialogDataCheck.h"

#include <QCheckBox>

void CInitDlg::Controls::bind(TemplateForm& form)
{
    form.bind(setCurrent, "check1100");
    form.bind(current, "edit1097");
    form.bind(setVoltage, "check1099");
    form.bind(voltage, "edit1098");
    form.bind(setPower, "check1101");
    form.bind(power, "edit1102");
    form.bind(setResistance, "check1103");
    form.bind(resistance, "edit1104");
    form.bindOkCancel(ok, cancel);
}

CInitDlg::CInitDlg(const TemplateLoader& loader, AppSettings& settings, QWidget* parent)
    : TemplateDialog(loader, QLatin1String(templateName), parent), settings_(settings),
      powerAndResistance_(modelSetsPowerAndResistance(settings.Machine))
{
    const Controls& c = controls_;
    controls_.bind(form());
    connectOkCancel(c.ok, c.cancel);
    for (QCheckBox* box : {c.setCurrent, c.setVoltage, c.setPower, c.setResistance})
        connect(box, &QCheckBox::clicked, this, &CInitDlg::followBoxes);

    c.setCurrent->setChecked(settings_.bInitCurr == 1);
    c.current->setText(DialogDataCheck::numberText(settings_.InitCurr));
    c.setVoltage->setChecked(settings_.bInitVolt == 1);
    c.voltage->setText(DialogDataCheck::numberText(settings_.InitVolt));
    c.setPower->setChecked(settings_.bInitPower == 1);
    c.power->setText(DialogDataCheck::numberText(settings_.InitPower));
    c.setResistance->setChecked(settings_.bInitRes == 1);
    c.resistance->setText(DialogDataCheck::numberText(settings_.InitRes));
    c.setPower->setEnabled(powerAndResistance_);
    c.setResistance->setEnabled(powerAndResistance_);
    followBoxes();
}

void CInitDlg::followBoxes()
{
    const Controls& c = controls_;
    c.current->setEnabled(c.setCurrent->isChecked());
    c.voltage->setEnabled(c.setVoltage->isChecked());
    c.power->setEnabled(powerAndResistance_ && c.setPower->isChecked());
    c.resistance->setEnabled(powerAndResistance_ && c.setResistance->isChecked());
}

void CInitDlg::accept()
{
    const Controls& c = controls_;
    const DialogDataCheck check(loader().module(), loader().prompt());
    double values[4] = {};
    CDecimalEdit* fields[4] = {c.current, c.voltage, c.power, c.resistance};
    for (int i = 0; i < 4; ++i) {
        if (!check.number(fields[i], fields[i]->text(), values[i]))
            return;
    }
    settings_.bInitCurr = c.setCurrent->isChecked() ? 1 : 0;
    settings_.InitCurr = values[0];
    settings_.bInitVolt = c.setVoltage->isChecked() ? 1 : 0;
    settings_.InitVolt = values[1];
    settings_.bInitPower = c.setPower->isChecked() ? 1 : 0;
    settings_.InitPower = values[2];
    settings_.bInitRes = c.setResistance->isChecked() ? 1 : 0;
    settings_.InitRes = values[3];
    TemplateDialog::accept();
}
