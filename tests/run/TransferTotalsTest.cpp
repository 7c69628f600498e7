#include "RunFixture.h"
#include "instrument/TransferProcedures.h"

namespace {

// What the Transfer and Initial Settings dialogs leave in the Run window's panels, through the
// engine that keeps them.
class TransferTotalsTest : public RunFixture {
protected:
    void SetUp() override
    {
        RunFixture::SetUp();
        useHardwareControl();
        setSteps(0, {{"1", "1.0"}, {"2", "1.0"}, {"3", "1.0"}});
        setSteps(2, {{"1", "2.0"}});
        ASSERT_EQ(device.WriteSequence(0), 1);
        ASSERT_EQ(device.WriteSequence(2), 1);
        simulator.clearTranscript();
    }
    static TransferProcedures::RunWindowTotals written(int channel, const char* steps, const char* loops)
    {
        TransferProcedures::RunWindowTotals totals;
        totals[channel] = {true, QString::fromLatin1(steps), QString::fromLatin1(loops)};
        return totals;
    }
};

TEST_F(TransferTotalsTest, AWrittenChannelIsResetAndShowsItsProgramTheOthersLoseTheirTotals)
{
    openDialog({1, 3});
    engine.RunAll();
    runToEnd();
    ASSERT_EQ(observer.status[0], QStringLiteral("End"));
    observer.totals[1] = QStringLiteral("/ 9999 / 1024");

    engine.showTransferTotals(written(0, "/ 3", "/ 4"));
    EXPECT_EQ(observer.status[0], QStringLiteral("Standby"));
    EXPECT_EQ(observer.statusColors[0], QStringLiteral("black/grey"));
    EXPECT_EQ(observer.count[0], QStringLiteral("--"));
    EXPECT_EQ(observer.step[0], QStringLiteral("--"));
    EXPECT_EQ(observer.totals[0], QStringLiteral("/ 4 / 3")) << "loops beside Count, steps beside Step";
    EXPECT_EQ(observer.totals[1], QStringLiteral(" "));
    EXPECT_EQ(observer.status[2], QStringLiteral("End")) << "an unchecked channel keeps its status";
    EXPECT_EQ(observer.totals[2], QStringLiteral(" "));
    for (int c = 0; c < kChannelCount; ++c)
        EXPECT_FALSE(engine.channelState(c).runButtonActive) << c;
}

TEST_F(TransferTotalsTest, HardwareControlShowsTheTransferTotalsWheneverTheDialogOpens)
{
    engine.showTransferTotals(written(2, "/ 1", "/ 7"));
    observer.totals = {};
    openDialog({3});
    EXPECT_EQ(observer.totals[2], QStringLiteral("/ 7 / 1"));
    EXPECT_EQ(observer.totals[0], QStringLiteral(" "));

    // A range write clears them, and they stay cleared.
    engine.clearTransferTotals();
    observer.totals[2] = QStringLiteral("stale");
    openDialog({3});
    EXPECT_EQ(observer.totals[2], QStringLiteral(" "));

    // Under Software Control the panels show the document's totals as before.
    settings.SeqCtl = SoftwareControl;
    openDialog({1});
    EXPECT_EQ(observer.totals[0], QStringLiteral("/ 1 / 3"));
}

TEST_F(TransferTotalsTest, WithoutATransferTheDialogLeavesTheTotalsAsTheyAre)
{
    observer.totals[0] = QStringLiteral("untouched");
    openDialog({1});
    EXPECT_EQ(observer.totals[0], QStringLiteral("untouched"));
}

TEST_F(TransferTotalsTest, ARunningChannelKeepsItsPanel)
{
    openDialog({1});
    engine.RunAll();
    ASSERT_TRUE(engine.channelState(0).isRunning());
    engine.showTransferTotals(written(0, "/ 3", "/ 1"));
    EXPECT_EQ(observer.status[0], QStringLiteral("Running"));
    EXPECT_TRUE(engine.channelState(0).runButtonActive);
    engine.StopAll();
}

} // namespace
