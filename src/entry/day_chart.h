#pragma once

#include "entry/day_view.h"

namespace entry {

// The chart of the day beside the day list: its value-axis range and the
// marker style the user cycles through.

struct ChartRange {
    bool empty = true; // a day without measurements shows an empty chart
    int min = 0;
    int max = 0;
};
// Whole kilograms around the day's weights: from the whole-number part of
// the lowest to the whole-number part of the highest + 0.9.
ChartRange dayChartRange(const DayViewValues &v, int points);

// 0 -> 1 -> 2 -> 0; anything outside 0..1 goes to 0.
int nextMarkerMode(int mode);

enum class MarkerStyle { None, Circle, Ball };
// 0 none, 1 circle, anything else the ball.
MarkerStyle markerStyleFor(int mode);

// A stored mode outside 0..2 starts as 2, the ball it shows, so the next
// click goes on to "none" as the user expects.
int normaliseStoredMarkerMode(int stored);

} // namespace entry
