#pragma once

#include "ui/placeholder_panel.h"

class TrendPanel;
struct Session;

// The analysis screen fraBunseki: four tables of the selected person.
// Reloading the series also redraws the moving-average graph, which lives
// on its own screen.
class AnalysisPanel final : public PlaceholderPanel {
    Q_OBJECT
public:
    AnalysisPanel(Session &session, TrendPanel *trend, QWidget *parent = nullptr);

    void rebuild() override;
    void personChanged(bool visible) override;

private:
    Session &s_;
    TrendPanel *trend_;
};
