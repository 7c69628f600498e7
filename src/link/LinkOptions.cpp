#include "link/LinkOptions.h"

#include "model/AppSettings.h"

#include <QCommandLineParser>

namespace {

const char* const portOption = "port";
const char* const gpibOption = "gpib";

struct MakerName {
    const char* name;
    int maker;
};

constexpr MakerName makerNames[] = {
    {"ni", 1}, {"interface", 2}, {"contec", 3}, {"ratoc", 4}, {"ratoc-usb", 5}};

} // namespace

QList<QCommandLineOption> LinkOptions::commandLineOptions()
{
    return {
        QCommandLineOption(
            QString::fromLatin1(portOption),
            QStringLiteral("Talk to the instrument over this serial device (or \"simulator\")."),
            QStringLiteral("DEV")),
        QCommandLineOption(QString::fromLatin1(gpibOption),
                           QStringLiteral("Talk to the instrument over GPIB: MAKER is ni, interface, contec, "
                                          "ratoc or ratoc-usb, ADDRESS its primary address."),
                           QStringLiteral("MAKER:ADDRESS"))};
}

bool LinkOptions::readFrom(const QCommandLineParser& parser, QString& error)
{
    const bool port = parser.isSet(QString::fromLatin1(portOption));
    const bool gpib = parser.isSet(QString::fromLatin1(gpibOption));
    if (port && gpib) {
        error = QStringLiteral("--port and --gpib cannot be given together.");
        return false;
    }
    if (port)
        return setPort(parser.value(QString::fromLatin1(portOption)), error);
    if (gpib)
        return setGpib(parser.value(QString::fromLatin1(gpibOption)), error);
    return true;
}

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
