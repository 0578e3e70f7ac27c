#pragma once

#include "core/weight_series.h"
#include "ui/screen.h"

#include <QList>
#include <functional>

class Grid;
class QGridLayout;
class QGroupBox;
class QLabel;
class QRadioButton;
struct Session;

// The analysis screen fraBunseki: four tables of the selected person's
// series. Reloading the series also redraws the moving-average graph, which
// lives on its own screen: drawTrendGraph does that where the graph has
// been built (a graph built later draws itself when it opens).
class AnalysisPanel final : public Screen {
    Q_OBJECT
public:
    AnalysisPanel(Session &session, std::function<void(const WeightSeries &)> drawTrendGraph,
                  QWidget *parent = nullptr);

    // Reloads the series, then fills the four tables.
    void rebuild() override;
    void personChanged(bool visible) override;
    QString helpText() const override;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void FillSeriesTable();
    void FillMilestoneTable();
    void FillAverageTrend();
    void FillBandRanking();
    void Option1_Click();
    void Option2_Click();

    QGroupBox *frame(const char *name, const QString &caption, Grid *grid, QWidget *below);
    // The four frames in one row when they fit side by side, else two by two.
    void arrangeFrames(int perRow);

    Session &s_;
    std::function<void(const WeightSeries &)> drawTrendGraph_;
    WeightSeries series_; // the tables' series, as last loaded

    QGroupBox *fraB_[4] = {};
    Grid *msgB_[4] = {};
    QRadioButton *Option1_[2] = {};
    QRadioButton *Option2_[2] = {};
    QLabel *Label5_[2] = {};
    QGridLayout *frames_ = nullptr;
    int perRow_ = 0;
};
