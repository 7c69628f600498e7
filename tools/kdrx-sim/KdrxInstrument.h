#pragma once

#include "ScpiErrorQueue.h"
#include "ScpiHeaderPattern.h"
#include "ScpiMessage.h"
#include "ScpiParameters.h"
#include "SimulatedChannel.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <set>
#include <vector>

// The command language of the simulated five-channel load: parses a message, runs its units on the
// selected channel (or on every coupled channel for the load switch and the program start) and
// gathers one answer per query. Knows nothing of clocks or links: the time of each message is given.
//
// A unit whose header is malformed or unknown pushes its error and ends the message there, as the
// parser has lost its place; a unit with a bad parameter pushes its error and the message goes on.
class KdrxInstrument {
public:
    static constexpr int kChannels = 5;

    KdrxInstrument();

    // Runs one message at nowMs. afterUnit, when set, is called with the text of each unit once it
    // has run. Returns the answers joined by ";", or nothing when no query was answered.
    std::optional<QString> execute(const QString& line, qint64 nowMs,
                                   const std::function<void(const QString&)>& afterUnit = {});
    // Applies the end of every program whose time has come.
    void settle(qint64 nowMs);

    SimulatedChannel& channel(int number) { return channels_[static_cast<std::size_t>(number - 1)]; }
    const SimulatedChannel& channel(int number) const
    {
        return channels_[static_cast<std::size_t>(number - 1)];
    }
    int selectedChannel() const { return selected_; }
    std::vector<int> coupledChannels() const { return {coupled_.begin(), coupled_.end()}; }
    ScpiErrorQueue& errors() { return errors_; }
    const ScpiErrorQueue& errors() const { return errors_; }
    static QString defaultIdentity() { return QStringLiteral("MORVANE,KDR-X5,SIM00001,1.00"); }
    QString identity() const { return identity_; }
    void setIdentity(const QString& identity) { identity_ = identity; }

    // How set values, durations and readings are written in answers.
    static QString formatValue(double value);
    static QString formatDuration(qint64 durationMs);
    static QString formatCurrent(double amperes);
    static QString formatVoltage(double volts);

private:
    struct Request {
        ScpiParameters parameters;
        int suffix;
        qint64 nowMs;
        QStringList& answers;
    };
    using Handler = void (KdrxInstrument::*)(Request&);
    struct Command {
        ScpiHeaderPattern header;
        Handler handler;
    };

    void addCommand(const char* header, Handler handler);
    SimulatedChannel& selected() { return channel(selected_); }
    // The selected channel and, when it is one of them, every coupled channel.
    std::vector<int> actingChannels() const;
    void report(int code);

    void identify(Request& request);
    void clearStatus(Request& request);
    void resetInstrument(Request& request);
    void operationComplete(Request& request);
    void selectChannelNumber(Request& request);
    void queryChannelNumber(Request& request);
    void selectChannelName(Request& request);
    void queryChannelName(Request& request);
    void couple(Request& request);
    void queryCoupling(Request& request);
    void clearProtection(Request& request);
    void setFunction(Request& request);
    void queryFunction(Request& request);
    void setVoltage(Request& request);
    void queryVoltage(Request& request);
    void setCurrent(Request& request);
    void queryCurrent(Request& request);
    void setConductance(Request& request);
    void queryConductance(Request& request);
    void setVoltageRange(Request& request);
    void queryVoltageRange(Request& request);
    void setCurrentRange(Request& request);
    void queryCurrentRange(Request& request);
    void setOutput(Request& request);
    void queryOutput(Request& request);
    void measureCurrent(Request& request);
    void measureVoltage(Request& request);
    void measurePower(Request& request);
    void setProgramState(Request& request);
    void queryProgramState(Request& request);
    void queryExecution(Request& request);
    void setEndStep(Request& request);
    void queryEndStep(Request& request);
    void editStep(Request& request);
    void queryStep(Request& request);
    void setLoopCount(Request& request);
    void queryLoopCount(Request& request);
    void setLoadAtEnd(Request& request);
    void queryLoadAtEnd(Request& request);
    void setEndValue(Request& request);
    void queryEndValue(Request& request);
    void queryQuestionable(Request& request);
    void queryError(Request& request);
    void queryVersion(Request& request);

    std::vector<Command> commands_;
    std::array<SimulatedChannel, kChannels> channels_;
    int selected_ = 1;
    std::set<int> coupled_;
    ScpiErrorQueue errors_;
    QString identity_ = defaultIdentity();
};
