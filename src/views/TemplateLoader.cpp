#include "views/TemplateLoader.h"

#include "ui/ResourceModule.h"
#include "ui/UserPrompt.h"
#include "views/CColorEdit.h"
#include "views/CDecimalEdit.h"
#include "views/CSpinButton.h"
#include "views/SpinEdit.h"

#include <QFile>
#include <QPushButton>
#include <QUiLoader>
#include <QVBoxLayout>

namespace {

// Qt Designer's loader, creating the registered widget classes where a template names them.
class FactoryUiLoader : public QUiLoader {
public:
    explicit FactoryUiLoader(const std::map<QString, TemplateLoader::Factory>& factories)
        : factories_(factories)
    {
    }

    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override
    {
        const auto it = factories_.find(className);
        if (it == factories_.end())
            return QUiLoader::createWidget(className, parent, name);
        QWidget* widget = it->second(parent);
        widget->setObjectName(name);
        return widget;
    }

private:
    const std::map<QString, TemplateLoader::Factory>& factories_;
};

} // namespace

TemplateForm::TemplateForm(QString templateName, QWidget* host, QWidget* form, QString loadProblem)
    : templateName_(std::move(templateName)), host_(host), form_(form)
{
    if (!loadProblem.isEmpty())
        problems_ << templateName_ + QStringLiteral(": ") + loadProblem;
}

void TemplateForm::noteMissing(const QString& objectName, const QString& className)
{
    // Without a form the load problem already says everything.
    if (form_)
        problems_ << QStringLiteral("%1: no %2 named \"%3\"").arg(templateName_, className, objectName);
}

void TemplateForm::bindOkCancel(QPushButton*& ok, QPushButton*& cancel)
{
    bind(ok, "buttonOk");
    bind(cancel, "buttonCancel");
}

TemplateLoader::TemplateLoader(const ResourceModule& module, UserPrompt& prompt)
    : module_(module), prompt_(prompt)
{
    registerClass(QStringLiteral("CDecimalEdit"), [](QWidget* parent) { return new CDecimalEdit(parent); });
    registerClass(QStringLiteral("CColorEdit"), [](QWidget* parent) { return new CColorEdit(parent); });
    registerClass(QStringLiteral("CSpinButton"), [](QWidget* parent) { return new CSpinButton(parent); });
    registerClass(QStringLiteral("SpinEdit"), [](QWidget* parent) { return new SpinEdit(parent); });
}

void TemplateLoader::registerClass(const QString& className, Factory factory)
{
    factories_[className] = std::move(factory);
}

TemplateForm TemplateLoader::load(const QString& templateName, QWidget* host) const
{
    const QString path = QStringLiteral("ui/") + templateName;
    QFile file(ResourceModule::path(path));
    if (!file.open(QIODevice::ReadOnly))
        return TemplateForm(path, host, nullptr,
                            QStringLiteral("missing from %1").arg(ResourceModule::fileName));
    FactoryUiLoader uiLoader(factories_);
    QWidget* form = uiLoader.load(&file, host);
    if (!form)
        return TemplateForm(path, host, nullptr, uiLoader.errorString());

    // The loaded form lays its controls out without margins of its own; the host gives it the
    // style's dialog margins.
    if (form->layout())
        form->layout()->setContentsMargins(0, 0, 0, 0);
    auto* layout = qobject_cast<QVBoxLayout*>(host->layout());
    if (!layout) {
        delete host->layout();
        layout = new QVBoxLayout(host);
    }
    layout->addWidget(form);
    host->setWindowTitle(form->windowTitle());
    return TemplateForm(path, host, form, QString());
}

TemplateDialog::TemplateDialog(const TemplateLoader& loader, const QString& templateName, QWidget* parent)
    : QDialog(parent), loader_(loader), form_(loader.load(templateName, this))
{
    // A fixed-size dialog, as the templates are laid out for their content.
    if (layout())
        layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TemplateDialog::connectOkCancel(QPushButton* ok, QPushButton* cancel)
{
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int TemplateDialog::exec()
{
    if (!isComplete()) {
        loader_.prompt().showMessage(QLatin1String(ResourceModule::moduleErrorText) + QLatin1Char('\n') +
                                         templateProblems(),
                                     UserPrompt::Icon::Critical);
        return Rejected;
    }
    return QDialog::exec();
}
