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

// Reads a record from a line; returns an empty string or the reason.
QString parseRecordLine(QStringView line, WeightRecord *out);

} // namespace store
