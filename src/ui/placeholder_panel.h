#pragma once

#include "ui/screen.h"

class QVBoxLayout;

// A screen whose content comes in a later version: its frame exists, it
// switches like the others, explains itself in the help tour and says
// plainly that it is not ready yet.
class PlaceholderPanel : public Screen {
    Q_OBJECT
public:
    PlaceholderPanel(const QString &frameName, const QString &screenTitle, const QString &helpText,
                     QWidget *parent = nullptr);
    QString helpText() const override { return helpText_; }
    // Controls that already live on this screen go here, above the note.
    QVBoxLayout *controlsLayout() const { return controls_; }

private:
    QString helpText_;
    QVBoxLayout *controls_;
};
