#pragma once

#include "pace/pace_calc.h"
#include "ui/screen.h"

#include <array>

class LineChart;
class QLabel;
struct Session;

// The pace screen fraPace: where the two persons are heading. Each
// person's smoothed trend, pace per week, target date and how regularly
// they weigh, in two columns, and one chart of both trends with their
// daily values, targets and forecasts. Both persons show at once, so a
// person switch leaves it as it is.
class PacePanel final : public Screen {
    Q_OBJECT
public:
    explicit PacePanel(const Session &session, QWidget *parent = nullptr);

    // Both files read afresh.
    void rebuild() override;
    QString helpText() const override;

    const pace::PaceView &view() const { return view_; }

private:
    void buildControls();
    QWidget *buildTable();
    // What was computed, or only the nicknames when a file could not be read.
    void showView(bool readable);
    void showChart();

    const Session &s_;
    pace::PaceView view_;

    // By person (index 0 and 1): the nickname caption and the five figures.
    std::array<QLabel *, 2> lblPaceName_{};
    std::array<QLabel *, 2> lblPaceTrend_{}, lblPaceWeek_{}, lblPaceGoal_{}, lblPaceDays_{},
        lblPaceRun_{};
    LineChart *mcrPace_ = nullptr;
};
