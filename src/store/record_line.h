#pragma once

#include "store/record.h"

#include <QList>
#include <QString>
#include <QStringView>

// The comma-separated line format shared by every record-style file:
// fields split at commas outside double quotes, spaces before a field
// skipped, a quoted field taken up to its closing quote, a bare field up
// to the next comma or the line end; texts written in double quotes,
// numbers bare in their shortest form with ".".
struct LineField {
    QString text;
    bool quoted = false;
};

namespace store {

// Splits one line. Returns an empty string on success, else the reason
// (an unterminated quote, text after a closing quote).
QString splitFields(QStringView line, QList<LineField> *out);

// A text field in double quotes.
QString quote(const QString &text);

// Why a text cannot be stored in a record-style file (a double quote, a
// line break, a character outside CP932), or an empty string when it can.
// Every screen checks user text with this before anything is written.
QString unstorableReason(const QString &text);

// The six fields of a record, as the weight screen, inserts and the notes
// screen write them: the two reserved fields empty.
QString recordLine(const WeightRecord &r);

// The form a situation rename writes: the fifth field as a bare number
// (its text read as a number, 0 when empty), the sixth unchanged.
QString recordLineAfterRename(const WeightRecord &r);

// A weight text read straight to single precision (so "70.1" is the float
// nearest 70.1); a leading "+" and blanks around it are allowed.
float weightFromText(QStringView text);

// The largest values the program writes: a weight or a target weight in
// kg, and a height in cm (the registration takes heights below 1000).
constexpr float kMaxStoredWeight = 500.0f;
constexpr float kMaxStoredHeight = 1000.0f;
// More digits than the program ever writes for a number (a float
// written out in full, the smallest weight a save accepts, has about 50).
constexpr int kMaxStoredDigits = 60;
// The significant digits of a float as the program writes it.
constexpr int kMaxSignificantDigits = 7;

// A bare number of a file as the program writes one: a decimal number
// (blanks around it allowed) of at most kMaxStoredDigits digits and
// kMaxSignificantDigits significant ones, above 0 and at most `max`. Empty when it is, with the number in single
// precision in *value; else why not, naming `what` and the text. The
// digits are counted before anything is converted, so no text, however
// long, can overflow the conversion.
QString storedNumberReason(QStringView text, float max, const QString &what, float *value);

// Reads a record from a line; returns an empty string or the reason.
QString parseRecordLine(QStringView line, WeightRecord *out);

} // namespace store
