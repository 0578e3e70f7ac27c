#pragma once

#include "store/record.h"

#include <QString>

namespace entry {

// Entering a weight: the step buttons, the weight offered in the box, the
// checks before a save and the record that a save writes.

// The scale step as a number. A step that is not a number, or not above 0,
// would leave the buttons dead or turn them round; it counts as 0.1.
double stepSize(const QString &stepText);
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
};
// The checks of a save, in the order the user meets them: situation, an
// empty box, a box that is not a number, a weight outside (0, 500] kg.
SaveCheck checkSave(const QString &selectedSituation, const QString &boxText);
// The weight a save stores, read from a box that passed checkSave.
float weightOf(const QString &boxText);

enum class SaveMode { Append, Insert };
// A record for a day before the file's last date goes in date order;
// anything else is appended. Dates compare as "yyyy/mm/dd" text.
SaveMode saveModeFor(const QString &lastFileDate, const QString &day);
// The diary of a new record: the time of day when automatic time is on,
// but never for a back-dated record.
QString diaryFor(SaveMode mode, bool autoTime, const QString &timeText);

WeightRecord newRecord(const QString &day, const QString &situation, float weight,
                       const QString &diary);

// The free-situation dialog and the question that follows it.
QString freeInputTitle();
QString freeInputPrompt();
QString addToListTitle();
QString addToListQuestion();

} // namespace entry
