#pragma once

#include <QFrame>

class QVBoxLayout;

// A screen whose content comes in a later version: its frame exists, it
// switches like the others and says plainly that it is not ready yet.
class PlaceholderPanel final : public QFrame {
    Q_OBJECT
public:
    PlaceholderPanel(const QString &frameName, const QString &screenTitle, QWidget *parent = nullptr);
    // Controls that already live on this screen go here, above the note.
    QVBoxLayout *controlsLayout() const { return controls_; }

private:
    QVBoxLayout *controls_;
};
