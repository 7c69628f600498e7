#pragma once

#include <QString>
#include <QStringList>
#include <deque>

// The instrument's error queue: errors in the order they happened, each as the text that
// "SYST:ERR?" answers ("-222,\"Data out of range\""). It holds at most sixteen; when it is full the
// newest entry becomes "-350,\"Queue overflow\"" and later errors are lost.
class ScpiErrorQueue {
public:
    static constexpr int kCapacity = 16;

    static constexpr int kSyntaxError = -102;
    static constexpr int kDataTypeError = -104;
    static constexpr int kParameterNotAllowed = -108;
    static constexpr int kMissingParameter = -109;
    static constexpr int kUndefinedHeader = -113;
    static constexpr int kHeaderSuffixOutOfRange = -114;
    static constexpr int kSettingsConflict = -221;
    static constexpr int kDataOutOfRange = -222;
    static constexpr int kIllegalParameterValue = -224;
    static constexpr int kQueueOverflow = -350;
    static constexpr int kInputBufferOverrun = -363;

    // The queue entry of an error code: the code, a comma and the quoted description.
    static QString entryText(int code);
    // The answer of an empty queue.
    static QString noErrorText() { return QStringLiteral("0,\"No error\""); }

    void push(int code) { pushText(entryText(code)); }
    // Pushes a ready entry, as an injected fault gives it.
    void pushText(const QString& entry);
    // Removes and returns the oldest entry, or the no-error answer when the queue is empty.
    QString pop();
    void clear() { entries_.clear(); }
    bool isEmpty() const { return entries_.empty(); }
    QStringList entries() const;

private:
    std::deque<QString> entries_;
};
