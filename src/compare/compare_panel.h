#pragma once

#include "ui/placeholder_panel.h"

struct Session;

// The two-person comparison fraAvgTai, the screen the window opens on.
class ComparePanel final : public PlaceholderPanel {
    Q_OBJECT
public:
    ComparePanel(Session &session, QWidget *parent = nullptr);

    // SetupAverageGrid, then BuildComparison: both files read afresh.
    void rebuild() override;

private:
    Session &s_;
};
