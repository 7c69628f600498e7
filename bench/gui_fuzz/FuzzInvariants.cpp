#include "FuzzInvariants.h"

#include "FuzzSession.h"
#include "RecordingPrompt.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/DecimalText.h"
#include "model/SequenceFileReader.h"
#include "model/SequenceFileWriter.h"
#include "views/CGraphView.h"
#include "views/CGridView.h"
#include "views/WorksheetFormats.h"
#include "views/WorksheetModel.h"
#include "views/WorksheetTable.h"

#include <QBuffer>
#include <cmath>
#include <vector>

namespace {

// The step limit as the user is told it: 255 in normal mode under Hardware Control, else 1024.
int limitOf(const AppSettings& settings)
{
    return settings.SeqMode == NormalSequence && settings.SeqCtl == HardwareControl ? 255 : kMaxSteps;
}

bool isEmpty(const SequenceStep& step)
{
    return step.time.isEmpty() && step.value.isEmpty() && step.interval.isEmpty() &&
           step.transition.isEmpty() && step.frequency.isEmpty() && step.transition2.isEmpty() &&
           step.load.isEmpty() && step.load2.isEmpty();
}

QString describe(const SequenceStep& step)
{
    return QStringLiteral("[%1|%2|%3|%4|%5]")
        .arg(step.time, step.value, step.interval, step.transition, step.load);
}

// Half a unit of the text's last decimal: how far a formatted time may stand from the exact sum.
double halfLastDecimal(const QString& text)
{
    const int point = text.indexOf(QLatin1Char('.'));
    const int decimals = point < 0 ? 0 : int(text.size()) - point - 1;
    return 0.5 * std::pow(10.0, -decimals);
}

// The worksheet's words for a step's transition and load fields.
QString transitionWord(const QString& field)
{
    if (field == QLatin1String("0"))
        return QStringLiteral("Step");
    if (field == QLatin1String("1"))
        return QStringLiteral("Ramp");
    return QStringLiteral("       ");
}

QString loadWord(const QString& field)
{
    if (field == QLatin1String("1"))
        return QStringLiteral("on");
    if (field == QLatin1String("0"))
        return QStringLiteral("off");
    return QStringLiteral("       ");
}

// The fields a sequence file keeps of a step. Under Hardware Control the file holds every step as a
// step transition with the load on, as the instrument runs it; the worksheet shows neither field.
QString savedFields(const SequenceStep& step, bool hardware)
{
    return QStringList{step.value, step.interval, hardware ? QStringLiteral("0") : step.transition,
                       hardware ? QStringLiteral("1") : step.load}
        .join(QLatin1Char('|'));
}

} // namespace

QString FuzzInvariants::check(FuzzSession& session)
{
    if (session.shell().busyDepth() != 0)
        return QStringLiteral("wait cursor: left on (depth %1)").arg(session.shell().busyDepth());
    if (session.documentGeneration() != generation_) {
        generation_ = session.documentGeneration();
        lastCounts_.fill(-1);
    }
    if (!session.document())
        return QString();
    for (QString failure :
         {checkSteps(session), checkWorksheet(session), checkGraph(session), checkFileRoundTrip(session)}) {
        if (!failure.isEmpty())
            return failure;
    }
    return QString();
}

QString FuzzInvariants::checkSteps(FuzzSession& session)
{
    const CMainDoc& document = *session.document();
    const int limit = limitOf(document.settings());
    for (int c = 0; c < kChannelCount; ++c) {
        const ChannelSequence& channel = document.channel(c);
        const int count = channel.count;
        const int last = lastCounts_[c];
        lastCounts_[c] = count;
        if (count < 0 || count > kMaxSteps)
            return QStringLiteral("step count: channel %1 holds %2 steps").arg(c + 1).arg(count);
        // A file may bring more steps than the limit; no edit may add to them.
        if (count > limit && last >= 0 && count > last)
            return QStringLiteral("step limit: channel %1 grew from %2 to %3 steps, limit %4")
                .arg(c + 1)
                .arg(last)
                .arg(count)
                .arg(limit);
        // Nothing lies past the entry row (nor in it when the channel is full): it would show as the
        // entry row's contents once the count moves.
        const int firstEmpty = count >= limit ? count : count + 1;
        for (int slot = firstEmpty; slot < kMaxSteps; ++slot) {
            if (!isEmpty(channel.steps[slot]))
                return QStringLiteral("leftover: channel %1 with %2 steps holds %3 in line %4")
                    .arg(c + 1)
                    .arg(count)
                    .arg(describe(channel.steps[slot]))
                    .arg(slot + 1);
        }
        double sum = 0.0;
        for (int i = 0; i < count; ++i) {
            const SequenceStep& step = channel.steps[i];
            sum += decimalValue(step.interval);
            const double time = decimalValue(step.time);
            if (std::fabs(time - sum) > halfLastDecimal(step.time) + 1e-9 * std::max(1.0, std::fabs(sum)))
                return QStringLiteral("times: channel %1 line %2 shows time %3, the intervals sum to %4")
                    .arg(c + 1)
                    .arg(i + 1)
                    .arg(step.time)
                    .arg(sum, 0, 'f', 6);
        }
    }
    return QString();
}

QString FuzzInvariants::checkWorksheet(FuzzSession& session)
{
    const CMainDoc& document = *session.document();
    const CGridView* grid = session.grid();
    if (!grid)
        return QStringLiteral("worksheet: no worksheet view for the open document");
    const int current = document.currentChannel();
    const ChannelSequence& channel = document.channel(current);
    for (int c = 0; c < kChannelCount; ++c) {
        if (grid->table(c)->isVisibleTo(grid) != (c == current))
            return QStringLiteral("worksheet: channel %1's grid is %2 while channel %3 is current")
                .arg(c + 1)
                .arg(c == current ? QStringLiteral("hidden") : QStringLiteral("shown"))
                .arg(current + 1);
    }
    const QString title = QStringLiteral("Worksheet - Data Count:%1").arg(channel.count);
    if (grid->windowTitle() != title)
        return QStringLiteral("worksheet: title \"%1\", expected \"%2\"").arg(grid->windowTitle(), title);
    const AppSettings& settings = document.settings();
    const bool hardware = settings.SeqCtl == HardwareControl;
    const WorksheetModel* model = grid->model(current);
    const WorksheetTable* table = grid->table(current);
    const int rows = hardware ? 255 : kMaxSteps;
    if (model->rowCount() != rows)
        return QStringLiteral("worksheet: %1 lines shown, expected %2").arg(model->rowCount()).arg(rows);
    for (int column : {int(WorksheetFormats::TransitionColumn), int(WorksheetFormats::LoadColumn)}) {
        if (table->isColumnHidden(column) != hardware)
            return QStringLiteral("worksheet: column %1 is %2 under %3")
                .arg(column)
                .arg(hardware ? QStringLiteral("shown") : QStringLiteral("hidden"))
                .arg(hardware ? QStringLiteral("Hardware Control") : QStringLiteral("Software Control"));
    }
    for (int row = 0; row < rows; ++row) {
        const int line = row + 1;
        QString expected[6];
        if (line <= channel.count + 1) {
            const SequenceStep& step = channel.steps[row];
            expected[1] = step.time;
            expected[2] = step.value;
            expected[3] = step.interval;
            expected[4] = transitionWord(step.transition);
            expected[5] = loadWord(step.load);
        }
        for (int column = 1; column <= 5; ++column) {
            if (table->isColumnHidden(column))
                continue;
            const QString shown = model->data(model->index(row, column), Qt::DisplayRole).toString();
            if (shown != expected[column])
                return QStringLiteral("worksheet: channel %1 line %2 column %3 shows \"%4\", the document "
                                      "holds \"%5\" (%6 steps)")
                    .arg(current + 1)
                    .arg(line)
                    .arg(column)
                    .arg(shown, expected[column])
                    .arg(channel.count);
        }
    }
    return QString();
}

QString FuzzInvariants::checkGraph(FuzzSession& session)
{
    const CMainDoc& document = *session.document();
    const CGraphView* graph = session.graph();
    if (!graph)
        return QStringLiteral("graph: no graph view for the open document");
    for (int c = 0; c < kChannelCount; ++c) {
        const ChannelSequence& channel = document.channel(c);
        const ChannelPlot& plot = graph->plot(c);
        if (plot.count() != channel.count)
            return QStringLiteral("graph: channel %1 has %2 segments for %3 steps")
                .arg(c + 1)
                .arg(plot.count())
                .arg(channel.count);
        double sum = 0.0;
        for (int i = 0; i < channel.count; ++i) {
            const SequenceStep& step = channel.steps[i];
            const StepSegment& segment = plot.segment(i);
            sum += decimalValue(step.interval);
            const double value = decimalValue(step.value);
            const int transition =
                step.transition == QLatin1String("1") ? StepSegment::Ramp : StepSegment::Step;
            if (std::fabs(segment.value - value) > 1e-9 * std::max(1.0, std::fabs(value)) ||
                segment.transition != transition ||
                std::fabs(segment.endTime - sum) > 1e-6 * std::max(1.0, std::fabs(sum)))
                return QStringLiteral(
                           "graph: channel %1 segment %2 is (%3 until %4, transition %5), the step "
                           "is %6")
                    .arg(c + 1)
                    .arg(i + 1)
                    .arg(segment.value)
                    .arg(segment.endTime)
                    .arg(segment.transition)
                    .arg(describe(step));
        }
    }
    // The selection, its handle and a drag are one state: a drag is of what is selected.
    const int current = document.currentChannel();
    const ChannelPlot& plot = graph->plot(current);
    const int selected = graph->selectedIndex();
    const bool timeHandle = graph->handle() == CGraphView::Handle::Time;
    const int pieces = timeHandle ? int(plot.boundaries().size()) : plot.count();
    if (selected < -1 || selected >= pieces)
        return QStringLiteral("graph: piece %1 of %2 is selected").arg(selected).arg(pieces);
    const CGraphView::Drag drag = graph->drag();
    if ((drag == CGraphView::Drag::Value || drag == CGraphView::Drag::Time) && selected < 0)
        return QStringLiteral("graph: a %1 drag runs without a selection")
            .arg(drag == CGraphView::Drag::Value ? QStringLiteral("value") : QStringLiteral("time"));
    if (selected >= 0 && timeHandle && !graph->showsBoundaryLines())
        return QStringLiteral("graph: a boundary line is selected while boundary lines are hidden");
    return QString();
}

QString FuzzInvariants::checkFileRoundTrip(FuzzSession& session)
{
    CMainDoc& document = *session.document();
    const bool hardware = document.settings().SeqCtl == HardwareControl;
    std::vector<QStringList> before(kChannelCount);
    for (int c = 0; c < kChannelCount; ++c) {
        const ChannelSequence& channel = document.channel(c);
        for (int i = 0; i < channel.count; ++i)
            before[size_t(c)] << savedFields(channel.steps[i], hardware);
    }
    // Written and read back with settings and a prompt of their own: the program's stay as they are.
    AppSettings writeSettings = document.settings();
    RecordingPrompt quiet;
    QByteArray bytes = SequenceFileWriter(document, writeSettings, quiet).fileText();
    AppSettings readSettings = document.settings();
    CMainDoc reread(readSettings, quiet);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    if (!SequenceFileReader(reread, readSettings, quiet).readFrom(buffer))
        return QStringLiteral("file: the written document cannot be read back");
    for (int c = 0; c < kChannelCount; ++c) {
        const ChannelSequence& channel = reread.channel(c);
        QStringList after;
        for (int i = 0; i < channel.count; ++i)
            after << savedFields(channel.steps[i], hardware);
        const QStringList& was = before[size_t(c)];
        if (after == was)
            continue;
        int line = 0;
        while (line < after.size() && line < was.size() && after[line] == was[line])
            ++line;
        return QStringLiteral("file: channel %1 reads back with %2 steps for %3; line %4 was %5, reads %6%7")
            .arg(c + 1)
            .arg(after.size())
            .arg(was.size())
            .arg(line + 1)
            .arg(was.value(line, QStringLiteral("(none)")), after.value(line, QStringLiteral("(none)")))
            .arg(quiet.entries.empty() ? QString()
                                       : QStringLiteral("; reader: ") + quiet.entries.front().text);
    }
    return QString();
}
