#include "link/CInterfaceGpibAdapter.h"

#include "link/GpibMessages.h"
#include "ui/ResourceModule.h"
#include "ui/UserPrompt.h"

#include <cstring>

CInterfaceGpibAdapter::CInterfaceGpibAdapter(const ResourceModule& strings, UserPrompt& prompt)
    : strings_(strings), prompt_(prompt)
{
}

void CInterfaceGpibAdapter::setLibraryFolder(const QString& folder)
{
    releaseLibrary();
    library_.setFolder(folder);
}

void CInterfaceGpibAdapter::resetAddressing()
{
    addressList[0] = address;
    addressList[1] = -1;
    board = 0;
}

// A library without every entry point is not the board's library; it is treated as missing.
bool CInterfaceGpibAdapter::loadLibrary()
{
    if (library_.isLoaded())
        return true;
    if (!library_.load({QLatin1String(InterfaceGpibApi::libraryFile)}))
        return false;
    EntryPoints entry;
    entry.initBoard = library_.function<InterfaceGpibApi::InitBoard>("PciGpibExInitBoard");
    entry.setConfig = library_.function<InterfaceGpibApi::SetConfig>("PciGpibExSetConfig");
    entry.setIfc = library_.function<InterfaceGpibApi::SetIfc>("PciGpibExSetIfc");
    entry.setRen = library_.function<InterfaceGpibApi::SetRen>("PciGpibExSetRen");
    entry.execDevClear = library_.function<InterfaceGpibApi::ExecDevClear>("PciGpibExExecDevClear");
    entry.finishBoard = library_.function<InterfaceGpibApi::FinishBoard>("PciGpibExFinishBoard");
    entry.mastSendData = library_.function<InterfaceGpibApi::MastSendData>("PciGpibExMastSendData");
    entry.mastRecvData = library_.function<InterfaceGpibApi::MastRecvData>("PciGpibExMastRecvData");
    if (!entry.initBoard || !entry.setConfig || !entry.setIfc || !entry.setRen || !entry.execDevClear ||
        !entry.finishBoard || !entry.mastSendData || !entry.mastRecvData) {
        library_.release();
        return false;
    }
    entry_ = entry;
    return true;
}

void CInterfaceGpibAdapter::releaseLibrary()
{
    library_.release();
    entry_ = EntryPoints{};
}

int CInterfaceGpibAdapter::Open()
{
    resetAddressing();
    reportedOwnOpenFailure_ = false;
    if (!loadLibrary()) {
        prompt_.showMessage(strings_.string(GpibMessages::noGpibSetUpId));
        reportedOwnOpenFailure_ = true;
        return 0;
    }
    int result = entry_.initBoard(board, 0);
    if (result == 0)
        result = entry_.setConfig(0, delimiterConfig);
    if (result == 0)
        result = entry_.setIfc(board, 1);
    if (result == 0)
        result = entry_.setRen(board);
    if (result == 0)
        result = entry_.execDevClear(board);
    if (result != 0) {
        lastError = result;
        entry_.finishBoard(board);
        return 0;
    }
    return 1;
}

int CInterfaceGpibAdapter::Write(const QString& command)
{
    resetAddressing();
    if (!library_.isLoaded())
        return 0;
    const QByteArray bytes = command.toLatin1();
    const int result = entry_.mastSendData(board, addressList, static_cast<std::uint32_t>(bytes.size()),
                                           bytes.constData(), 0);
    if (result != 0) {
        lastError = result;
        return 0;
    }
    return 1;
}

QString CInterfaceGpibAdapter::Read()
{
    resetAddressing();
    if (!library_.isLoaded())
        return QString();
    char buffer[replyBufferSize];
    std::memset(buffer, 0, sizeof buffer);
    std::uint32_t length = replyBufferSize;
    const int result = entry_.mastRecvData(board, addressList, &length, buffer, 0);
    if (result != 0) {
        lastError = result;
        return QString();
    }
    // A full buffer has no terminating zero: the reply is cut at 64 bytes.
    return QString::fromLatin1(buffer, static_cast<int>(qstrnlen(buffer, replyBufferSize)));
}

int CInterfaceGpibAdapter::Close()
{
    resetAddressing();
    if (!library_.isLoaded())
        return 0;
    const int result = entry_.finishBoard(board);
    if (result != 0) {
        lastError = result;
        return 0;
    }
    releaseLibrary();
    return 1;
}

QString CInterfaceGpibAdapter::errorText() const
{
    return GpibMessages::interfaceBoard(strings_, lastError);
}

void CInterfaceGpibAdapter::ReportError()
{
    const QString text = errorText();
    if (!text.isEmpty())
        prompt_.showMessage(text);
}
