#pragma once

#include "core/colours.h"

#include <QString>

// "↑" on red, "→" on yellow, "↓" on green, decided on the difference as
// it is shown, so "0.0Kg" and "-0.0Kg" both count as no change.
struct MarkCell {
    QString text;
    Rgb back = 0;
};
MarkCell changeMark(const QString &displayed);
// The same for a difference that is not shown rounded (the sign decides).
MarkCell changeMarkOf(double value);
