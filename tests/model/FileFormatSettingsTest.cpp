#include "model/FileFormatSettings.h"

#include "QtPrinters.h"
#include "RecordingPrompt.h"
#include "model/AppSettings.h"

#include <gtest/gtest.h>

TEST(FileFormatSettings, OkTakesTheValuesWithATrimmedExtension)
{
    AppSettings settings;
    RecordingPrompt prompt;
    FileFormatSettings edited = FileFormatSettings::from(settings);
    EXPECT_EQ(edited.Ext, "txt");
    edited.Tsr = 1;
    edited.Txt = 1;
    edited.Ext = QStringLiteral("  csv\t");
    EXPECT_TRUE(edited.applyTo(settings, prompt));
    EXPECT_TRUE(prompt.texts().isEmpty());
    EXPECT_EQ(settings.Tsr, 1);
    EXPECT_EQ(settings.Txt, 1);
    EXPECT_EQ(settings.Ext, "csv");
}

TEST(FileFormatSettings, ABlankExtensionIsRefusedAndChangesNothing)
{
    AppSettings settings;
    RecordingPrompt prompt;
    const FileFormatSettings edited{1, 1, QStringLiteral("   ")};
    EXPECT_FALSE(edited.applyTo(settings, prompt));
    EXPECT_EQ(prompt.texts(), QStringList({"Enter the extension."}));
    EXPECT_EQ(settings.Tsr, 0);
    EXPECT_EQ(settings.Txt, 0);
    EXPECT_EQ(settings.Ext, "txt");
}

TEST(FileFormatSettings, AnExtensionNoFileNameCanHoldIsRefusedAndChangesNothing)
{
    const QString refusal = QStringLiteral("Enter an extension without \"/\": a file name cannot hold it.");
    struct Case {
        QString extension;
        bool accepted;
    };
    const Case cases[] = {
        {QStringLiteral("log/x"), false},   {QStringLiteral("/"), false},
        {QStringLiteral("../csv"), false},  {QStringLiteral("t") + QChar(0) + QStringLiteral("xt"), false},
        {QStringLiteral("data.txt"), true}, {QStringLiteral("back\\slash"), true},
        {QStringLiteral("my log"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extension.toStdString());
        AppSettings settings;
        RecordingPrompt prompt;
        const FileFormatSettings edited{1, 1, c.extension};
        EXPECT_EQ(edited.applyTo(settings, prompt), c.accepted);
        EXPECT_EQ(prompt.texts(), c.accepted ? QStringList() : QStringList{refusal});
        EXPECT_EQ(settings.Ext, c.accepted ? c.extension : QStringLiteral("txt"));
        EXPECT_EQ(settings.Tsr, c.accepted ? 1 : 0);
    }
}
