#pragma once

#include <QWidget>

class QCheckBox;
class QHBoxLayout;
class QToolButton;

// The row of buttons at the top of the window: one per screen, a
// separator, the print, help and exit buttons, and the help-tour switch
// chkHelp at the right. Toolbar buttons take no keyboard focus, as in any
// toolbar (a focused one would stay drawn raised).
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

    QHBoxLayout *layout_;
    QCheckBox *chkHelp_ = nullptr;
};
