#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <optional>

// Dates are stored and compared as "yyyy/mm/dd" text; text order is date
// order. These helpers convert between that text and QDate.
namespace dates {

// "2008/03/10"
QString text(const QDate &date);

// The date of a stored text, or nothing when it is not exactly
// "yyyy/mm/dd" (ten characters, leading zeros) naming a real day.
std::optional<QDate> parse(QStringView text);
bool isDateText(QStringView text);

// Days from `from` to `to` (negative when to is earlier); 0 when either
// text is unreadable.
qint64 daysBetween(QStringView from, QStringView to);

// Day of the week with Sunday = 0 ... Saturday = 6.
int weekday(const QDate &date);

} // namespace dates
