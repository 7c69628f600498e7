#include "model/CsvExport.h"

#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/DecimalText.h"
#include "model/StepColumns.h"
#include "model/StepWords.h"

#include <algorithm>
#include <vector>

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

// A field as a spreadsheet reads it back: quoted when it holds a separator, a quote or a line end.
QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// A flag field by its worksheet word; a stored text that is neither "0" nor "1" is written as it is,
// so that the import says what it makes of it rather than the export hiding it.
QString flagWord(const QString& field, QString (*word)(const QString&))
{
    if (field == QLatin1String("0") || field == QLatin1String("1"))
        return word(field);
    return field;
}

QStringList headers(int channel, bool named, const AppSettings& settings)
{
    const int mode = settings.ModeCh[channel];
    QString modeText = StepColumns::modeName(mode);
    if (mode == ModeCCCV)
        modeText += QLatin1Char(' ') + formatDouble("%.3f", settings.Volt1Ch[channel]) + QStringLiteral(" V");
    else if (mode == ModeCRCV)
        modeText += QLatin1Char(' ') + formatDouble("%.3f", settings.Volt2Ch[channel]) + QStringLiteral(" V");
    const QString control = settings.SeqCtl == HardwareControl ? QStringLiteral("Hardware Control")
                                                               : QStringLiteral("Software Control");
    QStringList cells{StepWords::valueHeader(mode) + QStringLiteral(" (") + modeText + QLatin1Char(')'),
                      StepWords::intervalHeader(settings.Unit, settings.SeqMode) + QStringLiteral(" (") +
                          control + QLatin1Char(')')};
    if (settings.SeqCtl != HardwareControl)
        cells << QStringLiteral("Transition") << QStringLiteral("Load");
    if (named) {
        for (QString& cell : cells)
            cell = QStringLiteral("CH%1 ").arg(channel + 1) + cell;
    }
    return cells;
}

// The steps the file writer would write: those inside the count with a value.
std::vector<QStringList> stepCells(const CMainDoc& document, int channel, const AppSettings& settings)
{
    std::vector<QStringList> rows;
    const ChannelSequence& table = document.channel(channel);
    for (int slot = 0; slot < table.stepCount(); ++slot) {
        const SequenceStep& step = table.steps[slot];
        if (step.value.isEmpty())
            continue;
        QStringList cells{step.value, step.interval};
        if (settings.SeqCtl != HardwareControl)
            cells << flagWord(step.transition, StepWords::transitionText)
                  << flagWord(step.load, StepWords::loadText);
        rows.push_back(cells);
    }
    return rows;
}

QString joined(const QStringList& cells)
{
    QStringList fields;
    for (const QString& cell : cells)
        fields << csvField(cell);
    return fields.join(QLatin1Char(',')) + kLineEnd;
}

} // namespace

namespace CsvExport {

QString channelText(const CMainDoc& document, int channel, const AppSettings& settings)
{
    QString text = joined(headers(channel, false, settings));
    for (const QStringList& row : stepCells(document, channel, settings))
        text += joined(row);
    return text;
}

QString allChannelsText(const CMainDoc& document, const AppSettings& settings)
{
    QStringList header;
    std::vector<std::vector<QStringList>> channels;
    std::size_t rows = 0;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        header << headers(channel, true, settings);
        channels.push_back(stepCells(document, channel, settings));
        rows = std::max(rows, channels.back().size());
    }
    const int width = settings.SeqCtl == HardwareControl ? 2 : 4;
    QString text = joined(header);
    for (std::size_t row = 0; row < rows; ++row) {
        QStringList cells;
        for (const auto& steps : channels) {
            if (row < steps.size())
                cells << steps[row];
            else
                for (int i = 0; i < width; ++i)
                    cells << QString();
        }
        // Empty cells at the end of a row say nothing a spreadsheet keeps.
        while (!cells.isEmpty() && cells.constLast().isEmpty())
            cells.removeLast();
        text += joined(cells);
    }
    return text;
}

} // namespace CsvExport
