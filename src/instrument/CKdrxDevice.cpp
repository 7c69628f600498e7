#include "instrument/CKdrxDevice.h"

#include "instrument/KdrxText.h"
#include "instrument/ProgramStatePoll.h"
#include "link/CInstrumentPort.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/CurrentDocument.h"
#include "model/DecimalText.h"
#include "model/StepBounds.h"
#include "ui/Clock.h"
#include "ui/UserPrompt.h"

#include <algorithm>

namespace {

// Identification replies are looked at up to this length, measurement and status replies up to
// the next one.
constexpr int kIdentityCap = 63;
constexpr int kReplyCap = 127;
// The instrument needs this long after a function change before it takes program commands.
constexpr int kFunctionSettleMs = 100;
// A program shorter than this gets an all-zero step after its last one.
constexpr int kTerminatedProgramLimit = 255;

const char* const kNotKdrxText = "Morvane KDR-X series - The instrument is not";
const char* const kErrorPrefix = "An error occurred. ";
const char* const kCvRangeText = "Can not set the cv range";
const char* const kCcRangeText = "Can not set the cc range";

// "CURR:RANG HIGH" and the like for a current range index, or nothing for an index off the list.
QString voltageRangeCommand(int range)
{
    switch (range) {
    case 0:
        return QStringLiteral("VOLT:RANG HIGH");
    case 1:
        return QStringLiteral("VOLT:RANG LOW");
    default:
        return QString();
    }
}

QString currentRangeCommand(int range)
{
    switch (range) {
    case 0:
        return QStringLiteral("CURR:RANG HIGH");
    case 1:
        return QStringLiteral("CURR:RANG MED");
    case 2:
        return QStringLiteral("CURR:RANG LOW");
    default:
        return QString();
    }
}

} // namespace

CKdrxDevice::CKdrxDevice(CInstrumentPort& port, AppSettings& settings, const ChannelNumbers& numbers,
                         CurrentDocument& document, UserPrompt& prompt, Clock& clock)
    : port_(port), settings_(settings), numbers_(numbers), document_(document), prompt_(prompt), clock_(clock)
{
}

CMainDoc* CKdrxDevice::document() const
{
    return document_.get();
}

bool CKdrxDevice::query(const QString& command, QString& reply)
{
    reply.clear();
    return port_.Write(command) && port_.Read(reply);
}

int CKdrxDevice::reportAndClose()
{
    port_.ReportError();
    port_.Close();
    return 0;
}

int CKdrxDevice::closeForStop()
{
    port_.Close();
    return 0;
}

// Instrument control.

int CKdrxDevice::Identify()
{
    QString reply;
    return Identify(reply);
}

int CKdrxDevice::Identify(QString& reply)
{
    if (!query(QStringLiteral("*IDN?"), reply)) {
        port_.ReportError();
        return 0;
    }
    const QStringList fields = KdrxText::pieces(reply, kIdentityCap, QLatin1Char(','));
    if (fields.size() < 2 || !fields[1].startsWith(QLatin1String("KDR"))) {
        prompt_.showMessage(QLatin1String(kNotKdrxText));
        return 0;
    }
    if (!port_.Write(QStringLiteral("*CLS;:INP:PROT:CLE"))) {
        port_.ReportError();
        return 0;
    }
    return 1;
}

int CKdrxDevice::CheckError()
{
    QString reply;
    if (!query(QStringLiteral("SYST:ERR?"), reply)) {
        port_.ReportError();
        return 0;
    }
    // Only a reply that begins with the digit 0 or a comma is a clear queue; "+0,..." is shown.
    if (reply.startsWith(QLatin1Char('0')) || reply.startsWith(QLatin1Char(',')))
        return 1;
    prompt_.showMessage(QLatin1String(kErrorPrefix) + reply);
    return 0;
}

int CKdrxDevice::StopChannel(int channel)
{
    if (!isChannel(channel))
        return 0;
    const QString command = settings_.SeqCtl == SoftwareControl
                                ? QStringLiteral("INST:NSEL %1;:OUTP 0").arg(numbers_[channel])
                                : QStringLiteral("INST:NSEL %1;:PROG:STAT STOP").arg(numbers_[channel]);
    if (!port_.Write(command))
        return reportAndClose();
    return 1;
}

int CKdrxDevice::StopChannels(const ChannelFlags& selected, const ChannelFlags& /*unused*/,
                              int closeAfterwards)
{
    for (int c = 0; c < kChannelCount; ++c) {
        if (selected[c] && (settings_.SeqCtl == HardwareControl || settings_.OutOffCh[c] == 1)) {
            if (!StopChannel(c))
                return 0;
        }
    }
    if (closeAfterwards == 1)
        port_.Close();
    return 1;
}

int CKdrxDevice::StopChannelIfNeeded(int channel)
{
    if (!isChannel(channel))
        return 0;
    // Under Software Control a channel whose load stays on at its end is left as it is.
    if (settings_.SeqCtl == HardwareControl || settings_.OutOffCh[channel] == 1)
        return StopChannel(channel);
    return 1;
}

int CKdrxDevice::Measure(QString& current, QString& voltage, int channel)
{
    if (!isChannel(channel))
        return 0;
    QString reply;
    if (!query(QStringLiteral("INST:NSEL %1;:MEAS:CURR?;:MEAS:VOLT?").arg(numbers_[channel]), reply))
        return 0;
    const QStringList answers = KdrxText::pieces(reply, kReplyCap, QLatin1Char(';'));
    current = settings_.Curr == 1 ? answers.value(0).trimmed() : QString();
    voltage = settings_.Volt == 1 ? answers.value(1).trimmed() : QString();
    return 1;
}

int CKdrxDevice::QueryStatus(ChannelTexts& status)
{
    QString command;
    if (settings_.SeqCtl == SoftwareControl) {
        QStringList queries;
        for (int number = 1; number <= kChannelCount; ++number)
            queries << QStringLiteral("STAT:QUES:INST:ISUM%1:COND?").arg(number);
        command = queries.join(QLatin1String(";:"));
    } else {
        command = QStringLiteral("PROG:EXEC?");
    }
    QString reply;
    if (!query(command, reply) || reply.isEmpty())
        return 0;
    const QStringList answers = KdrxText::pieces(reply, kReplyCap, QLatin1Char(';'));
    for (int c = 0; c < kChannelCount; ++c)
        status[c] = answers.value(c);
    return 2;
}

int CKdrxDevice::SetRanges(const ChannelFlags& currentRange, const ChannelFlags& voltageRange,
                           const ChannelFlags& /*spare*/, const ChannelFlags& enabled)
{
    if (!port_.Open() || !Identify()) {
        port_.Close();
        return 0;
    }
    // A range outside its list refuses with its own message; a range the instrument does not
    // take leaves an error in its queue.
    const auto setRange = [this](const QString& command, const char* refusal) {
        if (command.isEmpty()) {
            prompt_.showMessage(QLatin1String(refusal));
            port_.Close();
            return 0;
        }
        if (!port_.Write(command))
            return reportAndClose();
        if (!CheckError()) {
            port_.Close();
            return 0;
        }
        return 1;
    };
    for (int c = 0; c < kChannelCount; ++c) {
        if (enabled[c] != 1)
            continue;
        if (port_.stopRequested())
            return closeForStop();
        // The channels are numbered 1 to 5 here, whatever the channel-number table says.
        if (!port_.Write(QStringLiteral("INST:NSEL %1;:INST:COUP NONE").arg(c + 1)))
            return reportAndClose();

        if (!setRange(voltageRangeCommand(voltageRange[c]), kCvRangeText) ||
            !setRange(currentRangeCommand(currentRange[c]), kCcRangeText))
            return 0;
    }
    port_.Close();
    return 1;
}

// Sequence write and start.

int CKdrxDevice::WriteSequence(int channel)
{
    CMainDoc* doc = document();
    if (!isChannel(channel) || !doc)
        return 0;
    const ChannelSequence& sequence = doc->channel(channel);
    const int count = sequence.stepCount();
    const bool resistance = settings_.ModeChHard[channel] == ModeCR;
    if (port_.stopRequested())
        return 0;

    if (!port_.Open() || !Identify()) {
        port_.Close();
        return 0;
    }
    if (!port_.Write(QStringLiteral("INST:NSEL %1;:INST:COUP NONE").arg(numbers_[channel])))
        return reportAndClose();
    if (!port_.Write(resistance ? QStringLiteral("FUNC CR") : QStringLiteral("FUNC CC")))
        return reportAndClose();
    clock_.waitMs(kFunctionSettleMs);
    // Until here the channel's program is as it was.
    if (port_.stopRequested())
        return closeForStop();
    if (!port_.Write(QStringLiteral("PROG:FSP:END %1").arg(count)))
        return reportAndClose();
    if (writeProgress_)
        writeProgress_(channel, 0, count);
    if (!port_.Write(QStringLiteral("PROG:LVAL 0")))
        return reportAndClose();

    for (int k = 1; k <= count; ++k) {
        // A stop comes between two steps, so that every step sent has been checked.
        if (port_.stopRequested())
            return closeForStop();
        const SequenceStep& step = sequence.steps[k - 1];
        const QString value = resistance ? KdrxText::conductanceText(step.value) : step.value;
        if (!port_.Write(QStringLiteral("PROG:FSP:EDIT %1,%2,0,%3").arg(k).arg(value, step.interval)))
            return reportAndClose();
        if (!CheckError()) {
            port_.Close();
            return 0;
        }
        if (writeProgress_)
            writeProgress_(channel, k, count);
    }
    if (count < kTerminatedProgramLimit) {
        if (!port_.Write(QStringLiteral("PROG:FSP:EDIT %1,0,0,0").arg(count + 1)))
            return reportAndClose();
    }
    if (!port_.Write(QStringLiteral("PROG:LOOP %1").arg(settings_.RepeatCh[channel])))
        return reportAndClose();
    // A loop count the instrument refuses is told only in its error queue.
    if (!CheckError()) {
        port_.Close();
        return 0;
    }
    if (!port_.Write(settings_.OutOffChHard[channel] == 0 ? QStringLiteral("PROG:LINP ON")
                                                          : QStringLiteral("PROG:LINP OFF")))
        return reportAndClose();
    return port_.Close();
}

int CKdrxDevice::prepareSoftwareStart(int channel, bool showFailures, bool closeBeforeQueueMessage)
{
    const auto fail = [&]() {
        if (showFailures)
            return reportAndClose();
        return 0;
    };
    CMainDoc* doc = document();
    if (!doc)
        return 0;
    const int number = numbers_[channel];
    const int mode = settings_.ModeCh[channel];

    // The function of each operation mode and the header of its set value.
    struct ModeCommands {
        const char* function;
        const char* prefix;
    };
    static const ModeCommands kModeCommands[] = {
        {"CV", "VOLT "}, {"CC", "CURR "}, {"CR", "COND "}, {"CCCV", "CURR "}, {"CRCV", "COND "}};
    if (mode < ModeCV || mode > ModeCRCV) {
        if (showFailures) {
            prompt_.showMessage(QStringLiteral("No Mode"));
            port_.Close();
        }
        return 0;
    }
    const QString modeCommand =
        QStringLiteral("INST:NSEL %1;:PROG:STAT STOP;:FUNC ") + QLatin1String(kModeCommands[mode].function);
    const QString prefix = QLatin1String(kModeCommands[mode].prefix);
    if (!port_.Write(modeCommand.arg(number)))
        return fail();

    const QString rangeCommand = currentRangeCommand(settings_.RangeCC[channel]);
    if (rangeCommand.isEmpty()) {
        // The range message is shown even when the caller asked for silent failures.
        prompt_.showMessage(QLatin1String(kCcRangeText));
        if (showFailures)
            port_.Close();
        return 0;
    }
    if (!port_.Write(rangeCommand))
        return fail();

    const SequenceStep& first = doc->channel(channel).steps[0];
    const bool resistance = mode == ModeCR || mode == ModeCRCV;
    const QString value = resistance ? KdrxText::conductanceText(first.value) : first.value;
    // A ramp starts from zero, unless it is the half-second ramp that the step timer cannot split.
    const bool startAtValue = first.transition == QLatin1String("0") ||
                              (settings_.Unit == UnitS && decimalValue(first.interval) == 0.5);
    if (!port_.Write(prefix + (startAtValue ? value : QStringLiteral("0"))))
        return fail();

    if (mode == ModeCCCV || mode == ModeCRCV) {
        const double volts = mode == ModeCCCV ? settings_.Volt1Ch[channel] : settings_.Volt2Ch[channel];
        if (!port_.Write(QStringLiteral("VOLT ") + formatDouble("%f", volts)))
            return fail();
    }

    QString reply;
    if (!query(QStringLiteral("SYST:ERR?"), reply) || reply.isEmpty())
        return fail();
    if (integerValue(reply) != 0) {
        if (showFailures) {
            if (closeBeforeQueueMessage)
                port_.Close();
            prompt_.showMessage(QStringLiteral("There is not a channel or cannot set an initial value."));
            if (!closeBeforeQueueMessage)
                port_.Close();
        }
        return 0;
    }
    return 1;
}

int CKdrxDevice::StartChannel(int channel, int openLink, ChannelTexts& currents, ChannelTexts& voltages,
                              int measure)
{
    CMainDoc* doc = document();
    if (!isChannel(channel) || !doc)
        return 0;
    const bool opening = openLink == 1;
    if (opening) {
        if (!port_.Open() || !Identify()) {
            port_.Close();
            return 0;
        }
        if (!port_.Write(QStringLiteral("INST:COUP NONE")))
            return reportAndClose();
    }
    if (measure == 1 && settings_.File == 1 && settings_.MonStart == 1) {
        if (!Measure(currents[channel], voltages[channel], channel))
            return opening ? reportAndClose() : 0;
    }

    const int number = numbers_[channel];
    QString startCommand;
    if (settings_.SeqCtl == HardwareControl) {
        startCommand = QStringLiteral("INST:NSEL %1;:PROG:STAT RUN").arg(number);
    } else {
        if (!prepareSoftwareStart(channel, opening, false))
            return 0;
        const bool loadOn = doc->channel(channel).steps[0].load != QLatin1String("0");
        startCommand = QStringLiteral("INST:NSEL %1;:OUTP %2").arg(number).arg(loadOn ? 1 : 0);
    }
    if (!port_.Write(startCommand))
        return opening ? reportAndClose() : 0;
    if (settings_.SeqCtl == HardwareControl) {
        ChannelFlags started{};
        started[channel] = 1;
        return confirmProgramStart(started, opening);
    }
    return 1;
}

int CKdrxDevice::StartChannels(const ChannelFlags& selected, const ChannelFlags* /*spare*/,
                               ChannelTexts& currents, ChannelTexts& voltages, int measure)
{
    CMainDoc* doc = document();
    if (!doc)
        return 0;
    if (!port_.Open() || !Identify()) {
        port_.Close();
        return 0;
    }
    if (!port_.Write(QStringLiteral("INST:COUP NONE")))
        return reportAndClose();

    if (measure == 1 && settings_.File == 1 && settings_.MonStart == 1) {
        for (int c = 0; c < kChannelCount; ++c) {
            if (selected[c] && !Measure(currents[c], voltages[c], c))
                return reportAndClose();
        }
    }
    const bool hardware = settings_.SeqCtl == HardwareControl;
    if (!hardware) {
        for (int c = 0; c < kChannelCount; ++c) {
            if (selected[c] && !prepareSoftwareStart(c, true, true))
                return 0;
        }
    }

    // The coupled start names the channels by their sequence number, not the channel-number table.
    // Software Control switches on the channels whose first step has the load on; under Hardware
    // Control every selected channel's program starts (its steps say when the load is on).
    QString command;
    ChannelFlags started{};
    for (int c = 0; c < kChannelCount; ++c) {
        if (!selected[c] || (!hardware && doc->channel(c).steps[0].load == QLatin1String("0")))
            continue;
        started[c] = 1;
        if (command.isEmpty())
            command = QStringLiteral("INST CH%1;:INST:COUP CH%1").arg(c + 1);
        else
            command += QStringLiteral(",CH%1").arg(c + 1);
    }
    if (command.isEmpty())
        return 1;
    command += hardware ? QStringLiteral(";:PROG:STAT RUN") : QStringLiteral(";:OUTP 1");
    if (!port_.Write(command) || !port_.Write(QStringLiteral("INST:COUP NONE")))
        return reportAndClose();
    if (hardware)
        return confirmProgramStart(started, true);
    return 1;
}

int CKdrxDevice::confirmProgramStart(const ChannelFlags& started, bool showFailures)
{
    QString reply;
    if (!query(QStringLiteral("SYST:ERR?"), reply))
        return showFailures ? reportAndClose() : 0;
    if (reply.startsWith(QLatin1Char('0')) || reply.startsWith(QLatin1Char(',')))
        return 1;
    // The run window shows the start as failed: no channel of it may go on running its program.
    for (int c = 0; c < kChannelCount; ++c) {
        if (started[c])
            port_.Write(QStringLiteral("INST:NSEL %1;:PROG:STAT STOP").arg(numbers_[c]));
    }
    if (showFailures) {
        port_.Close();
        prompt_.showMessage(QLatin1String(kErrorPrefix) + reply);
    }
    return 0;
}

// Sequence read-back and execution status.

QString CKdrxDevice::GetField(int& position, const QString& text, int index, int lastIndex)
{
    if (position < 0 || position > text.size())
        return QString();
    QString field;
    if (index >= lastIndex) {
        field = text.mid(position);
    } else {
        const qsizetype comma = text.indexOf(QLatin1Char(','), position);
        // Without a comma ahead a field that is not the last one is empty.
        if (comma >= 0)
            field = text.mid(position, comma - position);
    }
    if (!field.isEmpty())
        position += static_cast<int>(field.size());
    return field;
}

int CKdrxDevice::ReadSequence(int channel)
{
    CMainDoc* doc = document();
    if (!isChannel(channel) || !doc || port_.stopRequested())
        return 0;
    if (!port_.Open() || !Identify()) {
        port_.Close();
        return 0;
    }
    if (!port_.Write(QStringLiteral("INST:NSEL %1").arg(numbers_[channel])))
        return reportAndClose();

    QString reply;
    if (!query(QStringLiteral("FUNC?"), reply))
        return reportAndClose();
    if (reply == QLatin1String("CR")) {
        settings_.ModeChHard[channel] = ModeCR;
    } else if (reply == QLatin1String("CC")) {
        settings_.ModeChHard[channel] = ModeCC;
    } else {
        // Not an error of the link: the channel is skipped and the caller goes on.
        port_.Close();
        prompt_.showMessage(QStringLiteral("This channel is not CC mode or CR mode."));
        return 1;
    }
    // The active mode follows the hardware set while Hardware Control is in force.
    if (settings_.SeqCtl == HardwareControl)
        settings_.ModeCh[channel] = settings_.ModeChHard[channel];
    const bool resistance = settings_.ModeChHard[channel] == ModeCR;

    if (!query(QStringLiteral("PROG:LOOP?"), reply))
        return reportAndClose();
    // The instrument holds 1 to 9999 passes; a reply off that range is no count the run could use.
    settings_.RepeatCh[channel] =
        std::clamp(integerValue(reply), StepBounds::kFirstRepeat, StepBounds::kLastRepeat);

    if (!query(QStringLiteral("PROG:LINP?"), reply))
        return reportAndClose();
    const bool loadStaysOn = reply.contains(QLatin1Char('1')) || reply.contains(QLatin1String("ON"));
    settings_.OutOffChHard[channel] = loadStaysOn ? 0 : 1;

    if (!query(QStringLiteral("PROG:LVAL?"), reply))
        return reportAndClose();
    const double endValue = decimalValue(reply);
    settings_.CurrCh[channel] = resistance ? KdrxText::invertedToFiveDecimals(endValue) : endValue;

    if (!query(QStringLiteral("PROG:FSP:END?"), reply))
        return reportAndClose();
    // The end step is the program's last step (the zero step after it only ends the memory), so it
    // is the step count; the document holds at most 1024 steps.
    const int count = std::clamp(integerValue(reply), 0, kMaxSteps);
    ChannelSequence& sequence = doc->channel(channel);
    sequence.count = count;
    if (readProgress_)
        readProgress_(channel, 0, count);

    for (int k = 1; k <= count; ++k) {
        if (port_.stopRequested()) {
            sequence.count = k - 1;
            return closeForStop();
        }
        if (!query(QStringLiteral("PROG:FSP:EDIT? %1").arg(k), reply)) {
            // The channel keeps the steps read so far, without empty rows behind them.
            sequence.count = k - 1;
            return reportAndClose();
        }
        int position = 0;
        const QString value = GetField(position, reply, 0, 2);
        position += 1;
        GetField(position, reply, 1, 2);
        position += 1;
        const QString interval = GetField(position, reply, 2, 2);

        SequenceStep& step = sequence.steps[k - 1];
        step.value = resistance ? KdrxText::resistanceText(value) : value;
        step.interval = interval;
        step.transition = QStringLiteral("0");
        step.load = QStringLiteral("1");
        step.load2 = QStringLiteral("1");
        if (readProgress_)
            readProgress_(channel, k, count);
    }
    return port_.Close();
}

int CKdrxDevice::QueryProgramState(std::array<int, kChannelCount>& runState, ChannelTexts& stepText,
                                   ChannelTexts& loopText, const ChannelFlags& selected)
{
    // The channels are named by their sequence number here, not the channel-number table. Nothing
    // to ask sends nothing: an empty line would only wait out the reply time-out.
    ProgramStatePoll poll(selected);
    while (!poll.complete()) {
        QString reply;
        if (!query(poll.nextMessage(), reply))
            return 0;
        poll.takeReply(reply, port_.replyLimit());
        if (poll.failed())
            return 0;
    }
    for (int c = 0; c < kChannelCount; ++c) {
        if (!selected[c])
            continue;
        const QString& answer = poll.answer(c);
        int position = 0;
        QString fields[5];
        for (int index = 0; index <= 4; ++index) {
            fields[index] = GetField(position, answer, index, 4);
            position += 1;
        }
        runState[c] = fields[0] == QLatin1String("RUN") ? 2 : 1;
        // The instrument counts steps from 0, the display from 1.
        stepText[c] = QString::number(static_cast<qint64>(integerValue(fields[2])) + 1);
        loopText[c] = fields[3];
    }
    return 1;
}
