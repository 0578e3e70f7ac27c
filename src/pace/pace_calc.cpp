#include "pace/pace_calc.h"

#include "store/dates.h"
#include "store/format.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pace {

namespace {

// A weighing reduced to what the trend needs.
struct DayWeight {
    qint64 day = 0; // Julian day
    double weight = 0;
};

// Float noise in a quotient or a difference never decides a day or a state.
double round6(double x) { return std::round(x * 1e6) / 1e6; }

// A number as shown with a sign in front of a value that does not show as
// zero: "+0.34", "-0.70", "0.00".
QString signedNumber(double value, QStringView pattern)
{
    const QString t = fmt::number(value, pattern);
    if (t.startsWith(u'-'))
        return t;
    for (const QChar c : t)
        if (c.isDigit() && c != u'0')
            return u'+' + t;
    return t;
}

// The pace as shown, two decimals, read back: the flat test and the text agree.
double shownPace(double kgPerWeek) { return fmt::number(kgPerWeek, u"0.00").toDouble(); }

QList<DayWeight> readableWeights(const QList<WeightRecord> &records)
{
    QList<DayWeight> out;
    out.reserve(records.size());
    const QString *lastText = nullptr;
    std::optional<QDate> lastDate;
    bool sorted = true;
    for (const WeightRecord &r : records) {
        // Records of one day usually share their date text.
        if (!lastText || !dates::sameText(r.date, *lastText)) {
            lastText = &r.date;
            lastDate = dates::parse(r.date);
        }
        if (!lastDate)
            continue;
        const qint64 jd = lastDate->toJulianDay();
        if (!out.isEmpty() && jd < out.constLast().day)
            sorted = false;
        out.append({jd, decimalWeight(r.weight)});
    }
    if (!sorted)
        std::stable_sort(out.begin(), out.end(),
                         [](const DayWeight &a, const DayWeight &b) { return a.day < b.day; });
    return out;
}

// Least-squares slope of y over x = 0, 1, 2, ...
double slope(const double *y, int n)
{
    const double meanX = (n - 1) / 2.0;
    double meanY = 0;
    for (int i = 0; i < n; ++i)
        meanY += y[i];
    meanY /= n;
    double num = 0, den = 0;
    for (int i = 0; i < n; ++i) {
        const double dx = i - meanX;
        num += dx * (y[i] - meanY);
        den += dx * dx;
    }
    return num / den;
}

void computeGoal(PersonPace &p)
{
    // The direction of travel is set by where the person started; a person
    // who started on the target heads back to it from wherever they are.
    double dir = p.target < p.firstTrend ? -1 : (p.target > p.firstTrend ? 1 : 0);
    if (dir == 0)
        dir = p.target < p.latestTrend ? -1 : (p.target > p.latestTrend ? 1 : 0);
    const double ahead = round6((p.target - p.latestTrend) * dir);
    if (dir == 0 || ahead <= 0) {
        p.goal = GoalState::Reached;
        p.goalText = QStringLiteral("目標達成中");
        return;
    }
    if (!p.paceKgPerWeek) {
        p.goal = GoalState::NotYet;
        p.goalText = notYetText();
        return;
    }
    const double shown = shownPace(*p.paceKgPerWeek);
    if (std::abs(shown) < kFlatPace) {
        p.goal = GoalState::Flat;
        p.goalText = QStringLiteral("横ばい");
        return;
    }
    if (shown * dir < 0) {
        p.goal = GoalState::MovingAway;
        p.goalText = QStringLiteral("目標から離れています（%1kg/週）")
                         .arg(signedNumber(*p.paceKgPerWeek, u"0.00"));
        return;
    }
    const double quotient = round6(std::abs(p.target - p.latestTrend) / std::abs(p.slopePerDay));
    if (quotient > kForecastMaxDays) {
        p.goal = GoalState::TooFar;
        p.daysToTarget = quotient > 1e9 ? int(1e9) : int(std::ceil(quotient));
        p.goalText = QStringLiteral("3年以上先");
        return;
    }
    p.daysToTarget = int(std::ceil(quotient));
    p.goal = GoalState::Forecast;
    p.forecastDate = p.lastDay.addDays(p.daysToTarget);
    p.goalText = forecastText(*p.forecastDate, p.daysToTarget);
}

} // namespace

QString notYetText() { return QStringLiteral("まだ計算できません"); }
QString noRecordsText() { return QStringLiteral("記録がありません"); }

double decimalWeight(float weight) { return std::round(double(weight) * 100.0) / 100.0; }

QString paceText(std::optional<double> kgPerWeek)
{
    if (!kgPerWeek)
        return notYetText();
    return signedNumber(*kgPerWeek, u"0.00") + QStringLiteral("Kg/週");
}

QString forecastText(const QDate &date, int daysLeft)
{
    return QStringLiteral("%1年%2月%3日（あと%4日）")
        .arg(date.year())
        .arg(date.month())
        .arg(date.day())
        .arg(daysLeft);
}

std::optional<double> PersonPace::trendOn(const QDate &day) const
{
    if (!hasRecords || day < firstDay || day > lastDay)
        return std::nullopt;
    return trend.at(firstDay.daysTo(day));
}

PersonPace computePerson(const QList<WeightRecord> &records, float targetWeight,
                         const QDate &today)
{
    PersonPace p;
    p.target = decimalWeight(targetWeight);
    p.daysText = QStringLiteral("%1日中0日").arg(kPaceDays);
    p.runText = QStringLiteral("連続0日（最長0日）");
    const QList<DayWeight> weights = readableWeights(records);
    p.recordCount = int(weights.size());
    if (weights.isEmpty()) {
        p.trendText = noRecordsText();
        p.paceText = notYetText();
        p.goalText = noRecordsText();
        return p;
    }
    p.hasRecords = true;
    const qint64 first = weights.constFirst().day;
    const qint64 last = weights.constLast().day;
    p.firstDay = QDate::fromJulianDay(first);
    p.lastDay = QDate::fromJulianDay(last);
    const qsizetype n = last - first + 1;

    // Daily means of the days with records.
    p.daily.fill(0.0, n);
    p.measured.fill(false, n);
    {
        qsizetype i = 0;
        while (i < weights.size()) {
            const qint64 day = weights[i].day;
            double sum = 0;
            int count = 0;
            for (; i < weights.size() && weights[i].day == day; ++i) {
                sum += weights[i].weight;
                ++count;
            }
            p.daily[day - first] = sum / count;
            p.measured[day - first] = true;
        }
    }
    // Days between are filled on the straight line between their neighbours.
    for (qsizetype prev = 0, d = 1; d < n; ++d) {
        if (!p.measured[d])
            continue;
        const qsizetype gap = d - prev;
        for (qsizetype k = 1; k < gap; ++k)
            p.daily[prev + k] = p.daily[prev] + (p.daily[d] - p.daily[prev]) * double(k) / double(gap);
        prev = d;
    }

    p.trend.resize(n);
    p.trend[0] = p.daily[0];
    for (qsizetype d = 1; d < n; ++d)
        p.trend[d] = p.trend[d - 1] + kSmoothing * (p.daily[d] - p.trend[d - 1]);
    p.firstTrend = p.trend.constFirst();
    p.latestTrend = p.trend.constLast();
    p.trendChange = p.latestTrend - p.firstTrend;
    p.trendText = fmt::number(p.latestTrend, u"0.0Kg");
    p.changeText = signedNumber(p.trendChange, u"0.0Kg");

    const int m = int(std::min<qsizetype>(kPaceDays, n));
    const int measuredInWindow = int(std::count(p.measured.cend() - m, p.measured.cend(), true));
    if (m >= 2 && measuredInWindow >= kPaceMinMeasuredDays) {
        p.slopePerDay = slope(p.trend.constData() + (n - m), m);
        p.paceKgPerWeek = p.slopePerDay * 7;
    }
    p.paceText = paceText(p.paceKgPerWeek);
    computeGoal(p);

    // Regularity: the last 14 days up to today, and runs of weighed days.
    const qint64 todayJd = today.toJulianDay();
    for (qint64 d = std::max(first, todayJd - (kPaceDays - 1)); d <= std::min(last, todayJd); ++d)
        if (p.measured[d - first])
            ++p.daysWeighed;
    int run = 0;
    qint64 lastUpToToday = -1;
    int runAtLastUpToToday = 0;
    for (qsizetype d = 0; d < n; ++d) {
        run = p.measured[d] ? run + 1 : 0;
        p.longestRun = std::max(p.longestRun, run);
        if (p.measured[d] && first + d <= todayJd) {
            lastUpToToday = first + d;
            runAtLastUpToToday = run;
        }
    }
    if (lastUpToToday >= todayJd - 1)
        p.currentRun = runAtLastUpToToday;
    p.daysText = QStringLiteral("%1日中%2日").arg(kPaceDays).arg(p.daysWeighed);
    p.runText = QStringLiteral("連続%1日（最長%2日）").arg(p.currentRun).arg(p.longestRun);
    return p;
}

QString PaceChart::dayLabel(int row) const
{
    return fmt::date(start.addDays(row - 1), u"YY/MM/DD");
}

PaceChart buildChart(const PersonPace &person1, const PersonPace &person2)
{
    PaceChart c;
    const PersonPace *both[2] = {&person1, &person2};
    for (const PersonPace *p : both) {
        if (!p->hasRecords)
            continue;
        const QDate end = p->forecastDate ? std::max(*p->forecastDate, p->lastDay) : p->lastDay;
        if (!c.start.isValid() || p->firstDay < c.start)
            c.start = p->firstDay;
        if (!c.end.isValid() || end > c.end)
            c.end = end;
    }
    if (!c.start.isValid())
        return c;
    c.days = int(c.start.daysTo(c.end) + 1);

    double lo = std::numeric_limits<double>::max();
    double hi = std::numeric_limits<double>::lowest();
    auto see = [&](double v) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    };
    ChartValues *trend[2] = {&c.trend1, &c.trend2};
    ChartValues *daily[2] = {&c.daily1, &c.daily2};
    ChartValues *forecast[2] = {&c.forecast1, &c.forecast2};
    std::optional<float> *target[2] = {&c.target1, &c.target2};
    for (int k = 0; k < 2; ++k) {
        const PersonPace &p = *both[k];
        trend[k]->resize(c.days);
        daily[k]->resize(c.days);
        forecast[k]->resize(c.days);
        if (!p.hasRecords)
            continue;
        const qsizetype offset = c.start.daysTo(p.firstDay);
        for (qsizetype d = 0; d < p.trend.size(); ++d) {
            (*trend[k])[offset + d] = float(p.trend[d]);
            see(p.trend[d]);
            if (p.measured[d]) {
                (*daily[k])[offset + d] = float(p.daily[d]);
                see(p.daily[d]);
            }
        }
        if (p.forecastDate) {
            const qsizetype from = c.start.daysTo(p.lastDay);
            const qsizetype span = p.lastDay.daysTo(*p.forecastDate);
            for (qsizetype d = 0; d <= span; ++d)
                (*forecast[k])[from + d] =
                    float(p.latestTrend + (p.target - p.latestTrend) * double(d) / double(span));
        }
        // A target of 0 is no target: it would only flatten the chart.
        if (p.target > 0) {
            *target[k] = float(p.target);
            see(p.target);
        }
    }
    c.axis.min = std::floor(lo);
    c.axis.max = std::ceil(hi);
    if (c.axis.max <= c.axis.min)
        c.axis.max = c.axis.min + 1;
    return c;
}

PaceView buildPaceView(const QList<WeightRecord> &records1, float targetWeight1,
                       const QList<WeightRecord> &records2, float targetWeight2,
                       const QDate &today)
{
    PaceView v;
    v.person1 = computePerson(records1, targetWeight1, today);
    v.person2 = computePerson(records2, targetWeight2, today);
    v.chart = buildChart(v.person1, v.person2);
    return v;
}

} // namespace pace
