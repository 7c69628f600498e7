#pragma once

#include "app/CChildFrame.h"
#include "app/DocumentTemplate.h"
#include "views/ViewContext.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

struct AppSettings;
class CGraphView;
class CGridView;
class CMainDoc;
class CurrentDocument;
class QMdiArea;
class RecentFileList;
class ResourceModule;
class ProfileStore;
class ShellResources;
class ShellPrompt;
class ShellServices;
class TemplateLoader;
class TimerService;

// The one open document and its two windows, the worksheet and the graph, and the framework's
// document commands: New, Open, Save, Save As, Close with the question before a modified document
// is closed. New and Open close whatever is open first; a document is shown in both windows, side by
// side or, with "Save Position", at the rectangles the windows had when they last closed.
class DocumentSession : public QObject {
    Q_OBJECT
public:
    enum class OpenResult { Opened, Cancelled, Failed };

    struct Context {
        QMdiArea* area;
        AppSettings& settings;
        CurrentDocument& current;
        ShellPrompt& prompt;
        ShellServices& services;
        const ResourceModule& module;
        const ShellResources& resources;
        const ProfileStore& profile;
        RecentFileList& recentFiles;
        TimerService& timers;
        const TemplateLoader& templates;
        // Clears the run engine's per-channel progress after a file was read.
        std::function<void()> runProgressReset;
        // Pops up a context menu resource of a view (through the frame's command routing).
        std::function<void(int menuId, const QPoint& globalPos)> showContextMenu;
        // A view's command states changed.
        std::function<void()> commandStatesChanged;
    };

    explicit DocumentSession(const Context& context, QObject* parent = nullptr);
    // Closes the document without asking.
    ~DocumentSession() override;

    CMainDoc* document() const { return document_.get(); }
    CGridView* gridView() const { return gridView_; }
    CGraphView* graphView() const { return graphView_; }
    CChildFrame* worksheetWindow() const { return worksheetWindow_; }
    CChildFrame* graphWindow() const { return graphWindow_; }
    // The document's title: its file name, or "Tessor1", "Tessor2"... before it is first saved.
    QString title() const { return title_; }
    QString path() const { return path_; }

    // New: asks about a modified document, closes it, creates an empty one in both windows.
    void newDocument();
    // Open (path), used by Open, the recent files, dropped files, the command line and the copy
    // handed over by a second start.
    OpenResult openDocument(const QString& path);
    // Open...: the file dialog, then Open (path).
    void openWithDialog();
    // Opens a recent file; an entry whose file cannot be read leaves the list.
    void openRecentFile(int index);
    // Save: to the document's file, or as Save As when it has none or the file is read-only.
    bool save();
    bool saveAs();
    // Close: asks about a modified document, then closes it.
    void close();

    // The framework's question about a modified document; false when the user cancelled (or chose
    // Yes and the save did not happen).
    bool saveModified();
    // Closes the document without asking; each window writes its rectangle.
    void closeDocument();

    // Creates an empty document with its worksheet and graph windows and makes it the current
    // document (the Transfer dialog's Read uses this after closing the documents).
    bool createDocumentWindows();
    // Shows both windows at their saved rectangles ("Save Position") or side by side.
    void placeDocumentWindows();

    // What the frame asks of both views after a setting changed that shapes them, when a document
    // is open: the channel switch, the control method, the Mode dialog (time headers, the current
    // channel's value header and axis labels), and a read-back from the instrument (every channel
    // filled anew).
    void showChannel(int channel);
    void applyControlMethod();
    void applyModeSettings();
    void refillAllChannels();
    // Commits what is being typed in the worksheet, before a command or the program's end acts on
    // the document.
    void commitPendingEdit();

    // What the views are given.
    const ViewContext& viewContext() const { return viewContext_; }

    // The file dialogs' filter and extension, from the worksheet template.
    const DocumentTemplate& worksheetTemplate() const { return worksheetTemplate_; }

signals:
    // A document was opened, created, renamed by Save As, or closed.
    void documentChanged();
    // The windows are about to close: nothing may route commands to their views any more.
    void windowsClosing();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<CMainDoc> makeDocument();
    void showDocument(std::unique_ptr<CMainDoc> document);
    bool saveTo(const QString& path);
    void setPath(const QString& path);
    void tileSideBySide();
    FileRequest fileRequest(const QString& title) const;

    Context context_;
    ViewContext viewContext_;
    DocumentTemplate worksheetTemplate_;
    DocumentTemplate graphTemplate_;
    std::unique_ptr<CMainDoc> document_;
    QPointer<CChildFrame> worksheetWindow_;
    QPointer<CChildFrame> graphWindow_;
    CGridView* gridView_ = nullptr;
    CGraphView* graphView_ = nullptr;
    QString title_;
    QString path_;
    QString lastFolder_;
    int untitledCount_ = 0;
    bool tilePending_ = false;
};
