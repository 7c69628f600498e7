#pragma once

#include "views/TemplateLoader.h"

class QLabel;
class QPushButton;

// The About box: the program's icon, its version ("Tessor Version 3.20"), a line on what it is for,
// a picture and OK.
class CAboutDlg : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr const char* templateName = "About.ui";

    struct Controls {
        QLabel* version = nullptr;
        QPushButton* ok = nullptr;
        void bind(TemplateForm& form);
    };

    // The version field's template text takes the version number for its %1.
    CAboutDlg(const TemplateLoader& loader, const QString& version, QWidget* parent = nullptr);

    const Controls& controls() const { return controls_; }

private:
    Controls controls_;
};
