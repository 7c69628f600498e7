#include "link/CContecGpibAdapter.h"

#include "link/GpibMessages.h"
#include "ui/ResourceModule.h"
#include "ui/UserPrompt.h"

#include <cstring>

namespace {
constexpr std::uint32_t ifcTime = 1;
constexpr std::uint32_t timeoutMs = 10000;
// Delimiter 3 with EOI.
constexpr std::uint32_t delimiterCode = 3;
constexpr std::uint32_t delimiterEoi = 1;
// A listen result from this value on is a failure; below it the data is taken.
constexpr std::uint32_t firstListenFailure = 3;
} // namespace

CContecGpibAdapter::CContecGpibAdapter(const ResourceModule& strings, UserPrompt& prompt)
    : strings_(strings), prompt_(prompt)
{
}

void CContecGpibAdapter::setLibraryFolder(const QString& folder)
{
    releaseLibrary();
    library_.setFolder(folder);
}

bool CContecGpibAdapter::loadLibrary()
{
    if (library_.isLoaded())
        return true;
    if (!library_.load({QLatin1String(ContecGpibApi::libraryFile)}))
        return false;
    EntryPoints entry;
    entry.exit = library_.function<ContecGpibApi::Exit>("GpExit");
    entry.ini = library_.function<ContecGpibApi::Ini>("GpIni");
    entry.boardsts = library_.function<ContecGpibApi::Boardsts>("GpBoardsts");
    entry.ifc = library_.function<ContecGpibApi::Ifc>("GpIfc");
    entry.ren = library_.function<ContecGpibApi::Ren>("GpRen");
    entry.timeout = library_.function<ContecGpibApi::Timeout>("GpTimeout");
    entry.delim = library_.function<ContecGpibApi::Delim>("GpDelim");
    entry.talk = library_.function<ContecGpibApi::Talk>("GpTalk");
    entry.listen = library_.function<ContecGpibApi::Listen>("GpListen");
    entry.comand = library_.function<ContecGpibApi::Comand>("GpComand");
    entry.resetren = library_.function<ContecGpibApi::Resetren>("GpResetren");
    if (!entry.exit || !entry.ini || !entry.boardsts || !entry.ifc || !entry.ren || !entry.timeout ||
        !entry.delim || !entry.talk || !entry.listen || !entry.comand || !entry.resetren) {
        library_.release();
        return false;
    }
    entry_ = entry;
    return true;
}

void CContecGpibAdapter::releaseLibrary()
{
    library_.release();
    entry_ = EntryPoints{};
}

bool CContecGpibAdapter::check(std::uint32_t result)
{
    if ((result & 0xFF) == 0)
        return true;
    lastError = static_cast<int>(result);
    return false;
}

int CContecGpibAdapter::Open()
{
    reportedOwnOpenFailure_ = false;
    if (!loadLibrary()) {
        prompt_.showMessage(strings_.string(GpibMessages::noGpibSetUpId));
        reportedOwnOpenFailure_ = true;
        return 0;
    }
    entry_.exit(); // ends any earlier use of the board
    if (!check(entry_.ini()))
        return 0;
    std::uint32_t status = 0;
    entry_.boardsts(ContecGpibApi::boardStatusState, &status);
    if (status == 0) {
        if (!check(entry_.ifc(ifcTime)))
            return 0;
        if (!check(entry_.ren()))
            return 0;
    }
    if (!check(entry_.timeout(timeoutMs)))
        return 0;
    entry_.delim(delimiterCode, delimiterEoi);
    return 1;
}

int CContecGpibAdapter::Write(const QString& command)
{
    if (!library_.isLoaded())
        return 0;
    char buffer[bufferSize];
    std::memset(buffer, 0, sizeof buffer);
    const QByteArray bytes = command.toLatin1().left(bufferSize - 1);
    std::memcpy(buffer, bytes.constData(), static_cast<size_t>(bytes.size()));
    const std::uint32_t length = static_cast<std::uint32_t>(std::strlen(buffer));
    if (length == 0)
        return 1;
    std::uint32_t ownAddress = 0;
    entry_.boardsts(ContecGpibApi::boardStatusOwnAddress, &ownAddress);
    std::uint32_t talkCommand[3] = {2, ownAddress, static_cast<std::uint32_t>(address)};
    if (!check(entry_.talk(talkCommand, length, buffer)))
        return 0;
    return 1;
}

QString CContecGpibAdapter::Read()
{
    if (!library_.isLoaded())
        return QString();
    std::uint32_t ownAddress = 0;
    entry_.boardsts(ContecGpibApi::boardStatusOwnAddress, &ownAddress);
    std::uint32_t listenCommand[3] = {2, static_cast<std::uint32_t>(address), ownAddress};
    char buffer[bufferSize];
    std::memset(buffer, 0, sizeof buffer);
    std::uint32_t length = bufferSize;
    const std::uint32_t result = entry_.listen(listenCommand, &length, buffer);
    if (result >= firstListenFailure) {
        lastError = static_cast<int>(result);
        return QString();
    }
    // The text ends at the received length when a carriage return stands there, else one byte
    // later; a length at or past the end of the buffer ends it at the buffer's end.
    std::size_t end = length;
    if (end < bufferSize && buffer[end] != '\r')
        ++end;
    if (end > bufferSize)
        end = bufferSize;
    return QString::fromLatin1(buffer, static_cast<int>(qstrnlen(buffer, end)));
}

int CContecGpibAdapter::Close()
{
    if (!library_.isLoaded())
        return 0;
    std::uint32_t status = 0;
    if (entry_.boardsts(ContecGpibApi::boardStatusState, &status) == boardInUse)
        return 1;
    if (status == 0) {
        std::uint32_t busCommand[3] = {2, unlisten, untalk};
        entry_.comand(busCommand);
    }
    entry_.resetren();
    entry_.exit();
    releaseLibrary();
    return 1;
}

QString CContecGpibAdapter::errorText() const
{
    return GpibMessages::contec(strings_, lastError);
}

void CContecGpibAdapter::ReportError()
{
    const QString text = errorText();
    if (!text.isEmpty())
        prompt_.showMessage(text);
}
