#include "search/search_results.h"

#include "core/bmi.h"
#include "core/change_mark.h"
#include "store/dates.h"
#include "store/format.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace search {

namespace {

quint32 bitsOf(float v)
{
    quint32 k = 0;
    std::memcpy(&k, &v, sizeof k);
    return k;
}

// The texts of one number column, formatted once per distinct value: a
// person's weights take a few hundred values, so a list of every record
// shares its texts instead of formatting each one anew.
class NumberTexts {
public:
    explicit NumberTexts(QString pattern) : pattern_(std::move(pattern)) {}
    // By value: a later insertion may move the stored texts.
    QString operator()(float v)
    {
        auto it = cache_.constFind(bitsOf(v));
        if (it == cache_.constEnd())
            it = cache_.insert(bitsOf(v), fmt::number(v, pattern_));
        return it.value();
    }

private:
    QString pattern_;
    QHash<quint32, QString> cache_;
};

// A difference as shown, with the mark decided on that shown text.
struct Difference {
    QString text;
    MarkCell mark;
};

class DifferenceTexts {
public:
    Difference operator()(float v)
    {
        auto it = cache_.constFind(bitsOf(v));
        if (it == cache_.constEnd()) {
            Difference d;
            d.text = fmt::number(v, u"0.0Kg");
            d.mark = changeMark(d.text);
            it = cache_.insert(bitsOf(v), d);
        }
        return it.value();
    }

private:
    QHash<quint32, Difference> cache_;
};

// Back colours of a row: only the two mark cells are coloured, so rows
// share one list per pair of marks instead of each holding its own.
class RowBacks {
public:
    QList<Rgb> operator()(Rgb sincePrevious, Rgb sinceFirst)
    {
        const quint64 key = quint64(sincePrevious) << 32 | sinceFirst;
        auto it = cache_.constFind(key);
        if (it == cache_.constEnd()) {
            QList<Rgb> backs(kResultColumns, palette::kDefault);
            backs[6] = sincePrevious;
            backs[8] = sinceFirst;
            it = cache_.insert(key, backs);
        }
        return it.value();
    }

private:
    QHash<quint64, QList<Rgb>> cache_;
};

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

Result list(const QList<WeightRecord> &records, const Filter &f, float heightCm,
            QStringList *periodDates)
{
    Result out;
    const float hh = heightSquaredOf(heightCm);
    const bool withHeight = hh > 0.0f;
    const float standard = 22.0f * hh;

    if (!f.period && f.key.isEmpty() && f.weekday < 0) {
        out.rows.reserve(records.size());
        out.chart.reserve(records.size());
    }

    NumberTexts weightTexts(QStringLiteral("0.0Kg"));
    NumberTexts bmiTexts(QStringLiteral("0.0"));
    NumberTexts obesityTexts(QStringLiteral("0.0%"));
    DifferenceTexts differences;
    RowBacks backs;

    // An ordinary int: a full file of 32,767 records lists every one.
    int n = 0;
    float first = 0;
    float previous = 0;
    float lowest = 0;
    float highest = 0;
    // Records of one day follow each other, so the weekday is worked out
    // once per date.
    QString weekdayDate;
    int wd = -1;

    for (const WeightRecord &r : records) {
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
        ++n;
        // The first listed row compares with itself, whatever came before
        // it in the file.
        if (n == 1) {
            first = w;
            previous = w;
            lowest = w;
            highest = w;
        }

        const Difference sincePrevious = differences(w - previous);
        const Difference sinceFirst = differences(w - first);

        table::Row row;
        row.texts.reserve(kResultColumns);
        row.texts << QString::number(n) << r.date << weekdayText(wd) << r.situation
                  << weightTexts(w) << sincePrevious.text << sincePrevious.mark.text
                  << sinceFirst.text << sinceFirst.mark.text
                  << (withHeight ? bmiTexts(w / hh) : QString())
                  << (withHeight ? obesityTexts((w - standard) / standard) : QString());
        row.backs = backs(sincePrevious.mark.back, sinceFirst.mark.back);
        out.rows.append(std::move(row));
        out.chart.append(w);

        lowest = std::min(lowest, w);
        highest = std::max(highest, w);
        previous = w;

        if (periodDates && (periodDates->isEmpty() || periodDates->constLast() != r.date))
            periodDates->append(r.date);
    }

    out.scrollToEnd = out.rows.size() + 1 > kResultVisibleRows;
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
