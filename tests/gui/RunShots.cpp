// The Run window mid-run under both control methods, and Monitoring Setup as the software run uses it.
#include "GuiTestSupport.h"
#include "ScreenshotSupport.h"
#include "app/CMainFrame.h"
#include "dialogs/CMonitorSetupDlg.h"
#include "dialogs/CRunDlg.h"
#include "dialogs/CTransferDlg.h"
#include "model/AppSettings.h"
#include "views/CommandRouter.h"

#include <QCheckBox>
#include <QPushButton>
#include <cstdio>

namespace Screenshots {

namespace {

// Five CC channels of three 20 s steps each (the middle one a ramp under Software Control).
QString fiveChannelFile(const StartedProgram& program, const QString& control)
{
    std::vector<std::vector<QString>> channels;
    for (int c = 0; c < 5; ++c) {
        channels.push_back({QStringLiteral("%1\t20.0\t0\t1").arg(1.0 + 0.5 * c, 0, 'f', 4),
                            QStringLiteral("%1\t20.0\t1\t1").arg(2.0 + 0.5 * c, 0, 'f', 4),
                            QStringLiteral("%1\t20.0\t0\t1").arg(0.5 + 0.25 * c, 0, 'f', 4)});
    }
    return program.folders.writeFile(
        QStringLiteral("five-channels-%1.tsr").arg(control),
        sequenceFile(QStringLiteral("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\t") + control, channels));
}

// Current and voltage read every second into a log file.
void monitorEverySecond(AppSettings& settings)
{
    settings.Curr = 1;
    settings.Volt = 1;
    settings.MonitorTime = 1000;
    settings.MonSoft = 0;
    settings.MonTiming = 0;
    settings.File = 1;
    settings.MonEnd = 1;
}

// Writes every channel into the simulated load through the Transfer dialog, as a user would before
// a Hardware Control run; the Run window then shows the programs' totals.
void transferAll(StartedProgram& program)
{
    program.services.onDialog = [](QDialog& dialog) {
        if (auto* transfer = qobject_cast<CTransferDlg*>(&dialog)) {
            for (QCheckBox* channel : transfer->controls().channels)
                channel->setChecked(true);
            transfer->controls().write->click();
        }
        return int(QDialog::Rejected);
    };
    program.frame().router().trigger(CMainFrame::IdTransfer);
    program.services.onDialog = nullptr;
}

} // namespace

bool runWindowShots(const QDir& out)
{
    bool ok = true;
    for (const QString& control : {QStringLiteral("soft"), QStringLiteral("hard")}) {
        const bool software = control == QLatin1String("soft");
        StartedProgram program;
        writeProfileValue(program.folders.profilePath(), QStringLiteral("Config/SeqCtl"), software ? 0 : 1);
        if (program.startSimulated({fiveChannelFile(program, control)}) != CTessorApp::kRunning) {
            std::fprintf(stderr, "the program did not start: %s\n",
                         qPrintable(program.prompt.texts().join('\n')));
            return false;
        }
        CMainFrame& frame = program.frame();
        AppSettings& settings = frame.settings();
        monitorEverySecond(settings);
        settings.RunCh = {1, 1, 1, 1, 1};
        settings.RepeatCh[0] = 3;
        if (software) {
            settings.Folder = QStringLiteral("/home/engineer/kdrx-logs/");
            CMonitorSetupDlg setup(*program.app->templates(), settings, &frame);
            ok = grabWindow(setup, out.filePath(QStringLiteral("monitoring-setup.png"))) && ok;
            // Channel 2 trips on under-voltage at its first reading, channel 4 reports an alarm.
            settings.UvpOn[1] = 1;
            settings.Uvp[1] = 11.9;
            program.instrument->simulator.setQuestionable(4, 1);
        } else {
            transferAll(program);
        }
        // The log goes where the program can write it.
        settings.Folder = program.folders.root();
        CRunDlg& dialog = *frame.runDialog();
        dialog.prepare();
        dialog.show();
        dialog.controls().runAll->click();
        program.instrument->time.advanceMs(27300);
        ok = grabWindow(dialog, out.filePath(software ? QStringLiteral("run-software.png")
                                                      : QStringLiteral("run-hardware.png"))) &&
             ok;
        dialog.controls().stopAll->click();
        program.instrument->time.advanceMs(1000);
        dialog.hide();
    }
    return ok;
}

} // namespace Screenshots
