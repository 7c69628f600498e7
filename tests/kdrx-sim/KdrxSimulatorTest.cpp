#include "SimulatorFixture.h"

using KdrxSimulatorTest = SimulatorFixture;

TEST_F(KdrxSimulatorTest, IdentifiesAsAKdrxModel)
{
    const QStringList fields = ask("*IDN?").split(',');
    ASSERT_GE(fields.size(), 2);
    EXPECT_TRUE(fields.at(1).startsWith("KDR"));
    EXPECT_EQ(ask("*IDN?"), KdrxSimulator::defaultIdentity());
}

TEST_F(KdrxSimulatorTest, AcceptsEveryCommandTheProgramSends)
{
    const char* commands[] = {
        "*CLS;:INP:PROT:CLE",
        "INST:COUP NONE",
        "INST:NSEL 2;:INST:COUP NONE",
        "INST:NSEL 1;:PROG:STAT STOP;:FUNC CV",
        "INST:NSEL 1;:PROG:STAT STOP;:FUNC CC",
        "INST:NSEL 1;:PROG:STAT STOP;:FUNC CR",
        "INST:NSEL 1;:PROG:STAT STOP;:FUNC CCCV",
        "INST:NSEL 1;:PROG:STAT STOP;:FUNC CRCV",
        "FUNC CC",
        "FUNC CR",
        "VOLT 1.500",
        "VOLT 12.000000",
        "CURR 0",
        "CURR 2.5",
        "COND 0.25000000",
        "COND 0",
        "INST:NSEL 3;:VOLT 1.500",
        "INST:NSEL 3;:CURR 0.125",
        "INST:NSEL 3;:COND 0.00000000",
        "VOLT:RANG HIGH",
        "VOLT:RANG LOW",
        "CURR:RANG HIGH",
        "CURR:RANG MED",
        "CURR:RANG LOW",
        "CURR:RANG HIGH",
        "OUTP 0",
        "OUTP 1",
        "INST:NSEL 4;:OUTP 1",
        "INST:NSEL 4;:OUTP 0",
        "INST:NSEL 1;:INST:COUP NONE",
        "FUNC CC",
        "PROG:FSP:END 3",
        "PROG:LVAL 0",
        "PROG:FSP:EDIT 1,1.5,0,10",
        "PROG:FSP:EDIT 2,2,0,0.001",
        "PROG:FSP:EDIT 3,1.5,0,10",
        "PROG:FSP:EDIT 4,0,0,0",
        "PROG:LOOP 2",
        "PROG:LINP ON",
        "PROG:LINP OFF",
        "INST:NSEL 1;:PROG:STAT RUN",
        "INST:NSEL 1;:PROG:STAT STOP",
        "INST CH1;:INST:COUP CH1,CH3;:OUTP 1",
        "INST:COUP NONE",
        "INST CH1;:INST:COUP CH1,CH3;:PROG:STAT RUN",
        "INST:COUP NONE",
        "INST:NSEL 1;:PROG:STAT STOP",
        "INST:NSEL 3;:PROG:STAT STOP",
    };
    for (const char* command : commands)
        send(QLatin1String(command));
}

TEST_F(KdrxSimulatorTest, AnswersEveryQueryOfAMessageInOneLine)
{
    send("INST:NSEL 2;:FUNC CR");
    EXPECT_EQ(ask("INST:NSEL 1;:MEAS:CURR?;:MEAS:VOLT?"), "0.0000;12.000");
    EXPECT_EQ(ask(":INST:NSEL 1;:FUNC?;:INST:NSEL 2;:FUNC?;"), "CC;CR");
    EXPECT_EQ(ask("INST:NSEL?;:FUNC?;*IDN?"), QStringLiteral("2;CR;") + KdrxSimulator::defaultIdentity());
    EXPECT_EQ(ask("STAT:QUES:INST:ISUM1:COND?;:STAT:QUES:INST:ISUM2:COND?;:STAT:QUES:INST:ISUM3:COND?;"
                  ":STAT:QUES:INST:ISUM4:COND?;:STAT:QUES:INST:ISUM5:COND?"),
              "0;0;0;0;0");
}

TEST_F(KdrxSimulatorTest, KeepsTheSelectedChannelAcrossMessages)
{
    send("INST:NSEL 4");
    send("CURR 3");
    EXPECT_EQ(simulator.selectedChannel(), 4);
    EXPECT_DOUBLE_EQ(simulator.channel(4).current(), 3.0);
    EXPECT_DOUBLE_EQ(simulator.channel(1).current(), 0.0);
    send("INST CH2");
    EXPECT_EQ(ask("INST?"), "CH2");
    EXPECT_EQ(ask("INST:NSEL?"), "2");
}

TEST_F(KdrxSimulatorTest, AcceptsLongFormsAndAnyCase)
{
    send("instrument:nselect 3;:source:current:level 1.25");
    EXPECT_EQ(ask("INST:NSEL 3;:CURRent?"), "1.25");
}

TEST_F(KdrxSimulatorTest, AnEmptyErrorQueueAnswersZero)
{
    const QString answer = nextError();
    EXPECT_EQ(answer, "0,\"No error\"");
    EXPECT_TRUE(answer.startsWith('0'));
}

TEST_F(KdrxSimulatorTest, UnknownHeadersPushAnErrorAndEndTheMessage)
{
    EXPECT_EQ(ask("VOLT 1;:FOO:BAR 2;:CURR 3"), "<none>");
    EXPECT_EQ(simulator.channel(1).current(), 0.0) << "the unit after the unknown header must not run";
    EXPECT_DOUBLE_EQ(simulator.channel(1).voltage(), 1.0);
    EXPECT_EQ(nextError(), "-113,\"Undefined header\"");
    EXPECT_EQ(nextError(), "0,\"No error\"");
    // Misspelt forms of the program's commands are unknown too.
    for (const char* wrong :
         {"INST:NSL 1", "PROG:FSP:EDT 1,1,0,1", "PROG:EXEC", "OUTPUT:STAT:X 1", "FUNC? CC"}) {
        simulator.handleLine(QLatin1String(wrong));
        EXPECT_NE(nextError(), "0,\"No error\"") << wrong;
    }
}

TEST_F(KdrxSimulatorTest, BadParametersPushTheirErrorAndTheMessageGoesOn)
{
    struct Case {
        const char* command;
        const char* error;
    };
    const Case cases[] = {
        {"CURR 60.001", "-222,\"Data out of range\""},
        {"CURR -0.1", "-222,\"Data out of range\""},
        {"VOLT 150.5", "-222,\"Data out of range\""},
        {"COND 40.1", "-222,\"Data out of range\""},
        {"INST:NSEL 6", "-222,\"Data out of range\""},
        {"INST:NSEL 0", "-222,\"Data out of range\""},
        {"INST:NSEL 1.5", "-222,\"Data out of range\""},
        {"PROG:FSP:END 1025", "-222,\"Data out of range\""},
        {"PROG:FSP:END 0", "-222,\"Data out of range\""},
        {"PROG:FSP:EDIT 1025,1,0,1", "-222,\"Data out of range\""},
        {"PROG:FSP:EDIT 1,61,0,1", "-222,\"Data out of range\""},
        {"PROG:FSP:EDIT 1,1,0,-1", "-222,\"Data out of range\""},
        {"PROG:FSP:EDIT 1,1,0,10000", "-222,\"Data out of range\""},
        {"PROG:FSP:EDIT 1,1,2,1", "-224,\"Illegal parameter value\""},
        {"PROG:FSP:EDIT 1,1,0", "-109,\"Missing parameter\""},
        {"PROG:FSP:EDIT 1,1,0,1,5", "-108,\"Parameter not allowed\""},
        {"PROG:LOOP 0", "-222,\"Data out of range\""},
        {"PROG:LOOP 10000", "-222,\"Data out of range\""},
        {"PROG:LVAL 61", "-222,\"Data out of range\""},
        {"PROG:LINP MAYBE", "-224,\"Illegal parameter value\""},
        {"FUNC CP", "-224,\"Illegal parameter value\""},
        {"VOLT:RANG MED", "-224,\"Illegal parameter value\""},
        {"CURR:RANG MID", "-224,\"Illegal parameter value\""},
        {"OUTP 2", "-224,\"Illegal parameter value\""},
        {"INST CH6", "-224,\"Illegal parameter value\""},
        {"INST:COUP CH1,CH9", "-224,\"Illegal parameter value\""},
        {"CURR 1.5A", "-104,\"Data type error\""},
        {"CURR", "-109,\"Missing parameter\""},
        {"*IDN? 1", "-108,\"Parameter not allowed\""},
        {"STAT:QUES:INST:ISUM6:COND?", "-114,\"Header suffix out of range\""},
        {"INST::NSEL 1", "-102,\"Syntax error\""},
    };
    for (const Case& c : cases) {
        simulator.handleLine(QLatin1String(c.command));
        EXPECT_EQ(nextError(), QLatin1String(c.error)) << c.command;
        EXPECT_EQ(nextError(), "0,\"No error\"") << c.command;
    }
    // A refused value leaves the old one; the rest of the message still runs.
    send("CURR 2");
    EXPECT_EQ(ask("CURR 99;:CURR?"), "2");
    EXPECT_EQ(nextError(), "-222,\"Data out of range\"");
}

TEST_F(KdrxSimulatorTest, TheErrorQueueKeepsOrderClearsAndOverflows)
{
    simulator.handleLine("CURR 99");
    simulator.handleLine("NOPE");
    EXPECT_EQ(ask("SYST:ERR?;:SYST:ERR?;:SYST:ERR?"),
              "-222,\"Data out of range\";-113,\"Undefined header\";0,\"No error\"");
    simulator.handleLine("CURR 99");
    send("*CLS;:INP:PROT:CLE");
    EXPECT_EQ(nextError(), "0,\"No error\"");
    for (int i = 0; i < 20; ++i)
        simulator.handleLine("CURR 99");
    const QStringList queue = simulator.errorQueue();
    ASSERT_EQ(queue.size(), ScpiErrorQueue::kCapacity);
    EXPECT_EQ(queue.first(), "-222,\"Data out of range\"");
    EXPECT_EQ(queue.last(), "-350,\"Queue overflow\"");
}

TEST_F(KdrxSimulatorTest, CommandsWithoutQueriesProduceNoLine)
{
    EXPECT_TRUE(simulator.handleLine("INST:NSEL 1;:OUTP 1").isEmpty());
    EXPECT_TRUE(simulator.handleLine("").isEmpty());
    EXPECT_TRUE(simulator.handleLine(";").isEmpty());
    // A query that fails gives no answer of its own.
    EXPECT_EQ(ask("PROG:FSP:EDIT? 0;:FUNC?"), "CC");
    EXPECT_EQ(nextError(), "-222,\"Data out of range\"");
}

TEST_F(KdrxSimulatorTest, DropsTheLineEnd)
{
    EXPECT_EQ(ask("*IDN?\r"), KdrxSimulator::defaultIdentity());
    EXPECT_EQ(simulator.receivedTexts(), QStringList({"*IDN?"}));
}

TEST_F(KdrxSimulatorTest, CouplesChannelsForTheLoadSwitch)
{
    send("INST CH1;:INST:COUP CH1,CH3;:OUTP 1");
    EXPECT_EQ(simulator.coupledChannels(), std::vector<int>({1, 3}));
    EXPECT_EQ(ask("INST:COUP?"), "CH1,CH3");
    EXPECT_TRUE(simulator.channel(1).loadOn());
    EXPECT_FALSE(simulator.channel(2).loadOn());
    EXPECT_TRUE(simulator.channel(3).loadOn());
    send("INST:COUP NONE");
    EXPECT_EQ(ask("INST:COUP?"), "NONE");
    send("OUTP 0");
    EXPECT_FALSE(simulator.channel(1).loadOn());
    EXPECT_TRUE(simulator.channel(3).loadOn());
    // A channel outside the coupled group acts alone.
    send("INST:COUP CH1,CH3;:INST:NSEL 2;:OUTP 1");
    EXPECT_TRUE(simulator.channel(2).loadOn());
    EXPECT_TRUE(simulator.channel(3).loadOn());
    EXPECT_FALSE(simulator.channel(1).loadOn());
}

TEST_F(KdrxSimulatorTest, NarrowerRangesLimitTheSetValues)
{
    send("CURR 5;:COND 3;:VOLT 100");
    EXPECT_EQ(ask("CURR:RANG?;:VOLT:RANG?"), "HIGH;HIGH");
    send("CURR:RANG LOW");
    send("VOLT:RANG LOW");
    EXPECT_EQ(ask("CURR?;:COND?;:VOLT?"), "0.6;0.4;15");
    simulator.handleLine("CURR 0.7");
    EXPECT_EQ(nextError(), "-222,\"Data out of range\"");
    send("CURR:RANG MED;:CURR 6");
    EXPECT_EQ(ask("CURR:RANG?;:CURR?"), "MED;6");
}

TEST_F(KdrxSimulatorTest, ResetRestoresSettingsButKeepsTheProgram)
{
    send("INST:NSEL 2;:FUNC CR;:COND 1;:OUTP 1;:PROG:FSP:END 7");
    send("*RST");
    EXPECT_EQ(simulator.selectedChannel(), 1);
    EXPECT_EQ(ask("INST:NSEL 2;:FUNC?;:COND?;:OUTP?;:PROG:FSP:END?"), "CC;0;0;7");
}

// Faults.

TEST_F(KdrxSimulatorTest, StopsAnsweringAfterTheGivenNumberOfLines)
{
    simulator.stopAnsweringAfter(2);
    EXPECT_NE(ask("*IDN?"), "<none>");
    send("INST:NSEL 2");
    EXPECT_EQ(ask("*IDN?"), "<none>");
    EXPECT_EQ(ask("SYST:ERR?"), "<none>");
    send("INST:NSEL 3");
    EXPECT_EQ(simulator.selectedChannel(), 2) << "a silent instrument executes nothing";
    EXPECT_EQ(simulator.receivedTexts().size(), 5) << "but every line is still recorded";
    simulator.stopAnsweringAfter(-1);
    EXPECT_NE(ask("*IDN?"), "<none>");
}

TEST_F(KdrxSimulatorTest, AnswersGarbageThatIsNeitherAnIdentityNorAClearQueue)
{
    simulator.answerGarbage(true);
    const QString idn = ask("*IDN?");
    const QString error = ask("SYST:ERR?");
    EXPECT_EQ(idn, KdrxSimulator::garbageReply());
    EXPECT_FALSE(idn.contains("KDR"));
    EXPECT_FALSE(error.startsWith('0') || error.startsWith(','));
    EXPECT_FALSE(idn.contains(QChar(0x11)) || idn.contains(QChar(0x13)));
    EXPECT_EQ(ask("OUTP 1"), "<none>");
    simulator.answerGarbage(false);
    EXPECT_EQ(ask("*IDN?"), KdrxSimulator::defaultIdentity());
}

TEST_F(KdrxSimulatorTest, ReportsAnotherModel)
{
    simulator.setModel("PLZ1004W");
    EXPECT_EQ(ask("*IDN?"), "MORVANE,PLZ1004W,SIM00001,1.00");
    simulator.setIdentity("NO COMMA HERE");
    EXPECT_EQ(ask("*IDN?"), "NO COMMA HERE");
    simulator.clearFaults();
    EXPECT_EQ(ask("*IDN?"), KdrxSimulator::defaultIdentity());
}

TEST_F(KdrxSimulatorTest, PushesAnInjectedErrorAfterTheGivenCommand)
{
    simulator.pushErrorAfter("PROG:FSP:EDIT 3,1.5,0,10", "-222,\"Data out of range\"");
    simulator.pushErrorAfter("INST:NSEL 2;:FUNC CC", "-221,\"Settings conflict\"");
    send("PROG:FSP:EDIT 2,1.5,0,10");
    simulator.handleLine("PROG:FSP:EDIT 3,1.5,0,10");
    EXPECT_EQ(simulator.channel(1).step(3).value, 1.5) << "the command itself is carried out";
    EXPECT_EQ(nextError(), "-222,\"Data out of range\"");
    EXPECT_EQ(nextError(), "0,\"No error\"");
    // Within a message the error follows its unit, so a query after it already sees it.
    EXPECT_EQ(ask(":PROG:FSP:EDIT 3,1.5,0,10;:SYST:ERR?"), "-222,\"Data out of range\"");
    simulator.handleLine("INST:NSEL 2;:FUNC CC");
    EXPECT_EQ(nextError(), "-221,\"Settings conflict\"");
}

TEST_F(KdrxSimulatorTest, RaisesTheQuestionableConditionOfAChannel)
{
    simulator.setQuestionable(3, 4);
    EXPECT_EQ(ask("STAT:QUES:INST:ISUM1:COND?;:STAT:QUES:INST:ISUM2:COND?;:STAT:QUES:INST:ISUM3:COND?;"
                  ":STAT:QUES:INST:ISUM4:COND?;:STAT:QUES:INST:ISUM5:COND?"),
              "0;0;4;0;0");
    send("*CLS;:INP:PROT:CLE");
    EXPECT_EQ(ask("STAT:QUES:INST:ISUM3:COND?"), "4") << "a standing condition outlives *CLS";
    simulator.setQuestionable(3, 0);
    EXPECT_EQ(ask("STAT:QUES:INST:ISUM3:COND?"), "0");
}

TEST_F(KdrxSimulatorTest, StampsTheTranscriptWithTheClock)
{
    simulator.handleLine("*IDN?");
    time.waitMs(1500);
    simulator.handleLine("INST:NSEL 2");
    const auto received = simulator.received();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].ms, time.nowMs() - 1500);
    EXPECT_EQ(received[1].ms, time.nowMs());
    EXPECT_EQ(received[1].text, "INST:NSEL 2");
    simulator.clearTranscript();
    EXPECT_TRUE(simulator.receivedTexts().isEmpty());
}

TEST_F(KdrxSimulatorTest, KeepsOnlyTheLastLinesOfItsTranscript)
{
    // A simulator that serves for days must not keep every line it received; the observer still
    // sees each one.
    EXPECT_EQ(simulator.transcriptLimit(), KdrxSimulator::kDefaultTranscriptLimit);
    int observed = 0;
    simulator.setTranscriptObserver([&observed](const KdrxSimulator::Received&) { ++observed; });
    const struct {
        std::size_t limit;
        QStringList kept;
    } cases[] = {{3, {"INST:NSEL 3", "INST:NSEL 4", "INST:NSEL 5"}},
                 {0, {}},
                 {KdrxSimulator::kWholeTranscript,
                  {"INST:NSEL 1", "INST:NSEL 2", "INST:NSEL 3", "INST:NSEL 4", "INST:NSEL 5"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.limit);
        simulator.clearTranscript();
        simulator.setTranscriptLimit(c.limit);
        observed = 0;
        for (int n = 1; n <= 5; ++n)
            simulator.handleLine(QStringLiteral("INST:NSEL %1").arg(n));
        EXPECT_EQ(simulator.receivedTexts(), c.kept);
        EXPECT_EQ(observed, 5);
    }
    // Lowering the limit drops the oldest lines at once.
    simulator.setTranscriptLimit(2);
    EXPECT_EQ(simulator.receivedTexts(), (QStringList{"INST:NSEL 4", "INST:NSEL 5"}));
}
