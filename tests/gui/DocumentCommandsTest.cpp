#include "GuiTestSupport.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/DocumentSession.h"
#include "model/CMainDoc.h"
#include "views/CommandRouter.h"

#include <QAction>
#include <QMdiArea>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

namespace {

// One step in channel 1, so that Save writes the file.
QByteArray oneStepFile()
{
    return sequenceFile(QStringLiteral("CC\t0\tCC\t0\tCC\t0\tCC\t0\tCC\t0\ts\tsoft"),
                        {{QStringLiteral("1.5000\t10.0\t0\t1")}});
}

} // namespace

// New, Open, Save, Save As, Close, Exit, the recent files and dropped files, with their messages.
class DocumentCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newDocumentsAreNumberedAndShownInBothWindows();
    void newAsksBeforeDroppingAModifiedDocument();
    void yesSavesThroughSaveAsWhenTheDocumentHasNoFile();
    void openAsksForAFileOfTheTessorType();
    void openShowsTheReaderMessagesAndLeavesNoDocument();
    void saveOfAnEmptyChannelSaysThereIsNoData();
    void saveAsWritesTheFileAndRenamesTheDocument();
    void saveWritesToTheDocumentsOwnFile();
    void closeAsksOnlyForAModifiedDocument();
    void exitCanBeCancelled();
    void recentFilesKeepTheFourNewest();
    void aRecentFileThatCannotBeReadLeavesTheList();
    void aDroppedFileIsOpened();
    void theWaitCursorIsShownAndRemoved();

private:
    std::unique_ptr<StartedProgram> program_;
    CMainFrame* frame_ = nullptr;
};

void DocumentCommandsTest::init()
{
    program_ = std::make_unique<StartedProgram>();
    QCOMPARE(program_->start(), CTessorApp::kRunning);
    frame_ = &program_->frame();
}

void DocumentCommandsTest::cleanup()
{
    frame_ = nullptr;
    program_.reset();
}

void DocumentCommandsTest::newDocumentsAreNumberedAndShownInBothWindows()
{
    QVERIFY(frame_->router().trigger(CMainFrame::IdNew));
    QVERIFY(frame_->currentDocument());
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Tessor - Tessor2"));
    DocumentSession& documents = frame_->documents();
    QCOMPARE(frame_->mdiArea()->subWindowList().size(), 2);
    QCOMPARE(documents.worksheetWindow()->windowTitle(), QStringLiteral("Worksheet - Data Count:0"));
    QCOMPARE(documents.graphWindow()->windowTitle(), QStringLiteral("Graph - Channel1"));
    QVERIFY(program_->prompt.entries.empty());
}

void DocumentCommandsTest::newAsksBeforeDroppingAModifiedDocument()
{
    CMainDoc* first = frame_->currentDocument().get();
    first->setModified(true);
    program_->prompt.threeWayAnswers = {ShellPrompt::Answer::Cancel};
    frame_->router().trigger(CMainFrame::IdNew);
    QCOMPARE(program_->prompt.texts(), QStringList{QStringLiteral("Save changes to Tessor1?")});
    QCOMPARE(program_->prompt.entries.front().kind, RecordingShellPrompt::Entry::YesNoCancel);
    QCOMPARE(frame_->currentDocument().get(), first);
    QCOMPARE(frame_->documents().title(), QStringLiteral("Tessor1"));

    program_->prompt.clear();
    program_->prompt.threeWayAnswers = {ShellPrompt::Answer::No};
    frame_->router().trigger(CMainFrame::IdNew);
    QCOMPARE(program_->prompt.texts(), QStringList{QStringLiteral("Save changes to Tessor1?")});
    QCOMPARE(frame_->documents().title(), QStringLiteral("Tessor2"));
    QVERIFY(!frame_->currentDocument().get()->isModified());
}

void DocumentCommandsTest::yesSavesThroughSaveAsWhenTheDocumentHasNoFile()
{
    CMainDoc* first = frame_->currentDocument().get();
    first->setModified(true);
    program_->prompt.threeWayAnswers = {ShellPrompt::Answer::Yes};
    // The Save As dialog is cancelled: New does not go on.
    frame_->router().trigger(CMainFrame::IdNew);
    QCOMPARE(program_->services.saveRequests.size(), size_t(1));
    const FileRequest& request = program_->services.saveRequests.front();
    QCOMPARE(request.title, QStringLiteral("Save As"));
    QCOMPARE(request.proposedName, QStringLiteral("Tessor1.tsr"));
    QCOMPARE(request.defaultSuffix, QStringLiteral("tsr"));
    QCOMPARE(request.filters.front().name, QStringLiteral("Tessor Text File (*.tsr; *.txt)"));
    QCOMPARE(frame_->currentDocument().get(), first);
}

void DocumentCommandsTest::openAsksForAFileOfTheTessorType()
{
    const QString file = program_->folders.writeFile(QStringLiteral("chosen.tsr"), emptyChannelsFile());
    program_->services.openAnswers = {file};
    QVERIFY(frame_->router().trigger(CMainFrame::IdOpen));
    QCOMPARE(program_->services.openRequests.size(), size_t(1));
    const FileRequest& request = program_->services.openRequests.front();
    QCOMPARE(request.title, QStringLiteral("Open"));
    QCOMPARE(request.filters.size(), size_t(2));
    QCOMPARE(request.filters[0].name, QStringLiteral("Tessor Text File (*.tsr; *.txt)"));
    QCOMPARE(request.filters[0].patterns, (QStringList{QStringLiteral("*.tsr"), QStringLiteral("*.txt")}));
    QCOMPARE(request.filters[1].name, QStringLiteral("All Files (*.*)"));
    QCOMPARE(frame_->documents().path(), file);
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Tessor - chosen.tsr"));
    QCOMPARE(frame_->shownMenu(), 129);
}

void DocumentCommandsTest::openShowsTheReaderMessagesAndLeavesNoDocument()
{
    const QString gone = program_->folders.filePath(QStringLiteral("gone.tsr"));
    program_->services.openAnswers = {gone};
    frame_->router().trigger(CMainFrame::IdOpen);
    QCOMPARE(program_->prompt.texts(),
             (QStringList{QStringLiteral("Cannot open the specified file as it does not exist.\n") + gone +
                              QStringLiteral(": No such file or directory"),
                          QStringLiteral("Failed to read the file")}));
    QVERIFY(!frame_->currentDocument());
    QVERIFY(frame_->mdiArea()->subWindowList().isEmpty());
    QCOMPARE(frame_->shownMenu(), 128);
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Tessor"));
    QCOMPARE(frame_->recentFiles().count(), 0);
}

void DocumentCommandsTest::saveOfAnEmptyChannelSaysThereIsNoData()
{
    frame_->currentDocument().get()->setModified(true);
    const QString target = program_->folders.filePath(QStringLiteral("empty.tsr"));
    program_->services.saveAnswers = {target};
    QVERIFY(frame_->router().trigger(CMainFrame::IdSave));
    QCOMPARE(program_->prompt.texts(), QStringList{QStringLiteral("There is no data to save.")});
    QVERIFY(!frame_->currentDocument().get()->isModified());
    QVERIFY(!QFile::exists(target));
    // A file that was never written neither names the document nor joins the recent files.
    QVERIFY(frame_->documents().path().isEmpty());
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Tessor - Tessor1"));
    QCOMPARE(frame_->recentFiles().count(), 0);
}

void DocumentCommandsTest::saveAsWritesTheFileAndRenamesTheDocument()
{
    const QString source = program_->folders.writeFile(QStringLiteral("source.tsr"), oneStepFile());
    QVERIFY(frame_->openDocumentFile(source));
    const QString target = program_->folders.filePath(QStringLiteral("copy.tsr"));
    program_->services.saveAnswers = {target};
    QVERIFY(frame_->router().trigger(CMainFrame::IdSaveAs));
    QVERIFY(QFile::exists(target));
    QCOMPARE(frame_->documents().path(), target);
    QCOMPARE(frame_->windowTitle(), QStringLiteral("Tessor - copy.tsr"));
    QCOMPARE(frame_->recentFiles().files(), (QStringList{target, source}));
    QVERIFY(program_->prompt.entries.empty());
}

void DocumentCommandsTest::saveWritesToTheDocumentsOwnFile()
{
    const QString source = program_->folders.writeFile(QStringLiteral("own.tsr"), oneStepFile());
    QVERIFY(frame_->openDocumentFile(source));
    QFile::remove(source);
    frame_->currentDocument().get()->setModified(true);
    QVERIFY(frame_->router().trigger(CMainFrame::IdSave));
    QVERIFY(program_->services.saveRequests.empty());
    QVERIFY(QFile::exists(source));
    QVERIFY(!frame_->currentDocument().get()->isModified());
}

void DocumentCommandsTest::closeAsksOnlyForAModifiedDocument()
{
    QVERIFY(frame_->router().isEnabled(CMainFrame::IdClose));
    frame_->currentDocument().get()->setModified(true);
    program_->prompt.threeWayAnswers = {ShellPrompt::Answer::Cancel};
    frame_->router().trigger(CMainFrame::IdClose);
    QVERIFY(frame_->currentDocument());

    program_->prompt.threeWayAnswers = {ShellPrompt::Answer::No};
    frame_->router().trigger(CMainFrame::IdClose);
    QVERIFY(!frame_->currentDocument());
    QCOMPARE(program_->prompt.texts(), (QStringList{QStringLiteral("Save changes to Tessor1?"),
                                                    QStringLiteral("Save changes to Tessor1?")}));
    frame_->updateCommandUi();
    // Without a document the document commands are off and the main menu is shown.
    QCOMPARE(frame_->shownMenu(), 128);
    for (int id : {CMainFrame::IdClose, CMainFrame::IdSave, CMainFrame::IdSaveAs})
        QVERIFY(!frame_->router().isEnabled(id));
    QVERIFY(frame_->router().isEnabled(CMainFrame::IdNew));
}

void DocumentCommandsTest::exitCanBeCancelled()
{
    frame_->currentDocument().get()->setModified(true);
    program_->prompt.threeWayAnswers = {ShellPrompt::Answer::Cancel};
    QVERIFY(!frame_->close());
    QVERIFY(frame_->isVisible());
    QVERIFY(frame_->currentDocument());

    program_->prompt.threeWayAnswers = {ShellPrompt::Answer::No};
    frame_->router().trigger(CMainFrame::IdExit);
    QVERIFY(!frame_->isVisible());
    QVERIFY(!frame_->currentDocument());
}

void DocumentCommandsTest::recentFilesKeepTheFourNewest()
{
    QStringList files;
    for (int i = 1; i <= 5; ++i) {
        files << program_->folders.writeFile(QStringLiteral("file%1.tsr").arg(i), emptyChannelsFile());
        QVERIFY(frame_->openDocumentFile(files.last()));
    }
    QCOMPARE(frame_->recentFiles().files(), (QStringList{files[4], files[3], files[2], files[1]}));
    frame_->updateCommandUi();
    QVERIFY(frame_->router().isEnabled(CMainFrame::IdRecentFile1 + 3));
    QVERIFY(frame_->router().action(CMainFrame::IdRecentFile1 + 1)->text().startsWith(QStringLiteral("&2 ")));

    // Opening the third entry moves it to the top.
    QVERIFY(frame_->router().trigger(CMainFrame::IdRecentFile1 + 2));
    QCOMPARE(frame_->documents().path(), files[2]);
    QCOMPARE(frame_->recentFiles().file(0), files[2]);

    program_->stop();
    const QString profile = program_->folders.profilePath();
    QCOMPARE(readProfileValue(profile, QStringLiteral("Recent File List/File1")).toString(), files[2]);
    QCOMPARE(readProfileValue(profile, QStringLiteral("Recent File List/File4")).toString(), files[1]);
}

void DocumentCommandsTest::aRecentFileThatCannotBeReadLeavesTheList()
{
    const QString kept = program_->folders.writeFile(QStringLiteral("kept.tsr"), emptyChannelsFile());
    const QString lost = program_->folders.writeFile(QStringLiteral("lost.tsr"), emptyChannelsFile());
    QVERIFY(frame_->openDocumentFile(kept));
    QVERIFY(frame_->openDocumentFile(lost));
    QFile::remove(lost);
    QVERIFY(frame_->router().trigger(CMainFrame::IdRecentFile1));
    QCOMPARE(frame_->recentFiles().files(), QStringList{kept});
    frame_->updateCommandUi();
    QVERIFY(!frame_->router().isEnabled(CMainFrame::IdRecentFile1 + 1));
    QVERIFY(!frame_->router().action(CMainFrame::IdRecentFile1 + 1)->isVisible());
}

void DocumentCommandsTest::aDroppedFileIsOpened()
{
    const QString file = program_->folders.writeFile(QStringLiteral("dropped.tsr"), emptyChannelsFile());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame_, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame_, &drop);
    QCOMPARE(frame_->documents().path(), file);
}

void DocumentCommandsTest::theWaitCursorIsShownAndRemoved()
{
    const QString file = program_->folders.writeFile(QStringLiteral("busy.tsr"), emptyChannelsFile());
    const int before = program_->prompt.busyCount;
    QVERIFY(frame_->openDocumentFile(file));
    frame_->router().trigger(CMainFrame::IdNew);
    QVERIFY(program_->prompt.busyCount >= before + 2);
    QCOMPARE(program_->prompt.busyDepth, 0);
}

QTEST_MAIN(DocumentCommandsTest)
#include "DocumentCommandsTest.moc"
