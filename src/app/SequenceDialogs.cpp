#include "app/SequenceDialogs.h"

#include "app/ShellServices.h"
#include "dialogs/CModeDlg.h"
#include "dialogs/COptionsDlg.h"
#include "dialogs/CRangeDlg.h"
#include "dialogs/CTransferDlg.h"
#include "instrument/TransferProcedures.h"
#include "model/AppSettings.h"
#include "run/RunEngine.h"

SequenceDialogs::SequenceDialogs(Context context) : context_(std::move(context)) {}

void SequenceDialogs::runTransfer()
{
    // The transfer speaks the KDR-X language only.
    if (context_.settings.Machine != AppSettings::kKdrxMachine)
        return;
    TransferProcedures procedures(context_.device, context_.settings, context_.current, context_.prompt);
    TransferProcedures::Hooks hooks;
    hooks.updateRunWindow = [this](const TransferProcedures::RunWindowTotals& totals) {
        context_.runEngine.showTransferTotals(totals);
    };
    hooks.closeDocuments = context_.closeDocuments;
    hooks.createDocument = context_.createDocument;
    hooks.refreshViews = context_.refillAllChannels;
    procedures.setHooks(hooks);
    CTransferDlg dialog(context_.templates,
                        CTransferDlg::Context{context_.settings, context_.current, procedures,
                                              context_.prompt, context_.progress},
                        context_.parent);
    context_.services.execDialog(dialog);
}

void SequenceDialogs::runRanges()
{
    TransferProcedures procedures(context_.device, context_.settings, context_.current, context_.prompt);
    TransferProcedures::Hooks hooks;
    hooks.clearRunWindow = [this] { context_.runEngine.clearTransferTotals(); };
    procedures.setHooks(hooks);
    CRangeDlg dialog(context_.templates, RangeData::fromSettings(context_.settings), procedures,
                     context_.progress, context_.parent);
    context_.services.execDialog(dialog);
}

void SequenceDialogs::runMode()
{
    CModeDlg dialog(context_.templates, context_.settings, context_.current, context_.prompt,
                    context_.parent);
    if (context_.services.execDialog(dialog) == QDialog::Accepted && context_.applyModeSettings)
        context_.applyModeSettings();
}

void SequenceDialogs::runOptions()
{
    COptionsDlg dialog(context_.templates, context_.settings, context_.current, context_.prompt,
                       context_.parent);
    context_.services.execDialog(dialog);
}
