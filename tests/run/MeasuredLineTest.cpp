#include "RunFixture.h"
#include "run/LiveTrace.h"
#include "run/LogFigures.h"
#include "run/LogFileReader.h"
#include "run/MeasuredQuantity.h"
#include "run/TraceDecimator.h"

#include <QDir>
#include <cmath>

namespace {

size_t pointCount(const std::vector<std::vector<QPointF>>& lines)
{
    size_t count = 0;
    for (const auto& line : lines)
        count += line.size();
    return count;
}

TEST(TraceDecimator, KeepsEachColumnsExtremesInAtMostFourPoints)
{
    std::vector<double> times;
    std::vector<double> values;
    for (int i = 0; i < 100000; ++i) {
        times.push_back(0.5 * i);
        values.push_back(std::sin(i * 0.01) + (i == 31337 ? 5.0 : 0.0));
    }
    const TraceDecimator::View view{0.0, times.back(), 10.0, 500.0};
    const auto lines = TraceDecimator::decimate(times, values, view);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_LE(pointCount(lines), 4u * 501u);
    // The lone spike survives, and the line spans the whole range.
    double highest = -10.0;
    for (const QPointF& point : lines[0])
        highest = std::max(highest, point.y());
    EXPECT_DOUBLE_EQ(highest, values[31337]);
    EXPECT_DOUBLE_EQ(lines[0].front().x(), 10.0);
    EXPECT_DOUBLE_EQ(lines[0].back().x(), 510.0);

    // A missing reading splits the line; a narrower view includes one reading beyond each edge.
    values[50000] = NAN;
    EXPECT_EQ(TraceDecimator::decimate(times, values, view).size(), 2u);
    const auto zoomed = TraceDecimator::decimate(times, values, {100.25, 200.25, 0.0, 1000.0});
    ASSERT_EQ(zoomed.size(), 1u);
    EXPECT_DOUBLE_EQ(zoomed[0].front().y(), values[200]);
    EXPECT_DOUBLE_EQ(zoomed[0].back().y(), values[401]);
    EXPECT_EQ(TraceDecimator::readingAt(times, values, 100.3), 200);
    EXPECT_EQ(TraceDecimator::readingAt(times, values, 25000.2), -1);
}

TEST(LiveTrace, StaysBoundedAndShowsThePassUnderWay)
{
    LiveTrace trace;
    trace.setPass(86400.0, 2);
    for (long i = 0; i < 172800; ++i)
        trace.add(0.5 * static_cast<double>(i), 1, 1.0 + 0.5 * std::sin(0.001 * static_cast<double>(i)));
    EXPECT_LE(pointCount(trace.polylines()), 4u * LiveTrace::kBuckets);
    EXPECT_NEAR(trace.maximum(), 1.5, 1e-6);
    EXPECT_NEAR(trace.valueAt(43200.0), 1.0 + 0.5 * std::sin(86.4), 1e-3);

    // A failed reading breaks the line; the second pass starts it over; a reading past the last
    // pass's end (the one after processing) stays on the last pass.
    trace.add(86400.5, 0, NAN);
    trace.add(86401.0, 2, 2.0);
    EXPECT_EQ(trace.pass(), 2);
    EXPECT_EQ(pointCount(trace.polylines()), 1u);
    trace.add(86402.0, 2, NAN);
    trace.add(86700.0, 2, 2.5);
    EXPECT_EQ(trace.polylines().size(), 2u);
    trace.add(2 * 86400.0 + 30.0, 0, 3.0);
    EXPECT_EQ(trace.pass(), 2);
    EXPECT_DOUBLE_EQ(trace.valueAt(86400.0), 3.0);
}

TEST(MeasuredQuantity, IsTheSetValuesQuantity)
{
    struct Case {
        int mode;
        double current, voltage, expected;
    };
    const Case cases[] = {{ModeCV, 2.0, 12.0, 12.0},
                          {ModeCC, 2.0, 12.0, 2.0},
                          {ModeCCCV, 2.0, 12.0, 2.0},
                          {ModeCR, 2.0, 12.0, 6.0},
                          {ModeCRCV, 0.5, 5.0, 10.0}};
    for (const Case& test : cases)
        EXPECT_DOUBLE_EQ(MeasuredQuantity::valueOf(test.mode, test.current, test.voltage), test.expected)
            << test.mode;
    // No current, no resistance; voltage not monitored in CV, nothing.
    EXPECT_TRUE(std::isnan(MeasuredQuantity::valueOf(ModeCR, 0.0, 12.0)));
    EXPECT_TRUE(std::isnan(MeasuredQuantity::valueOf(ModeCV, 1.0, NAN)));
}

// The readings of a run as the Run window and tessorctl get them. Channel 1 runs CC on the
// simulator's 12 V, 0.1 ohm source: 1 A for 10 s, then 2 A for 10 s.
class RunReadingsTest : public RunFixture {
protected:
    void SetUp() override
    {
        RunFixture::SetUp();
        setMode(0, ModeCC);
        setSteps(0, {{"1", "10.0"}, {"2", "10.0"}});
        settings.MonitorTime = 500;
        settings.MonEnd = 1;
    }
    int measureCommands() const
    {
        int count = 0;
        for (const KdrxSimulator::Received& entry : simulator.received())
            count += entry.text.contains(QLatin1String("MEAS:CURR?")) ? 1 : 0;
        return count;
    }
};

TEST_F(RunReadingsTest, EveryReadingIsOneExchangeAndCarriesTheChargeSoFar)
{
    monitor(true, true, true);
    openDialog({1});
    engine.RunAll();
    runToEnd();
    // No reading of its own: one per measurement the run makes anyway.
    ASSERT_FALSE(observer.readings.empty());
    EXPECT_EQ(static_cast<int>(observer.readings.size()), measureCommands());
    const RunReading& last = observer.readings.back().second;
    EXPECT_EQ(observer.readings.back().first, 0);
    EXPECT_EQ(last.pass, 1);
    EXPECT_TRUE(last.hasCharge && last.hasEnergy);
    // 1 A for 10 s and 2 A for 10 s, less the half-second intervals at the start (first reading at
    // 0.5 s) and at the end (the load already off).
    EXPECT_NEAR(last.chargeAh, 29.0 / 3600.0, 1.0 / 3600.0);
    EXPECT_NEAR(last.energyWh, (10.0 * 11.9 + 20.0 * 11.8) / 3600.0, 12.0 / 3600.0);

    // The log of the run gives the same figures: its lines are the same readings.
    const QStringList logs = QDir(folder.path()).entryList(QDir::Files);
    ASSERT_EQ(logs.size(), 1);
    const LogFileReader::Result log = LogFileReader::read(folder.filePath(logs.first()));
    ASSERT_TRUE(log.data.has_value());
    const std::vector<LogFigures::Channel> figures = LogFigures::summarize(*log.data);
    ASSERT_EQ(figures.size(), 1u);
    EXPECT_NEAR(*figures[0].chargeAh, last.chargeAh, 1e-9);
    EXPECT_NEAR(*figures[0].energyWh, last.energyWh, 1e-9);
}

TEST_F(RunReadingsTest, WithoutMonitoringNothingIsRead)
{
    monitor(false, false, false);
    openDialog({1});
    engine.RunAll();
    runToEnd();
    EXPECT_TRUE(observer.readings.empty());
    EXPECT_EQ(measureCommands(), 0);
}

} // namespace
