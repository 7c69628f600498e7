#include "dialogs/COptionsDlg.h"

#include "dialogs/DialogControls.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/CurrentDocument.h"
#include "ui/UserPrompt.h"

#include <QComboBox>

void COptionsDlg::Controls::bind(TemplateForm& form)
{
    form.bind(current, "comboCurrent");
    form.bind(voltage, "comboVoltage");
    form.bind(resistance, "comboResistance");
    form.bind(power, "comboPower");
    form.bindOkCancel(ok, cancel);
}

COptionsDlg::COptionsDlg(const TemplateLoader& loader, AppSettings& settings, const CurrentDocument& document,
                         UserPrompt& prompt, QWidget* parent)
    : TemplateDialog(loader, QLatin1String(templateName), parent), settings_(settings), document_(document),
      prompt_(prompt)
{
    controls_.bind(form());
    connectOkCancel(controls_.ok, controls_.cancel);
    DialogControls::showListIndex(controls_.current, settings_.CurrPlace);
    DialogControls::showListIndex(controls_.voltage, settings_.VoltPlace);
    DialogControls::showListIndex(controls_.resistance, settings_.ResistPlace);
    DialogControls::showListIndex(controls_.power, settings_.PowerPlace);
}

void COptionsDlg::accept()
{
    // Values already entered keep their text; mixing places within a channel is refused.
    const CMainDoc* document = document_.get();
    if (document && document->current().count > 0) {
        prompt_.showMessage(QStringLiteral("Change without entering data."));
        return;
    }
    settings_.CurrPlace = DialogControls::listIndexOr(controls_.current, settings_.CurrPlace);
    settings_.VoltPlace = DialogControls::listIndexOr(controls_.voltage, settings_.VoltPlace);
    settings_.ResistPlace = DialogControls::listIndexOr(controls_.resistance, settings_.ResistPlace);
    settings_.PowerPlace = DialogControls::listIndexOr(controls_.power, settings_.PowerPlace);
    TemplateDialog::accept();
}
