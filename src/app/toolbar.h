#pragma once

#include <QWidget>

class QCheckBox;
class QHBoxLayout;
class QKeySequence;
class QToolButton;

// The row of buttons at the top of the window: one per screen, a
// separator, the print, help and exit buttons, and the help-tour switch
// chkHelp at the right. The screen buttons answer Ctrl+1 ... in toolbar
// order, printing the screen Ctrl+P, help F1 and exit Ctrl+Q; Tab reaches
// the buttons too.
class Toolbar final : public QWidget {
    Q_OBJECT
public:
    explicit Toolbar(QWidget *parent = nullptr);

    // A screen's button: checkable, so it shows which screen is open.
    QToolButton *addScreenButton(const char *name, const char *caption, const char *tip,
                                 const char *icon);
    // After the screens: the separator and the four other buttons.
    void addActionButtons();
    QToolButton *button(const char *name) const;
    QCheckBox *chkHelp() const { return chkHelp_; }

private:
    QToolButton *makeButton(const char *name, const char *caption, const char *tip,
                            const char *icon);

    void addShortcut(QToolButton *b, const QKeySequence &keys);

    QHBoxLayout *layout_;
    int screenButtons_ = 0;
    QCheckBox *chkHelp_ = nullptr;
};
