#pragma once

#include "views/TemplateLoader.h"

struct AppSettings;
class CDecimalEdit;
class QCheckBox;
class QPushButton;

// The "Initial Settings" dialog of the values set immediately before processing: a current, a
// voltage, a power and a resistance, each with a box that says whether it is set. Power and
// resistance belong to instrument models that this program does not drive, so they stay disabled;
// a value's field is enabled only while its box is ticked. OK stores the four boxes and values.
class CInitDlg : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr const char* templateName = "InitialValues.ui";

    struct Controls {
        QCheckBox* setCurrent = nullptr;
        CDecimalEdit* current = nullptr;
        QCheckBox* setVoltage = nullptr;
        CDecimalEdit* voltage = nullptr;
        QCheckBox* setPower = nullptr;
        CDecimalEdit* power = nullptr;
        QCheckBox* setResistance = nullptr;
        CDecimalEdit* resistance = nullptr;
        QPushButton* ok = nullptr;
        QPushButton* cancel = nullptr;
        void bind(TemplateForm& form);
    };

    // The instrument models whose power and resistance can be set before processing.
    static bool modelSetsPowerAndResistance(int machine) { return machine == 2 || machine == 5; }

    CInitDlg(const TemplateLoader& loader, AppSettings& settings, QWidget* parent = nullptr);

    const Controls& controls() const { return controls_; }
    // OK: every value must be a number; then the boxes and values are stored.
    void accept() override;

private:
    void followBoxes();

    AppSettings& settings_;
    Controls controls_;
    bool powerAndResistance_ = false;
};
