#include "DeviceFixture.h"
#include "ui/StopFlag.h"

// A stop request (Ctrl-C and the like) ends the operations of many exchanges between two of their
// steps: every step sent has been checked, nothing is shown, and the link is closed.
class StopRequest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        settings.SeqCtl = HardwareControl;
        settings.deriveActiveValues();
        port.setStopFlag(&stop);
    }

    StopFlag stop;
};

TEST_F(StopRequest, AWriteStopsBetweenStepsAndSaysHowFarItGot)
{
    const QStringList header{"*IDN?", "*CLS;:INP:PROT:CLE", "INST:NSEL 1;:INST:COUP NONE", "FUNC CC"};
    const struct {
        int stopAtStep; // -1: before the write
        QStringList sent;
        int lastProgress;
    } cases[] = {
        {-1, {}, -1},
        {0, header + QStringList{"PROG:FSP:END 4", "PROG:LVAL 0"}, 0},
        {2,
         header + QStringList{"PROG:FSP:END 4", "PROG:LVAL 0", "PROG:FSP:EDIT 1,1.0000,0,10.000", "SYST:ERR?",
                              "PROG:FSP:EDIT 2,2.0000,0,10.000", "SYST:ERR?"},
         2},
    };
    setSteps(0, {"1.0000", "2.0000", "3.0000", "4.0000"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stopAtStep);
        stop.clear();
        simulator.clearTranscript();
        int lastProgress = -1;
        device.setWriteProgress([&](int, int step, int) {
            lastProgress = step;
            if (step == c.stopAtStep)
                stop.set();
        });
        if (c.stopAtStep < 0)
            stop.set();
        EXPECT_EQ(device.WriteSequence(0), 0);
        EXPECT_EQ(sent(), c.sent);
        EXPECT_EQ(lastProgress, c.lastProgress);
        EXPECT_FALSE(linkOpen());
        EXPECT_TRUE(prompt.texts().isEmpty()) << prompt.texts().join('|').toStdString();
    }
}

TEST_F(StopRequest, AReadStopsBetweenStepsKeepingTheStepsRead)
{
    for (const QString& line : {QStringLiteral("INST:NSEL 2;:FUNC CC;:PROG:FSP:END 4"),
                                QStringLiteral("PROG:FSP:EDIT 1,1,0,5;:PROG:FSP:EDIT 2,2,0,5"),
                                QStringLiteral("PROG:FSP:EDIT 3,3,0,5;:PROG:FSP:EDIT 4,4,0,5")})
        simulator.handleLine(line);
    simulator.clearTranscript();
    device.setReadProgress([&](int, int step, int) {
        if (step == 2)
            stop.set();
    });
    EXPECT_EQ(device.ReadSequence(1), 0);
    EXPECT_EQ(document->channel(1).count, 2);
    EXPECT_EQ(sent().filter(QStringLiteral("PROG:FSP:EDIT?")),
              (QStringList{"PROG:FSP:EDIT? 1", "PROG:FSP:EDIT? 2"}));
    EXPECT_FALSE(linkOpen());
    EXPECT_TRUE(prompt.texts().isEmpty());

    // A read asked for after the stop sends nothing.
    simulator.clearTranscript();
    EXPECT_EQ(device.ReadSequence(2), 0);
    EXPECT_EQ(sent(), QStringList());
}

TEST_F(StopRequest, RangesStopBeforeTheNextChannel)
{
    stop.set();
    const ChannelFlags ranges{0, 0, 0, 0, 0};
    EXPECT_EQ(device.SetRanges(ranges, ranges, ranges, ChannelFlags{1, 1, 0, 0, 0}), 0);
    EXPECT_EQ(sent(), identification());
    EXPECT_FALSE(linkOpen());
    EXPECT_TRUE(prompt.texts().isEmpty());
}
