#include "link/LinkOptions.h"

#include "model/AppSettings.h"

#include <QRegularExpression>

namespace {

struct MakerName {
    const char* name;
    int maker;
};

constexpr MakerName makerNames[] = {{"ni", 1},    {"interface", 2}, {"contec", 3},
                                    {"ratoc", 4}, {"ratoc-usb", 5}, {"prologix", 6}};

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
    portAfterGpib = hasGpib;
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
        error = QStringLiteral(
                    "--gpib takes MAKER:ADDRESS, MAKER one of ni, interface, contec, ratoc, ratoc-usb, "
                    "prologix and ADDRESS from %1 to %2 (got \"%3\").")
                    .arg(firstGpibAddress)
                    .arg(lastGpibAddress)
                    .arg(text);
        return false;
    }
    hasGpib = true;
    maker = chosenMaker;
    address = chosenAddress;
    portAfterGpib = false;
    return true;
}

void LinkOptions::applyTo(AppSettings& settings) const
{
    const bool controller = hasGpib && maker == prologixMaker;
    const auto applyPort = [&] {
        if (controller) {
            settings.GpibDevice = comPort > 0 ? QStringLiteral("/dev/ttyS%1").arg(comPort - 1) : portDevice;
            return;
        }
        settings.Interface = 0;
        settings.PortDevice = portDevice;
        if (comPort > 0)
            settings.Port = comPort;
    };
    const auto applyGpib = [&] {
        settings.Interface = 1;
        settings.Maker = maker;
        settings.Address = address;
    };
    // The option given last decides; a controller's device goes with it whatever the order.
    if (hasGpib && portAfterGpib)
        applyGpib();
    if (hasPort)
        applyPort();
    if (hasGpib && !portAfterGpib)
        applyGpib();
}
