#pragma once

#include <QObject>
#include <QString>

class CMainDoc;

// Which of the system clipboard and the document's copy buffer the worksheet's Paste takes: the
// clipboard when another program changed it after the copy buffer was last filled (by Copy or
// Delete), or when nothing was copied in the worksheet; the copy buffer otherwise.
class PasteSource : public QObject {
    Q_OBJECT
public:
    explicit PasteSource(const CMainDoc& document, QObject* parent = nullptr);

    // Puts the worksheet's own Copy on the clipboard; that is no other program's change.
    void write(const QString& text);
    // The clipboard's text when Paste takes it, else a null text.
    QString clipboardColumns() const;

private:
    const CMainDoc& document_;
    bool clipboardChanged_ = false;
    quint64 bufferFillsAtClipboardChange_ = 0;
    bool writing_ = false;
    QString written_;
};
