#include "views/WorksheetModel.h"

#include "model/CMainDoc.h"
#include "views/WorksheetFormats.h"

#include <QColor>
#include <algorithm>

using namespace WorksheetFormats;

namespace {

const QColor kTimeBackground(240, 240, 240);

} // namespace

WorksheetModel::WorksheetModel(const CMainDoc& document, int channel, QObject* parent)
    : QAbstractTableModel(parent), document_(document), channel_(channel), shownLines_(kMaxSteps)
{
}

int WorksheetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shownLines_;
}

int WorksheetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString WorksheetModel::cellText(int line, int column) const
{
    if (column == LineColumn)
        return QString::number(line);
    const ChannelSequence& table = document_.channel(channel_);
    // Only the steps and the entry row after them hold texts of their own; leftovers further down
    // are nobody's steps.
    if (line < 1 || line > kMaxSteps || line > table.count + 1)
        return QString();
    const SequenceStep& step = table.steps[line - 1];
    switch (column) {
    case TimeColumn:
        return step.time;
    case ValueColumn:
        return step.value;
    case IntervalColumn:
        return step.interval;
    case TransitionColumn:
        return transitionText(step.transition);
    case LoadColumn:
        return loadText(step.load);
    case Load2Column:
        return load2Text(step.load2);
    case FrequencyColumn:
        return step.frequency;
    case Transition2Column:
        return transitionText(step.transition2).trimmed();
    default:
        return QString();
    }
}

QVariant WorksheetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row() + 1, index.column());
    case Qt::BackgroundRole:
        if (index.column() == TimeColumn)
            return kTimeBackground;
        break;
    case Qt::TextAlignmentRole:
        // Numbers line up on the right, words on the left, the line number in the middle.
        if (index.column() == LineColumn)
            return int(Qt::AlignCenter);
        if (index.column() <= IntervalColumn || index.column() == FrequencyColumn)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        break;
    }
    return QVariant();
}

QString WorksheetModel::headerText(int column) const
{
    switch (column) {
    case TimeColumn:
        return timeHeader_;
    case ValueColumn:
        return valueHeader_;
    case IntervalColumn:
        return intervalHeader_;
    case TransitionColumn:
        return QStringLiteral("Transition");
    case LoadColumn:
        return QStringLiteral("Load");
    default:
        return QString();
    }
}

QVariant WorksheetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return QString::number(section + 1);
    return headerText(section);
}

Qt::ItemFlags WorksheetModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // Editing goes through the worksheet's own editors, never the view's delegates.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void WorksheetModel::setShownLines(int lines)
{
    lines = std::clamp(lines, 0, kMaxSteps);
    if (lines == shownLines_)
        return;
    beginResetModel();
    shownLines_ = lines;
    endResetModel();
}

void WorksheetModel::setTimeHeaders(const QString& time, const QString& interval)
{
    timeHeader_ = time;
    intervalHeader_ = interval;
    emit headerDataChanged(Qt::Horizontal, TimeColumn, IntervalColumn);
}

void WorksheetModel::setValueHeader(const QString& value)
{
    valueHeader_ = value;
    emit headerDataChanged(Qt::Horizontal, ValueColumn, ValueColumn);
}

void WorksheetModel::columnChanged(int firstLine, int lastLine, int firstColumn, int lastColumn)
{
    const int first = std::max(firstLine, 1);
    const int last = std::min(lastLine, shownLines_);
    if (first > last)
        return;
    emit dataChanged(index(first - 1, firstColumn), index(last - 1, lastColumn), {Qt::DisplayRole});
}

void WorksheetModel::linesChanged(int firstLine, int lastLine)
{
    columnChanged(firstLine, lastLine, 0, ColumnCount - 1);
}

void WorksheetModel::timesChanged(int firstLine, int lastLine)
{
    columnChanged(firstLine, lastLine, TimeColumn, TimeColumn);
}
