// Takes screenshots of the main window with an open document (an editor open in its worksheet) and
// of the dialogs, for the manual, the README and for review. Run under Xvfb by scripts/screenshots:
// screenshots OUTPUT-FOLDER. The manual shows each picture by its file name, so a window keeps its
// name here; a new window adds its own grab() with a new name.
#include "GuiTestSupport.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CEnvironmentDlg.h"
#include "dialogs/CInterfaceDlg.h"
#include "app/CMainFrame.h"
#include "dialogs/SerialDeviceList.h"
#include "app/DocumentSession.h"
#include "views/CDecimalEdit.h"
#include "views/CGridView.h"
#include "views/TemplateLoader.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QtTest>
#include <QThread>
#include <cstdio>

namespace {

void settle()
{
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
}

bool grab(QWidget& widget, const QString& path)
{
    widget.show();
    widget.raise();
    widget.activateWindow();
    settle();
    const bool saved = widget.grab().save(path, "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshots OUTPUT-FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());

    StartedProgram program;
    QFile example(QStringLiteral(TESSOR_EXAMPLES_DIR "/four-channel.tsr"));
    if (!example.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(example.fileName()));
        return 1;
    }
    const QString file = program.folders.writeFile(QStringLiteral("four-channel.tsr"), example.readAll());
    writeProfileValue(program.folders.profilePath(), QStringLiteral("bPos"), 1);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Right"), 1000);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Bottom"), 640);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Grid/Right"), 480);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Grid/Bottom"), 500);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Graph/Left"), 480);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Graph/Right"), 990);
    writeProfileValue(program.folders.profilePath(), QStringLiteral("Graph/Bottom"), 500);
    if (program.start({file}) != CTessorApp::kRunning) {
        std::fprintf(stderr, "the program did not start: %s\n",
                     qPrintable(program.prompt.texts().join('\n')));
        return 1;
    }
    CMainFrame& frame = program.frame();
    frame.show();
    settle();
    // The set value of line 4 being typed over.
    CGridView& worksheet = *frame.documents().gridView();
    WorksheetTable* table = worksheet.table(0);
    table->setCurrentIndex(table->model()->index(3, 2));
    QTest::keyClick(table, Qt::Key_4);
    QTest::keyClicks(worksheet.textEditor(), QStringLiteral(".75"));
    bool ok = grab(frame, out.filePath(QStringLiteral("main-window.png")));

    const TemplateLoader& loader = *program.app->templates();
    AppSettings& settings = frame.settings();
    {
        settings.PortDevice = QStringLiteral("simulator");
        CInterfaceDlg dialog(loader, settings, SerialDeviceList::scan(), &frame);
        ok = grab(dialog, out.filePath(QStringLiteral("interface-dialog.png"))) && ok;
    }
    {
        CEnvironmentDlg dialog(loader, settings, &frame);
        ok = grab(dialog, out.filePath(QStringLiteral("environment-dialog.png"))) && ok;
    }
    {
        CAboutDlg dialog(loader, QStringLiteral(TESSOR_VERSION), &frame);
        ok = grab(dialog, out.filePath(QStringLiteral("about-dialog.png"))) && ok;
    }
    return ok ? 0 : 1;
}
