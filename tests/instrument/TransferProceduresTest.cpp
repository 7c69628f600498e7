#include "instrument/TransferProcedures.h"

#include "DeviceFixture.h"
#include "RecordedTransferHooks.h"

class Transfer : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        settings.SeqCtl = HardwareControl;
        settings.deriveActiveValues();
        settings.RunCh = {7, 7, 7, 7, 7};
        procedures.setHooks(recorded.hooks(*this));
    }
    TransferData checked(const ChannelFlags& channels) const
    {
        TransferData data = TransferData::fromSettings(settings);
        data.channels = channels;
        return data;
    }

    TransferProcedures procedures{device, settings, current, prompt};
    RecordedTransferHooks recorded;
    std::vector<TransferProcedures::RunWindowTotals>& runWindow = recorded.runWindow;
    int& runWindowClears = recorded.runWindowClears;
    int& closes = recorded.closes;
    int& creates = recorded.creates;
    int& refreshes = recorded.refreshes;
    int& busyAtCreate = recorded.busyAtCreate;
    bool& allowClose = recorded.allowClose;
};

TEST_F(Transfer, AChannelWithoutStepsStopsTheWriteBeforeAnythingIsSent)
{
    setSteps(1, {"1.0000", "2.0000"});
    EXPECT_EQ((procedures.writeChannels(checked({0, 1, 0, 1, 0}))), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{"Channel 4 does not have data."}));
    EXPECT_TRUE(sent().isEmpty()) << "not even channel 2";
    EXPECT_EQ(prompt.busyCount, 0);
    EXPECT_EQ(settings.RunCh, (ChannelFlags{7, 7, 7, 7, 7}));
    EXPECT_TRUE(runWindow.empty());
}

TEST_F(Transfer, AStepTheWorksheetWouldRefuseStopsTheWriteBeforeAnythingIsSent)
{
    // A file edited by hand: the instrument would refuse the value, or take 300 steps where its
    // program holds 255.
    setSteps(0, {"1.0000"});
    setSteps(2, {"1.0000", "999999.0000"});
    QStringList many;
    for (int i = 0; i < 300; ++i)
        many << QStringLiteral("1.0000");
    setSteps(4, many);
    EXPECT_EQ((procedures.writeChannels(checked({1, 0, 1, 0, 1}))), 0);
    EXPECT_EQ(
        prompt.texts(),
        (QStringList{
            "Channel 3, line 2: the value \"999999.0000\" is outside -100 to 300000. Nothing was sent."}));
    EXPECT_TRUE(sent().isEmpty()) << "not even channel 1";
    EXPECT_EQ(settings.RunCh, (ChannelFlags{7, 7, 7, 7, 7}));
    EXPECT_TRUE(runWindow.empty());

    prompt.clear();
    EXPECT_EQ((procedures.writeChannels(checked({1, 0, 0, 0, 1}))), 0);
    EXPECT_EQ(prompt.texts(),
              (QStringList{"Channel 5, line 256: the channel holds 300 steps; at most 255 can be "
                           "sent. Nothing was sent."}));
    EXPECT_TRUE(sent().isEmpty());
}

TEST_F(Transfer, WriteWritesTheCheckedChannelsAndMarksThemForTheRun)
{
    setSteps(0, {"1.0000"});
    setSteps(2, {"1.0000", "2.0000", "3.0000"});
    setSteps(4, {"4.0000"});
    settings.RepeatCh[2] = 4;
    TransferData data = checked({0, 0, 1, 0, 1});
    data.repeat = 33;
    data.writeProgramIndex = 2;
    data.currentRangeIndex = 0;
    EXPECT_EQ(procedures.writeChannels(data), 1);

    EXPECT_EQ(sent().filter("INST:NSEL").size(), 2);
    EXPECT_EQ(sent().filter("INST:NSEL"),
              (QStringList{"INST:NSEL 3;:INST:COUP NONE", "INST:NSEL 5;:INST:COUP NONE"}));
    EXPECT_EQ(simulator.channel(3).endStep(), 3);
    ASSERT_EQ(prompt.entries.size(), 1u);
    EXPECT_EQ(prompt.entries[0].text, QStringLiteral("Succeed to writing"));
    EXPECT_EQ(prompt.entries[0].icon, UserPrompt::Icon::Information);
    EXPECT_EQ(settings.RunCh, (ChannelFlags{0, 0, 1, 0, 1}));
    EXPECT_EQ(settings.Repeat, 33) << "the hidden values are stored";
    EXPECT_EQ(settings.WriteProgNo, 3);
    EXPECT_EQ(settings.CurrRange, 1);
    EXPECT_EQ(settings.RunProgNo, 3);
    EXPECT_EQ(prompt.busyCount, 1);
    EXPECT_EQ(prompt.busyDepth, 0);

    ASSERT_EQ(runWindow.size(), 1u);
    const auto& totals = runWindow[0];
    EXPECT_TRUE(totals[2].active);
    EXPECT_EQ(totals[2].stepTotal, QStringLiteral("/ 3"));
    EXPECT_EQ(totals[2].loopTotal, QStringLiteral("/ 4"));
    EXPECT_EQ(totals[4].stepTotal, QStringLiteral("/ 1"));
    EXPECT_FALSE(totals[0].active);
    EXPECT_EQ(totals[0].stepTotal, QString());
    EXPECT_EQ(totals[0].loopTotal, QString());
}

TEST_F(Transfer, AFastModeWriteRunsProgramEleven)
{
    settings.SeqMode = FastSequence;
    setSteps(0, {"1.0000"});
    EXPECT_EQ((procedures.writeChannels(checked({1, 0, 0, 0, 0}))), 1);
    EXPECT_EQ(settings.RunProgNo, 11);
}

TEST_F(Transfer, AFailedChannelStopsTheWriteWhereItIs)
{
    for (int c = 0; c < kChannelCount; ++c)
        setSteps(c, {"1.0000", "2.0000"});
    line->failWriteOf = QStringLiteral("INST:NSEL 4;");
    EXPECT_EQ((procedures.writeChannels(checked({1, 0, 1, 1, 1}))), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{portMessage(CRs232cPort::WriteFailed)}));
    EXPECT_TRUE(sent().filter("INST:NSEL 5").isEmpty()) << "later channels are not written";
    EXPECT_EQ(settings.RunCh, (ChannelFlags{1, 0, 1, 7, 7}));
    EXPECT_TRUE(runWindow.empty());
    EXPECT_EQ(prompt.busyCount, 1);
    EXPECT_EQ(prompt.busyDepth, 0) << "the wait cursor goes on an early stop too";
    EXPECT_FALSE(linkOpen());
}

TEST_F(Transfer, ReadReplacesTheDocumentByANewOneWithTheCheckedChannels)
{
    setSteps(0, {"9.0000", "9.0000"});
    setSteps(3, {"9.0000"});
    simulator.handleLine(QStringLiteral("INST:NSEL 2;:PROG:FSP:END 2;:PROG:FSP:EDIT 1,1.5,0,3;:PROG:LOOP 6"));
    simulator.clearTranscript();
    TransferData data = checked({0, 1, 0, 0, 0});
    data.readProgramIndex = 4;
    EXPECT_EQ(procedures.readChannels(data), 1);

    EXPECT_EQ(closes, 1);
    EXPECT_EQ(creates, 1);
    EXPECT_EQ(busyAtCreate, 1) << "the wait cursor is shown before the new document";
    EXPECT_EQ(document->channel(0).count, 0) << "a fresh document, not the old one";
    EXPECT_EQ(document->channel(3).count, 0);
    EXPECT_EQ(document->channel(1).count, 2);
    EXPECT_EQ(document->channel(1).steps[0].value, QStringLiteral("1.5"));
    EXPECT_EQ(settings.RunCh, (ChannelFlags{0, 1, 0, 0, 0}));
    EXPECT_EQ(settings.ReadProgNo, 5);
    EXPECT_EQ(refreshes, 1);
    ASSERT_EQ(runWindow.size(), 1u);
    EXPECT_EQ(runWindow[0][1].stepTotal, QStringLiteral("/ 2"));
    EXPECT_EQ(runWindow[0][1].loopTotal, QStringLiteral("/ 6"));
    EXPECT_EQ(prompt.busyDepth, 0);
    EXPECT_TRUE(prompt.texts().isEmpty());
}

TEST_F(Transfer, CancellingTheSavePromptSendsNothing)
{
    allowClose = false;
    CMainDoc* before = document.get();
    EXPECT_EQ((procedures.readChannels(checked({1, 1, 1, 1, 1}))), 0);
    EXPECT_EQ(creates, 0);
    EXPECT_EQ(current.get(), before);
    EXPECT_TRUE(sent().isEmpty());
    EXPECT_EQ(prompt.busyCount, 0);
}

TEST_F(Transfer, AFailedReadStopsAndRemovesTheWaitCursor)
{
    simulator.stopAnsweringAfter(12); // channel 1 reads its one step; channel 2 is silent
    EXPECT_EQ((procedures.readChannels(checked({1, 1, 1, 0, 0}))), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{portMessage(CRs232cPort::NoData)}));
    EXPECT_EQ(settings.RunCh, (ChannelFlags{1, 7, 7, 7, 7}));
    EXPECT_EQ(document->channel(0).count, 1) << "what was read stays";
    EXPECT_EQ(refreshes, 1) << "and the windows show it";
    EXPECT_TRUE(runWindow.empty());
    EXPECT_EQ(prompt.busyDepth, 0);
    EXPECT_FALSE(linkOpen());
}

TEST_F(Transfer, ARepeatOutOfRangeStillReads)
{
    TransferData data = checked({1, 0, 0, 0, 0});
    data.repeat = 0;
    EXPECT_FALSE(data.repeatIsValid());
    EXPECT_EQ(procedures.readChannels(data), 1);
}

TEST_F(Transfer, RangesAreKeptOnlyWhenTheInstrumentTookThem)
{
    RangeData data = RangeData::fromSettings(settings);
    data.enabled = {1, 0, 1, 0, 0};
    data.currentRange = {2, 0, 1, 0, 0};
    data.voltageRange = {1, 0, 0, 0, 0};
    data.resistanceRange = {0, 0, 2, 0, 0};
    EXPECT_EQ(procedures.writeRanges(data), 1);
    EXPECT_EQ(sent().filter("RANG"),
              (QStringList{"VOLT:RANG LOW", "CURR:RANG LOW", "VOLT:RANG HIGH", "CURR:RANG MED"}));
    ASSERT_EQ(prompt.entries.size(), 1u);
    EXPECT_EQ(prompt.entries[0].text, QStringLiteral("It succeeded in writing."));
    EXPECT_EQ(prompt.entries[0].icon, UserPrompt::Icon::Information);
    EXPECT_EQ(settings.ChRange, (ChannelFlags{1, 0, 1, 0, 0}));
    EXPECT_EQ(settings.RangeCC, (ChannelFlags{2, 0, 1, 0, 0}));
    EXPECT_EQ(settings.RangeCV, (ChannelFlags{1, 0, 0, 0, 0}));
    EXPECT_EQ(settings.RangeCR, (ChannelFlags{0, 0, 2, 0, 0}));
    EXPECT_EQ(runWindowClears, 1);
    EXPECT_EQ(prompt.busyCount, 0);

    prompt.clear();
    RangeData refused = data;
    refused.currentRange = {0, 0, 7, 0, 0};
    EXPECT_EQ(procedures.writeRanges(refused), 0);
    EXPECT_EQ(prompt.texts(), (QStringList{"Can not set the cc range"}));
    EXPECT_EQ(settings.RangeCC, (ChannelFlags{2, 0, 1, 0, 0})) << "nothing stored";
    EXPECT_EQ(runWindowClears, 1);
}

TEST(TransferData, RoundTripsTheDialogSettingsWithListIndexes)
{
    AppSettings settings;
    settings.Ch = {1, 0, 1, 0, 0};
    settings.Repeat = 12;
    settings.WriteProgNo = 4;
    settings.ReadProgNo = 7;
    settings.CurrRange = 2;
    settings.nVoltRange = 1;
    settings.OffCurr = 0.25;
    TransferData data = TransferData::fromSettings(settings);
    EXPECT_EQ(data.writeProgramIndex, 3);
    EXPECT_EQ(data.readProgramIndex, 6);
    EXPECT_EQ(data.currentRangeIndex, 1);
    EXPECT_EQ(data.voltageRangeIndex, 0);

    AppSettings stored;
    data.storeHiddenValuesTo(stored);
    EXPECT_EQ(stored.Ch, AppSettings().Ch) << "a write does not store the channel choice";
    EXPECT_EQ(stored.ReadProgNo, AppSettings().ReadProgNo);
    data.storeTo(stored);
    EXPECT_EQ(stored.Ch, settings.Ch);
    EXPECT_EQ(stored.Repeat, 12);
    EXPECT_EQ(stored.WriteProgNo, 4);
    EXPECT_EQ(stored.ReadProgNo, 7);
    EXPECT_EQ(stored.CurrRange, 2);
    EXPECT_EQ(stored.nVoltRange, 1);
    EXPECT_DOUBLE_EQ(stored.OffCurr, 0.25);
}
