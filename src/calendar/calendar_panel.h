#pragma once

#include "ui/placeholder_panel.h"

#include <QDate>

struct Session;

// The day-status calendar fraCale of the selected person.
class CalendarPanel final : public PlaceholderPanel {
    Q_OBJECT
public:
    CalendarPanel(Session &session, QWidget *parent = nullptr);

    void rebuild() override;
    void personChanged(bool visible) override;

Q_SIGNALS:
    // A day was double-clicked: the weight screen is to show it.
    void dayOpened(QDate day);

private:
    Session &s_;
};
