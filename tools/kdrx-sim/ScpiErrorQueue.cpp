#include "ScpiErrorQueue.h"

QString ScpiErrorQueue::entryText(int code)
{
    const char* description = "Unknown error";
    switch (code) {
    case kSyntaxError:
        description = "Syntax error";
        break;
    case kDataTypeError:
        description = "Data type error";
        break;
    case kParameterNotAllowed:
        description = "Parameter not allowed";
        break;
    case kMissingParameter:
        description = "Missing parameter";
        break;
    case kUndefinedHeader:
        description = "Undefined header";
        break;
    case kHeaderSuffixOutOfRange:
        description = "Header suffix out of range";
        break;
    case kSettingsConflict:
        description = "Settings conflict";
        break;
    case kDataOutOfRange:
        description = "Data out of range";
        break;
    case kIllegalParameterValue:
        description = "Illegal parameter value";
        break;
    case kQueueOverflow:
        description = "Queue overflow";
        break;
    case kInputBufferOverrun:
        description = "Input buffer overrun";
        break;
    default:
        break;
    }
    return QStringLiteral("%1,\"%2\"").arg(code).arg(QLatin1String(description));
}

void ScpiErrorQueue::pushText(const QString& entry)
{
    if (static_cast<int>(entries_.size()) >= kCapacity) {
        entries_.back() = entryText(kQueueOverflow);
        return;
    }
    entries_.push_back(entry);
}

QString ScpiErrorQueue::pop()
{
    if (entries_.empty())
        return noErrorText();
    QString entry = entries_.front();
    entries_.pop_front();
    return entry;
}

QStringList ScpiErrorQueue::entries() const
{
    QStringList list;
    for (const QString& entry : entries_)
        list << entry;
    return list;
}
