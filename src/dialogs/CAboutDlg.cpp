#include "dialogs/CAboutDlg.h"

#include <QLabel>
#include <QPushButton>

void CAboutDlg::Controls::bind(TemplateForm& form)
{
    form.bind(version, "labelVersion");
    form.bind(ok, "buttonOk");
}

CAboutDlg::CAboutDlg(const TemplateLoader& loader, const QString& version, QWidget* parent)
    : TemplateDialog(loader, QLatin1String(templateName), parent)
{
    controls_.bind(form());
    connect(controls_.ok, &QPushButton::clicked, this, &CAboutDlg::accept);
    const QString text = controls_.version->text();
    controls_.version->setText(text.contains(QLatin1String("%1")) ? text.arg(version) : text);
}
