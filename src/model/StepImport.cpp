#include "model/StepImport.h"

#include "model/AppSettings.h"
#include "model/DecimalText.h"
#include "model/SequenceFormats.h"
#include "model/StepBounds.h"
#include "model/StepRules.h"
#include "model/StepWords.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

using Finding = StepImport::Finding;
using Entry = StepImport::Entry;

const QString kOn = QStringLiteral("1");
const QString kOff = QStringLiteral("0");

// Runs of these findings over consecutive rows make one entry.
bool mergesRuns(Finding finding)
{
    return finding == Finding::PastStepLimit || finding == Finding::HardwareStepOn ||
           finding == Finding::IntervalNeeded;
}

QString numberText(double value)
{
    return QString::number(value, 'g', 10);
}

QString controlWord(int control)
{
    return control == HardwareControl ? QStringLiteral("Hardware Control")
                                      : QStringLiteral("Software Control");
}

// The mode a quantity is shown with in a value header.
int modeShowing(StepColumns::Quantity quantity)
{
    switch (quantity) {
    case StepColumns::Quantity::Current:
        return ModeCC;
    case StepColumns::Quantity::Resistance:
        return ModeCR;
    default:
        return ModeCV;
    }
}

std::optional<QString> wordValue(const QString& text, const char* zeroWord, const char* oneWord)
{
    if (text == kOff || text.compare(QLatin1String(zeroWord), Qt::CaseInsensitive) == 0)
        return kOff;
    if (text == kOn || text.compare(QLatin1String(oneWord), Qt::CaseInsensitive) == 0)
        return kOn;
    return std::nullopt;
}

// The stored interval text of an interval in the channel's unit, or nothing when it is out of
// bounds. Under Software Control in seconds the worksheet takes at most 999.5 s when typed, but the
// program's own files hold longer steps that are whole half seconds, and those are kept as they are
// (StepBounds).
std::optional<QString> storedInterval(double interval, const AppSettings& settings)
{
    const StepRules::IntervalBounds bounds = StepRules::intervalBounds(settings);
    const bool halfSeconds = StepRules::roundsToHalfSeconds(settings);
    if (StepBounds::isLongHalfSecondInterval(interval, settings))
        return formatDouble("%.1f", interval);
    if (interval < bounds.minimum || interval > bounds.maximum)
        return std::nullopt;
    if (halfSeconds)
        return SequenceFormats::halfSecondIntervalText(interval);
    return formatDouble(StepRules::timeTextFormat(settings), interval);
}

// Collects the entries of one plan, merging runs of rows with the same finding.
class Findings {
public:
    explicit Findings(std::vector<Entry>& entries) : entries_(entries) {}

    // previousLine: the row before this one among the rows of the same columns, which a run of the
    // same finding may end at.
    void add(Finding finding, int channel, int line, QStringList args = {}, int previousLine = -1)
    {
        if (mergesRuns(finding) && !entries_.empty() && previousLine > 0) {
            Entry& last = entries_.back();
            if (last.finding == finding && last.channel == channel && last.args == args &&
                last.lastLine == previousLine) {
                last.lastLine = line;
                return;
            }
        }
        entries_.push_back(Entry{finding, channel, line, line, std::move(args)});
    }

private:
    std::vector<Entry>& entries_;
};

class GroupPlanner {
public:
    GroupPlanner(const StepColumns& columns, const AppSettings& settings, const StepImport::Target& target,
                 StepImport::Plan& plan)
        : columns_(columns), table_(columns.table()), settings_(settings), target_(target), plan_(plan),
          findings_(plan.entries)
    {
    }

    void planGroup(const StepColumns::Group& group, int channel, int line)
    {
        const int mode = settings_.ModeCh[channel];
        const bool fast = settings_.SeqMode == FastSequence;
        noteHeader(group, channel, mode);

        std::optional<QString> fixedInterval;
        if (fast) {
            fixedInterval = formatDouble("%.1f", settings_.SeqTime);
            findings_.add(Finding::FastModeInterval, channel, 0, {*fixedInterval});
        } else if (group.interval < 0) {
            if (!target_.interval) {
                plan_.needsInterval = true;
            } else {
                fixedInterval = storedInterval(*target_.interval, settings_);
                if (!fixedInterval) {
                    // An interval out of bounds is no interval: the rows still need one.
                    const StepRules::IntervalBounds bounds = StepRules::intervalBounds(settings_);
                    findings_.add(Finding::IntervalOutOfRange, channel, 0,
                                  {numberText(*target_.interval), numberText(bounds.minimum),
                                   numberText(bounds.maximum), unitWord(settings_.Unit)});
                    plan_.needsInterval = true;
                } else if (decimalValue(*fixedInterval) != *target_.interval) {
                    findings_.add(Finding::IntervalRounded, channel, 0,
                                  {numberText(*target_.interval), *fixedInterval});
                }
                if (fixedInterval)
                    findings_.add(Finding::FixedInterval, channel, 0,
                                  {*fixedInterval, unitWord(settings_.Unit)});
            }
        }
        double scale = 1.0;
        const std::optional<int> unit = group.unit ? group.unit : target_.intervalUnit;
        if (!fast && group.interval >= 0 && unit && *unit != settings_.Unit) {
            scale = StepImport::millisecondsPerUnit(*unit) / StepImport::millisecondsPerUnit(settings_.Unit);
            findings_.add(Finding::IntervalsConverted, channel, 0,
                          {unitWord(*unit), unitWord(settings_.Unit)});
        }

        const int count = target_.counts[channel];
        int room = std::max(0, StepRules::stepLimit(settings_) - count);
        StepImport::Insertion insertion;
        insertion.channel = channel;
        insertion.line = std::clamp(line, 1, count + 1);
        int previousLine = -1;
        for (auto row = columns_.firstDataRow(); row != table_.rows().end(); ++row) {
            if (!holdsAnything(*row, group))
                continue;
            ++plan_.rows;
            const int line = row->line;
            const int before = std::exchange(previousLine, line);
            if (plan_.needsInterval && group.interval < 0 && !fast) {
                ++plan_.refusedRows;
                findings_.add(Finding::IntervalNeeded, channel, line, {}, before);
                continue;
            }
            if (room == 0) {
                ++plan_.refusedRows;
                findings_.add(Finding::PastStepLimit, channel, line,
                              {QString::number(StepRules::stepLimit(settings_))}, before);
                continue;
            }
            const std::size_t entriesBefore = plan_.entries.size();
            std::optional<SequenceStep> step =
                readRow(*row, group, channel, mode, fixedInterval, scale, before);
            if (!step) {
                ++plan_.refusedRows;
                continue;
            }
            if (plan_.entries.size() != entriesBefore)
                ++plan_.changedRows;
            --room;
            insertion.steps.push_back(std::move(*step));
        }
        if (!insertion.steps.empty())
            plan_.insertions.push_back(std::move(insertion));
    }

private:
    static QString unitWord(int unit) { return SequenceFormats::unitToken(unit); }

    static QString field(const CsvTable::Row& row, int column)
    {
        return column >= 0 ? row.fields.value(column) : QString();
    }

    static bool holdsAnything(const CsvTable::Row& row, const StepColumns::Group& group)
    {
        for (int column : {group.value, group.interval, group.transition, group.load}) {
            if (!field(row, column).isEmpty())
                return true;
        }
        return false;
    }

    void noteHeader(const StepColumns::Group& group, int channel, int mode)
    {
        if (group.quantity && *group.quantity != StepColumns::quantityOf(mode)) {
            findings_.add(Finding::QuantityDiffers, channel, columns_.headerLine(),
                          {StepWords::valueHeader(modeShowing(*group.quantity)), QString::number(channel + 1),
                           StepWords::valueHeader(mode)});
            return;
        }
        if (!target_.compareHeader)
            return;
        if (group.mode && *group.mode != mode) {
            findings_.add(Finding::ModeDiffers, channel, columns_.headerLine(),
                          {StepColumns::modeName(*group.mode), QString::number(channel + 1),
                           StepColumns::modeName(mode)});
        } else if (group.mode && group.constantVoltage && (mode == ModeCCCV || mode == ModeCRCV)) {
            const double held = mode == ModeCCCV ? settings_.Volt1Ch[channel] : settings_.Volt2Ch[channel];
            if (formatDouble("%.3f", held) != formatDouble("%.3f", *group.constantVoltage))
                findings_.add(Finding::ConstantVoltageDiffers, channel, columns_.headerLine(),
                              {formatDouble("%.3f", *group.constantVoltage), QString::number(channel + 1),
                               formatDouble("%.3f", held)});
        }
        if (group.control && *group.control != settings_.SeqCtl)
            findings_.add(Finding::ControlDiffers, channel, columns_.headerLine(),
                          {controlWord(*group.control), controlWord(settings_.SeqCtl)});
    }

    std::optional<SequenceStep> readRow(const CsvTable::Row& row, const StepColumns::Group& group,
                                        int channel, int mode, const std::optional<QString>& fixedInterval,
                                        double scale, int previousLine)
    {
        const int line = row.line;
        if (row.openQuote) {
            findings_.add(Finding::OpenQuote, channel, line);
            return std::nullopt;
        }
        const QString valueField = field(row, group.value);
        if (valueField.isEmpty()) {
            findings_.add(Finding::NoValue, channel, line);
            return std::nullopt;
        }
        const std::optional<double> value = table_.number(valueField);
        if (!value) {
            findings_.add(Finding::ValueNotANumber, channel, line, {valueField});
            return std::nullopt;
        }
        if (!StepRules::isValueInRange(*value)) {
            findings_.add(
                Finding::ValueOutOfRange, channel, line,
                {valueField, numberText(StepRules::kValueMinimum), numberText(StepRules::kValueMaximum)});
            return std::nullopt;
        }

        QString intervalText;
        std::optional<double> interval;
        QString intervalField;
        if (fixedInterval) {
            intervalText = *fixedInterval;
        } else {
            intervalField = field(row, group.interval);
            if (intervalField.isEmpty()) {
                findings_.add(Finding::NoInterval, channel, line);
                return std::nullopt;
            }
            interval = table_.number(intervalField);
            if (!interval) {
                findings_.add(Finding::IntervalNotANumber, channel, line, {intervalField});
                return std::nullopt;
            }
            *interval *= scale;
            const std::optional<QString> stored = storedInterval(*interval, settings_);
            if (!stored) {
                const StepRules::IntervalBounds bounds = StepRules::intervalBounds(settings_);
                findings_.add(Finding::IntervalOutOfRange, channel, line,
                              {intervalField, numberText(bounds.minimum), numberText(bounds.maximum),
                               unitWord(settings_.Unit)});
                return std::nullopt;
            }
            intervalText = *stored;
        }

        QString transition = kOff;
        const QString transitionField = field(row, group.transition);
        if (!transitionField.isEmpty()) {
            const std::optional<QString> word = wordValue(transitionField, "Step", "Ramp");
            if (!word) {
                findings_.add(Finding::UnknownTransition, channel, line, {transitionField});
                return std::nullopt;
            }
            transition = *word;
        }
        QString load = kOn;
        const QString loadField = field(row, group.load);
        if (!loadField.isEmpty()) {
            const std::optional<QString> word = wordValue(loadField, "off", "on");
            if (!word) {
                findings_.add(Finding::UnknownLoad, channel, line, {loadField});
                return std::nullopt;
            }
            load = *word;
        }

        SequenceStep step;
        const char* format = target_.fileTexts ? SequenceFormats::fileValueFormat(mode, settings_)
                                               : StepRules::valueFormat(mode, settings_);
        step.value = StepRules::valueText(*value, format);
        step.interval = intervalText;
        step.transition = transition;
        step.load = load;
        step.load2 = kOn;
        // The texts were formatted here: a plain conversion reads them back.
        if (step.value.toDouble() != *value)
            findings_.add(Finding::ValueRounded, channel, line, {valueField, step.value});
        if (interval && step.interval.toDouble() != *interval)
            findings_.add(Finding::IntervalRounded, channel, line, {intervalField, step.interval});
        if (settings_.SeqMode == FastSequence)
            step.transition = kOff;
        if (settings_.SeqCtl == HardwareControl) {
            // The instrument runs every step it is given as a step with the load on.
            if (step.transition != kOff || step.load != kOn)
                findings_.add(Finding::HardwareStepOn, channel, line, {}, previousLine);
            step.transition = kOff;
            step.load = kOn;
        }
        return step;
    }

    const StepColumns& columns_;
    const CsvTable& table_;
    const AppSettings& settings_;
    const StepImport::Target& target_;
    StepImport::Plan& plan_;
    Findings findings_;
};

} // namespace

StepImport::Severity StepImport::severityOf(Finding finding)
{
    switch (finding) {
    case Finding::ValueNotANumber:
    case Finding::IntervalNotANumber:
    case Finding::NoValue:
    case Finding::NoInterval:
    case Finding::ValueOutOfRange:
    case Finding::IntervalOutOfRange:
    case Finding::UnknownTransition:
    case Finding::UnknownLoad:
    case Finding::OpenQuote:
    case Finding::PastStepLimit:
    case Finding::IntervalNeeded:
        return Severity::Refused;
    case Finding::ValueRounded:
    case Finding::IntervalRounded:
    case Finding::HardwareStepOn:
        return Severity::Changed;
    default:
        return Severity::Note;
    }
}

int StepImport::Plan::stepCount() const
{
    int steps = 0;
    for (const Insertion& insertion : insertions)
        steps += static_cast<int>(insertion.steps.size());
    return steps;
}

double StepImport::millisecondsPerUnit(int unit)
{
    switch (unit) {
    case UnitMs:
        return 1.0;
    case UnitMin:
        return 60000.0;
    case UnitH:
        return 3600000.0;
    default:
        return 1000.0;
    }
}

StepImport::Plan StepImport::plan(const StepColumns& columns, const AppSettings& settings,
                                  const Target& target)
{
    Plan plan;
    Findings findings(plan.entries);
    if (columns.headerUnrecognised())
        findings.add(Finding::HeaderUnrecognised, -1, columns.headerLine());
    for (const auto& [column, text] : columns.ignoredColumns())
        findings.add(Finding::ColumnIgnored, -1, columns.headerLine(), {QString::number(column), text});

    std::vector<StepColumns::Group> groups;
    for (const StepColumns::Group& group : columns.groups()) {
        if (!target.onlyChannel || group.channel == *target.onlyChannel)
            groups.push_back(group);
    }
    GroupPlanner planner(columns, settings, target, plan);
    if (groups.size() == 1) {
        const int channel = std::clamp(target.channel, 0, kChannelCount - 1);
        planner.planGroup(groups.front(), channel, target.line);
    } else {
        std::sort(groups.begin(), groups.end(), [](const StepColumns::Group& a, const StepColumns::Group& b) {
            return a.channel < b.channel;
        });
        for (const StepColumns::Group& group : groups)
            planner.planGroup(group, group.channel, target.counts[group.channel] + 1);
    }
    if (plan.stepCount() == 0 && !plan.needsInterval)
        findings.add(Finding::NothingToInsert, -1, 0);

    // Notes on the columns as a whole first, then the rows by line, each line's channels in order.
    std::stable_sort(plan.entries.begin(), plan.entries.end(), [](const Entry& a, const Entry& b) {
        const bool aRow = a.severity() != Severity::Note;
        const bool bRow = b.severity() != Severity::Note;
        if (aRow != bRow)
            return !aRow;
        if (a.firstLine != b.firstLine)
            return a.firstLine < b.firstLine;
        return a.channel < b.channel;
    });
    return plan;
}
