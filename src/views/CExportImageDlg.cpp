#include "views/CExportImageDlg.h"

#include <QPushButton>
#include <QSpinBox>

void CExportImageDlg::Controls::bind(TemplateForm& form)
{
    form.bind(width, "spinWidth");
    form.bind(height, "spinHeight");
    form.bindOkCancel(ok, cancel);
}

CExportImageDlg::CExportImageDlg(const TemplateLoader& loader, const QSize& size, QWidget* parent)
    : TemplateDialog(loader, QLatin1String(templateName), parent)
{
    controls_.bind(form());
    controls_.width->setValue(size.width());
    controls_.height->setValue(size.height());
    connectOkCancel(controls_.ok, controls_.cancel);
}

QSize CExportImageDlg::chosenSize() const
{
    return QSize(controls_.width->value(), controls_.height->value());
}
