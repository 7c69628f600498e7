#include "ui/ResourceModule.h"

#include "ui/InstallLayout.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QResource>

ResourceModule::~ResourceModule()
{
    unload();
}

bool ResourceModule::load(const QString& path)
{
    unload();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!QFileInfo(absolute).isFile() || !QResource::registerResource(absolute))
        return false;
    registeredPath_ = absolute;

    QFile table(ResourceModule::path(QStringLiteral("strings.json")));
    if (!table.open(QIODevice::ReadOnly)) {
        unload();
        return false;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(table.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        unload();
        return false;
    }
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        bool ok = false;
        const int id = it.key().toInt(&ok);
        if (ok && it.value().isString())
            strings_.insert(id, it.value().toString());
    }
    return true;
}

bool ResourceModule::loadFromProgramFolder()
{
    return load(InstallLayout::dataFile(QCoreApplication::applicationDirPath(), QLatin1String(fileName)));
}

QString ResourceModule::string(int id) const
{
    return strings_.value(id);
}

QString ResourceModule::path(const QString& relative)
{
    return QLatin1String(root) + QLatin1Char('/') + relative;
}

void ResourceModule::unload()
{
    if (!registeredPath_.isEmpty())
        QResource::unregisterResource(registeredPath_);
    registeredPath_.clear();
    strings_.clear();
}
