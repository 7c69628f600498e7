#include "model/SettingsKeys.h"

#include "model/DecimalText.h"

#include <QStringList>
#include <cmath>

namespace SettingsKeys {

namespace {

using S = AppSettings;

const char* const kMain = "";
const char* const kConfig = "Config";

template <typename... Ts> struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <typename... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

std::vector<Key> buildTable()
{
    return {
        // The application key: main window rectangle and start-up flags.
        {kMain, "Top", &S::Top},
        {kMain, "Left", &S::Left},
        {kMain, "Bottom", &S::Bottom},
        {kMain, "Right", &S::Right},
        {kMain, "bPos", &S::bPos},
        {kMain, "bFile", &S::bFile},
        // Connection, sequence and monitoring keys.
        {kConfig, "Interface", &S::Interface},
        {kConfig, "Address", &S::Address},
        {kConfig, "Port", &S::Port},
        {kConfig, "Maker", &S::Maker},
        {kConfig, "PortDevice", &S::PortDevice},
        {kConfig, "GpibDevice", &S::GpibDevice},
        {kConfig, "SeqMode", &S::SeqMode},
        {kConfig, "UnitSoft", &S::UnitSoft},
        {kConfig, "UnitHard", &S::UnitHard},
        {kConfig, "Mode", &S::Mode},
        {kConfig, "SeqTime", &S::SeqTime, "%.1f"},
        {kConfig, "OutOff", &S::OutOff},
        {kConfig, "Repeat", &S::Repeat},
        {kConfig, "AllDel", &S::AllDel},
        {kConfig, "Repeat", &S::RepeatCh},
        {kConfig, "ChainLoop", &S::ChainLoop},
        {kConfig, "Machine", &S::Machine},
        {kConfig, "Freq", &S::Freq, "%.2f"},
        {kConfig, "State", &S::State},
        {kConfig, "MonitorTime", &S::MonitorTime},
        {kConfig, "Curr", &S::Curr},
        {kConfig, "Power", &S::Power},
        {kConfig, "Volt", &S::Volt},
        {kConfig, "File", &S::File},
        {kConfig, "MonSoft", &S::MonSoft},
        {kConfig, "PassTime", &S::PassTime},
        {kConfig, "MonStart", &S::MonStart},
        {kConfig, "MonEnd", &S::MonEnd},
        {kConfig, "Folder", &S::Folder},
        {kConfig, "OffCurr", &S::OffCurr, "%.4f"},
        {kConfig, "CurrRange", &S::CurrRange},
        {kConfig, "nVoltRange", &S::nVoltRange},
        {kConfig, "VoltPlace", &S::VoltPlace},
        {kConfig, "CurrPlace", &S::CurrPlace},
        {kConfig, "PowerPlace", &S::PowerPlace},
        {kConfig, "ResistPlace", &S::ResistPlace},
        // Per-channel keys, loaded channel by channel.
        {kConfig, "ModeChSoft", &S::ModeChSoft},
        {kConfig, "ModeChHard", &S::ModeChHard},
        {kConfig, "Volt1Ch", &S::Volt1Ch, "%.3f"},
        {kConfig, "Volt2Ch", &S::Volt2Ch, "%.3f"},
        {kConfig, "CurrCh", &S::CurrCh, "%.3f"},
        {kConfig, "OutOffCh", &S::OutOffCh},
        {kConfig, "OutOffChHard", &S::OutOffChHard},
        {kConfig, "RunCh", &S::RunCh},
        {kConfig, "Ch", &S::Ch},
        {kConfig, "ChRange", &S::ChRange},
        {kConfig, "RangeCC", &S::RangeCC},
        {kConfig, "RangeCV", &S::RangeCV},
        {kConfig, "RangeCR", &S::RangeCR},
        {kConfig, "MonFirst", &S::MonFirst},
        {kConfig, "Ovp", &S::Ovp, "%.3f"},
        {kConfig, "Ocp", &S::Ocp, "%.3f"},
        {kConfig, "Uvp", &S::Uvp, "%.3f"},
        {kConfig, "Ucp", &S::Ucp, "%.3f"},
        {kConfig, "UvpOn", &S::UvpOn},
        {kConfig, "UcpOn", &S::UcpOn},
        // Limits, values set before processing, file formats, control method, file cut.
        {kConfig, "LimitVolt", &S::LimitVolt, "%.3f"},
        {kConfig, "LimitCurr", &S::LimitCurr, "%.3f"},
        {kConfig, "bInitCurr", &S::bInitCurr},
        {kConfig, "bInitVolt", &S::bInitVolt},
        {kConfig, "bInitPower", &S::bInitPower},
        {kConfig, "bInitRes", &S::bInitRes},
        {kConfig, "InitCurr", &S::InitCurr, "%.3f"},
        {kConfig, "InitVolt", &S::InitVolt, "%.3f"},
        {kConfig, "InitPower", &S::InitPower, "%.2f"},
        {kConfig, "InitRes", &S::InitRes, "%.4f"},
        {kConfig, "Tsr", &S::Tsr},
        {kConfig, "Txt", &S::Txt},
        {kConfig, "Ext", &S::Ext},
        {kConfig, "SeqCtl", &S::SeqCtl},
        {kConfig, "bCut", &S::bCut},
        {kConfig, "CutHour", &S::CutHour},
        {kConfig, "CutMin", &S::CutMin},
        {kConfig, "FileMem", &S::FileMem},
        // Options of the Options dialog: written at exit, every start begins with the default.
        {kConfig, "WriteProgNo", &S::WriteProgNo, nullptr, true},
        {kConfig, "ReadProgNo", &S::ReadProgNo, nullptr, true},
        {kConfig, "RunProgNo", &S::RunProgNo, nullptr, true},
        {kConfig, "Memory", &S::Memory, nullptr, true},
    };
}

std::optional<int> parseInteger(const QVariant& stored)
{
    bool ok = false;
    const int value = stored.toString().trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// INI values holding an unquoted comma come back as lists; the text is the joined list.
QString storedText(const QVariant& stored)
{
    if (stored.typeId() == QMetaType::QStringList)
        return stored.toStringList().join(QLatin1Char(','));
    return stored.toString();
}

} // namespace

const std::vector<Key>& all()
{
    static const std::vector<Key> table = buildTable();
    return table;
}

int slotCount(const Key& key)
{
    return std::visit(Overloaded{[](AppSettings::PerChannel<int> AppSettings::*) { return kChannelCount; },
                                 [](AppSettings::PerChannel<double> AppSettings::*) { return kChannelCount; },
                                 [](std::array<int, 8> AppSettings::*) { return 8; }, [](auto) { return 1; }},
                      key.member);
}

bool isPerChannel(const Key& key)
{
    return std::holds_alternative<AppSettings::PerChannel<int> AppSettings::*>(key.member) ||
           std::holds_alternative<AppSettings::PerChannel<double> AppSettings::*>(key.member);
}

QString slotName(const Key& key, int slot)
{
    const QString name = QLatin1String(key.name);
    if (isPerChannel(key))
        return name + QString::number(slot + 1);
    if (slotCount(key) > 1)
        return name + QString::number(slot);
    return name;
}

QVariant storedValue(const AppSettings& settings, const Key& key, int slot)
{
    return std::visit(
        Overloaded{
            [&](int AppSettings::*m) { return QVariant(settings.*m); },
            [&](double AppSettings::*m) { return QVariant(formatDouble(key.format, settings.*m)); },
            [&](QString AppSettings::*m) { return QVariant(settings.*m); },
            [&](AppSettings::PerChannel<int> AppSettings::*m) { return QVariant((settings.*m)[slot]); },
            [&](AppSettings::PerChannel<double> AppSettings::*m) {
                return QVariant(formatDouble(key.format, (settings.*m)[slot]));
            },
            [&](std::array<int, 8> AppSettings::*m) { return QVariant((settings.*m)[slot]); }},
        key.member);
}

void loadValue(AppSettings& settings, const Key& key, int slot, const QVariant& stored,
               const AppSettings& defaults)
{
    const bool present = stored.isValid() && !key.saveOnly;
    auto integer = [&](int fallback) { return present ? parseInteger(stored).value_or(fallback) : fallback; };
    auto real = [&](double fallback) { return present ? decimalValue(storedText(stored)) : fallback; };
    std::visit(
        Overloaded{
            [&](int AppSettings::*m) { settings.*m = integer(defaults.*m); },
            [&](double AppSettings::*m) { settings.*m = real(defaults.*m); },
            [&](QString AppSettings::*m) { settings.*m = present ? storedText(stored) : defaults.*m; },
            [&](AppSettings::PerChannel<int> AppSettings::*m) {
                (settings.*m)[slot] = integer((defaults.*m)[slot]);
            },
            [&](AppSettings::PerChannel<double> AppSettings::*m) {
                (settings.*m)[slot] = real((defaults.*m)[slot]);
            },
            [&](std::array<int, 8> AppSettings::*m) { (settings.*m)[slot] = integer((defaults.*m)[slot]); }},
        key.member);
}

bool setFromText(AppSettings& settings, const Key& key, int slot, const QString& text)
{
    const auto integer = parseInteger(text);
    bool realOk = false;
    const double real = text.trimmed().toDouble(&realOk);
    const bool realValid = realOk && std::isfinite(real);
    return std::visit(Overloaded{[&](int AppSettings::*m) {
                                     if (integer)
                                         settings.*m = *integer;
                                     return integer.has_value();
                                 },
                                 [&](double AppSettings::*m) {
                                     if (realValid)
                                         settings.*m = real;
                                     return realValid;
                                 },
                                 [&](QString AppSettings::*m) {
                                     settings.*m = text;
                                     return true;
                                 },
                                 [&](AppSettings::PerChannel<int> AppSettings::*m) {
                                     if (integer)
                                         (settings.*m)[slot] = *integer;
                                     return integer.has_value();
                                 },
                                 [&](AppSettings::PerChannel<double> AppSettings::*m) {
                                     if (realValid)
                                         (settings.*m)[slot] = real;
                                     return realValid;
                                 },
                                 [&](std::array<int, 8> AppSettings::*m) {
                                     if (integer)
                                         (settings.*m)[slot] = *integer;
                                     return integer.has_value();
                                 }},
                      key.member);
}

std::optional<Slot> find(const QString& section, const QString& name)
{
    for (const Key& key : all()) {
        if (section != QLatin1String(key.section))
            continue;
        for (int slot = 0; slot < slotCount(key); ++slot) {
            if (slotName(key, slot) == name)
                return Slot{&key, slot};
        }
    }
    return std::nullopt;
}

} // namespace SettingsKeys
