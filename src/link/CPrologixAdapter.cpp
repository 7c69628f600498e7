#include "link/CPrologixAdapter.h"

#include "link/TcpSocketLine.h"
#include "link/TermiosSerialLine.h"
#include "ui/ResourceModule.h"
#include "ui/UserPrompt.h"

#include <QElapsedTimer>

namespace {

constexpr char kEscape = 0x1B;

std::unique_ptr<SerialLine> systemLine(bool network)
{
    if (network)
        return std::make_unique<TcpSocketLine>();
    // The controllers' USB serial ports take any speed; 115200 baud without flow control is the
    // setting of those that have a real serial line (the AR488).
    TermiosSerialLine::Settings settings;
    settings.baud = CPrologixAdapter::serialBaud;
    settings.xonXoff = false;
    settings.holdDtr = true;
    settings.keepOutput = true;
    return std::make_unique<TermiosSerialLine>(settings);
}

int remainingMs(const QElapsedTimer& timer, int timeoutMs)
{
    const qint64 left = timeoutMs - timer.elapsed();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

CPrologixAdapter::CPrologixAdapter(const ResourceModule& strings, UserPrompt& prompt)
    : strings_(strings), prompt_(prompt), lineFactory_(systemLine)
{
}

CPrologixAdapter::~CPrologixAdapter() = default;

QByteArray CPrologixAdapter::escaped(const QByteArray& data)
{
    QByteArray out;
    out.reserve(data.size() + data.size() / 8 + 2);
    for (const char byte : data) {
        if (byte == '\r' || byte == '\n' || byte == kEscape || byte == '+')
            out.append(kEscape);
        out.append(byte);
    }
    return out;
}

QString CPrologixAdapter::networkAddress(const QString& device)
{
    QString text = device.trimmed();
    if (text.isEmpty() || text.startsWith(QLatin1Char('/')))
        return QString();
    if (text.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive))
        text = text.mid(4).trimmed();
    const bool hasPort = text.startsWith(QLatin1Char('[')) ? text.contains(QLatin1String("]:"))
                                                           : text.contains(QLatin1Char(':'));
    if (!text.isEmpty() && !hasPort)
        text += QStringLiteral(":%1").arg(defaultNetworkPort);
    // What names no host comes back as it is, for the connection to refuse.
    return text.isEmpty() ? device.trimmed() : text;
}

bool CPrologixAdapter::isCompatibleVersion(const QString& answer)
{
    for (const char* word : {"prologix", "ar488", "gpib"}) {
        if (answer.contains(QLatin1String(word), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

void CPrologixAdapter::setLineFactory(std::function<std::unique_ptr<SerialLine>(bool network)> factory)
{
    lineFactory_ = factory ? std::move(factory) : systemLine;
}

void CPrologixAdapter::setWaitHook(std::function<void()> hook)
{
    waitHook_ = std::move(hook);
    if (line_)
        line_->setWaitHook(waitHook_);
}

void CPrologixAdapter::setTimeoutsMs(int controllerMs, int replyMs)
{
    controllerTimeoutMs_ = controllerMs;
    replyTimeoutMs_ = replyMs;
}

int CPrologixAdapter::failOpen(int code)
{
    lastError = code;
    if (line_)
        line_->close();
    return 0;
}

int CPrologixAdapter::Open()
{
    Close();
    version.clear();
    openReason_.clear();
    const QString target = device.trimmed();
    if (target.isEmpty())
        return failOpen(NoController);
    const QString network = networkAddress(target);
    line_ = lineFactory_(!network.isEmpty());
    line_->setWaitHook(waitHook_);
    if (!line_->open(network.isEmpty() ? target : network) || !line_->configure()) {
        openReason_ = line_->errorString();
        return failOpen(OpenFailed);
    }
    // Whatever a controller said before this operation is not an answer to it.
    line_->purge();
    if (!identifyController())
        return 0;
    if (!isCompatibleVersion(version))
        return failOpen(NotCompatible);
    if (!setUpController())
        return 0;
    return 1;
}

bool CPrologixAdapter::identifyController()
{
    for (int attempt = 0; attempt < versionTries; ++attempt) {
        if (!send("++ver\n"))
            return failOpen(SendFailed);
        QByteArray answer;
        switch (readLine(answer, controllerTimeoutMs_)) {
        case LineResult::Line:
            version = QString::fromLatin1(answer).trimmed();
            return true;
        case LineResult::Failed:
            return failOpen(ReceiveFailed);
        case LineResult::Over:
        case LineResult::Nothing:
        case LineResult::Cut:
            break;
        }
    }
    return failOpen(ControllerSilent);
}

bool CPrologixAdapter::setUpController()
{
    // Controller mode; the load's address; EOI with the last byte and no characters added, since
    // each command carries the load's line feed; replies only when asked for. A controller that
    // was set to add a character at EOI would put it after every reply.
    const QByteArray commands = QByteArrayLiteral("++mode 1\n++addr ") + QByteArray::number(address) +
                                QByteArrayLiteral("\n++eoi 1\n++eos 3\n++auto 0\n++eot_enable 0\n") +
                                QByteArrayLiteral("++read_tmo_ms ") + QByteArray::number(busTimeoutMs) +
                                QByteArrayLiteral("\n++addr\n");
    if (!send(commands))
        return failOpen(SendFailed);
    // The address asked back ends the set-up: what comes before it (a late "++ver" answer, a
    // controller's comment on a command it does not know) is passed over.
    const QByteArray expected = QByteArray::number(address);
    QElapsedTimer timer;
    timer.start();
    const int timeoutMs = controllerTimeoutMs_ * versionTries;
    for (;;) {
        QByteArray answer;
        switch (readLine(answer, remainingMs(timer, timeoutMs))) {
        case LineResult::Line:
            if (answer.trimmed() == expected)
                return true;
            break;
        case LineResult::Failed:
            return failOpen(ReceiveFailed);
        case LineResult::Over:
        case LineResult::Nothing:
        case LineResult::Cut:
            return failOpen(AddressRefused);
        }
    }
}

bool CPrologixAdapter::send(const QByteArray& bytes)
{
    return isOpen() && line_->write(bytes, replyTimeoutMs_);
}

CPrologixAdapter::LineResult CPrologixAdapter::readLine(QByteArray& line, int timeoutMs)
{
    line.clear();
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        char byte = 0;
        switch (line_->readByte(byte, remainingMs(timer, timeoutMs))) {
        case SerialLine::ReadResult::Failed:
            return LineResult::Failed;
        case SerialLine::ReadResult::TimedOut:
            return line.isEmpty() ? LineResult::Nothing : LineResult::Cut;
        case SerialLine::ReadResult::Byte:
            break;
        }
        if (byte == '\n') {
            if (line.endsWith('\r'))
                line.chop(1);
            return LineResult::Line;
        }
        // The buffer holds a reply with its line feed; a longer one is refused, not cut.
        if (line.size() + 1 >= replyBufferSize)
            return LineResult::Over;
        line.append(byte);
    }
}

int CPrologixAdapter::Write(const QString& command)
{
    QByteArray bytes = escaped(command.toLatin1() + '\n');
    bytes.append('\n');
    if (!send(bytes)) {
        lastError = SendFailed;
        return 0;
    }
    return 1;
}

QString CPrologixAdapter::Read()
{
    if (!isOpen()) {
        lastError = ReceiveFailed;
        return QString();
    }
    if (!send("++read eoi\n")) {
        lastError = SendFailed;
        return QString();
    }
    QByteArray reply;
    switch (readLine(reply, replyTimeoutMs_)) {
    case LineResult::Line:
        // An empty line is no answer for a GPIB link.
        if (reply.isEmpty())
            lastError = InstrumentSilent;
        return QString::fromLatin1(reply);
    case LineResult::Nothing:
        lastError = InstrumentSilent;
        break;
    case LineResult::Cut:
        lastError = ReplyCut;
        break;
    case LineResult::Failed:
        lastError = ReceiveFailed;
        break;
    case LineResult::Over:
        lastError = DataOver;
        break;
    }
    return QString();
}

int CPrologixAdapter::Close()
{
    if (line_)
        line_->close();
    return 1;
}

QString CPrologixAdapter::errorText() const
{
    if (lastError < NoController || lastError > DataOver)
        return QString();
    const QString text = strings_.string(firstMessageId - 1 + lastError);
    switch (lastError) {
    case OpenFailed:
        return text.arg(device.trimmed(),
                        openReason_.isEmpty() ? QStringLiteral("unknown reason") : openReason_);
    case ControllerSilent:
        return text.arg(device.trimmed());
    case NotCompatible:
        return text.arg(device.trimmed(), version);
    case AddressRefused:
    case InstrumentSilent:
        return text.arg(address);
    default:
        return text;
    }
}

void CPrologixAdapter::ReportError()
{
    const QString text = errorText();
    if (!text.isEmpty())
        prompt_.showMessage(text);
}
