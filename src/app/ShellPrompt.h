#pragma once

#include "ui/UserPrompt.h"

class QWidget;

// The prompt of the program's shell: the UserPrompt of the core code plus the framework's
// three-way question asked before a modified document is closed.
class ShellPrompt : public UserPrompt {
public:
    enum class Answer { Yes, No, Cancel };

    // A modal question with Yes, No and Cancel and the warning icon.
    virtual Answer askYesNoCancel(const QString& text) = 0;
    // The window the messages belong to, once the main frame exists.
    virtual void setParentWindow(QWidget* window) { (void)window; }
};
