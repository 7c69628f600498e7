#include "model/StepColumns.h"

#include "model/SequenceTypes.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

enum class Role { Value, Interval, Transition, Load, Time, Unknown };

struct HeaderCell {
    int channel = -1;
    Role role = Role::Unknown;
    StepColumns::Group facts; // what the cell says besides its role
};

std::optional<int> unitFromName(const QString& name)
{
    const QString unit = name.trimmed().toLower();
    if (unit == QLatin1String("ms"))
        return UnitMs;
    if (unit == QLatin1String("s") || unit == QLatin1String("sec"))
        return UnitS;
    if (unit == QLatin1String("min"))
        return UnitMin;
    if (unit == QLatin1String("h"))
        return UnitH;
    return std::nullopt;
}

// "(CCCV 12.000 V)", "(CC)", "(Hardware Control)", "(soft)".
void readAnnotation(const QString& inner, StepColumns::Group& facts)
{
    const QString text = inner.simplified().toLower();
    if (text.startsWith(QLatin1String("hard"))) {
        facts.control = HardwareControl;
        return;
    }
    if (text.startsWith(QLatin1String("soft"))) {
        facts.control = SoftwareControl;
        return;
    }
    QStringList tokens = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (tokens.isEmpty())
        return;
    facts.mode = StepColumns::modeFromName(tokens.takeFirst());
    if (!facts.mode || tokens.isEmpty())
        return;
    QString voltage = tokens.takeFirst();
    if (voltage.endsWith(QLatin1Char('v')))
        voltage.chop(1);
    bool ok = false;
    const double value = voltage.toDouble(&ok);
    if (ok)
        facts.constantVoltage = value;
}

HeaderCell readHeaderCell(const QString& cell)
{
    static const QRegularExpression channelPattern(QStringLiteral("^(?:channel|ch)\\s*([1-5])(?![0-9])\\s*"),
                                                   QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression parentheses(QStringLiteral("\\(([^)]*)\\)"));
    static const QRegularExpression brackets(QStringLiteral("\\[([^\\]]*)\\]"));

    HeaderCell header;
    QString text = cell.trimmed();
    const QRegularExpressionMatch channel = channelPattern.match(text);
    if (channel.hasMatch()) {
        header.channel = channel.captured(1).toInt() - 1;
        text = text.mid(channel.capturedLength());
    }
    for (auto it = parentheses.globalMatch(text); it.hasNext();)
        readAnnotation(it.next().captured(1), header.facts);
    text.remove(parentheses);
    std::optional<int> unit;
    const QRegularExpressionMatch bracket = brackets.match(text);
    if (bracket.hasMatch())
        unit = unitFromName(bracket.captured(1));
    text.remove(brackets);

    const QString name = text.simplified().toLower();
    if (name == QLatin1String("voltage")) {
        header.role = Role::Value;
        header.facts.quantity = StepColumns::Quantity::Voltage;
    } else if (name == QLatin1String("current")) {
        header.role = Role::Value;
        header.facts.quantity = StepColumns::Quantity::Current;
    } else if (name == QLatin1String("resistance")) {
        header.role = Role::Value;
        header.facts.quantity = StepColumns::Quantity::Resistance;
    } else if (name == QLatin1String("value") || name == QLatin1String("set value")) {
        header.role = Role::Value;
    } else if (name == QLatin1String("interval") || name == QLatin1String("duration")) {
        header.role = Role::Interval;
        header.facts.unit = unit;
    } else if (name == QLatin1String("transition")) {
        header.role = Role::Transition;
    } else if (name == QLatin1String("load")) {
        header.role = Role::Load;
    } else if (name == QLatin1String("time")) {
        header.role = Role::Time;
    }
    return header;
}

template <typename T> void takeIfAbsent(std::optional<T>& into, const std::optional<T>& from)
{
    if (!into && from)
        into = from;
}

} // namespace

StepColumns StepColumns::read(const QString& text)
{
    StepColumns columns;
    columns.table_ = CsvTable::parse(text);
    const auto& rows = columns.table_.rows();
    if (!rows.empty()) {
        const CsvTable::Row& first = rows.front();
        const bool header = std::none_of(first.fields.begin(), first.fields.end(), [&](const QString& field) {
            return columns.table_.number(field).has_value();
        });
        if (header)
            columns.headerLine_ = first.line;
    }

    if (columns.headerLine_ != 0) {
        const QStringList& cells = rows.front().fields;
        std::vector<HeaderCell> parsed;
        for (const QString& cell : cells)
            parsed.push_back(readHeaderCell(cell));
        const bool namesChannels = std::any_of(parsed.begin(), parsed.end(),
                                               [](const HeaderCell& cell) { return cell.channel >= 0; });
        std::vector<Group> groups;
        std::vector<std::vector<int>> members; // the columns each group took
        for (int i = 0; i < static_cast<int>(parsed.size()); ++i) {
            const HeaderCell& cell = parsed[i];
            if (cell.role == Role::Unknown || cell.role == Role::Time ||
                (namesChannels && cell.channel < 0)) {
                if (!cells[i].isEmpty())
                    columns.ignored_.emplace_back(i + 1, cells[i]);
                continue;
            }
            auto group = std::find_if(groups.begin(), groups.end(),
                                      [&](const Group& g) { return g.channel == cell.channel; });
            if (group == groups.end()) {
                groups.push_back(Group());
                groups.back().channel = cell.channel;
                members.emplace_back();
                group = groups.end() - 1;
            }
            int* slot = nullptr;
            switch (cell.role) {
            case Role::Value:
                slot = &group->value;
                break;
            case Role::Interval:
                slot = &group->interval;
                break;
            case Role::Transition:
                slot = &group->transition;
                break;
            default:
                slot = &group->load;
                break;
            }
            if (*slot >= 0) {
                columns.ignored_.emplace_back(i + 1, cells[i]);
                continue;
            }
            *slot = i;
            members[group - groups.begin()].push_back(i);
            takeIfAbsent(group->quantity, cell.facts.quantity);
            takeIfAbsent(group->mode, cell.facts.mode);
            takeIfAbsent(group->constantVoltage, cell.facts.constantVoltage);
            takeIfAbsent(group->unit, cell.facts.unit);
            takeIfAbsent(group->control, cell.facts.control);
        }
        for (std::size_t g = 0; g < groups.size(); ++g) {
            if (groups[g].value >= 0) {
                columns.groups_.push_back(groups[g]);
                continue;
            }
            // Without a set value the group's other columns give no steps.
            for (int column : members[g])
                columns.ignored_.emplace_back(column + 1, cells[column]);
        }
        std::sort(columns.ignored_.begin(), columns.ignored_.end());
        if (!columns.groups_.empty())
            return columns;
        columns.headerUnrecognised_ = true;
        columns.ignored_.clear();
    }

    // The columns in order: value, interval, transition, load.
    int width = 0;
    for (auto row = columns.firstDataRow(); row != rows.end(); ++row)
        width = std::max(width, static_cast<int>(row->fields.size()));
    Group group;
    group.value = 0;
    group.interval = width >= 2 ? 1 : -1;
    group.transition = width >= 3 ? 2 : -1;
    group.load = width >= 4 ? 3 : -1;
    columns.groups_.push_back(group);
    for (int column = 5; column <= width; ++column)
        columns.ignored_.emplace_back(column, QString());
    return columns;
}

std::vector<CsvTable::Row>::const_iterator StepColumns::firstDataRow() const
{
    const auto& rows = table_.rows();
    return headerLine_ != 0 && !rows.empty() ? rows.begin() + 1 : rows.begin();
}

StepColumns::Quantity StepColumns::quantityOf(int mode)
{
    switch (mode) {
    case ModeCC:
    case ModeCCCV:
        return Quantity::Current;
    case ModeCR:
    case ModeCRCV:
        return Quantity::Resistance;
    default:
        return Quantity::Voltage;
    }
}

std::optional<int> StepColumns::modeFromName(const QString& name)
{
    const QString mode = name.trimmed().toUpper();
    if (mode == QLatin1String("CV"))
        return ModeCV;
    if (mode == QLatin1String("CC"))
        return ModeCC;
    if (mode == QLatin1String("CR"))
        return ModeCR;
    if (mode == QLatin1String("CCCV") || mode == QLatin1String("CC+CV") || mode == QLatin1String("CCV"))
        return ModeCCCV;
    if (mode == QLatin1String("CRCV") || mode == QLatin1String("CR+CV") || mode == QLatin1String("CRV"))
        return ModeCRCV;
    return std::nullopt;
}

QString StepColumns::modeName(int mode)
{
    switch (mode) {
    case ModeCC:
        return QStringLiteral("CC");
    case ModeCR:
        return QStringLiteral("CR");
    case ModeCCCV:
        return QStringLiteral("CCCV");
    case ModeCRCV:
        return QStringLiteral("CRCV");
    default:
        return QStringLiteral("CV");
    }
}
