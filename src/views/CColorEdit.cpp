#include "views/CColorEdit.h"

#include <QPalette>

CColorEdit::CColorEdit(QWidget* parent) : QLineEdit(parent)
{
    setReadOnly(true);
    setAlignment(Qt::AlignCenter);
    setFocusPolicy(Qt::NoFocus);
    applyColours();
}

void CColorEdit::setTextColor(const QColor& colour)
{
    text_ = colour;
    applyColours();
}

void CColorEdit::setBackgroundColor(const QColor& colour)
{
    background_ = colour;
    applyColours();
}

void CColorEdit::applyColours()
{
    QPalette colours = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::Text, text_);
        colours.setColor(group, QPalette::Base, background_);
    }
    setPalette(colours);
}
