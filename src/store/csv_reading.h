#pragma once

#include "store/csv_exchange.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>

// The text level of an imported CSV file: its encoding, its separator, its
// rows as RFC 4180 reads them, and times, dates and weights in the forms
// other programs write. Used by the import plan.
namespace csv::reading {

// The text of the bytes: after a UTF-8 BOM as UTF-8, else UTF-8 when the
// bytes are valid UTF-8, else CP932. On failure *error says why.
QString decodeBytes(const QByteArray &bytes, Encoding *encoding, QString *error);

// The separator of the first line that is neither empty nor a comment: the
// one of comma, semicolon and tab found most often outside quotes (on a
// tie tab, then semicolon: "2025-04-07;72,5" has a decimal comma).
QChar detectSeparator(const QString &text);

struct Row {
    int line = 0;         // the line it starts on
    bool comment = false; // a line starting with "#"; its text after the "#" in fields[0]
    QStringList fields;
    QString error; // a quote that is never closed, text after a closing quote
};

// The rows of the text as RFC 4180 reads them; a quoted field may hold the
// separator, doubled quotes and line breaks. Unquoted fields are trimmed.
// Rows whose fields are all empty are left out.
QList<Row> readRows(const QString &text, QChar sep);

// A time of day: "8:30", "08:30:00", "08:30:00.000", "8:30 PM".
std::optional<QTime> parseTime(const QString &text);

// A date text taken apart. a/b/yyyy keeps its two first numbers (in m and
// d) for the caller to order.
struct DateParts {
    bool ambiguous = false; // a/b/yyyy
    int y = 0, m = 0, d = 0;
    QString time; // the time part as written, possibly empty
    QString zone; // "Z", "+09:00", ... or empty
};
std::optional<DateParts> splitDate(const QString &text);

// Weights: "72.5", "72,5", " 72 "; pounds converted to kg to 0.01. Returns
// why the text is not a weight in (0, 500] kg, or empty with *out set.
QString readWeight(const QString &text, bool pounds, float *out);

} // namespace csv::reading
