#include "cli/StepProgress.h"

#include <QString>
#include <QTextStream>

void StepProgress::step(int channel, int step, int total)
{
    if (channel < 0 || channel >= kChannelCount)
        return;
    reached_[channel] = step;
    total_[channel] = total;
    if (step == 0)
        return;
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

void StepProgress::finish()
{
    if (!lineOpen_)
        return;
    out_ << Qt::endl;
    lineOpen_ = false;
}

int StepProgress::firstUnfinished(const ChannelFlags& channels) const
{
    for (int c = 0; c < kChannelCount; ++c) {
        if (channels[c] && (reached_[c] < 0 || reached_[c] < total_[c]))
            return c;
    }
    return -1;
}
