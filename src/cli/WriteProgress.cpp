#include "cli/WriteProgress.h"

#include <QString>
#include <QTextStream>

void WriteProgress::step(int channel, int step, int total)
{
    const QString text = QStringLiteral("Channel %1: step %2 of %3").arg(channel + 1).arg(step).arg(total);
    if (!terminal_) {
        out_ << text << Qt::endl;
        return;
    }
    // Erase to the end of the line: a shorter text must not leave the end of a longer one.
    out_ << '\r' << text << "\x1b[K";
    lineOpen_ = true;
    if (step >= total)
        finish();
    else
        out_.flush();
}

void WriteProgress::finish()
{
    if (!lineOpen_)
        return;
    out_ << Qt::endl;
    lineOpen_ = false;
}
