#include "model/SettingsKeys.h"

#include "model/DecimalText.h"

#include <QStringList>
#include <algorithm>
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

// An integer key that takes only the values from minimum to maximum.
Key ranged(Key key, int minimum, int maximum)
{
    key.minimum = minimum;
    key.maximum = maximum;
    return key;
}

// A flag: 0 or 1.
Key flag(Key key)
{
    return ranged(key, 0, 1);
}

std::vector<Key> buildTable()
{
    constexpr int kCorner = kWindowCoordinateLimit;
    return {
        // The application key: main window rectangle and start-up flags.
        ranged({kMain, "Top", &S::Top}, -kCorner, kCorner),
        ranged({kMain, "Left", &S::Left}, -kCorner, kCorner),
        ranged({kMain, "Bottom", &S::Bottom}, -kCorner, kCorner),
        ranged({kMain, "Right", &S::Right}, -kCorner, kCorner),
        flag({kMain, "bPos", &S::bPos}),
        flag({kMain, "bFile", &S::bFile}),
        // Connection, sequence and monitoring keys. Interface and Maker name kinds of link: one the
        // program does not know is reported by the link that meets it.
        {kConfig, "Interface", &S::Interface},
        ranged({kConfig, "Address", &S::Address}, 0, 30),
        ranged({kConfig, "Port", &S::Port}, 0, 255),
        {kConfig, "Maker", &S::Maker},
        {kConfig, "PortDevice", &S::PortDevice},
        {kConfig, "GpibDevice", &S::GpibDevice},
        flag({kConfig, "SeqMode", &S::SeqMode}),
        ranged({kConfig, "UnitSoft", &S::UnitSoft}, UnitMs, UnitH),
        ranged({kConfig, "UnitHard", &S::UnitHard}, UnitMs, UnitH),
        ranged({kConfig, "Mode", &S::Mode}, 0, 3),
        {kConfig, "SeqTime", &S::SeqTime, "%.1f"},
        flag({kConfig, "OutOff", &S::OutOff}),
        {kConfig, "Repeat", &S::Repeat},
        flag({kConfig, "AllDel", &S::AllDel}),
        {kConfig, "Repeat", &S::RepeatCh},
        {kConfig, "ChainLoop", &S::ChainLoop},
        {kConfig, "Machine", &S::Machine},
        {kConfig, "Freq", &S::Freq, "%.2f"},
        flag({kConfig, "State", &S::State}),
        ranged({kConfig, "MonitorTime", &S::MonitorTime}, 500, 600000),
        flag({kConfig, "Curr", &S::Curr}),
        flag({kConfig, "Power", &S::Power}),
        flag({kConfig, "Volt", &S::Volt}),
        flag({kConfig, "File", &S::File}),
        flag({kConfig, "MonSoft", &S::MonSoft}),
        flag({kConfig, "PassTime", &S::PassTime}),
        flag({kConfig, "MonStart", &S::MonStart}),
        flag({kConfig, "MonEnd", &S::MonEnd}),
        {kConfig, "Folder", &S::Folder},
        {kConfig, "OffCurr", &S::OffCurr, "%.4f"},
        ranged({kConfig, "CurrRange", &S::CurrRange}, 1, 3),
        ranged({kConfig, "nVoltRange", &S::nVoltRange}, 1, 2),
        ranged({kConfig, "VoltPlace", &S::VoltPlace}, 0, 1),
        ranged({kConfig, "CurrPlace", &S::CurrPlace}, 0, 3),
        ranged({kConfig, "PowerPlace", &S::PowerPlace}, 0, 2),
        ranged({kConfig, "ResistPlace", &S::ResistPlace}, 0, 1),
        // Per-channel keys, loaded channel by channel. Hardware Control runs CC and CR only.
        ranged({kConfig, "ModeChSoft", &S::ModeChSoft}, ModeCV, ModeCRCV),
        ranged({kConfig, "ModeChHard", &S::ModeChHard}, ModeCC, ModeCR),
        {kConfig, "Volt1Ch", &S::Volt1Ch, "%.3f"},
        {kConfig, "Volt2Ch", &S::Volt2Ch, "%.3f"},
        {kConfig, "CurrCh", &S::CurrCh, "%.3f"},
        flag({kConfig, "OutOffCh", &S::OutOffCh}),
        flag({kConfig, "OutOffChHard", &S::OutOffChHard}),
        flag({kConfig, "RunCh", &S::RunCh}),
        flag({kConfig, "Ch", &S::Ch}),
        flag({kConfig, "ChRange", &S::ChRange}),
        ranged({kConfig, "RangeCC", &S::RangeCC}, 0, 2),
        ranged({kConfig, "RangeCV", &S::RangeCV}, 0, 1),
        ranged({kConfig, "RangeCR", &S::RangeCR}, 0, 2),
        flag({kConfig, "MonFirst", &S::MonFirst}),
        {kConfig, "Ovp", &S::Ovp, "%.3f"},
        {kConfig, "Ocp", &S::Ocp, "%.3f"},
        {kConfig, "Uvp", &S::Uvp, "%.3f"},
        {kConfig, "Ucp", &S::Ucp, "%.3f"},
        flag({kConfig, "UvpOn", &S::UvpOn}),
        flag({kConfig, "UcpOn", &S::UcpOn}),
        // Limits, values set before processing, file formats, control method, file cut.
        {kConfig, "LimitVolt", &S::LimitVolt, "%.3f"},
        {kConfig, "LimitCurr", &S::LimitCurr, "%.3f"},
        flag({kConfig, "bInitCurr", &S::bInitCurr}),
        flag({kConfig, "bInitVolt", &S::bInitVolt}),
        flag({kConfig, "bInitPower", &S::bInitPower}),
        flag({kConfig, "bInitRes", &S::bInitRes}),
        {kConfig, "InitCurr", &S::InitCurr, "%.3f"},
        {kConfig, "InitVolt", &S::InitVolt, "%.3f"},
        {kConfig, "InitPower", &S::InitPower, "%.2f"},
        {kConfig, "InitRes", &S::InitRes, "%.4f"},
        flag({kConfig, "Tsr", &S::Tsr}),
        flag({kConfig, "Txt", &S::Txt}),
        {kConfig, "Ext", &S::Ext},
        flag({kConfig, "SeqCtl", &S::SeqCtl}),
        flag({kConfig, "bCut", &S::bCut}),
        ranged({kConfig, "CutHour", &S::CutHour}, 0, 1000),
        ranged({kConfig, "CutMin", &S::CutMin}, 0, 59),
        flag({kConfig, "FileMem", &S::FileMem}),
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
    auto integer = [&](int fallback) {
        return present ? std::clamp(parseInteger(stored).value_or(fallback), key.minimum, key.maximum)
                       : fallback;
    };
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
    auto integer = parseInteger(text);
    if (integer && (*integer < key.minimum || *integer > key.maximum))
        integer.reset();
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
