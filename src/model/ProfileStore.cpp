#include "model/ProfileStore.h"

#include "model/AppSettings.h"
#include "model/SettingsKeys.h"

#include <QDir>
#include <QSettings>
#include <algorithm>

namespace {

QString keyPath(const char* section, const QString& name)
{
    if (section[0] == '\0')
        return name;
    return QLatin1String(section) + QLatin1Char('/') + name;
}

// An integer brought into minimum..maximum; one that does not parse is the fallback.
int readInteger(const QSettings& ini, const QString& key, int fallback, int minimum, int maximum)
{
    bool ok = false;
    const int value = ini.value(key).toString().trimmed().toInt(&ok);
    return ok ? std::clamp(value, minimum, maximum) : fallback;
}

int readFlag(const QSettings& ini, const QString& key, int fallback)
{
    return readInteger(ini, key, fallback, 0, 1);
}

// A window's corner: far off corners are brought near enough that sizes computed from two of them
// cannot overflow.
int readCorner(const QSettings& ini, const QString& key, int fallback)
{
    return readInteger(ini, key, fallback, -SettingsKeys::kWindowCoordinateLimit,
                       SettingsKeys::kWindowCoordinateLimit);
}

// INI values holding an unquoted comma come back as lists; the text is the joined list.
QString readText(const QSettings& ini, const QString& key, const QString& fallback = QString())
{
    const QVariant value = ini.value(key);
    if (!value.isValid())
        return fallback;
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

std::optional<long> readColor(const QSettings& ini, const QString& key)
{
    bool ok = false;
    const long value = readText(ini, key).trimmed().toLong(&ok);
    return ok ? std::optional<long>(value) : std::nullopt;
}

bool finish(QSettings& ini)
{
    ini.sync();
    return ini.status() == QSettings::NoError;
}

const char* const kColorKeys[] = {"colorArea", "colorLine", "colorAxis", "colorLineY", "colorLineCap"};

std::optional<long> GraphSettings::*const kColorMembers[] = {
    &GraphSettings::colorArea, &GraphSettings::colorLine, &GraphSettings::colorAxis,
    &GraphSettings::colorLineY, &GraphSettings::colorLineCap};

} // namespace

ProfileStore::ProfileStore(QString path) : path_(std::move(path)) {}

QString ProfileStore::defaultPath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Morvane/TessorEng/Kdrx5ch/Tessor.ini");
}

QString ProfileStore::defaultFolder()
{
    QString home = QDir::homePath();
    if (!home.endsWith(QLatin1Char('/')))
        home += QLatin1Char('/');
    return home;
}

void ProfileStore::load(AppSettings& settings) const
{
    QSettings ini(path_, QSettings::IniFormat);
    AppSettings defaults;
    defaults.Folder = defaultFolder();

    auto loadSlot = [&](const SettingsKeys::Key& key, int slot) {
        const QString path = keyPath(key.section, SettingsKeys::slotName(key, slot));
        SettingsKeys::loadValue(settings, key, slot, ini.value(path), defaults);
    };
    const auto& keys = SettingsKeys::all();
    for (size_t i = 0; i < keys.size();) {
        if (!SettingsKeys::isPerChannel(keys[i])) {
            for (int slot = 0; slot < SettingsKeys::slotCount(keys[i]); ++slot)
                loadSlot(keys[i], slot);
            ++i;
            continue;
        }
        // A run of per-channel keys is read channel by channel: every key of channel 1 first.
        size_t end = i;
        while (end < keys.size() && SettingsKeys::isPerChannel(keys[end]))
            ++end;
        for (int channel = 0; channel < kChannelCount; ++channel) {
            for (size_t k = i; k < end; ++k)
                loadSlot(keys[k], channel);
        }
        i = end;
    }
    settings.applyLoadRules();
}

bool ProfileStore::save(const AppSettings& settings) const
{
    QSettings ini(path_, QSettings::IniFormat);
    for (const SettingsKeys::Key& key : SettingsKeys::all()) {
        for (int slot = 0; slot < SettingsKeys::slotCount(key); ++slot) {
            ini.setValue(keyPath(key.section, SettingsKeys::slotName(key, slot)),
                         SettingsKeys::storedValue(settings, key, slot));
        }
    }
    return finish(ini);
}

GraphSettings ProfileStore::loadGraph() const
{
    QSettings ini(path_, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Graph"));
    GraphSettings graph;
    graph.bLineY = readFlag(ini, QStringLiteral("bLineY"), graph.bLineY);
    graph.bTimeMax = readFlag(ini, QStringLiteral("bTimeMax"), graph.bTimeMax);
    graph.bValueMax = readFlag(ini, QStringLiteral("bValueMax"), graph.bValueMax);
    graph.bValueMin = readFlag(ini, QStringLiteral("bValueMin"), graph.bValueMin);
    graph.TimeMax = readText(ini, QStringLiteral("TimeMax"), graph.TimeMax);
    graph.TimeMin = readText(ini, QStringLiteral("TimeMin"), graph.TimeMin);
    graph.ValueMax = readText(ini, QStringLiteral("ValueMax"), graph.ValueMax);
    graph.ValueMin = readText(ini, QStringLiteral("ValueMin"), graph.ValueMin);
    for (size_t i = 0; i < std::size(kColorKeys); ++i)
        graph.*kColorMembers[i] = readColor(ini, QLatin1String(kColorKeys[i]));
    return graph;
}

bool ProfileStore::saveGraph(const GraphSettings& graph) const
{
    QSettings ini(path_, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Graph"));
    ini.setValue(QStringLiteral("bLineY"), graph.bLineY);
    ini.setValue(QStringLiteral("bTimeMax"), graph.bTimeMax);
    ini.setValue(QStringLiteral("bValueMax"), graph.bValueMax);
    ini.setValue(QStringLiteral("bValueMin"), graph.bValueMin);
    ini.setValue(QStringLiteral("TimeMax"), graph.TimeMax);
    ini.setValue(QStringLiteral("TimeMin"), graph.TimeMin);
    ini.setValue(QStringLiteral("ValueMax"), graph.ValueMax);
    ini.setValue(QStringLiteral("ValueMin"), graph.ValueMin);
    // A colour the user never chose stays unwritten, so the view keeps its built-in one.
    for (size_t i = 0; i < std::size(kColorKeys); ++i) {
        if (const auto& color = graph.*kColorMembers[i])
            ini.setValue(QLatin1String(kColorKeys[i]), QString::asprintf("%ld", *color));
    }
    ini.endGroup();
    return finish(ini);
}

bool ProfileStore::saveGraphLineY(int bLineY) const
{
    QSettings ini(path_, QSettings::IniFormat);
    ini.setValue(QStringLiteral("Graph/bLineY"), bLineY);
    return finish(ini);
}

bool ProfileStore::saveGraphColor(const QString& key, long rgb) const
{
    QSettings ini(path_, QSettings::IniFormat);
    ini.setValue(QStringLiteral("Graph/") + key, QString::asprintf("%ld", rgb));
    return finish(ini);
}

WindowRect ProfileStore::loadWindowRect(const QString& section) const
{
    QSettings ini(path_, QSettings::IniFormat);
    ini.beginGroup(section);
    WindowRect rect;
    rect.Top = readCorner(ini, QStringLiteral("Top"), rect.Top);
    rect.Left = readCorner(ini, QStringLiteral("Left"), rect.Left);
    rect.Bottom = readCorner(ini, QStringLiteral("Bottom"), rect.Bottom);
    rect.Right = readCorner(ini, QStringLiteral("Right"), rect.Right);
    return rect;
}

bool ProfileStore::saveWindowRect(const QString& section, const WindowRect& rect) const
{
    QSettings ini(path_, QSettings::IniFormat);
    ini.beginGroup(section);
    ini.setValue(QStringLiteral("Top"), rect.Top);
    ini.setValue(QStringLiteral("Left"), rect.Left);
    ini.setValue(QStringLiteral("Bottom"), rect.Bottom);
    ini.setValue(QStringLiteral("Right"), rect.Right);
    ini.endGroup();
    return finish(ini);
}

QStringList ProfileStore::loadRecentFiles() const
{
    QSettings ini(path_, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Recent File List"));
    QStringList files;
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString file = readText(ini, QStringLiteral("File%1").arg(i));
        if (!file.isEmpty())
            files << file;
    }
    return files;
}

bool ProfileStore::saveRecentFiles(const QStringList& files) const
{
    QSettings ini(path_, QSettings::IniFormat);
    QStringList entries = files;
    entries.removeAll(QString());
    ini.beginGroup(QStringLiteral("Recent File List"));
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= entries.size())
            ini.setValue(key, entries[i - 1]);
        else
            ini.remove(key);
    }
    ini.endGroup();
    return finish(ini);
}
