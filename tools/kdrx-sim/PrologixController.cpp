#include "PrologixController.h"

#include <optional>

namespace {

constexpr char kEscape = 0x1B;
// A line longer than this loses its further bytes.
constexpr qsizetype kMaxLineBytes = 65536;

QByteArray answer(const QByteArray& text)
{
    return text + "\r\n";
}

// The whole argument as a number within [low, high].
std::optional<int> numberIn(const QByteArray& text, int low, int high)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace

PrologixController::PrologixController(KdrxSimulator& instrument) : instrument_(instrument) {}

QByteArray PrologixController::receive(const QByteArray& bytes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    received_.append(bytes);
    QByteArray out;
    for (const char byte : bytes) {
        if (escaped_) {
            escaped_ = false;
            if (line_.size() < kMaxLineBytes)
                line_.append(byte);
            continue;
        }
        if (byte == kEscape) {
            escaped_ = true;
            continue;
        }
        if (byte == '\r' || byte == '\n') {
            endOfLine(out);
            continue;
        }
        if (byte == '+' && leadingPluses_ == line_.size())
            ++leadingPluses_;
        if (line_.size() < kMaxLineBytes)
            line_.append(byte);
    }
    if (silent_)
        out.clear();
    sent_.append(out);
    return out;
}

void PrologixController::resetInput()
{
    std::lock_guard<std::mutex> lock(mutex_);
    line_.clear();
    escaped_ = false;
    leadingPluses_ = 0;
}

void PrologixController::endOfLine(QByteArray& out)
{
    const QByteArray line = line_;
    const bool isCommand = leadingPluses_ >= 2;
    line_.clear();
    leadingPluses_ = 0;
    if (line.isEmpty() || silent_)
        return;
    if (isCommand)
        command(line.mid(2), out);
    else
        data(line, out);
}

void PrologixController::command(const QByteArray& text, QByteArray& out)
{
    if (observer_)
        observer_(QStringLiteral("++") + QString::fromLatin1(text));
    const QByteArray trimmed = text.trimmed();
    const qsizetype space = trimmed.indexOf(' ');
    const QByteArray name = (space < 0 ? trimmed : trimmed.left(space)).toLower();
    const QByteArray argument = space < 0 ? QByteArray() : trimmed.mid(space + 1).trimmed();
    const bool query = argument.isEmpty();

    // The settings taken or told as a number: name, the setting, its range.
    struct Setting {
        const char* name;
        int* value;
        int low;
        int high;
    };
    int autoValue = auto_ ? 1 : 0;
    int eoiValue = eoi_ ? 1 : 0;
    int eotValue = eotEnabled_ ? 1 : 0;
    const Setting settings[] = {{"mode", &mode_, 0, 1},
                                {"addr", &address_, 0, 30},
                                {"auto", &autoValue, 0, 1},
                                {"eoi", &eoiValue, 0, 1},
                                {"eos", &eos_, 0, 3},
                                {"eot_enable", &eotValue, 0, 1},
                                {"eot_char", &eotChar_, 0, 255},
                                {"read_tmo_ms", &readTimeoutMs_, 1, 3000}};
    for (const Setting& setting : settings) {
        if (name != setting.name)
            continue;
        if (query) {
            out += answer(QByteArray::number(*setting.value));
        } else if (const std::optional<int> value = numberIn(argument, setting.low, setting.high)) {
            *setting.value = *value;
        }
        auto_ = autoValue != 0;
        eoi_ = eoiValue != 0;
        eotEnabled_ = eotValue != 0;
        return;
    }
    if (name == "ver") {
        out += answer(version_.toLatin1());
    } else if (name == "read") {
        talk(out);
    } else if (name == "clr") {
        // A device clear empties the load's output.
        if (instrumentListens()) {
            replies_.clear();
            listened_.clear();
        }
    } else if (name == "spoll") {
        out += answer("0");
    } else if (name != "ifc" && name != "loc" && name != "llo" && name != "trg" && name != "rst" &&
               name != "savecfg") {
        out += answer("Unrecognized command");
    }
}

void PrologixController::data(const QByteArray& bytes, QByteArray& out)
{
    static const char* const terminators[] = {"\r\n", "\r", "\n", ""};
    if (!instrumentListens())
        return;
    listened_ += bytes;
    listened_ += terminators[eos_];
    // The load ends a message at each line feed, and at EOI on the last byte.
    qsizetype end = 0;
    while ((end = listened_.indexOf('\n')) >= 0) {
        deliver(listened_.left(end));
        listened_.remove(0, end + 1);
    }
    if (eoi_ && !listened_.isEmpty()) {
        deliver(listened_);
        listened_.clear();
    }
    if (auto_)
        talk(out);
}

void PrologixController::deliver(const QByteArray& message)
{
    // A new message ends an answer nobody read, as on any IEEE 488.2 instrument.
    replies_.clear();
    for (const QString& reply : instrument_.handleLine(QString::fromLatin1(message)))
        replies_.push_back(reply.toLatin1() + '\n');
}

void PrologixController::talk(QByteArray& out)
{
    // Nobody at the address, or nothing to say: the controller waits out its time-out and sends
    // nothing.
    if (!instrumentListens() || replies_.empty())
        return;
    QByteArray reply = replies_.front();
    replies_.pop_front();
    if (cutAfter_ >= 0 && reply.size() > cutAfter_)
        reply.truncate(cutAfter_);
    else if (eotEnabled_)
        reply.append(static_cast<char>(eotChar_));
    out += reply;
}

QByteArray PrologixController::receivedBytes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

QByteArray PrologixController::sentBytes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return sent_;
}

void PrologixController::clearWire()
{
    std::lock_guard<std::mutex> lock(mutex_);
    received_.clear();
    sent_.clear();
}

void PrologixController::setCommandObserver(std::function<void(const QString&)> observer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    observer_ = std::move(observer);
}

int PrologixController::mode() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return mode_;
}

int PrologixController::address() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return address_;
}

bool PrologixController::autoRead() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return auto_;
}

bool PrologixController::eoi() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return eoi_;
}

int PrologixController::eos() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return eos_;
}

bool PrologixController::eotEnabled() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return eotEnabled_;
}

int PrologixController::readTimeoutMs() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return readTimeoutMs_;
}

void PrologixController::setSilent(bool silent)
{
    std::lock_guard<std::mutex> lock(mutex_);
    silent_ = silent;
}

void PrologixController::setVersion(const QString& version)
{
    std::lock_guard<std::mutex> lock(mutex_);
    version_ = version;
}

void PrologixController::setInstrumentAddress(int address)
{
    std::lock_guard<std::mutex> lock(mutex_);
    instrumentAddress_ = address;
}

void PrologixController::cutRepliesAfter(int bytes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    cutAfter_ = bytes;
}
