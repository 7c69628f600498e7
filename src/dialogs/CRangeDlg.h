#pragma once

#include "instrument/ChannelNumbers.h"
#include "instrument/RangeData.h"
#include "views/TemplateLoader.h"

#include <array>

class QCheckBox;
class QComboBox;
class QPushButton;
class QTabWidget;
class QWidget;
class TransferProcedures;
class TransferProgress;

// The "Initial Settings" dialog of ranges: the constant-current (and constant-resistance) and the
// constant-voltage range of each channel, one tab per channel, written to the checked channels of
// the instrument with "&Write". The lists show the channel of the selected tab; its choices are
// kept per channel across tab switches. The settings keep the ranges only after a successful write;
// "Close" stores nothing.
class CRangeDlg : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr const char* templateName = "RangeSettings.ui";

    struct Controls {
        std::array<QCheckBox*, kChannelCount> channels{};
        QTabWidget* tabs = nullptr;
        QWidget* lists = nullptr; // the lists, shown in the selected tab
        QComboBox* currentRange = nullptr;
        QComboBox* resistanceRange = nullptr; // hidden
        QComboBox* voltageRange = nullptr;
        QPushButton* write = nullptr;
        QPushButton* close = nullptr;
        void bind(TemplateForm& form);
    };

    // The data is loaded from the settings by whoever opens the dialog (RangeData::fromSettings).
    // While the ranges are written the windows are kept painted and input is held off as during a
    // transfer (progress, when given).
    CRangeDlg(const TemplateLoader& loader, const RangeData& data, TransferProcedures& procedures,
              TransferProgress* progress = nullptr, QWidget* parent = nullptr);

    const Controls& controls() const { return controls_; }
    // The dialog's data: the boxes as last read, the ranges of every channel as last stored from
    // the lists (the shown channel's on a tab switch and on "&Write").
    const RangeData& data() const { return data_; }
    int shownChannel() const { return shownChannel_; }

private:
    void showChannel(int channel);
    void storeShownChannel();
    void tabChanged(int index);
    void write();

    TransferProcedures& procedures_;
    TransferProgress* progress_;
    Controls controls_;
    RangeData data_;
    int shownChannel_ = 0;
};
