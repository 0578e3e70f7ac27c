#include "entry/day_view.h"

#include "core/bmi.h"
#include "store/dates.h"
#include "store/format.h"

#include <algorithm>
#include <cmath>

namespace entry {

namespace {

const QString kKg = QStringLiteral("0.0Kg");
const QString kOne = QStringLiteral("0.0");
const QString kPercent = QStringLiteral("0.0%");
const QString kArrow = QStringLiteral(" → ");

// The direction word compares the values before rounding.
QString direction(float latest, float first)
{
    if (latest > first)
        return QStringLiteral(" 増");
    if (latest == first)
        return QStringLiteral(" 同");
    return QStringLiteral(" 減");
}

QString caption(const QString &first, float change, QStringView pattern, const QString &word)
{
    return first + kArrow + fmt::number(std::fabs(change), pattern) + word;
}

DayFace faceOf(const QString &mark)
{
    if (mark == QStringLiteral("↑"))
        return DayFace::Sulk;
    if (mark == QStringLiteral("→"))
        return DayFace::Smile;
    return DayFace::Laugh;
}

} // namespace

DayView buildDayView(const QList<WeightRecord> &records, const QString &selectedDay, float height)
{
    DayView view;
    DayViewValues &v = view.values;

    // hh is 0 when the profile holds no usable height; every BMI and
    // obesity text is then left empty rather than divided by zero.
    const float hh = heightSquaredOf(height);
    const bool withHeight = hh > 0.0f;
    v.StandardWeight = 22.0f * hh;
    v.DayRowNo = 1;
    v.PrevWeight = 0;

    if (!records.isEmpty()) {
        v.FirstDate = records.first().date;
        v.FirstWeight = records.first().weight;
        if (withHeight) {
            v.FirstBmi = v.FirstWeight / hh;
            v.FirstObesity = (v.FirstWeight - v.StandardWeight) / v.StandardWeight;
        }
    }

    v.DayMaxWeight = 0;
    v.DayMinWeight = 999;

    QString lastMark;
    // The record before the current one; its values are taken once, at
    // the end, rather than copied record by record.
    const WeightRecord *before = nullptr;
    dates::DayMatch onDay(selectedDay);
    for (const WeightRecord &r : records) {
        if (onDay(r.date)) {
            const float w = r.weight;
            if (v.DayRowNo == 1)
                v.DayFirstWeight = w;

            // The start record has no predecessor, so it compares with
            // itself; any other first row of a day compares with the record
            // just before it in the file, however many days back.
            if (v.PrevWeight == 0 && r.date == v.FirstDate)
                v.PrevWeight = w;
            if (v.PrevWeight == 0 && before)
                v.PrevWeight = before->weight;

            DayListRow row;
            row.texts.reserve(kDayListColumns);
            row.backs = QList<Rgb>(kDayListColumns, palette::kDefault);

            const QString change = fmt::number(w - v.PrevWeight, kKg);
            const QString sinceFirst = fmt::number(w - v.DayFirstWeight, kKg);
            const MarkCell changeCell = changeMark(change);
            const MarkCell firstCell = changeMark(sinceFirst);

            row.texts << QString::number(v.DayRowNo) << r.situation << fmt::number(w, kKg)
                      << change << changeCell.text << sinceFirst << firstCell.text
                      << (withHeight ? fmt::number(w / hh, kOne) : QString())
                      << (withHeight ? fmt::number((w - v.StandardWeight) / v.StandardWeight, kPercent)
                                     : QString());
            row.backs[4] = changeCell.back;
            row.backs[6] = firstCell.back;
            view.rows.append(row);
            view.recordIndex.append(int(&r - records.constData()));
            lastMark = firstCell.text;

            if (w > v.DayMaxWeight)
                v.DayMaxWeight = w;
            if (w < v.DayMinWeight)
                v.DayMinWeight = w;

            view.chartPoints.append(w);

            v.DayRowNo += 1;
            v.PrevWeight = w;
            v.PrevWeightDate = r.date;
        }
        before = &r;
    }
    if (before) {
        v.LastFileWeight = before->weight;
        v.LastFileDate = before->date;
    }

    v.RecordCount = int(records.size());
    view.scrollToEnd = view.rows.size() + 1 > kDayListVisibleRows;

    // Whether the day has measurements is decided on the rows themselves,
    // so a day whose last weight happens to be 0 still counts as measured.
    if (!view.rows.isEmpty()) {
        v.LatestWeight = v.PrevWeight;
        v.LatestWeightDate = v.PrevWeightDate;
    } else {
        v.LatestWeight = v.LastFileWeight;
        v.LatestWeightDate = v.LastFileDate;
    }
    float latestObesity = 0;
    if (withHeight) {
        v.LatestBmi = v.LatestWeight / hh;
        latestObesity = (v.LatestWeight - v.StandardWeight) / v.StandardWeight;
        v.LatestObesity = fmt::shortest(latestObesity);
    }

    if (!records.isEmpty()) {
        view.lblDspNissuu = fmt::date(v.FirstDate, u"yy/mm/dd") + kArrow
                            + QString::number(dates::daysBetween(v.FirstDate, v.LatestWeightDate))
                            + QStringLiteral("日経過");
        view.lblDspTai = caption(fmt::number(v.FirstWeight, kKg), v.LatestWeight - v.FirstWeight,
                                 kKg, direction(v.LatestWeight, v.FirstWeight));
        if (withHeight) {
            view.lblDspBmi = caption(fmt::number(v.FirstBmi, kOne), v.LatestBmi - v.FirstBmi, kOne,
                                     direction(v.LatestBmi, v.FirstBmi));
            // Compared as numbers, not through the stored text, so an
            // unchanged weight always reads " 同".
            view.lblDspHiman = caption(fmt::number(v.FirstObesity, kPercent),
                                       latestObesity - v.FirstObesity, kPercent,
                                       direction(latestObesity, v.FirstObesity));
        }
    }

    view.face = view.rows.isEmpty() ? DayFace::None : faceOf(lastMark);
    return view;
}

int countOnDay(const QList<WeightRecord> &records, const QString &day)
{
    int n = 0;
    dates::DayMatch onDay(day);
    for (const WeightRecord &r : records)
        if (onDay(r.date))
            ++n;
    return n;
}

EntryCounts entryCounts(int count1, int count2)
{
    EntryCounts c;
    c.count1 = count1;
    c.count2 = count2;
    c.face1 = std::clamp(count1, 0, 3);
    c.face2 = std::clamp(count2, 0, 3);
    if (count1 == count2) {
        c.back1 = palette::kYellow;
        c.back2 = palette::kYellow;
    } else if (count2 < count1) {
        c.back1 = palette::kGreen;
        c.back2 = palette::kRed;
    } else {
        c.back1 = palette::kRed;
        c.back2 = palette::kGreen;
    }
    return c;
}

table::Columns dayListColumns()
{
    using table::Align;
    const QStringList headers = dayListHeaders();
    const QList<int> widths = dayListWidths();
    const Align align[kDayListColumns] = {Align::Right, Align::Left,   Align::Right,
                                          Align::Right, Align::Center, Align::Right,
                                          Align::Center, Align::Right, Align::Right};
    table::Columns cols;
    for (int c = 0; c < kDayListColumns; ++c)
        cols.append({headers[c], widths[c], align[c], Align::Center});
    return cols;
}

QStringList dayListHeaders()
{
    return {QStringLiteral("回"),     QStringLiteral("行動"), QStringLiteral("体重"),
            QStringLiteral("前回差"), QStringLiteral("差"),   QStringLiteral("初回差"),
            QStringLiteral("差"),     QStringLiteral("ＢＭＩ"), QStringLiteral("肥満度")};
}

QList<int> dayListWidths() { return {450, 2015, 1000, 1000, 350, 1000, 350, 1000, 1000}; }

} // namespace entry
