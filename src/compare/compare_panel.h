#pragma once

#include "compare/comparison.h"
#include "ui/screen.h"

#include <array>

class Grid;
class LineChart;
class Picture;
class QFrame;
class QGroupBox;
class QLabel;
class QRadioButton;
struct Session;

// The two-person comparison fraAvgTai, the screen the window opens on:
// six measures side by side with the better person marked, the share of
// all measurements, the list of daily averages and its two charts. Both
// persons show at once, so a person switch leaves it as it is.
class ComparePanel final : public Screen {
    Q_OBJECT
public:
    ComparePanel(Session &session, QWidget *parent = nullptr);

    // SetupAverageGrid, then BuildComparison: both files read afresh. The
    // graph choices the buttons show are applied to the new charts.
    void rebuild() override;
    QString helpText() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    QWidget *buildTable();
    QGroupBox *buildGraphOptions();
    QWidget *buildCharts();

    void SetupAverageGrid();
    void BuildComparison();
    void showComparison();
    void sizeShareBar();
    void placeAxisMarks();
    // The charts as the lower-bound and overlay choices say.
    void applySeparateAxes();
    void applySameAxis();
    void showView(bool sameAxis);

    void optGra1_Click();
    void optGra2_Click();
    void optG1_Click();
    void optG2_Click();
    void optG3_Click();
    void optG4_Click();

    LineChart *newChart(const QString &name, QWidget *area);
    LineChart *sameAxisChart();
    void showDays(LineChart *chart);

    Session &s_;
    compare::Comparison c_;
    // The choices of the three button pairs.
    bool sameAxis_ = false;
    compare::LowerBound bound_ = compare::LowerBound::Automatic;
    // The lower bound of the separate axes when the chart on one axis was
    // last copied from them.
    compare::LowerBound sameAxisBound_ = compare::LowerBound::Automatic;
    compare::SameAxisView overlay_ = compare::SameAxisView::RealValues;

    std::array<QLabel *, compare::kTableRows> lblD1_{}, lblD2_{};
    std::array<Picture *, compare::kTableRows> imgD1_{}, imgD2_{};
    QFrame *shpShareBar_[2] = {};
    Grid *msgAvgtai_ = nullptr;
    QWidget *chartArea_ = nullptr;
    LineChart *mcrAvgtai_ = nullptr, *mcrAvgtai2_ = nullptr;
    QRadioButton *optGra1_ = nullptr, *optGra2_ = nullptr;
    QGroupBox *fraDgr_ = nullptr, *fraDgr2_ = nullptr;
    QRadioButton *optG1_ = nullptr, *optG2_ = nullptr, *optG3_ = nullptr, *optG4_ = nullptr;
};
