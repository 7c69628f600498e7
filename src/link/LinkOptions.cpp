#include "link/LinkOptions.h"

#include "model/AppSettings.h"

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
    hasPort = true;
    portDevice = trimmed;
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
    }
    if (hasGpib) {
        settings.Interface = 1;
        settings.Maker = maker;
        settings.Address = address;
    }
}
