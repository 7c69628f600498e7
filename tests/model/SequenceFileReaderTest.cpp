#include "model/SequenceFileReader.h"

#include "ModelTestSupport.h"

#include <QBuffer>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

const QByteArray kSoftHeader = "CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft\r\n";
const QByteArray kFailed = "Failed to read the file";

QString systemReason(int error)
{
    return QString::fromLocal8Bit(strerror(error));
}

// The reader's message for a file it cannot open: the file's path and why.
QString cannotOpen(const QString& path, const QString& reason)
{
    return QStringLiteral("Cannot open the specified file as it does not exist.\n%1: %2").arg(path, reason);
}

QByteArray emptyBlocks(int n)
{
    return QByteArray("\r\n").repeated(n);
}

} // namespace

class SequenceFileReaderTest : public DocumentFixture {
protected:
    // Opens the bytes as the program's Open does.
    bool open(const QByteArray& bytes)
    {
        return document->openDocument(writeFile(QStringLiteral("in.tsr"), bytes));
    }
    const SequenceStep& stepOf(int c, int slot) const { return document->channel(c).steps[slot]; }
    QStringList counts() const
    {
        QStringList list;
        for (int c = 0; c < kChannelCount; ++c)
            list << QString::number(document->channel(c).count);
        return list;
    }
};

TEST_F(SequenceFileReaderTest, ReadsAFileInTheDocumentedLayout)
{
    ASSERT_TRUE(open("CC\t0\tCC\t0\tCCV\t12.000\tCC\t0\tCC\t0\ts\tsoft\r\n"
                     "1.5000\t10.0\t0\t1\r\n"
                     "0.0000\t2.5\t1\t0\r\n"
                     "\r\n\r\n\r\n\r\n\r\n"));
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join('|').toStdString();
    EXPECT_EQ(counts().join(','), "2,0,0,0,0");
    EXPECT_EQ(settings.ModeCh[0], ModeCC);
    EXPECT_EQ(settings.ModeCh[2], ModeCCCV);
    EXPECT_DOUBLE_EQ(settings.Volt1Ch[2], 12.0);
    EXPECT_DOUBLE_EQ(settings.Volt2Ch[2], 0.0);
    EXPECT_EQ(settings.ModeChSoft[2], ModeCCCV);
    EXPECT_EQ(settings.Unit, UnitS);
    EXPECT_EQ(settings.SeqCtl, SoftwareControl);

    const SequenceStep& first = stepOf(0, 0);
    EXPECT_EQ(first.value, "1.5000");
    EXPECT_EQ(first.interval, "10.0");
    EXPECT_EQ(first.transition, "0");
    EXPECT_EQ(first.load, "1");
    EXPECT_EQ(first.load2, "1");
    EXPECT_TRUE(first.time.isEmpty());
    EXPECT_TRUE(first.frequency.isEmpty());
    EXPECT_EQ(stepOf(0, 1).value, "0.0000");
    EXPECT_EQ(stepOf(0, 1).interval, "2.5");
    EXPECT_EQ(stepOf(0, 1).transition, "1");
    EXPECT_EQ(stepOf(0, 1).load, "0");
}

TEST_F(SequenceFileReaderTest, AMissingFileFailsWithBothMessages)
{
    EXPECT_FALSE(document->openDocument(path(QStringLiteral("nowhere.tsr"))));
    EXPECT_EQ(prompt.texts(),
              QStringList({cannotOpen(path(QStringLiteral("nowhere.tsr")), systemReason(ENOENT)), kFailed}));
    prompt.clear();
    EXPECT_FALSE(document->openDocument(dir.path()));
    EXPECT_EQ(prompt.texts(), QStringList({cannotOpen(dir.path(), systemReason(EISDIR)), kFailed}));
}

// Only a regular file is a document: the open of a FIFO would wait for a writer for ever, a device
// such as /dev/zero never ends, and /dev/null is no file the user saved.
TEST_F(SequenceFileReaderTest, OnlyRegularFilesOpen)
{
    const QString fifo = path(QStringLiteral("fifo.tsr"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString regular = writeFile(QStringLiteral("regular.tsr"), kSoftHeader + "1\t1\t0\t1\r\n");
    const QString link = path(QStringLiteral("link.tsr"));
    ASSERT_TRUE(QFile::link(regular, link));
    // Each one stops the test when it opens: the next could then block or never end.
    for (const QString& special : {QStringLiteral("/dev/null"), fifo, QStringLiteral("/dev/zero")}) {
        prompt.clear();
        fillChannel(0, 3);
        ASSERT_FALSE(document->openDocument(special)) << special.toStdString();
        EXPECT_EQ(prompt.texts(), QStringList({cannotOpen(special, "not a regular file"), kFailed}));
        EXPECT_EQ(counts().join(','), "0,0,0,0,0");
    }
    // A link to a regular file is that file.
    prompt.clear();
    EXPECT_TRUE(document->openDocument(link));
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join('|').toStdString();
    EXPECT_EQ(counts().join(','), "1,0,0,0,0");
}

namespace {

// A device whose bytes never reach a line end: the start, then digits, up to a limit far beyond
// any line of the format; it counts what was taken from it.
class EndlessLine : public QIODevice {
public:
    EndlessLine(QByteArray start, qint64 limit) : start_(std::move(start)), limit_(limit)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    qint64 delivered() const { return delivered_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 count = std::min(maxSize, limit_ - delivered_);
        for (qint64 i = 0; i < count; ++i, ++delivered_)
            data[i] = delivered_ < start_.size() ? start_[delivered_] : '1';
        return count;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray start_;
    qint64 limit_;
    qint64 delivered_ = 0;
};

} // namespace

// A line longer than any the format holds is an illegal line, whatever follows: reading stops
// there, and memory stays bounded even for a line that never ends.
TEST_F(SequenceFileReaderTest, ALineWithoutEndIsIllegalAndReadOnlyInPart)
{
    struct Case {
        const char* what;
        QByteArray start;
        bool opens;
        QString message;
        QString counts;
    };
    const Case cases[] = {
        {"header", QByteArray(), false, "1-th line : 1-th data is illegal.", "0,0,0,0,0"},
        {"step line", kSoftHeader + "1\t1\t0\t1\r\n", true, "3-th line : 1-th data is illegal.", "1,0,0,0,0"},
        {"first line of channel 2", kSoftHeader + "1\t1\t0\t1\r\n\r\n", true,
         "4-th line : 1-th data is illegal.", "1,0,0,0,0"},
    };
    constexpr qint64 kEndlessLimit = 64 * 1024 * 1024;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompt.clear();
        EndlessLine device(c.start, kEndlessLimit);
        SequenceFileReader reader(*document, settings, prompt);
        EXPECT_EQ(reader.readFrom(device), c.opens);
        EXPECT_EQ(prompt.texts(), QStringList{c.message});
        EXPECT_EQ(counts().join(','), c.counts);
        EXPECT_LT(device.delivered(), 1024 * 1024);
    }
}

TEST_F(SequenceFileReaderTest, AnEmptyFileOpensEmptyAndLeavesTheSettings)
{
    settings.SeqMode = FastSequence;
    settings.Mode = 1;
    settings.SeqCtl = HardwareControl;
    fillChannel(1, 4);
    EXPECT_TRUE(open(QByteArray()));
    EXPECT_EQ(prompt.texts(), QStringList({"There is no data."}));
    EXPECT_EQ(counts().join(','), "0,0,0,0,0");
    EXPECT_EQ(settings.SeqMode, FastSequence);
    EXPECT_EQ(settings.Mode, 1);
    EXPECT_EQ(settings.SeqCtl, HardwareControl);
}

TEST_F(SequenceFileReaderTest, HeaderWithoutFieldsFails)
{
    for (const QByteArray& header :
         {QByteArray("\r\n"), QByteArray("\t\t\t\r\n"), QByteArray("\n1\t1\t0\t1\n")}) {
        prompt.clear();
        EXPECT_FALSE(open(header)) << header.toStdString();
        EXPECT_EQ(prompt.texts(), QStringList({"1-th line : 1-th data is illegal.", kFailed}));
    }
}

TEST_F(SequenceFileReaderTest, HeaderWithoutUnitFailsAfterChangingTheChannelModes)
{
    settings.SeqMode = FastSequence;
    settings.Mode = 1;
    settings.Unit = UnitMin;
    settings.SeqCtl = HardwareControl;
    EXPECT_FALSE(open("CC\t0\tCR\t0\tCCV\t12.5\tCRV\t3\tCV\t9\r\n1\t1\t0\t1\r\n"));
    EXPECT_EQ(prompt.texts(), QStringList({"1-th line : 9-th data is illegal.", kFailed}));
    EXPECT_EQ(settings.ModeCh[0], ModeCC);
    EXPECT_EQ(settings.ModeCh[1], ModeCR);
    EXPECT_EQ(settings.ModeCh[2], ModeCCCV);
    EXPECT_EQ(settings.ModeCh[3], ModeCRCV);
    EXPECT_EQ(settings.ModeCh[4], ModeCV);
    EXPECT_DOUBLE_EQ(settings.Volt1Ch[2], 12.5);
    EXPECT_DOUBLE_EQ(settings.Volt2Ch[3], 3.0);
    EXPECT_DOUBLE_EQ(settings.Volt1Ch[4], 0.0);
    // Nothing after the channel pairs changed, and the stored mode sets did not either.
    EXPECT_EQ(settings.SeqMode, FastSequence);
    EXPECT_EQ(settings.Mode, 1);
    EXPECT_EQ(settings.Unit, UnitMin);
    EXPECT_EQ(settings.SeqCtl, HardwareControl);
    EXPECT_EQ(settings.ModeChSoft, (AppSettings::PerChannel<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(settings.ModeChHard, (AppSettings::PerChannel<int>{1, 1, 1, 1, 1}));
    EXPECT_EQ(counts().join(','), "0,0,0,0,0");
}

TEST_F(SequenceFileReaderTest, HeaderBreakingOffNamesTheChannelsValueField)
{
    const struct {
        const char* header;
        const char* message;
    } cases[] = {
        {"CC\r\n", "1-th line : 1-th data is illegal."},
        {"CC\t0\r\n", "1-th line : 1-th data is illegal."},
        {"CC\t0\tCC\r\n", "1-th line : 3-th data is illegal."},
        {"CC\t0\tCC\t0\r\n", "1-th line : 3-th data is illegal."},
        {"CC\t0\tCC\t0\tCC\t0\tCC\r\n", "1-th line : 7-th data is illegal."},
        {"CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\r\n", "1-th line : 9-th data is illegal."},
    };
    for (const auto& c : cases) {
        prompt.clear();
        EXPECT_FALSE(open(c.header)) << c.header;
        EXPECT_EQ(prompt.texts(), QStringList({c.message, kFailed})) << c.header;
    }
}

TEST_F(SequenceFileReaderTest, ConstantVoltagesFollowTheHeaderMode)
{
    settings.Volt1Ch = {7, 7, 7, 7, 7};
    settings.Volt2Ch = {8, 8, 8, 8, 8};
    ASSERT_TRUE(open("CCV\t12\tCRV\t5.5\tCC\t3\tCR\t4\tCV\t6\ts\tsoft\r\n"));
    EXPECT_EQ(settings.Volt1Ch, (AppSettings::PerChannel<double>{12, 0, 0, 0, 0}));
    EXPECT_EQ(settings.Volt2Ch, (AppSettings::PerChannel<double>{0, 5.5, 0, 0, 0}));
}

TEST_F(SequenceFileReaderTest, ModeTokensAreExactInUpperOrLowerCase)
{
    ASSERT_TRUE(open("cc\t0\tCc\t0\tcrv\t1\tcR\t0\tccv\t2\ts\tsoft\r\n"));
    EXPECT_EQ(settings.ModeCh, (AppSettings::PerChannel<int>{ModeCC, ModeCV, ModeCRCV, ModeCV, ModeCCCV}));
    EXPECT_EQ(settings.ModeChSoft, settings.ModeCh);
}

TEST_F(SequenceFileReaderTest, ElevenFieldsReadAsSoftwareControl)
{
    settings.SeqCtl = HardwareControl;
    ASSERT_TRUE(open("CV\t0\tCV\t0\tCV\t0\tCV\t0\tCV\t0\tmin\r\n"));
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_EQ(settings.SeqCtl, SoftwareControl);
    EXPECT_EQ(settings.Unit, UnitMin);
}

TEST_F(SequenceFileReaderTest, UnitTokensSetOnlyTheActiveUnit)
{
    const struct {
        const char* unit;
        TimeUnit expected;
    } cases[] = {{"ms", UnitS},    {"s", UnitS}, {"MIN", UnitMin},
                 {"Min", UnitMin}, {"H", UnitH}, {"hours", UnitS}};
    for (const auto& c : cases) {
        settings.UnitSoft = UnitMs;
        settings.UnitHard = UnitH;
        settings.Unit = UnitMs;
        ASSERT_TRUE(open(QByteArray("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\t") + c.unit + "\tSOFT\r\n"));
        EXPECT_EQ(settings.Unit, c.expected) << c.unit;
        EXPECT_EQ(settings.UnitSoft, UnitMs);
        EXPECT_EQ(settings.UnitHard, UnitH);
    }
}

TEST_F(SequenceFileReaderTest, HardwareControlForcesCcOrCrSecondsAndStepTransitions)
{
    settings.ModeChSoft = {4, 4, 4, 4, 4};
    settings.MonSoft = 1;
    settings.MonTiming = 1;
    ASSERT_TRUE(open("CV\t0\tCCV\t12\tCR\t0\tCRV\t5\tCC\t0\tmin\tHard\r\n"
                     "1.5\t1.23456\t1\t1\r\n"
                     "2.5\t3\r\n"
                     "\r\n"));
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join('|').toStdString();
    EXPECT_EQ(settings.SeqCtl, HardwareControl);
    EXPECT_EQ(settings.Unit, UnitS);
    EXPECT_EQ(settings.ModeCh, (AppSettings::PerChannel<int>{ModeCC, ModeCC, ModeCR, ModeCC, ModeCC}));
    EXPECT_EQ(settings.ModeChHard, settings.ModeCh);
    EXPECT_EQ(settings.ModeChSoft, (AppSettings::PerChannel<int>{4, 4, 4, 4, 4}));
    EXPECT_EQ(settings.MonTiming, 0);
    // The header's voltage went in before the mode became CC.
    EXPECT_DOUBLE_EQ(settings.Volt1Ch[1], 12.0);

    ASSERT_EQ(document->channel(0).count, 2);
    EXPECT_EQ(stepOf(0, 0).value, "1.5000");
    EXPECT_EQ(stepOf(0, 0).interval, "1.235");
    EXPECT_EQ(stepOf(0, 0).transition, "0");
    EXPECT_EQ(stepOf(0, 1).interval, "3.000");
    EXPECT_EQ(stepOf(0, 1).transition, "0");
    EXPECT_EQ(stepOf(0, 1).load, "0");
}

TEST_F(SequenceFileReaderTest, AReadResetsSequenceModeAndTheRunDialogScaling)
{
    settings.SeqMode = FastSequence;
    settings.Mode = 1;
    ASSERT_TRUE(open(kSoftHeader));
    EXPECT_EQ(settings.SeqMode, NormalSequence);
    EXPECT_EQ(settings.Mode, 0);
}

TEST_F(SequenceFileReaderTest, SoftwareControlIntervalsInSecondsBecomeHalfSeconds)
{
    ASSERT_TRUE(open(kSoftHeader + "1\t1.23\t0\t1\r\n1\t1.3\t0\t1\r\n1\t1.8\t0\t1\r\n1\t1200.3\t0\t1\r\n"
                                   "1\t1500\t0\t1\r\n"));
    ASSERT_EQ(document->channel(0).count, 5);
    const char* expected[] = {"1.0", "1.5", "2.0", "999.5", "1500.0"};
    for (int slot = 0; slot < 5; ++slot)
        EXPECT_EQ(stepOf(0, slot).interval, expected[slot]) << slot;
}

TEST_F(SequenceFileReaderTest, MinutesAndHoursKeepOneDecimal)
{
    ASSERT_TRUE(open("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\th\tsoft\r\n1\t1.23\t0\t1\r\n1\t1200.36\t0\t1\r\n"));
    EXPECT_EQ(stepOf(0, 0).interval, "1.2");
    EXPECT_EQ(stepOf(0, 1).interval, "1200.4");
}

TEST_F(SequenceFileReaderTest, SetValuesAreFormattedByEachChannelsMode)
{
    settings.VoltPlace = 0;
    settings.CurrPlace = 1;
    settings.ResistPlace = 0;
    ASSERT_TRUE(open("CV\t0\tCC\t0\tCR\t0\tCCV\t1\tCRV\t1\ts\tsoft\r\n"
                     "1.23456\t1\t0\t1\r\n\r\n"
                     "1.23456\t1\t0\t1\r\n\r\n"
                     "1.23456\t1\t0\t1\r\n\r\n"
                     "1.23456\t1\t0\t1\r\nabc\t1\t0\t1\r\n\r\n"
                     "1.23456\t1\t0\t1\r\n\r\n"));
    EXPECT_EQ(stepOf(0, 0).value, "1.23");
    EXPECT_EQ(stepOf(1, 0).value, "1.235");
    EXPECT_EQ(stepOf(2, 0).value, "1.2346");
    EXPECT_EQ(stepOf(3, 0).value, "1.235");
    EXPECT_EQ(stepOf(3, 1).value, "0.000");
    EXPECT_EQ(stepOf(4, 0).value, "1.2346");
}

TEST_F(SequenceFileReaderTest, RunsOfSeparatorsCountAsOne)
{
    settings.VoltPlace = 1;
    ASSERT_TRUE(open("CV\t0\tCV\t0\tCV\t0\tCV\t0\tCV\t0\ts\tsoft\r\n"
                     "2.0\t\t3.0\t1\r\n"
                     "\t\t4.0\t5.0\t0\t1\t\t\r\n"));
    ASSERT_EQ(document->channel(0).count, 2);
    EXPECT_EQ(stepOf(0, 0).value, "2.000");
    EXPECT_EQ(stepOf(0, 0).interval, "3.0");
    EXPECT_EQ(stepOf(0, 0).transition, "1");
    EXPECT_EQ(stepOf(0, 0).load, "0");
    EXPECT_EQ(stepOf(0, 1).value, "4.000");
    EXPECT_EQ(stepOf(0, 1).interval, "5.0");
    EXPECT_EQ(stepOf(0, 1).load, "1");
}

TEST_F(SequenceFileReaderTest, LoadFlagsReadTheirFirstCharacter)
{
    const struct {
        const char* fields;
        const char* load;
        const char* load2;
    } cases[] = {
        {"", "0", "1"},       {"\t1", "1", "1"},          {"\t10", "1", "1"},    {"\t0", "0", "1"},
        {"\tx1", "0", "1"},   {"\t1\t0", "1", "0"},       {"\t1\t01", "1", "0"}, {"\t1\t1", "1", "1"},
        {"\t1\tz", "1", "1"}, {"\t1\t0\t7\t8", "1", "0"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(open(kSoftHeader + "1\t1\t0" + c.fields + "\r\n"));
        EXPECT_EQ(stepOf(0, 0).load, c.load) << c.fields;
        EXPECT_EQ(stepOf(0, 0).load2, c.load2) << c.fields;
    }
}

TEST_F(SequenceFileReaderTest, TransitionTextIsKeptAsWritten)
{
    ASSERT_TRUE(open(kSoftHeader + "1\t1\tramp\t1\r\n1\t1\t\xb5\t1\r\n"));
    EXPECT_EQ(stepOf(0, 0).transition, "ramp");
    EXPECT_EQ(stepOf(0, 1).transition, QString(QChar(0xb5)));
}

TEST_F(SequenceFileReaderTest, IllegalStepLinesStopReadingButTheDocumentOpens)
{
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"\t\t", "5-th line : 1-th data is illegal."},
        {" ", "5-th line : 2-th data is illegal."},
        {"1.0", "5-th line : 2-th data is illegal."},
        {"1.0\t2.0", "5-th line : 3-th data is illegal."},
    };
    for (const auto& c : cases) {
        prompt.clear();
        int progressCleared = 0;
        document->setRunProgressResetHook([&] { ++progressCleared; });
        ASSERT_TRUE(open(kSoftHeader + "1\t1\t0\t1\r\n\r\n1\t1\t0\t1\r\n" + c.line +
                         "\r\n1\t1\t0\t1\r\n\r\n"
                         "1\t1\t0\t1\r\n\r\n"))
            << c.line;
        EXPECT_EQ(prompt.texts(), QStringList({c.message})) << c.line;
        EXPECT_EQ(counts().join(','), "1,1,0,0,0") << c.line;
        EXPECT_EQ(progressCleared, 1);
    }
}

TEST_F(SequenceFileReaderTest, HardwareControlNeedsNoTransitionField)
{
    ASSERT_TRUE(open("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\thard\r\n1\t2\r\n1\r\n"));
    EXPECT_EQ(prompt.texts(), QStringList({"3-th line : 2-th data is illegal."}));
    EXPECT_EQ(document->channel(0).count, 1);
}

TEST_F(SequenceFileReaderTest, A1025thStepStopsTheReadWithOneMessage)
{
    QByteArray bytes = kSoftHeader;
    for (int i = 0; i < 1030; ++i)
        bytes += QByteArray::number(i) + "\t1\t0\t1\r\n";
    bytes += "\r\n1\t1\t0\t1\r\n\r\n";
    ASSERT_TRUE(open(bytes));
    EXPECT_EQ(prompt.texts(), QStringList({"Up to 1024 steps are enabled. "}));
    EXPECT_EQ(counts().join(','), "1024,0,0,0,0");
    EXPECT_EQ(stepOf(0, 1023).value, "1023.0000");
}

TEST_F(SequenceFileReaderTest, ExactlyAThousandAndTwentyFourStepsAreFine)
{
    QByteArray bytes = kSoftHeader;
    for (int c = 0; c < kChannelCount; ++c) {
        for (int i = 0; i < kMaxSteps; ++i)
            bytes += "1\t1\t0\t1\r\n";
        bytes += "\r\n";
    }
    ASSERT_TRUE(open(bytes));
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_EQ(counts().join(','), "1024,1024,1024,1024,1024");
}

TEST_F(SequenceFileReaderTest, ACommaFileReadWithTheTabSettingFails)
{
    const QByteArray commaFile = "CC,0,CC,0,CC,0,CC,0,CC,0,s,soft\r\n1.5,10.0,0,1\r\n\r\n";
    settings.Tsr = 0;
    EXPECT_FALSE(open(commaFile));
    EXPECT_EQ(prompt.texts(), QStringList({"1-th line : 1-th data is illegal.", kFailed}));

    prompt.clear();
    settings.Tsr = 1;
    ASSERT_TRUE(open(commaFile));
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_EQ(stepOf(0, 0).value, "1.5000");
}

TEST_F(SequenceFileReaderTest, LineEndsMayBeCrLfOrLfAndALoneCrLineIsEmpty)
{
    ASSERT_TRUE(open("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft\n"
                     "1\t1\t0\t1\n"
                     "2\t1\t0\t1\r\n"
                     "\r\n"
                     "3\t1\t0\t1\n"
                     "\n"
                     "4\t1\t0\t1\r"));
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join('|').toStdString();
    EXPECT_EQ(counts().join(','), "2,1,1,0,0");
    EXPECT_EQ(stepOf(0, 1).load, "1");
    EXPECT_EQ(stepOf(2, 0).value, "4.0000");
    EXPECT_EQ(stepOf(2, 0).load, "1");

    // A last line holding only CR is an empty line, not a step with a field "\r".
    ASSERT_TRUE(open(kSoftHeader + "1\t1\t0\t1\n\r"));
    EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join('|').toStdString();
    EXPECT_EQ(counts().join(','), "1,0,0,0,0");
}

TEST_F(SequenceFileReaderTest, LongLinesAreReadWhole)
{
    const QByteArray padding(5000, '\t');
    const QByteArray longValue = "1" + QByteArray(3000, '0');
    ASSERT_TRUE(
        open(kSoftHeader + "1.5\t2.0" + padding + "1" + padding + "1\r\n" + longValue + "\t1\t0\t1\r\n"));
    EXPECT_TRUE(prompt.texts().isEmpty());
    ASSERT_EQ(document->channel(0).count, 2);
    EXPECT_EQ(stepOf(0, 0).transition, "1");
    EXPECT_EQ(stepOf(0, 0).load, "1");
    // 1e3000 is no double: the conversion gives up and reads 0.
    EXPECT_EQ(stepOf(0, 1).value, "0.0000");
}

TEST_F(SequenceFileReaderTest, BlocksAfterTheFifthAreIgnored)
{
    ASSERT_TRUE(open(kSoftHeader + "1\t1\t0\t1\r\n" + emptyBlocks(5) + "\t\t\r\n2\t2\t0\t1\r\n\r\n9\r\n"));
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_EQ(counts().join(','), "1,0,0,0,0");
}

TEST_F(SequenceFileReaderTest, OpeningClearsEveryCountFirst)
{
    for (int c = 0; c < kChannelCount; ++c)
        fillChannel(c, 7);
    ASSERT_TRUE(open(kSoftHeader + "1\t1\t0\t1\r\n"));
    EXPECT_EQ(counts().join(','), "1,0,0,0,0");
}

TEST_F(SequenceFileReaderTest, RunProgressIsClearedOnlyAfterARead)
{
    int cleared = 0;
    document->setRunProgressResetHook([&] { ++cleared; });
    ASSERT_TRUE(open(kSoftHeader));
    EXPECT_EQ(cleared, 1);
    EXPECT_FALSE(open("CC\t0\r\n"));
    EXPECT_FALSE(document->openDocument(path(QStringLiteral("missing"))));
    EXPECT_EQ(cleared, 1);
}

TEST_F(SequenceFileReaderTest, ReadsFromAnyDevice)
{
    QByteArray bytes = kSoftHeader + "1\t1\t0\t1\r\n";
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    SequenceFileReader reader(*document, settings, prompt);
    EXPECT_TRUE(reader.readFrom(buffer));
    EXPECT_EQ(document->channel(0).count, 1);
}
