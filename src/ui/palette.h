#pragma once

#include "core/colours.h"

// The screens' colours: those the computations choose (core/colours.h) and
// those only the widgets use.
namespace palette {
constexpr Rgb kIvory = 0xFFFFF0; // the selected person button; the search criteria boxes
} // namespace palette
