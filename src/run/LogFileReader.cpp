#include "run/LogFileReader.h"

#include "run/LogCutSeries.h"
#include "ui/ResourceModule.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <charconv>
#include <cstring>

namespace {

constexpr int kFields = 1 + 2 * LogData::kChannels;

// The string table's messages of the reader.
constexpr int kCannotOpenText = 860;
constexpr int kEmptyText = 861;
constexpr int kFieldCountText = 862;
constexpr int kBadHeaderText = 863;
constexpr int kBadTimeText = 864;
constexpr int kBadValueText = 865;
constexpr int kTimeGoesBackText = 866;

QString columnName(int field)
{
    const int channel = (field - 1) / 2 + 1;
    return QStringLiteral("Ch%1[%2]").arg(channel).arg(field % 2 == 1 ? QLatin1Char('A') : QLatin1Char('V'));
}

bool isHeader(const char* begin, const char* end, char separator)
{
    for (const char* time : {"Time[s]", "Time[h:m:s]"}) {
        QByteArray header(time);
        for (int c = 1; c <= LogData::kChannels; ++c)
            header += separator + QByteArray("Ch") + QByteArray::number(c) + "[A]" + separator + "Ch" +
                      QByteArray::number(c) + "[V]";
        if (end - begin == header.size() && std::memcmp(begin, header.constData(), header.size()) == 0)
            return true;
    }
    return false;
}

bool startsLikeHeader(const char* begin, const char* end)
{
    return end - begin >= 5 && std::memcmp(begin, "Time[", 5) == 0;
}

// The separator of a first line: the one of which it has exactly ten.
char separatorOf(const char* begin, const char* end)
{
    if (std::count(begin, end, '\t') == kFields - 1)
        return '\t';
    if (std::count(begin, end, ',') == kFields - 1)
        return ',';
    return 0;
}

// Reads one file into data; false with the problem set.
class FileParser {
public:
    FileParser(LogData& data, LogReadProblem& problem) : data_(data), problem_(problem) {}

    bool parse(const QString& path, bool first)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return fail(LogReadProblem::Kind::CannotOpen, path, 0, file.errorString());
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return fail(LogReadProblem::Kind::CannotOpen, path, 0, file.errorString());
        if (bytes.isEmpty()) {
            // A cut that happened just before the run ended leaves an empty file.
            return first ? fail(LogReadProblem::Kind::Empty, path, 0, QString()) : true;
        }
        const char* position = bytes.constData();
        const char* const fileEnd = position + bytes.size();
        if (first) {
            reserve(bytes.size());
            const char* lineEnd = std::find(position, fileEnd, '\n');
            const char* contentEnd = lineEnd > position && lineEnd[-1] == '\r' ? lineEnd - 1 : lineEnd;
            separator_ = separatorOf(position, contentEnd);
            if (!separator_)
                return fail(LogReadProblem::Kind::FieldCount, path, 1,
                            QString::number(fieldCount(position, contentEnd)));
            data_.separator = QLatin1Char(separator_);
        }
        qint64 lineNumber = 0;
        while (position < fileEnd) {
            ++lineNumber;
            const char* lineEnd = std::find(position, fileEnd, '\n');
            const bool complete = lineEnd < fileEnd;
            const char* contentEnd = lineEnd > position && lineEnd[-1] == '\r' ? lineEnd - 1 : lineEnd;
            const char* begin = position;
            position = complete ? lineEnd + 1 : fileEnd;
            if (lineNumber == 1 && startsLikeHeader(begin, contentEnd)) {
                if (!isHeader(begin, contentEnd, separator_))
                    return fail(LogReadProblem::Kind::BadHeader, path, 1, QString());
                continue;
            }
            if (!parseLine(begin, contentEnd)) {
                if (!complete) {
                    data_.incompleteFile = path;
                    data_.incompleteLine = lineNumber;
                    return true;
                }
                problem_.file = path;
                problem_.line = lineNumber;
                return false;
            }
        }
        return true;
    }

    void finish()
    {
        for (LogData::Channel& channel : data_.channels) {
            for (std::vector<double>* column : {&channel.current, &channel.voltage}) {
                if (std::none_of(column->begin(), column->end(), [](double v) { return !std::isnan(v); }))
                    std::vector<double>().swap(*column);
                else
                    column->shrink_to_fit();
            }
        }
        data_.times.shrink_to_fit();
    }

private:
    bool fail(LogReadProblem::Kind kind, const QString& file, qint64 line, const QString& detail)
    {
        problem_.kind = kind;
        problem_.file = file;
        problem_.line = line;
        problem_.detail = detail;
        return false;
    }

    void reserve(qsizetype bytes)
    {
        // A line of five channels is about 60 bytes.
        const size_t lines = static_cast<size_t>(bytes / 40 + 16);
        data_.times.reserve(lines);
        for (LogData::Channel& channel : data_.channels) {
            channel.current.reserve(lines);
            channel.voltage.reserve(lines);
        }
    }

    static int fieldCount(const char* begin, const char* end)
    {
        const int tabs = static_cast<int>(std::count(begin, end, '\t'));
        const int commas = static_cast<int>(std::count(begin, end, ','));
        return std::max(tabs, commas) + 1;
    }

    // One data line; false with kind and detail set.
    bool parseLine(const char* begin, const char* end)
    {
        const char* fields[kFields + 1];
        int count = 0;
        fields[count++] = begin;
        for (const char* p = begin; p < end; ++p) {
            if (*p == separator_) {
                if (count == kFields) {
                    ++count;
                    break;
                }
                fields[count++] = p + 1;
            }
        }
        if (count != kFields) {
            problem_.kind = LogReadProblem::Kind::FieldCount;
            problem_.detail = QString::number(
                count > kFields ? static_cast<int>(std::count(begin, end, separator_)) + 1 : count);
            return false;
        }
        const auto fieldEnd = [&](int i) { return i + 1 < kFields ? fields[i + 1] - 1 : end; };

        const std::optional<double> time = LogFileReader::parseTime(fields[0], fieldEnd(0));
        if (!time) {
            problem_.kind = LogReadProblem::Kind::BadTime;
            problem_.detail = QString::fromLatin1(fields[0], fieldEnd(0) - fields[0]);
            return false;
        }
        if (!data_.times.empty() && *time < data_.times.back()) {
            problem_.kind = LogReadProblem::Kind::TimeGoesBack;
            problem_.detail = QString::fromLatin1(fields[0], fieldEnd(0) - fields[0]);
            return false;
        }
        double values[kFields - 1];
        for (int i = 1; i < kFields; ++i) {
            if (fields[i] == fieldEnd(i)) {
                values[i - 1] = NAN;
                continue;
            }
            const std::optional<double> value = LogFileReader::parseNumber(fields[i], fieldEnd(i));
            if (!value) {
                problem_.kind = LogReadProblem::Kind::BadValue;
                problem_.detail = QString::fromLatin1(fields[i], fieldEnd(i) - fields[i]);
                problem_.column = columnName(i);
                return false;
            }
            values[i - 1] = *value;
        }
        if (data_.times.empty())
            data_.hoursMinutesSeconds = std::find(fields[0], fieldEnd(0), ':') != fieldEnd(0);
        data_.times.push_back(*time);
        for (int c = 0; c < LogData::kChannels; ++c) {
            LogData::Channel& channel = data_.channels[static_cast<size_t>(c)];
            channel.current.push_back(values[2 * c]);
            channel.voltage.push_back(values[2 * c + 1]);
        }
        return true;
    }

    LogData& data_;
    LogReadProblem& problem_;
    char separator_ = 0;
};

} // namespace

std::optional<double> LogFileReader::parseNumber(const char* begin, const char* end)
{
    if (begin < end && *begin == '+')
        ++begin;
    double value = 0.0;
    const std::from_chars_result result = std::from_chars(begin, end, value);
    if (begin == end || result.ec != std::errc() || result.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> LogFileReader::parseTime(const char* begin, const char* end)
{
    const char* firstColon = std::find(begin, end, ':');
    if (firstColon == end) {
        const std::optional<double> seconds = parseNumber(begin, end);
        if (!seconds || *seconds < 0.0)
            return std::nullopt;
        return seconds;
    }
    const char* secondColon = std::find(firstColon + 1, end, ':');
    if (secondColon == end)
        return std::nullopt;
    int hours = 0;
    int minutes = 0;
    const auto whole = [](const char* from, const char* to, int& value) {
        const std::from_chars_result result = std::from_chars(from, to, value);
        return from != to && result.ec == std::errc() && result.ptr == to && value >= 0;
    };
    if (!whole(begin, firstColon, hours) || !whole(firstColon + 1, secondColon, minutes) || minutes > 59)
        return std::nullopt;
    const std::optional<double> seconds = parseNumber(secondColon + 1, end);
    // The seconds are written "%02.3f" and may round up to 60.000.
    if (!seconds || *seconds < 0.0 || *seconds > 60.0)
        return std::nullopt;
    return 3600.0 * hours + 60.0 * minutes + *seconds;
}

LogFileReader::Result LogFileReader::readFiles(const QStringList& files)
{
    Result result;
    LogData data;
    data.files = files;
    FileParser parser(data, result.problem);
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (!parser.parse(files[i], i == 0))
            return result;
        // A line cut short can only be the end of the series.
        if (!data.incompleteFile.isEmpty() && i + 1 < files.size()) {
            data.files = files.mid(0, i + 1);
            break;
        }
    }
    parser.finish();
    result.data = std::move(data);
    return result;
}

LogFileReader::Result LogFileReader::read(const QString& path)
{
    return readFiles(LogCutSeries::members(path));
}

bool LogFileReader::looksLikeLog(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray line = file.readLine(4096);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    const char* begin = line.constData();
    const char* end = begin + line.size();
    const char separator = separatorOf(begin, end);
    if (!separator)
        return false;
    if (startsLikeHeader(begin, end))
        return isHeader(begin, end, separator);
    const char* timeEnd = std::find(begin, end, separator);
    return parseTime(begin, timeEnd).has_value();
}

QString LogReadProblem::message(const ResourceModule& module) const
{
    const QString name = QFileInfo(file).fileName();
    switch (kind) {
    case Kind::CannotOpen:
        return module.string(kCannotOpenText).arg(file, detail);
    case Kind::Empty:
        return module.string(kEmptyText).arg(name);
    case Kind::FieldCount:
        return module.string(kFieldCountText).arg(name).arg(line).arg(detail);
    case Kind::BadHeader:
        return module.string(kBadHeaderText).arg(name).arg(line);
    case Kind::BadTime:
        return module.string(kBadTimeText).arg(name).arg(line).arg(detail);
    case Kind::BadValue:
        return module.string(kBadValueText).arg(name).arg(line).arg(column, detail);
    case Kind::TimeGoesBack:
        return module.string(kTimeGoesBackText).arg(name).arg(line).arg(detail);
    }
    return QString();
}
