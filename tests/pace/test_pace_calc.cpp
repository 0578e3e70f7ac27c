// The pace computation: daily values, filled days, the smoothed trend, the
// pace per week, the target-date text, the regularity counts and the chart
// of both persons.
#include "pace/pace_calc.h"
#include "records.h"
#include "store/format.h"

#include <QtTest>

#include <algorithm>

using namespace pace;
using testrec::daily;
using testrec::rec;

namespace {

const QDate kToday(2024, 3, 20);

QStringList threeDecimals(const QList<double> &values)
{
    QStringList out;
    for (double v : values)
        out.append(fmt::number(v, u"0.000"));
    return out;
}

// Daily weights whose trend moves by exactly `step` a day from `start`:
// the first day is the start, each later day lies ten steps past the trend
// of the day before, so trend += 0.1 × (value − trend) adds one step.
QList<float> trendLine(double start, double step, int days)
{
    QList<float> out{float(start)};
    for (int k = 1; k < days; ++k)
        out.append(float(std::round((start + step * (k - 1) + 10 * step) * 100) / 100));
    return out;
}

PersonPace person(const QList<WeightRecord> &records, float target = 60, QDate today = kToday)
{
    return computePerson(records, target, today);
}

} // namespace

class TestPaceCalc : public QObject {
    Q_OBJECT

private slots:
    // Daily values and the trend.
    void trendFollowsDailyValues();
    void dailyValueIsTheMeanAndGapsAreFilled();
    void recordsOutOfOrderGiveTheSameFigures();
    void unreadableDatesAreLeftOut();
    void weightsCountAsTheirDecimals();
    void singleRecord();
    void allRecordsOnOneDay();
    void gapOfMonthsIsFilledOnAStraightLine();

    // The pace.
    void paceIsTheSlopeOfTheLastFourteenTrends();
    void paceNeedsFourWeighedDays_data();
    void paceNeedsFourWeighedDays();

    // The target date.
    void forecastCountsDaysFromTheLastDay();
    void forecastTowardAHigherTarget();
    void forecastLimitIsThreeYears_data();
    void forecastLimitIsThreeYears();
    void movingAwayFromTheTarget();
    void flatPace();
    void reachedTarget_data();
    void reachedTarget();

    // Regularity.
    void daysWeighedInTheLastFourteenDays();
    void runsOfWeighedDays_data();
    void runsOfWeighedDays();

    // Texts and the chart.
    void trendAndChangeTexts();
    void personWithoutRecords();
    void chartCoversBothPersonsAndTheForecast();
    void chartOfOnePersonOnly();
};

void TestPaceCalc::trendFollowsDailyValues()
{
    const PersonPace p = person(daily("2024/03/01", {70.0f, 71.0f, 69.0f, 70.5f}));
    QCOMPARE(threeDecimals(p.trend), QStringList({"70.000", "70.100", "69.990", "70.041"}));
    QCOMPARE(p.firstTrend, 70.0);
    QCOMPARE(fmt::number(p.latestTrend, u"0.000"), QStringLiteral("70.041"));
}

void TestPaceCalc::dailyValueIsTheMeanAndGapsAreFilled()
{
    const PersonPace p = person({rec("2024/04/01", 70.4f), rec("2024/04/01", 69.6f),
                                 rec("2024/04/02", 69.8f), rec("2024/04/05", 69.2f)});
    QCOMPARE(p.firstDay, QDate(2024, 4, 1));
    QCOMPARE(p.lastDay, QDate(2024, 4, 5));
    QCOMPARE(threeDecimals(p.daily), QStringList({"70.000", "69.800", "69.600", "69.400", "69.200"}));
    QCOMPARE(p.measured, QList<bool>({true, true, false, false, true}));
    QCOMPARE(threeDecimals(p.trend),
             QStringList({"70.000", "69.980", "69.942", "69.888", "69.819"}));
    QCOMPARE(p.recordCount, 4);
    QCOMPARE(p.trendOn(QDate(2024, 4, 3)).has_value(), true);
    QCOMPARE(fmt::number(*p.trendOn(QDate(2024, 4, 3)), u"0.000"), QStringLiteral("69.942"));
    QVERIFY(!p.trendOn(QDate(2024, 3, 31)));
    QVERIFY(!p.trendOn(QDate(2024, 4, 6)));
}

void TestPaceCalc::recordsOutOfOrderGiveTheSameFigures()
{
    QList<WeightRecord> ordered = daily("2024/03/01", {70.0f, 69.8f, 69.9f, 69.5f, 69.4f, 69.6f,
                                                       69.2f, 69.1f, 69.3f, 68.9f});
    ordered.append(rec("2024/03/10", 69.5f));
    QList<WeightRecord> shuffled = ordered;
    std::reverse(shuffled.begin(), shuffled.end());
    std::swap(shuffled[2], shuffled[7]);
    const PersonPace a = person(ordered, 65);
    const PersonPace b = person(shuffled, 65);
    QCOMPARE(b.firstDay, a.firstDay);
    QCOMPARE(b.lastDay, a.lastDay);
    QCOMPARE(b.daily, a.daily);
    QCOMPARE(b.trend, a.trend);
    QCOMPARE(b.paceText, a.paceText);
    QCOMPARE(b.goalText, a.goalText);
    QCOMPARE(b.runText, a.runText);
    // The two records of 03/10 are averaged whichever comes first.
    QCOMPARE(fmt::number(a.daily.constLast(), u"0.00"), QStringLiteral("69.20"));
}

void TestPaceCalc::unreadableDatesAreLeftOut()
{
    const PersonPace p = person({rec("2024/03/01", 70.0f), rec("2024/3/2", 10.0f),
                                 rec("2024/02/30", 10.0f), rec("", 10.0f), rec("2024/03/02", 71.0f)});
    QCOMPARE(p.recordCount, 2);
    QCOMPARE(threeDecimals(p.trend), QStringList({"70.000", "70.100"}));
}

void TestPaceCalc::weightsCountAsTheirDecimals()
{
    QCOMPARE(decimalWeight(65.3f), 65.3);
    QCOMPARE(decimalWeight(59.95f), 59.95);
    QCOMPARE(decimalWeight(70.05f), 70.05);
    // The float 69.97 is a little below 69.97; as a decimal it is 69.97.
    const PersonPace p = person({rec("2024/03/01", 69.97f), rec("2024/03/01", 69.97f)});
    QCOMPARE(p.daily.constFirst(), 69.97);
}

void TestPaceCalc::singleRecord()
{
    const PersonPace p = person({rec("2024/03/19", 65.3f)}, 60);
    QVERIFY(p.hasRecords);
    QCOMPARE(p.trend, QList<double>({65.3}));
    QCOMPARE(p.latestTrend, 65.3);
    QCOMPARE(p.trendChange, 0.0);
    QVERIFY(!p.paceKgPerWeek);
    QCOMPARE(p.paceText, QStringLiteral("まだ計算できません"));
    QCOMPARE(p.goal, GoalState::NotYet);
    QCOMPARE(p.goalText, QStringLiteral("まだ計算できません"));
    QCOMPARE(p.trendText, QStringLiteral("65.3Kg"));
    QCOMPARE(p.changeText, QStringLiteral("0.0Kg"));
    QCOMPARE(p.daysText, QStringLiteral("14日中1日"));
    QCOMPARE(p.runText, QStringLiteral("連続1日（最長1日）"));
}

void TestPaceCalc::allRecordsOnOneDay()
{
    QList<WeightRecord> records;
    for (float w : {70.2f, 69.8f, 70.0f, 70.4f, 69.6f, 70.0f})
        records.append(rec("2024/03/20", w));
    const PersonPace p = person(records, 65);
    QCOMPARE(p.daily.size(), 1);
    QCOMPARE(fmt::number(p.latestTrend, u"0.000"), QStringLiteral("70.000"));
    QCOMPARE(p.paceText, QStringLiteral("まだ計算できません"));
    QCOMPARE(p.goalText, QStringLiteral("まだ計算できません"));
    QCOMPARE(p.daysWeighed, 1);
    QCOMPARE(p.currentRun, 1);
    QCOMPARE(p.longestRun, 1);
}

void TestPaceCalc::gapOfMonthsIsFilledOnAStraightLine()
{
    // 91 days from 01/01 to 04/01 (a leap year), 3 kg down.
    QList<WeightRecord> records{rec("2024/01/01", 70.0f), rec("2024/04/01", 67.27f)};
    const PersonPace p = person(records, 60, QDate(2024, 4, 1));
    QCOMPARE(p.daily.size(), 92);
    QCOMPARE(int(std::count(p.measured.cbegin(), p.measured.cend(), true)), 2);
    QCOMPARE(fmt::number(p.daily[1], u"0.00"), QStringLiteral("69.97"));
    QCOMPARE(fmt::number(p.daily[50], u"0.00"), QStringLiteral("68.50"));
    QCOMPARE(p.daily.constLast(), 67.27);
    // Filled days are not weighings: two real days among the last 14.
    QCOMPARE(p.paceText, QStringLiteral("まだ計算できません"));
    QCOMPARE(p.daysText, QStringLiteral("14日中1日"));
    QCOMPARE(p.runText, QStringLiteral("連続1日（最長1日）"));
    // Nothing runs past the last record.
    QCOMPARE(p.lastDay, QDate(2024, 4, 1));
}

void TestPaceCalc::paceIsTheSlopeOfTheLastFourteenTrends()
{
    // 20 days: the trend first moves 0.2 a day up, then exactly 0.1 a day
    // down for the last 14; only those count.
    QList<float> weights = trendLine(68.0, 0.2, 6);
    const double top = 68.0 + 0.2 * 5;
    for (int k = 1; k <= 14; ++k)
        weights.append(float(std::round((top - 0.1 * (k - 1) - 1.0) * 100) / 100));
    const PersonPace p = person(daily("2024/03/01", weights), 60);
    QCOMPARE(p.trend.size(), 20);
    QCOMPARE(fmt::number(p.trend[5], u"0.000"), QStringLiteral("69.000"));
    QCOMPARE(fmt::number(p.latestTrend, u"0.000"), QStringLiteral("67.600"));
    QVERIFY(p.paceKgPerWeek);
    QCOMPARE(fmt::number(*p.paceKgPerWeek, u"0.000000"), QStringLiteral("-0.700000"));
    QCOMPARE(p.paceText, QStringLiteral("-0.70Kg/週"));

    // A short record uses every day it has.
    const PersonPace shortOne = person(daily("2024/03/01", trendLine(70, -0.05, 5)), 60);
    QCOMPARE(shortOne.paceText, QStringLiteral("-0.35Kg/週"));
}

void TestPaceCalc::paceNeedsFourWeighedDays_data()
{
    QTest::addColumn<QList<WeightRecord>>("records");
    QTest::addColumn<QString>("pace");
    QTest::newRow("three days in a row") << daily("2024/03/01", {70.0f, 69.8f, 69.6f})
                                         << QStringLiteral("まだ計算できません");
    QTest::newRow("four days in a row") << daily("2024/03/01", {70.0f, 69.8f, 69.6f, 69.4f})
                                        << QStringLiteral("-0.26Kg/週");
    // 14 filled values but only the two ends weighed.
    QTest::newRow("two days two weeks apart")
        << QList<WeightRecord>{rec("2024/03/01", 70.0f), rec("2024/03/14", 68.7f)}
        << QStringLiteral("まだ計算できません");
    QTest::newRow("four days two weeks apart")
        << QList<WeightRecord>{rec("2024/03/01", 70.0f), rec("2024/03/05", 69.6f),
                               rec("2024/03/10", 69.1f), rec("2024/03/14", 68.7f)}
        << QStringLiteral("-0.35Kg/週");
    // Four weighed days, but only three among the last 14.
    QTest::newRow("fourth day too early")
        << QList<WeightRecord>{rec("2024/02/01", 70.0f), rec("2024/03/01", 70.0f),
                               rec("2024/03/05", 69.6f), rec("2024/03/14", 68.7f)}
        << QStringLiteral("まだ計算できません");
}

void TestPaceCalc::paceNeedsFourWeighedDays()
{
    QFETCH(QList<WeightRecord>, records);
    QFETCH(QString, pace);
    const PersonPace p = person(records, 60);
    QCOMPARE(p.paceText, pace);
    QCOMPARE(p.paceKgPerWeek.has_value(), pace != QStringLiteral("まだ計算できません"));
}

void TestPaceCalc::forecastCountsDaysFromTheLastDay()
{
    // The trend falls exactly 0.1 kg a day: 70.0 on 03/01 to 68.7 on 03/14.
    // 3.7 kg to go is 37 days; float noise in the quotient adds none.
    const PersonPace p = person(daily("2024/03/01", trendLine(70, -0.1, 14)), 65);
    QCOMPARE(fmt::number(p.latestTrend, u"0.000"), QStringLiteral("68.700"));
    QCOMPARE(p.paceText, QStringLiteral("-0.70Kg/週"));
    QCOMPARE(p.goal, GoalState::Forecast);
    QCOMPARE(p.daysToTarget, 37);
    QCOMPARE(p.forecastDate, std::optional<QDate>(QDate(2024, 4, 20)));
    QCOMPARE(p.goalText, QStringLiteral("2024年4月20日（あと37日）"));
    QCOMPARE(forecastText(QDate(2024, 5, 20), 50), QStringLiteral("2024年5月20日（あと50日）"));

    // Whole kilograms from a trend that carries float noise: the quotient
    // comes out a hair above 1 and 7, and still counts as 1 and 7 days.
    QCOMPARE(person(daily("2024/03/01", trendLine(70, -0.1, 14)), 68.6f).goalText,
             QStringLiteral("2024年3月15日（あと1日）"));
    QCOMPARE(person(daily("2024/03/01", trendLine(70, -0.1, 14)), 68.0f).goalText,
             QStringLiteral("2024年3月21日（あと7日）"));

    // Part of a day still counts as a day.
    const PersonPace q = person(daily("2024/03/01", trendLine(70, -0.1, 14)), 65.05f);
    QCOMPARE(q.daysToTarget, 37);
    const PersonPace r = person(daily("2024/03/01", trendLine(70, -0.1, 14)), 64.99f);
    QCOMPARE(r.daysToTarget, 38);
}

void TestPaceCalc::forecastTowardAHigherTarget()
{
    // Gaining: the trend rises 0.05 a day from 59.00 to 59.95 in 20 days.
    const QList<WeightRecord> records = daily("2024/03/01", trendLine(59, 0.05, 20));
    const PersonPace p = person(records, 60.0f);
    QCOMPARE(fmt::number(p.latestTrend, u"0.000"), QStringLiteral("59.950"));
    QCOMPARE(p.paceText, QStringLiteral("+0.35Kg/週"));
    QCOMPARE(p.goal, GoalState::Forecast);
    QCOMPARE(p.goalText, QStringLiteral("2024年3月21日（あと1日）"));

    // The same trend with a lower target moves away from it.
    const PersonPace away = person(records, 55.0f);
    QCOMPARE(away.goal, GoalState::MovingAway);
    QCOMPARE(away.goalText, QStringLiteral("目標から離れています（+0.35kg/週）"));
}

void TestPaceCalc::forecastLimitIsThreeYears_data()
{
    QTest::addColumn<float>("target");
    QTest::addColumn<QString>("goal");
    // The trend falls 0.01 a day to 69.87: 1095 days cover 10.95 kg.
    QTest::newRow("1095 days") << 58.92f << QStringLiteral("2027年3月14日（あと1095日）");
    QTest::newRow("1096 days") << 58.91f << QStringLiteral("3年以上先");
    QTest::newRow("1100 days") << 58.87f << QStringLiteral("3年以上先");
}

void TestPaceCalc::forecastLimitIsThreeYears()
{
    QFETCH(float, target);
    QFETCH(QString, goal);
    const PersonPace p = person(daily("2024/03/01", trendLine(70, -0.01, 14)), target);
    QCOMPARE(fmt::number(p.latestTrend, u"0.000"), QStringLiteral("69.870"));
    QCOMPARE(p.paceText, QStringLiteral("-0.07Kg/週"));
    QCOMPARE(p.goalText, goal);
    QCOMPARE(p.forecastDate.has_value(), goal.contains(u'あ'));
}

void TestPaceCalc::movingAwayFromTheTarget()
{
    // A trend rising 0.05 kg a day toward a lower target.
    const PersonPace p = person(daily("2024/03/01", trendLine(70, 0.05, 14)), 65);
    QCOMPARE(p.paceText, QStringLiteral("+0.35Kg/週"));
    QCOMPARE(p.goal, GoalState::MovingAway);
    QCOMPARE(p.goalText, QStringLiteral("目標から離れています（+0.35kg/週）"));
    QVERIFY(!p.forecastDate);

    // Falling away from a higher target reads with a minus sign.
    const PersonPace q = person(daily("2024/03/01", trendLine(60, -0.1, 14)), 65);
    QCOMPARE(q.goalText, QStringLiteral("目標から離れています（-0.70kg/週）"));
}

void TestPaceCalc::flatPace()
{
    const PersonPace p = person(daily("2024/03/01", QList<float>(14, 70.0f)), 65);
    QCOMPARE(p.paceText, QStringLiteral("0.00Kg/週"));
    QCOMPARE(p.goal, GoalState::Flat);
    QCOMPARE(p.goalText, QStringLiteral("横ばい"));

    // A pace that shows as 0.07 kg a week is not flat, a few grams are.
    const PersonPace slow = person(daily("2024/03/01", trendLine(70, -0.01, 14)), 65);
    QCOMPARE(slow.goal, GoalState::Forecast);
    QList<float> almost(14, 70.0f);
    almost[10] = 69.97f;
    almost[12] = 69.96f;
    const PersonPace flat = person(daily("2024/03/01", almost), 65);
    QVERIFY(flat.paceKgPerWeek);
    QVERIFY(std::abs(*flat.paceKgPerWeek) < 0.05);
    QVERIFY(std::abs(*flat.paceKgPerWeek) > 0.0);
    QCOMPARE(flat.goalText, QStringLiteral("横ばい"));
}

void TestPaceCalc::reachedTarget_data()
{
    QTest::addColumn<QList<WeightRecord>>("records");
    QTest::addColumn<float>("target");
    const QList<WeightRecord> down = daily("2024/03/01", trendLine(70, -0.1, 14)); // to 68.7
    const QList<WeightRecord> up = daily("2024/03/01", trendLine(59, 0.05, 20));   // to 59.95
    QTest::newRow("below a lower target") << down << 69.0f;
    QTest::newRow("target equal to the trend") << down << 68.7f;
    QTest::newRow("above a higher target") << up << 59.9f;
    QTest::newRow("float target 59.95 equal to the trend") << up << 59.95f;
    QTest::newRow("started on the target and stays")
        << daily("2024/03/01", QList<float>(14, 59.95f)) << 59.95f;
    QTest::newRow("single record on the target") << QList<WeightRecord>{rec("2024/03/20", 59.95f)}
                                                 << 59.95f;
}

void TestPaceCalc::reachedTarget()
{
    QFETCH(QList<WeightRecord>, records);
    QFETCH(float, target);
    const PersonPace p = person(records, target);
    QCOMPARE(p.goal, GoalState::Reached);
    QCOMPARE(p.goalText, QStringLiteral("目標達成中"));
    QVERIFY(!p.forecastDate);
}

void TestPaceCalc::daysWeighedInTheLastFourteenDays()
{
    // Today is 03/20: the window is 03/07 .. 03/20.
    QList<WeightRecord> records;
    for (int d : {1, 6, 7, 8, 10, 10, 11, 12, 13, 15, 16, 17, 18, 20})
        records.append(rec(QStringLiteral("2024/03/%1").arg(d, 2, 10, QChar(u'0')), 70.0f));
    records.append(rec("2024/03/25", 70.0f)); // after today: not counted
    const PersonPace p = person(records, 60);
    QCOMPARE(p.daysWeighed, 11);
    QCOMPARE(p.daysText, QStringLiteral("14日中11日"));

    // Nothing recent.
    const PersonPace old = person(daily("2023/01/01", {70.0f, 70.0f}), 60);
    QCOMPARE(old.daysText, QStringLiteral("14日中0日"));
}

void TestPaceCalc::runsOfWeighedDays_data()
{
    QTest::addColumn<QList<int>>("days"); // days of March 2024 with a record
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("longest");
    QTest::newRow("ends today") << QList<int>{1, 2, 3, 10, 11, 12, 13, 18, 19, 20} << 3 << 4;
    QTest::newRow("ends yesterday") << QList<int>{1, 2, 3, 17, 18, 19} << 3 << 3;
    QTest::newRow("ended two days ago") << QList<int>{1, 2, 3, 4, 17, 18} << 0 << 4;
    QTest::newRow("one long run") << QList<int>{5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18,
                                                19, 20}
                                  << 16 << 16;
    // A record dated after today is not today's run.
    QTest::newRow("future record") << QList<int>{18, 19, 20, 22, 23, 24, 25, 26} << 3 << 5;
}

void TestPaceCalc::runsOfWeighedDays()
{
    QFETCH(QList<int>, days);
    QFETCH(int, current);
    QFETCH(int, longest);
    QList<WeightRecord> records;
    for (int d : days) {
        records.append(rec(QStringLiteral("2024/03/%1").arg(d, 2, 10, QChar(u'0')), 70.0f));
        records.append(rec(QStringLiteral("2024/03/%1").arg(d, 2, 10, QChar(u'0')), 69.0f));
    }
    const PersonPace p = person(records, 60);
    QCOMPARE(p.currentRun, current);
    QCOMPARE(p.longestRun, longest);
    QCOMPARE(p.runText, QStringLiteral("連続%1日（最長%2日）").arg(current).arg(longest));
}

void TestPaceCalc::trendAndChangeTexts()
{
    const PersonPace down = person(daily("2024/03/01", trendLine(70, -0.1, 14)), 65);
    QCOMPARE(down.trendText, QStringLiteral("68.7Kg"));
    QCOMPARE(down.changeText, QStringLiteral("-1.3Kg"));
    QCOMPARE(fmt::number(down.trendChange, u"0.000"), QStringLiteral("-1.300"));
    const PersonPace up = person(daily("2024/03/01", trendLine(70, 0.1, 14)), 75);
    QCOMPARE(up.changeText, QStringLiteral("+1.3Kg"));
    QCOMPARE(paceText(std::nullopt), QStringLiteral("まだ計算できません"));
    QCOMPARE(paceText(0.344), QStringLiteral("+0.34Kg/週"));
    QCOMPARE(paceText(-0.004), QStringLiteral("0.00Kg/週"));
    QCOMPARE(paceText(-0.7), QStringLiteral("-0.70Kg/週"));
}

void TestPaceCalc::personWithoutRecords()
{
    const PersonPace p = person({rec("bad", 70.0f)}, 60);
    QVERIFY(!p.hasRecords);
    QCOMPARE(p.goal, GoalState::NoRecords);
    QCOMPARE(p.trendText, QStringLiteral("記録がありません"));
    QCOMPARE(p.paceText, QStringLiteral("まだ計算できません"));
    QCOMPARE(p.daysText, QStringLiteral("14日中0日"));
    QCOMPARE(p.runText, QStringLiteral("連続0日（最長0日）"));
    QVERIFY(p.trend.isEmpty());
}

void TestPaceCalc::chartCoversBothPersonsAndTheForecast()
{
    // Person 1 from 03/01 to 03/14, reaching 65 on 04/20; person 2 from
    // 02/25 to 03/16 with no date shown.
    QList<WeightRecord> second = daily("2024/02/25", {55.0f, 55.2f});
    second.append(rec("2024/03/16", 54.8f));
    const PaceView v = buildPaceView(daily("2024/03/01", trendLine(70, -0.1, 14)), 65, second, 50,
                                     kToday);
    const PaceChart &c = v.chart;
    QCOMPARE(c.start, QDate(2024, 2, 25));
    QCOMPARE(c.end, QDate(2024, 4, 20));
    QCOMPARE(c.days, 56);
    for (const ChartValues *col :
         {&c.trend1, &c.trend2, &c.daily1, &c.daily2, &c.forecast1, &c.forecast2})
        QCOMPARE(col->size(), 56);
    QCOMPARE(c.dayLabel(1), QStringLiteral("24/02/25"));
    QCOMPARE(c.dayLabel(56), QStringLiteral("24/04/20"));

    // Person 1 starts on row 6 (03/01) and ends on row 19 (03/14).
    QVERIFY(!c.trend1[4]);
    QCOMPARE(*c.trend1[5], 70.0f);
    QCOMPARE(*c.trend1[18], float(v.person1.latestTrend));
    QVERIFY(!c.trend1[19]);
    QCOMPARE(*c.daily1[6], 69.0f);
    // Person 2's filled days carry a trend but no marker.
    QVERIFY(c.trend2[5]);
    QVERIFY(!c.daily2[5]);
    QCOMPARE(*c.daily2[20], 54.8f);
    QVERIFY(!c.trend2[21]);

    // The forecast runs from the last trend on 03/14 to the target on 04/20.
    QVERIFY(!c.forecast1[17]);
    QCOMPARE(*c.forecast1[18], float(v.person1.latestTrend));
    QCOMPARE(*c.forecast1[55], 65.0f);
    QCOMPARE(fmt::number(double(*c.forecast1[36]), u"0.00"), QStringLiteral("66.90"));
    QVERIFY(std::none_of(c.forecast2.cbegin(), c.forecast2.cend(),
                         [](const std::optional<float> &x) { return x.has_value(); }));

    QCOMPARE(c.target1, std::optional<float>(65.0f));
    QCOMPARE(c.target2, std::optional<float>(50.0f));
    QCOMPARE(c.axis, (AxisRange{50, 70}));
}

void TestPaceCalc::chartOfOnePersonOnly()
{
    const PaceView v = buildPaceView({}, 60, {rec("2024/03/20", 70.0f)}, 70, kToday);
    QCOMPARE(v.chart.start, QDate(2024, 3, 20));
    QCOMPARE(v.chart.days, 1);
    QCOMPARE(v.chart.trend1, ChartValues(1));
    QCOMPARE(v.chart.trend2, ChartValues({70.0f}));
    QVERIFY(!v.chart.target1);
    // A flat range still has height.
    QCOMPARE(v.chart.axis, (AxisRange{70, 71}));

    const PaceView none = buildPaceView({}, 60, {}, 60, kToday);
    QCOMPARE(none.chart.days, 0);
    QVERIFY(!none.chart.start.isValid());
    QVERIFY(none.chart.trend1.isEmpty());
}

QTEST_GUILESS_MAIN(TestPaceCalc)
#include "test_pace_calc.moc"
