#include "FuzzShell.h"

#include "views/CScaleDlg.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kRecentTexts = 8;

// Texts a user might type into a range field: ordinary, edge, out-of-range and malformed ones.
const std::vector<QString> kRangeTexts = {
    QStringLiteral("0"),     QStringLiteral("10"),     QStringLiteral("8"),     QStringLiteral("1"),
    QStringLiteral("0.5"),   QStringLiteral("0.4"),    QStringLiteral("0.001"), QStringLiteral("100"),
    QStringLiteral("1000"),  QStringLiteral("1000.5"), QStringLiteral("-5"),    QStringLiteral("-999.999"),
    QStringLiteral("-1000"), QStringLiteral(""),       QStringLiteral("abc"),   QStringLiteral("3600"),
    QStringLiteral("1e308"), QStringLiteral("0.0001"), QStringLiteral("99999"), QStringLiteral("-0.5"),
};

} // namespace

FuzzShell::FuzzShell(QString folder, QStringList files) : folder_(std::move(folder)), files_(std::move(files))
{
}

void FuzzShell::beginAction(std::uint32_t answers)
{
    random_ = FuzzRandom(answers);
    asked_ = false;
}

void FuzzShell::note(const QString& text)
{
    recent_ << text;
    while (recent_.size() > kRecentTexts)
        recent_.removeFirst();
}

void FuzzShell::showMessage(const QString& text, Icon)
{
    ++messages_;
    note(QStringLiteral("message: ") + text);
}

bool FuzzShell::askYesNo(const QString& text, Icon)
{
    ++questions_;
    asked_ = true;
    const bool yes = random_.chance(65);
    note(QStringLiteral("question: %1 -> %2").arg(text, yes ? QStringLiteral("Yes") : QStringLiteral("No")));
    return yes;
}

ShellPrompt::Answer FuzzShell::askYesNoCancel(const QString& text)
{
    ++questions_;
    asked_ = true;
    const int roll = random_.below(10);
    const Answer answer = roll < 3 ? Answer::Yes : roll < 8 ? Answer::No : Answer::Cancel;
    const char* words[] = {"Yes", "No", "Cancel"};
    note(QStringLiteral("question: %1 -> %2").arg(text, QLatin1String(words[int(answer)])));
    return answer;
}

void FuzzShell::setBusy(bool busy)
{
    busyDepth_ += busy ? 1 : -1;
}

QString FuzzShell::openFileName(QWidget*, const FileRequest&)
{
    asked_ = true;
    if (files_.isEmpty() || random_.chance(25))
        return QString();
    return random_.pick(std::vector<QString>(files_.begin(), files_.end()));
}

QString FuzzShell::saveFileName(QWidget*, const FileRequest& request)
{
    asked_ = true;
    if (random_.chance(20))
        return QString();
    const QString path =
        QDir(folder_).filePath(QStringLiteral("saved-%1.%2").arg(++saved_).arg(request.defaultSuffix));
    if (!files_.contains(path))
        files_ << path;
    return path;
}

bool FuzzShell::openWithDesktop(const QString&)
{
    return true;
}

int FuzzShell::execDialog(QDialog& dialog)
{
    ++dialogs_;
    asked_ = true;
    if (qobject_cast<CScaleDlg*>(&dialog))
        return answerScaleDialog(dialog);
    if (qobject_cast<QColorDialog*>(&dialog))
        return answerColourDialog(dialog);
    // Every other dialog is cancelled.
    note(QStringLiteral("dialog: %1 -> Cancel").arg(dialog.metaObject()->className()));
    return QDialog::Rejected;
}

int FuzzShell::answerScaleDialog(QDialog& dialog)
{
    auto& scale = static_cast<CScaleDlg&>(dialog);
    const CScaleDlg::Controls& controls = scale.controls();
    // A few tries at OK, each after changing some fields; the dialog stays open while a check fails.
    const int tries = random_.between(1, 3);
    for (int i = 0; i < tries; ++i) {
        for (QLineEdit* field : {controls.timeMax, controls.timeMin, controls.valueMax, controls.valueMin}) {
            if (random_.chance(40))
                field->setText(random_.pick(kRangeTexts));
        }
        for (QCheckBox* box : {controls.autoTimeMax, controls.autoValueMax, controls.autoValueMin}) {
            if (random_.chance(30))
                box->setChecked(!box->isChecked());
        }
        controls.ok->click();
        if (scale.result() == QDialog::Accepted) {
            note(QStringLiteral("dialog: Scale -> OK %1 %2 %3 %4")
                     .arg(controls.timeMin->text(), controls.timeMax->text(), controls.valueMin->text(),
                          controls.valueMax->text()));
            return QDialog::Accepted;
        }
    }
    note(QStringLiteral("dialog: Scale -> Cancel"));
    return QDialog::Rejected;
}

int FuzzShell::answerColourDialog(QDialog& dialog)
{
    auto& colours = static_cast<QColorDialog&>(dialog);
    if (random_.chance(30)) {
        note(QStringLiteral("dialog: Colour -> Cancel"));
        return QDialog::Rejected;
    }
    colours.setCurrentColor(QColor(random_.below(256), random_.below(256), random_.below(256)));
    note(QStringLiteral("dialog: Colour -> %1").arg(colours.currentColor().name()));
    return QDialog::Accepted;
}
