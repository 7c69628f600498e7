#pragma once

#include "instrument/ChannelNumbers.h"
#include "instrument/TransferData.h"
#include "views/TemplateLoader.h"

#include <array>

class CurrentDocument;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class TransferProcedures;
class TransferProgress;
class UserPrompt;
struct AppSettings;

// The "Transfer" dialog: writes the checked channels of the current document into the instrument
// ("&Run" in the Write group) or reads them back into a new document ("R&un" in the Read group).
// At least one channel stays checked. The dialog also carries options of other instrument families
// in hidden fields, loaded from the settings and stored back. "Close" stores the dialog's data
// (after checking the hidden repeat count); Escape stores nothing.
class CTransferDlg : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr const char* templateName = "Transfer.ui";

    struct Controls {
        std::array<QCheckBox*, kChannelCount> channels{};
        QPushButton* write = nullptr;
        QPushButton* read = nullptr;
        QPushButton* close = nullptr;
        // Hidden.
        QLineEdit* repeat = nullptr;
        QComboBox* writeProgram = nullptr;
        QComboBox* readProgram = nullptr;
        QCheckBox* outOff = nullptr;
        QLineEdit* offCurrent = nullptr;
        QComboBox* currentRange = nullptr;
        QComboBox* voltageRange = nullptr;
        QCheckBox* eraseAll = nullptr;
        void bind(TemplateForm& form);
    };

    struct Context {
        AppSettings& settings;
        const CurrentDocument& document;
        TransferProcedures& procedures;
        UserPrompt& prompt;
        TransferProgress* progress = nullptr; // shown while a write or read runs
    };

    CTransferDlg(const TemplateLoader& loader, const Context& context, QWidget* parent = nullptr);

    const Controls& controls() const { return controls_; }
    // The dialog's data as last read from (or shown in) the controls.
    const TransferData& data() const { return data_; }

    // "Close": stores the dialog's data unless the repeat count is refused.
    void accept() override;

private:
    void showData();
    // The channel boxes and the hidden fields other than the repeat count.
    void readControls();
    // Reads the controls into the data; false (after the framework's message) when the repeat count
    // is not a whole number from 1 to 9999.
    bool readData();
    void channelClicked(int channel);
    void write();
    void read();
    void updateWriteButton();

    Context context_;
    Controls controls_;
    TransferData data_;
};
