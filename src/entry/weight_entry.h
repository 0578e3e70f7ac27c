#pragma once

#include "store/record.h"

#include <QDate>
#include <QString>

namespace entry {

// Entering a weight: the step buttons, the weight offered in the box, the
// checks before a save and the record that a save writes.

// The scale step as a number. A step that is not a number, or not above 0,
// would leave the buttons dead or turn them round; it counts as 0.1.
double stepSize(const QString &stepText);
// Largest step the free step box accepts, in kg.
constexpr double kMaxStepKg = 10.0;
// Why a typed free step cannot be kept (empty when it can): it must be a
// number above 0 and at most 10 kg, or the buttons would step by a
// silent default.
QString stepRefusal(const QString &typedStep);
// The box's leading number (empty counts as 0) plus or minus the step, in
// double precision, as shortest text: 65.3 + 0.1 gives "65.4", 65.5 - 0.5
// gives "65".
QString stepWeight(const QString &boxText, const QString &stepText, bool up);
// The latest weight as plain text with up to 7 significant digits.
QString offeredWeight(float latestWeight);

// Heaviest weight a save accepts, in kg.
constexpr float kMaxWeightKg = 500.0f;

struct SaveCheck {
    bool ok = true;
    QString title, text; // the warning to show when not ok
    float weight = 0;    // the weight to store, when ok
};
// The checks of a save, in the order the user meets them: a day after
// today, situation, an empty box, a box that is not a number, a weight
// outside (0, 500] kg. Days are "yyyy/mm/dd" texts. The box is parsed here
// once; the weight to store comes with the answer.
SaveCheck checkSave(const QString &day, const QString &today, const QString &selectedSituation,
                    const QString &boxText);
// The day a save goes to, as the screen shows it beside the weight box:
// "2026年12月8日（火）に記録".
QString saveDayCaption(const QDate &day);

// The weight a box holds, read as a save reads it.
float weightOf(const QString &boxText);

// The free-situation dialog and the question that follows it.
QString freeInputTitle();
QString freeInputPrompt();
QString addToListTitle();
QString addToListQuestion();

} // namespace entry
