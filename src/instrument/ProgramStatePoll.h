#pragma once

#include "instrument/ChannelNumbers.h"

#include <QString>
#include <vector>

// The exchanges of one Hardware Control poll. Each channel asked is answered in order, one answer
// per ":INST:NSEL n;:PROG:EXEC?;"; a link that cuts long replies (a GPIB board's read buffer, the
// 127 characters kept of a reply) leaves the last channels without an answer, and the last answer
// it kept may be cut short. Those channels are asked again in a follow-up exchange of the same
// form with fewer channels, down to one channel per message; a channel that gets no answer to its
// own query fails the poll. A channel without an answer has not finished.
class ProgramStatePoll {
public:
    // The channels whose flag is set, asked by their sequence number (index plus one).
    explicit ProgramStatePoll(const ChannelFlags& selected);

    // Every channel asked has its answer (true at once when none is asked).
    bool complete() const { return pending_.empty(); }
    // A channel got no answer to its single-channel query.
    bool failed() const { return failed_; }

    // The message of the next exchange: the channels still without an answer, at most one fewer
    // than the previous exchange asked.
    QString nextMessage() const;
    // Takes the reply to nextMessage(). replyLimit is the most the link hands over of one reply:
    // a reply of that length may have been cut, so its last answer is not trusted.
    void takeReply(const QString& reply, int replyLimit);

    // The answer of channel c (0..4), empty while it has none.
    const QString& answer(int channel) const { return answers_[static_cast<std::size_t>(channel)]; }

private:
    std::size_t nextCount() const;

    std::vector<int> pending_;
    std::size_t lastCount_ = 0;
    bool failed_ = false;
    ChannelTexts answers_;
};
