#include "dialogs/CRangeDlg.h"

#include "dialogs/TransferProgress.h"
#include "instrument/TransferProcedures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLayout>
#include <QPushButton>
#include <QTabWidget>

namespace {

// A list's index, or the one it had when the list shows none.
int listIndex(const QComboBox* list, int previous)
{
    return list->currentIndex() >= 0 ? list->currentIndex() : previous;
}

void showIndex(QComboBox* list, int index)
{
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

} // namespace

void CRangeDlg::Controls::bind(TemplateForm& form)
{
    static const char* const kChannelNames[kChannelCount] = {
        "checkChannel1", "checkChannel2", "checkChannel3", "checkChannel4", "checkChannel5"};
    for (int c = 0; c < kChannelCount; ++c)
        form.bind(channels[c], kChannelNames[c]);
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
    showIndex(controls_.currentRange, data_.currentRange[channel]);
    showIndex(controls_.voltageRange, data_.voltageRange[channel]);
    showIndex(controls_.resistanceRange, data_.resistanceRange[channel]);
    // One set of lists serves every tab: it moves into the page on show.
    QWidget* page = controls_.tabs->widget(channel);
    if (page && page->layout() && controls_.lists->parentWidget() != page) {
        page->layout()->addWidget(controls_.lists);
        controls_.lists->show();
    }
}

void CRangeDlg::storeShownChannel()
{
    for (int c = 0; c < kChannelCount; ++c)
        data_.enabled[c] = controls_.channels[c]->isChecked() ? 1 : 0;
    const int c = shownChannel_;
    data_.currentRange[c] = listIndex(controls_.currentRange, data_.currentRange[c]);
    data_.voltageRange[c] = listIndex(controls_.voltageRange, data_.voltageRange[c]);
    data_.resistanceRange[c] = listIndex(controls_.resistanceRange, data_.resistanceRange[c]);
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
    const TransferProgress::Scope writing(progress_, TransferProgress::Direction::Writing);
    procedures_.writeRanges(data_);
}
