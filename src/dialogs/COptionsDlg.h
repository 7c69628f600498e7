#pragma once

#include "views/TemplateLoader.h"

class CurrentDocument;
class QComboBox;
class QPushButton;
class UserPrompt;
struct AppSettings;

// The "Options" dialog: the decimal places of currents, voltages and resistances (and, hidden, of
// powers) used for set values entered from now on. It refuses the change while the current channel
// of the document has steps.
class COptionsDlg : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr const char* templateName = "Options.ui";

    struct Controls {
        QComboBox* current = nullptr;
        QComboBox* voltage = nullptr;
        QComboBox* resistance = nullptr;
        QComboBox* power = nullptr; // hidden
        QPushButton* ok = nullptr;
        QPushButton* cancel = nullptr;
        void bind(TemplateForm& form);
    };

    COptionsDlg(const TemplateLoader& loader, AppSettings& settings, const CurrentDocument& document,
                UserPrompt& prompt, QWidget* parent = nullptr);

    const Controls& controls() const { return controls_; }
    // OK: "Change without entering data." while the current channel has steps (the dialog stays
    // open); otherwise CurrPlace, VoltPlace, ResistPlace and PowerPlace take the list indexes.
    void accept() override;

private:
    AppSettings& settings_;
    const CurrentDocument& document_;
    UserPrompt& prompt_;
    Controls controls_;
};
