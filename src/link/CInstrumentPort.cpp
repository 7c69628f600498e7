#include "link/CInstrumentPort.h"

#include "model/AppSettings.h"
#include "ui/StopFlag.h"
#include "ui/UserPrompt.h"

CInstrumentPort::CInstrumentPort(const ResourceModule& strings, UserPrompt& prompt, Clock& clock)
    : prompt_(prompt), niGpib_(strings, prompt), interfaceGpib_(strings, prompt),
      contecGpib_(strings, prompt), ratocGpib_(prompt, clock), ratocUsbGpib_(prompt, clock),
      prologix_(strings, prompt), rs232c_(strings, prompt, clock)
{
}

void CInstrumentPort::applySettings(const AppSettings& settings)
{
    // A GPIB maker of 0 (no list selection) gives kind 0: the COM port numbered by Address.
    if (settings.Interface == 0) {
        kind = Rs232c;
        address = settings.Port;
    } else {
        kind = settings.Maker;
        address = settings.Address;
    }
    machine = settings.Machine;
    rs232c_.portDevice = settings.PortDevice;
    prologix_.device = settings.GpibDevice;
}

void CInstrumentPort::setStopFlag(const StopFlag* flag)
{
    stop_ = flag;
    rs232c_.setStopFlag(flag);
}

bool CInstrumentPort::stopRequested() const
{
    return stop_ && stop_->isSet();
}

bool CInstrumentPort::gpibTransfersRefused() const
{
    return stopRequested() && stop_->waitLimitMs(1) == 0;
}

int CInstrumentPort::counted(int result, bool interrupted)
{
    if (result == 0) {
        ++failures_;
        interrupted_ = interrupted;
    }
    return result;
}

void CInstrumentPort::setSimulatorProvider(std::function<QString()> provider)
{
    rs232c_.setSimulatorProvider(std::move(provider));
}

void CInstrumentPort::setLibraryFolder(const QString& folder)
{
    niGpib_.setLibraryFolder(folder);
    interfaceGpib_.setLibraryFolder(folder);
    contecGpib_.setLibraryFolder(folder);
    ratocGpib_.setLibraryFolder(folder);
    ratocUsbGpib_.setLibraryFolder(folder);
}

void CInstrumentPort::setWaitHook(const std::function<void()>& hook)
{
    rs232c_.setWaitHook(hook);
    prologix_.setWaitHook(hook);
}

void CInstrumentPort::copyFieldsToAdapters()
{
    rs232c_.address = address;
    niGpib_.address = address;
    interfaceGpib_.address = address;
    contecGpib_.address = address;
    ratocGpib_.address = address;
    ratocUsbGpib_.address = address;
    prologix_.address = address;

    rs232c_.machine = machine;
    interfaceGpib_.machine = machine;
    contecGpib_.machine = machine;
    ratocGpib_.machine = machine;
    ratocUsbGpib_.machine = machine;
    prologix_.machine = machine;
}

bool CInstrumentPort::adapterReportedOwnOpenFailure() const
{
    switch (kind) {
    case InterfaceGpib:
        return interfaceGpib_.reportedOwnOpenFailure();
    case ContecGpib:
        return contecGpib_.reportedOwnOpenFailure();
    case RatocGpib:
        return ratocGpib_.reportedOwnOpenFailure();
    case RatocUsbGpib:
        return ratocUsbGpib_.reportedOwnOpenFailure();
    default:
        return false;
    }
}

int CInstrumentPort::Open()
{
    copyFieldsToAdapters();
    interrupted_ = false;
    int result = 1;
    switch (kind) {
    case Rs232c:
        result = rs232c_.Open();
        break;
    case NiGpib:
        result = niGpib_.Open();
        break;
    case InterfaceGpib:
        result = interfaceGpib_.Open();
        break;
    case ContecGpib:
        result = contecGpib_.Open();
        break;
    case RatocGpib:
        result = ratocGpib_.Open();
        break;
    case RatocUsbGpib:
        result = ratocUsbGpib_.Open();
        break;
    case PrologixGpib:
        result = prologix_.Open();
        break;
    default:
        // No adapter answers for this kind: an operation would otherwise "succeed" with empty
        // replies and send nothing.
        prompt_.showMessage(errorText());
        return 0;
    }
    if (result)
        return 1;
    // An adapter that already said why (its library is missing, the system is not supported) is
    // not made to add a second message for a code that no failure set.
    if (!adapterReportedOwnOpenFailure())
        ReportError();
    return 0;
}

int CInstrumentPort::Write(const QString& command)
{
    if (kind >= NiGpib && kind <= PrologixGpib && gpibTransfersRefused())
        return counted(0, true);
    switch (kind) {
    case Rs232c: {
        const int result = rs232c_.Write(command);
        return counted(result, rs232c_.lastError == CRs232cPort::Interrupted);
    }
    case NiGpib:
        return counted(niGpib_.Write(command), false);
    case InterfaceGpib:
        return counted(interfaceGpib_.Write(command), false);
    case ContecGpib:
        return counted(contecGpib_.Write(command), false);
    case RatocGpib:
        return counted(ratocGpib_.Write(command), false);
    case RatocUsbGpib:
        return counted(ratocUsbGpib_.Write(command), false);
    case PrologixGpib:
        return counted(prologix_.Write(command), false);
    default:
        return 0;
    }
}

int CInstrumentPort::Read(QString& reply)
{
    if (kind >= NiGpib && kind <= PrologixGpib && gpibTransfersRefused()) {
        reply.clear();
        return counted(0, true);
    }
    switch (kind) {
    case Rs232c: {
        const int result = rs232c_.Read(reply);
        return counted(result, rs232c_.lastError == CRs232cPort::Interrupted);
    }
    case NiGpib:
        reply = niGpib_.Read();
        break;
    case InterfaceGpib:
        reply = interfaceGpib_.Read();
        break;
    case ContecGpib:
        reply = contecGpib_.Read();
        break;
    case RatocGpib:
        reply = ratocGpib_.Read();
        break;
    case RatocUsbGpib:
        reply = ratocUsbGpib_.Read();
        break;
    case PrologixGpib:
        reply = prologix_.Read();
        break;
    default:
        reply.clear();
        return 0;
    }
    // Over GPIB an empty reply is a failed read, whether or not the library reported an error.
    return counted(reply.isEmpty() ? 0 : 1, false);
}

int CInstrumentPort::replyLimit() const
{
    switch (kind) {
    case NiGpib:
        // The last byte of a full buffer is taken for the line feed and dropped.
        return CNiGpibAdapter::replyBufferSize - 1;
    case InterfaceGpib:
        return CInterfaceGpibAdapter::replyBufferSize;
    case ContecGpib:
        return CContecGpibAdapter::bufferSize;
    case RatocGpib:
    case RatocUsbGpib:
        return RatocGpibAdapterBase::replyBufferSize;
    case PrologixGpib:
        // As on the serial link, a line that fills the buffer is refused rather than cut.
        return CPrologixAdapter::replyBufferSize;
    default:
        // A line that fills the serial buffer is refused rather than cut.
        return CRs232cPort::replyBufferSize;
    }
}

int CInstrumentPort::Close()
{
    switch (kind) {
    case Rs232c:
        return rs232c_.Close();
    case NiGpib:
        return niGpib_.Close();
    case InterfaceGpib:
        return interfaceGpib_.Close();
    case ContecGpib:
        return contecGpib_.Close();
    case RatocGpib:
        return ratocGpib_.Close();
    case RatocUsbGpib:
        return ratocUsbGpib_.Close();
    case PrologixGpib:
        return prologix_.Close();
    default:
        return 1;
    }
}

QString CInstrumentPort::errorText() const
{
    // A transfer that a stop request refused has no message of its own.
    if (interrupted_ && kind != Rs232c)
        return QString();
    switch (kind) {
    case Rs232c:
        return rs232c_.errorText();
    case NiGpib:
        return niGpib_.errorText();
    case InterfaceGpib:
        return interfaceGpib_.errorText();
    case ContecGpib:
        return contecGpib_.errorText();
    case RatocGpib:
        return ratocGpib_.errorText();
    case RatocUsbGpib:
        return ratocUsbGpib_.errorText();
    case PrologixGpib:
        return prologix_.errorText();
    default:
        return QStringLiteral("GPIB: the board maker %1 (setting Maker) is not known; choose the GPIB board "
                              "in the Interface dialog.")
            .arg(kind);
    }
}

QString CInstrumentPort::failureDetail() const
{
    return kind == Rs232c ? rs232c_.failureDetail() : QString();
}

void CInstrumentPort::ReportError()
{
    const QString text = errorText();
    if (text.isEmpty())
        return;
    prompt_.showMessage(text);
    const QString detail = failureDetail();
    if (detailReporter_ && !detail.isEmpty())
        detailReporter_(detail);
}
