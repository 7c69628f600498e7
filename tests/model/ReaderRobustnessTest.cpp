#include "QtPrinters.h"
#include "RecordingPrompt.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/SequenceFileReader.h"
#include "model/SequenceFileWriter.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <memory>
#include <random>

// Thousands of generated and mutated files through the reader: it must never crash, never trip a
// sanitizer, keep every count within 0..1024, show at most one message, and whatever it accepts
// must write out and read back to the same file.
namespace {

class FileGenerator {
public:
    explicit FileGenerator(std::uint32_t seed) : random_(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool chance(int percent) { return below(100) < percent; }

    QByteArray token(const std::vector<const char*>& choices) { return choices[below(int(choices.size()))]; }

    QByteArray number()
    {
        switch (below(8)) {
        case 0:
            return QByteArray::number(below(2000) - 1000);
        case 1:
            return QByteArray::number(below(100000) / 1000.0, 'f', below(6));
        case 2:
            return token(
                {"abc", "", "-", ".", "1e", "1e400", "-0", "0x1f", "inf", "nan", "  7", "1,5", "\xb5"});
        case 3:
            return QByteArray::number(double(below(1000)) * 1e15, 'g', 17);
        default:
            return QByteArray::number(below(10000) / 100.0, 'f', 2);
        }
    }

    QByteArray separator(char sep)
    {
        // Mostly the right separator, sometimes runs of it or the other one.
        if (chance(5))
            return sep == '\t' ? "," : "\t";
        return QByteArray(chance(10) ? 1 + below(3) : 1, sep);
    }

    QByteArray lineEnd() { return chance(85) ? "\r\n" : (chance(80) ? "\n" : "\r"); }

    QByteArray header(char sep)
    {
        QByteArray line;
        const int fields = chance(85) ? 12 : below(14);
        for (int i = 0; i < fields; ++i) {
            if (i)
                line += separator(sep);
            if (i < 10)
                line += i % 2 == 0 ? token({"CV", "CC", "CR", "CCV", "CRV", "cc", "Cc", "crv", "x", ""})
                                   : number();
            else if (i == 10)
                line += token({"s", "ms", "min", "h", "MIN", "H", "hour", ""});
            else
                line += token({"soft", "hard", "HARD", "Soft", "xx"});
        }
        return line + lineEnd();
    }

    QByteArray stepLine(char sep)
    {
        QByteArray line;
        const int fields = chance(90) ? 4 : below(7);
        for (int i = 0; i < fields; ++i) {
            if (i)
                line += separator(sep);
            line += i < 2 ? number() : token({"0", "1", "10", "01", "x", "", "ramp"});
        }
        if (chance(2))
            line += QByteArray(1500 + below(3000), chance(50) ? sep : 'x');
        return line + lineEnd();
    }

    QByteArray file(char sep)
    {
        QByteArray bytes = header(sep);
        const int blocks = below(8);
        for (int b = 0; b < blocks; ++b) {
            const int steps = chance(3) ? 1000 + below(40) : below(12);
            for (int s = 0; s < steps; ++s)
                bytes += stepLine(sep);
            bytes += lineEnd();
        }
        return bytes;
    }

    QByteArray mutate(QByteArray bytes)
    {
        const int edits = 1 + below(8);
        for (int e = 0; e < edits; ++e) {
            const int at = bytes.isEmpty() ? 0 : below(int(bytes.size()));
            switch (below(6)) {
            case 0:
                if (!bytes.isEmpty())
                    bytes[at] = char(below(256));
                break;
            case 1:
                bytes.insert(at, token({"\t", ",", "\r", "\n", "\r\n", "\0", "\t\t\t", "1"}));
                break;
            case 2:
                bytes.remove(at, below(20));
                break;
            case 3:
                bytes.insert(at, bytes.mid(at, below(200)));
                break;
            case 4:
                bytes.truncate(at);
                break;
            default:
                bytes.insert(at, QByteArray(below(2048), char(below(256))));
                break;
            }
        }
        return bytes;
    }

private:
    std::mt19937 random_;
};

struct ReadResult {
    bool ok = false;
    QStringList messages;
};

ReadResult readBytes(CMainDoc& document, AppSettings& settings, RecordingPrompt& prompt, QByteArray bytes)
{
    prompt.clear();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    SequenceFileReader reader(document, settings, prompt);
    ReadResult result;
    result.ok = reader.readFrom(buffer);
    result.messages = prompt.texts();
    return result;
}

void checkInvariants(const CMainDoc& document, const ReadResult& result, const QByteArray& bytes)
{
    for (int c = 0; c < kChannelCount; ++c) {
        const int count = document.channel(c).count;
        ASSERT_GE(count, 0);
        ASSERT_LE(count, kMaxSteps);
        for (int slot = 0; slot < count; ++slot)
            ASSERT_FALSE(document.channel(c).steps[slot].value.isEmpty());
    }
    ASSERT_LE(result.messages.size(), 1) << bytes.left(200).toStdString();
    if (!result.ok) {
        ASSERT_EQ(result.messages.size(), 1);
        ASSERT_TRUE(result.messages[0].startsWith(QLatin1String("1-th line : ")));
    }
}

} // namespace

TEST(ReaderRobustness, GeneratedAndMutatedFilesNeverBreakTheReader)
{
    FileGenerator generator(20051224);
    AppSettings settings;
    RecordingPrompt prompt;
    auto document = std::make_unique<CMainDoc>(settings, prompt);
    auto again = std::make_unique<CMainDoc>(settings, prompt);
    std::vector<QByteArray> corpus;
    int accepted = 0;
    int truncated = 0;

    for (int i = 0; i < 4000; ++i) {
        settings.Tsr = generator.chance(80) ? 0 : 1;
        settings.VoltPlace = generator.below(3);
        settings.CurrPlace = generator.below(5);
        settings.ResistPlace = generator.below(3);
        const char sep = settings.Tsr == 1 ? ',' : '\t';
        QByteArray bytes;
        if (i < 1500 || corpus.empty()) {
            bytes = generator.file(sep);
            corpus.push_back(bytes);
        } else {
            bytes = generator.mutate(corpus[generator.below(int(corpus.size()))]);
        }

        const ReadResult first = readBytes(*document, settings, prompt, bytes);
        checkInvariants(*document, first, bytes);
        if (HasFatalFailure())
            return;
        if (!first.ok || first.messages.contains(QLatin1String("There is no data.")))
            continue;
        ++accepted;
        truncated += first.messages.isEmpty() ? 0 : 1;

        // What the reader accepted is a document; writing it and reading it back is stable.
        const QByteArray written = SequenceFileWriter(*document, settings, prompt).fileText();
        const ReadResult second = readBytes(*again, settings, prompt, written);
        ASSERT_TRUE(second.ok);
        ASSERT_TRUE(second.messages.isEmpty()) << second.messages.join('|').toStdString();
        ASSERT_EQ(SequenceFileWriter(*again, settings, prompt).fileText(), written);
    }
    // The generator must reach the interesting paths, not only header failures.
    EXPECT_GT(accepted, 1000);
    EXPECT_GT(truncated, 100);
}
