#include "views/PasteSource.h"

#include "model/CMainDoc.h"

#include <QClipboard>
#include <QGuiApplication>

PasteSource::PasteSource(const CMainDoc& document, QObject* parent) : QObject(parent), document_(document)
{
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        if (writing_)
            return;
        clipboardChanged_ = true;
        bufferFillsAtClipboardChange_ = document_.bufferFills();
    });
}

void PasteSource::write(const QString& text)
{
    writing_ = true;
    written_ = text;
    QGuiApplication::clipboard()->setText(text);
    writing_ = false;
}

QString PasteSource::clipboardColumns() const
{
    const bool clipboardNewer = clipboardChanged_ && document_.bufferFills() == bufferFillsAtClipboardChange_;
    if (document_.bufferCount() > 0 && !clipboardNewer)
        return QString();
    // What the worksheet copied itself is in the copy buffer as it was, with every field.
    const QString text = QGuiApplication::clipboard()->text();
    if (text.trimmed().isEmpty() || text == written_)
        return QString();
    return text;
}
