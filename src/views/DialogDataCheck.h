#pragma once

#include <QString>

class QWidget;
class ResourceModule;
class UserPrompt;

// The dialog framework's checks when a dialog reads its fields: a whole number, a number, a whole
// number within a range. A field that fails shows the framework's own message ("Enter an integer
// between 1 and 9999.") and takes the focus with its text selected, and the read stops.
class DialogDataCheck {
public:
    DialogDataCheck(const ResourceModule& module, UserPrompt& prompt) : module_(module), prompt_(prompt) {}

    bool integer(QWidget* field, const QString& text, int& value) const;
    bool integerIn(QWidget* field, const QString& text, int minimum, int maximum, int& value) const;
    bool number(QWidget* field, const QString& text, double& value) const;

    // The text a number field shows for a value: up to fifteen significant digits, no exponent
    // for the values a load takes.
    static QString numberText(double value);

private:
    bool fail(QWidget* field, const QString& message) const;

    const ResourceModule& module_;
    UserPrompt& prompt_;
};
