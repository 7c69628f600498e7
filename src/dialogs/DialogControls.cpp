#include "dialogs/DialogControls.h"

#include "views/TemplateLoader.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLayout>
#include <QTabWidget>

namespace DialogControls {

void bindChannelBoxes(TemplateForm& form, std::array<QCheckBox*, kChannelCount>& boxes)
{
    static const char* const kNames[kChannelCount] = {"checkChannel1", "checkChannel2", "checkChannel3",
                                                      "checkChannel4", "checkChannel5"};
    for (int c = 0; c < kChannelCount; ++c)
        form.bind(boxes[c], kNames[c]);
}

void showListIndex(QComboBox* list, int index)
{
    showListValue(list, index, 0);
}

void showListValue(QComboBox* list, int value, int first)
{
    // Compared before subtracting: a stored value may be anything an int holds.
    list->setCurrentIndex(value >= first && value - first < list->count() ? value - first : -1);
}

int listIndexOr(const QComboBox* list, int previous)
{
    return list->currentIndex() >= 0 ? list->currentIndex() : previous;
}

void showInPage(QTabWidget* tabs, int index, QWidget* fields)
{
    QWidget* page = tabs->widget(index);
    if (page && page->layout() && fields->parentWidget() != page) {
        page->layout()->addWidget(fields);
        fields->show();
    }
}

} // namespace DialogControls
