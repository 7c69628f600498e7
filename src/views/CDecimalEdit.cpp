#include "views/CDecimalEdit.h"

#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QRegularExpressionValidator>

CDecimalEdit::CDecimalEdit(QWidget* parent)
    : QLineEdit(parent), validator_(new QRegularExpressionValidator(this))
{
    // The key filter below gives typing its rules; the validator also guards the context menu's
    // Paste and the middle-button paste, which do not pass through it.
    setSignAllowed(false);
    setValidator(validator_);
}

void CDecimalEdit::setSignAllowed(bool allowed)
{
    signAllowed_ = allowed;
    validator_->setRegularExpression(QRegularExpression(allowed ? QStringLiteral("-?[0-9]*\\.?[0-9]*")
                                                                : QStringLiteral("[0-9]*\\.?[0-9]*")));
}

bool CDecimalEdit::signFitsAtCaret() const
{
    if (!signAllowed_)
        return false;
    const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
    QString rest = text();
    if (hasSelectedText())
        rest.remove(selectionStart(), selectedText().size());
    return caret == 0 && !rest.startsWith(QLatin1Char('-'));
}

void CDecimalEdit::insertFiltered(const QString& text)
{
    // Each character is judged as if typed: a point is taken only while the field holds none.
    QString current = this->text();
    if (hasSelectedText())
        current.remove(selectionStart(), selectedText().size());
    QString accepted;
    bool hasPoint = current.contains(QLatin1Char('.'));
    const bool signFits = signFitsAtCaret();
    for (const QChar c : text) {
        if (c == QLatin1Char('-') && signFits && accepted.isEmpty()) {
            accepted += c;
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            accepted += c;
        } else if (c == QLatin1Char('.') && !hasPoint) {
            accepted += c;
            hasPoint = true;
        }
    }
    if (!accepted.isEmpty())
        insert(accepted);
}

void CDecimalEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        insertFiltered(QGuiApplication::clipboard()->text());
        event->accept();
        return;
    }
    const QString text = event->text();
    // Keys without text, control characters and shortcuts keep their usual meaning.
    if (text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127 ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QChar c = text.at(0);
    const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
    // The point is judged against the whole text, selection included.
    const bool point = c == QLatin1Char('.') && !this->text().contains(QLatin1Char('.'));
    const bool sign = c == QLatin1Char('-') && signFitsAtCaret();
    if (digit || point || sign)
        QLineEdit::keyPressEvent(event);
    else
        event->accept();
}

void CDecimalEdit::dropEvent(QDropEvent* event)
{
    if (event->mimeData()->hasText()) {
        insertFiltered(event->mimeData()->text());
        event->acceptProposedAction();
    }
}
