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

// Records of one day share their date text as read: two dates that are
// one text are known equal without comparing their characters.
inline bool sameText(const QString &a, const QString &b)
{
    return a.constData() == b.constData() && a.size() == b.size();
}

// Tells, record after record, whether a date text is `day`, comparing the
// characters only where the text is not the one of the record before.
class DayMatch {
public:
    explicit DayMatch(const QString &day) : day_(day) {}
    bool operator()(const QString &date)
    {
        if (!last_ || !sameText(date, *last_)) {
            last_ = &date;
            match_ = date == day_;
        }
        return match_;
    }

private:
    const QString &day_;
    const QString *last_ = nullptr;
    bool match_ = false;
};

} // namespace dates
