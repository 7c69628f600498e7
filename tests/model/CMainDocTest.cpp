#include "ModelTestSupport.h"

using CMainDocTable = DocumentFixture;

TEST_F(CMainDocTable, NewDocumentIsEmpty)
{
    EXPECT_EQ(document->currentChannel(), 0);
    for (int c = 0; c < kChannelCount; ++c) {
        EXPECT_EQ(document->channel(c).count, 0);
        EXPECT_TRUE(isEmptyStep(document->channel(c).steps[0]));
        EXPECT_TRUE(isEmptyStep(document->channel(c).steps[kMaxSteps - 1]));
    }
    EXPECT_EQ(document->bufferCount(), 0);
    EXPECT_EQ(document->recordedCount(), 0);
    EXPECT_EQ(document->savedInsertionLines(), 0);
    EXPECT_FALSE(document->isModified());
    EXPECT_FALSE(document->hasAnySteps());
}

TEST_F(CMainDocTable, ChannelOperationsStayWithinTheFiveChannels)
{
    document->setCurrentChannel(3);
    EXPECT_EQ(document->currentChannel(), 3);
    document->setCurrentChannel(5);
    document->setCurrentChannel(-1);
    EXPECT_EQ(document->currentChannel(), 3);
    EXPECT_THROW(document->channel(5), std::out_of_range);
    EXPECT_THROW(document->channel(-1), std::out_of_range);
}

TEST_F(CMainDocTable, TableOperationsActOnTheCurrentChannelOnly)
{
    fillChannel(0, 3);
    fillChannel(2, 3);
    document->setCurrentChannel(2);
    document->clearSteps(0);
    EXPECT_TRUE(isEmptyStep(document->channel(2).steps[0]));
    EXPECT_TRUE(sameFieldsButTime(document->channel(0).steps[0], fullStep(0)));
}

TEST_F(CMainDocTable, MoveStepEmptiesTheSourceAndTheTargetTime)
{
    fillChannel(0, 8);
    document->moveStep(5, 7);
    EXPECT_TRUE(isEmptyStep(document->current().steps[5]));
    EXPECT_TRUE(sameFieldsButTime(document->current().steps[7], fullStep(5)));
    EXPECT_TRUE(document->current().steps[7].time.isEmpty());
    EXPECT_EQ(document->current().count, 8);
}

TEST_F(CMainDocTable, MoveStepOntoItselfKeepsTheStep)
{
    fillChannel(0, 3);
    document->moveStep(1, 1);
    EXPECT_TRUE(sameFieldsButTime(document->current().steps[1], fullStep(1)));
    EXPECT_TRUE(document->current().steps[1].time.isEmpty());
}

TEST_F(CMainDocTable, MoveStepOutsideTheSlotsChangesNothing)
{
    fillChannel(0, 3);
    document->moveStep(2, kMaxSteps);
    document->moveStep(-1, 0);
    EXPECT_TRUE(sameFieldsButTime(document->current().steps[2], fullStep(2)));
    EXPECT_TRUE(sameFieldsButTime(document->current().steps[0], fullStep(0)));
}

TEST_F(CMainDocTable, ClearStepsEmptiesTheRestButKeepsTheCount)
{
    fillChannel(0, 10);
    document->current().steps[kMaxSteps - 1] = fullStep(99);
    document->clearSteps(4);
    EXPECT_TRUE(sameFieldsButTime(document->current().steps[3], fullStep(3)));
    EXPECT_EQ(document->current().steps[3].time, "t3");
    for (int slot : {4, 9, kMaxSteps - 1})
        EXPECT_TRUE(isEmptyStep(document->current().steps[slot])) << slot;
    EXPECT_EQ(document->current().count, 10);

    fillChannel(0, 10);
    document->clearSteps(kMaxSteps);
    document->clearSteps(-3);
    EXPECT_TRUE(sameFieldsButTime(document->current().steps[0], fullStep(0)));
}

TEST_F(CMainDocTable, CopyToBufferTakesTheSevenFieldsOfTheLines)
{
    fillChannel(0, 10);
    document->copyToBuffer(3, 5);
    ASSERT_EQ(document->bufferCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(sameFieldsButTime(document->copyBuffer()[i], fullStep(2 + i)));
        EXPECT_TRUE(document->copyBuffer()[i].time.isEmpty());
    }
    // The buffer is shared by the channels.
    document->setCurrentChannel(1);
    document->writeBuffer(1);
    EXPECT_TRUE(sameFieldsButTime(document->current().steps[0], fullStep(2)));
    EXPECT_TRUE(sameFieldsButTime(document->current().steps[2], fullStep(4)));
    EXPECT_EQ(document->current().count, 0);
}

TEST_F(CMainDocTable, CopyToBufferIsBoundedToTheSlots)
{
    fillChannel(0, 4);
    document->copyToBuffer(5, 3);
    EXPECT_EQ(document->bufferCount(), 0);
    document->copyToBuffer(1, 5000);
    EXPECT_EQ(document->bufferCount(), kMaxSteps);
    document->copyToBuffer(1020, 1030);
    ASSERT_EQ(document->bufferCount(), 11);
    EXPECT_TRUE(isEmptyStep(document->copyBuffer()[10]));
}

TEST_F(CMainDocTable, WriteBufferNearTheEndDropsTheLinesPastTheLastSlot)
{
    fillChannel(0, 10);
    document->copyToBuffer(1, 10);
    document->setCurrentChannel(1);
    document->writeBuffer(1020);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(sameFieldsButTime(document->current().steps[1019 + i], fullStep(i))) << i;
    document->writeBuffer(-20);
    EXPECT_TRUE(isEmptyStep(document->current().steps[0]));
}

TEST_F(CMainDocTable, RecordInsertionKeepsTheStepsPushedPastTheLimit)
{
    fillChannel(0, 250);
    document->recordInsertion(250, 259, kHardwareStepLimit);
    EXPECT_EQ(document->recordedCount(), 250);
    ASSERT_EQ(document->savedInsertionLines(), 5);

    // The worksheet inserts, then undoes: the inserted lines are deleted again and the slots at
    // the end hold something else by then.
    for (int slot = 240; slot < 260; ++slot)
        document->current().steps[slot] = fullStep(1000 + slot);
    EXPECT_EQ(document->restoreInsertion(), 250);
    for (int slot = 245; slot < 250; ++slot)
        EXPECT_TRUE(sameFieldsButTime(document->current().steps[slot], fullStep(slot))) << slot;
    EXPECT_TRUE(sameFieldsButTime(document->current().steps[244], fullStep(1244)));
}

TEST_F(CMainDocTable, RecordInsertionSavesNothingWhenNothingPassesTheLimit)
{
    fillChannel(0, 100);
    document->recordInsertion(10, 19, kHardwareStepLimit);
    EXPECT_EQ(document->recordedCount(), 100);
    EXPECT_EQ(document->savedInsertionLines(), 0);

    document->recordInsertion(101, 110, kHardwareStepLimit);
    EXPECT_EQ(document->recordedCount(), 100);
    EXPECT_EQ(document->savedInsertionLines(), 0);

    document->recordInsertion(10, 9, kHardwareStepLimit);
    EXPECT_EQ(document->savedInsertionLines(), 0);
}

TEST_F(CMainDocTable, RecordInsertionOfMoreLinesThanStepsNeverReadsBeforeSlotZero)
{
    fillChannel(0, 3);
    document->recordInsertion(1, 10, 5);
    ASSERT_EQ(document->savedInsertionLines(), 3);
    for (int slot = 0; slot < 3; ++slot)
        document->current().steps[slot].clear();
    EXPECT_EQ(document->restoreInsertion(), 3);
    for (int slot = 0; slot < 3; ++slot)
        EXPECT_TRUE(sameFieldsButTime(document->current().steps[slot], fullStep(slot)));

    fillChannel(0, kMaxSteps);
    document->recordInsertion(1, 2000000000, kMaxSteps);
    EXPECT_EQ(document->savedInsertionLines(), kMaxSteps);
}

TEST_F(CMainDocTable, RecordInsertionKeepsEveryStepTheLimitDrops)
{
    // A file may hold more steps than the limit the insertion is capped at: every step past it
    // goes, not only the ones the insertion moves.
    const struct {
        int count;
        int first;
        int lines;
        int limit;
        int firstDropped; // slot
    } cases[] = {
        {300, 1, 1, kHardwareStepLimit, 254},    // lines 255 to 300 drop
        {300, 100, 10, kHardwareStepLimit, 245}, // the moved steps and the unmoved ones past 255
        {300, 301, 3, kHardwareStepLimit, 255},  // after the last step: all past 255
        {1024, 1, 10, kMaxSteps, 1014},
    };
    for (const auto& c : cases) {
        fillChannel(0, c.count);
        document->recordInsertion(c.first, c.first + c.lines - 1, c.limit);
        EXPECT_EQ(document->recordedCount(), c.count) << c.count << " " << c.first;
        EXPECT_EQ(document->savedInsertionLines(), c.count - c.firstDropped) << c.count << " " << c.first;
        document->clearSteps(c.firstDropped);
        EXPECT_EQ(document->restoreInsertion(), c.count);
        for (int slot = 0; slot < c.count; ++slot)
            ASSERT_TRUE(sameFieldsButTime(document->current().steps[slot], fullStep(slot))) << slot;
    }
}

TEST_F(CMainDocTable, RecomputeTimesContinuesFromThePreviousSlot)
{
    settings.Unit = UnitS;
    settings.SeqMode = NormalSequence;
    auto& steps = document->current().steps;
    steps[2].time = QStringLiteral("6.000");
    steps[3].interval = QStringLiteral("1.5");
    steps[4].interval = QStringLiteral("2");
    document->current().count = 5;
    EXPECT_DOUBLE_EQ(document->recomputeTimes(3), 9.5);
    EXPECT_EQ(steps[3].time, "7.500");
    EXPECT_EQ(steps[4].time, "9.500");
    EXPECT_EQ(steps[2].time, "6.000");
}

TEST_F(CMainDocTable, RecomputeTimesFormatsByUnitAndSequenceMode)
{
    const struct {
        int seqMode;
        int unit;
        const char* first;
        const char* second;
    } cases[] = {
        {NormalSequence, UnitMin, "0.5", "0.8"},   {NormalSequence, UnitH, "0.5", "0.8"},
        {NormalSequence, UnitS, "0.500", "0.750"}, {NormalSequence, UnitMs, "1", "1"},
        {FastSequence, UnitMin, "0.500", "0.750"}, {FastSequence, UnitMs, "0.500", "0.750"},
    };
    for (const auto& c : cases) {
        settings.SeqMode = c.seqMode;
        settings.Unit = c.unit;
        auto& channel = document->channel(2);
        channel.steps[0].interval = QStringLiteral("0.5");
        channel.steps[1].interval = QStringLiteral("0.25");
        channel.steps[2].interval = QStringLiteral("7");
        channel.count = 2;
        EXPECT_DOUBLE_EQ(document->recomputeTimes(2, 0), 0.75);
        EXPECT_EQ(channel.steps[0].time, c.first) << c.seqMode << " " << c.unit;
        EXPECT_EQ(channel.steps[1].time, c.second) << c.seqMode << " " << c.unit;
        EXPECT_TRUE(channel.steps[2].time.isEmpty());
    }
}

TEST_F(CMainDocTable, RecomputeTimesReadsUnreadableIntervalsAsZero)
{
    auto& channel = document->current();
    channel.steps[0].interval = QStringLiteral("abc");
    channel.steps[1].interval = QString();
    channel.steps[2].interval = QStringLiteral("2.5x");
    channel.count = 3;
    EXPECT_DOUBLE_EQ(document->recomputeTimes(0), 2.5);
    EXPECT_EQ(channel.steps[1].time, "0.000");
    EXPECT_EQ(channel.steps[2].time, "2.500");
}

TEST_F(CMainDocTable, RecomputeTimesOfAFullChannelOrPastTheCount)
{
    auto& channel = document->current();
    for (int slot = 0; slot < kMaxSteps; ++slot)
        channel.steps[slot].interval = QStringLiteral("1");
    channel.count = kMaxSteps;
    EXPECT_DOUBLE_EQ(document->recomputeTimes(0), 1024.0);
    EXPECT_EQ(channel.steps[kMaxSteps - 1].time, "1024.000");
    EXPECT_DOUBLE_EQ(document->recomputeTimes(kMaxSteps), 1024.0);
    EXPECT_DOUBLE_EQ(document->recomputeTimes(kMaxSteps + 5), 0.0);
}

TEST_F(CMainDocTable, CloseTellsTheHook)
{
    int closed = 0;
    document->setCloseHook([&] { ++closed; });
    document->closeDocument();
    EXPECT_EQ(closed, 1);
}
