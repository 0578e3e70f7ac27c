#include "compare/comparison.h"

#include "store/dates.h"
#include "store/format.h"


#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace compare {

namespace {

constexpr qint64 kNoDay = std::numeric_limits<qint64>::min();

// Int of the weights, in single precision like the weights themselves.
float wholePart(float x) { return std::floor(x); }
float axisTop(float maxWeight) { return std::floor(maxWeight + 0.9f); }

// One person's summary plus the day of every record, so the dates are
// read once. Records of one day share their date text, so a date equal to
// the one before is not parsed again.
PersonSummary summarize(const QList<WeightRecord> &records, std::vector<qint64> *days,
                        qint64 *earliest, qint64 *latest)
{
    PersonSummary s;
    s.recordCount = int(records.size());
    days->reserve(size_t(records.size()));
    const QString *prevText = nullptr;
    qint64 prevDay = kNoDay;
    for (const WeightRecord &r : records) {
        if (!prevText || !(dates::sameText(r.date, *prevText) || r.date == *prevText)) {
            const auto d = dates::parse(r.date);
            prevDay = d ? d->toJulianDay() : kNoDay;
            prevText = &r.date;
        }
        days->push_back(prevDay);
        if (prevDay != kNoDay) {
            *earliest = std::min(*earliest, prevDay);
            *latest = std::max(*latest, prevDay);
        }
        const float w = r.weight;
        if (s.maxWeight < w)
            s.maxWeight = w;
        if (s.minWeight > w)
            s.minWeight = w;
    }
    if (!records.isEmpty()) {
        s.firstDate = records.first().date;
        s.firstWeight = records.first().weight;
        s.lastDate = records.last().date;
        s.lastWeight = records.last().weight;
        // A file out of date order could put its last record before its
        // first; a negative span would divide by zero below.
        s.elapsed = std::max<qint64>(0, dates::daysBetween(s.firstDate, s.lastDate));
        s.perDay = float(double(s.recordCount) / double(s.elapsed + 1));
    }
    return s;
}

AxisRange automaticRange(const PersonSummary &s)
{
    return {wholePart(s.minWeight), axisTop(s.maxWeight)};
}

struct DayTotals {
    std::vector<float> sum;
    std::vector<int> count;
};

// Each record goes to the day of its own date; anything outside the
// period (an unreadable date) is left out rather than written past the end.
DayTotals totalsByDay(const QList<WeightRecord> &records, const std::vector<qint64> &days,
                      qint64 start, int n)
{
    DayTotals t{std::vector<float>(size_t(n), 0.0f), std::vector<int>(size_t(n), 0)};
    for (qsizetype i = 0; i < records.size(); ++i) {
        const qint64 day = days[size_t(i)];
        if (day == kNoDay || day < start || day - start >= n)
            continue;
        const size_t d = size_t(day - start);
        t.sum[d] += records[i].weight;
        t.count[d] += 1;
    }
    return t;
}

// Marks of a row: the better value keeps its mark, a tie keeps both.
void markHigher(float a, float b, bool *m1, bool *m2)
{
    *m1 = !(a < b);
    *m2 = !(b < a);
}
void markLower(float a, float b, bool *m1, bool *m2)
{
    *m1 = !(a > b);
    *m2 = !(b > a);
}

QString kg(float v) { return fmt::number(v, u"0.0Kg"); }

void fillTexts(const PersonSummary &s, float share, float target, std::array<QString, kTableRows> *t)
{
    if (s.recordCount == 0)
        return;
    (*t)[1] = QString::number(s.recordCount) + QStringLiteral(" 回  ( ") + fmt::number(share, u"0.0")
              + QStringLiteral("% )");
    (*t)[2] = fmt::date(s.firstDate, u"YY/MM/DD") + QStringLiteral(" → ") + QString::number(s.elapsed)
              + QStringLiteral("日");
    (*t)[3] = fmt::number(s.perDay, u"0.00") + QStringLiteral(" 回 / 日");
    (*t)[4] = kg(s.minWeight) + QStringLiteral(" ( ") + kg(s.minWeight - s.firstWeight) + QStringLiteral(" )");
    (*t)[5] = kg(s.lastWeight) + QStringLiteral(" ( ") + kg(s.lastWeight - s.firstWeight) + QStringLiteral(" )");
    (*t)[6] = fmt::number(target, u"0.0Kgまで") + QStringLiteral(" ( ") + kg(s.lastWeight - target)
              + QStringLiteral(" )");
}

AxisRange withTargetFloor(AxisRange automatic, float target)
{
    // A person at or below the target would get an axis with no height, or
    // upside down; the automatic floor keeps the curve in view.
    const double floor = wholePart(target);
    if (floor < automatic.max)
        automatic.min = floor;
    return automatic;
}

} // namespace

QList<TableBand> tableBands()
{
    return {{QStringLiteral("比較項目"), palette::kRed},
            {QStringLiteral("トータル測定回数"), palette::kOrange},
            {QStringLiteral("開始日→経過日数"), palette::kYellow},
            {QStringLiteral("一日平均測定回数"), palette::kGreen},
            {QStringLiteral("初日からの最高記録"), palette::kCyan},
            {QStringLiteral("今現在（最終記録）"), palette::kPurple},
            {QStringLiteral("目標までの残"), 0xE0E0E0}};
}

QString Comparison::dayLabel(int d) const
{
    return fmt::date(QDate::fromJulianDay(startDay + d - 1), u"YY/MM/DD");
}

Comparison buildComparison(const QList<WeightRecord> &records1,
                           const QList<WeightRecord> &records2, const QString &nickname1,
                           const QString &nickname2, float targetWeight1, float targetWeight2)
{
    Comparison c;
    c.target1 = targetWeight1;
    c.target2 = targetWeight2;

    qint64 earliest = std::numeric_limits<qint64>::max();
    qint64 latest = std::numeric_limits<qint64>::min();
    std::vector<qint64> days1, days2;
    c.person1 = summarize(records1, &days1, &earliest, &latest);
    c.person2 = summarize(records2, &days2, &earliest, &latest);
    const PersonSummary &p1 = c.person1;
    const PersonSummary &p2 = c.person2;

    // The period covers every readable date of both files, whatever their
    // order, so each record has its own row.
    const bool anyDay = earliest <= latest;
    const qint64 start = anyDay ? earliest : 0;
    const int n = anyDay ? int(latest - earliest + 1) : 0;
    c.days = n;
    c.startDay = start;
    if (anyDay) {
        c.ComparisonStart = dates::text(QDate::fromJulianDay(earliest));
        c.ComparisonEnd = dates::text(QDate::fromJulianDay(latest));
    }

    const DayTotals t1 = totalsByDay(records1, days1, start, n);
    const DayTotals t2 = totalsByDay(records2, days2, start, n);

    // The list shows a day's own average only; the chart carries the last
    // day with one forward, so its line does not break on a day off, but
    // never reaches back before a person's first record.
    c.series1.reserve(n);
    c.series2.reserve(n);
    std::optional<float> carried1, carried2;
    auto averages1 = std::make_shared<std::vector<float>>(size_t(n), -1.0f);
    auto averages2 = std::make_shared<std::vector<float>>(size_t(n), -1.0f);
    for (int d = 0; d < n; ++d) {
        if (t1.count[size_t(d)] > 0) {
            carried1 = t1.sum[size_t(d)] / float(t1.count[size_t(d)]);
            (*averages1)[size_t(d)] = *carried1;
        }
        if (t2.count[size_t(d)] > 0) {
            carried2 = t2.sum[size_t(d)] / float(t2.count[size_t(d)]);
            (*averages2)[size_t(d)] = *carried2;
        }
        c.series1.append(carried1);
        c.series2.append(carried2);
    }
    // A row of the list is written out only when it shows.
    c.averageRows = table::Rows::made(n, [start, averages1, averages2](qsizetype d) {
        auto average = [](float v) { return v < 0 ? QString() : fmt::number(v, u"0.0"); };
        table::Row row;
        row.texts.reserve(4);
        row.texts << QString::number(d + 1) << fmt::date(QDate::fromJulianDay(start + d), u"YY/MM/DD")
                  << average((*averages1)[size_t(d)]) << average((*averages2)[size_t(d)]);
        return row;
    });
    c.averageScrollToEnd = n + 1 > kAverageListVisibleRows;

    c.AutoFloor1 = wholePart(p1.minWeight);
    c.AutoFloor2 = wholePart(p2.minWeight);
    c.autoLeft = automaticRange(p1);
    c.autoRight = automaticRange(p2);
    // Without records a person's range would run from 999 down to 0; the
    // partner's range keeps the shared axis of the other chart sensible.
    if (p1.recordCount == 0)
        c.autoLeft = p2.recordCount ? c.autoRight : AxisRange{};
    if (p2.recordCount == 0)
        c.autoRight = p1.recordCount ? c.autoLeft : AxisRange{};
    if (p1.recordCount == 0)
        c.AutoFloor1 = float(c.autoLeft.min);
    if (p2.recordCount == 0)
        c.AutoFloor2 = float(c.autoRight.min);

    const int total = p1.recordCount + p2.recordCount;
    if (total > 0) {
        c.share1 = float(double(p1.recordCount) / double(total) * 100.0);
        c.share2 = 100.0f - c.share1;
    }

    c.text1[0] = nickname1;
    c.text2[0] = nickname2;
    fillTexts(p1, c.share1, targetWeight1, &c.text1);
    fillTexts(p2, c.share2, targetWeight2, &c.text2);

    c.mark1[0] = c.mark2[0] = true;
    markHigher(float(p1.recordCount), float(p2.recordCount), &c.mark1[1], &c.mark2[1]);
    markHigher(float(p1.elapsed), float(p2.elapsed), &c.mark1[2], &c.mark2[2]);
    markHigher(p1.perDay, p2.perDay, &c.mark1[3], &c.mark2[3]);
    markLower(p1.minWeight - p1.firstWeight, p2.minWeight - p2.firstWeight, &c.mark1[4], &c.mark2[4]);
    markLower(p1.lastWeight - p1.firstWeight, p2.lastWeight - p2.firstWeight, &c.mark1[5], &c.mark2[5]);
    markLower(p1.lastWeight - targetWeight1, p2.lastWeight - targetWeight2, &c.mark1[6], &c.mark2[6]);
    // A person without records wins nothing.
    for (int i = 1; i < kTableRows; ++i) {
        if (p1.recordCount == 0) {
            c.mark1[size_t(i)] = false;
            c.mark2[size_t(i)] = p2.recordCount > 0;
        } else if (p2.recordCount == 0) {
            c.mark1[size_t(i)] = true;
            c.mark2[size_t(i)] = false;
        }
    }
    return c;
}

int shareBarWidth(int fullWidth, float share1)
{
    return int(std::floor(double(fullWidth) * double(share1) / 100.0));
}

table::Columns averageListColumns()
{
    using table::Align;
    return {{QStringLiteral("日数"), 660, Align::Right, Align::Center},
            {QStringLiteral("日付"), 1150, Align::Center, Align::Center},
            {QStringLiteral("体重１"), 700, Align::Right, Align::Center},
            {QStringLiteral("体重２"), 700, Align::Right, Align::Center}};
}

SeparateAxes separateAxes(const Comparison &c, LowerBound bound)
{
    if (bound == LowerBound::Automatic)
        return {c.autoLeft, c.autoRight};
    return {withTargetFloor(c.autoLeft, c.target1), withTargetFloor(c.autoRight, c.target2)};
}

SameAxisChart copyToSameAxisChart(const Comparison &c, LowerBound bound)
{
    const SeparateAxes ax = separateAxes(c, bound);
    return {c.series1, c.series2,
            {std::min(ax.left.min, ax.right.min), std::max(ax.left.max, ax.right.max)}};
}

SameAxisChart overlaySeries(const Comparison &c, LowerBound bound)
{
    const SeparateAxes ax = separateAxes(c, bound);
    SameAxisChart out{c.series1, c.series2, {}};

    // The first day both have a value decides who is lifted and by how much.
    ChartValues *lifted = nullptr;
    const qsizetype rows = std::min(out.series1.size(), out.series2.size());
    for (qsizetype i = 0; i < rows; ++i) {
        const float w1 = out.series1[i].value_or(0.0f);
        const float w2 = out.series2[i].value_or(0.0f);
        if (w1 == 0.0f || w2 == 0.0f)
            continue;
        lifted = w1 > w2 ? &out.series2 : &out.series1;
        const float by = w1 > w2 ? w1 - w2 : w2 - w1;
        for (std::optional<float> &v : *lifted)
            if (v && *v != 0.0f)
                *v += by;
        break;
    }

    const double range1 = ax.left.max - ax.left.min;
    const double range2 = ax.right.max - ax.right.min;
    out.axis.max = ax.left.max > ax.right.max ? ax.left.max : ax.right.max;
    out.axis.min = out.axis.max - (range1 > range2 ? range1 : range2);

    // The lighter curve is lifted by the gap on one day, whatever its own
    // range, so it can leave the axis. Widen the axis just as far as the
    // lifted curve needs, by the same whole-number rule as the automatic
    // axes, so a weight just above a maximum that rule produced (83.04
    // under 83) leaves the axis as it is.
    if (lifted) {
        float lo = std::numeric_limits<float>::max();
        float hi = std::numeric_limits<float>::lowest();
        for (const std::optional<float> &v : *lifted)
            if (v && *v != 0.0f) {
                lo = std::min(lo, *v);
                hi = std::max(hi, *v);
            }
        if (lo <= hi) {
            out.axis.min = std::min(out.axis.min, double(wholePart(lo)));
            out.axis.max = std::max(out.axis.max, double(axisTop(hi)));
        }
    }
    return out;
}

SameAxisChart sameAxisChart(const Comparison &c, SameAxisView view, LowerBound bound)
{
    return view == SameAxisView::Overlaid ? overlaySeries(c, bound) : copyToSameAxisChart(c, bound);
}

} // namespace compare
