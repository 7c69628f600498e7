#include "QtPrinters.h"
#include "run/LogCutSeries.h"
#include "run/LogFigures.h"
#include "run/LogFileReader.h"
#include "run/MonitorLog.h"
#include "run/RunFormats.h"
#include "ui/ResourceModule.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QDateTime kStart(QDate(2005, 12, 24), QTime(14, 3, 9));

// One line as a test gives it: the time and each channel's current and voltage texts.
struct Line {
    double seconds;
    ChannelTexts currents;
    ChannelTexts voltages;
};

// Writes lines with the program's log writer, cutting where it is due, and returns every file.
QStringList writeLog(const MonitorLog::Options& options, const std::vector<Line>& lines)
{
    MonitorLog log(options);
    EXPECT_TRUE(log.open(QStringLiteral("CC_"), kStart));
    QStringList files{log.path()};
    for (const Line& line : lines) {
        if (log.cutIfDue(line.seconds) == MonitorLog::CutResult::Cut)
            files << log.path();
        log.store(RunFormats::dataLine(RunFormats::passTimeText(line.seconds, options.passTime),
                                       line.currents, line.voltages, options.separator));
    }
    EXPECT_TRUE(log.finish());
    return files;
}

// Channel 1 reads 1.5 A at 12.000 V, channel 3 reads voltage only; channel 3 has a gap at the
// seventh line; lines every 25 s for 300 s.
std::vector<Line> sampleLines()
{
    std::vector<Line> lines;
    for (int i = 0; i <= 12; ++i) {
        Line line{25.0 * i + 0.125, {}, {}};
        line.currents[0] = QStringLiteral("1.5000");
        line.voltages[0] = QString::number(12.0 - 0.01 * i, 'f', 3);
        if (i != 6)
            line.voltages[2] = QStringLiteral("5.250");
        lines.push_back(line);
    }
    return lines;
}

class LogReading : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    MonitorLog::Options options(QChar separator, int passTime, bool inMemory, bool cut) const
    {
        MonitorLog::Options result;
        result.folder = folder.path();
        result.extension = QStringLiteral("txt");
        result.separator = separator;
        result.passTime = passTime;
        result.inMemory = inMemory;
        result.cut = cut;
        result.cutPeriodSeconds = cut ? 60 : 0;
        return result;
    }
    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    QTemporaryDir folder;
};

TEST_F(LogReading, ReadsEveryFormTheLogWriterWrites)
{
    struct Form {
        const char* name;
        QChar separator;
        int passTime;
        bool inMemory;
        bool cut;
        int files;
    };
    const Form forms[] = {
        {"TAB, seconds, line by line", QLatin1Char('\t'), 0, false, false, 1},
        {"comma, seconds, line by line", QLatin1Char(','), 0, false, false, 1},
        {"TAB, h:m:s, line by line", QLatin1Char('\t'), 1, false, false, 1},
        {"comma, h:m:s, in memory", QLatin1Char(','), 1, true, false, 1},
        {"TAB, seconds, in memory", QLatin1Char('\t'), 0, true, false, 1},
        {"TAB, seconds, cut every minute", QLatin1Char('\t'), 0, false, true, 6},
        {"comma, h:m:s, cut every minute", QLatin1Char(','), 1, false, true, 6},
    };
    const std::vector<Line> lines = sampleLines();
    for (const Form& form : forms) {
        SCOPED_TRACE(form.name);
        for (const QString& file : QDir(folder.path()).entryList(QDir::Files))
            QFile::remove(folder.filePath(file));
        const QStringList files =
            writeLog(options(form.separator, form.passTime, form.inMemory, form.cut), lines);
        ASSERT_EQ(files.size(), form.files);
        // Any file of a cut series opens the whole series.
        for (const QString& opened : {files.first(), files.last()}) {
            const LogFileReader::Result result = LogFileReader::read(opened);
            ASSERT_TRUE(result.data.has_value()) << result.problem.message(ResourceModule()).toStdString();
            const LogData& data = *result.data;
            EXPECT_EQ(data.files, files);
            EXPECT_EQ(data.separator, form.separator);
            ASSERT_EQ(data.lineCount(), lines.size());
            EXPECT_EQ(data.channelNumbers(), (std::vector<int>{1, 3}));
            for (size_t i = 0; i < lines.size(); ++i) {
                EXPECT_NEAR(data.times[i], lines[i].seconds, 0.0005);
                EXPECT_EQ(data.channels[0].current[i], 1.5);
                EXPECT_DOUBLE_EQ(data.channels[0].voltage[i], 12.0 - 0.01 * static_cast<double>(i));
                EXPECT_TRUE(data.channels[2].current.empty());
                EXPECT_EQ(std::isnan(data.channels[2].voltage[i]), i == 6);
            }
        }
    }
}

TEST_F(LogReading, NamesTheLineThatDoesNotFit)
{
    const QByteArray header = RunFormats::headerLine(0, QLatin1Char('\t')).toLatin1();
    const QByteArray good = "1.000\t1.0\t12.0\t\t\t\t\t\t\t\t\n";
    struct Case {
        const char* name;
        QByteArray contents;
        LogReadProblem::Kind kind;
        qint64 line;
        const char* message;
    };
    const Case cases[] = {
        {"a sequence file", "CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft\n1\t1\t0\t1\n",
         LogReadProblem::Kind::FieldCount, 1,
         "bad.txt, line 1, does not fit a log: it has 12 fields, where every line of a log has 11 (the time, "
         "then "
         "current and voltage of channels 1 to 5)."},
        {"a field too many", header + good + "2.000\t1.0\t12.0\t\t\t\t\t\t\t\t\t\n",
         LogReadProblem::Kind::FieldCount, 3, nullptr},
        {"a header gone wrong",
         "Time[s]\tCh1[A]\tCh1[V]\tCh2[A]\tCh2[V]\tCh3[A]\tCh3[V]\tCh4[A]\tCh4[V]\tCh5[A]\tCh6[V]\n",
         LogReadProblem::Kind::BadHeader, 1, nullptr},
        {"a word for a time", header + good + "later\t1.0\t12.0\t\t\t\t\t\t\t\t\n",
         LogReadProblem::Kind::BadTime, 3,
         "bad.txt, line 3, does not fit a log: its time \"later\" is neither seconds nor "
         "hours:minutes:seconds."},
        {"minutes past 59", header + "0:61:0.000\t1.0\t12.0\t\t\t\t\t\t\t\t\n", LogReadProblem::Kind::BadTime,
         2, nullptr},
        {"a word for a value", header + good + "2.000\t1.0\t12.0\t\t\tabc\t\t\t\t\t\n",
         LogReadProblem::Kind::BadValue, 3,
         "bad.txt, line 3, does not fit a log: its Ch3[A] field \"abc\" is not a number."},
        {"time going back", header + good + "0.500\t1.0\t12.0\t\t\t\t\t\t\t\t\n",
         LogReadProblem::Kind::TimeGoesBack, 3, nullptr},
        {"an empty file", QByteArray(), LogReadProblem::Kind::Empty, 0, nullptr},
    };
    ResourceModule module;
    ASSERT_TRUE(module.loadFromProgramFolder());
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const QString path = writeFile(QStringLiteral("bad.txt"), test.contents);
        const LogFileReader::Result result = LogFileReader::read(path);
        ASSERT_FALSE(result.data.has_value());
        EXPECT_EQ(result.problem.kind, test.kind);
        EXPECT_EQ(result.problem.line, test.line);
        if (test.message) {
            EXPECT_EQ(result.problem.message(module), QString::fromUtf8(test.message));
        }
        EXPECT_FALSE(LogFileReader::looksLikeLog(path) && test.line == 1);
    }
}

TEST_F(LogReading, LeavesOutALastLineCutShortAndSaysSo)
{
    const QStringList files = writeLog(options(QLatin1Char('\t'), 0, false, false), sampleLines());
    {
        QFile file(files.first());
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("300.625\t1.50");
    }
    const LogFileReader::Result result = LogFileReader::read(files.first());
    ASSERT_TRUE(result.data.has_value());
    EXPECT_EQ(result.data->lineCount(), sampleLines().size());
    EXPECT_EQ(result.data->incompleteFile, files.first());
    EXPECT_EQ(result.data->incompleteLine, static_cast<qint64>(sampleLines().size()) + 2);
}

TEST_F(LogReading, TellsLogsFromSequenceFiles)
{
    EXPECT_TRUE(LogFileReader::looksLikeLog(
        writeLog(options(QLatin1Char(','), 1, false, false), sampleLines()).first()));
    // A cut file after the first has no header.
    EXPECT_TRUE(
        LogFileReader::looksLikeLog(writeFile(QStringLiteral("b.txt"), "61.000\t1\t2\t\t\t\t\t\t\t\t\n")));
    EXPECT_FALSE(LogFileReader::looksLikeLog(
        writeFile(QStringLiteral("c.tsr"), "CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft\n")));
    EXPECT_FALSE(LogFileReader::looksLikeLog(folder.filePath(QStringLiteral("missing.txt"))));
}

TEST(LogCutSeries, FindsTheIndexAfterTheStartTime)
{
    EXPECT_EQ(LogCutSeries::cutIndex(QStringLiteral("CC_12-24-05_14-03-0912.txt")), 12);
    EXPECT_EQ(LogCutSeries::cutIndex(QStringLiteral("CV_CC_12-24-05_14-03-090.csv")), 0);
    EXPECT_EQ(LogCutSeries::cutIndex(QStringLiteral("CC_12-24-05_14-03-09.txt")), -1);
    EXPECT_EQ(LogCutSeries::cutIndex(QStringLiteral("readings.txt")), -1);
}

// The figures of a log written by the log writer, against the integrals in closed form.
class LogFiguresTest : public LogReading {
protected:
    // A log of channel 1 from 0 to end seconds every step seconds, current and voltage by time.
    LogData logOf(double end, double step, const std::function<double(double)>& current,
                  const std::function<double(double)>& voltage,
                  const std::function<bool(double)>& gap = nullptr)
    {
        std::vector<Line> lines;
        for (double t = 0.0; t <= end + 1e-9; t += step) {
            Line line{t, {}, {}};
            if (!gap || !gap(t)) {
                line.currents[0] = QString::number(current(t), 'f', 6);
                if (voltage)
                    line.voltages[0] = QString::number(voltage(t), 'f', 6);
            }
            lines.push_back(line);
        }
        // Written from memory at the end: one write, not one synced write per line.
        const LogFileReader::Result result =
            LogFileReader::read(writeLog(options(QLatin1Char('\t'), 0, true, false), lines).first());
        EXPECT_TRUE(result.data.has_value());
        return result.data ? *result.data : LogData();
    }
};

TEST_F(LogFiguresTest, ChargeAndEnergyMatchTheirClosedForms)
{
    struct Case {
        const char* name;
        std::function<double(double)> current;
        std::function<double(double)> voltage;
        double chargeAh;
        double energyWh;
        double tolerance;
    };
    // 3600 s at 0.5 s: a constant 2 A at 12 V; a current ramp from 0 to 4 A at 10 V; both ramping,
    // where the trapezoids over-estimate the product's curvature by T dt^2 / 12 x f''.
    const double T = 3600.0;
    const Case cases[] = {
        {"constant", [](double) { return 2.0; }, [](double) { return 12.0; }, 2.0, 24.0, 1e-9},
        {"current ramp", [T](double t) { return 4.0 * t / T; }, [](double) { return 10.0; }, 2.0, 20.0, 1e-6},
        {"both ramping", [T](double t) { return 1.0 + t / T; }, [T](double t) { return 12.0 - 2.0 * t / T; },
         1.5, 12.0 + 5.0 - 2.0 / 3.0, 2e-6},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const std::vector<LogFigures::Channel> figures =
            LogFigures::summarize(logOf(T, 0.5, test.current, test.voltage));
        ASSERT_EQ(figures.size(), 1u);
        EXPECT_EQ(figures[0].channel, 1);
        EXPECT_DOUBLE_EQ(figures[0].durationSeconds(), T);
        ASSERT_TRUE(figures[0].chargeAh && figures[0].energyWh);
        EXPECT_NEAR(*figures[0].chargeAh, test.chargeAh, test.tolerance);
        EXPECT_NEAR(*figures[0].energyWh, test.energyWh, test.tolerance);
    }
}

TEST_F(LogFiguresTest, GapsAreNotBridged)
{
    // 2 A for 0..100 s and 200..300 s; nothing between: 200 s of charge, not 300.
    const LogData data = logOf(
        300.0, 0.5, [](double) { return 2.0; }, nullptr, [](double t) { return t > 100.0 && t < 200.0; });
    const std::vector<LogFigures::Channel> figures = LogFigures::summarize(data);
    ASSERT_EQ(figures.size(), 1u);
    ASSERT_TRUE(figures[0].chargeAh.has_value());
    EXPECT_NEAR(*figures[0].chargeAh, 2.0 * 200.0 / 3600.0, 1e-12);
    // Without voltage readings there is no energy, and no voltage figures.
    EXPECT_FALSE(figures[0].energyWh.has_value());
    EXPECT_EQ(figures[0].voltage.count, 0);
    EXPECT_EQ(figures[0].current.count, 402);
    EXPECT_DOUBLE_EQ(figures[0].current.mean, 2.0);
}

TEST_F(LogFiguresTest, JsonHasTheFiguresInSecondsAndNullWhereNothingWasRead)
{
    const LogData data = logOf(
        10.0, 5.0, [](double t) { return t / 5.0; }, nullptr);
    EXPECT_EQ(LogFigures::json(QStringLiteral("a\"b.txt"), data.lineCount(), LogFigures::summarize(data)),
              QStringLiteral(
                  "{\"file\": \"a\\\"b.txt\", \"lines\": 3, \"channels\": [{\"channel\": 1, \"first_s\": 0, "
                  "\"last_s\": 10, \"duration_s\": 10, \"current_A\": {\"min\": 0, \"max\": 2, \"mean\": 1}, "
                  "\"voltage_V\": null, \"charge_Ah\": 0.00277777777777778, \"energy_Wh\": null}]}\n"));
}

} // namespace
