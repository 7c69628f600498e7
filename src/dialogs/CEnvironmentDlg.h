#pragma once

#include "views/TemplateLoader.h"

struct AppSettings;
class QComboBox;
class QPushButton;
class QRadioButton;

// The "Set Environment" dialog: the field separator of sequence files (Tsr) and of monitoring
// output files (Txt), and the extension of the monitoring output files (Ext).
class CEnvironmentDlg : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr const char* templateName = "SetEnvironment.ui";

    struct Controls {
        QRadioButton* tsrTab = nullptr;
        QRadioButton* tsrComma = nullptr;
        QRadioButton* txtTab = nullptr;
        QRadioButton* txtComma = nullptr;
        QComboBox* extension = nullptr;
        QPushButton* ok = nullptr;
        QPushButton* cancel = nullptr;
        void bind(TemplateForm& form);
    };

    CEnvironmentDlg(const TemplateLoader& loader, AppSettings& settings, QWidget* parent = nullptr);

    const Controls& controls() const { return controls_; }
    // OK: refuses an empty extension ("Enter the extension.") or one a file name cannot hold and
    // keeps the dialog open; otherwise stores the separators and the trimmed extension.
    void accept() override;

private:
    AppSettings& settings_;
    Controls controls_;
};
