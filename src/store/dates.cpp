#include "store/dates.h"

#include "store/format.h"

namespace dates {

QString text(const QDate &date) { return fmt::date(date, u"yyyy/mm/dd"); }

std::optional<QDate> parse(QStringView t)
{
    if (t.size() != 10 || t[4] != u'/' || t[7] != u'/')
        return std::nullopt;
    for (qsizetype i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (t[i] < u'0' || t[i] > u'9')
            return std::nullopt;
    auto digits = [t](qsizetype from, qsizetype n) {
        int v = 0;
        for (qsizetype i = from; i < from + n; ++i)
            v = v * 10 + (t[i].unicode() - u'0');
        return v;
    };
    const QDate d(digits(0, 4), digits(5, 2), digits(8, 2));
    if (!d.isValid())
        return std::nullopt;
    return d;
}

bool isDateText(QStringView t) { return parse(t).has_value(); }

qint64 daysBetween(QStringView from, QStringView to)
{
    const auto a = parse(from);
    const auto b = parse(to);
    if (!a || !b)
        return 0;
    return a->daysTo(*b);
}

int weekday(const QDate &date) { return date.dayOfWeek() % 7; }

} // namespace dates
