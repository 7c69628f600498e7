#include "PrologixController.h"

#include "FakeTime.h"
#include "QtPrinters.h"
#include "SimulatorCommandLine.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kIdentity = KdrxSimulator::defaultIdentity().toLatin1() + "\n";

// The simulated controller as a program sees it through its port: bytes in, bytes out, and the
// lines the load behind it received.
TEST(PrologixController, AnswersAndPassesOnAsAControllerDoes)
{
    const struct {
        const char* name;
        QByteArray setUp; // sent first, answers ignored
        QByteArray input;
        QByteArray output;
        QStringList loadLines;
    } cases[] = {
        {"version", "", "++ver\r\n", PrologixController::defaultVersion().toLatin1() + "\r\n", {}},
        {"settings asked back", "++addr 7\n++eos 3\n", "++addr\n++eos\n++auto\n", "7\r\n3\r\n0\r\n", {}},
        {"out-of-range values are not taken", "++addr 31\n++eos 4\n", "++addr\n++eos\n", "5\r\n0\r\n", {}},
        {"a query, then the read", "++eos 3\n", "*IDN?\x1b\n\n++read eoi\n", kIdentity, {"*IDN?"}},
        {"the terminator added by ++eos 2", "++eos 2\n", "*IDN?\n++read eoi\n", kIdentity, {"*IDN?"}},
        {"EOI ends a message without a line feed", "++eos 3\n", "*IDN?\n++read eoi\n", kIdentity, {"*IDN?"}},
        {"auto read after each line", "++auto 1\n++eos 3\n", "*IDN?\x1b\n\n", kIdentity, {"*IDN?"}},
        {"escaped pluses are data", "++eos 3\n", "\x1b+\x1b+ver\x1b\n\n", "", {"++ver"}},
        {"escaped CR and ESC are data", "++eos 3\n", "A\x1b\rB\x1b\x1b\x1b\n\n", "", {"A\rB\x1b"}},
        {"a plus inside a command line is data of the command",
         "++eos 3\n",
         "VOLT +1\x1b\n\n",
         "",
         {"VOLT +1"}},
        {"an unread answer ends with the next message",
         "++eos 3\n",
         "PROG:LOOP?\x1b\n\n*IDN?\x1b\n\n++read eoi\n++read eoi\n",
         kIdentity,
         {"PROG:LOOP?", "*IDN?"}},
        {"nothing to read", "", "++read eoi\n", "", {}},
        {"a character added at EOI",
         "++eos 3\n++eot_enable 1\n++eot_char 42\n",
         "*IDN?\x1b\n\n++read\n",
         kIdentity + "*",
         {"*IDN?"}},
        {"an unknown command", "", "++frobnicate\n", "Unrecognized command\r\n", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeTime time;
        KdrxSimulator load(time);
        PrologixController controller(load);
        controller.receive(c.setUp);
        EXPECT_EQ(controller.receive(c.input), c.output);
        EXPECT_EQ(load.receivedTexts(), c.loadLines);
    }
}

TEST(PrologixController, HasFaultsForEveryWayALinkFails)
{
    FakeTime time;
    KdrxSimulator load(time);
    PrologixController controller(load);
    const QByteArray query = "++eos 3\n*IDN?\x1b\n\n++read eoi\n";

    controller.setInstrumentAddress(9);
    EXPECT_EQ(controller.receive(query), QByteArray()) << "nobody at address 5";
    EXPECT_TRUE(load.receivedTexts().isEmpty());
    controller.setInstrumentAddress(5);

    controller.cutRepliesAfter(8);
    EXPECT_EQ(controller.receive(query), kIdentity.left(8));
    EXPECT_EQ(controller.receive("++read eoi\n"), QByteArray()) << "the rest of a cut reply is lost";
    controller.cutRepliesAfter(-1);

    controller.setVersion(QStringLiteral("ECHO 1.0"));
    EXPECT_EQ(controller.receive("++ver\n"), QByteArray("ECHO 1.0\r\n"));

    controller.setSilent(true);
    load.clearTranscript();
    EXPECT_EQ(controller.receive("++ver\n" + query), QByteArray());
    EXPECT_TRUE(load.receivedTexts().isEmpty());
    EXPECT_EQ(controller.receivedBytes().right(query.size() + 6), "++ver\n" + query);
}

TEST(PrologixController, TheCommandLineSetsTheControllerAndItsFaults)
{
    const auto options =
        SimulatorCommandLine::parse({"kdrx-sim", "--tcp", "0", "--gpib-address", "12", "--prologix-silent",
                                     "--prologix-version", "X 1", "--prologix-cut", "4"},
                                    nullptr);
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->prologix) << "--tcp serves the controller";
    EXPECT_EQ(options->tcpPort, 0);
    FakeTime time;
    KdrxSimulator load(time);
    PrologixController controller(load);
    SimulatorCommandLine::applyController(*options, controller);
    EXPECT_EQ(controller.receive("++ver\n"), QByteArray()) << "silent";
    controller.setSilent(false);
    EXPECT_EQ(controller.receive("++ver\n"), QByteArray("X 1\r\n"));
    EXPECT_EQ(controller.receive("++addr 12\n++eos 3\n*IDN?\x1b\n\n++read eoi\n"), kIdentity.left(4));

    for (const QStringList& bad :
         {QStringList{"--gpib-address", "3"}, QStringList{"--prologix-silent"},
          QStringList{"--prologix", "--gpib-address", "31"}, QStringList{"--tcp", "65536"},
          QStringList{"--tcp", "0", "--pty", "/tmp/x"}, QStringList{"--prologix", "--prologix-cut", "-1"}}) {
        QString error;
        EXPECT_FALSE(SimulatorCommandLine::parse(QStringList{"kdrx-sim"} + bad, &error))
            << qPrintable(bad.join(' '));
        EXPECT_FALSE(error.isEmpty());
    }
}

} // namespace
