#include "run/RunFormats.h"

#include "QtPrinters.h"
#include "model/AppSettings.h"

#include <gtest/gtest.h>

namespace {

struct PassTimeCase {
    double seconds;
    int passTime;
    const char* text;
};

class PassTimeText : public ::testing::TestWithParam<PassTimeCase> {};

TEST_P(PassTimeText, IsWrittenAsTheLogWritesIt)
{
    const PassTimeCase& c = GetParam();
    EXPECT_EQ(RunFormats::passTimeText(c.seconds, c.passTime), QString::fromLatin1(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    RunFormats, PassTimeText,
    ::testing::Values(PassTimeCase{75.25, 0, "75.250"}, PassTimeCase{0.0, 0, "0.000"},
                      PassTimeCase{12.5, 0, "12.500"}, PassTimeCase{0.123, 0, "0.123"},
                      PassTimeCase{86400.001, 0, "86400.001"}, PassTimeCase{75.25, 1, "0:01:15.250"},
                      PassTimeCase{5.123, 1, "0:00:5.123"}, PassTimeCase{3725.5, 1, "1:02:5.500"},
                      PassTimeCase{3600.0, 1, "1:00:0.000"}, PassTimeCase{59.999, 1, "0:00:59.999"},
                      PassTimeCase{60.0, 1, "0:01:0.000"}, PassTimeCase{90061.0, 1, "25:01:1.000"}));

TEST(RunFormats, FirstLineOfARunCarriesAFixedZeroTime)
{
    EXPECT_EQ(RunFormats::firstPassTimeText(0), QStringLiteral("0.000"));
    EXPECT_EQ(RunFormats::firstPassTimeText(1), QStringLiteral("0:00:0.000"));
}

TEST(RunFormats, HeaderNamesTimeAndBothQuantitiesOfEveryChannel)
{
    EXPECT_EQ(RunFormats::headerLine(0, QLatin1Char('\t')),
              QStringLiteral("Time[s]\tCh1[A]\tCh1[V]\tCh2[A]\tCh2[V]\tCh3[A]\tCh3[V]\tCh4[A]\tCh4[V]\tCh5[A]"
                             "\tCh5[V]\n"));
    EXPECT_EQ(RunFormats::headerLine(1, QLatin1Char(',')),
              QStringLiteral(
                  "Time[h:m:s],Ch1[A],Ch1[V],Ch2[A],Ch2[V],Ch3[A],Ch3[V],Ch4[A],Ch4[V],Ch5[A],Ch5[V]\n"));
}

TEST(RunFormats, DataLineAlwaysHoldsElevenFields)
{
    ChannelTexts currents;
    ChannelTexts voltages;
    currents[0] = QStringLiteral("1.0000");
    voltages[0] = QStringLiteral("11.900");
    currents[2] = QStringLiteral("0.5000");
    voltages[2] = QStringLiteral("11.950");
    EXPECT_EQ(RunFormats::dataLine(QStringLiteral("12.500"), currents, voltages, QLatin1Char('\t')),
              QStringLiteral("12.500\t1.0000\t11.900\t\t\t0.5000\t11.950\t\t\t\t\n"));
    EXPECT_EQ(RunFormats::dataLine(QStringLiteral("1.000"), ChannelTexts{}, ChannelTexts{}, QLatin1Char(',')),
              QStringLiteral("1.000,,,,,,,,,,\n"));
    EXPECT_EQ(RunFormats::separator(0), QLatin1Char('\t'));
    EXPECT_EQ(RunFormats::separator(1), QLatin1Char(','));
}

TEST(RunFormats, LogNamesJoinModePrefixesAndTheStartTime)
{
    const QDateTime start(QDate(2005, 12, 24), QTime(14, 3, 9));
    EXPECT_EQ(RunFormats::logName(RunFormats::modePrefix(ModeCC), start),
              QStringLiteral("CC_12-24-05_14-03-09"));
    EXPECT_EQ(RunFormats::logName(RunFormats::modePrefix(ModeCV) + RunFormats::modePrefix(ModeCCCV), start),
              QStringLiteral("CV_CCV_12-24-05_14-03-09"));
    EXPECT_EQ(RunFormats::modePrefix(ModeCR), QStringLiteral("CR_"));
    EXPECT_EQ(RunFormats::modePrefix(ModeCRCV), QStringLiteral("CRV_"));
    EXPECT_EQ(RunFormats::modePrefix(7), QString());
    EXPECT_EQ(RunFormats::logName(QStringLiteral("CV_"), QDateTime(QDate(2031, 1, 2), QTime(3, 4, 5))),
              QStringLiteral("CV_01-02-31_03-04-05"));
}

TEST(RunFormats, FolderWithOrWithoutTrailingSlashGivesTheSamePath)
{
    EXPECT_EQ(RunFormats::logBaseName(QStringLiteral("/data/logs"), QStringLiteral("CC_x")),
              QStringLiteral("/data/logs/CC_x"));
    EXPECT_EQ(RunFormats::logBaseName(QStringLiteral("/data/logs/"), QStringLiteral("CC_x")),
              QStringLiteral("/data/logs/CC_x"));
}

TEST(RunFormats, CaptionFollowsTheMonitoringSettings)
{
    AppSettings settings;
    settings.MonitorTime = 2000;
    settings.CutHour = 1;
    settings.CutMin = 30;
    EXPECT_EQ(RunFormats::monitoringCaption(settings, false, settings.MonitorTime, settings.bCut == 1),
              QStringLiteral("Run - Monitoring:none, Output to File:none"));
    settings.MonTiming = 0;
    settings.File = 0;
    EXPECT_EQ(RunFormats::monitoringCaption(settings, true, settings.MonitorTime, settings.bCut == 1),
              QStringLiteral("Run - Monitoring:ON, Output to File:none 2000[ms]"));
    settings.MonTiming = 1;
    EXPECT_EQ(RunFormats::monitoringCaption(settings, true, settings.MonitorTime, settings.bCut == 1),
              QStringLiteral(
                  "Run - Monitoring:ON, Output to File:none Immediately before end of the Step Transition"));
    settings.File = 1;
    EXPECT_EQ(
        RunFormats::monitoringCaption(settings, true, settings.MonitorTime, settings.bCut == 1),
        QStringLiteral("Run - Monitoring:ON, Output to File:provided Immediately before end of the Step "
                       "Transition"));
    settings.bCut = 1;
    EXPECT_EQ(
        RunFormats::monitoringCaption(settings, true, settings.MonitorTime, settings.bCut == 1),
        QStringLiteral("Run - Monitoring:ON, Output to File:provided Immediately before end of the Step "
                       "Transition, File cut:1hour30min"));
    settings.MonTiming = 0;
    EXPECT_EQ(RunFormats::monitoringCaption(settings, true, settings.MonitorTime, settings.bCut == 1),
              QStringLiteral("Run - Monitoring:ON, Output to File:provided 2000[ms], File cut:1hour30min"));
    settings.bCut = 0;
    settings.MonitorTime = 500;
    EXPECT_EQ(RunFormats::monitoringCaption(settings, true, settings.MonitorTime, settings.bCut == 1),
              QStringLiteral("Run - Monitoring:ON, Output to File:provided 500[ms]"));
}

TEST(RunFormats, ElapsedTimeShowsHoursMinutesSecondsAndWholeDays)
{
    EXPECT_EQ(RunFormats::elapsedText(0), QStringLiteral("00:00:00"));
    EXPECT_EQ(RunFormats::elapsedText(90061), QStringLiteral("01:01:01"));
    EXPECT_EQ(RunFormats::dayText(90061), QStringLiteral("(1day)"));
    EXPECT_EQ(RunFormats::elapsedText(86400), QStringLiteral("00:00:00"));
    EXPECT_EQ(RunFormats::dayText(86400), QStringLiteral("(1day)"));
    EXPECT_EQ(RunFormats::dayText(86399), QStringLiteral("(0day)"));
    EXPECT_EQ(RunFormats::dayText(400LL * 86400 + 5), QStringLiteral("(400day)"));
    EXPECT_EQ(RunFormats::elapsedText(400LL * 86400 + 3599), QStringLiteral("00:59:59"));
}

TEST(RunFormats, TimeSpanFormatCopiesTextAndDropsUnknownSequences)
{
    EXPECT_EQ(RunFormats::timeSpanText(3661, QStringLiteral("%D/%H/%M/%S %% %x%")),
              QStringLiteral("0/01/01/01 % "));
    EXPECT_EQ(RunFormats::timeSpanText(59, QStringLiteral("t=%S s")), QStringLiteral("t=59 s"));
}

} // namespace
