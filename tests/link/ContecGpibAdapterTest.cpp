#include "FakeGpibLibrary.h"
#include "RecordingPrompt.h"
#include "link/CContecGpibAdapter.h"
#include "ui/ResourceModule.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ContecGpibAdapterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(strings.loadFromProgramFolder());
        adapter.setLibraryFolder(FakeGpibLibrary::folder());
        adapter.address = 4;
    }

    ResourceModule strings;
    RecordingPrompt prompt;
    FakeGpibLibrary board{QStringLiteral("libApiGpib1.so")};
    CContecGpibAdapter adapter{strings, prompt};
};

TEST_F(ContecGpibAdapterTest, OpenTakesAnIdleBoardAsControllerAndSetsTimeOutAndDelimiter)
{
    ASSERT_EQ(adapter.Open(), 1);
    EXPECT_EQ(board.calls(), QStringList({"GpExit()", "GpIni()", "GpBoardsts(10)", "GpIfc(1)", "GpRen()",
                                          "GpTimeout(10000)", "GpDelim(3,1)"}));
}

TEST_F(ContecGpibAdapterTest, OpenLeavesInterfaceClearAndRemoteAloneOnABusyBoard)
{
    board.setValue("board_status", 1);
    ASSERT_EQ(adapter.Open(), 1);
    EXPECT_EQ(board.calls(),
              QStringList({"GpExit()", "GpIni()", "GpBoardsts(10)", "GpTimeout(10000)", "GpDelim(3,1)"}));
}

TEST_F(ContecGpibAdapterTest, OpenStopsAtTheFirstFailureAndAResultWithAZeroLowByteIsNone)
{
    const struct {
        const char* function;
        const char* lastCall;
    } steps[] = {
        {"GpIni", "GpIni()"}, {"GpIfc", "GpIfc(1)"}, {"GpRen", "GpRen()"}, {"GpTimeout", "GpTimeout(10000)"}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.function);
        board.reset();
        board.failNext(step.function, 242);
        EXPECT_EQ(adapter.Open(), 0);
        EXPECT_EQ(adapter.lastError, 242);
        EXPECT_EQ(board.calls().last(), QLatin1String(step.lastCall));
    }
    board.reset();
    board.failNext("GpIni", 0x100);
    EXPECT_EQ(adapter.Open(), 1);
}

TEST_F(ContecGpibAdapterTest, WriteTalksFromTheBoardToTheInstrument)
{
    ASSERT_EQ(adapter.Open(), 1);
    board.setValue("own_address", 21);
    board.forgetCalls();
    EXPECT_EQ(adapter.Write(QStringLiteral("*IDN?")), 1);
    EXPECT_EQ(board.calls(), QStringList({"GpBoardsts(8)", "GpTalk({2,21,4},5,\"*IDN?\")"}));

    board.forgetCalls();
    EXPECT_EQ(adapter.Write(QString(600, QLatin1Char('x'))), 1);
    EXPECT_TRUE(board.calls().last().startsWith(QStringLiteral("GpTalk({2,21,4},511,")));
}

TEST_F(ContecGpibAdapterTest, EmptyWriteSucceedsWithoutABusTransfer)
{
    ASSERT_EQ(adapter.Open(), 1);
    board.forgetCalls();
    EXPECT_EQ(adapter.Write(QString()), 1);
    EXPECT_TRUE(board.calls().isEmpty());
}

TEST_F(ContecGpibAdapterTest, ReadListensToTheInstrument)
{
    board.setResponder([](const QString&) { return QStringLiteral("MORVANE,KDR-X"); });
    ASSERT_EQ(adapter.Open(), 1);
    adapter.Write(QStringLiteral("*IDN?"));
    board.forgetCalls();
    EXPECT_EQ(adapter.Read(), QStringLiteral("MORVANE,KDR-X"));
    EXPECT_EQ(board.calls(), QStringList({"GpBoardsts(8)", "GpListen({2,4,0},512)"}));
}

TEST_F(ContecGpibAdapterTest, ReplyEndsAtTheLengthBeforeACarriageReturnElseOneByteLater)
{
    ASSERT_EQ(adapter.Open(), 1);
    board.setValue("listen_length", 4);
    board.setReply("12.5\r\n");
    EXPECT_EQ(adapter.Read(), QStringLiteral("12.5"));
    board.setValue("listen_length", 3);
    board.setReply("12.5\n");
    EXPECT_EQ(adapter.Read(), QStringLiteral("12.5"));

    // A full buffer, or a length past it, ends the text at the buffer's end.
    board.setValue("listen_length", 512);
    board.setReply(QByteArray(512, 'k'));
    EXPECT_EQ(adapter.Read(), QString(512, QLatin1Char('k')));
    board.setValue("listen_length", 4000);
    board.setReply(QByteArray(600, 'm'));
    EXPECT_EQ(adapter.Read(), QString(512, QLatin1Char('m')));
}

TEST_F(ContecGpibAdapterTest, ListenResultOfThreeOrMoreIsAFailedRead)
{
    ASSERT_EQ(adapter.Open(), 1);
    board.setReply("1.0\r\n");
    board.failNext("GpListen", 2);
    EXPECT_EQ(adapter.Read(), QStringLiteral("1.0"));
    board.setReply("1.0\r\n");
    board.failNext("GpListen", 3);
    EXPECT_TRUE(adapter.Read().isEmpty());
    EXPECT_EQ(adapter.lastError, 3);
    EXPECT_EQ(adapter.errorText(), QStringLiteral("GPIB[Contec]: Data has been left within FIFO."));
}

TEST_F(ContecGpibAdapterTest, CloseUnaddressesTheBusAndReleasesTheLibrary)
{
    ASSERT_EQ(adapter.Open(), 1);
    board.forgetCalls();
    EXPECT_EQ(adapter.Close(), 1);
    EXPECT_EQ(board.calls(),
              QStringList({"GpBoardsts(10)", "GpComand({2,63,95})", "GpResetren()", "GpExit()"}));
    EXPECT_FALSE(adapter.isLoaded());

    board.setValue("board_status", 1);
    ASSERT_EQ(adapter.Open(), 1);
    board.forgetCalls();
    EXPECT_EQ(adapter.Close(), 1);
    EXPECT_EQ(board.calls(), QStringList({"GpBoardsts(10)", "GpResetren()", "GpExit()"}));
}

TEST_F(ContecGpibAdapterTest, BoardInUseEndsCloseAtOnceKeepingTheLibrary)
{
    ASSERT_EQ(adapter.Open(), 1);
    board.forgetCalls();
    board.failNext("GpBoardsts", 80);
    EXPECT_EQ(adapter.Close(), 1);
    EXPECT_EQ(board.calls(), QStringList({"GpBoardsts(10)"}));
    EXPECT_TRUE(adapter.isLoaded());
}

TEST_F(ContecGpibAdapterTest, WithoutTheLibraryLoadedNothingReachesTheBoard)
{
    EXPECT_EQ(adapter.Write(QStringLiteral("*IDN?")), 0);
    EXPECT_TRUE(adapter.Read().isEmpty());
    EXPECT_EQ(adapter.Close(), 0);
    EXPECT_EQ(adapter.lastError, 0);
    EXPECT_TRUE(board.calls().isEmpty());
}

TEST(CContecGpibAdapterWithoutLibrary, MissingLibraryShowsNoGpibSetUp)
{
    ResourceModule strings;
    ASSERT_TRUE(strings.loadFromProgramFolder());
    RecordingPrompt prompt;
    CContecGpibAdapter adapter(strings, prompt);
    QTemporaryDir empty;
    adapter.setLibraryFolder(empty.path());
    EXPECT_EQ(adapter.Open(), 0);
    EXPECT_TRUE(adapter.reportedOwnOpenFailure());
    EXPECT_EQ(prompt.texts(), QStringList({"No GPIB has been set up."}));
}

} // namespace
