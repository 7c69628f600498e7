#include "app/MessageBoxPrompt.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon boxIcon(UserPrompt::Icon icon)
{
    switch (icon) {
    case UserPrompt::Icon::Information:
        return QMessageBox::Information;
    case UserPrompt::Icon::Critical:
        return QMessageBox::Critical;
    case UserPrompt::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

// The caption is the application title of the program itself, which also names its profile.
MessageBoxPrompt::MessageBoxPrompt() : title_(QStringLiteral("Tessor")) {}

MessageBoxPrompt::~MessageBoxPrompt()
{
    while (busyDepth_ > 0)
        setBusy(false);
}

int MessageBoxPrompt::run(int icon, const QString& text, int buttons, int defaultButton)
{
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), title_, text,
                    static_cast<QMessageBox::StandardButtons>(buttons), parent_.data());
    box.setDefaultButton(static_cast<QMessageBox::StandardButton>(defaultButton));
    // The box itself is answered with the normal cursor even while an operation shows the wait cursor.
    if (busyDepth_ > 0)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = box.exec();
    if (busyDepth_ > 0)
        QApplication::restoreOverrideCursor();
    return answer;
}

void MessageBoxPrompt::showMessage(const QString& text, Icon icon)
{
    run(boxIcon(icon), text, QMessageBox::Ok, QMessageBox::Ok);
}

bool MessageBoxPrompt::askYesNo(const QString& text, Icon icon)
{
    return run(boxIcon(icon), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

ShellPrompt::Answer MessageBoxPrompt::askYesNoCancel(const QString& text)
{
    const int answer = run(QMessageBox::Warning, text,
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        return Answer::Yes;
    return answer == QMessageBox::No ? Answer::No : Answer::Cancel;
}

void MessageBoxPrompt::setBusy(bool busy)
{
    if (busy) {
        ++busyDepth_;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busyDepth_ > 0) {
        --busyDepth_;
        QApplication::restoreOverrideCursor();
    }
}
