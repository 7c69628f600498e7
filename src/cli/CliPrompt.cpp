#include "cli/CliPrompt.h"

#include <QTextStream>

void CliPrompt::showMessage(const QString& text, Icon)
{
    messages_ << text;
    if (beforeMessage_)
        beforeMessage_();
    if (echo_)
        err_ << (decorate_ ? decorate_(text) : text) << Qt::endl;
}

bool CliPrompt::askYesNo(const QString& text, Icon)
{
    messages_ << text;
    if (beforeMessage_)
        beforeMessage_();
    if (echo_)
        err_ << text << (assumeYes_ ? " [yes]" : " [no]") << Qt::endl;
    return assumeYes_;
}
