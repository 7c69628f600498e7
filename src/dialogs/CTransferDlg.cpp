#include "dialogs/CTransferDlg.h"

#include "dialogs/DialogControls.h"
#include "dialogs/TransferProgress.h"
#include "instrument/TransferProcedures.h"
#include "model/CurrentDocument.h"
#include "views/DialogDataCheck.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

using DialogControls::listIndexOr;
using DialogControls::showListIndex;

void CTransferDlg::Controls::bind(TemplateForm& form)
{
    DialogControls::bindChannelBoxes(form, channels);
    form.bind(write, "buttonWrite");
    form.bind(read, "buttonRead");
    form.bind(close, "buttonClose");
    form.bind(repeat, "editRepeat");
    form.bind(writeProgram, "comboWriteProgram");
    form.bind(readProgram, "comboReadProgram");
    form.bind(outOff, "checkOutOff");
    form.bind(offCurrent, "editOffCurrent");
    form.bind(currentRange, "comboCurrentRange");
    form.bind(voltageRange, "comboVoltageRange");
    form.bind(eraseAll, "checkAllDelete");
}

CTransferDlg::CTransferDlg(const TemplateLoader& loader, const Context& context, QWidget* parent)
    : TemplateDialog(loader, QLatin1String(templateName), parent), context_(context),
      data_(TransferData::fromSettings(context.settings))
{
    controls_.bind(form());
    for (int c = 0; c < kChannelCount; ++c)
        connect(controls_.channels[c], &QCheckBox::clicked, this, [this, c] { channelClicked(c); });
    connect(controls_.write, &QPushButton::clicked, this, &CTransferDlg::write);
    connect(controls_.read, &QPushButton::clicked, this, &CTransferDlg::read);
    connect(controls_.close, &QPushButton::clicked, this, &CTransferDlg::accept);
    showData();
    updateWriteButton();
}

void CTransferDlg::showData()
{
    for (int c = 0; c < kChannelCount; ++c)
        controls_.channels[c]->setChecked(data_.channels[c] != 0);
    controls_.repeat->setText(QString::number(data_.repeat));
    showListIndex(controls_.writeProgram, data_.writeProgramIndex);
    showListIndex(controls_.readProgram, data_.readProgramIndex);
    controls_.outOff->setChecked(data_.outOff != 0);
    controls_.offCurrent->setText(DialogDataCheck::numberText(data_.offCurrent));
    showListIndex(controls_.currentRange, data_.currentRangeIndex);
    showListIndex(controls_.voltageRange, data_.voltageRangeIndex);
    controls_.eraseAll->setChecked(data_.eraseAll != 0);
}

void CTransferDlg::readControls()
{
    for (int c = 0; c < kChannelCount; ++c)
        data_.channels[c] = controls_.channels[c]->isChecked() ? 1 : 0;
    // The hidden fields hold what the settings gave; a list without that entry keeps the value.
    data_.writeProgramIndex = listIndexOr(controls_.writeProgram, data_.writeProgramIndex);
    data_.readProgramIndex = listIndexOr(controls_.readProgram, data_.readProgramIndex);
    data_.outOff = controls_.outOff->isChecked() ? 1 : 0;
    data_.currentRangeIndex = listIndexOr(controls_.currentRange, data_.currentRangeIndex);
    data_.voltageRangeIndex = listIndexOr(controls_.voltageRange, data_.voltageRangeIndex);
    data_.eraseAll = controls_.eraseAll->isChecked() ? 1 : 0;
}

bool CTransferDlg::readData()
{
    readControls();
    const DialogDataCheck check(loader().module(), context_.prompt);
    return check.integerIn(controls_.repeat, controls_.repeat->text(), TransferData::kFirstRepeat,
                           TransferData::kLastRepeat, data_.repeat);
}

void CTransferDlg::channelClicked(int channel)
{
    // At least one channel always stays checked.
    const bool anyChecked = std::any_of(controls_.channels.begin(), controls_.channels.end(),
                                        [](const QCheckBox* box) { return box->isChecked(); });
    if (!anyChecked)
        controls_.channels[channel]->setChecked(true);
    data_.channels[channel] = controls_.channels[channel]->isChecked() ? 1 : 0;
}

void CTransferDlg::updateWriteButton()
{
    controls_.write->setEnabled(static_cast<bool>(context_.document));
}

void CTransferDlg::write()
{
    if (!readData())
        return;
    TransferProgress::Scope progress(context_.progress, TransferProgress::Direction::Writing,
                                     {controls_.write, controls_.read, controls_.close});
    context_.procedures.writeChannels(data_);
}

void CTransferDlg::read()
{
    // The repeat count is not the read's business: one out of its range still reads.
    readControls();
    {
        TransferProgress::Scope progress(context_.progress, TransferProgress::Direction::Reading,
                                         {controls_.write, controls_.read, controls_.close});
        context_.procedures.readChannels(data_);
    }
    showData();
    updateWriteButton();
}

void CTransferDlg::accept()
{
    if (!readData())
        return;
    data_.storeTo(context_.settings);
    TemplateDialog::accept();
}
