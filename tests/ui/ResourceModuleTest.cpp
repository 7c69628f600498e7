#include "ui/ResourceModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ResourceModule, LoadsTheStringTableFromTheProgramFolder)
{
    ResourceModule module;
    ASSERT_TRUE(module.loadFromProgramFolder());
    EXPECT_EQ(module.string(506), "RS-232C: failed to open the COM port");
    EXPECT_EQ(module.string(513), "No GPIB has been set up.");
    EXPECT_EQ(module.string(516), "GPIB[Contec]: Resistry setup is wrong. Review resistry setup.");
    EXPECT_EQ(module.string(557), "GPIB[National Instruments]: Table problem");
    EXPECT_EQ(module.string(104), " ");
    EXPECT_EQ(module.string(108), "Selects \"Software Control\" or \"Hardware Control\"\nSequence operation");
    EXPECT_EQ(module.string(32800), "Selects the instrument ");
    EXPECT_EQ(module.string(135), module.string(129));
    EXPECT_TRUE(module.string(1).isEmpty());
}

TEST(ResourceModule, RefusesAMissingOrUnreadableFile)
{
    QTemporaryDir dir;
    ResourceModule module;
    EXPECT_FALSE(module.load(dir.filePath("TessorOpt.rcc")));
    EXPECT_FALSE(module.isLoaded());

    QFile garbage(dir.filePath("TessorOpt.rcc"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("this is not a resource file");
    garbage.close();
    EXPECT_FALSE(module.load(garbage.fileName()));
    EXPECT_TRUE(module.string(506).isEmpty());
}

TEST(ResourceModule, UnregistersWhenDestroyed)
{
    {
        ResourceModule module;
        ASSERT_TRUE(module.loadFromProgramFolder());
        EXPECT_TRUE(QFile::exists(ResourceModule::path("strings.json")));
    }
    EXPECT_FALSE(QFile::exists(ResourceModule::path("strings.json")));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
