#pragma once

#include <QWidget>

// While it lives, the widget is not drawn; it is drawn once, with the whole
// new content in place, when the guard goes. Hiding the widget instead
// would take the keyboard focus away from a box the user is typing in.
class PaintOnce {
public:
    explicit PaintOnce(QWidget *w) : w_(w), was_(w->updatesEnabled()) { w_->setUpdatesEnabled(false); }
    ~PaintOnce() { w_->setUpdatesEnabled(was_); }
    Q_DISABLE_COPY_MOVE(PaintOnce)

private:
    QWidget *w_;
    bool was_;
};
