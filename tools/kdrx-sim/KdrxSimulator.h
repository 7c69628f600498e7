#pragma once

#include "KdrxInstrument.h"
#include "SimulatedChannel.h"
#include "ui/Clock.h"

#include <QString>
#include <QStringList>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

// The simulated Morvane KDR-X load as a whole: the instrument's command language on its injected
// clock, a transcript of every line received, and the faults a test can inject. Every call may come
// from a different thread (a pty server answers on its own while a test inspects): one mutex
// guards all of it.
class KdrxSimulator {
public:
    struct Received {
        qint64 ms;
        QString text;
    };

    explicit KdrxSimulator(Clock& clock);

    // Handles one received line (without its line feed; a carriage return before it is dropped).
    // Returns the reply lines: one when the message held an answered query, none otherwise.
    QStringList handleLine(const QString& line);

    // Transcript: the lines as received, stamped with the clock's time in milliseconds, the last
    // transcriptLimit() of them (a simulator that serves for days must not grow without end).
    static constexpr std::size_t kDefaultTranscriptLimit = 10000;
    static constexpr std::size_t kWholeTranscript = static_cast<std::size_t>(-1);
    std::vector<Received> received() const;
    QStringList receivedTexts() const;
    void clearTranscript();
    // Keeps the last `lines` lines (0 keeps none, kWholeTranscript all); older ones are dropped.
    void setTranscriptLimit(std::size_t lines);
    std::size_t transcriptLimit() const;
    // Also called for every received line, kept or not, under the simulator's lock (the program
    // writes its transcript file from it); it must not call back into the simulator.
    void setTranscriptObserver(std::function<void(const Received&)> observer);

    // State inspection, as it stands at the clock's time now.
    SimulatedChannel channel(int channel1to5) const;
    int selectedChannel() const;
    std::vector<int> coupledChannels() const;
    QStringList errorQueue() const;
    QString identity() const;

    // Faults.
    // Handles the next `commands` lines, then receives everything and answers nothing; a negative
    // count answers again.
    void stopAnsweringAfter(int commands);
    // Replaces every reply by garbageReply().
    void answerGarbage(bool garbage);
    // The model field of "*IDN?" ("MORVANE,<model>,SIM00001,1.00"); setIdentity sets the whole answer.
    void setModel(const QString& model);
    void setIdentity(const QString& identity);
    // Each time a unit of a message (or the whole line) reads exactly `command` (a leading ":" does not
    // count), `error` (e.g. "-222,\"Data out of range\"") is pushed into the error queue after it ran.
    void pushErrorAfter(const QString& command, const QString& error);
    void pushError(const QString& error);
    void setQuestionable(int channel1to5, int condition);
    // Removes every injected fault and restores the identity; questionable conditions go back to 0.
    void clearFaults();

    // The device under test at a channel's terminals.
    void setSource(int channel1to5, double openVoltage, double resistance);

    static QString defaultIdentity() { return KdrxInstrument::defaultIdentity(); }
    static QString garbageReply() { return QStringLiteral("#~%GARBAGE%~#"); }

private:
    struct ErrorRule {
        QString command;
        QString error;
    };

    qint64 nowMs() const;
    static bool validChannel(int channel1to5) { return channel1to5 >= 1 && channel1to5 <= 5; }

    Clock& clock_;
    mutable std::mutex mutex_;
    KdrxInstrument instrument_;
    std::deque<Received> received_;
    std::size_t transcriptLimit_ = kDefaultTranscriptLimit;
    std::function<void(const Received&)> observer_;
    int answerLimit_ = -1;
    int answeredSinceLimit_ = 0;
    bool garbage_ = false;
    std::vector<ErrorRule> errorRules_;
};
