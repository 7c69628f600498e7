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
