#include "app/DocumentSession.h"

#include "app/CChildFrame.h"
#include "app/RecentFileList.h"
#include "app/ShellPrompt.h"
#include "app/ShellServices.h"
#include "app/WindowArrangement.h"
#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/CurrentDocument.h"
#include "model/ProfileStore.h"
#include "ui/ResourceModule.h"
#include "views/CGraphView.h"
#include "views/CGridView.h"
#include "views/ShellResources.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QScreen>
#include <QTimer>

namespace {

constexpr int kWorksheetTemplate = 129;
constexpr int kGraphTemplate = 130;
// Framework strings: the file dialogs' titles, the all-files filter, the untitled name and the
// question before a modified document closes.
constexpr int kOpenTitle = 61440;
constexpr int kSaveAsTitle = 61441;
constexpr int kAllFilesFilter = 61442;
constexpr int kUntitled = 61443;
constexpr int kAskToSave = 61709;

const QString kGridSection = QStringLiteral("Grid");
const QString kGraphSection = QStringLiteral("Graph");

// A stored rectangle is the top-left corner and the bottom-right corner just outside the window
// (corners near enough to the screens that their differences fit). The window is never larger
// than the screen.
QRect toRect(const WindowRect& rect, const QScreen* screen)
{
    QSize size(rect.Right - rect.Left, rect.Bottom - rect.Top);
    if (screen)
        size = size.boundedTo(screen->availableGeometry().size());
    return QRect(QPoint(rect.Left, rect.Top), size);
}

WindowRect toWindowRect(const QRect& rect)
{
    return WindowRect{rect.top(), rect.left(), rect.top() + rect.height(), rect.left() + rect.width()};
}

} // namespace

DocumentSession::DocumentSession(const Context& context, QObject* parent)
    : QObject(parent), context_(context),
      viewContext_{context.settings, context.prompt,          context.timers,
                   context.module,   context.resources,       context.templates,
                   context.profile,  context.showContextMenu, context.commandStatesChanged,
                   [&services = context.services](QDialog& dialog) { return services.execDialog(dialog); }},
      worksheetTemplate_(DocumentTemplate::fromString(context.module.string(kWorksheetTemplate))),
      graphTemplate_(DocumentTemplate::fromString(context.module.string(kGraphTemplate))),
      lastFolder_(QDir::currentPath())
{
    context_.area->viewport()->installEventFilter(this);
}

DocumentSession::~DocumentSession()
{
    closeDocument();
}

std::unique_ptr<CMainDoc> DocumentSession::makeDocument()
{
    auto document = std::make_unique<CMainDoc>(context_.settings, context_.prompt);
    CurrentDocument& current = context_.current;
    CMainDoc* raw = document.get();
    document->setCloseHook([&current, raw] {
        if (current.get() == raw)
            current.clear();
    });
    if (context_.runProgressReset)
        document->setRunProgressResetHook(context_.runProgressReset);
    return document;
}

void DocumentSession::newDocument()
{
    if (!saveModified())
        return;
    closeDocument();
    BusyGuard busy(context_.prompt);
    if (createDocumentWindows())
        placeDocumentWindows();
}

bool DocumentSession::createDocumentWindows()
{
    closeDocument();
    ++untitledCount_;
    title_ = worksheetTemplate_.documentName.isEmpty()
                 ? context_.module.string(kUntitled)
                 : worksheetTemplate_.documentName + QString::number(untitledCount_);
    path_.clear();
    showDocument(makeDocument());
    return document_ != nullptr;
}

void DocumentSession::showDocument(std::unique_ptr<CMainDoc> document)
{
    document_ = std::move(document);
    context_.current.set(document_.get());
    const auto writeRect = [&profile = context_.profile](const QString& section, const QRect& rect) {
        profile.saveWindowRect(section, toWindowRect(rect));
    };

    // The worksheet titles itself with the current channel's step count.
    gridView_ = new CGridView(*document_, viewContext_);
    worksheetWindow_ = new CChildFrame(gridView_, &gridView_->commands(), kGridSection, writeRect);
    worksheetWindow_->setWindowIcon(context_.resources.icon(kWorksheetTemplate));
    worksheetWindow_->addTo(context_.area);

    graphView_ = new CGraphView(*document_, viewContext_);
    graphView_->setWindowTitle(graphTemplate_.windowTitle);
    graphWindow_ = new CChildFrame(graphView_, &graphView_->commands(), kGraphSection, writeRect);
    graphWindow_->setWindowIcon(context_.resources.icon(kGraphTemplate));
    graphWindow_->addTo(context_.area);
    gridView_->setGraphLink(graphView_);
    graphView_->setWorksheetLink(gridView_);
    emit documentChanged();
}

void DocumentSession::placeDocumentWindows()
{
    if (!document_)
        return;
    worksheetWindow_->show();
    graphWindow_->show();
    if (context_.settings.bPos == 1) {
        const QScreen* screen = context_.area->screen();
        worksheetWindow_->placeAt(toRect(context_.profile.loadWindowRect(kGridSection), screen));
        graphWindow_->placeAt(toRect(context_.profile.loadWindowRect(kGraphSection), screen));
    } else {
        tileSideBySide();
    }
    context_.area->setActiveSubWindow(worksheetWindow_);
}

void DocumentSession::tileSideBySide()
{
    // Before the frame is first laid out the area has no size yet: tile when it gets one.
    if (!context_.area->isVisible()) {
        tilePending_ = true;
        return;
    }
    tilePending_ = false;
    WindowArrangement::tileVertically(context_.area, {worksheetWindow_, graphWindow_});
}

bool DocumentSession::eventFilter(QObject* watched, QEvent* event)
{
    // The first sizes of a new frame are not yet its final ones: tile once the layout has settled.
    if (tilePending_ && event->type() == QEvent::Resize && watched == context_.area->viewport() &&
        document_ && context_.area->isVisible()) {
        QTimer::singleShot(0, this, [this] {
            if (tilePending_ && document_)
                tileSideBySide();
        });
    }
    return QObject::eventFilter(watched, event);
}

DocumentSession::OpenResult DocumentSession::openDocument(const QString& path)
{
    if (!saveModified())
        return OpenResult::Cancelled;
    closeDocument();
    BusyGuard busy(context_.prompt);
    const QString absolute = QFileInfo(path).absoluteFilePath();
    std::unique_ptr<CMainDoc> document = makeDocument();
    if (!document->openDocument(absolute))
        return OpenResult::Failed;
    setPath(absolute);
    showDocument(std::move(document));
    placeDocumentWindows();
    return OpenResult::Opened;
}

void DocumentSession::showChannel(int channel)
{
    if (!document_)
        return;
    gridView_->showChannel(channel);
    graphView_->showChannel(channel);
}

void DocumentSession::applyControlMethod()
{
    if (!document_)
        return;
    gridView_->applyControlMethod();
    graphView_->rescaleChannel(document_->currentChannel());
}

void DocumentSession::applyModeSettings()
{
    if (!document_)
        return;
    const int channel = document_->currentChannel();
    gridView_->setTimeHeaders(context_.settings.Unit);
    gridView_->setValueHeader(context_.settings.ModeCh[channel]);
    gridView_->refreshTitle();
    graphView_->rescaleChannel(channel);
}

void DocumentSession::refillAllChannels()
{
    if (!document_)
        return;
    for (int channel = 0; channel < kChannelCount; ++channel)
        gridView_->fillChannel(channel);
    gridView_->showChannel(document_->currentChannel());
    for (int channel = 0; channel < kChannelCount; ++channel)
        graphView_->rebuildChannel(channel);
    graphView_->showChannel(document_->currentChannel());
}

void DocumentSession::commitPendingEdit()
{
    if (gridView_)
        gridView_->commitOpenEditor();
}

void DocumentSession::openWithDialog()
{
    const QString path = context_.services.openFileName(context_.area->window(),
                                                        fileRequest(context_.module.string(kOpenTitle)));
    if (!path.isEmpty())
        openDocument(path);
}

void DocumentSession::openRecentFile(int index)
{
    const QString path = context_.recentFiles.file(index);
    if (path.isEmpty())
        return;
    if (openDocument(path) == OpenResult::Failed) {
        context_.recentFiles.remove(context_.recentFiles.files().indexOf(path));
        emit documentChanged();
    }
}

FileRequest DocumentSession::fileRequest(const QString& title) const
{
    FileRequest request;
    request.title = title;
    request.folder = path_.isEmpty() ? lastFolder_ : QFileInfo(path_).absolutePath();
    request.filters.push_back(worksheetTemplate_.filter());
    FileFilter all;
    all.name = context_.module.string(kAllFilesFilter);
    all.patterns << QStringLiteral("*");
    request.filters.push_back(all);
    request.defaultSuffix = worksheetTemplate_.defaultSuffix();
    return request;
}

bool DocumentSession::save()
{
    if (!document_)
        return false;
    const QFileInfo file(path_);
    if (path_.isEmpty() || (file.exists() && !file.isWritable()))
        return saveAs();
    return saveTo(path_);
}

bool DocumentSession::saveAs()
{
    if (!document_)
        return false;
    FileRequest request = fileRequest(context_.module.string(kSaveAsTitle));
    request.proposedName =
        path_.isEmpty() ? title_ + QLatin1Char('.') + request.defaultSuffix : QFileInfo(path_).fileName();
    const QString path = context_.services.saveFileName(context_.area->window(), request);
    if (path.isEmpty())
        return false;
    return saveTo(QFileInfo(path).absoluteFilePath());
}

bool DocumentSession::saveTo(const QString& path)
{
    const CMainDoc::SaveResult result = document_->save(path);
    if (result == CMainDoc::SaveResult::Failed)
        return false;
    // Nothing was written: the document is not named after a file that does not hold it, and the
    // file does not join the recent files. The save still counts as done.
    if (result == CMainDoc::SaveResult::NothingToSave)
        return true;
    setPath(path);
    emit documentChanged();
    return true;
}

void DocumentSession::setPath(const QString& path)
{
    path_ = path;
    title_ = QFileInfo(path).fileName();
    lastFolder_ = QFileInfo(path).absolutePath();
    context_.recentFiles.add(path);
}

void DocumentSession::close()
{
    if (saveModified())
        closeDocument();
}

bool DocumentSession::saveModified()
{
    commitPendingEdit();
    if (!document_ || !document_->isModified())
        return true;
    const QString text = context_.module.string(kAskToSave).arg(title_);
    switch (context_.prompt.askYesNoCancel(text)) {
    case ShellPrompt::Answer::Yes:
        return save();
    case ShellPrompt::Answer::No:
        return true;
    case ShellPrompt::Answer::Cancel:
        break;
    }
    return false;
}

void DocumentSession::closeDocument()
{
    if (!document_)
        return;
    emit windowsClosing();
    document_->closeDocument();
    context_.current.clear();
    for (CChildFrame* window : {worksheetWindow_.data(), graphWindow_.data()}) {
        if (window) {
            window->closeWithDocument();
            delete window;
        }
    }
    gridView_ = nullptr;
    graphView_ = nullptr;
    tilePending_ = false;
    document_.reset();
    title_.clear();
    path_.clear();
    emit documentChanged();
}
