#include "FakeGpibLibrary.h"
#include "RecordingPrompt.h"
#include "link/CNiGpibAdapter.h"
#include "ui/ResourceModule.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class NiGpibAdapterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(strings.loadFromProgramFolder());
        adapter.setLibraryFolder(FakeGpibLibrary::folder());
        adapter.address = 5;
    }

    ResourceModule strings;
    RecordingPrompt prompt;
    FakeGpibLibrary board{QStringLiteral("libgpib.so.0")};
    CNiGpibAdapter adapter{strings, prompt};
};

TEST_F(NiGpibAdapterTest, OpensTheInstrumentsDescriptorAndClearsTheDevice)
{
    ASSERT_EQ(adapter.Open(), 1);
    EXPECT_EQ(board.calls(), QStringList({"ibdev(0,5,0,13,1,0)", "ibclr(7)"}));
    EXPECT_EQ(adapter.descriptor, 7);
}

TEST_F(NiGpibAdapterTest, WritesTheCommandAloneAndReadsTheReplyWithoutItsEnd)
{
    board.setResponder([](const QString& command) {
        return command == QLatin1String("*IDN?") ? QStringLiteral("MORVANE,KDR-X") : QString();
    });
    ASSERT_EQ(adapter.Open(), 1);
    board.forgetCalls();
    EXPECT_EQ(adapter.Write(QStringLiteral("*IDN?")), 1);
    EXPECT_EQ(adapter.Read(), QStringLiteral("MORVANE,KDR-X"));
    EXPECT_EQ(board.calls(), QStringList({"ibwrt(7,\"*IDN?\",5)", "ibrd(7,100)"}));

    board.setReply("12.500\r\n");
    EXPECT_EQ(adapter.Read(), QStringLiteral("12.500"));
}

TEST_F(NiGpibAdapterTest, ReplyOfAHundredBytesOrMoreLosesItsHundredthByte)
{
    ASSERT_EQ(adapter.Open(), 1);
    board.setReply(QByteArray(99, 'a') + 'b');
    EXPECT_EQ(adapter.Read(), QString(99, QLatin1Char('a')));
    board.setReply(QByteArray(99, 'c') + QByteArray(50, 'd') + '\n');
    EXPECT_EQ(adapter.Read(), QString(99, QLatin1Char('c')));
}

TEST_F(NiGpibAdapterTest, FailedReadKeepsWhatArrivedAndTheError)
{
    ASSERT_EQ(adapter.Open(), 1);
    board.setReply("3.25\n");
    board.failNext("ibrd", 6);
    EXPECT_EQ(adapter.Read(), QStringLiteral("3.25"));
    EXPECT_EQ(adapter.lastError, 6);
}

TEST_F(NiGpibAdapterTest, ReadWithNothingReceivedIsEmpty)
{
    ASSERT_EQ(adapter.Open(), 1);
    EXPECT_TRUE(adapter.Read().isEmpty());
    EXPECT_EQ(adapter.lastError, 6);
    EXPECT_EQ(adapter.errorText(),
              QStringLiteral("GPIB[National Instruments]: I/O operation aborted (timeout)"));

    // A bare line feed leaves nothing; a library reporting more than the buffer holds is bounded.
    board.setReply("\n");
    EXPECT_TRUE(adapter.Read().isEmpty());
    board.setValue("ibcntl", 5000);
    board.setReply(QByteArray(150, 'r'));
    EXPECT_EQ(adapter.Read(), QString(99, QLatin1Char('r')));
}

TEST_F(NiGpibAdapterTest, OpenFailsWithTheLibrarysError)
{
    board.failNext("ibdev", 7);
    EXPECT_EQ(adapter.Open(), 0);
    EXPECT_EQ(adapter.lastError, 7);
    EXPECT_EQ(board.calls(), QStringList({"ibdev(0,5,0,13,1,0)"}));

    board.failNext("ibclr", 2);
    EXPECT_EQ(adapter.Open(), 0);
    EXPECT_EQ(adapter.lastError, 2);
    EXPECT_EQ(adapter.errorText(), QStringLiteral("GPIB[National Instruments]: No Listeners on the GPIB"));
    EXPECT_TRUE(prompt.entries.empty());
}

TEST_F(NiGpibAdapterTest, WriteFailureKeepsItsErrorUntilTheNextFailure)
{
    ASSERT_EQ(adapter.Open(), 1);
    board.failNext("ibwrt", 14);
    EXPECT_EQ(adapter.Write(QStringLiteral("OUTP 1")), 0);
    EXPECT_EQ(adapter.lastError, 14);
    EXPECT_EQ(adapter.Write(QStringLiteral("OUTP 0")), 1);
    EXPECT_EQ(adapter.lastError, 14);
}

TEST_F(NiGpibAdapterTest, CloseTakesTheDeviceOffLineAndKeepsTheLibrary)
{
    ASSERT_EQ(adapter.Open(), 1);
    board.forgetCalls();
    EXPECT_EQ(adapter.Close(), 1);
    EXPECT_EQ(board.calls(), QStringList({"ibstop(7)", "ibonl(7,0)"}));
    EXPECT_TRUE(adapter.binding().isLoaded());
    EXPECT_TRUE(prompt.entries.empty());
}

TEST_F(NiGpibAdapterTest, FailedStopShowsItsMessageFromClose)
{
    ASSERT_EQ(adapter.Open(), 1);
    board.forgetCalls();
    board.failNext("ibstop", 6);
    EXPECT_EQ(adapter.Close(), 0);
    EXPECT_EQ(board.calls(), QStringList({"ibstop(7)"}));
    EXPECT_EQ(prompt.texts(), QStringList({"GPIB[National Instruments]: I/O operation aborted (timeout)"}));

    prompt.clear();
    board.failNext("ibonl", 20);
    EXPECT_EQ(adapter.Close(), 0);
    EXPECT_EQ(adapter.lastError, 20);
    EXPECT_TRUE(prompt.entries.empty());
}

TEST(NiGpibBinding, MissingLibraryFailsEveryCallWithNoGpibSetUp)
{
    QTemporaryDir empty;
    NiGpibBinding binding;
    binding.setLibraryFolder(empty.path());
    EXPECT_EQ(binding.ibdev(0, 1, 0, 13, 1, 0), -1);
    EXPECT_TRUE(binding.failed());
    EXPECT_EQ(binding.ibsta, 0x8000);
    EXPECT_EQ(binding.iberr, 0);
    EXPECT_EQ(binding.ibstop(3) & 0x8000, 0x8000);
    EXPECT_FALSE(binding.isLoaded());
}

TEST(NiGpibBinding, LibraryWithoutTheStatusFunctionsIsNotUsed)
{
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::link(QDir(FakeGpibLibrary::folder()).filePath("libGPC4304.so"),
                            folder.filePath("libgpib.so.0")));
    NiGpibBinding binding;
    binding.setLibraryFolder(folder.path());
    EXPECT_EQ(binding.ibdev(0, 1, 0, 13, 1, 0), -1);
    EXPECT_EQ(binding.iberr, 0);
    EXPECT_FALSE(binding.isLoaded());
}

TEST(NiGpibBinding, FallsBackToTheNiLibraryName)
{
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::link(QDir(FakeGpibLibrary::folder()).filePath("libgpib.so.0"),
                            folder.filePath("libni4882.so")));
    FakeGpibLibrary board(QStringLiteral("libgpib.so.0"));
    NiGpibBinding binding;
    binding.setLibraryFolder(folder.path());
    EXPECT_EQ(binding.ibdev(0, 2, 0, 13, 1, 0), 7);
    EXPECT_FALSE(binding.failed());
    EXPECT_TRUE(binding.isLoaded());
}

TEST(CNiGpibAdapterWithoutLibrary, OpenFailsWithNoGpibSetUp)
{
    QTemporaryDir empty;
    ResourceModule strings;
    ASSERT_TRUE(strings.loadFromProgramFolder());
    RecordingPrompt prompt;
    CNiGpibAdapter adapter(strings, prompt);
    adapter.setLibraryFolder(empty.path());
    adapter.lastError = 6;
    EXPECT_EQ(adapter.Open(), 0);
    EXPECT_EQ(adapter.lastError, 0);
    EXPECT_EQ(adapter.errorText(), QStringLiteral("GPIB[National Instruments]: No GPIB has been set up."));
    EXPECT_TRUE(adapter.Read().isEmpty());
    EXPECT_EQ(adapter.Write(QStringLiteral("*IDN?")), 0);
}

} // namespace
