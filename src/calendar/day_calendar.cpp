#include "calendar/day_calendar.h"

#include "store/dates.h"
#include "store/format.h"

#include <QHash>

#include <algorithm>

namespace calendar {

namespace {

const QString kDays = QStringLiteral("日");

DayClass classify(int count, float first, float last)
{
    if (count < 2)
        return DayClass::Once;
    // Compared as numbers: as text, 99.8 would count as more than 100.2.
    if (first > last)
        return DayClass::Decrease;
    if (first < last)
        return DayClass::Increase;
    return DayClass::Unchanged;
}

QString caption(const QString &word, int n) { return word + QString::number(n) + kDays; }

// "2008年01月" -> year and month; false for anything else.
bool parseMonthTitle(const QString &title, int *year, int *month)
{
    if (title.size() != 8 || title[4] != u'年' || title[7] != u'月')
        return false;
    for (qsizetype i : {0, 1, 2, 3, 5, 6})
        if (title[i] < u'0' || title[i] > u'9')
            return false;
    *year = QStringView(title).mid(0, 4).toInt();
    *month = QStringView(title).mid(5, 2).toInt();
    return *month >= 1 && *month <= 12;
}

} // namespace

table::Columns gridColumns()
{
    table::Columns cols;
    cols.reserve(kGridColumns);
    cols.append({QStringLiteral("年月"), 1315, table::Align::Center, table::Align::Center});
    for (int d = 1; d < kGridColumns; ++d)
        cols.append({QString::number(d), 305, table::Align::Center, table::Align::Center});
    return cols;
}

Rgb classColour(DayClass c, Mode mode)
{
    const bool detail = mode == Mode::Detail;
    switch (c) {
    case DayClass::Decrease:
        return palette::kGreen;
    case DayClass::Increase:
        return palette::kRed;
    case DayClass::Unchanged:
        return detail ? palette::kYellow : palette::kGreen;
    case DayClass::Once:
        return detail ? palette::kPurple : palette::kRed;
    }
    return palette::kDefault;
}

ModeButtons modeButtons(Mode mode)
{
    ModeButtons b;
    if (mode == Mode::Detail)
        b.cmdSel1_0 = palette::kOrange;
    else
        b.cmdSel1_1 = palette::kOrange;
    return b;
}

CalendarView buildCalendar(const QList<WeightRecord> &records, const QDate &today, Mode mode)
{
    CalendarView view;
    view.buttons = modeButtons(mode);
    DayCounts &n = view.counts;

    const QString todayText = dates::text(today);
    QHash<int, int> rowOfMonth; // year * 100 + month -> index in view.rows

    // The day being gathered: its date, grid cell, and first and last weight.
    QString dayDate;
    int dayRow = -1;
    int dayColumn = 0;
    int dayCount = 0;
    float dayFirst = 0;
    float dayLast = 0;

    std::optional<QDate> firstDate;
    int recordedBeforeToday = 0;

    auto finishDay = [&] {
        if (dayCount == 0)
            return;
        const DayClass c = classify(dayCount, dayFirst, dayLast);
        switch (c) {
        case DayClass::Decrease: ++n.decrease; break;
        case DayClass::Unchanged: ++n.unchanged; break;
        case DayClass::Increase: ++n.increase; break;
        case DayClass::Once: ++n.once; break;
        }
        // The cell of the day's own month, even when the record that ended
        // the day already opened the next month's row.
        view.rows[dayRow].backs[dayColumn] = classColour(c, mode);
        if (dayDate < todayText)
            ++recordedBeforeToday;
        dayCount = 0;
    };

    for (const WeightRecord &r : records) {
        if (dayCount > 0 && r.date == dayDate) {
            dayLast = r.weight;
            ++dayCount;
            continue;
        }
        finishDay();

        // The store only hands over real dates; anything else has no cell.
        const std::optional<QDate> d = dates::parse(r.date);
        if (!d)
            continue;
        if (!firstDate)
            firstDate = d;

        const int month = d->year() * 100 + d->month();
        auto it = rowOfMonth.constFind(month);
        if (it == rowOfMonth.constEnd()) {
            table::Row row;
            row.texts = QStringList(kGridColumns);
            row.backs = QList<Rgb>(kGridColumns, palette::kDefault);
            row.texts[0] = fmt::date(*d, u"yyyy年mm月");
            view.rows.append(std::move(row));
            it = rowOfMonth.insert(month, int(view.rows.size()) - 1);
        }

        dayDate = r.date;
        dayRow = it.value();
        dayColumn = d->day();
        dayCount = 1;
        dayFirst = r.weight;
        dayLast = r.weight;
    }
    finishDay();

    // Unmeasured days: from the first record up to yesterday. Today is not
    // missed yet while it has no record, and records after today (a weight
    // saved on a future day) neither shorten nor lengthen the span.
    if (firstDate) {
        const qint64 span = firstDate->daysTo(today);
        n.unmeasured = span > 0 ? int(std::max<qint64>(span - recordedBeforeToday, 0)) : 0;
    }

    view.lblDn_c = caption(QStringLiteral("体重減  "), n.decrease);
    view.lblUp_c = caption(QStringLiteral("体重増  "), n.increase);
    view.lblSm_c = caption(QStringLiteral("増減無し  "), n.unchanged);
    view.lblOne_c = caption(QStringLiteral("１回だけ計測  "), n.once);
    view.lblNon_c = caption(QStringLiteral("未計測  "), n.unmeasured);

    const int good = n.unchanged + n.decrease;
    const int bad = n.once + n.increase;
    view.lblGenT = QString::number(good) + kDays;
    view.lblZouT = QString::number(bad) + kDays;
    if (good > bad) {
        view.lblHugou = QStringLiteral(">");
        view.face = Face::Laugh;
    } else if (good == bad) {
        view.lblHugou = QStringLiteral("=");
        view.face = Face::Smile;
    } else {
        view.lblHugou = QStringLiteral("<");
        view.face = Face::Sad;
    }
    return view;
}

std::optional<QDate> dateAt(int row, int column, const QString &monthTitle)
{
    if (row < 1 || column < 1 || column >= kGridColumns)
        return std::nullopt;
    int year = 0;
    int month = 0;
    if (!parseMonthTitle(monthTitle, &year, &month))
        return std::nullopt;
    // 30 February and the like are no date: QDate says so.
    const QDate d(year, month, column);
    if (!d.isValid())
        return std::nullopt;
    return d;
}

} // namespace calendar
