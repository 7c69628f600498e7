#include "SimulatorFixture.h"

// The device under test is a 12 V source with 0.1 ohm inside unless said otherwise; every function
// must give a current and voltage that agree with it.
using MeasurementTest = SimulatorFixture;

TEST_F(MeasurementTest, AgreesWithTheSourceInEveryFunction)
{
    struct Case {
        const char* setUp;
        const char* reading;
    };
    const Case cases[] = {
        {"FUNC CC;:CURR 5", "5.0000;11.500"},
        {"FUNC CC;:CURR 60", "60.0000;6.000"},
        {"FUNC CV;:VOLT 11", "10.0000;11.000"},
        {"FUNC CV;:VOLT 13", "0.0000;12.000"},
        {"FUNC CR;:COND 0.25000000", "2.9268;11.707"},
        {"FUNC CR;:COND 0", "0.0000;12.000"},
        {"FUNC CCCV;:CURR 50;:VOLT 10", "20.0000;10.000"},
        {"FUNC CCCV;:CURR 5;:VOLT 10", "5.0000;11.500"},
        {"FUNC CRCV;:COND 1;:VOLT 11", "10.0000;11.000"},
        {"FUNC CRCV;:COND 0.25;:VOLT 10", "2.9268;11.707"},
        // The current range caps what the load can sink.
        {"FUNC CV;:VOLT 0;:CURR:RANG MED", "6.0000;11.400"},
        {"FUNC CR;:COND 0.4;:CURR:RANG LOW", "0.6000;11.940"},
    };
    for (const Case& c : cases) {
        send("*RST");
        send(QLatin1String(c.setUp));
        EXPECT_EQ(ask("MEAS:CURR?;:MEAS:VOLT?"), "0.0000;12.000") << c.setUp << ": load off";
        send("OUTP 1");
        EXPECT_EQ(ask("INST:NSEL 1;:MEAS:CURR?;:MEAS:VOLT?"), QLatin1String(c.reading)) << c.setUp;
    }
}

TEST_F(MeasurementTest, FollowsTheSourceOfEachChannel)
{
    simulator.setSource(2, 24.0, 0.5);
    send("INST:NSEL 2;:FUNC CC;:CURR 10;:OUTP 1");
    EXPECT_EQ(ask("MEAS:CURR?;:MEAS:VOLT?;:MEAS:POW?"), "10.0000;19.000;190.000");
    send("INST:NSEL 1;:FUNC CC;:CURR 10;:OUTP 1");
    EXPECT_EQ(ask("MEAS:CURR?;:MEAS:VOLT?"), "10.0000;11.000");
}

TEST_F(MeasurementTest, ASourceWithoutResistanceHoldsItsVoltage)
{
    simulator.setSource(1, 12.0, 0.0);
    send("FUNC CR;:COND 2;:OUTP 1");
    EXPECT_EQ(ask("MEAS:CURR?;:MEAS:VOLT?"), "24.0000;12.000");
    send("FUNC CV;:VOLT 5");
    EXPECT_EQ(ask("MEAS:CURR?;:MEAS:VOLT?"), "60.0000;12.000");
}
