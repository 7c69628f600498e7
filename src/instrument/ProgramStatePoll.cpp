#include "instrument/ProgramStatePoll.h"

#include "instrument/KdrxText.h"

#include <algorithm>

namespace {

// The part of a reply the dialogue looks at.
constexpr int kReplyCap = 127;

} // namespace

ProgramStatePoll::ProgramStatePoll(const ChannelFlags& selected)
{
    for (int c = 0; c < kChannelCount; ++c) {
        if (selected[static_cast<std::size_t>(c)])
            pending_.push_back(c);
    }
    lastCount_ = pending_.size() + 1;
}

std::size_t ProgramStatePoll::nextCount() const
{
    return std::min(pending_.size(), lastCount_ > 1 ? lastCount_ - 1 : std::size_t{1});
}

QString ProgramStatePoll::nextMessage() const
{
    QString message;
    const std::size_t count = nextCount();
    for (std::size_t k = 0; k < count; ++k)
        message += QStringLiteral(":INST:NSEL %1;:PROG:EXEC?;").arg(pending_[k] + 1);
    return message;
}

void ProgramStatePoll::takeReply(const QString& reply, int replyLimit)
{
    const std::size_t asked = nextCount();
    if (asked == 0)
        return;
    const int limit = std::min(kReplyCap, replyLimit);
    const QStringList pieces = KdrxText::pieces(reply, kReplyCap, QLatin1Char(';'));
    std::size_t usable = std::min(static_cast<std::size_t>(pieces.size()), asked);
    // The last piece of a reply that may have been cut may be a cut answer, unless more pieces
    // than the channels asked follow it.
    if (reply.size() >= limit && usable > 0 && static_cast<std::size_t>(pieces.size()) <= asked)
        --usable;
    for (std::size_t k = 0; k < usable; ++k)
        answers_[static_cast<std::size_t>(pending_[k])] = pieces[static_cast<qsizetype>(k)];
    if (usable == 0 && asked == 1)
        failed_ = true;
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(usable));
    lastCount_ = asked;
}
