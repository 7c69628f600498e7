#include "FuzzAction.h"

#include <QStringList>
#include <array>

namespace {

using Kind = FuzzAction::Kind;

struct KindName {
    Kind kind;
    const char* name;
    int numbers; // how many integers follow the name
};

constexpr std::array<KindName, 19> kNames{{
    {Kind::GraphPress, "gpress", 2},
    {Kind::GraphMove, "gmove", 2},
    {Kind::GraphRelease, "grelease", 2},
    {Kind::GraphDoubleClick, "gdclick", 2},
    {Kind::GraphRightClick, "gright", 2},
    {Kind::CellClick, "cell", 2},
    {Kind::CellShiftClick, "shiftcell", 2},
    {Kind::CellDoubleClick, "dcell", 2},
    {Kind::CellRightClick, "rcell", 2},
    {Kind::CellDrag, "celldrag", 4},
    {Kind::Key, "key", 0},
    {Kind::Type, "type", 0},
    {Kind::Menu, "menu", 1},
    {Kind::Activate, "activate", 0},
    {Kind::ControlMethod, "control", 1},
    {Kind::Wait, "wait", 1},
    {Kind::PopupPick, "pick", 1},
    {Kind::PopupKey, "pkey", 0},
    {Kind::PopupClose, "pclose", 0},
}};

const KindName& nameOf(Kind kind)
{
    for (const KindName& entry : kNames) {
        if (entry.kind == kind)
            return entry;
    }
    return kNames.back();
}

} // namespace

QString FuzzAction::toText() const
{
    const KindName& entry = nameOf(kind);
    QString line = QLatin1String(entry.name);
    const int numbers[] = {a, b, c, d};
    for (int i = 0; i < entry.numbers; ++i)
        line += QLatin1Char(' ') + QString::number(numbers[i]);
    if (kind == Kind::Activate)
        line += a == 0 ? QStringLiteral(" worksheet") : QStringLiteral(" graph");
    if (kind == Kind::Key || kind == Kind::Type || kind == Kind::PopupKey)
        line += QLatin1Char(' ') + text;
    if (answers != 0)
        line += QStringLiteral(" ~%1").arg(answers, 0, 16);
    return line;
}

std::optional<FuzzAction> FuzzAction::parse(const QString& input)
{
    QString line = input.trimmed();
    FuzzAction action;
    // The answers' seed is the last word when it starts with "~" (typed text never holds one: the
    // random user types digits, signs and points only).
    const int tilde = line.lastIndexOf(QLatin1String(" ~"));
    if (tilde >= 0) {
        bool ok = false;
        action.answers = line.mid(tilde + 2).toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        line.truncate(tilde);
    }
    const int space = line.indexOf(QLatin1Char(' '));
    const QString name = space < 0 ? line : line.left(space);
    const QString rest = space < 0 ? QString() : line.mid(space + 1);
    for (const KindName& entry : kNames) {
        if (name != QLatin1String(entry.name))
            continue;
        action.kind = entry.kind;
        if (entry.kind == Kind::Key || entry.kind == Kind::Type || entry.kind == Kind::PopupKey) {
            action.text = rest;
            return action;
        }
        if (entry.kind == Kind::Activate) {
            if (rest != QLatin1String("worksheet") && rest != QLatin1String("graph"))
                return std::nullopt;
            action.a = rest == QLatin1String("graph") ? 1 : 0;
            return action;
        }
        const QStringList words = rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.size() != entry.numbers)
            return std::nullopt;
        int* numbers[] = {&action.a, &action.b, &action.c, &action.d};
        for (int i = 0; i < entry.numbers; ++i) {
            bool ok = false;
            *numbers[i] = words[i].toInt(&ok);
            if (!ok)
                return std::nullopt;
        }
        return action;
    }
    return std::nullopt;
}
