#pragma once

#include <QLineEdit>

class QRegularExpressionValidator;

// The numeric input field of the dialogs: it takes the digits 0 to 9 and a single decimal point and
// drops every other character (so no sign and no exponent), whether typed, pasted or dropped.
// Control keys such as Backspace work as usual. Its tooltip can be set at any time. A field for a
// value that may be negative (the worksheet's set values) also takes one minus sign in front.
class CDecimalEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CDecimalEdit(QWidget* parent = nullptr);

    void setToolTipText(const QString& text) { setToolTip(text); }
    QString toolTipText() const { return toolTip(); }
    void setSignAllowed(bool allowed);
    bool signAllowed() const { return signAllowed_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void insertFiltered(const QString& text);
    // Whether a minus typed or pasted at the caret would stand alone in front of the text.
    bool signFitsAtCaret() const;

    QRegularExpressionValidator* validator_;
    bool signAllowed_ = false;
};
