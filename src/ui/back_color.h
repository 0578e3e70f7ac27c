#pragma once

#include "ui/palette.h"

#include <QColor>
#include <QPushButton>

// The back colour of a control (command button, label, check box ...).
// An invalid colour means the style's own colour: the system button face
// for buttons, the window colour for labels. backColor() returns exactly
// the colour last set, or an invalid QColor while the default is shown.
void setBackColor(QWidget *w, const QColor &c);
QColor backColor(const QWidget *w);

// The colours of the shared palette as QColor; palette::kDefault (0) gives
// the invalid colour, that is the control's default.
QColor toColor(Rgb rgb);

// The system button-face colour, for code that needs to name it.
QColor buttonFaceColor();

// A command button whose back colour can be set and read back.
class ColourButton : public QPushButton {
    Q_OBJECT
public:
    explicit ColourButton(QWidget *parent = nullptr);
    explicit ColourButton(const QString &text, QWidget *parent = nullptr);

    void setBackColor(const QColor &c);
    QColor backColor() const;
};
