#pragma once

#include "model/SequenceTypes.h"

#include <array>

class QCheckBox;
class QComboBox;
class QTabWidget;
class QWidget;
class TemplateForm;

// What several dialogs do alike with their controls.
namespace DialogControls {

// The check boxes "checkChannel1" to "checkChannel5" of a template.
void bindChannelBoxes(TemplateForm& form, std::array<QCheckBox*, kChannelCount>& boxes);
// Shows a list index; an index off the list shows no choice.
void showListIndex(QComboBox* list, int index);
// Shows the entry of a value that the list counts from `first` (its first entry); a value off the
// list shows no choice.
void showListValue(QComboBox* list, int value, int first);
// The list's index, or `previous` while the list shows no choice (a stored index off the list is
// kept as it was).
int listIndexOr(const QComboBox* list, int previous);
// One set of fields serves every tab of a tab control: it moves into the page of the tab shown.
void showInPage(QTabWidget* tabs, int index, QWidget* fields);

} // namespace DialogControls
