#include "views/CScaleDlg.h"

#include "ui/ResourceModule.h"
#include "ui/UserPrompt.h"
#include "views/DialogDataCheck.h"

#include <QCheckBox>
#include <QLineEdit>
#include <cmath>

void CScaleDlg::Controls::bind(TemplateForm& form)
{
    form.bind(timeMax, "editTimeMax");
    form.bind(timeMin, "editTimeMin");
    form.bind(valueMax, "editValueMax");
    form.bind(valueMin, "editValueMin");
    form.bind(autoTimeMax, "checkAutoTimeMax");
    form.bind(autoValueMax, "checkAutoValueMax");
    form.bind(autoValueMin, "checkAutoValueMin");
    form.bindOkCancel(ok, cancel);
}

CScaleDlg::CScaleDlg(const TemplateLoader& loader, const ScaleValues& values, QWidget* parent)
    : TemplateDialog(loader, QLatin1String(templateName), parent), values_(values)
{
    controls_.bind(form());
    connectOkCancel(controls_.ok, controls_.cancel);
    controls_.timeMax->setText(DialogDataCheck::numberText(values.timeMax));
    controls_.timeMin->setText(DialogDataCheck::numberText(values.timeMin));
    controls_.valueMax->setText(DialogDataCheck::numberText(values.valueMax));
    controls_.valueMin->setText(DialogDataCheck::numberText(values.valueMin));
    controls_.autoTimeMax->setChecked(values.autoTimeMax);
    controls_.autoValueMax->setChecked(values.autoValueMax);
    controls_.autoValueMin->setChecked(values.autoValueMin);
}

CScaleDlg::Message CScaleDlg::check(const ScaleValues& values)
{
    if (!(values.valueMax > values.valueMin) || !(values.timeMax > values.timeMin))
        return MinimumBelowMaximum;
    if (values.valueMin > 0.0)
        return ValueBelowZero;
    if (values.valueMax < 0.0)
        return ValueAboveZero;
    if (values.timeMin < 0.0)
        return ValueAboveZero;
    if (values.valueMin < -999.999)
        return OutOfRange;
    if (values.valueMax > 1000.0)
        return OutOfRange;
    return NoMessage;
}

bool CScaleDlg::readField(QLineEdit* field, double& value)
{
    bool ok = false;
    const double number = field->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number)) {
        loader().prompt().showMessage(QStringLiteral("Please enter a number."));
        field->setFocus();
        field->selectAll();
        return false;
    }
    value = number;
    return true;
}

void CScaleDlg::accept()
{
    ScaleValues entered;
    if (!readField(controls_.timeMax, entered.timeMax) || !readField(controls_.timeMin, entered.timeMin) ||
        !readField(controls_.valueMax, entered.valueMax) || !readField(controls_.valueMin, entered.valueMin))
        return;
    entered.autoTimeMax = controls_.autoTimeMax->isChecked();
    entered.autoValueMax = controls_.autoValueMax->isChecked();
    entered.autoValueMin = controls_.autoValueMin->isChecked();
    const Message message = check(entered);
    if (message != NoMessage) {
        loader().prompt().showMessage(loader().module().string(message));
        return;
    }
    values_ = entered;
    TemplateDialog::accept();
}
