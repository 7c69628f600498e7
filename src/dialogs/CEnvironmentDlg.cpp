#include "dialogs/CEnvironmentDlg.h"

#include "model/AppSettings.h"
#include "model/FileFormatSettings.h"

#include <QComboBox>
#include <QRadioButton>

void CEnvironmentDlg::Controls::bind(TemplateForm& form)
{
    form.bind(tsrTab, "radioTsrTab");
    form.bind(tsrComma, "radioTsrComma");
    form.bind(txtTab, "radioTxtTab");
    form.bind(txtComma, "radioTxtComma");
    form.bind(extension, "comboExt");
    form.bindOkCancel(ok, cancel);
}

CEnvironmentDlg::CEnvironmentDlg(const TemplateLoader& loader, AppSettings& settings, QWidget* parent)
    : TemplateDialog(loader, QLatin1String(templateName), parent), settings_(settings)
{
    controls_.bind(form());
    connectOkCancel(controls_.ok, controls_.cancel);
    controls_.tsrTab->setChecked(settings_.Tsr == 0);
    controls_.tsrComma->setChecked(settings_.Tsr == 1);
    controls_.txtTab->setChecked(settings_.Txt == 0);
    controls_.txtComma->setChecked(settings_.Txt == 1);
    controls_.extension->setEditText(settings_.Ext);
}

void CEnvironmentDlg::accept()
{
    // The first button of each group is 0.
    FileFormatSettings chosen;
    chosen.Tsr = controls_.tsrComma->isChecked() ? 1 : 0;
    chosen.Txt = controls_.txtComma->isChecked() ? 1 : 0;
    chosen.Ext = controls_.extension->currentText();
    if (!chosen.applyTo(settings_, loader().prompt())) {
        controls_.extension->setFocus();
        return;
    }
    TemplateDialog::accept();
}
