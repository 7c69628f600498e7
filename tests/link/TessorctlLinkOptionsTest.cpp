#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/Tessorctl.h"

#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

// tessorctl's --port and --gpib, applied over the profile's settings in command-line order.
class TessorctlLinkOptions : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString outText;
    QString errText;
    QTextStream out{&outText};
    QTextStream err{&errText};
    CliContext context{out, err, folder.filePath(QStringLiteral("Tessor.ini"))};
};

TEST_F(TessorctlLinkOptions, GpibAndPortOverrideTheProfilesLink)
{
    context.settings.Interface = 0;
    context.settings.Port = 3;
    ASSERT_TRUE(applyGpibOption(context, QStringLiteral("ratoc-usb:7")));
    EXPECT_EQ(context.settings.Interface, 1);
    EXPECT_EQ(context.settings.Maker, 5);
    EXPECT_EQ(context.settings.Address, 7);

    ASSERT_TRUE(applyPortOption(context, QStringLiteral("/dev/ttyUSB0")));
    EXPECT_EQ(context.settings.Interface, 0);
    EXPECT_EQ(context.settings.PortDevice, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(context.settings.Port, 3);
    EXPECT_TRUE(errText.isEmpty());
}

TEST_F(TessorctlLinkOptions, WithAPrologixControllerThePortNamesTheControllerInEitherOrder)
{
    const struct {
        const char* first;
        const char* firstValue;
        const char* second;
        const char* secondValue;
        const char* controller;
    } cases[] = {
        {"--gpib", "prologix:5", "--port", "/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"--port", "tcp:192.0.2.7:1234", "--gpib", "prologix:5", "tcp:192.0.2.7:1234"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        CliContext fresh{out, err, folder.filePath(QStringLiteral("Tessor.ini"))};
        fresh.settings.PortDevice = QStringLiteral("/dev/ttyS3");
        const auto apply = [&](const char* option, const char* value) {
            return QLatin1String(option) == QLatin1String("--gpib")
                       ? applyGpibOption(fresh, QLatin1String(value))
                       : applyPortOption(fresh, QLatin1String(value));
        };
        ASSERT_TRUE(apply(c.first, c.firstValue));
        ASSERT_TRUE(apply(c.second, c.secondValue));
        EXPECT_EQ(fresh.settings.Interface, 1);
        EXPECT_EQ(fresh.settings.Maker, 6);
        EXPECT_EQ(fresh.settings.Address, 5);
        EXPECT_EQ(fresh.settings.GpibDevice, QLatin1String(c.controller));
    }
    // Another maker leaves --port the serial link, and the option given last decides.
    ASSERT_TRUE(applyPortOption(context, QStringLiteral("/dev/ttyUSB0")));
    ASSERT_TRUE(applyGpibOption(context, QStringLiteral("ni:4")));
    EXPECT_EQ(context.settings.Interface, 1);
    EXPECT_EQ(context.settings.Maker, 1);
    EXPECT_TRUE(context.settings.GpibDevice.isEmpty());
    EXPECT_TRUE(errText.isEmpty());
}

TEST_F(TessorctlLinkOptions, BadValuesAreUsageErrorsWithAComplaint)
{
    EXPECT_FALSE(applyGpibOption(context, QStringLiteral("hp:5")));
    err.flush();
    EXPECT_TRUE(errText.startsWith(QStringLiteral("tessorctl: --gpib takes MAKER:ADDRESS")));

    QString usage;
    QTextStream usageStream(&usage);
    QString complaint;
    QTextStream complaintStream(&complaint);
    Tessorctl tool(usageStream, complaintStream);
    EXPECT_EQ(tool.run({QStringLiteral("--gpib"), QStringLiteral("ni:99"), QStringLiteral("show"),
                        QStringLiteral("missing.tsr")}),
              ExitUsage);
    EXPECT_EQ(tool.run({QStringLiteral("show"), QStringLiteral("missing.tsr"), QStringLiteral("--port")}),
              ExitUsage);
    tool.printUsage(usageStream);
    usageStream.flush();
    EXPECT_TRUE(usage.contains(QStringLiteral("--port DEV")));
    EXPECT_TRUE(usage.contains(QStringLiteral("--gpib MAKER:ADDRESS")));
}

} // namespace
