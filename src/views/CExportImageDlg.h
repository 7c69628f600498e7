#pragma once

#include "views/TemplateLoader.h"

#include <QSize>

class QPushButton;
class QSpinBox;

// The size of an exported image (template ExportImage.ui).
class CExportImageDlg : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr const char* templateName = "ExportImage.ui";
    struct Controls {
        QSpinBox* width = nullptr;
        QSpinBox* height = nullptr;
        QPushButton* ok = nullptr;
        QPushButton* cancel = nullptr;
        void bind(TemplateForm& form);
    };
    CExportImageDlg(const TemplateLoader& loader, const QSize& size, QWidget* parent = nullptr);
    QSize chosenSize() const;
    const Controls& controls() const { return controls_; }

private:
    Controls controls_;
};
