#include "model/SequenceFileWriter.h"

#include "ModelTestSupport.h"

#include <QDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace {

const QString kNoData = QStringLiteral("There is no data to save.");
const QString kCannotCreate = QStringLiteral("The file does not exist or a new file could not be created.");
const QString kFailed = QStringLiteral("Failed to write the file");

} // namespace

class SequenceFileWriterTest : public DocumentFixture {
protected:
    void setModes(std::initializer_list<int> modes)
    {
        int c = 0;
        for (int mode : modes)
            settings.ModeCh[c++] = mode;
    }
    bool save(const QString& name = QStringLiteral("out.tsr")) { return document->saveDocument(path(name)); }
};

TEST_F(SequenceFileWriterTest, WritesTheDocumentedLayout)
{
    setModes({ModeCC, ModeCC, ModeCCCV, ModeCC, ModeCC});
    settings.Volt1Ch[2] = 12.0;
    settings.Unit = UnitS;
    document->channel(0).steps[0] = step("1.5000", "10.0", "0", "1");
    document->channel(0).steps[1] = step("0.0000", "2.5", "1", "0");
    document->channel(0).count = 2;
    document->setModified();
    ASSERT_TRUE(save());
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_FALSE(document->isModified());
    EXPECT_EQ(readFile("out.tsr"), QByteArray("CC\t0\tCC\t0\tCCV\t12.000\tCC\t0\tCC\t0\ts\tsoft\r\n"
                                              "1.5000\t10.0\t0\t1\r\n"
                                              "0.0000\t2.5\t1\t0\r\n"
                                              "\r\n\r\n\r\n\r\n\r\n"));
}

TEST_F(SequenceFileWriterTest, HeaderCarriesTheActiveModesVoltagesUnitAndControl)
{
    setModes({ModeCV, ModeCR, ModeCCCV, ModeCRCV, ModeCC});
    settings.Volt1Ch = {1, 2, 3.25, 4, 5};
    settings.Volt2Ch = {6, 7, 8, 9.5, 10};
    settings.Unit = UnitH;
    settings.SeqCtl = SoftwareControl;
    document->channel(4).steps[0] = step("1", "1");
    document->channel(4).count = 1;
    SequenceFileWriter writer(*document, settings, prompt);
    EXPECT_TRUE(writer.fileText().startsWith("CV\t0\tCR\t0\tCCV\t3.250\tCRV\t9.500\tCC\t0\th\tsoft\r\n"));
    settings.Unit = UnitMin;
    settings.SeqCtl = HardwareControl;
    EXPECT_TRUE(writer.fileText().contains("\tmin\thard\r\n"));
    settings.Unit = UnitMs;
    EXPECT_TRUE(writer.fileText().contains("\tms\thard\r\n"));
}

TEST_F(SequenceFileWriterTest, HardwareControlRewritesTheDocumentsTransitionsAndLoads)
{
    settings.SeqCtl = HardwareControl;
    document->channel(1).steps[0] = step("1.0000", "1.000", "1", "0");
    document->channel(1).steps[1] = step("2.0000", "2.000", "", "");
    document->channel(1).count = 2;
    ASSERT_TRUE(save());
    EXPECT_TRUE(readFile("out.tsr").contains("\r\n\r\n1.0000\t1.000\t0\t1\r\n2.0000\t2.000\t0\t1\r\n\r\n"));
    EXPECT_EQ(document->channel(1).steps[0].transition, "0");
    EXPECT_EQ(document->channel(1).steps[0].load, "1");
    EXPECT_EQ(document->channel(1).steps[1].load, "1");
}

TEST_F(SequenceFileWriterTest, SoftwareControlLeavesTheDocumentAlone)
{
    document->channel(0).steps[0] = step("1.0000", "1.0", "1", "0");
    document->channel(0).count = 1;
    ASSERT_TRUE(save());
    EXPECT_EQ(document->channel(0).steps[0].transition, "1");
    EXPECT_EQ(document->channel(0).steps[0].load, "0");
}

TEST_F(SequenceFileWriterTest, StepsWithAnEmptyValueAreLeftOut)
{
    document->channel(0).steps[0] = step("1.0000", "1.0");
    document->channel(0).steps[1] = step("", "2.0");
    document->channel(0).steps[2] = step("3.0000", "3.0");
    document->channel(0).steps[3] = step("4.0000", "4.0"); // past the count
    document->channel(0).count = 3;
    ASSERT_TRUE(save());
    const QList<QByteArray> lines = readFile("out.tsr").split('\n');
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[1], "1.0000\t1.0\t0\t1\r");
    EXPECT_EQ(lines[2], "3.0000\t3.0\t0\t1\r");
    EXPECT_EQ(lines[3], "\r");
    EXPECT_FALSE(readFile("out.tsr").contains("4.0000"));
}

TEST_F(SequenceFileWriterTest, CommaSettingSeparatesWithCommas)
{
    settings.Tsr = 1;
    document->channel(0).steps[0] = step("1.0000", "1.0");
    document->channel(0).count = 1;
    ASSERT_TRUE(save());
    EXPECT_EQ(readFile("out.tsr"),
              QByteArray("CV,0,CV,0,CV,0,CV,0,CV,0,s,soft\r\n1.0000,1.0,0,1\r\n\r\n\r\n\r\n\r\n\r\n"));
}

TEST_F(SequenceFileWriterTest, TextsAreWrittenInLatin1)
{
    document->channel(0).steps[0] = step("1.0000", "1.0", QString(QChar(0xb5)));
    document->channel(0).count = 1;
    ASSERT_TRUE(save());
    EXPECT_TRUE(readFile("out.tsr").contains("1.0000\t1.0\t\xb5\t1\r\n"));
}

TEST_F(SequenceFileWriterTest, AWrittenFileReadsBackToTheSameDocument)
{
    setModes({ModeCCCV, ModeCRCV, ModeCV, ModeCC, ModeCR});
    settings.Volt1Ch[0] = 12.0;
    settings.Volt2Ch[1] = 5.0;
    settings.ModeChSoft = settings.ModeCh;
    const char* values[] = {"1.5000", "50.00000", "12.000", "0.2500", "8.00000"};
    for (int c = 0; c < kChannelCount; ++c) {
        for (int i = 0; i <= c; ++i)
            document->channel(c).steps[i] =
                step(values[c], QString::number(i + 1) + ".5", i % 2 ? "1" : "0", i % 3 ? "0" : "1");
        document->channel(c).count = c + 1;
    }
    ASSERT_TRUE(save());
    const QByteArray first = readFile("out.tsr");

    AppSettings reread;
    RecordingPrompt rereadPrompt;
    auto copy = std::make_unique<CMainDoc>(reread, rereadPrompt);
    ASSERT_TRUE(copy->openDocument(path("out.tsr")));
    EXPECT_TRUE(rereadPrompt.texts().isEmpty());
    EXPECT_EQ(reread.ModeCh, settings.ModeCh);
    EXPECT_EQ(reread.Volt1Ch, settings.Volt1Ch);
    EXPECT_EQ(reread.Volt2Ch, settings.Volt2Ch);
    for (int c = 0; c < kChannelCount; ++c) {
        ASSERT_EQ(copy->channel(c).count, c + 1);
        for (int i = 0; i <= c; ++i)
            EXPECT_TRUE(sameFieldsButTime(copy->channel(c).steps[i], document->channel(c).steps[i]))
                << c << i;
    }
    ASSERT_TRUE(copy->saveDocument(path("again.tsr")));
    EXPECT_EQ(readFile("again.tsr"), first);
}

using CMainDocSave = SequenceFileWriterTest;

TEST_F(CMainDocSave, AnEmptyCurrentChannelStillSavesTheOtherChannels)
{
    document->channel(3).steps[0] = step("1.0000", "1.0");
    document->channel(3).count = 1;
    document->setCurrentChannel(0);
    document->setModified();
    ASSERT_TRUE(save());
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_FALSE(document->isModified());
    EXPECT_EQ(readFile("out.tsr").split('\n').size(), 1 + 5 + 1 + 1);
    EXPECT_TRUE(readFile("out.tsr").contains("\r\n\r\n\r\n\r\n1.0000\t1.0\t0\t1\r\n\r\n\r\n"));
}

TEST_F(CMainDocSave, NothingToSaveWritesNothingAndCountsAsDone)
{
    writeFile("out.tsr", "previous");
    document->channel(2).steps[0] = step("1.0000", "1.0"); // a leftover past the count
    document->setModified();
    EXPECT_TRUE(save());
    EXPECT_EQ(prompt.texts(), QStringList({kNoData}));
    EXPECT_FALSE(document->isModified());
    EXPECT_EQ(readFile("out.tsr"), "previous");
    EXPECT_TRUE(save("new.tsr"));
    EXPECT_FALSE(exists("new.tsr"));
    // Callers that name the document after the file, or list it, learn that nothing was written.
    EXPECT_EQ(document->save(path("new.tsr")), CMainDoc::SaveResult::NothingToSave);
    EXPECT_FALSE(exists("new.tsr"));
}

TEST_F(CMainDocSave, ShowsTheWaitCursorWhileSaving)
{
    document->channel(0).steps[0] = step("1.0000", "1.0");
    document->channel(0).count = 1;
    ASSERT_TRUE(save());
    EXPECT_EQ(prompt.busyCount, 1);
    EXPECT_EQ(prompt.busyDepth, 0);
}

TEST_F(CMainDocSave, AFileThatCannotBeCreatedFailsAndStaysModified)
{
    document->channel(0).steps[0] = step("1.0000", "1.0");
    document->channel(0).count = 1;
    document->setModified();
    const auto cannotCreate = [](const QString& file, int error) {
        return kCannotCreate + QStringLiteral("\n%1: %2").arg(file, QString::fromLocal8Bit(strerror(error)));
    };
    EXPECT_FALSE(save(QStringLiteral("no-such-folder/out.tsr")));
    EXPECT_EQ(prompt.texts(), QStringList({cannotCreate(path("no-such-folder/out.tsr"), ENOENT), kFailed}));
    EXPECT_TRUE(document->isModified());
    EXPECT_EQ(prompt.busyDepth, 0);

    prompt.clear();
    EXPECT_FALSE(document->saveDocument(dir.path()));
    EXPECT_EQ(prompt.texts(), QStringList({cannotCreate(dir.path(), EISDIR), kFailed}));
}

namespace {

// The message of a write that failed after the file was created: its path and the system's reason.
QString cannotWrite(const QString& path, int error)
{
    return QStringLiteral("The file could not be written.\n%1: %2")
        .arg(path, QString::fromLocal8Bit(strerror(error)));
}

} // namespace

// A write that fails part-way (here the file size limit, as a full disk would) must leave the
// previous file exactly as it was and no temporary file behind, and say why. A small file fails
// only when it is flushed, which is where a full disk used to pass unnoticed.
TEST_F(CMainDocSave, AFailedWriteKeepsThePreviousFile)
{
    struct Case {
        const char* what;
        int steps;
        rlim_t limit;
    };
    const Case cases[] = {{"one step, nothing fits", 1, 0},
                          {"one step, the header fits", 1, 16},
                          {"every step", kMaxSteps, 4096}};
    const QByteArray previous = "CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft\r\n1.0000\t1.0\t0\t1\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile("out.tsr", previous);
        prompt.clear();
        for (int ch = 0; ch < kChannelCount; ++ch) {
            for (int i = 0; i < c.steps; ++i)
                document->channel(ch).steps[i] = step("1.0000", "1.0");
            document->channel(ch).count = c.steps;
        }
        document->setModified();

        struct rlimit saved {};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        struct rlimit limited = saved;
        limited.rlim_cur = c.limit;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool saved_ok = save();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        EXPECT_FALSE(saved_ok);
        EXPECT_EQ(prompt.texts(), QStringList({cannotWrite(path("out.tsr"), EFBIG), kFailed}));
        EXPECT_TRUE(document->isModified());
        EXPECT_EQ(readFile("out.tsr"), previous);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"out.tsr"}));
    }
}
