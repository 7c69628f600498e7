#include "SimulatorSerialLine.h"

#include "FakeTime.h"
#include "KdrxSimulator.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

class SimulatorSerialLineTest : public ::testing::Test {
protected:
    // Reads one reply line the way the RS-232C adapter does; "<timeout>" or "<failed>" otherwise.
    QString readLine(int timeoutMs = 15000)
    {
        QByteArray bytes;
        for (;;) {
            char byte = 0;
            switch (line.readByte(byte, timeoutMs)) {
            case SerialLine::ReadResult::TimedOut:
                return QStringLiteral("<timeout>");
            case SerialLine::ReadResult::Failed:
                return QStringLiteral("<failed>");
            case SerialLine::ReadResult::Byte:
                break;
            }
            if (byte == '\n')
                return QString::fromLatin1(bytes);
            bytes.append(byte);
        }
    }

    FakeTime time;
    KdrxSimulator simulator{time};
    SimulatorSerialLine line{simulator, time};
};

TEST_F(SimulatorSerialLineTest, AnswersAWrittenLineAtOnce)
{
    ASSERT_TRUE(line.open("SIM"));
    ASSERT_TRUE(line.configure());
    const qint64 start = time.nowMs();
    ASSERT_TRUE(line.write("*IDN?\n", 15000));
    EXPECT_EQ(readLine(), KdrxSimulator::defaultIdentity());
    EXPECT_EQ(time.nowMs(), start) << "an answered exchange takes no time";
    ASSERT_TRUE(line.write(":INST:NSEL 1;:PROG:EXEC?;:INST:NSEL 2;:PROG:EXEC?;\n", 15000));
    EXPECT_EQ(readLine(), "STOP,1,0,0,1;STOP,1,0,0,1");
}

TEST_F(SimulatorSerialLineTest, ATimeoutAdvancesTheClockByExactlyTheTimeout)
{
    ASSERT_TRUE(line.open("SIM"));
    ASSERT_TRUE(line.write("INST:NSEL 2\n", 15000));
    const qint64 start = time.nowMs();
    EXPECT_EQ(readLine(15000), "<timeout>");
    EXPECT_EQ(time.nowMs(), start + 15000);
    EXPECT_EQ(time.waitedMs(), 15000);
}

TEST_F(SimulatorSerialLineTest, ASilentInstrumentTimesOutAndTheTranscriptCarriesFakeTime)
{
    simulator.stopAnsweringAfter(1);
    ASSERT_TRUE(line.open("SIM"));
    ASSERT_TRUE(line.write("*IDN?\n", 15000));
    EXPECT_NE(readLine(), "<timeout>");
    const qint64 start = time.nowMs();
    ASSERT_TRUE(line.write("SYST:ERR?\n", 15000));
    EXPECT_EQ(readLine(), "<timeout>");
    ASSERT_TRUE(line.write("SYST:ERR?\n", 15000));
    const auto received = simulator.received();
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[1].ms, start);
    EXPECT_EQ(received[2].ms, start + 15000);
}

TEST_F(SimulatorSerialLineTest, HandsOnlyCompleteLinesToTheSimulator)
{
    ASSERT_TRUE(line.open("SIM"));
    ASSERT_TRUE(line.write("*ID", 15000));
    EXPECT_TRUE(simulator.receivedTexts().isEmpty());
    ASSERT_TRUE(line.write("N?\nINST:NSEL 3\nINST:NSEL?\n", 15000));
    EXPECT_EQ(simulator.receivedTexts(), QStringList({"*IDN?", "INST:NSEL 3", "INST:NSEL?"}));
    EXPECT_EQ(readLine(), KdrxSimulator::defaultIdentity());
    EXPECT_EQ(readLine(), "3");
    // Flow-control bytes are not part of a command.
    ASSERT_TRUE(line.write("\x13INST:NSEL?\x11\n", 15000));
    EXPECT_EQ(readLine(), "3");
}

TEST_F(SimulatorSerialLineTest, RecordsOpenConfigurePurgeAndClose)
{
    EXPECT_TRUE(line.open("/dev/ttyS0"));
    EXPECT_FALSE(line.open("/dev/ttyS0")) << "the port is held exclusively";
    EXPECT_TRUE(line.configure());
    line.purge();
    line.close();
    line.close();
    EXPECT_EQ(line.events(),
              QStringList({"open /dev/ttyS0", "open /dev/ttyS0 failed", "configure", "purge", "close"}));
    EXPECT_FALSE(line.isOpen());
}

TEST_F(SimulatorSerialLineTest, PurgeAndCloseDropUnreadReplies)
{
    ASSERT_TRUE(line.open("SIM"));
    ASSERT_TRUE(line.write("*IDN?\n", 15000));
    line.purge();
    EXPECT_TRUE(line.pendingReply().isEmpty());
    EXPECT_EQ(readLine(100), "<timeout>");
    ASSERT_TRUE(line.write("*IDN?\n", 15000));
    line.close();
    ASSERT_TRUE(line.open("SIM"));
    EXPECT_EQ(readLine(100), "<timeout>");
}

TEST_F(SimulatorSerialLineTest, FailsWhatItIsToldToFailAndEverythingWhileClosed)
{
    char byte = 0;
    EXPECT_FALSE(line.write("*IDN?\n", 15000));
    EXPECT_EQ(line.readByte(byte, 15000), SerialLine::ReadResult::Failed);
    EXPECT_EQ(time.waitedMs(), 0);
    EXPECT_TRUE(simulator.receivedTexts().isEmpty());

    line.failOpen(true);
    EXPECT_FALSE(line.open("SIM"));
    line.failOpen(false);
    ASSERT_TRUE(line.open("SIM"));
    line.failConfigure(true);
    EXPECT_FALSE(line.configure());
    EXPECT_TRUE(line.isOpen()) << "a line that cannot be configured stays open";
    line.failWrite(true);
    EXPECT_FALSE(line.write("*IDN?\n", 15000));
    line.failWrite(false);
    ASSERT_TRUE(line.write("*IDN?\n", 15000));
    line.failRead(true);
    EXPECT_EQ(line.readByte(byte, 15000), SerialLine::ReadResult::Failed);
}
