#pragma once

#include <optional>

class QLineEdit;
class UserPrompt;

// How the dialogs read their numeric fields when OK is pressed, with the standard messages: a field
// that does not hold a number gets "Please enter an integer." or "Please enter a number.", one out
// of its range "Please enter an integer between MIN and MAX."; the focus then goes to the field
// (its text selected) and the dialog stays open.
namespace DialogFields {

std::optional<int> readInteger(QLineEdit* field, int minimum, int maximum, UserPrompt& prompt);
std::optional<double> readNumber(QLineEdit* field, UserPrompt& prompt);

} // namespace DialogFields
