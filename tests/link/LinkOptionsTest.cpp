#include "link/LinkOptions.h"

#include "model/AppSettings.h"

#include <gtest/gtest.h>

namespace {

TEST(LinkOptions, GpibOptionNamesMakerAndAddress)
{
    const struct {
        const char* text;
        int maker;
        int address;
    } cases[] = {{"ni:5", 1, 5},        {"interface:1", 2, 1}, {"contec:14", 3, 14}, {"ratoc:12", 4, 12},
                 {"ratoc-usb:3", 5, 3}, {"NI: 7", 1, 7},       {"prologix:5", 6, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        LinkOptions options;
        QString error;
        ASSERT_TRUE(options.setGpib(QString::fromLatin1(c.text), error)) << error.toStdString();
        EXPECT_EQ(options.maker, c.maker);
        EXPECT_EQ(options.address, c.address);
    }
}

TEST(LinkOptions, RefusesUnknownMakersAndAddressesOffTheBus)
{
    // The addresses are the Interface dialog's, 1 to 14.
    for (const char* text :
         {"ni", "ni:", "keysight:5", "ni:0", "ni:15", "ni:31", "ni:x", ":5", "ratoc-usb:-1", ""}) {
        SCOPED_TRACE(text);
        LinkOptions options;
        QString error;
        EXPECT_FALSE(options.setGpib(QString::fromLatin1(text), error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(options.hasGpib);
    }
}

TEST(LinkOptions, OverridesTheProfilesInterfaceForTheRun)
{
    AppSettings settings;
    settings.Interface = 0;
    settings.Port = 2;
    settings.Maker = 1;
    settings.Address = 1;
    LinkOptions options;
    QString error;
    ASSERT_TRUE(options.setGpib(QStringLiteral("contec:9"), error));
    options.applyTo(settings);
    EXPECT_EQ(settings.Interface, 1);
    EXPECT_EQ(settings.Maker, 3);
    EXPECT_EQ(settings.Address, 9);
    EXPECT_EQ(settings.Port, 2);

    LinkOptions port;
    ASSERT_TRUE(port.setPort(QStringLiteral("simulator"), error));
    port.applyTo(settings);
    EXPECT_EQ(settings.Interface, 0);
    EXPECT_EQ(settings.PortDevice, QStringLiteral("simulator"));
    EXPECT_EQ(settings.Maker, 3);
}

TEST(LinkOptions, WithoutOptionsTheProfileStands)
{
    AppSettings settings;
    settings.Interface = 1;
    settings.Maker = 4;
    settings.PortDevice = QStringLiteral("/dev/ttyUSB0");
    LinkOptions options;
    EXPECT_TRUE(options.isEmpty());
    options.applyTo(settings);
    EXPECT_EQ(settings.Interface, 1);
    EXPECT_EQ(settings.Maker, 4);
    EXPECT_EQ(settings.PortDevice, QStringLiteral("/dev/ttyUSB0"));
}

TEST(LinkOptions, ComNamesThePortByItsNumberAsTheInterfaceDialogDoes)
{
    const struct {
        const char* text;
        int port;           // 0: a device path
        const char* device; // PortDevice after the option
    } cases[] = {{"COM1", 1, ""},       {"com3", 3, ""},
                 {"COM12", 12, ""},     {"/dev/ttyUSB0", 0, "/dev/ttyUSB0"},
                 {"COM1x", 0, "COM1x"}, {"simulator", 0, "simulator"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        AppSettings settings;
        settings.Port = 7;
        settings.PortDevice = QStringLiteral("/dev/ttyACM0");
        LinkOptions options;
        QString error;
        ASSERT_TRUE(options.setPort(QString::fromLatin1(c.text), error));
        options.applyTo(settings);
        EXPECT_EQ(settings.Interface, 0);
        EXPECT_EQ(settings.PortDevice, QString::fromLatin1(c.device));
        EXPECT_EQ(settings.Port, c.port ? c.port : 7);
    }
    // A Prologix-compatible controller on a COM port: its device is that port's system name.
    {
        AppSettings settings;
        LinkOptions options;
        QString error;
        ASSERT_TRUE(options.setGpib(QStringLiteral("prologix:5"), error));
        ASSERT_TRUE(options.setPort(QStringLiteral("COM2"), error));
        options.applyTo(settings);
        EXPECT_EQ(settings.Interface, 1);
        EXPECT_EQ(settings.Maker, LinkOptions::prologixMaker);
        EXPECT_EQ(settings.GpibDevice, QStringLiteral("/dev/ttyS1"));
    }
    LinkOptions options;
    QString error;
    EXPECT_FALSE(options.setPort(QStringLiteral("COM0"), error));
    EXPECT_TRUE(error.contains(QStringLiteral("COM1"))) << error.toStdString();
}

TEST(LinkOptions, PortNeedsADevice)
{
    LinkOptions options;
    QString error;
    EXPECT_FALSE(options.setPort(QStringLiteral("  "), error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(options.isEmpty());
}

} // namespace
