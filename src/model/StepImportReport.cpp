#include "model/StepImportReport.h"

#include "ui/ResourceModule.h"

#include <algorithm>

namespace StepImportReport {

QString findingText(const StepImport::Entry& entry, const ResourceModule& strings)
{
    if (entry.finding == StepImport::Finding::ColumnIgnored && entry.args.value(1).isEmpty())
        return strings.string(ColumnWithoutHeaderText).arg(entry.args.value(0));
    // All arguments in one pass: a text from the user that holds "%1" stays as it is.
    const QString text = strings.string(FirstFindingText + static_cast<int>(entry.finding));
    const QStringList& a = entry.args;
    switch (a.size()) {
    case 0:
        return text;
    case 1:
        return text.arg(a[0]);
    case 2:
        return text.arg(a[0], a[1]);
    case 3:
        return text.arg(a[0], a[1], a[2]);
    default:
        return text.arg(a[0], a[1], a[2], a[3]);
    }
}

QString linesText(const StepImport::Entry& entry, const ResourceModule& strings)
{
    if (entry.firstLine <= 0)
        return QString();
    if (entry.lastLine > entry.firstLine)
        return strings.string(LinesText).arg(entry.firstLine).arg(entry.lastLine);
    return strings.string(LineText).arg(entry.firstLine);
}

QString lineNumbers(const StepImport::Entry& entry, const ResourceModule& strings)
{
    if (entry.firstLine <= 0)
        return QString();
    if (entry.lastLine > entry.firstLine)
        return strings.string(LineRangeText).arg(entry.firstLine).arg(entry.lastLine);
    return QString::number(entry.firstLine);
}

QString channelText(const StepImport::Entry& entry, const ResourceModule& strings)
{
    return entry.channel >= 0 ? strings.string(ChannelText).arg(entry.channel + 1) : QString();
}

QStringList summary(const StepImport::Plan& plan, const ResourceModule& strings)
{
    QStringList texts;
    for (const StepImport::Insertion& insertion : plan.insertions)
        texts << strings.string(SummaryText)
                     .arg(insertion.steps.size())
                     .arg(insertion.channel + 1)
                     .arg(insertion.line);
    return texts;
}

QString counts(const StepImport::Plan& plan, const ResourceModule& strings)
{
    return strings.string(CountsText).arg(plan.rows).arg(plan.changedRows).arg(plan.refusedRows);
}

QStringList lines(const StepImport::Plan& plan, const ResourceModule& strings)
{
    const bool channels = plan.insertions.size() > 1;
    QStringList texts;
    for (const StepImport::Entry& entry : plan.entries) {
        QStringList place;
        if (channels && entry.channel >= 0)
            place << channelText(entry, strings);
        if (entry.firstLine > 0)
            place << linesText(entry, strings);
        const QString finding = findingText(entry, strings);
        texts << (place.isEmpty() ? finding : place.join(QLatin1Char(' ')) + QStringLiteral(": ") + finding);
    }
    return texts;
}

} // namespace StepImportReport
