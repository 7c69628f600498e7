#pragma once

#include "instrument/ChannelNumbers.h"

#include <QString>
#include <functional>

class CInstrumentPort;
class CurrentDocument;
class UserPrompt;
class Clock;
struct AppSettings;

// Speaks the KDR-X command language over the link; keeps no state of its own. Every operation
// returns non-zero for success and 0 for failure, and shows its own failure messages.
class CKdrxDevice {
public:
    CKdrxDevice(CInstrumentPort& port, AppSettings& settings, const ChannelNumbers& numbers,
                CurrentDocument& document, UserPrompt& prompt, Clock& clock);

    // Instrument control.
    int Identify();
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
    // Cuts the field that starts at position out of text (see the implementation for the rules).
    static QString GetField(int& position, const QString& text, int index, int lastIndex);

    // Progress of WriteSequence: called after each step written (channel 0..4, step 1..n, n).
    void setWriteProgress(std::function<void(int channel, int step, int total)> progress)
    {
        writeProgress_ = std::move(progress);
    }

private:
    CInstrumentPort& port_;
    AppSettings& settings_;
    const ChannelNumbers& numbers_;
    CurrentDocument& document_;
    UserPrompt& prompt_;
    Clock& clock_;
    std::function<void(int, int, int)> writeProgress_;
};
