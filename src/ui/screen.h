#pragma once

#include <QFrame>
#include <QString>

// One screen of the main window: a panel of which exactly one shows at a
// time. The main window keeps a table of them and drives each through
// these three calls; a screen builds its own controls.
class Screen : public QFrame {
    Q_OBJECT
public:
    using QFrame::QFrame;

    // Opened by its toolbar button from another screen: rebuild the content
    // from the files. Runs while every panel is hidden.
    virtual void rebuild() {}
    // The selected person changed. The screen that shows (`visible`)
    // rebuilds for the new person now, while hidden; the others may note
    // it for when they are opened next.
    virtual void personChanged(bool visible) { Q_UNUSED(visible) }
    // What the help tour says when this screen is opened.
    virtual QString helpText() const = 0;

Q_SIGNALS:
    // A record of the selected person was corrected, removed or saved
    // here: the day view, the counts and the meters follow.
    void recordsChanged();
    // Files were put back (a restore, an undo): profiles, lists and every
    // screen are read anew.
    void filesReplaced();
};
