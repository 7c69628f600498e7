#include "link/LinkOptions.h"

#include "model/AppSettings.h"

#include <QRegularExpression>

namespace {

struct MakerName {
    const char* name;
    int maker;
};

constexpr MakerName makerNames[] = {
    {"ni", 1}, {"interface", 2}, {"contec", 3}, {"ratoc", 4}, {"ratoc-usb", 5}};

} // namespace

bool LinkOptions::setPort(const QString& device, QString& error)
{
    const QString trimmed = device.trimmed();
    if (trimmed.isEmpty()) {
        error = QStringLiteral("--port needs a serial device path or \"simulator\".");
        return false;
    }
    static const QRegularExpression comName(QStringLiteral("^COM([0-9]{1,3})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch com = comName.match(trimmed);
    if (com.hasMatch()) {
        const int number = com.captured(1).toInt();
        if (number < 1) {
            error = QStringLiteral("--port takes COM1, COM2, ... (the system's /dev/ttyS0, /dev/ttyS1, ...), "
                                   "not \"%1\".")
                        .arg(trimmed);
            return false;
        }
        comPort = number;
        portDevice.clear();
    } else {
        comPort = 0;
        portDevice = trimmed;
    }
    hasPort = true;
    return true;
}

bool LinkOptions::setGpib(const QString& text, QString& error)
{
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    const QString name = text.left(colon).trimmed();
    const QString number = colon < 0 ? QString() : text.mid(colon + 1).trimmed();
    int chosenMaker = 0;
    for (const MakerName& entry : makerNames) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            chosenMaker = entry.maker;
    }
    bool isNumber = false;
    const int chosenAddress = number.toInt(&isNumber);
    if (colon < 0 || chosenMaker == 0 || !isNumber || chosenAddress < firstGpibAddress ||
        chosenAddress > lastGpibAddress) {
        error =
            QStringLiteral("--gpib takes MAKER:ADDRESS, MAKER one of ni, interface, contec, ratoc, ratoc-usb "
                           "and ADDRESS from %1 to %2 (got \"%3\").")
                .arg(firstGpibAddress)
                .arg(lastGpibAddress)
                .arg(text);
        return false;
    }
    hasGpib = true;
    maker = chosenMaker;
    address = chosenAddress;
    return true;
}

void LinkOptions::applyTo(AppSettings& settings) const
{
    if (hasPort) {
        settings.Interface = 0;
        settings.PortDevice = portDevice;
        if (comPort > 0)
            settings.Port = comPort;
    }
    if (hasGpib) {
        settings.Interface = 1;
        settings.Maker = maker;
        settings.Address = address;
    }
}
