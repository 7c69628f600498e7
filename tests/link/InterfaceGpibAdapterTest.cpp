#include "FakeGpibLibrary.h"
#include "RecordingPrompt.h"
#include "link/CInterfaceGpibAdapter.h"
#include "ui/ResourceModule.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList openCalls = {"PciGpibExInitBoard(0,0)",
                               "PciGpibExSetConfig(0,\"/SDELIM=LF+EOI /RDELIM=LF+EOI\")",
                               "PciGpibExSetIfc(0,1)", "PciGpibExSetRen(0)", "PciGpibExExecDevClear(0)"};

class InterfaceGpibAdapterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(strings.loadFromProgramFolder());
        adapter.setLibraryFolder(FakeGpibLibrary::folder());
        adapter.address = 9;
    }

    ResourceModule strings;
    RecordingPrompt prompt;
    FakeGpibLibrary board{QStringLiteral("libGPC4304.so")};
    CInterfaceGpibAdapter adapter{strings, prompt};
};

TEST_F(InterfaceGpibAdapterTest, OpenInitialisesTheBoardAndClearsTheDevice)
{
    ASSERT_EQ(adapter.Open(), 1);
    EXPECT_EQ(board.calls(), openCalls);
    EXPECT_TRUE(adapter.isLoaded());
}

TEST_F(InterfaceGpibAdapterTest, FirstFailingOpenStepFinishesTheBoard)
{
    const char* steps[] = {"PciGpibExInitBoard", "PciGpibExSetConfig", "PciGpibExSetIfc", "PciGpibExSetRen",
                           "PciGpibExExecDevClear"};
    int step = 0;
    for (const char* function : steps) {
        SCOPED_TRACE(function);
        board.reset();
        board.failNext(function, -16);
        EXPECT_EQ(adapter.Open(), 0);
        EXPECT_EQ(adapter.lastError, -16);
        QStringList expected = openCalls.mid(0, step + 1);
        expected << "PciGpibExFinishBoard(0)";
        EXPECT_EQ(board.calls(), expected);
        ++step;
    }
    EXPECT_TRUE(prompt.entries.empty());
}

TEST_F(InterfaceGpibAdapterTest, SendsAndReceivesThroughTheAddressList)
{
    board.setResponder([](const QString&) { return QStringLiteral("MORVANE,KDR-X"); });
    ASSERT_EQ(adapter.Open(), 1);
    board.forgetCalls();
    EXPECT_EQ(adapter.Write(QStringLiteral("*IDN?")), 1);
    EXPECT_EQ(adapter.Read(), QStringLiteral("MORVANE,KDR-X"));
    EXPECT_EQ(board.calls(), QStringList({"PciGpibExMastSendData(0,{9,-1},5,\"*IDN?\",0)",
                                          "PciGpibExMastRecvData(0,{9,-1},64,0)"}));

    // The list follows the address before every call.
    adapter.address = 11;
    board.forgetCalls();
    adapter.Write(QStringLiteral("OUTP 0"));
    EXPECT_EQ(board.calls(), QStringList({"PciGpibExMastSendData(0,{11,-1},6,\"OUTP 0\",0)"}));
}

TEST_F(InterfaceGpibAdapterTest, ReplyLongerThanSixtyFourBytesIsCut)
{
    ASSERT_EQ(adapter.Open(), 1);
    board.setReply(QByteArray(100, 'z'));
    EXPECT_EQ(adapter.Read(), QString(64, QLatin1Char('z')));
    board.setReply(QByteArray(64, 'q'));
    EXPECT_EQ(adapter.Read(), QString(64, QLatin1Char('q')));
}

TEST_F(InterfaceGpibAdapterTest, FailedTransfersKeepTheLibrarysCode)
{
    ASSERT_EQ(adapter.Open(), 1);
    board.failNext("PciGpibExMastSendData", -13);
    EXPECT_EQ(adapter.Write(QStringLiteral("*IDN?")), 0);
    EXPECT_EQ(adapter.lastError, -13);
    EXPECT_TRUE(adapter.Read().isEmpty());
    EXPECT_EQ(adapter.lastError, -14);
    EXPECT_EQ(adapter.errorText(), QStringLiteral("GPIB[Interface]: It was done a time out."));
}

TEST_F(InterfaceGpibAdapterTest, CloseFinishesTheBoardAndReleasesTheLibrary)
{
    ASSERT_EQ(adapter.Open(), 1);
    board.forgetCalls();
    board.failNext("PciGpibExFinishBoard", -995);
    EXPECT_EQ(adapter.Close(), 0);
    EXPECT_EQ(adapter.lastError, -995);
    EXPECT_TRUE(adapter.isLoaded());

    EXPECT_EQ(adapter.Close(), 1);
    EXPECT_EQ(board.calls(), QStringList({"PciGpibExFinishBoard(0)", "PciGpibExFinishBoard(0)"}));
    EXPECT_FALSE(adapter.isLoaded());
}

TEST_F(InterfaceGpibAdapterTest, WithoutTheLibraryLoadedNothingReachesTheBoard)
{
    adapter.lastError = -7;
    EXPECT_EQ(adapter.Write(QStringLiteral("*IDN?")), 0);
    EXPECT_TRUE(adapter.Read().isEmpty());
    EXPECT_EQ(adapter.Close(), 0);
    EXPECT_EQ(adapter.lastError, -7);
    EXPECT_TRUE(board.calls().isEmpty());
}

TEST(CInterfaceGpibAdapterWithoutLibrary, MissingOrForeignLibraryShowsNoGpibSetUp)
{
    ResourceModule strings;
    ASSERT_TRUE(strings.loadFromProgramFolder());
    RecordingPrompt prompt;
    CInterfaceGpibAdapter adapter(strings, prompt);
    QTemporaryDir folder;
    adapter.setLibraryFolder(folder.path());
    EXPECT_EQ(adapter.Open(), 0);
    EXPECT_TRUE(adapter.reportedOwnOpenFailure());
    EXPECT_EQ(prompt.texts(), QStringList({"No GPIB has been set up."}));

    // A library by that name without the board's entry points is no better.
    ASSERT_TRUE(QFile::link(QDir(FakeGpibLibrary::folder()).filePath("libApiGpib1.so"),
                            folder.filePath("libGPC4304.so")));
    prompt.clear();
    EXPECT_EQ(adapter.Open(), 0);
    EXPECT_EQ(prompt.texts(), QStringList({"No GPIB has been set up."}));
    EXPECT_FALSE(adapter.isLoaded());
}

} // namespace
