#pragma once

#include <QtGlobal>

// Colours as 0xRRGGBB. They live here, below the widgets, because the
// computations choose them (a cell's back colour, a change mark, a BMI band)
// and must name them without a GUI header: to a computation a colour is data.
// 0 means "the control's default colour" (button face, white cell).
using Rgb = quint32;

namespace palette {
constexpr Rgb kDefault = 0;
constexpr Rgb kGreen = 0xC0FFC0;  // weight down; more entries on the day
constexpr Rgb kYellow = 0xFFFFC0; // unchanged; a tie; the chosen criterion
constexpr Rgb kRed = 0xFFC0C0;    // weight up; fewer entries
constexpr Rgb kPurple = 0xC0C0FF; // measured only once on a day
constexpr Rgb kOrange = 0xFFE0C0; // an active toggle button
constexpr Rgb kCyan = 0xC0FFFF;
constexpr Rgb kPink = 0xFFC0FF;
} // namespace palette
