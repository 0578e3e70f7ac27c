#include "analysis/trend_graph.h"

#include "store/dates.h"
#include "store/format.h"

#include <cmath>
#include <limits>

namespace analysis {

namespace {

// " 増" when the weight went up (x < 0), " 同", " 減" when it went down.
QString direction(float x)
{
    if (x < 0)
        return QStringLiteral(" 増");
    if (x == 0)
        return QStringLiteral(" 同");
    return QStringLiteral(" 減");
}

// The average of the last `window` weights at every row from `window` on.
// Each window is summed in single precision from its first record to its
// last and divided in double precision. A running sum would be O(n) but
// its rounding drifts away from that sum, so every window is summed
// afresh; eight neighbouring windows are summed side by side, which keeps
// each one's order of additions and lets the processor overlap them.
ChartValues movingAverage(const QList<float> &weights, int window)
{
    const int n = int(weights.size());
    ChartValues out(n);
    if (window < 1 || window > n)
        return out;
    const float *w = weights.constData();
    const double divisor = window;
    constexpr int kLanes = 8;
    int i = window - 1; // the last record of the first full window
    for (; i + kLanes <= n; i += kLanes) {
        const float *first = w + (i - window + 1);
        float sum[kLanes] = {};
        for (int j = 0; j < window; ++j)
            for (int l = 0; l < kLanes; ++l)
                sum[l] += first[j + l];
        for (int l = 0; l < kLanes; ++l)
            out[i + l] = float(double(sum[l]) / divisor);
    }
    for (; i < n; ++i) {
        const float *first = w + (i - window + 1);
        float sum = 0;
        for (int j = 0; j < window; ++j)
            sum += first[j];
        out[i] = float(double(sum) / divisor);
    }
    return out;
}

} // namespace

WindowInput readWindowInput(QStringView text)
{
    WindowInput in;
    if (text.isEmpty())
        return in;
    const double v = fmt::leadingNumber(text);
    // A window counts records, so it is a whole number: 2.5 would divide
    // the sum of two or three records by 2.5.
    if (!(v >= 1) || v != std::floor(v)) {
        in.action = WindowInput::Action::Refuse;
        return in;
    }
    in.action = WindowInput::Action::Accept;
    constexpr int kMax = std::numeric_limits<int>::max();
    in.window = v >= double(kMax) ? kMax : int(v);
    return in;
}

int movingAverageWindow(QStringView text)
{
    const WindowInput in = readWindowInput(text);
    return in.action == WindowInput::Action::Accept ? in.window : 0;
}

TrendChart RedrawMovingAverage(const WeightSeries &series, int window)
{
    TrendChart chart;
    chart.weights.reserve(series.count);
    for (float w : series.weights)
        chart.weights.append(w);
    chart.movingAverage = movingAverage(series.weights, window);
    return chart;
}

AxisRange trendAxis(const WeightSeries &series, float targetWeight, bool targetFloorOn)
{
    // Not a ceiling: 70.0 gives 70, 70.5 gives 71, and 70.1 (just below
    // 70.1 in single precision) gives 70.
    AxisRange r;
    if (series.count == 0)
        return r;
    r.max = std::floor(double(series.maxWeight) + 0.9);
    r.min = std::floor(double(targetFloorOn ? targetWeight : series.minWeight));
    if (targetFloorOn && r.min >= r.max)
        r.max = r.min + 1;
    return r;
}

Rgb targetButtonBack(bool targetFloorOn)
{
    return targetFloorOn ? palette::kOrange : palette::kDefault;
}

TrendGraph DrawTrendGraph(const WeightSeries &series, int window, float targetWeight,
                          bool targetFloorOn)
{
    TrendGraph g;
    g.chart = RedrawMovingAverage(series, window);
    g.mokuChkBack = targetButtonBack(targetFloorOn);
    const int n = series.count;
    if (n == 0)
        return g;
    g.axis = trendAxis(series, targetWeight, targetFloorOn);

    const float first = series.weights.first();
    const float last = series.weights.last();
    const QString &firstDate = series.dates.first();
    const QString &lastDate = series.dates.last();

    const float change = first - last;
    g.lblNichis = firstDate + QStringLiteral(" ( ") + fmt::shortest(first)
                  + QStringLiteral("Kg ) でスタート ～ ") + lastDate + QStringLiteral(" ( ")
                  + fmt::shortest(last) + QStringLiteral("Kg ) まで ")
                  + QString::number(dates::daysBetween(firstDate, lastDate))
                  + QStringLiteral("日経過 _ ") + fmt::number(std::fabs(change), u"0.0Kg")
                  + direction(change);

    const float best = first - series.minWeight;
    g.lblKiro = QStringLiteral("最小記録 ") + series.minDate + QStringLiteral(" の ")
                + fmt::shortest(series.minWeight) + QStringLiteral("Kg   初日から ")
                + fmt::number(best, u"0.0Kg") + direction(best);

    g.cmdMokuChk = QStringLiteral("目標まで残り　") + fmt::number(last - targetWeight, u"0.0Kg");
    return g;
}

} // namespace analysis
