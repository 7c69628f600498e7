#include "cli/CliContext.h"

#include <QFileInfo>
#include <QSettings>

bool CliContext::profileNamesLink() const
{
    if (!QFileInfo::exists(profile.path()))
        return false;
    const QSettings stored(profile.path(), QSettings::IniFormat);
    for (const char* key : {"Interface", "Port", "PortDevice", "Maker", "Address"}) {
        if (stored.contains(QStringLiteral("Config/") + QLatin1String(key)))
            return true;
    }
    return false;
}
