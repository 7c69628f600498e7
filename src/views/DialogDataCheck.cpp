#include "views/DialogDataCheck.h"

#include "ui/ResourceModule.h"
#include "ui/UserPrompt.h"

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QWidget>

namespace {

// The framework's strings of its field checks.
constexpr int kEnterInteger = 61712;
constexpr int kEnterNumber = 61713;
constexpr int kEnterIntegerBetween = 61714;

} // namespace

bool DialogDataCheck::fail(QWidget* field, const QString& message) const
{
    prompt_.showMessage(message);
    if (field) {
        field->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(field))
            edit->selectAll();
        else if (auto* spin = qobject_cast<QAbstractSpinBox*>(field))
            spin->selectAll();
    }
    return false;
}

bool DialogDataCheck::integer(QWidget* field, const QString& text, int& value) const
{
    bool ok = false;
    const int read = text.trimmed().toInt(&ok);
    if (!ok)
        return fail(field, module_.string(kEnterInteger));
    value = read;
    return true;
}

bool DialogDataCheck::integerIn(QWidget* field, const QString& text, int minimum, int maximum,
                                int& value) const
{
    int read = 0;
    if (!integer(field, text, read))
        return false;
    if (read < minimum || read > maximum)
        return fail(field, module_.string(kEnterIntegerBetween).arg(minimum).arg(maximum));
    value = read;
    return true;
}

bool DialogDataCheck::number(QWidget* field, const QString& text, double& value) const
{
    bool ok = false;
    const double read = text.trimmed().toDouble(&ok);
    if (!ok)
        return fail(field, module_.string(kEnterNumber));
    value = read;
    return true;
}

QString DialogDataCheck::numberText(double value)
{
    return QString::number(value, 'g', 15);
}
