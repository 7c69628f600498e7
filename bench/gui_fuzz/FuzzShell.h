#pragma once

#include "FuzzRandom.h"
#include "app/ShellPrompt.h"
#include "app/ShellServices.h"

#include <QStringList>
#include <cstdint>

// The user's side of every message box, question, file dialog and dialog, answered at once and at
// random: nothing modal ever runs. The answers of one action come from that action's own seed, so
// a printed action replays with the same answers.
class FuzzShell : public ShellPrompt, public ShellServices {
public:
    // folder: where Save As puts its files; files: what Open may choose.
    FuzzShell(QString folder, QStringList files);

    // The seed of the answers given until the next action begins.
    void beginAction(std::uint32_t answers);
    // Whether the action asked anything (its seed is then worth printing).
    bool asked() const { return asked_; }

    // ShellPrompt
    void showMessage(const QString& text, Icon icon = Icon::None) override;
    bool askYesNo(const QString& text, Icon icon = Icon::Information) override;
    Answer askYesNoCancel(const QString& text) override;
    void setBusy(bool busy) override;

    // ShellServices
    QString openFileName(QWidget* parent, const FileRequest& request) override;
    QString saveFileName(QWidget* parent, const FileRequest& request) override;
    bool openWithDesktop(const QString& path) override;
    int execDialog(QDialog& dialog) override;

    // The wait cursor's depth: 0 whenever no operation runs.
    int busyDepth() const { return busyDepth_; }
    // What the user was told and asked, most recent last (the last few only).
    const QStringList& recentTexts() const { return recent_; }
    int messages() const { return messages_; }
    int questions() const { return questions_; }
    int dialogs() const { return dialogs_; }

private:
    void note(const QString& text);
    int answerScaleDialog(QDialog& dialog);
    int answerColourDialog(QDialog& dialog);

    FuzzRandom random_;
    QString folder_;
    QStringList files_;
    bool asked_ = false;
    int busyDepth_ = 0;
    int saved_ = 0;
    int messages_ = 0;
    int questions_ = 0;
    int dialogs_ = 0;
    QStringList recent_;
};
