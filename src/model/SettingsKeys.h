#pragma once

#include "model/AppSettings.h"

#include <QString>
#include <QVariant>
#include <limits>
#include <optional>
#include <variant>
#include <vector>

// The one table of the stored settings: each key's section, name, member of AppSettings, stored
// type and save format. Loading, saving and tessorctl's --set all walk this table.
namespace SettingsKeys {

using Member =
    std::variant<int AppSettings::*, double AppSettings::*, QString AppSettings::*,
                 AppSettings::PerChannel<int> AppSettings::*, AppSettings::PerChannel<double> AppSettings::*,
                 std::array<int, 8> AppSettings::*>;

struct Key {
    const char* section; // "" for the application key itself, else "Config"
    const char* name;    // per-channel keys get the channel number 1..5 appended, Repeat 0..7
    Member member;
    const char* format = nullptr; // save format of a real
    bool saveOnly = false;        // saved at exit, never read back: every start takes the default
    // The values an integer takes. One read from the profile is brought into this range; one typed
    // by the user outside it is refused.
    int minimum = std::numeric_limits<int>::min();
    int maximum = std::numeric_limits<int>::max();
};

// How far a window's corner may lie from the origin of the screens, in pixels: far beyond any
// screen, and near enough that the differences of two corners stay within an int.
constexpr int kWindowCoordinateLimit = 100000;

// Every key, in the order the profile is loaded.
const std::vector<Key>& all();

// Number of stored values of a key: 1, 5 (per channel) or 8 (Repeat0 .. Repeat7).
int slotCount(const Key& key);
bool isPerChannel(const Key& key);
// The stored name of one value: "SeqCtl", "Volt1Ch3" (channel index 2), "Repeat0".
QString slotName(const Key& key, int slot);

// The value as it is stored: an integer for integers, the formatted text for reals, the text.
QVariant storedValue(const AppSettings& settings, const Key& key, int slot);
// Takes a value read from the profile. Absent (an invalid variant): the default. An integer that
// does not parse: the default; one outside the key's range: the nearest value inside it. A real:
// the plain decimal conversion (text that is no number is 0).
void loadValue(AppSettings& settings, const Key& key, int slot, const QVariant& stored,
               const AppSettings& defaults);
// Takes a value typed by the user; false, and nothing changed, when an integer or a real does not
// parse completely or an integer lies outside the key's range.
bool setFromText(AppSettings& settings, const Key& key, int slot, const QString& text);

struct Slot {
    const Key* key;
    int slot;
};
// The key of a stored name in a section ("Volt1Ch3" in "Config"), or none.
std::optional<Slot> find(const QString& section, const QString& name);

} // namespace SettingsKeys
