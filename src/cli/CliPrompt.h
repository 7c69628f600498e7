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
    bool echo() const { return echo_; }
    void setAssumeYes(bool yes) { assumeYes_ = yes; }
    // Called before each message is written (a progress line on the terminal ends first).
    void setBeforeMessage(std::function<void()> hook) { beforeMessage_ = std::move(hook); }
    // Gives the text written for a message (a command adds what the program's text leaves out,
    // such as the channel it speaks of); messages() keeps the program's text.
    void setMessageText(std::function<QString(const QString&)> decorate) { decorate_ = std::move(decorate); }
    // Every message and question shown so far.
    const QStringList& messages() const { return messages_; }

private:
    QTextStream& err_;
    bool echo_ = true;
    bool assumeYes_ = false;
    QStringList messages_;
    std::function<void()> beforeMessage_;
    std::function<QString(const QString&)> decorate_;
};
