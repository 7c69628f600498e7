#include "FakeGpibLibrary.h"
#include "RunFixture.h"

#include <memory>

namespace {

// The Hardware Control poll of five channels over links that cut long replies: the GPIB boards'
// read buffers (Interface 64 bytes, National Instruments 100) and the 127 characters of a reply
// the dialogue keeps over RS-232C. A channel left without an answer is asked again; it never
// shows "End" while its program runs.
class HardwarePollTest : public RunFixture {
protected:
    void SetUp() override
    {
        RunFixture::SetUp();
        useHardwareControl();
        for (int c = 0; c < kChannelCount; ++c) {
            setMode(c, ModeCC);
            setSteps(c, {{"1", "2.0"}, {"2", "2.0"}, {"3", "2.0"}});
        }
    }

    // Each answer of a status poll 30 characters long: the loop-count field, which the program
    // does not use, comes with leading zeros.
    static QString lengthened(const QString& command, const QString& reply)
    {
        if (!command.contains(QLatin1String("PROG:EXEC?")))
            return reply;
        QStringList answers = reply.split(QLatin1Char(';'));
        for (QString& answer : answers) {
            const qsizetype lastComma = answer.lastIndexOf(QLatin1Char(','));
            answer = answer.left(lastComma + 1) +
                     answer.mid(lastComma + 1).rightJustified(30 - lastComma - 1, QLatin1Char('0'));
        }
        return answers.join(QLatin1Char(';'));
    }
    // The port on a stand-in GPIB board of this maker, whose far end is the simulator.
    void useGpibBoard(int maker, const QString& library)
    {
        board = std::make_unique<FakeGpibLibrary>(library);
        board->setResponder([this](const QString& command) {
            const QStringList replies = simulator.handleLine(command);
            return replies.isEmpty() ? QString() : lengthened(command, replies.join(QLatin1Char('\n')));
        });
        port.setLibraryFolder(FakeGpibLibrary::folder());
        settings.Interface = 1;
        settings.Maker = maker;
        settings.Address = 3;
        port.applySettings(settings);
    }
    // Writes the five programs and starts them together.
    void startFivePrograms()
    {
        for (int c = 0; c < kChannelCount; ++c)
            ASSERT_EQ(device.WriteSequence(c), 1) << qPrintable(prompt.texts().join(QLatin1Char('|')));
        simulator.clearTranscript();
        openDialog({1, 2, 3, 4, 5});
        engine.RunAll();
        ASSERT_TRUE(engine.isRunActive());
    }
    // The status messages sent at +ms, each as the channels it asked ("12345").
    QStringList pollsAt(qint64 ms) const
    {
        QStringList polls;
        const QString stamp = QStringLiteral("+%1 ").arg(ms);
        for (const QString& line : timeline()) {
            if (!line.startsWith(stamp) || !line.contains(QLatin1String("PROG:EXEC?")))
                continue;
            QString channels;
            for (int c = 1; c <= kChannelCount; ++c) {
                if (line.contains(QStringLiteral("NSEL %1;").arg(c)))
                    channels += QString::number(c);
            }
            polls << channels;
        }
        return polls;
    }
    void expectEveryChannel(const QString& status, const QString& step, const char* when)
    {
        for (int c = 0; c < kChannelCount; ++c) {
            EXPECT_EQ(observer.status[c], status) << when << ", channel " << c + 1;
            EXPECT_EQ(observer.step[c], step) << when << ", channel " << c + 1;
        }
    }
    // The whole run: every channel followed while it runs, and ended with its program.
    void expectFollowedToTheEnd(const QStringList& exchangesOfAPoll)
    {
        runUntil(2100);
        EXPECT_EQ(pollsAt(2000), exchangesOfAPoll);
        expectEveryChannel(QStringLiteral("Running"), QStringLiteral("2"), "at 2 s");
        for (int c = 0; c < kChannelCount; ++c)
            EXPECT_EQ(observer.count[c], QStringLiteral("1")) << c;
        EXPECT_TRUE(engine.isRunActive());
        runUntil(4100);
        EXPECT_EQ(pollsAt(4000), exchangesOfAPoll);
        expectEveryChannel(QStringLiteral("Running"), QStringLiteral("3"), "at 4 s");
        runToEnd();
        expectEveryChannel(QStringLiteral("End"), QStringLiteral("3"), "at the end");
        EXPECT_EQ(observer.finished, 1);
        EXPECT_TRUE(prompt.texts().isEmpty()) << qPrintable(prompt.texts().join(QLatin1Char('|')));
    }

    std::unique_ptr<FakeGpibLibrary> board;
};

TEST_F(HardwarePollTest, InterfaceBoardCutsAtSixtyFourBytes)
{
    useGpibBoard(CInstrumentPort::InterfaceGpib, QStringLiteral("libGPC4304.so"));
    startFivePrograms();
    // Two whole answers fit; the third, cut, is asked again with the rest.
    expectFollowedToTheEnd({"12345", "345", "5"});
}

TEST_F(HardwarePollTest, NationalInstrumentsBoardCutsAtOneHundredBytes)
{
    useGpibBoard(CInstrumentPort::NiGpib, QStringLiteral("libgpib.so.0"));
    startFivePrograms();
    expectFollowedToTheEnd({"12345", "45"});
}

TEST_F(HardwarePollTest, SerialLinkKeepsTheFirst127CharactersOfLongAnswers)
{
    line->rewriteReply = lengthened;
    startFivePrograms();
    expectFollowedToTheEnd({"12345", "5"});
}

TEST_F(HardwarePollTest, ShortAnswersNeedOneExchange)
{
    startFivePrograms();
    expectFollowedToTheEnd({"12345"});
}

TEST_F(HardwarePollTest, AChannelUnansweredOnItsOwnFailsThePoll)
{
    // The instrument leaves channel 5 out of every reply.
    line->rewriteReply = [](const QString& command, const QString& reply) {
        if (!command.contains(QLatin1String("NSEL 5;")))
            return reply;
        return command.startsWith(QLatin1String(":INST:NSEL 5;")) ? QString()
                                                                  : reply.section(QLatin1Char(';'), 0, -2);
    };
    startFivePrograms();
    runUntil(2100);
    EXPECT_EQ(pollsAt(2000), (QStringList{"12345", "5"}));
    for (int c = 0; c < kChannelCount; ++c)
        EXPECT_EQ(observer.status[c], QStringLiteral("Error")) << c;
    for (const QString& call : observer.calls)
        EXPECT_FALSE(call.startsWith(QLatin1String("status 5 End"))) << qPrintable(call);
    runToEnd();
    EXPECT_EQ(observer.finished, 1);
    EXPECT_FALSE(simulatorLine.isOpen());
}

} // namespace
