#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>

class QPushButton;
class ResourceModule;
class UserPrompt;

// A dialog template loaded into its host widget. The dialog looks up every control its code uses
// once, right after loading, with bind(); a control that is missing or of another class is recorded
// and replaced by a hidden stand-in of the right class, so the code never meets a null control and
// the dialog can refuse to open with a message naming what is wrong.
class TemplateForm {
public:
    TemplateForm(QString templateName, QWidget* host, QWidget* form, QString loadProblem);

    template <typename T> void bind(T*& control, const char* objectName)
    {
        control = form_ ? form_->findChild<T*>(QLatin1String(objectName)) : nullptr;
        if (!control) {
            noteMissing(QLatin1String(objectName), QLatin1String(T::staticMetaObject.className()));
            control = new T(host_);
            control->hide();
        }
    }

    // The template's "buttonOk" and "buttonCancel".
    void bindOkCancel(QPushButton*& ok, QPushButton*& cancel);

    QWidget* form() const { return form_; }
    bool isComplete() const { return problems_.isEmpty(); }
    // One line per problem, each naming the template.
    QString problems() const { return problems_.join(QLatin1Char('\n')); }

private:
    void noteMissing(const QString& objectName, const QString& className);

    QString templateName_;
    QWidget* host_;
    QWidget* form_;
    QStringList problems_;
};

// Builds dialogs from the Designer templates (ui/<name>) of the resource module. Its Qt Designer
// loader creates the program's own widget classes (CDecimalEdit, CColorEdit, CSpinButton, and any class
// another part registers) where a template names them.
class TemplateLoader {
public:
    using Factory = std::function<QWidget*(QWidget* parent)>;

    // The prompt reports templates that cannot be used when a dialog is opened.
    TemplateLoader(const ResourceModule& module, UserPrompt& prompt);

    void registerClass(const QString& className, Factory factory);
    // Loads the template into host: the form fills host's layout and host takes its window title.
    TemplateForm load(const QString& templateName, QWidget* host) const;

    const ResourceModule& module() const { return module_; }
    UserPrompt& prompt() const { return prompt_; }

private:
    const ResourceModule& module_;
    UserPrompt& prompt_;
    std::map<QString, Factory> factories_;
};

// Base of the dialogs built from a template: loads it and refuses to open when a control is missing.
class TemplateDialog : public QDialog {
    Q_OBJECT
public:
    TemplateDialog(const TemplateLoader& loader, const QString& templateName, QWidget* parent);

    bool isComplete() const { return form_.isComplete(); }
    QString templateProblems() const { return form_.problems(); }
    // Shows the template's problems instead of the dialog when it is incomplete.
    int exec() override;

protected:
    TemplateForm& form() { return form_; }
    // OK accepts the dialog (with its checks), Cancel rejects it.
    void connectOkCancel(QPushButton* ok, QPushButton* cancel);
    const TemplateLoader& loader() const { return loader_; }

private:
    const TemplateLoader& loader_;
    TemplateForm form_;
};

// Loads a dialog's template into a throw-away host and binds its controls: the list of problems, or
// an empty text when the template has every control the dialog uses. Start-up checks every dialog
// of the program this way.
template <typename Dialog> QString checkTemplate(const TemplateLoader& loader)
{
    QWidget host;
    TemplateForm form = loader.load(QLatin1String(Dialog::templateName), &host);
    typename Dialog::Controls controls;
    controls.bind(form);
    return form.problems();
}
