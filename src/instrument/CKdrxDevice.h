#pragma once

#include "instrument/ChannelNumbers.h"

#include <QString>
#include <functional>

class CInstrumentPort;
class CMainDoc;
class CurrentDocument;
class UserPrompt;
class Clock;
struct AppSettings;

// Speaks the KDR-X command language over the link; keeps no state of its own. Every operation
// returns non-zero for success and 0 for failure, and shows its own failure messages (none when a
// stop request ended it: the port says so).
class CKdrxDevice {
public:
    CKdrxDevice(CInstrumentPort& port, AppSettings& settings, const ChannelNumbers& numbers,
                CurrentDocument& document, UserPrompt& prompt, Clock& clock);

    // Instrument control.
    int Identify();
    // The same, giving the identification reply (as received, whether or not it names a KDR-X).
    int Identify(QString& identity);
    int CheckError();
    int StopChannel(int channel);
    int StopChannels(const ChannelFlags& selected, const ChannelFlags& unused, int closeAfterwards);
    int StopChannelIfNeeded(int channel);
    int Measure(QString& current, QString& voltage, int channel);
    int QueryStatus(ChannelTexts& status); // 2 on success
    int SetRanges(const ChannelFlags& currentRange, const ChannelFlags& voltageRange,
                  const ChannelFlags& spare, const ChannelFlags& enabled);

    // Sequence write and start.
    int WriteSequence(int channel);
    int StartChannels(const ChannelFlags& selected, const ChannelFlags* spare, ChannelTexts& currents,
                      ChannelTexts& voltages, int measure);
    int StartChannel(int channel, int openLink, ChannelTexts& currents, ChannelTexts& voltages, int measure);

    // Sequence read-back and execution status.
    int ReadSequence(int channel);
    int QueryProgramState(std::array<int, kChannelCount>& runState, ChannelTexts& stepText,
                          ChannelTexts& loopText, const ChannelFlags& selected);
    // The field that starts at position in a comma-separated reply. A field other than the last
    // reaches up to the next comma (and is empty when no comma follows); the last one reaches to
    // the end. position advances by the length of a non-empty field; the caller steps over the
    // comma itself. Empty fields are not skipped.
    static QString GetField(int& position, const QString& text, int index, int lastIndex);

    // Progress of WriteSequence: called once the channel's step count is sent, from when on its
    // program in the instrument is being replaced (step 0), and after each step written (channel
    // 0..4, step 1..n, n).
    void setWriteProgress(std::function<void(int channel, int step, int total)> progress)
    {
        writeProgress_ = std::move(progress);
    }
    // Progress of ReadSequence: called once the channel's step count is known (step 0) and after
    // each step read (channel 0..4, step 1..n, n).
    void setReadProgress(std::function<void(int channel, int step, int total)> progress)
    {
        readProgress_ = std::move(progress);
    }

private:
    static bool isChannel(int channel) { return channel >= 0 && channel < kChannelCount; }
    // The open document, or none.
    CMainDoc* document() const;
    // A Write and a Read; false when either fails (nothing is shown).
    bool query(const QString& command, QString& reply);
    // The end of an operation whose Write or Read failed: the port's message, the link closed, 0.
    int reportAndClose();
    // The end of an operation that a stop request ends between two exchanges: no message, the link
    // closed, 0. The operations that take many exchanges (a write, a read, the ranges) look for a
    // stop request before each step; the one under way has ended normally or been cut short.
    int closeForStop();
    // Steps 4 to 8 of a Software Control start of channel c: mode, range, first value, the voltage
    // of the CV part and the error check. With showFailures the failures are shown and the link
    // is closed (before the error-queue message when closeBeforeQueueMessage is set).
    int prepareSoftwareStart(int channel, bool showFailures, bool closeBeforeQueueMessage);
    // After "PROG:STAT RUN": the instrument refuses a program that the function and range in force
    // cannot run and says so only in its error queue. A refused start fails: the channels of the
    // start are stopped again (a coupled start runs the channels that were not refused), and with
    // showFailures the link is closed and "An error occurred. " with the reply is shown.
    int confirmProgramStart(const ChannelFlags& started, bool showFailures);

    CInstrumentPort& port_;
    AppSettings& settings_;
    const ChannelNumbers& numbers_;
    CurrentDocument& document_;
    UserPrompt& prompt_;
    Clock& clock_;
    std::function<void(int, int, int)> writeProgress_;
    std::function<void(int, int, int)> readProgress_;
};
