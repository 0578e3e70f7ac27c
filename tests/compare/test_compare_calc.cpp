// The comparison screen's computations: the six measures and their marks,
// the share bar, the daily-average list, the charts with their axes, the
// lower-bound and overlay choices, and records the files should not hold
// (out of date order, a flat range, a person without records).
#include "compare/comparison.h"
#include "records.h"
#include "store/format.h"

#include <QtTest>

using namespace compare;
using testrec::daily;
using testrec::rec;

namespace {

using Records = QList<WeightRecord>;

Comparison build(const Records &r1, const Records &r2, float target1 = 60, float target2 = 50)
{
    return buildComparison(r1, r2, QStringLiteral("はな"), QStringLiteral("たろう"), target1, target2);
}

QString cell(const Comparison &c, int day, int col) { return c.averageRows.at(day - 1).texts.at(col); }

// Days from 2008/03/01 with the given weights; 0 leaves the day out.
Records march(const QList<float> &weights)
{
    Records out;
    for (int i = 0; i < weights.size(); ++i)
        if (weights[i] != 0)
            out.append(rec(QStringLiteral("2008/03/%1").arg(i + 1, 2, 10, QLatin1Char('0')), weights[i]));
    return out;
}

} // namespace

// Failure messages that show the range.
char *toString(const AxisRange &r)
{
    return QTest::toString(QStringLiteral("%1..%2").arg(r.min).arg(r.max));
}

class TestCompareCalc : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void recordCountsShareAndBar();
    void marksFavourTheBetterValue_data();
    void marksFavourTheBetterValue();
    void weightRowsOfWorkedExample();
    void belowTargetKeepsOwnMark();
    void sameDayStartAndEnd();

    void periodSpansBothPersons();
    void dayAveragesInList_data();
    void dayAveragesInList();
    void dayWithoutRecordEmptyInListCarriedInChart();
    void listScrollsBeyondEightRows_data();
    void listScrollsBeyondEightRows();

    void automaticAxes_data();
    void automaticAxes();
    void targetLowerBound_data();
    void targetLowerBound();
    void flatRangeStaysFlat();
    void sameAxisRealValues();

    void overlayLiftsLighterPerson_data();
    void overlayLiftsLighterPerson();
    void overlayAxisOfWorkedExample();
    void overlayWidensOnlyForCurveOutside();
    void overlayWithoutCommonDay();

    void recordsOutOfDateOrder();
    void unreadableDateIsLeftOut();
    void personWithoutRecords();
};

void TestCompareCalc::recordCountsShareAndBar()
{
    const Comparison c = build(daily(QStringLiteral("2008/03/01"), QList<float>(30, 70.0f)),
                               daily(QStringLiteral("2008/03/01"), QList<float>(10, 60.0f)));
    QCOMPARE(c.text1[0], QStringLiteral("はな"));
    QCOMPARE(c.text2[0], QStringLiteral("たろう"));
    QCOMPARE(c.text1[1], QStringLiteral("30 回  ( 75.0% )"));
    QCOMPARE(c.text2[1], QStringLiteral("10 回  ( 25.0% )"));
    QCOMPARE(c.mark1[1], true);
    QCOMPARE(c.mark2[1], false);
    QCOMPARE(shareBarWidth(2000, c.share1), 1500);
    QCOMPARE(shareBarWidth(2001, c.share1), 1500); // Int, not rounding

    // A third: 33.3 and 66.7, the bar cut down to whole units.
    const Comparison third = build(march({70}), march({60, 60}));
    QCOMPARE(third.text1[1], QStringLiteral("1 回  ( 33.3% )"));
    QCOMPARE(third.text2[1], QStringLiteral("2 回  ( 66.7% )"));
    QCOMPARE(shareBarWidth(100, third.share1), 33);
}

void TestCompareCalc::marksFavourTheBetterValue_data()
{
    QTest::addColumn<Records>("r1");
    QTest::addColumn<Records>("r2");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("mark1");
    QTest::addColumn<bool>("mark2");

    const Records three = march({70, 70, 70});
    const Records two = march({60, 60});
    QTest::newRow("1: more records wins") << three << two << 1 << true << false;
    QTest::newRow("1: fewer records loses") << two << three << 1 << false << true;
    QTest::newRow("1: equal counts keep both") << two << two << 1 << true << true;

    QTest::newRow("2: longer span wins") << march({70, 0, 0, 70}) << march({60, 0, 60}) << 2 << true << false;
    QTest::newRow("2: shorter span loses") << march({70, 70}) << march({60, 0, 60}) << 2 << false << true;
    QTest::newRow("2: equal spans keep both") << march({70, 70}) << march({0, 60, 60}) << 2 << true << true;

    Records twice = march({70, 70});
    twice.append(rec(QStringLiteral("2008/03/02"), 70));
    QTest::newRow("3: more a day wins") << twice << two << 3 << true << false;
    QTest::newRow("3: fewer a day loses") << two << twice << 3 << false << true;
    QTest::newRow("3: equal rates keep both") << march({70, 70}) << march({60, 60, 60}) << 3 << true << true;

    QTest::newRow("4: deeper low wins") << march({70, 67, 69}) << march({60, 59, 60}) << 4 << true << false;
    QTest::newRow("4: shallower low loses") << march({70, 69.5}) << march({60, 58}) << 4 << false << true;
    QTest::newRow("4: equal lows keep both") << march({70, 69}) << march({60, 59}) << 4 << true << true;

    QTest::newRow("5: more lost wins") << march({70, 65, 66}) << march({60, 59}) << 5 << true << false;
    QTest::newRow("5: gain loses") << march({70, 71}) << march({60, 59}) << 5 << false << true;
    QTest::newRow("5: equal change keeps both") << march({70, 69.5}) << march({60, 59.5}) << 5 << true << true;

    // Targets 60 and 50.
    QTest::newRow("6: closer to target wins") << march({70, 61}) << march({60, 55}) << 6 << true << false;
    QTest::newRow("6: farther loses") << march({70, 66}) << march({60, 52}) << 6 << false << true;
    QTest::newRow("6: equal remainders keep both") << march({70, 62}) << march({60, 52}) << 6 << true << true;
}

void TestCompareCalc::marksFavourTheBetterValue()
{
    QFETCH(Records, r1);
    QFETCH(Records, r2);
    QFETCH(int, row);
    QFETCH(bool, mark1);
    QFETCH(bool, mark2);
    const Comparison c = build(r1, r2);
    QCOMPARE(c.mark1[size_t(row)], mark1);
    QCOMPARE(c.mark2[size_t(row)], mark2);
    QVERIFY(c.mark1[0] && c.mark2[0]);
}

void TestCompareCalc::weightRowsOfWorkedExample()
{
    const Comparison c = build(march({70.0f, 66.5f, 68.0f, 67.2f}), march({60, 59}), 60, 50);
    QCOMPARE(c.text1[4], QStringLiteral("66.5Kg ( -3.5Kg )"));
    QCOMPARE(c.text1[5], QStringLiteral("67.2Kg ( -2.8Kg )"));
    QCOMPARE(c.text1[6], QStringLiteral("60.0Kgまで ( 7.2Kg )"));
    // The lowest is the first strictly lower weight; the start weight
    // itself can be the lowest.
    const Comparison up = build(march({70, 71}), march({60}));
    QCOMPARE(up.text1[4], QStringLiteral("70.0Kg ( 0.0Kg )"));
    QCOMPARE(up.text1[5], QStringLiteral("71.0Kg ( 1.0Kg )"));
}

void TestCompareCalc::belowTargetKeepsOwnMark()
{
    const Comparison c = build(march({62, 59.5}), march({60, 55}), 60, 50);
    QCOMPARE(c.text1[6], QStringLiteral("60.0Kgまで ( -0.5Kg )"));
    QCOMPARE(c.text2[6], QStringLiteral("50.0Kgまで ( 5.0Kg )"));
    QCOMPARE(c.mark1[6], true);
    QCOMPARE(c.mark2[6], false);
}

void TestCompareCalc::sameDayStartAndEnd()
{
    const Records r1 = {rec(QStringLiteral("2008/03/21"), 70), rec(QStringLiteral("2008/03/21"), 69.8f),
                        rec(QStringLiteral("2008/03/21"), 69.6f)};
    const Comparison c = build(r1, march({60, 60}));
    QCOMPARE(c.text1[2], QStringLiteral("08/03/21 → 0日"));
    QCOMPARE(c.text1[3], QStringLiteral("3.00 回 / 日"));
    QCOMPARE(c.text2[2], QStringLiteral("08/03/01 → 1日"));
    QCOMPARE(c.text2[3], QStringLiteral("1.00 回 / 日"));
}

void TestCompareCalc::periodSpansBothPersons()
{
    // Person 1 from 3/1 to 3/25, person 2 from 3/10 to 3/20.
    const Records r1 = daily(QStringLiteral("2008/03/01"), QList<float>(25, 70.0f));
    const Records r2 = daily(QStringLiteral("2008/03/10"), {60.0f, 60.5f, 60.0f, 59.5f, 59.0f, 59.0f, 58.5f,
                                                            58.0f, 58.0f, 57.5f, 57.0f});
    const Comparison c = build(r1, r2);
    QCOMPARE(c.ComparisonStart, QStringLiteral("2008/03/01"));
    QCOMPARE(c.ComparisonEnd, QStringLiteral("2008/03/25"));
    QCOMPARE(c.days, 25);
    QCOMPARE(c.averageRows.size(), 25);
    QCOMPARE(c.series1.size(), 25);
    QCOMPARE(c.series2.size(), 25);
    QCOMPARE(c.text1[2], QStringLiteral("08/03/01 → 24日"));
    QCOMPARE(c.text2[2], QStringLiteral("08/03/10 → 10日"));

    QCOMPARE(c.averageRows.first().texts, QStringList({"1", "08/03/01", "70.0", ""}));
    QCOMPARE(cell(c, 9, 3), QString());
    QCOMPARE(cell(c, 10, 3), QStringLiteral("60.0"));
    QCOMPARE(cell(c, 11, 3), QStringLiteral("60.5"));
    QCOMPARE(cell(c, 20, 3), QStringLiteral("57.0"));
    QCOMPARE(cell(c, 21, 3), QString());
    QCOMPARE(c.averageRows.last().texts, QStringList({"25", "08/03/25", "70.0", ""}));
    QCOMPARE(c.dayLabel(1), QStringLiteral("08/03/01"));
    QCOMPARE(c.dayLabel(c.days), QStringLiteral("08/03/25"));
    for (const table::Row &row : c.averageRows)
        QCOMPARE(row.texts.size(), averageListColumns().size());

    // The chart: nothing before the first record, the last value carried
    // to the end of the period.
    for (int d = 0; d < 9; ++d)
        QVERIFY(!c.series2[d].has_value());
    QCOMPARE(c.series2[9], std::optional<float>(60.0f));
    QCOMPARE(c.series2[19], std::optional<float>(57.0f));
    QCOMPARE(c.series2[24], std::optional<float>(57.0f));
}

void TestCompareCalc::dayAveragesInList_data()
{
    QTest::addColumn<QList<float>>("weights");
    QTest::addColumn<QString>("shown");
    QTest::newRow("two") << QList<float>{65.0f, 65.4f} << "65.2";
    QTest::newRow("three") << QList<float>{64.0f, 64.5f, 65.3f} << "64.6";
    QTest::newRow("one") << QList<float>{64.8f} << "64.8";
}

void TestCompareCalc::dayAveragesInList()
{
    QFETCH(QList<float>, weights);
    QFETCH(QString, shown);
    Records r2 = {rec(QStringLiteral("2008/03/01"), 60)};
    for (float w : weights)
        r2.append(rec(QStringLiteral("2008/03/02"), w));
    const Comparison c = build(march({70, 70}), r2);
    QCOMPARE(cell(c, 2, 3), shown);
    QCOMPARE(cell(c, 2, 2), QStringLiteral("70.0"));
    QCOMPARE(fmt::number(*c.series2[1], u"0.0"), shown);
}

void TestCompareCalc::dayWithoutRecordEmptyInListCarriedInChart()
{
    const Comparison c = build(march({65.0f, 0, 64.0f}), march({60, 0, 59}));
    QCOMPARE(c.averageRows.at(1).texts, QStringList({"2", "08/03/02", "", ""}));
    QCOMPARE(c.series1[1], std::optional<float>(65.0f));
    QCOMPARE(c.series2[1], std::optional<float>(60.0f));
    QCOMPARE(c.series1[2], std::optional<float>(64.0f));
}

void TestCompareCalc::listScrollsBeyondEightRows_data()
{
    QTest::addColumn<int>("days");
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("5 days") << 5 << false;
    QTest::newRow("7 days, 8 rows") << 7 << false;
    QTest::newRow("8 days, 9 rows") << 8 << true;
}

void TestCompareCalc::listScrollsBeyondEightRows()
{
    QFETCH(int, days);
    QFETCH(bool, scrolls);
    const Comparison c = build(daily(QStringLiteral("2008/03/01"), QList<float>(days, 70.0f)), march({60}));
    QCOMPARE(c.averageRows.size(), days);
    QCOMPARE(c.averageScrollToEnd, scrolls);
}

void TestCompareCalc::automaticAxes_data()
{
    QTest::addColumn<float>("lowest");
    QTest::addColumn<float>("highest");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::newRow("70.0") << 63.9f << 70.0f << 63.0 << 70.0;
    QTest::newRow("70.05 is not a ceiling") << 63.9f << 70.05f << 63.0 << 70.0;
    QTest::newRow("70.5") << 63.9f << 70.5f << 63.0 << 71.0;
    QTest::newRow("70.1 as its decimal value") << 63.0f << 70.1f << 63.0 << 71.0;
    QTest::newRow("70.09") << 63.0f << 70.09f << 63.0 << 70.0;
}

void TestCompareCalc::automaticAxes()
{
    QFETCH(float, lowest);
    QFETCH(float, highest);
    QFETCH(double, min);
    QFETCH(double, max);
    const Comparison c = build(march({66, highest, lowest}), march({highest, lowest, 66}));
    QCOMPARE(c.autoLeft, (AxisRange{min, max}));
    QCOMPARE(c.autoRight, (AxisRange{min, max}));
    QCOMPARE(c.AutoFloor1, float(min));
    QCOMPARE(c.AutoFloor2, float(min));
    QCOMPARE(separateAxes(c, LowerBound::Automatic).left, (AxisRange{min, max}));
}

void TestCompareCalc::targetLowerBound_data()
{
    QTest::addColumn<float>("target");
    QTest::addColumn<double>("min");
    // Weights 60.2 to 70.5: automatic axis 60 to 71.
    QTest::newRow("58.6 gives 58") << 58.6f << 58.0;
    QTest::newRow("target inside the range") << 62.4f << 62.0;
    QTest::newRow("just under the maximum") << 70.9f << 70.0;
    QTest::newRow("reached: at the maximum") << 71.0f << 60.0;
    QTest::newRow("reached: above the maximum") << 75.0f << 60.0;
}

void TestCompareCalc::targetLowerBound()
{
    QFETCH(float, target);
    QFETCH(double, min);
    const Comparison c = build(march({70.5f, 60.2f}), march({60.0f, 55.5f}), target, 53.5f);
    const SeparateAxes ax = separateAxes(c, LowerBound::Target);
    QCOMPARE(ax.left, (AxisRange{min, 71.0}));
    QCOMPARE(ax.right, (AxisRange{53.0, 60.0}));
    // The automatic choice brings the floors back, the maxima never move.
    QCOMPARE(separateAxes(c, LowerBound::Automatic).left, (AxisRange{60.0, 71.0}));
    QCOMPARE(c.AutoFloor1, 60.0f);
}

void TestCompareCalc::flatRangeStaysFlat()
{
    // Just registered: weights within one tenth of a whole number.
    const Comparison c = build(march({70.0f, 70.05f}), march({60.0f}), 65, 55);
    QCOMPARE(c.autoLeft, (AxisRange{70.0, 70.0}));
    QCOMPARE(c.autoRight, (AxisRange{60.0, 60.0}));
    QCOMPARE(copyToSameAxisChart(c, LowerBound::Automatic).axis, (AxisRange{60.0, 70.0}));
    const SameAxisChart o = overlaySeries(c, LowerBound::Automatic);
    QCOMPARE(o.axis, (AxisRange{70.0, 70.0}));
    QCOMPARE(o.series2[0], std::optional<float>(70.0f));
    // Under the target the flat axis gets its height from the target.
    QCOMPARE(separateAxes(c, LowerBound::Target).left, (AxisRange{65.0, 70.0}));
}

void TestCompareCalc::sameAxisRealValues()
{
    const Comparison c = build(march({70.5f, 60.2f}), march({61.5f, 55.5f}), 62.0f, 58.6f);
    const SameAxisChart s = copyToSameAxisChart(c, LowerBound::Automatic);
    QCOMPARE(s.axis, (AxisRange{55.0, 71.0}));
    QCOMPARE(s.series1, c.series1);
    QCOMPARE(s.series2, c.series2);
    QCOMPARE(copyToSameAxisChart(c, LowerBound::Target).axis, (AxisRange{58.0, 71.0}));
    QCOMPARE(sameAxisChart(c, SameAxisView::RealValues, LowerBound::Automatic).axis, s.axis);
}

void TestCompareCalc::overlayLiftsLighterPerson_data()
{
    QTest::addColumn<Records>("r1");
    QTest::addColumn<Records>("r2");
    QTest::addColumn<QList<float>>("shown1");
    QTest::addColumn<QList<float>>("shown2");
    QTest::newRow("person 2 lighter") << march({80.0f, 79.0f}) << march({60.0f, 59.5f})
                                      << QList<float>{80.0f, 79.0f} << QList<float>{80.0f, 79.5f};
    QTest::newRow("person 1 lighter") << march({60.0f, 59.5f}) << march({80.0f, 79.0f})
                                      << QList<float>{80.0f, 79.5f} << QList<float>{80.0f, 79.0f};
    // The first day both have a value decides; person 2 starts later.
    QTest::newRow("first common day") << march({81.0f, 80.0f, 79.0f}) << march({0, 60.0f, 61.0f})
                                      << QList<float>{81.0f, 80.0f, 79.0f} << QList<float>{80.0f, 81.0f};
}

void TestCompareCalc::overlayLiftsLighterPerson()
{
    QFETCH(Records, r1);
    QFETCH(Records, r2);
    QFETCH(QList<float>, shown1);
    QFETCH(QList<float>, shown2);
    const Comparison c = build(r1, r2);
    const SameAxisChart o = sameAxisChart(c, SameAxisView::Overlaid, LowerBound::Automatic);
    QList<float> got1, got2;
    for (const auto &v : o.series1)
        if (v)
            got1.append(*v);
    for (const auto &v : o.series2)
        if (v)
            got2.append(*v);
    QCOMPARE(got1, shown1);
    QCOMPARE(got2, shown2);
    // The days before a first record stay empty.
    QCOMPARE(o.series2[0].has_value(), c.series2[0].has_value());
    // Real values again afterwards.
    QCOMPARE(copyToSameAxisChart(c, LowerBound::Automatic).series2, c.series2);
}

void TestCompareCalc::overlayAxisOfWorkedExample()
{
    // Left 60-71 (range 11), right 55-62 (range 7).
    const Comparison c = build(march({70.5f, 60.0f}), march({61.5f, 55.0f}));
    QCOMPARE(c.autoLeft, (AxisRange{60.0, 71.0}));
    QCOMPARE(c.autoRight, (AxisRange{55.0, 62.0}));
    QCOMPARE(overlaySeries(c, LowerBound::Automatic).axis, (AxisRange{60.0, 71.0}));
    QCOMPARE(copyToSameAxisChart(c, LowerBound::Automatic).axis, (AxisRange{55.0, 71.0}));
}

void TestCompareCalc::overlayWidensOnlyForCurveOutside()
{
    // Person 2 joins when person 1 is at 70 and is lifted by 14, then gains
    // 6: the lifted curve reaches 76 on an axis of 60 to 71.
    const Comparison out = build(march({70.5f, 70.0f, 60.0f}), march({0, 56.0f, 62.0f}));
    QCOMPARE(overlaySeries(out, LowerBound::Automatic).axis, (AxisRange{60.0, 76.0}));

    // Person 2 joins when person 1 is well under the top and is lifted to
    // 72, then loses 5: below the floor of 72.
    const Comparison below = build(march({80.0f, 72.0f, 72.0f}), march({0, 60.0f, 55.0f}));
    QCOMPARE(overlaySeries(below, LowerBound::Automatic).axis, (AxisRange{67.0, 80.0}));

    // A lifted 83.04 under a maximum of 83 is what the automatic axes allow
    // for real weights too: the axis stays as it is.
    const Comparison fits = build(march({80.0f, 83.0f}), march({60.0f, 63.04f}));
    const SameAxisChart o = overlaySeries(fits, LowerBound::Automatic);
    QVERIFY(*o.series2[1] > 83.0f);
    QCOMPARE(o.axis, (AxisRange{80.0, 83.0}));
}

void TestCompareCalc::overlayWithoutCommonDay()
{
    const Comparison c = build(march({70.0f, 69.0f}), {});
    const SameAxisChart o = overlaySeries(c, LowerBound::Automatic);
    QCOMPARE(o.series1, c.series1);
    QCOMPARE(o.axis, (AxisRange{69.0, 70.0}));
}

void TestCompareCalc::recordsOutOfDateOrder()
{
    // An older file converted as it was: 3/05 before 3/01 and 3/03.
    const Records r1 = {rec(QStringLiteral("2008/03/05"), 70.0f), rec(QStringLiteral("2008/03/01"), 71.0f),
                        rec(QStringLiteral("2008/03/03"), 69.0f)};
    const Comparison c = build(r1, {rec(QStringLiteral("2008/03/07"), 60.0f)});
    QCOMPARE(c.ComparisonStart, QStringLiteral("2008/03/01"));
    QCOMPARE(c.ComparisonEnd, QStringLiteral("2008/03/07"));
    QCOMPARE(c.averageRows.size(), 7);
    QCOMPARE(cell(c, 1, 2), QStringLiteral("71.0"));
    QCOMPARE(cell(c, 3, 2), QStringLiteral("69.0"));
    QCOMPARE(cell(c, 5, 2), QStringLiteral("70.0"));
    QCOMPARE(cell(c, 7, 3), QStringLiteral("60.0"));
    // From the first record to the last is negative: no days, no division
    // by zero.
    QCOMPARE(c.person1.elapsed, qint64(0));
    QCOMPARE(c.text1[2], QStringLiteral("08/03/05 → 0日"));
    QCOMPARE(c.text1[3], QStringLiteral("3.00 回 / 日"));
}

void TestCompareCalc::unreadableDateIsLeftOut()
{
    const Records r1 = {rec(QStringLiteral("2008/03/01"), 70.0f), rec(QStringLiteral("2008/3/2"), 69.0f),
                        rec(QStringLiteral("2008/03/03"), 68.0f)};
    const Comparison c = build(r1, march({60}));
    QCOMPARE(c.days, 3);
    QCOMPARE(cell(c, 2, 2), QString());
    QCOMPARE(c.text1[1], QStringLiteral("3 回  ( 75.0% )"));
}

void TestCompareCalc::personWithoutRecords()
{
    const Comparison c = build(march({70.0f, 69.0f}), {});
    QCOMPARE(c.days, 2);
    QCOMPARE(c.text2[0], QStringLiteral("たろう"));
    for (int i = 1; i < kTableRows; ++i) {
        QCOMPARE(c.text2[size_t(i)], QString());
        QCOMPARE(c.mark2[size_t(i)], false);
        QCOMPARE(c.mark1[size_t(i)], true);
    }
    QCOMPARE(c.autoRight, c.autoLeft);
    QCOMPARE(copyToSameAxisChart(c, LowerBound::Automatic).axis, (AxisRange{69.0, 70.0}));

    const Comparison none = build({}, {});
    QCOMPARE(none.days, 0);
    QVERIFY(none.averageRows.isEmpty());
    QCOMPARE(none.share1, 0.0f);
    QCOMPARE(overlaySeries(none, LowerBound::Target).axis, (AxisRange{0.0, 0.0}));
}

QTEST_GUILESS_MAIN(TestCompareCalc)
#include "test_compare_calc.moc"
