#pragma once

#include "views/TemplateLoader.h"

#include <functional>

struct AppSettings;
class CDecimalEdit;
class CSpinButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The "Monitoring Setup" dialog: what is measured during a run (current, voltage), when (every
// interval, or just before each step ends under Software Control), and whether and how readings go
// to a log file (folder, unit of the elapsed time, the data before and after processing, the file
// cut, which the template keeps hidden). Controls that cannot apply are disabled as the choices
// change. OK checks the numbers, that the folder exists and that the cut period is not zero, then
// stores every field; the timing is stored for good only under Software Control. While the template
// hides the cut controls, their stored values are neither checked nor changed.
class CMonitorSetupDlg : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr const char* templateName = "MonitoringSetup.ui";
    static constexpr int kMinInterval = 500;
    static constexpr int kMaxInterval = 600000;
    static constexpr int kMaxCutHours = 1000;
    static constexpr int kMaxCutMinutes = 59;

    struct Controls {
        QCheckBox* current = nullptr;
        QCheckBox* voltage = nullptr;
        QCheckBox* power = nullptr;
        QRadioButton* intervalTiming = nullptr;
        QRadioButton* stepEndTiming = nullptr;
        CDecimalEdit* interval = nullptr;
        CSpinButton* intervalSpin = nullptr;
        QLabel* intervalUnit = nullptr;
        QGroupBox* saveGroup = nullptr;
        QRadioButton* saveNo = nullptr;
        QRadioButton* saveYes = nullptr;
        QLabel* folderLabel = nullptr;
        QLineEdit* folder = nullptr;
        QPushButton* browse = nullptr;
        QGroupBox* unitGroup = nullptr;
        QRadioButton* seconds = nullptr;
        QRadioButton* hoursMinutesSeconds = nullptr;
        QGroupBox* dataGroup = nullptr;
        QCheckBox* beforeProcessing = nullptr;
        QCheckBox* afterProcessing = nullptr;
        QCheckBox* cut = nullptr;
        CDecimalEdit* cutHours = nullptr;
        CSpinButton* cutHoursSpin = nullptr;
        QLabel* cutHoursLabel = nullptr;
        CDecimalEdit* cutMinutes = nullptr;
        CSpinButton* cutMinutesSpin = nullptr;
        QLabel* cutMinutesLabel = nullptr;
        QPushButton* ok = nullptr;
        QPushButton* cancel = nullptr;
        void bind(TemplateForm& form);
    };

    // Asks for a folder: (parent, title, folder shown first); an empty text when none was chosen.
    using FolderChooser = std::function<QString(QWidget*, const QString&, const QString&)>;
    static constexpr const char* kFolderTitle = "Select the folder.";

    CMonitorSetupDlg(const TemplateLoader& loader, AppSettings& settings, QWidget* parent = nullptr);

    const Controls& controls() const { return controls_; }
    // Replaces the system's folder dialog (tests answer without anything modal).
    void setFolderChooser(FolderChooser chooser) { chooseFolder_ = std::move(chooser); }

    // OK: the checks, then every field into the settings.
    void accept() override;

private:
    // Current, Voltage or Power clicked, and on opening.
    void applyEnabling();
    // The Save File choice: the folder, unit, data options and cut controls.
    void followSaveFile();
    void followCut();
    void browseFolder();
    bool hardwareControl() const;

    AppSettings& settings_;
    Controls controls_;
    FolderChooser chooseFolder_;
};
