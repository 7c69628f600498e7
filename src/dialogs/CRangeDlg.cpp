#include "dialogs/CRangeDlg.h"

#include "dialogs/DialogControls.h"
#include "dialogs/TransferProgress.h"
#include "instrument/TransferProcedures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>

using DialogControls::listIndexOr;
using DialogControls::showListIndex;

void CRangeDlg::Controls::bind(TemplateForm& form)
{
    DialogControls::bindChannelBoxes(form, channels);
    form.bind(tabs, "tabChannels");
    form.bind(lists, "channelRanges");
    form.bind(currentRange, "comboCurrentRange");
    form.bind(resistanceRange, "comboResistanceRange");
    form.bind(voltageRange, "comboVoltageRange");
    form.bind(write, "buttonWrite");
    form.bind(close, "buttonClose");
}

CRangeDlg::CRangeDlg(const TemplateLoader& loader, const RangeData& data, TransferProcedures& procedures,
                     TransferProgress* progress, QWidget* parent)
    : TemplateDialog(loader, QLatin1String(templateName), parent), procedures_(procedures),
      progress_(progress), data_(data)
{
    controls_.bind(form());
    for (int c = 0; c < kChannelCount; ++c)
        controls_.channels[c]->setChecked(data_.enabled[c] != 0);
    controls_.tabs->setCurrentIndex(0);
    showChannel(0);
    connect(controls_.tabs, &QTabWidget::currentChanged, this, &CRangeDlg::tabChanged);
    connect(controls_.write, &QPushButton::clicked, this, &CRangeDlg::write);
    connect(controls_.close, &QPushButton::clicked, this, &CRangeDlg::accept);
}

void CRangeDlg::showChannel(int channel)
{
    shownChannel_ = channel;
    showListIndex(controls_.currentRange, data_.currentRange[channel]);
    showListIndex(controls_.voltageRange, data_.voltageRange[channel]);
    showListIndex(controls_.resistanceRange, data_.resistanceRange[channel]);
    DialogControls::showInPage(controls_.tabs, channel, controls_.lists);
}

void CRangeDlg::storeShownChannel()
{
    for (int c = 0; c < kChannelCount; ++c)
        data_.enabled[c] = controls_.channels[c]->isChecked() ? 1 : 0;
    const int c = shownChannel_;
    data_.currentRange[c] = listIndexOr(controls_.currentRange, data_.currentRange[c]);
    data_.voltageRange[c] = listIndexOr(controls_.voltageRange, data_.voltageRange[c]);
    data_.resistanceRange[c] = listIndexOr(controls_.resistanceRange, data_.resistanceRange[c]);
}

void CRangeDlg::tabChanged(int index)
{
    if (index < 0 || index >= kChannelCount)
        return;
    storeShownChannel();
    showChannel(index);
}

void CRangeDlg::write()
{
    storeShownChannel();
    // The procedure stores the settings, clears the Run window's totals and says so only when the
    // instrument took every range; otherwise it has shown why.
    const TransferProgress::Scope writing(progress_, TransferProgress::Direction::Writing,
                                          {controls_.write, controls_.close});
    procedures_.writeRanges(data_);
}
