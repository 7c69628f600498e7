#pragma once

#include "dialogs/ModeSettings.h"
#include "views/TemplateLoader.h"

#include <array>

class CurrentDocument;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class SpinEdit;
class UserPrompt;
struct AppSettings;

// The "Mode" dialog: the time unit and, one tab per channel, the operation mode, the constant
// voltage of CC+CV and of CR+CV, the repeat count and the load-off flag. Under Hardware Control only
// CC and CR and the unit s can be chosen; under Software Control the load-off flag cannot. It
// refuses to change the mode of a channel that has steps, and the unit while any channel has steps.
// The fields of a tab are checked when another tab is chosen and on OK, which stores everything
// into the settings.
class CModeDlg : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr const char* templateName = "Mode.ui";
    static constexpr int kFirstRepeat = 1;
    static constexpr int kLastRepeat = 9999;

    struct Controls {
        QComboBox* unit = nullptr;
        QTabWidget* tabs = nullptr;
        QWidget* fields = nullptr;            // the channel's fields, shown in the selected tab
        std::array<QRadioButton*, 5> modes{}; // CV, CC, CR, CC+CV, CR+CV
        QLabel* volt1Label = nullptr;
        QLineEdit* volt1 = nullptr;
        QLabel* volt2Label = nullptr;
        QLineEdit* volt2 = nullptr;
        SpinEdit* repeat = nullptr;
        QCheckBox* loadOff = nullptr;
        QLineEdit* currentAfter = nullptr; // hidden
        QPushButton* ok = nullptr;
        QPushButton* cancel = nullptr;
        void bind(TemplateForm& form);
    };

    CModeDlg(const TemplateLoader& loader, AppSettings& settings, const CurrentDocument& document,
             UserPrompt& prompt, QWidget* parent = nullptr);

    const Controls& controls() const { return controls_; }
    const ModeSettings& data() const { return data_; }
    int shownChannel() const { return shownChannel_; }

    // OK: the shown channel's fields are checked and kept, and everything goes into the settings.
    void accept() override;

private:
    void showChannel(int channel);
    // The shown fields into the shown channel's slot; false (after the framework's message) when a
    // field is refused.
    bool readShownChannel();
    int shownMode() const;
    void checkMode(int mode);
    void enableVoltageFields(int mode);
    void tabChanged(int index);
    void modeChosen(int mode);
    void unitChosen(int index);

    AppSettings& settings_;
    const CurrentDocument& document_;
    UserPrompt& prompt_;
    Controls controls_;
    ModeSettings data_;
    int shownChannel_ = 0;
    int shownUnitIndex_ = -1;
};
