#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/CommandValues.h"
#include "model/CMainDoc.h"
#include "model/CsvFile.h"
#include "model/SequenceFormats.h"
#include "model/StepImport.h"
#include "model/StepImportReport.h"
#include "ui/ResourceModule.h"

#include <QTextStream>
#include <memory>

namespace {

// String-table texts.
constexpr int kHardwareModeText = 820; // "Hardware Control runs CC or CR only: channel %1 would be %2."
constexpr int kRefusedText = 821;      // "Rows were refused, so nothing was written; --force writes ..."

const QString kUsage =
    QStringLiteral("Usage: tessorctl import CSV OUT.tsr [--channel N] [--mode CC|CV|CR|CCCV|CRCV] "
                   "[--control soft|hard] [--unit s|ms|min|h] [--interval T] [--force]");

// The channel named by --channel (1..5), as 0..4.
bool readChannel(CliContext& context, const CommandValues& parsed, std::optional<int>& channel)
{
    if (!parsed.has(QStringLiteral("--channel")))
        return true;
    bool ok = false;
    const int number = parsed.value(QStringLiteral("--channel")).toInt(&ok);
    if (!ok || number < 1 || number > kChannelCount) {
        context.err << "tessorctl: --channel takes a channel from 1 to 5" << Qt::endl;
        return false;
    }
    channel = number - 1;
    return true;
}

// The mode a group's header gives: its mode, or the mode of its quantity.
std::optional<int> headerMode(const StepColumns::Group& group)
{
    if (group.mode)
        return group.mode;
    if (!group.quantity)
        return std::nullopt;
    switch (*group.quantity) {
    case StepColumns::Quantity::Current:
        return ModeCC;
    case StepColumns::Quantity::Resistance:
        return ModeCR;
    default:
        return ModeCV;
    }
}

} // namespace

// tessorctl import CSV OUT.tsr: reads spreadsheet columns under the worksheet's rules into a new
// sequence file. The settings the file carries come from the options, else from the columns' header
// (as the export writes it), else from the profile. The report of changed and refused rows goes to
// stderr; rows refused mean exit 1 and no file unless --force.
int runImportCommand(CliContext& context, const QStringList& arguments)
{
    CommandValues parsed;
    if (!splitCommandValues(context, arguments,
                            {QStringLiteral("--channel"), QStringLiteral("--mode"),
                             QStringLiteral("--control"), QStringLiteral("--unit"),
                             QStringLiteral("--interval")},
                            {QStringLiteral("--force")}, parsed) ||
        parsed.positional.size() != 2) {
        context.err << kUsage << Qt::endl;
        return ExitUsage;
    }
    std::optional<int> channel;
    if (!readChannel(context, parsed, channel))
        return ExitUsage;
    std::optional<int> mode;
    if (parsed.has(QStringLiteral("--mode"))) {
        mode = StepColumns::modeFromName(parsed.value(QStringLiteral("--mode")));
        if (!mode) {
            context.err << "tessorctl: --mode takes CC, CV, CR, CCCV or CRCV" << Qt::endl;
            return ExitUsage;
        }
    }
    std::optional<int> control;
    if (parsed.has(QStringLiteral("--control"))) {
        const QString value = parsed.value(QStringLiteral("--control"));
        if (value != QLatin1String("soft") && value != QLatin1String("hard")) {
            context.err << "tessorctl: --control takes soft or hard" << Qt::endl;
            return ExitUsage;
        }
        control = value == QLatin1String("hard") ? HardwareControl : SoftwareControl;
    }
    std::optional<int> unit;
    if (parsed.has(QStringLiteral("--unit"))) {
        const QString value = parsed.value(QStringLiteral("--unit"));
        if (value != QLatin1String("s") && value != QLatin1String("ms") && value != QLatin1String("min") &&
            value != QLatin1String("h")) {
            context.err << "tessorctl: --unit takes s, ms, min or h" << Qt::endl;
            return ExitUsage;
        }
        unit = value == QLatin1String("ms") ? UnitMs : SequenceFormats::unitFromToken(value);
    }
    std::optional<double> interval;
    if (parsed.has(QStringLiteral("--interval"))) {
        bool ok = false;
        interval = parsed.value(QStringLiteral("--interval")).toDouble(&ok);
        if (!ok) {
            context.err << "tessorctl: --interval takes a number" << Qt::endl;
            return ExitUsage;
        }
    }

    QString failure;
    const QString text = CsvFile::read(parsed.positional[0], context.resources, failure);
    if (text.isNull()) {
        context.prompt.showMessage(failure);
        return ExitFailure;
    }
    const StepColumns columns = StepColumns::read(text);
    const std::vector<StepColumns::Group>& groups = columns.groups();
    const bool channelGroups = groups.size() > 1;

    // Where the steps go: the one group into --channel (or the channel its header names, or 1); with
    // channel groups each into its own channel, or only the one --channel names.
    StepImport::Target target;
    target.fileTexts = true;
    target.interval = interval;
    target.channel = channel.value_or(groups.front().channel >= 0 ? groups.front().channel : 0);
    if (channelGroups && channel)
        target.onlyChannel = channel;
    std::vector<std::pair<int, StepColumns::Group>> imported;
    for (const StepColumns::Group& group : groups) {
        if (!channelGroups)
            imported.emplace_back(target.channel, group);
        else if (!channel || group.channel == *channel)
            imported.emplace_back(group.channel, group);
    }

    // The settings the file carries, as the program reads them back from its header: Hardware Control
    // files run CC or CR and count seconds; the program opens no millisecond files, so intervals in
    // ms are written in seconds.
    AppSettings& settings = context.settings;
    settings.SeqMode = NormalSequence;
    settings.Mode = 0;
    settings.SeqCtl = control.value_or(groups.front().control.value_or(settings.SeqCtl));
    const bool hardware = settings.SeqCtl == HardwareControl;
    const int columnsUnit = unit.value_or(groups.front().unit.value_or(settings.Unit));
    settings.Unit = hardware || columnsUnit == UnitMs ? UnitS : columnsUnit;
    target.intervalUnit = columnsUnit;
    for (int c = 0; c < kChannelCount; ++c) {
        if (hardware && settings.ModeCh[c] != ModeCC && settings.ModeCh[c] != ModeCR)
            settings.ModeCh[c] = ModeCC;
    }
    for (const auto& [c, group] : imported) {
        const int chosen = mode.value_or(headerMode(group).value_or(settings.ModeCh[c]));
        if (hardware && chosen != ModeCC && chosen != ModeCR) {
            context.prompt.showMessage(
                context.resources.string(kHardwareModeText).arg(c + 1).arg(StepColumns::modeName(chosen)));
            return ExitFailure;
        }
        settings.ModeCh[c] = chosen;
        if (group.constantVoltage && chosen == ModeCCCV)
            settings.Volt1Ch[c] = *group.constantVoltage;
        if (group.constantVoltage && chosen == ModeCRCV)
            settings.Volt2Ch[c] = *group.constantVoltage;
    }
    for (int c = 0; c < kChannelCount; ++c)
        (hardware ? settings.ModeChHard : settings.ModeChSoft)[c] = settings.ModeCh[c];
    (hardware ? settings.UnitHard : settings.UnitSoft) = settings.Unit;

    const StepImport::Plan plan = StepImport::plan(columns, settings, target);
    for (const QString& line : StepImportReport::lines(plan, context.resources))
        context.prompt.showMessage(line);
    context.prompt.showMessage(StepImportReport::counts(plan, context.resources));
    if (plan.stepCount() == 0)
        return ExitFailure;
    const bool force = parsed.flags.contains(QStringLiteral("--force"));
    if (plan.hasRefusals() && !force) {
        context.prompt.showMessage(context.resources.string(kRefusedText));
        return ExitFailure;
    }

    auto document = std::make_unique<CMainDoc>(context.settings, context.prompt);
    for (const StepImport::Insertion& insertion : plan.insertions) {
        ChannelSequence& table = document->channel(insertion.channel);
        for (std::size_t i = 0; i < insertion.steps.size(); ++i)
            table.steps[static_cast<int>(i)] = insertion.steps[i];
        table.count = static_cast<int>(insertion.steps.size());
    }
    return document->saveDocument(parsed.positional[1]) ? ExitSuccess : ExitFailure;
}
