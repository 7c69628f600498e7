#include "model/SettingsKeys.h"

#include "QtPrinters.h"

#include <QSet>
#include <gtest/gtest.h>

TEST(SettingsKeys, StoredNamesAreUniqueWithinTheirSection)
{
    QSet<QString> names;
    int values = 0;
    for (const SettingsKeys::Key& key : SettingsKeys::all()) {
        for (int slot = 0; slot < SettingsKeys::slotCount(key); ++slot, ++values) {
            const QString name = QLatin1String(key.section) + '/' + SettingsKeys::slotName(key, slot);
            EXPECT_FALSE(names.contains(name)) << name.toStdString();
            names.insert(name);
        }
    }
    // 6 main-window keys; single Config keys: 7 connection (PortDevice and GpibDevice included), 28
    // sequence and control, 14 monitoring, 8 before processing; 8 repeat counts; 20 per-channel keys
    // for 5 channels.
    EXPECT_EQ(values, 6 + 7 + 28 + 14 + 8 + 8 + 20 * 5);
}

TEST(SettingsKeys, StoredNamesFindTheirMember)
{
    AppSettings s;
    const struct {
        const char* name;
        const char* value;
    } cases[] = {{"Volt1Ch3", "12.5"}, {"Repeat0", "4"}, {"Repeat", "3"}, {"Repeat7", "9"},
                 {"ModeChSoft5", "2"}, {"SeqCtl", "1"},  {"Ext", "csv"},  {"PortDevice", "/dev/ttyUSB0"},
                 {"InitRes", " 2.5 "}};
    for (const auto& c : cases) {
        const auto slot = SettingsKeys::find(QStringLiteral("Config"), QLatin1String(c.name));
        ASSERT_TRUE(slot.has_value()) << c.name;
        EXPECT_TRUE(SettingsKeys::setFromText(s, *slot->key, slot->slot, QLatin1String(c.value))) << c.name;
    }
    EXPECT_DOUBLE_EQ(s.Volt1Ch[2], 12.5);
    EXPECT_EQ(s.RepeatCh[0], 4);
    EXPECT_EQ(s.Repeat, 3);
    EXPECT_EQ(s.RepeatCh[7], 9);
    EXPECT_EQ(s.ModeChSoft[4], 2);
    EXPECT_EQ(s.SeqCtl, 1);
    EXPECT_EQ(s.Ext, "csv");
    EXPECT_EQ(s.PortDevice, "/dev/ttyUSB0");
    EXPECT_DOUBLE_EQ(s.InitRes, 2.5);
}

TEST(SettingsKeys, NamesOutsideTheTableAreNotFound)
{
    for (const char* name :
         {"Volt1Ch0", "Volt1Ch6", "Repeat8", "ModeCh1", "Unit", "MonTiming", "Top", "seqctl", ""})
        EXPECT_FALSE(SettingsKeys::find(QStringLiteral("Config"), QLatin1String(name)).has_value()) << name;
    EXPECT_TRUE(SettingsKeys::find(QString(), QStringLiteral("Top")).has_value());
}

TEST(SettingsKeys, TypedValuesMustParseCompletely)
{
    AppSettings s;
    const auto port = SettingsKeys::find(QStringLiteral("Config"), QStringLiteral("Port"));
    const auto ovp = SettingsKeys::find(QStringLiteral("Config"), QStringLiteral("Ovp1"));
    ASSERT_TRUE(port && ovp);
    for (const char* text : {"abc", "1.5", "", "3x"})
        EXPECT_FALSE(SettingsKeys::setFromText(s, *port->key, port->slot, QLatin1String(text))) << text;
    for (const char* text : {"abc", "", "1.5V", "inf", "nan"})
        EXPECT_FALSE(SettingsKeys::setFromText(s, *ovp->key, ovp->slot, QLatin1String(text))) << text;
    EXPECT_EQ(s.Port, 1);
    EXPECT_DOUBLE_EQ(s.Ovp[0], 10.0);
    EXPECT_TRUE(SettingsKeys::setFromText(s, *ovp->key, ovp->slot, QStringLiteral("-1e1")));
    EXPECT_DOUBLE_EQ(s.Ovp[0], -10.0);
}

TEST(SettingsKeys, TypedValuesOutsideTheirRangeAreRefused)
{
    struct Case {
        const char* name;
        const char* text;
    };
    const Case refused[] = {{"Port", "-2147483648"}, {"Port", "256"},     {"CurrPlace", "4"},
                            {"VoltPlace", "-1"},     {"SeqMode", "2"},    {"MonitorTime", "499"},
                            {"CutMin", "60"},        {"ModeChHard1", "0"}};
    AppSettings s;
    for (const Case& c : refused) {
        const auto slot = SettingsKeys::find(QStringLiteral("Config"), QLatin1String(c.name));
        ASSERT_TRUE(slot.has_value()) << c.name;
        EXPECT_FALSE(SettingsKeys::setFromText(s, *slot->key, slot->slot, QLatin1String(c.text)))
            << c.name << "=" << c.text;
    }
    EXPECT_EQ(s.Port, 1);
    EXPECT_EQ(s.CurrPlace, 2);
    EXPECT_EQ(s.SeqMode, 0);
    EXPECT_EQ(s.MonitorTime, 2000);
    const auto port = SettingsKeys::find(QStringLiteral("Config"), QStringLiteral("Port"));
    EXPECT_TRUE(SettingsKeys::setFromText(s, *port->key, port->slot, QStringLiteral("255")));
    EXPECT_EQ(s.Port, 255);
}
