#include "entry/day_chart.h"

#include <algorithm>
#include <cmath>

namespace entry {

namespace {
// Whole kilograms as an int; an absurd stored weight must not overflow it.
int wholeKg(float x)
{
    if (!std::isfinite(x))
        return 0;
    return int(std::clamp(x, -1.0e6f, 1.0e6f));
}
} // namespace

ChartRange dayChartRange(const DayViewValues &v, int points)
{
    ChartRange range;
    if (points <= 0 || v.DayMaxWeight < v.DayMinWeight)
        return range;
    range.empty = false;
    // Kept in single precision: in double, 70.1 + 0.9 falls just short of
    // 71 and the top point would sit above the axis.
    const float top = std::floor(v.DayMaxWeight + 0.9f);
    range.min = wholeKg(std::floor(v.DayMinWeight));
    range.max = wholeKg(top);
    // A weight with more than one decimal (70.05) must still lie on the
    // chart, and a day at exactly 70.0 needs an axis of some height.
    if (float(range.max) < v.DayMaxWeight)
        range.max = wholeKg(std::ceil(v.DayMaxWeight));
    if (range.max <= range.min)
        range.max = range.min + 1;
    return range;
}

int nextMarkerMode(int mode)
{
    if (mode < 0 || mode >= 2)
        return 0;
    return mode + 1;
}

MarkerStyle markerStyleFor(int mode)
{
    switch (mode) {
    case 0:
        return MarkerStyle::None;
    case 1:
        return MarkerStyle::Circle;
    default:
        return MarkerStyle::Ball;
    }
}

int normaliseStoredMarkerMode(int stored) { return stored >= 0 && stored <= 2 ? stored : 2; }

} // namespace entry
