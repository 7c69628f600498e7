#pragma once

#include "ui/UserPrompt.h"

#include <QStringList>
#include <functional>

class QTextStream;

// The prompt of tessorctl: every message goes to stderr (unless echo is off, for output that
// carries the messages itself) and is kept in order. Questions are answered from assumeYes.
class CliPrompt : public UserPrompt {
public:
    explicit CliPrompt(QTextStream& err) : err_(err) {}

    void showMessage(const QString& text, Icon icon = Icon::None) override;
    bool askYesNo(const QString& text, Icon icon = Icon::Information) override;
    void setBusy(bool) override {}

    void setEcho(bool echo) { echo_ = echo; }
    void setAssumeYes(bool yes) { assumeYes_ = yes; }
    // Called before each message is written (a progress line on the terminal ends first).
    void setBeforeMessage(std::function<void()> hook) { beforeMessage_ = std::move(hook); }
    // Every message and question shown so far.
    const QStringList& messages() const { return messages_; }

private:
    QTextStream& err_;
    bool echo_ = true;
    bool assumeYes_ = false;
    QStringList messages_;
    std::function<void()> beforeMessage_;
};
