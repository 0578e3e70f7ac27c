#pragma once

#include "core/colours.h"
#include "core/table.h"
#include "core/weight_series.h"

#include <QString>
#include <QStringView>

// The moving-average graph fraRenTai: every weight as one line, a moving
// average over the last W records as a second, the summary captions and the
// target button that moves the floor of the graph to the target weight.
namespace analysis {

// What the combo box cboIdou asks for when it is clicked or Enter is
// pressed in it.
struct WindowInput {
    enum class Action {
        Nothing, // empty text: nothing happens
        Accept,  // redraw with `window`, store the text
        Refuse   // clear the box, store nothing
    };
    Action action = Action::Nothing;
    int window = 0; // when accepted: 1 or more (a larger number than int holds is INT_MAX)
};
// A window is accepted when the text's leading number is a whole number of
// 1 or more ("45" is accepted although the list ends at 30; "0", "2.5",
// "-3" and "abc" are refused).
WindowInput readWindowInput(QStringView text);

// The window the graph uses for the combo box's text; 0 (no average line)
// for a text that would be refused.
int movingAverageWindow(QStringView text);

// The two value columns of mcrRentai.
struct TrendChart {
    ChartValues weights;       // column 1 "推移": every weight
    ChartValues movingAverage; // column 2 "移動平均": empty before record W
};

// Both columns from the series in memory (RedrawMovingAverage). A window
// below 1 or above the record count gives no average line.
TrendChart RedrawMovingAverage(const WeightSeries &series, int window);

// The Y axis: top floor(maxWeight + 0.9); bottom floor(minWeight), or
// floor(target weight) while the target floor is on. A target floor at or
// above the top raises the top to the floor + 1, so the axis never comes
// out empty or upside down.
AxisRange trendAxis(const WeightSeries &series, float targetWeight, bool targetFloorOn);

// cmdMokuChk's back colour: light orange while the target floor is on.
Rgb targetButtonBack(bool targetFloorOn);

struct TrendGraph {
    TrendChart chart;
    AxisRange axis;
    QString lblNichis;  // start, last record, days, loss
    QString lblKiro;    // lowest weight and its date
    QString cmdMokuChk; // the distance to the target weight
    Rgb mokuChkBack = palette::kDefault;
};

// Everything the screen shows (DrawTrendGraph), with the axis and the button
// colour for the given state of the target floor.
TrendGraph DrawTrendGraph(const WeightSeries &series, int window, float targetWeight,
                          bool targetFloorOn);

} // namespace analysis
