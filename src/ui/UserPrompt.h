#pragma once

#include <QString>

// Everything the user sees from core code goes through this interface: the GUI shows message
// boxes and the wait cursor, tessorctl writes to stderr, tests record the texts.
class UserPrompt {
public:
    enum class Icon { None, Information, Critical };

    virtual ~UserPrompt() = default;
    // A modal message with an OK button.
    virtual void showMessage(const QString& text, Icon icon = Icon::None) = 0;
    // A modal question with Yes and No; true for Yes.
    virtual bool askYesNo(const QString& text, Icon icon = Icon::Information) = 0;
    // The wait cursor.
    virtual void setBusy(bool busy) = 0;
};

// Shows the wait cursor for the lifetime of the guard.
class BusyGuard {
public:
    explicit BusyGuard(UserPrompt& prompt) : prompt_(prompt) { prompt_.setBusy(true); }
    ~BusyGuard() { prompt_.setBusy(false); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    UserPrompt& prompt_;
};
