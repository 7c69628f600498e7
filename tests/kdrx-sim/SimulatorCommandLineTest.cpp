#include "SimulatorCommandLine.h"

#include "FakeTime.h"
#include "KdrxSimulator.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

std::optional<SimulatorOptions> parse(const QStringList& arguments, QString* error = nullptr)
{
    return SimulatorCommandLine::parse(QStringList({"kdrx-sim"}) + arguments, error);
}

} // namespace

TEST(SimulatorCommandLine, ReadsEveryOptionAndSetsTheFaults)
{
    const auto options = parse({"--pty", "/tmp/kdrx", "--transcript", "/tmp/t.txt", "--baud", "19200",
                                "--stop-after", "2", "--garbage", "--model", "XYZ", "--error-after",
                                "PROG:FSP:EDIT 3,1.5,0,10=-222,\"Data out of range\"", "--questionable",
                                "2=8", "--source", "4=24,0.5"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->ptyPath, "/tmp/kdrx");
    EXPECT_EQ(options->transcriptPath, "/tmp/t.txt");
    EXPECT_EQ(options->baud, 19200);

    FakeTime time;
    KdrxSimulator simulator(time);
    SimulatorCommandLine::apply(*options, simulator);
    EXPECT_EQ(simulator.identity(), "MORVANE,XYZ,SIM00001,1.00");
    EXPECT_EQ(simulator.channel(2).questionable(), 8);
    EXPECT_DOUBLE_EQ(simulator.channel(4).sourceVoltage(), 24.0);
    EXPECT_DOUBLE_EQ(simulator.channel(4).sourceResistance(), 0.5);
    simulator.handleLine("PROG:FSP:EDIT 3,1.5,0,10");
    EXPECT_EQ(simulator.errorQueue(), QStringList({"-222,\"Data out of range\""}));
    EXPECT_EQ(simulator.handleLine("*IDN?"), QStringList({KdrxSimulator::garbageReply()}));
    EXPECT_EQ(simulator.handleLine("*IDN?"), QStringList());
}

TEST(SimulatorCommandLine, WithoutOptionsServesTheStreamsFaultFree)
{
    const auto options = parse({});
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->ptyPath.isEmpty());
    EXPECT_EQ(options->baud, 0);
    EXPECT_EQ(options->stopAfter, -1);
    EXPECT_FALSE(options->garbage);
}

TEST(SimulatorCommandLine, RefusesBadValues)
{
    const QStringList bad[] = {
        {"--baud", "0"},
        {"--baud", "fast"},
        {"--stop-after", "-1"},
        {"--questionable", "6=1"},
        {"--questionable", "1"},
        {"--error-after", "=x"},
        {"--error-after", "CMD="},
        {"--source", "1=12"},
        {"--source", "1=-12,0.1"},
        {"--source", "0=12,0.1"},
        {"--unknown"},
        {"stray"},
        {"--pty"},
    };
    for (const QStringList& arguments : bad) {
        QString error;
        EXPECT_FALSE(parse(arguments, &error)) << qPrintable(arguments.join(' '));
        EXPECT_FALSE(error.isEmpty()) << qPrintable(arguments.join(' '));
    }
}
