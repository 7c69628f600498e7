#include "ScpiParameters.h"

#include "ScpiMessage.h"

bool ScpiParameters::expect(int count)
{
    if (texts_.size() < count) {
        errors_.push(ScpiErrorQueue::kMissingParameter);
        return false;
    }
    if (texts_.size() > count) {
        errors_.push(ScpiErrorQueue::kParameterNotAllowed);
        return false;
    }
    for (const QString& text : texts_) {
        if (text.isEmpty()) {
            errors_.push(ScpiErrorQueue::kMissingParameter);
            return false;
        }
    }
    return true;
}

std::optional<double> ScpiParameters::decimal(int index)
{
    const std::optional<double> value = ScpiMessage::decimal(texts_.at(index));
    if (!value)
        errors_.push(ScpiErrorQueue::kDataTypeError);
    return value;
}

std::optional<int> ScpiParameters::integer(int index)
{
    const QString& text = texts_.at(index);
    if (!ScpiMessage::decimal(text)) {
        errors_.push(ScpiErrorQueue::kDataTypeError);
        return std::nullopt;
    }
    const std::optional<int> value = ScpiMessage::integer(text);
    if (!value)
        errors_.push(ScpiErrorQueue::kDataOutOfRange);
    return value;
}

std::optional<bool> ScpiParameters::boolean(int index)
{
    const int found = keyword(
        index, {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("OFF"), QStringLiteral("ON")});
    if (found < 0)
        return std::nullopt;
    return found == 1 || found == 3;
}

int ScpiParameters::keyword(int index, const QStringList& keywords)
{
    const int found = static_cast<int>(keywords.indexOf(texts_.at(index).toUpper()));
    if (found < 0)
        errors_.push(ScpiErrorQueue::kIllegalParameterValue);
    return found;
}
