#pragma once

#include <QLineEdit>

// The numeric input field of the dialogs: it takes the digits 0 to 9 and a single decimal point and
// drops every other character (so no sign and no exponent), whether typed, pasted or dropped.
// Control keys such as Backspace work as usual. Its tooltip can be set at any time.
class CDecimalEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CDecimalEdit(QWidget* parent = nullptr);

    void setToolTipText(const QString& text) { setToolTip(text); }
    QString toolTipText() const { return toolTip(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void insertFiltered(const QString& text);
};
