#include "dialogs/SerialDeviceList.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>
#include <map>
#include <tuple>

namespace SerialDeviceList {

namespace {

// The family of a device node (0 USB adapter, 1 ACM modem, 2 built-in, 3 other) and its number.
std::tuple<int, int, QString> sortKey(const QString& systemLocation)
{
    const QString name = QFileInfo(systemLocation).fileName();
    int family = 3;
    qsizetype prefix = 0;
    for (const auto& [text, rank] : {std::pair{"ttyUSB", 0}, std::pair{"ttyACM", 1}, std::pair{"ttyS", 2}}) {
        if (name.startsWith(QLatin1String(text))) {
            bool numbered = false;
            name.mid(qsizetype(qstrlen(text))).toInt(&numbered);
            if (numbered) {
                family = rank;
                prefix = qstrlen(text);
            }
            break;
        }
    }
    const int number = family < 3 ? name.mid(prefix).toInt() : 0;
    return {family, number, name};
}

// Device node -> its first /dev/serial/by-id/ link (the links name the adapter, its serial number
// and interface).
std::map<QString, QString> stableLinks(const QString& byIdFolder)
{
    std::map<QString, QString> links;
    const QFileInfoList entries =
        QDir(byIdFolder).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (!entry.isSymLink())
            continue;
        const QString target = QDir::cleanPath(entry.symLinkTarget());
        links.emplace(target, entry.absoluteFilePath());
    }
    return links;
}

QString shownText(const SerialPortDetails& port)
{
    QString about = port.description.trimmed();
    const QString maker = port.manufacturer.trimmed();
    if (!maker.isEmpty())
        about = about.isEmpty() ? maker : about + QStringLiteral(" (") + maker + QLatin1Char(')');
    return about.isEmpty() ? port.systemLocation : port.systemLocation + QStringLiteral(" — ") + about;
}

} // namespace

std::vector<SerialDevice> entries(const std::vector<SerialPortDetails>& ports, const QString& byIdFolder)
{
    std::vector<SerialPortDetails> sorted = ports;
    std::sort(sorted.begin(), sorted.end(), [](const SerialPortDetails& a, const SerialPortDetails& b) {
        return sortKey(a.systemLocation) < sortKey(b.systemLocation);
    });
    const std::map<QString, QString> links = stableLinks(byIdFolder);
    std::vector<SerialDevice> devices;
    for (const SerialPortDetails& port : sorted) {
        if (port.systemLocation.isEmpty())
            continue;
        const auto link = links.find(QDir::cleanPath(port.systemLocation));
        devices.emplace_back(link != links.end() ? link->second : port.systemLocation, shownText(port),
                             port.systemLocation);
    }
    return devices;
}

std::vector<SerialDevice> scan()
{
    std::vector<SerialPortDetails> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.push_back({info.systemLocation(), info.description(), info.manufacturer()});
    return entries(ports);
}

} // namespace SerialDeviceList
