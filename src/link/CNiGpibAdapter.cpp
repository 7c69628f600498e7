#include "link/CNiGpibAdapter.h"

#include "link/GpibMessages.h"
#include "ui/UserPrompt.h"

#include <cstring>

CNiGpibAdapter::CNiGpibAdapter(const ResourceModule& strings, UserPrompt& prompt)
    : strings_(strings), prompt_(prompt)
{
}

int CNiGpibAdapter::Open()
{
    descriptor = binding_.ibdev(0, address, 0, NiGpibApi::timeout10s, 1, 0);
    if (descriptor < 0) {
        lastError = binding_.iberr;
        return 0;
    }
    binding_.ibclr(descriptor);
    if (binding_.failed()) {
        lastError = binding_.iberr;
        return 0;
    }
    return 1;
}

int CNiGpibAdapter::Write(const QString& command)
{
    // EOI marks the end of the message; no terminator is added.
    const QByteArray bytes = command.toLatin1();
    binding_.ibwrt(descriptor, bytes.constData(), bytes.size());
    if (binding_.failed()) {
        lastError = binding_.iberr;
        return 0;
    }
    return 1;
}

QString CNiGpibAdapter::Read()
{
    char buffer[replyBufferSize];
    std::memset(buffer, 0, sizeof buffer);
    binding_.ibrd(descriptor, buffer, replyBufferSize);
    // A failed read still hands over what arrived before the failure.
    if (binding_.failed())
        lastError = binding_.iberr;

    int count = binding_.ibcntl;
    if (count > replyBufferSize)
        count = replyBufferSize;
    if (count <= 0)
        return QString();
    // The last byte received is the line feed; a carriage return before it goes too.
    --count;
    if (count > 0 && buffer[count - 1] == '\r')
        --count;
    const int length = static_cast<int>(qstrnlen(buffer, static_cast<uint>(count)));
    return QString::fromLatin1(buffer, length);
}

int CNiGpibAdapter::Close()
{
    // After a failed open there is nothing to take off line, and the open has said why already.
    if (descriptor < 0)
        return 1;
    binding_.ibstop(descriptor);
    if (binding_.failed()) {
        lastError = binding_.iberr;
        ReportError();
        return 0;
    }
    binding_.ibonl(descriptor, 0);
    const bool failed = binding_.failed();
    // Off line, the descriptor is given back to the library.
    descriptor = -1;
    if (failed) {
        lastError = binding_.iberr;
        return 0;
    }
    return 1;
}

QString CNiGpibAdapter::errorText() const
{
    return GpibMessages::nationalInstruments(strings_, lastError);
}

void CNiGpibAdapter::ReportError()
{
    const QString text = errorText();
    if (!text.isEmpty())
        prompt_.showMessage(text);
}
