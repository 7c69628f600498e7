#include "views/GraphStepEditor.h"

#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/DecimalText.h"
#include "model/SequenceFormats.h"
#include "views/ChannelPlot.h"
#include "views/SequenceViewLink.h"
#include "views/WorksheetFormats.h"

#include <cmath>

using namespace WorksheetFormats;

GraphStepEditor::GraphStepEditor(CMainDoc& document, const AppSettings& settings)
    : document_(document), settings_(settings)
{
}

int GraphStepEditor::modeOf(int channel) const
{
    return settings_.ModeCh[channel];
}

std::optional<QString> GraphStepEditor::valueText(int channel, double value) const
{
    return acceptedValue(formatDouble("%.9f", value), modeOf(channel), settings_);
}

QString GraphStepEditor::intervalText(double interval) const
{
    if (settings_.SeqMode == NormalSequence && settings_.Unit == UnitS && settings_.SeqCtl == SoftwareControl)
        return SequenceFormats::halfSecondIntervalText(interval);
    return formatDouble(timeTextFormat(settings_), interval);
}

bool GraphStepEditor::storeValue(ChannelPlot& plot, int channel, int index, double value)
{
    ChannelSequence& sequence = document_.channel(channel);
    if (index < 0 || index >= sequence.count || index >= plot.count())
        return false;
    const std::optional<QString> text = valueText(channel, value);
    if (!text)
        return false;
    sequence.steps[index].value = *text;
    plot.setValue(index, decimalValue(*text));
    if (worksheet_)
        worksheet_->refreshLine(channel, index + 1);
    document_.setModified();
    return true;
}

bool GraphStepEditor::storeInterval(ChannelPlot& plot, int channel, int index, double interval)
{
    ChannelSequence& sequence = document_.channel(channel);
    if (index < 0 || index >= sequence.count || index >= plot.count())
        return false;
    // The interval is rounded as it will be stored before it is held against the bounds, as for a
    // drawn step: the same 0.4 s is half a second whichever way the mouse gave it.
    const QString text = intervalText(interval);
    const double stored = decimalValue(text);
    const IntervalBounds bounds = intervalBounds(settings_);
    if (!(stored >= bounds.minimum && stored <= bounds.maximum))
        return false;
    sequence.steps[index].interval = text;
    document_.recomputeTimes(channel, index);
    plot.setInterval(index, stored);
    if (worksheet_) {
        worksheet_->refreshLine(channel, index + 1);
        worksheet_->refreshTimesFrom(channel, index + 1);
    }
    document_.setModified();
    return true;
}

bool GraphStepEditor::appendDrawnStep(ChannelPlot& plot, int channel, const QPoint& start,
                                      const QPoint& release)
{
    ChannelSequence& sequence = document_.channel(channel);
    const int count = sequence.count;
    if (count >= stepLimit(settings_) || count != plot.count())
        return false;
    const double previousEnd = count > 0 ? plot.segment(count - 1).endTime : 0.0;
    double interval = plot.timeAt(release.x()) - previousEnd;
    const std::optional<QString> value = valueText(channel, plot.valueAt(release.y()));
    const IntervalBounds bounds = intervalBounds(settings_);
    if (interval < bounds.minimum / 2.0 || !value)
        return false;

    int transition = std::fabs(plot.valueAt(start.y()) - plot.valueAt(release.y())) >= 0.01 ? 1 : 0;
    if (settings_.SeqMode == FastSequence) {
        transition = 0;
        interval = settings_.SeqTime;
    } else if (settings_.SeqCtl == HardwareControl) {
        transition = 0;
    }

    const QString drawnInterval = intervalText(interval);
    const double storedInterval = decimalValue(drawnInterval);
    if (storedInterval == 0.0 || (settings_.SeqMode != FastSequence && storedInterval > bounds.maximum))
        return false;

    SequenceStep& step = sequence.steps[count];
    step.clear();
    step.value = *value;
    step.interval = drawnInterval;
    step.time = formatDouble(timeTextFormat(settings_), previousEnd + storedInterval);
    step.transition = QString::number(transition);
    step.load = QStringLiteral("1");
    step.load2 = QStringLiteral("1");
    step.frequency = formatDouble("%.2f", settings_.Freq);
    step.transition2 = QString::number(settings_.State);
    sequence.count = count + 1;

    plot.appendStep(
        StepValues{previousEnd + storedInterval, storedInterval, decimalValue(step.value), transition});
    if (worksheet_)
        worksheet_->refreshLine(channel, count + 1);
    document_.setModified();
    return true;
}

bool GraphStepEditor::changeTransition(ChannelPlot& plot, int channel, int index, int transition)
{
    ChannelSequence& sequence = document_.channel(channel);
    if (index < 0 || index >= sequence.count || index >= plot.count())
        return false;
    if (plot.segment(index).transition == transition)
        return false;
    sequence.steps[index].transition =
        transition == StepSegment::Ramp ? QStringLiteral("1") : QStringLiteral("0");
    plot.setTransition(index, transition);
    if (worksheet_)
        worksheet_->refreshLine(channel, index + 1);
    document_.setModified();
    return true;
}

void GraphStepEditor::deleteStep(int channel, int index)
{
    ChannelSequence& sequence = document_.channel(channel);
    if (index < 0 || index >= sequence.count)
        return;
    for (int slot = index; slot + 1 < sequence.count; ++slot)
        sequence.steps[slot].assignFieldsButTime(sequence.steps[slot + 1]);
    sequence.steps[sequence.count - 1].clear();
    --sequence.count;
    // The later steps keep their intervals; their end times move up by the deleted interval.
    if (index < sequence.count)
        document_.recomputeTimes(channel, index);
    if (worksheet_)
        worksheet_->refreshLinesFrom(channel, index + 1);
    document_.setModified();
}
