#include "KdrxSimulator.h"

#include <cmath>

namespace {

QString withoutLeadingColon(const QString& text)
{
    const QString trimmed = text.trimmed();
    return trimmed.startsWith(QLatin1Char(':')) ? trimmed.mid(1) : trimmed;
}

} // namespace

KdrxSimulator::KdrxSimulator(Clock& clock) : clock_(clock) {}

qint64 KdrxSimulator::nowMs() const
{
    return std::llround(clock_.runClock() * 1000.0);
}

QStringList KdrxSimulator::handleLine(const QString& line)
{
    std::lock_guard<std::mutex> lock(mutex_);
    QString text = line;
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    const qint64 now = nowMs();
    const Received entry{now, text};
    if (transcriptLimit_ > 0) {
        if (received_.size() >= transcriptLimit_)
            received_.pop_front();
        received_.push_back(entry);
    }
    if (observer_)
        observer_(entry);

    if (answerLimit_ >= 0) {
        if (answeredSinceLimit_ >= answerLimit_)
            return {};
        ++answeredSinceLimit_;
    }

    std::vector<bool> ruleMatched(errorRules_.size(), false);
    const auto afterUnit = [&](const QString& unitText) {
        const QString unit = withoutLeadingColon(unitText);
        for (std::size_t i = 0; i < errorRules_.size(); ++i) {
            if (withoutLeadingColon(errorRules_[i].command) == unit) {
                instrument_.errors().pushText(errorRules_[i].error);
                ruleMatched[i] = true;
            }
        }
    };
    const std::optional<QString> reply = instrument_.execute(text, now, afterUnit);
    for (std::size_t i = 0; i < errorRules_.size(); ++i) {
        if (!ruleMatched[i] && withoutLeadingColon(errorRules_[i].command) == withoutLeadingColon(text))
            instrument_.errors().pushText(errorRules_[i].error);
    }
    if (!reply)
        return {};
    return {garbage_ ? garbageReply() : *reply};
}

std::vector<KdrxSimulator::Received> KdrxSimulator::received() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return std::vector<Received>(received_.begin(), received_.end());
}

QStringList KdrxSimulator::receivedTexts() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    QStringList texts;
    for (const Received& entry : received_)
        texts << entry.text;
    return texts;
}

void KdrxSimulator::clearTranscript()
{
    std::lock_guard<std::mutex> lock(mutex_);
    received_.clear();
}

void KdrxSimulator::setTranscriptObserver(std::function<void(const Received&)> observer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    observer_ = std::move(observer);
}

void KdrxSimulator::setTranscriptLimit(std::size_t lines)
{
    std::lock_guard<std::mutex> lock(mutex_);
    transcriptLimit_ = lines;
    while (received_.size() > transcriptLimit_)
        received_.pop_front();
}

std::size_t KdrxSimulator::transcriptLimit() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return transcriptLimit_;
}

SimulatedChannel KdrxSimulator::channel(int channel1to5) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    SimulatedChannel copy = instrument_.channel(validChannel(channel1to5) ? channel1to5 : 1);
    copy.settle(nowMs());
    return copy;
}

int KdrxSimulator::selectedChannel() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return instrument_.selectedChannel();
}

std::vector<int> KdrxSimulator::coupledChannels() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return instrument_.coupledChannels();
}

QStringList KdrxSimulator::errorQueue() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return instrument_.errors().entries();
}

QString KdrxSimulator::identity() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return instrument_.identity();
}

void KdrxSimulator::stopAnsweringAfter(int commands)
{
    std::lock_guard<std::mutex> lock(mutex_);
    answerLimit_ = commands < 0 ? -1 : commands;
    answeredSinceLimit_ = 0;
}

void KdrxSimulator::answerGarbage(bool garbage)
{
    std::lock_guard<std::mutex> lock(mutex_);
    garbage_ = garbage;
}

void KdrxSimulator::setModel(const QString& model)
{
    std::lock_guard<std::mutex> lock(mutex_);
    instrument_.setIdentity(QStringLiteral("MORVANE,%1,SIM00001,1.00").arg(model));
}

void KdrxSimulator::setIdentity(const QString& identity)
{
    std::lock_guard<std::mutex> lock(mutex_);
    instrument_.setIdentity(identity);
}

void KdrxSimulator::pushErrorAfter(const QString& command, const QString& error)
{
    std::lock_guard<std::mutex> lock(mutex_);
    errorRules_.push_back(ErrorRule{command, error});
}

void KdrxSimulator::pushError(const QString& error)
{
    std::lock_guard<std::mutex> lock(mutex_);
    instrument_.errors().pushText(error);
}

void KdrxSimulator::setQuestionable(int channel1to5, int condition)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (validChannel(channel1to5))
        instrument_.channel(channel1to5).setQuestionable(condition);
}

void KdrxSimulator::clearFaults()
{
    std::lock_guard<std::mutex> lock(mutex_);
    answerLimit_ = -1;
    answeredSinceLimit_ = 0;
    garbage_ = false;
    errorRules_.clear();
    instrument_.setIdentity(defaultIdentity());
    for (int number = 1; number <= KdrxInstrument::kChannels; ++number)
        instrument_.channel(number).setQuestionable(0);
}

void KdrxSimulator::setSource(int channel1to5, double openVoltage, double resistance)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (validChannel(channel1to5))
        instrument_.channel(channel1to5).setSource(openVoltage, resistance);
}
