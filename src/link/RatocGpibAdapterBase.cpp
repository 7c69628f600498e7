#include "link/RatocGpibAdapterBase.h"

#include "link/GpibMessages.h"
#include "ui/Clock.h"
#include "ui/UserPrompt.h"

#include <cstring>

namespace {
constexpr int generation98 = 98;
constexpr int generationNt4 = 40;
// The REX-5052 needs a pause after each message; the USB adapter before its library goes.
constexpr int cardWriteWaitMs = 100;
constexpr int usbReleaseWaitMs = 150;
// Listen and talk delimiters: line feed, and line feed with EOI (0x80 is the EOI flag).
constexpr int lineFeed = 10;
constexpr int lineFeedWithEoi = 0x8A;
constexpr int eoiOnly = 0x80;
// The instrument family whose USB link keeps the line-feed delimiters.
constexpr int lineFeedMachine = 5;
} // namespace

RatocGpibAdapterBase::RatocGpibAdapterBase(UserPrompt& prompt, Clock& clock, bool usb)
    : prompt_(prompt), clock_(clock), usb_(usb)
{
}

void RatocGpibAdapterBase::setLibraryFolder(const QString& folder)
{
    releaseLibrary();
    library_.setFolder(folder);
}

QString RatocGpibAdapterBase::libraryFileFor(int generation) const
{
    if (usb_) {
        if (generation == linuxOsGeneration || generation == generation98)
            return QLatin1String(RatocGpibApi::libraryUsb);
        return QString();
    }
    switch (generation) {
    case linuxOsGeneration:
        return QLatin1String(RatocGpibApi::library2000);
    case generation98:
        return QLatin1String(RatocGpibApi::library98);
    case generationNt4:
        return QLatin1String(RatocGpibApi::libraryNt4);
    default:
        return QString();
    }
}

// A library without the calls the adapter makes is not the card's library; it counts as missing.
// GetMyCardResource, gp_tmout and gp_llo are never called, so their absence does not matter.
bool RatocGpibAdapterBase::loadLibrary(const QString& file)
{
    if (!library_.load({file}))
        return false;
    EntryPoints entry;
    entry.init = library_.function<RatocGpibApi::Init>("gp_init");
    entry.cardInfo = library_.function<RatocGpibApi::CardInfo>("gp_cardinfo");
    entry.cli = library_.function<RatocGpibApi::Cli>("gp_cli");
    entry.ren = library_.function<RatocGpibApi::Ren>("gp_ren");
    entry.clr = library_.function<RatocGpibApi::Clr>("gp_clr");
    entry.delm = library_.function<RatocGpibApi::Delm>("gp_delm");
    entry.wrt = library_.function<RatocGpibApi::Wrt>("gp_wrt");
    entry.red = library_.function<RatocGpibApi::Red>("gp_red");
    const bool needsCardInfo = !usb_ && file == QLatin1String(RatocGpibApi::library98);
    if (!entry.init || !entry.cli || !entry.ren || !entry.clr || !entry.delm || !entry.wrt || !entry.red ||
        (needsCardInfo && !entry.cardInfo)) {
        library_.release();
        return false;
    }
    entry_ = entry;
    return true;
}

void RatocGpibAdapterBase::releaseLibrary()
{
    library_.release();
    entry_ = EntryPoints{};
}

int RatocGpibAdapterBase::openFailure(int code)
{
    lastError = code;
    return 0;
}

int RatocGpibAdapterBase::Open()
{
    reportedOwnOpenFailure_ = false;
    const int generation = osGeneration;
    if (!library_.isLoaded()) {
        const QString file = libraryFileFor(generation);
        if (file.isEmpty()) {
            prompt_.showMessage(GpibMessages::ratocUnsupportedSystem());
            reportedOwnOpenFailure_ = true;
            return 0;
        }
        if (!loadLibrary(file)) {
            prompt_.showMessage(GpibMessages::ratocNotSetUp());
            reportedOwnOpenFailure_ = true;
            return 0;
        }
    }
    addressText = QByteArray::number(address).left(addressTextSize);

    // The card's I/O base and IRQ: only the 98 library reports them; elsewhere the library finds
    // the card itself and is given 0.
    ioBase = 0;
    irq = 0;
    if (!usb_ && generation == generation98) {
        if (!entry_.cardInfo || entry_.cardInfo(&ioBase, &irq) != 0)
            return openFailure(CardResources);
    }
    if (entry_.init(0, ioBase, irq) != 0)
        return openFailure(Initialisation);
    if (entry_.cli() != 0)
        return openFailure(InterfaceClear);
    if (entry_.ren() != 0)
        return openFailure(RemoteEnable);
    if (entry_.clr("") != 0)
        return openFailure(DeviceClear);
    const bool lineFeedDelimiters = !usb_ || machine == lineFeedMachine;
    if (entry_.delm("l", lineFeedDelimiters ? lineFeed : 0) != 0)
        return openFailure(Delimiter);
    if (entry_.delm("t", lineFeedDelimiters ? lineFeedWithEoi : eoiOnly) != 0)
        return openFailure(Delimiter);
    return 1;
}

int RatocGpibAdapterBase::Write(const QString& command)
{
    // Without the library nothing can be sent.
    if (!library_.isLoaded()) {
        lastError = Send;
        return 0;
    }
    const QByteArray bytes = command.toLatin1();
    if (entry_.wrt(addressText.constData(), bytes.constData()) != 0) {
        lastError = Send;
        return 0;
    }
    if (!usb_)
        clock_.waitMs(cardWriteWaitMs);
    return 1;
}

QString RatocGpibAdapterBase::Read()
{
    if (!library_.isLoaded()) {
        lastError = Receive;
        return QString();
    }
    char buffer[replyBufferSize];
    std::memset(buffer, 0, sizeof buffer);
    if (entry_.red(addressText.constData(), buffer, replyBufferSize) != 0) {
        lastError = Receive;
        return QString();
    }
    // The carriage return and line feed (and any other trailing white space) go.
    QByteArray text(buffer, static_cast<int>(qstrnlen(buffer, replyBufferSize)));
    while (!text.isEmpty() && std::strchr(" \t\r\n\v\f", text.back()) != nullptr)
        text.chop(1);
    return QString::fromLatin1(text);
}

int RatocGpibAdapterBase::Close()
{
    if (!library_.isLoaded())
        return 0;
    if (usb_)
        clock_.waitMs(usbReleaseWaitMs);
    releaseLibrary();
    return 1;
}

QString RatocGpibAdapterBase::errorText() const
{
    return GpibMessages::ratoc(lastError, usb_);
}

void RatocGpibAdapterBase::ReportError()
{
    const QString text = errorText();
    if (!text.isEmpty())
        prompt_.showMessage(text);
}
