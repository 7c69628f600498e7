#include "views/DialogFields.h"

#include "ui/UserPrompt.h"

#include <QLineEdit>

namespace {

void refuse(QLineEdit* field, UserPrompt& prompt, const QString& message)
{
    prompt.showMessage(message);
    field->setFocus();
    field->selectAll();
}

} // namespace

namespace DialogFields {

std::optional<int> readInteger(QLineEdit* field, int minimum, int maximum, UserPrompt& prompt)
{
    bool ok = false;
    const qint64 value = field->text().trimmed().toLongLong(&ok);
    if (!ok) {
        refuse(field, prompt, QStringLiteral("Please enter an integer."));
        return std::nullopt;
    }
    if (value < minimum || value > maximum) {
        refuse(field, prompt,
               QStringLiteral("Please enter an integer between %1 and %2.").arg(minimum).arg(maximum));
        return std::nullopt;
    }
    return static_cast<int>(value);
}

std::optional<double> readNumber(QLineEdit* field, UserPrompt& prompt)
{
    bool ok = false;
    const double value = field->text().trimmed().toDouble(&ok);
    if (!ok) {
        refuse(field, prompt, QStringLiteral("Please enter a number."));
        return std::nullopt;
    }
    return value;
}

} // namespace DialogFields
