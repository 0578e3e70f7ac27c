#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringView>

// The one place where numbers and dates become text, so that rounding and
// signs agree on every screen and in every file.
//
// Number patterns: "0.0", "0.00", "0.000Kg", "0.0Kg", "0.0Kgまで", "0.0%",
// "00.0", "0g" — zeros before the point give the least number of integer
// digits, zeros after it the number of decimals, and the rest is written
// after the number ("%" also multiplies by 100). Rounding is done on the
// decimal value the number stands for (a float 0.05 is 0.05), half-way
// values away from zero, and a value that rounds to zero carries no minus
// sign.
namespace fmt {

QString number(float value, QStringView pattern);
QString number(double value, QStringView pattern);

// Date patterns: "yyyy/mm/dd" (the stored form), "yy/mm/dd" and "YY/MM/DD"
// (two-digit year), "yyyy年mm月".
QString date(const QDate &date, QStringView pattern);
// The same for a stored "yyyy/mm/dd" text; an unreadable text comes back as is.
QString date(const QString &storedDate, QStringView pattern);

// Shortest plain decimal text: a float with at most 7 significant digits
// (65.3, 65, 0.25), a double with at most 15 (65.4 for 65.3 + 0.1).
QString shortest(float value);
QString shortest(double value);
// shortest(value) as CP932 (plain ASCII) bytes added to out, for writers
// that build file content directly.
void appendShortest(QByteArray &out, float value);

// floor(x * 10 + 0.5) / 10, for computations that bring a value to one
// decimal themselves.
float roundOneDecimal(float x);
double roundOneDecimal(double x);

// The leading number of a text, as a user-typed box is read: blanks first
// are skipped, then an optional sign, digits and one decimal point; the
// rest is ignored. An empty or non-numeric text counts as 0.
double leadingNumber(QStringView text);

// True when the text is a decimal number, possibly signed, with blanks
// around it allowed ("65.3", " -1 ", ".5", "7."), and nothing else.
bool isNumber(QStringView text);

} // namespace fmt
