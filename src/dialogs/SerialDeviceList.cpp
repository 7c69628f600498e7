#include "dialogs/SerialDeviceList.h"

#include <QDir>
#include <QFile>
#include <algorithm>

namespace SerialDeviceList {

namespace {

// ttyS10 after ttyS9.
bool numericLess(const QString& a, const QString& b, int prefixLength)
{
    bool okA = false;
    bool okB = false;
    const int numberA = a.mid(prefixLength).toInt(&okA);
    const int numberB = b.mid(prefixLength).toInt(&okB);
    if (okA && okB && numberA != numberB)
        return numberA < numberB;
    return a < b;
}

bool hasUart(const QString& ttyClassFolder, const QString& name)
{
    QFile type(QDir(ttyClassFolder).filePath(name + QStringLiteral("/type")));
    if (!type.open(QIODevice::ReadOnly))
        return true; // nothing says otherwise
    return type.readAll().trimmed() != "0";
}

} // namespace

QStringList scan(const QString& deviceFolder, const QString& ttyClassFolder)
{
    const QDir devices(deviceFolder);
    QStringList found;
    for (const QString& prefix :
         {QStringLiteral("ttyUSB"), QStringLiteral("ttyACM"), QStringLiteral("ttyS")}) {
        QStringList names =
            devices.entryList({prefix + QLatin1Char('*')}, QDir::System | QDir::Files | QDir::NoDotAndDotDot);
        names.erase(std::remove_if(names.begin(), names.end(),
                                   [&prefix](const QString& name) {
                                       bool ok = false;
                                       name.mid(prefix.size()).toInt(&ok);
                                       return !ok;
                                   }),
                    names.end());
        if (prefix == QLatin1String("ttyS")) {
            names.erase(std::remove_if(names.begin(), names.end(),
                                       [&ttyClassFolder](const QString& name) {
                                           return !hasUart(ttyClassFolder, name);
                                       }),
                        names.end());
        }
        std::sort(names.begin(), names.end(), [&prefix](const QString& a, const QString& b) {
            return numericLess(a, b, static_cast<int>(prefix.size()));
        });
        for (const QString& name : names)
            found << devices.filePath(name);
    }
    return found;
}

} // namespace SerialDeviceList
