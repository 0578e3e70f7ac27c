#include "search/search_results.h"

#include "core/bmi.h"
#include "core/change_mark.h"
#include "store/dates.h"
#include "store/format.h"

#include <memory>
#include <vector>

#include <algorithm>
#include <cmath>

namespace search {

namespace {

const QString &weekdayText(int wd)
{
    static const QString names[7] = {QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"),
                                     QStringLiteral("水"), QStringLiteral("木"), QStringLiteral("金"),
                                     QStringLiteral("土")};
    static const QString none;
    return wd >= 0 && wd < 7 ? names[wd] : none;
}

// Whole kilograms around the listed weights: from the whole part of the
// lowest to the whole part of the highest + 0.9.
AxisRange axisOf(float lowest, float highest)
{
    if (!std::isfinite(lowest) || !std::isfinite(highest))
        return {0, 1};
    // Single precision, as the weights: in double, 65.1 + 0.9 falls short
    // of 66 and the top point would sit above the axis.
    AxisRange a{std::floor(double(lowest)), std::floor(double(highest + 0.9f))};
    // A weight with more decimals (65.05) must still lie on the chart, and
    // weights all equal to a whole number need an axis of some height.
    if (a.max < double(highest))
        a.max = std::ceil(double(highest));
    if (a.max <= a.min)
        a.max = a.min + 1;
    return a;
}

// An empty list keeps the scale of the person's weights, so the empty
// chart reads like the full one; without any record, 0 to 1.
AxisRange emptyAxis(const QList<WeightRecord> &records)
{
    if (records.isEmpty())
        return {0, 1};
    float lo = records.first().weight;
    float hi = lo;
    for (const WeightRecord &r : records) {
        lo = std::min(lo, r.weight);
        hi = std::max(hi, r.weight);
    }
    return axisOf(lo, hi);
}

struct Filter {
    bool period = false;
    QString first, last;
    QString key; // empty: every situation
    int weekday = -1; // -1: every weekday; outside 0..6 otherwise: none
};

// What the rows of one listing are made from: the records and which of
// them are listed. A row is written out as text only when it shows.
struct Listed {
    QList<WeightRecord> records; // shared with the caller's list, not copied
    std::vector<int> index;      // record of each listed row
    std::vector<qint8> weekday;  // its weekday, Sunday = 0
    float hh = 0;
    float standard = 0;

    table::Row row(qsizetype i) const
    {
        const WeightRecord &r = records.at(index[size_t(i)]);
        const float w = r.weight;
        // The first listed row compares with itself, whatever came before
        // it in the file; the others with the row above them.
        const float first = records.at(index.front()).weight;
        const float previous = i == 0 ? w : records.at(index[size_t(i) - 1]).weight;
        const QString sincePrevious = fmt::number(w - previous, u"0.0Kg");
        const QString sinceFirst = fmt::number(w - first, u"0.0Kg");
        const MarkCell previousMark = changeMark(sincePrevious);
        const MarkCell firstMark = changeMark(sinceFirst);
        const bool withHeight = hh > 0.0f;
        table::Row row;
        row.texts.reserve(kResultColumns);
        row.texts << QString::number(i + 1) << r.date << weekdayText(weekday[size_t(i)]) << r.situation
                  << fmt::number(w, u"0.0Kg") << sincePrevious << previousMark.text << sinceFirst
                  << firstMark.text << (withHeight ? fmt::number(w / hh, u"0.0") : QString())
                  << (withHeight ? fmt::number((w - standard) / standard, u"0.0%") : QString());
        row.backs = QList<Rgb>(kResultColumns, palette::kDefault);
        row.backs[6] = previousMark.back;
        row.backs[8] = firstMark.back;
        return row;
    }
};

Result list(const QList<WeightRecord> &records, const Filter &f, float heightCm,
            QStringList *periodDates)
{
    Result out;
    auto listed = std::make_shared<Listed>();
    listed->records = records;
    listed->hh = heightSquaredOf(heightCm);
    listed->standard = 22.0f * listed->hh;
    if (!f.period && f.key.isEmpty() && f.weekday < 0) {
        listed->index.reserve(size_t(records.size()));
        listed->weekday.reserve(size_t(records.size()));
        out.chart.reserve(records.size());
    }

    float lowest = 0;
    float highest = 0;
    // Records of one day follow each other, so the weekday is worked out
    // once per date.
    QString weekdayDate;
    int wd = -1;
    // An ordinary int: a full file of 32,767 records lists every one.
    for (int k = 0; k < int(records.size()); ++k) {
        const WeightRecord &r = records.at(k);
        if (f.period && !(r.date >= f.first && r.date <= f.last))
            continue;
        if (!f.key.isEmpty() && !r.situation.contains(f.key))
            continue;
        if (r.date != weekdayDate) {
            weekdayDate = r.date;
            const std::optional<QDate> d = dates::parse(r.date);
            wd = d ? dates::weekday(*d) : -1;
        }
        if (f.weekday >= 0 && wd != f.weekday)
            continue;

        const float w = r.weight;
        if (listed->index.empty()) {
            lowest = w;
            highest = w;
        }
        listed->index.push_back(k);
        listed->weekday.push_back(qint8(wd));
        out.chart.append(w);
        lowest = std::min(lowest, w);
        highest = std::max(highest, w);
        if (periodDates && (periodDates->isEmpty() || periodDates->constLast() != r.date))
            periodDates->append(r.date);
    }

    const qsizetype n = qsizetype(listed->index.size());
    out.recordIndex = QList<int>(listed->index.begin(), listed->index.end());
    if (n > 0)
        out.rows = table::Rows::made(n, [listed](qsizetype i) { return listed->row(i); });
    out.scrollToEnd = n + 1 > kResultVisibleRows;
    out.axis = n > 0 ? axisOf(lowest, highest) : emptyAxis(records);
    return out;
}

} // namespace

table::Columns resultColumns()
{
    using table::Align;
    // Column 10 keeps the grid's default alignment, which is left.
    return {
        {QStringLiteral("回"), 600, Align::Center, Align::Center},
        {QStringLiteral("日付け"), 1200, Align::Center, Align::Center},
        {QStringLiteral("曜"), 365, Align::Center, Align::Center},
        {QStringLiteral("行動"), 1665, Align::Left, Align::Center},
        {QStringLiteral("体重"), 800, Align::Right, Align::Center},
        {QStringLiteral("前回差"), 780, Align::Right, Align::Center},
        {QStringLiteral("差"), 350, Align::Center, Align::Center},
        {QStringLiteral("初回差"), 800, Align::Right, Align::Center},
        {QStringLiteral("差"), 350, Align::Center, Align::Center},
        {QStringLiteral("ＢＭＩ"), 570, Align::Right, Align::Center},
        {QStringLiteral("肥満度"), 700, Align::Left, Align::Center},
    };
}

AllRecords listAllRecords(const QList<WeightRecord> &records, float heightCm)
{
    AllRecords all;
    all.result = list(records, Filter{}, heightCm, &all.periodDates);
    if (!all.periodDates.isEmpty()) {
        all.cboStdate = all.periodDates.constFirst();
        all.cboEddate = all.periodDates.constLast();
    }
    return all;
}

Result listRecords(const QList<WeightRecord> &records, Listing listing, const Criteria &c,
                   float heightCm)
{
    Filter f;
    f.period = true;
    f.first = c.cboStdate;
    f.last = c.cboEddate;
    const bool bySituation = listing == Listing::BySituation || listing == Listing::BySituationAndWeekday;
    const bool byWeekday = listing == Listing::ByWeekday || listing == Listing::BySituationAndWeekday;
    if (bySituation)
        f.key = c.txtKey;
    if (byWeekday)
        f.weekday = c.SearchWeekday >= 0 && c.SearchWeekday <= 6 ? c.SearchWeekday : 7;
    return list(records, f, heightCm, nullptr);
}

Result runSearch(const QList<WeightRecord> &records, const Criteria &c, float heightCm)
{
    return listRecords(records, chooseListing(c), c, heightCm);
}

Opening openingState(const QList<WeightRecord> &records, float heightCm)
{
    Opening o;
    o.listing = listAllRecords(records, heightCm);
    o.criteria = openingCriteria(records);
    return o;
}

} // namespace search
