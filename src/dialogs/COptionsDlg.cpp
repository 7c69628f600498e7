#include "dialogs/COptionsDlg.h"

#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/CurrentDocument.h"
#include "ui/UserPrompt.h"

#include <QComboBox>
#include <QPushButton>

namespace {

void showIndex(QComboBox* list, int index)
{
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

// A list without a choice (a stored index off the list) keeps the stored index.
void storeIndex(const QComboBox* list, int& setting)
{
    if (list->currentIndex() >= 0)
        setting = list->currentIndex();
}

} // namespace

void COptionsDlg::Controls::bind(TemplateForm& form)
{
    form.bind(current, "comboCurrent");
    form.bind(voltage, "comboVoltage");
    form.bind(resistance, "comboResistance");
    form.bind(power, "comboPower");
    form.bind(ok, "buttonOk");
    form.bind(cancel, "buttonCancel");
}

COptionsDlg::COptionsDlg(const TemplateLoader& loader, AppSettings& settings, const CurrentDocument& document,
                         UserPrompt& prompt, QWidget* parent)
    : TemplateDialog(loader, QLatin1String(templateName), parent), settings_(settings), document_(document),
      prompt_(prompt)
{
    controls_.bind(form());
    connect(controls_.ok, &QPushButton::clicked, this, &COptionsDlg::accept);
    connect(controls_.cancel, &QPushButton::clicked, this, &COptionsDlg::reject);
    showIndex(controls_.current, settings_.CurrPlace);
    showIndex(controls_.voltage, settings_.VoltPlace);
    showIndex(controls_.resistance, settings_.ResistPlace);
    showIndex(controls_.power, settings_.PowerPlace);
}

void COptionsDlg::accept()
{
    // Values already entered keep their text; mixing places within a channel is refused.
    const CMainDoc* document = document_.get();
    if (document && document->current().count > 0) {
        prompt_.showMessage(QStringLiteral("Change without entering data."));
        return;
    }
    storeIndex(controls_.current, settings_.CurrPlace);
    storeIndex(controls_.voltage, settings_.VoltPlace);
    storeIndex(controls_.resistance, settings_.ResistPlace);
    storeIndex(controls_.power, settings_.PowerPlace);
    TemplateDialog::accept();
}
