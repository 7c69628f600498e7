#include "FakeGpibLibrary.h"
#include "FakeTime.h"
#include "RecordingPrompt.h"
#include "link/CRatocGpibAdapter.h"
#include "link/CRatocUsbGpibAdapter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList cardOpenCalls = {"gp_init(0,0,0)", "gp_cli()",          "gp_ren()",
                                   "gp_clr(\"\")",   "gp_delm(\"l\",10)", "gp_delm(\"t\",138)"};

class RatocGpibAdapterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        adapter.setLibraryFolder(FakeGpibLibrary::folder());
        adapter.address = 12;
    }

    RecordingPrompt prompt;
    FakeTime time;
    FakeGpibLibrary board{QStringLiteral("libGPLIB2K.so")};
    CRatocGpibAdapter adapter{prompt, time};
};

TEST_F(RatocGpibAdapterTest, OpenLoadsTheLibraryOfThisSystemAndSetsUpTheBus)
{
    EXPECT_EQ(adapter.osGeneration, 2000);
    ASSERT_EQ(adapter.Open(), 1);
    EXPECT_EQ(adapter.loadedFile(), QStringLiteral("libGPLIB2K.so"));
    EXPECT_EQ(board.calls(), cardOpenCalls);
    EXPECT_EQ(adapter.addressText, QByteArray("12"));
}

TEST_F(RatocGpibAdapterTest, EachOpenStepHasItsOwnCode)
{
    const struct {
        const char* function;
        int skip; // earlier calls of the same function that succeed
        int code;
    } steps[] = {{"gp_init", 0, 2}, {"gp_cli", 0, 3},  {"gp_ren", 0, 4},
                 {"gp_clr", 0, 6},  {"gp_delm", 0, 7}, {"gp_delm", 1, 7}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.function);
        board.reset();
        for (int i = 0; i < step.skip; ++i)
            board.failNext(step.function, 0);
        board.failNext(step.function, 1);
        EXPECT_EQ(adapter.Open(), 0);
        EXPECT_EQ(adapter.lastError, step.code);
    }
    EXPECT_TRUE(prompt.entries.empty());
}

TEST_F(RatocGpibAdapterTest, WriteSendsToTheAddressTextAndPausesAfterIt)
{
    ASSERT_EQ(adapter.Open(), 1);
    board.forgetCalls();
    EXPECT_EQ(adapter.Write(QStringLiteral("*IDN?")), 1);
    EXPECT_EQ(board.calls(), QStringList({"gp_wrt(\"12\",\"*IDN?\")"}));
    EXPECT_EQ(time.waitedMs(), 100);

    board.failNext("gp_wrt", 1);
    EXPECT_EQ(adapter.Write(QStringLiteral("*IDN?")), 0);
    EXPECT_EQ(adapter.lastError, 9);
    EXPECT_EQ(time.waitedMs(), 100);
}

TEST_F(RatocGpibAdapterTest, ReadTrimsTrailingWhiteSpace)
{
    board.setResponder([](const QString&) { return QStringLiteral("MORVANE,KDR-X"); });
    ASSERT_EQ(adapter.Open(), 1);
    adapter.Write(QStringLiteral("*IDN?"));
    board.forgetCalls();
    EXPECT_EQ(adapter.Read(), QStringLiteral("MORVANE,KDR-X"));
    EXPECT_EQ(board.calls(), QStringList({"gp_red(\"12\",128)"}));

    board.setReply(QByteArray(128, 'w'));
    EXPECT_EQ(adapter.Read(), QString(128, QLatin1Char('w')));

    EXPECT_TRUE(adapter.Read().isEmpty());
    EXPECT_EQ(adapter.lastError, 10);
    EXPECT_EQ(adapter.errorText(), QStringLiteral("ＧＰＩＢ受信エラー"));
}

TEST_F(RatocGpibAdapterTest, CloseReleasesTheLibrary)
{
    ASSERT_EQ(adapter.Open(), 1);
    EXPECT_EQ(adapter.Close(), 1);
    EXPECT_FALSE(adapter.isLoaded());
    EXPECT_EQ(adapter.Close(), 0);
    EXPECT_EQ(time.waitedMs(), 0);
    // Without the library nothing is sent or received.
    EXPECT_EQ(adapter.Write(QStringLiteral("OUTP 0")), 0);
    EXPECT_EQ(adapter.lastError, 9);
    EXPECT_TRUE(adapter.Read().isEmpty());
    EXPECT_EQ(adapter.lastError, 10);
}

TEST_F(RatocGpibAdapterTest, AddressTextHoldsAtMostSevenCharacters)
{
    adapter.address = -123456789;
    ASSERT_EQ(adapter.Open(), 1);
    EXPECT_EQ(adapter.addressText, QByteArray("-123456"));
}

TEST(CRatocGpibAdapterSystems, NinetyEightLibraryReportsTheCardsResources)
{
    RecordingPrompt prompt;
    FakeTime time;
    FakeGpibLibrary board(QStringLiteral("libGPLIB32.so"));
    board.setValue("card_io", 0x2C0);
    board.setValue("card_irq", 9);
    CRatocGpibAdapter adapter(prompt, time);
    adapter.setLibraryFolder(FakeGpibLibrary::folder());
    adapter.osGeneration = 98;
    ASSERT_EQ(adapter.Open(), 1);
    EXPECT_EQ(adapter.loadedFile(), QStringLiteral("libGPLIB32.so"));
    EXPECT_EQ(board.calls().mid(0, 2), QStringList({"gp_cardinfo()", "gp_init(0,704,9)"}));

    board.reset();
    board.failNext("gp_cardinfo", 1);
    EXPECT_EQ(adapter.Open(), 0);
    EXPECT_EQ(adapter.lastError, 1);
    EXPECT_EQ(adapter.errorText(),
              QStringLiteral("PCMCIA GPIB CARD のリソース情報(I/O,IRQ)を取得できません"));
}

TEST(CRatocGpibAdapterSystems, UnsupportedSystemOrMissingLibraryHasItsOwnMessage)
{
    RecordingPrompt prompt;
    FakeTime time;
    CRatocGpibAdapter adapter(prompt, time);
    adapter.setLibraryFolder(FakeGpibLibrary::folder());
    adapter.osGeneration = 31;
    EXPECT_EQ(adapter.Open(), 0);
    EXPECT_TRUE(adapter.reportedOwnOpenFailure());
    EXPECT_EQ(prompt.texts(), QStringList({"このOSでは実行できません"}));

    // The NT 4 library is not among the stand-ins: it is missing.
    prompt.clear();
    adapter.osGeneration = 40;
    EXPECT_EQ(adapter.Open(), 0);
    EXPECT_EQ(prompt.texts(), QStringList({"GPIBがセットアップされていません"}));
    EXPECT_FALSE(adapter.isLoaded());
}

class RatocUsbGpibAdapterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        adapter.setLibraryFolder(FakeGpibLibrary::folder());
        adapter.address = 3;
        adapter.machine = 6;
    }

    RecordingPrompt prompt;
    FakeTime time;
    FakeGpibLibrary board{QStringLiteral("libU2GPLIB.so")};
    CRatocUsbGpibAdapter adapter{prompt, time};
};

TEST_F(RatocUsbGpibAdapterTest, KdrxUsesEoiDelimitersAndTheOtherFamilyLineFeeds)
{
    ASSERT_EQ(adapter.Open(), 1);
    EXPECT_EQ(adapter.loadedFile(), QStringLiteral("libU2GPLIB.so"));
    EXPECT_EQ(board.calls(), QStringList({"gp_init(0,0,0)", "gp_cli()", "gp_ren()", "gp_clr(\"\")",
                                          "gp_delm(\"l\",0)", "gp_delm(\"t\",128)"}));
    board.reset();
    adapter.machine = 5;
    ASSERT_EQ(adapter.Open(), 1);
    EXPECT_EQ(board.calls().mid(4), QStringList({"gp_delm(\"l\",10)", "gp_delm(\"t\",138)"}));
}

TEST_F(RatocUsbGpibAdapterTest, WritesWithoutPauseAndWaitsBeforeReleasingTheLibrary)
{
    ASSERT_EQ(adapter.Open(), 1);
    EXPECT_EQ(adapter.Write(QStringLiteral("*IDN?")), 1);
    EXPECT_EQ(time.waitedMs(), 0);
    EXPECT_EQ(adapter.Close(), 1);
    EXPECT_EQ(time.waitedMs(), 150);
    EXPECT_FALSE(adapter.isLoaded());
}

TEST_F(RatocUsbGpibAdapterTest, AcceptsOnlyThe2000And98Generations)
{
    adapter.osGeneration = 40;
    EXPECT_EQ(adapter.Open(), 0);
    EXPECT_EQ(prompt.texts(), QStringList({"このOSでは実行できません"}));
    adapter.osGeneration = 98;
    EXPECT_EQ(adapter.Open(), 1);
    EXPECT_EQ(board.calls().first(), QStringLiteral("gp_init(0,0,0)"));
}

TEST_F(RatocUsbGpibAdapterTest, InitialisationFailureNamesTheUsbDevice)
{
    board.failNext("gp_init", 5);
    EXPECT_EQ(adapter.Open(), 0);
    EXPECT_EQ(adapter.errorText(), QStringLiteral("GPIB USB の初期化ができませんでした"));
}

} // namespace
