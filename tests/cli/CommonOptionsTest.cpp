#include "QtPrinters.h"
#include "cli/CliContext.h"
#include "cli/Tessorctl.h"

#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

// "--set KEY=VALUE" over the profile: the settings that depend on the keys set follow, as the
// control bar, the Mode dialog and the Monitoring Setup dialog make them follow in the program.
class CommonOptions : public ::testing::Test {
protected:
    bool apply(const QStringList& sets)
    {
        QStringList arguments;
        for (const QString& set : sets)
            arguments << QStringLiteral("--set") << set;
        QStringList rest;
        return Tessorctl::applyCommonOptions(context, arguments + QStringList{"show", "x.tsr"}, rest);
    }

    QTemporaryDir folder;
    QString outText;
    QString errText;
    QTextStream out{&outText};
    QTextStream err{&errText};
    CliContext context{out, err, folder.filePath(QStringLiteral("Tessor.ini"))};
};

TEST_F(CommonOptions, SetDerivesTheSettingsThatDependOnTheKeysSet)
{
    const struct {
        QStringList sets;
        std::array<int, 5> modes; // the active mode of each channel
        int unit;
        int monitorTiming;
        int cut;
    } cases[] = {
        // The control method chooses the mode set, the unit and the monitoring timing in force.
        {{"SeqCtl=1", "ModeChHard2=2", "UnitHard=2", "MonSoft=1"}, {1, 2, 1, 1, 1}, 2, 0, 0},
        {{"ModeChSoft3=4", "UnitSoft=0", "MonSoft=1"}, {0, 0, 4, 0, 0}, 0, 1, 0},
        {{"SeqCtl=1", "ModeChSoft1=3"}, {1, 1, 1, 1, 1}, 1, 0, 0},
        // The last of two settings of a key counts.
        {{"SeqCtl=1", "SeqCtl=0", "ModeChSoft5=2"}, {0, 0, 0, 0, 2}, 1, 0, 0},
        // Cutting the log needs it written line by line.
        {{"bCut=1", "FileMem=0"}, {0, 0, 0, 0, 0}, 1, 0, 0},
        {{"bCut=1"}, {0, 0, 0, 0, 0}, 1, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sets.join(' ').toStdString());
        context.settings = AppSettings{};
        ASSERT_TRUE(apply(c.sets)) << errText.toStdString();
        for (int channel = 0; channel < 5; ++channel)
            EXPECT_EQ(context.settings.ModeCh[channel], c.modes[channel]) << "channel " << channel + 1;
        EXPECT_EQ(context.settings.Unit, c.unit);
        EXPECT_EQ(context.settings.MonTiming, c.monitorTiming);
        EXPECT_EQ(context.settings.bCut, c.cut);
    }
    // The instrument family is the KDR-X whatever is set.
    ASSERT_TRUE(apply({"Machine=3"}));
    EXPECT_EQ(context.settings.Machine, AppSettings::kKdrxMachine);
}

TEST_F(CommonOptions, OptionsStandAnywhereBeforeTheDoubleDash)
{
    QStringList rest;
    ASSERT_TRUE(Tessorctl::applyCommonOptions(
        context, {"show", "--set", "Tsr=1", "a.tsr", "--", "--set", "Tsr=0"}, rest));
    EXPECT_EQ(context.settings.Tsr, 1);
    EXPECT_EQ(rest, (QStringList{"show", "a.tsr", "--", "--set", "Tsr=0"}));
}

} // namespace
