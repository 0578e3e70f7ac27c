#include "search/search_criteria.h"

#include "store/dates.h"

namespace search {

namespace {
bool isWeekday(int w) { return w >= 0 && w <= 6; }
} // namespace

int periodDays(PeriodButton b)
{
    switch (b) {
    case PeriodButton::Kikan1: return 1;
    case PeriodButton::Kikan8: return 2; // "３日" covers three days with today
    case PeriodButton::Kikan2: return 7;
    case PeriodButton::Kikan3: return 14;
    case PeriodButton::Kikan4: return 30;
    case PeriodButton::Kikan5: return 90;
    case PeriodButton::Kikan6: return 180;
    case PeriodButton::Kikan7: return 365;
    case PeriodButton::None:
    case PeriodButton::AllDay:
    case PeriodButton::KikanF:
        break;
    }
    return -1;
}

Listing chooseListing(const Criteria &c)
{
    const bool key = !c.txtKey.isEmpty();
    if (!isWeekday(c.SearchWeekday))
        return key ? Listing::BySituation : Listing::ByPeriod;
    return key ? Listing::BySituationAndWeekday : Listing::ByWeekday;
}

Criteria openingCriteria(const QList<WeightRecord> &records)
{
    Criteria c;
    c.allSituationsChosen = true;
    c.period = PeriodButton::AllDay;
    // The whole file, as the period lists are filled: first and last date.
    if (!records.isEmpty()) {
        c.cboStdate = records.first().date;
        c.cboEddate = records.last().date;
    }
    return c;
}

void pickSituation(Criteria &c, const QString &label)
{
    c.txtKey = label;
    c.allSituationsChosen = false;
}

void focusKey(Criteria &c) { c.txtKey.clear(); }

void enterKey(Criteria &c, const QString &text)
{
    c.txtKey = text;
    c.allSituationsChosen = false;
}

void chooseAllSituations(Criteria &c)
{
    c.txtKey.clear();
    c.allSituationsChosen = true;
}

void chooseWeekday(Criteria &c, int weekday)
{
    c.SearchWeekday = isWeekday(weekday) ? weekday : kAllWeekdays;
}

void chooseAllWeekdays(Criteria &c) { c.SearchWeekday = kAllWeekdays; }

void choosePeriod(Criteria &c, PeriodButton b, const QDate &today,
                  const QList<WeightRecord> &records)
{
    if (b == PeriodButton::None)
        return;
    c.period = b;
    if (b == PeriodButton::KikanF)
        return;
    const QString todayText = dates::text(today);
    if (b == PeriodButton::AllDay) {
        // From this person's own first record; without records there is
        // nothing before today to include.
        c.cboStdate = records.isEmpty() ? todayText : records.first().date;
    } else {
        c.cboStdate = dates::text(today.addDays(-periodDays(b)));
    }
    c.cboEddate = todayText;
}

ButtonColours buttonColours(const Criteria &c)
{
    ButtonColours b;
    if (c.allSituationsChosen)
        b.cmdAllact = palette::kYellow;
    if (isWeekday(c.SearchWeekday))
        b.cmdWeek[size_t(c.SearchWeekday)] = palette::kYellow;
    else
        b.cmdAllWeek = palette::kYellow;

    switch (c.period) {
    case PeriodButton::None:
        break;
    case PeriodButton::AllDay:
        b.cmdAllDay = palette::kYellow;
        break;
    case PeriodButton::KikanF:
        b.cmdKikanF = palette::kYellow;
        break;
    default:
        b.cmdKikan[size_t(int(c.period) - int(PeriodButton::Kikan1) + 1)] = palette::kYellow;
        break;
    }
    return b;
}

} // namespace search
