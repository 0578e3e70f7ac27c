// The computations of the analysis screen and the moving-average graph:
// the weight-series table, the milestones, the band ranking, the average
// trend, the graph's columns, axis and captions, and the window input.
#include "analysis/average_trend.h"
#include "analysis/band_ranking.h"
#include "analysis/milestones.h"
#include "analysis/series_table.h"
#include "analysis/texts.h"
#include "analysis/trend_graph.h"
#include "core/weight_series.h"
#include "records.h"
#include "store/format.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace analysis;
using testrec::daily;
using testrec::rec;

namespace {

WeightSeries seriesOf(const QList<float> &weights, const QString &firstDate = QStringLiteral("2008/01/01"))
{
    return buildWeightSeries(daily(firstDate, weights));
}

QStringList column(const TableFill &t, int c)
{
    QStringList out;
    for (const table::Row &r : t.rows)
        out.append(r.texts.at(c));
    return out;
}

// The ranking done the long way: every slot from
// floor(min) to floor(max) + 1 in single precision, a weight counted in
// the first slot with lower <= w < lower + width, then the exchange sort
// over all slots and a cut at the first empty one. Rows as "lower:count".
QStringList everySlotRanking(const QList<float> &weights, float width)
{
    float maxW = 0, minW = 999;
    for (float w : weights) {
        maxW = std::max(maxW, w);
        minW = std::min(minW, w);
    }
    const float top = std::floor(maxW) + 1;
    const float bottom = std::floor(minW);
    const int e = int((top - bottom) / width);
    QList<float> lower(e + 1);
    QList<int> count(e + 1, 0);
    for (int k = 0; k <= e; ++k)
        lower[k] = std::floor((bottom + float(k) * width) * 10 + 0.5f) / 10;
    for (float w : weights)
        for (int k = 0; k <= e; ++k)
            if (lower[k] <= w && w < lower[k] + width) {
                ++count[k];
                break;
            }
    for (int k = 0; k < e; ++k)
        for (int m = k + 1; m <= e; ++m)
            if (count[k] < count[m]) {
                std::swap(count[k], count[m]);
                std::swap(lower[k], lower[m]);
            }
    QStringList out;
    for (int k = 0; k <= e && count[k] > 0; ++k)
        out.append(QStringLiteral("%1:%2").arg(double(lower[k]), 0, 'f', 1).arg(count[k]));
    return out;
}

QStringList rankingRows(const BandRanking &r)
{
    QStringList out;
    for (const table::Row &row : r.rows)
        out.append(row.texts.at(1).section(u'～', 0, 0) + u':' + row.texts.at(2).chopped(1));
    return out;
}

} // namespace

class TestAnalysisCalc : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Weight-series table
    void seriesDifferences_data();
    void seriesDifferences();
    void seriesHalvesRoundUpwards();
    void seriesModeChangesOnlyTheLastColumn();
    void seriesScrollsFromNineRecords();

    // Milestones
    void milestonesWorkedExample();
    void milestonesSeveralStepsInOneRecord();
    void milestoneKeepsItsFirstDateAfterAGainBack();
    void milestonesNeverBelowTheStart();
    void milestoneDaysAcrossYearEndAndLeapDay();
    void milestonesListOnlyStepsReached();
    void milestoneExactHalfKiloIsReached();
    void milestonesOfAMistypedWeight();
    void milestonesOfADamagedWeightStop();
    void milestonesScrollFromNineRows();

    // Band ranking
    void bandsOfOneWeight();
    void bandEdges_data();
    void bandEdges();
    void bandsKeepWeightsBetweenTenths();
    void bandsEqualCountsInExchangeOrder_data();
    void bandsEqualCountsInExchangeOrder();
    void bandsMatchTheRankingOfEverySlot();
    void bandsOfAMistypedWeight();
    void bandsOfAWeightFarOutside();

    // Average trend
    void averageTrendExamples_data();
    void averageTrendExamples();
    void averagesAreWrittenBack();
    void streakCountsRecordsAndRestarts();
    void tinyRiseEndsTheStreak();
    void averageTrendScrollsFromEightRecords();

    // Moving-average graph
    void movingAverageStartsAtRecordW();
    void movingAverageOfWindowOneIsTheWeights();
    void movingAverageBeyondTheRecords();
    void movingAverageSumsEachWindowInSinglePrecision();
    void trendAxis_data();
    void trendAxis();
    void targetFloor();
    void trendCaptions();
    void trendCaptionsOfOneRecord();
    void trendCaptionsOfAGain();
    void windowInput_data();
    void windowInput();

    void emptySeriesFillsNothing();
    void reusedTextsMatchTheFormatter();
};

// ---------------------------------------------------------------- series

void TestAnalysisCalc::seriesDifferences_data()
{
    QTest::addColumn<QList<float>>("weights");
    QTest::addColumn<QStringList>("previous");
    QTest::addColumn<QStringList>("first");
    QTest::newRow("one record") << QList<float>{65.0f} << QStringList{"±0.0Kg"} << QStringList{"±0.0Kg"};
    QTest::newRow("worked example")
        << QList<float>{65.3f, 65.3f, 64.8f, 65.1f}
        << QStringList{"±0.0Kg", "±0.0Kg", "-0.5Kg", "+0.3Kg"}
        << QStringList{"±0.0Kg", "±0.0Kg", "-0.5Kg", "-0.2Kg"};
    // -0.04 comes to 0 at one decimal: no sign, no minus.
    QTest::newRow("to zero") << QList<float>{65.3f, 65.26f} << QStringList{"±0.0Kg", "±0.0Kg"}
                             << QStringList{"±0.0Kg", "±0.0Kg"};
    QTest::newRow("-0.26") << QList<float>{65.5f, 65.24f} << QStringList{"±0.0Kg", "-0.3Kg"}
                           << QStringList{"±0.0Kg", "-0.3Kg"};
}

void TestAnalysisCalc::seriesDifferences()
{
    QFETCH(QList<float>, weights);
    QFETCH(QStringList, previous);
    QFETCH(QStringList, first);
    const WeightSeries s = seriesOf(weights);
    QCOMPARE(column(FillSeriesTable(s, DiffMode::Previous), 3), previous);
    QCOMPARE(column(FillSeriesTable(s, DiffMode::First), 3), first);
}

// floor(x * 10 + 0.5) / 10 rounds halves upwards, unlike the formatter,
// which rounds them away from zero: -0.25 is -0.2, +0.25 is +0.3.
void TestAnalysisCalc::seriesHalvesRoundUpwards()
{
    const WeightSeries s = seriesOf({65.5f, 65.25f, 65.5f, 65.25f});
    QCOMPARE(column(FillSeriesTable(s, DiffMode::Previous), 3),
             (QStringList{"±0.0Kg", "-0.2Kg", "+0.3Kg", "-0.2Kg"}));
    QCOMPARE(column(FillSeriesTable(s, DiffMode::First), 3),
             (QStringList{"±0.0Kg", "-0.2Kg", "±0.0Kg", "-0.2Kg"}));
}

void TestAnalysisCalc::seriesModeChangesOnlyTheLastColumn()
{
    const WeightSeries s = buildWeightSeries(
        {rec("2007/12/31", 70), rec("2008/01/01", 69.4f), rec("2008/01/01", 69.9f)});
    const SeriesTable prev = FillSeriesTable(s, DiffMode::Previous);
    const SeriesTable first = FillSeriesTable(s, DiffMode::First);
    QCOMPARE(prev.diffHeader, QStringLiteral("前回差"));
    QCOMPARE(first.diffHeader, QStringLiteral("初回差"));
    QCOMPARE(prev.rows.at(2).texts, (QStringList{"3回目", "2008/01/01", "69.9Kg", "+0.5Kg"}));
    QCOMPARE(first.rows.at(2).texts, (QStringList{"3回目", "2008/01/01", "69.9Kg", "-0.1Kg"}));
    for (int c = 0; c < 3; ++c)
        QCOMPARE(column(prev, c), column(first, c));
}

void TestAnalysisCalc::seriesScrollsFromNineRecords()
{
    QVERIFY(!FillSeriesTable(seriesOf(QList<float>(8, 60)), DiffMode::Previous).scrollToEnd);
    QVERIFY(FillSeriesTable(seriesOf(QList<float>(9, 60)), DiffMode::Previous).scrollToEnd);
}

// ---------------------------------------------------------------- milestones

void TestAnalysisCalc::milestonesWorkedExample()
{
    const MilestoneTable t = FillMilestoneTable(seriesOf({70.0f, 69.6f, 69.4f, 68.9f, 69.5f, 68.4f}));
    QCOMPARE(t.rows.size(), 3);
    QCOMPARE(t.rows.at(0).texts, (QStringList{"0.5Kg減", "2008/01/03", "2日後", "2日後"}));
    QCOMPARE(t.rows.at(1).texts, (QStringList{"1.0Kg減", "2008/01/04", "3日後", "1日後"}));
    QCOMPARE(t.rows.at(2).texts, (QStringList{"1.5Kg減", "2008/01/06", "5日後", "2日後"}));
    QCOMPARE(t.caption, QStringLiteral("最高　1.6Kg減を達成してから　0日経過"));
}

void TestAnalysisCalc::milestonesSeveralStepsInOneRecord()
{
    const MilestoneTable t = FillMilestoneTable(seriesOf({70.0f, 69.4f, 69.9f, 68.4f}));
    QCOMPARE(column(t, 0), (QStringList{"0.5Kg減", "1.0Kg減", "1.5Kg減"}));
    QCOMPARE(column(t, 1), (QStringList{"2008/01/02", "2008/01/04", "2008/01/04"}));
    QCOMPARE(column(t, 2), (QStringList{"1日後", "3日後", "3日後"}));
    QCOMPARE(column(t, 3), (QStringList{"1日後", "2日後", "0日後"}));

    // Reached by the start day itself: 0日後 throughout.
    const MilestoneTable same = FillMilestoneTable(buildWeightSeries(
        {rec("2008/01/01", 70), rec("2008/01/01", 69.0f)}));
    QCOMPARE(column(same, 2), (QStringList{"0日後", "0日後"}));
    QCOMPARE(column(same, 3), (QStringList{"0日後", "0日後"}));
}

void TestAnalysisCalc::milestoneKeepsItsFirstDateAfterAGainBack()
{
    const MilestoneTable t = FillMilestoneTable(seriesOf({70.0f, 69.5f, 70.3f, 69.2f, 68.8f}));
    QCOMPARE(t.rows.at(0).texts, (QStringList{"0.5Kg減", "2008/01/02", "1日後", "1日後"}));
    QCOMPARE(t.rows.at(1).texts, (QStringList{"1.0Kg減", "2008/01/05", "4日後", "3日後"}));
    QCOMPARE(t.rows.size(), 2);
}

void TestAnalysisCalc::milestonesNeverBelowTheStart()
{
    const MilestoneTable t = FillMilestoneTable(seriesOf({70.0f, 70.4f, 71.0f, 70.0f}));
    QVERIFY(t.rows.isEmpty());
    QVERIFY(!t.scrollToEnd);
    // The lowest weight is the start record itself.
    QCOMPARE(t.caption, QStringLiteral("最高　0.0Kg減を達成してから　3日経過"));
}

void TestAnalysisCalc::milestoneDaysAcrossYearEndAndLeapDay()
{
    const MilestoneTable t = FillMilestoneTable(buildWeightSeries(
        {rec("2007/12/30", 80), rec("2008/01/02", 79.5f), rec("2008/02/28", 79.0f),
         rec("2008/03/01", 78.5f), rec("2008/03/05", 79.0f)}));
    QCOMPARE(column(t, 2), (QStringList{"3日後", "60日後", "62日後"}));
    QCOMPARE(column(t, 3), (QStringList{"3日後", "57日後", "2日後"}));
    QCOMPARE(t.caption, QStringLiteral("最高　1.5Kg減を達成してから　4日経過"));
}

// A best loss of 0.96 shows 1.0 at one decimal, but only the 0.5 kg step
// has been reached: no row waits for a step that nothing fills.
void TestAnalysisCalc::milestonesListOnlyStepsReached()
{
    const MilestoneTable t = FillMilestoneTable(seriesOf({70.0f, 69.3f, 69.04f}));
    QCOMPARE(t.rows.size(), 1);
    QCOMPARE(t.rows.at(0).texts, (QStringList{"0.5Kg減", "2008/01/02", "1日後", "1日後"}));
    QCOMPARE(t.caption, QStringLiteral("最高　1.0Kg減を達成してから　0日経過"));
}

// 64.2 - 63.7 is 0.49999619 in single precision; the step counts in whole
// hundredths, so an exact half kilo is reached.
void TestAnalysisCalc::milestoneExactHalfKiloIsReached()
{
    const MilestoneTable t = FillMilestoneTable(seriesOf({64.2f, 63.7f, 63.2f}));
    QCOMPARE(column(t, 0), (QStringList{"0.5Kg減", "1.0Kg減"}));
    QCOMPARE(column(t, 1), (QStringList{"2008/01/02", "2008/01/03"}));
}

// 7.2 typed for 72: a loss of 64.8 kg, 129 steps, all reached by that one
// record; no fixed number of steps limits the table.
void TestAnalysisCalc::milestonesOfAMistypedWeight()
{
    const MilestoneTable t = FillMilestoneTable(seriesOf({72.0f, 71.4f, 7.2f, 71.0f}));
    QCOMPARE(t.rows.size(), 129);
    QCOMPARE(t.rows.at(0).texts, (QStringList{"0.5Kg減", "2008/01/02", "1日後", "1日後"}));
    QCOMPARE(t.rows.at(1).texts, (QStringList{"1.0Kg減", "2008/01/03", "2日後", "1日後"}));
    QCOMPARE(t.rows.at(128).texts, (QStringList{"64.5Kg減", "2008/01/03", "2日後", "0日後"}));
    QVERIFY(t.scrollToEnd);
    QCOMPARE(t.caption, QStringLiteral("最高　64.8Kg減を達成してから　1日経過"));
}

void TestAnalysisCalc::milestonesOfADamagedWeightStop()
{
    for (float damaged : {-3e38f, -1e9f, 0.0f}) {
        const MilestoneTable t = FillMilestoneTable(seriesOf({3e38f, damaged}));
        QCOMPARE(t.rows.size(), kMaxMilestoneSteps);
        QCOMPARE(t.rows.last().texts.at(0), QStringLiteral("1000.0Kg減"));
    }
}

void TestAnalysisCalc::milestonesScrollFromNineRows()
{
    QVERIFY(!FillMilestoneTable(seriesOf({70.0f, 66.0f})).scrollToEnd); // 8 steps
    QVERIFY(FillMilestoneTable(seriesOf({70.0f, 65.5f})).scrollToEnd);  // 9 steps
}

// ---------------------------------------------------------------- bands

void TestAnalysisCalc::bandsOfOneWeight()
{
    const BandRanking r = FillBandRanking(seriesOf({65, 65, 65}), BandWidth::OneKg);
    QCOMPARE(r.frameCaption, QStringLiteral("    体重推移累積番付 < 1.0Kg刻み >"));
    QCOMPARE(r.rows.size(), 1);
    QCOMPARE(r.rows.at(0).texts, (QStringList{"1位", "65.0～65.9Kg", "3回", ""}));
    QVERIFY(!r.scrollToEnd);
}

void TestAnalysisCalc::bandEdges_data()
{
    QTest::addColumn<QList<float>>("weights");
    QTest::addColumn<bool>("halfKg");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::newRow("0.5: 64.5, 64.9, 65.0")
        << QList<float>{64.5f, 64.9f, 65.0f} << true
        << QList<QStringList>{{"1位", "64.5～64.9Kg", "2回", ""}, {"2位", "65.0～65.4Kg", "1回", "1回"}};
    QTest::newRow("1.0: 64.5, 64.9, 65.0")
        << QList<float>{64.5f, 64.9f, 65.0f} << false
        << QList<QStringList>{{"1位", "64.0～64.9Kg", "2回", ""}, {"2位", "65.0～65.9Kg", "1回", "1回"}};
    // A whole weight opens its band in both widths, even as the highest
    // weight (whose band is the last one that can hold a weight).
    QTest::newRow("0.5: 65.0 highest")
        << QList<float>{65.0f, 65.0f, 64.4f} << true
        << QList<QStringList>{{"1位", "65.0～65.4Kg", "2回", ""}, {"2位", "64.0～64.4Kg", "1回", "1回"}};
    QTest::newRow("1.0: 66.0 lowest")
        << QList<float>{66.0f, 66.9f, 67.0f} << false
        << QList<QStringList>{{"1位", "66.0～66.9Kg", "2回", ""}, {"2位", "67.0～67.9Kg", "1回", "1回"}};
}

void TestAnalysisCalc::bandEdges()
{
    QFETCH(QList<float>, weights);
    QFETCH(bool, halfKg);
    QFETCH(QList<QStringList>, rows);
    const BandRanking r = FillBandRanking(seriesOf(weights), halfKg ? BandWidth::HalfKg : BandWidth::OneKg);
    QCOMPARE(r.rows.size(), rows.size());
    for (int i = 0; i < rows.size(); ++i)
        QCOMPARE(r.rows.at(i).texts, rows.at(i));
}

// Weights with two decimals just below a bound belong to the band below
// it; none is left out of the ranking.
void TestAnalysisCalc::bandsKeepWeightsBetweenTenths()
{
    const WeightSeries s = seriesOf({64.99f, 64.95f, 64.49f, 65.0f});
    const BandRanking half = FillBandRanking(s, BandWidth::HalfKg);
    QCOMPARE(column(half, 1), (QStringList{"64.5～64.9Kg", "64.0～64.4Kg", "65.0～65.4Kg"}));
    QCOMPARE(column(half, 2), (QStringList{"2回", "1回", "1回"}));
    const BandRanking one = FillBandRanking(s, BandWidth::OneKg);
    QCOMPARE(column(one, 1), (QStringList{"64.0～64.9Kg", "65.0～65.9Kg"}));
    QCOMPARE(column(one, 2), (QStringList{"3回", "1回"}));
    QCOMPARE(one.frameCaption, QStringLiteral("    体重推移累積番付 < 1.0Kg刻み >"));
    QCOMPARE(half.frameCaption, QStringLiteral("    体重推移累積番付 < 0.5Kg刻み >"));
}

void TestAnalysisCalc::bandsEqualCountsInExchangeOrder_data()
{
    QTest::addColumn<QList<float>>("weights");
    QTest::addColumn<bool>("halfKg");
    QTest::addColumn<QStringList>("ranges");
    QTest::addColumn<QStringList>("counts");
    QTest::addColumn<QStringList>("gaps");
    // Counts 2, 1, 2, 3 for bands 64, 65, 66, 67: the band 66 goes before
    // the band 64 although their counts are equal.
    QTest::newRow("1.0")
        << QList<float>{64.1f, 64.8f, 65.5f, 66.0f, 66.3f, 67.0f, 67.2f, 67.9f} << false
        << QStringList{"67.0～67.9Kg", "66.0～66.9Kg", "64.0～64.9Kg", "65.0～65.9Kg"}
        << QStringList{"3回", "2回", "2回", "1回"} << QStringList{"", "1回", "0回", "1回"};
    QTest::newRow("0.5")
        << QList<float>{64.1f, 64.4f, 64.5f, 65.0f, 65.3f, 65.5f, 65.7f, 65.9f} << true
        << QStringList{"65.5～65.9Kg", "65.0～65.4Kg", "64.0～64.4Kg", "64.5～64.9Kg"}
        << QStringList{"3回", "2回", "2回", "1回"} << QStringList{"", "1回", "0回", "1回"};
    // Empty bands in between take part in the exchanges without changing
    // the order: 1, 0, 2, 1, 3 ranks 3, 2, then the later 1 before the earlier.
    QTest::newRow("1.0 with a gap")
        << QList<float>{60.5f, 62.0f, 62.5f, 63.1f, 64.0f, 64.2f, 64.4f} << false
        << QStringList{"64.0～64.9Kg", "62.0～62.9Kg", "63.0～63.9Kg", "60.0～60.9Kg"}
        << QStringList{"3回", "2回", "1回", "1回"} << QStringList{"", "1回", "1回", "0回"};
}

void TestAnalysisCalc::bandsEqualCountsInExchangeOrder()
{
    QFETCH(QList<float>, weights);
    QFETCH(bool, halfKg);
    QFETCH(QStringList, ranges);
    QFETCH(QStringList, counts);
    QFETCH(QStringList, gaps);
    const BandRanking r = FillBandRanking(seriesOf(weights), halfKg ? BandWidth::HalfKg : BandWidth::OneKg);
    QCOMPARE(column(r, 0), (QStringList{"1位", "2位", "3位", "4位"}));
    QCOMPARE(column(r, 1), ranges);
    QCOMPARE(column(r, 2), counts);
    QCOMPARE(column(r, 3), gaps);
}

// Only visited bands are sorted; the long way sorts every slot.
// Both must rank alike, ties included.
void TestAnalysisCalc::bandsMatchTheRankingOfEverySlot()
{
    QRandomGenerator rng(20080101);
    for (int round = 0; round < 300; ++round) {
        const int n = 1 + int(rng.bounded(60));
        const int spread = 1 + int(rng.bounded(round % 3 == 0 ? 40 : 8)); // tenths or whole kg
        QList<float> weights;
        for (int i = 0; i < n; ++i)
            weights.append(float(600 + int(rng.bounded(spread * 10))) / 10.0f);
        const WeightSeries s = seriesOf(weights);
        QCOMPARE(rankingRows(FillBandRanking(s, BandWidth::OneKg)), everySlotRanking(weights, 1.0f));
        QCOMPARE(rankingRows(FillBandRanking(s, BandWidth::HalfKg)), everySlotRanking(weights, 0.5f));
    }
}

// 7.2 typed for 72 passes the weight check; the bands reach down to it.
void TestAnalysisCalc::bandsOfAMistypedWeight()
{
    const WeightSeries s = seriesOf({72.0f, 72.4f, 7.2f, 71.8f});
    const BandRanking half = FillBandRanking(s, BandWidth::HalfKg);
    QCOMPARE(column(half, 1), (QStringList{"72.0～72.4Kg", "71.5～71.9Kg", "7.0～7.4Kg"}));
    QCOMPARE(column(half, 2), (QStringList{"2回", "1回", "1回"}));
    QCOMPARE(rankingRows(half), everySlotRanking(s.weights, 0.5f));
}

void TestAnalysisCalc::bandsOfAWeightFarOutside()
{
    const BandRanking r =
        FillBandRanking(seriesOf({61.0f, 60.2f, 61.5f, 1e7f, 1e7f, 61.2f}), BandWidth::HalfKg);
    QCOMPARE(column(r, 1), (QStringList{"61.0～61.4Kg", "10000000.0～10000000.4Kg", "61.5～61.9Kg",
                                        "60.0～60.4Kg"}));
    QCOMPARE(column(r, 2), (QStringList{"2回", "2回", "1回", "1回"}));
    QCOMPARE(column(r, 3), (QStringList{"", "0回", "1回", "0回"}));
}

// ---------------------------------------------------------------- average trend

void TestAnalysisCalc::averageTrendExamples_data()
{
    QTest::addColumn<QList<float>>("weights");
    QTest::addColumn<QStringList>("averages");
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QString>("caption");
    QTest::newRow("one record") << QList<float>{65.4f} << QStringList{"65.400Kg"} << QStringList{"0g"}
                                << QStringLiteral("平均を上回ってしまいました...");
    QTest::newRow("falling") << QList<float>{66, 65, 64} << QStringList{"66.000Kg", "65.500Kg", "65.000Kg"}
                             << QStringList{"0g", "-500g", "-500g"}
                             << QStringLiteral("連続ﾏｲﾅｽ記録 2日間達成！");
    QTest::newRow("rising last") << QList<float>{66, 65, 67}
                                 << QStringList{"66.000Kg", "65.500Kg", "66.000Kg"}
                                 << QStringList{"0g", "-500g", "+500g"}
                                 << QStringLiteral("平均を上回ってしまいました...");
    QTest::newRow("unchanged") << QList<float>{66, 66} << QStringList{"66.000Kg", "66.000Kg"}
                               << QStringList{"0g", "±0g"} << QStringLiteral("連続ﾏｲﾅｽ記録 1日間達成！");
}

void TestAnalysisCalc::averageTrendExamples()
{
    QFETCH(QList<float>, weights);
    QFETCH(QStringList, averages);
    QFETCH(QStringList, changes);
    QFETCH(QString, caption);
    WeightSeries s = seriesOf(weights);
    const AverageTrend t = FillAverageTrend(s);
    QCOMPARE(column(t, 2), averages);
    QCOMPARE(column(t, 3), changes);
    QCOMPARE(t.caption, caption);
    QCOMPARE(t.rows.at(0).texts.at(0), QStringLiteral("1回目"));
    QCOMPARE(t.rows.last().texts.at(1), fmt::number(weights.last(), u"0.0Kg"));
}

void TestAnalysisCalc::averagesAreWrittenBack()
{
    WeightSeries s = seriesOf({66, 65, 64, 69});
    FillAverageTrend(s);
    QCOMPARE(s.averages, (QList<float>{66.0f, 65.5f, 65.0f, 66.0f}));
}

// The run counts records, not days: three weighings of one day make three,
// and a record that raises the average starts it again.
void TestAnalysisCalc::streakCountsRecordsAndRestarts()
{
    QList<WeightRecord> records = {rec("2008/01/01", 70), rec("2008/01/02", 69), rec("2008/01/02", 68.5f),
                                   rec("2008/01/02", 68)};
    WeightSeries s = buildWeightSeries(records);
    QCOMPARE(FillAverageTrend(s).caption, QStringLiteral("連続ﾏｲﾅｽ記録 3日間達成！"));

    records << rec("2008/01/03", 75);
    s = buildWeightSeries(records);
    QCOMPARE(FillAverageTrend(s).caption, QStringLiteral("平均を上回ってしまいました..."));

    records << rec("2008/01/04", 68) << rec("2008/01/04", 68);
    s = buildWeightSeries(records);
    const AverageTrend t = FillAverageTrend(s);
    QCOMPARE(t.caption, QStringLiteral("連続ﾏｲﾅｽ記録 2日間達成！"));
    QCOMPARE(column(t, 3).mid(4), (QStringList{"+1225g", "-350g", "-250g"}));
}

// A change too small to show still has its sign: +0g, and the run ends.
void TestAnalysisCalc::tinyRiseEndsTheStreak()
{
    WeightSeries s = seriesOf({66, 65, 65.5001f});
    const AverageTrend t = FillAverageTrend(s);
    QCOMPARE(t.rows.at(2).texts.at(3), QStringLiteral("+0g"));
    QCOMPARE(t.caption, QStringLiteral("平均を上回ってしまいました..."));
}

void TestAnalysisCalc::averageTrendScrollsFromEightRecords()
{
    WeightSeries seven = seriesOf(QList<float>(7, 60));
    WeightSeries eight = seriesOf(QList<float>(8, 60));
    QVERIFY(!FillAverageTrend(seven).scrollToEnd);
    QVERIFY(FillAverageTrend(eight).scrollToEnd);
}

// ---------------------------------------------------------------- graph

void TestAnalysisCalc::movingAverageStartsAtRecordW()
{
    const TrendChart c = RedrawMovingAverage(seriesOf({66, 65, 64, 63}), 3);
    QCOMPARE(c.weights, (ChartValues{66.0f, 65.0f, 64.0f, 63.0f}));
    QCOMPARE(c.movingAverage, (ChartValues{std::nullopt, std::nullopt, 65.0f, 64.0f}));
}

void TestAnalysisCalc::movingAverageOfWindowOneIsTheWeights()
{
    const WeightSeries s = seriesOf({66.1f, 65.3f, 64.7f, 63.9f, 70.2f, 61.1f, 60.3f, 59.9f, 59.7f, 60.1f});
    const TrendChart c = RedrawMovingAverage(s, 1);
    QCOMPARE(c.movingAverage, c.weights);
}

// Fewer records than the window, a window beyond any count, and a window
// that names no whole number of records: no average line at all.
void TestAnalysisCalc::movingAverageBeyondTheRecords()
{
    const WeightSeries s = seriesOf({66, 65, 64});
    for (int w : {4, 30, std::numeric_limits<int>::max(), 0, -1}) {
        const TrendChart c = RedrawMovingAverage(s, w);
        QCOMPARE(c.movingAverage, ChartValues(3));
        QCOMPARE(c.weights.size(), 3);
    }
    QCOMPARE(RedrawMovingAverage(s, 3).movingAverage, (ChartValues{std::nullopt, std::nullopt, 65.0f}));
    QCOMPARE(RedrawMovingAverage(s, movingAverageWindow(u"99999999999")).movingAverage, ChartValues(3));
}

// Each window is summed in single precision from its first record on and
// divided in double precision: bit for bit what summing every window
// afresh gives, at every window and every position (a running sum drifts).
void TestAnalysisCalc::movingAverageSumsEachWindowInSinglePrecision()
{
    QRandomGenerator rng(7);
    QList<float> weights;
    for (int i = 0; i < 500; ++i)
        weights.append(float(550 + int(rng.bounded(300))) / 10.0f);
    const WeightSeries s = seriesOf(weights, QStringLiteral("1990/01/01"));
    bool runningSumDrifts = false;
    for (int w : {1, 2, 3, 7, 8, 9, 10, 17, 30, 45, 250, 499, 500}) {
        const ChartValues got = RedrawMovingAverage(s, w).movingAverage;
        float running = 0;
        for (int i = 0; i < weights.size(); ++i) {
            running += weights.at(i);
            if (i >= w)
                running -= weights.at(i - w);
            if (i + 1 < w) {
                QVERIFY(!got.at(i).has_value());
                continue;
            }
            float sum = 0;
            for (int j = i - w + 1; j <= i; ++j)
                sum += weights.at(j);
            const float expected = float(double(sum) / w);
            QVERIFY2(got.at(i) == expected, qPrintable(QStringLiteral("window %1, row %2").arg(w).arg(i + 1)));
            if (float(double(running) / w) != expected)
                runningSumDrifts = true;
        }
    }
    QVERIFY(runningSumDrifts); // so the test above can tell the two apart
}

void TestAnalysisCalc::trendAxis_data()
{
    QTest::addColumn<QList<float>>("weights");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::newRow("70.0") << QList<float>{70.0f, 66.5f} << 66.0 << 70.0;
    QTest::newRow("70.5") << QList<float>{70.5f, 66.5f} << 66.0 << 71.0;
    QTest::newRow("70.1 in single precision") << QList<float>{70.1f, 65.9f} << 65.0 << 70.0;
}

void TestAnalysisCalc::trendAxis()
{
    QFETCH(QList<float>, weights);
    QFETCH(double, min);
    QFETCH(double, max);
    const WeightSeries s = seriesOf(weights);
    QCOMPARE(analysis::trendAxis(s, 50.0f, false), (AxisRange{min, max}));
    QCOMPARE(DrawTrendGraph(s, 10, 50.0f, false).axis, (AxisRange{min, max}));
}

void TestAnalysisCalc::targetFloor()
{
    const WeightSeries s = seriesOf({72.3f, 70.1f, 68.8f});
    // On: the floor is the target; off again: the lowest weight.
    QCOMPARE(analysis::trendAxis(s, 60.5f, true), (AxisRange{60, 73}));
    QCOMPARE(analysis::trendAxis(s, 60.5f, false), (AxisRange{68, 73}));
    QCOMPARE(DrawTrendGraph(s, 3, 60.5f, true).axis, (AxisRange{60, 73}));
    QCOMPARE(DrawTrendGraph(s, 3, 60.5f, true).mokuChkBack, palette::kOrange);
    QCOMPARE(DrawTrendGraph(s, 3, 60.5f, false).mokuChkBack, palette::kDefault);
    QCOMPARE(targetButtonBack(true), palette::kOrange);
    QCOMPARE(targetButtonBack(false), palette::kDefault);

    // A target above every weight would turn the axis upside down, and one
    // at its top would leave it empty: the top is raised above the floor.
    QCOMPARE(analysis::trendAxis(s, 80.0f, true), (AxisRange{80, 81}));
    QCOMPARE(analysis::trendAxis(s, 73.0f, true), (AxisRange{73, 74}));
    QCOMPARE(analysis::trendAxis(s, 72.9f, true), (AxisRange{72, 73}));
    QCOMPARE(analysis::trendAxis(s, 80.0f, false), (AxisRange{68, 73}));
}

void TestAnalysisCalc::trendCaptions()
{
    const WeightSeries s = buildWeightSeries(
        {rec("2008/01/05", 70.5f), rec("2008/02/10", 65.2f), rec("2008/02/29", 65.2f), rec("2008/03/01", 66)});
    const TrendGraph g = DrawTrendGraph(s, 2, 67.5f, false);
    QCOMPARE(g.lblNichis, QStringLiteral("2008/01/05 ( 70.5Kg ) でスタート ～ 2008/03/01 ( 66Kg ) まで "
                                         "56日経過 _ 4.5Kg 減"));
    QCOMPARE(g.lblKiro, QStringLiteral("最小記録 2008/02/10 の 65.2Kg   初日から 5.3Kg 減"));
    QCOMPARE(g.cmdMokuChk, QStringLiteral("目標まで残り　-1.5Kg"));
    QCOMPARE(g.chart.movingAverage, (ChartValues{std::nullopt, float(double(70.5f + 65.2f) / 2), 65.2f,
                                                 float(double(65.2f + 66.0f) / 2)}));
}

void TestAnalysisCalc::trendCaptionsOfOneRecord()
{
    const TrendGraph g = DrawTrendGraph(seriesOf({68.3f}), 10, 60, false);
    QCOMPARE(g.lblNichis, QStringLiteral("2008/01/01 ( 68.3Kg ) でスタート ～ 2008/01/01 ( 68.3Kg ) まで "
                                         "0日経過 _ 0.0Kg 同"));
    QCOMPARE(g.lblKiro, QStringLiteral("最小記録 2008/01/01 の 68.3Kg   初日から 0.0Kg 同"));
    QCOMPARE(g.cmdMokuChk, QStringLiteral("目標まで残り　8.3Kg"));
    QCOMPARE(g.chart.movingAverage, ChartValues(1));
}

void TestAnalysisCalc::trendCaptionsOfAGain()
{
    const TrendGraph g = DrawTrendGraph(seriesOf({68.0f, 67.5f, 69.2f}), 10, 60, false);
    QVERIFY2(g.lblNichis.endsWith(QStringLiteral("2日経過 _ 1.2Kg 増")), qPrintable(g.lblNichis));
    QVERIFY2(g.lblKiro.endsWith(QStringLiteral("初日から 0.5Kg 減")), qPrintable(g.lblKiro));
}

void TestAnalysisCalc::windowInput_data()
{
    using A = WindowInput::Action;
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("window");
    QTest::newRow("empty") << "" << int(A::Nothing) << 0;
    QTest::newRow("1") << "1" << int(A::Accept) << 1;
    QTest::newRow("30") << "30" << int(A::Accept) << 30;
    QTest::newRow("45 beyond the list") << "45" << int(A::Accept) << 45;
    QTest::newRow("2.0") << "2.0" << int(A::Accept) << 2;
    QTest::newRow("leading number") << " 12日" << int(A::Accept) << 12;
    QTest::newRow("beyond int") << "99999999999" << int(A::Accept) << std::numeric_limits<int>::max();
    QTest::newRow("0") << "0" << int(A::Refuse) << 0;
    QTest::newRow("2.5") << "2.5" << int(A::Refuse) << 0;
    QTest::newRow("0.5") << "0.5" << int(A::Refuse) << 0;
    QTest::newRow("negative") << "-3" << int(A::Refuse) << 0;
    QTest::newRow("no number") << "abc" << int(A::Refuse) << 0;
    QTest::newRow("blank") << " " << int(A::Refuse) << 0;
}

void TestAnalysisCalc::windowInput()
{
    QFETCH(QString, text);
    QFETCH(int, action);
    QFETCH(int, window);
    const WindowInput in = readWindowInput(text);
    QCOMPARE(int(in.action), action);
    QCOMPARE(in.window, window);
    QCOMPARE(movingAverageWindow(text), window);
}

void TestAnalysisCalc::emptySeriesFillsNothing()
{
    WeightSeries s;
    QVERIFY(FillSeriesTable(s, DiffMode::First).rows.isEmpty());
    QVERIFY(FillMilestoneTable(s).rows.isEmpty());
    QVERIFY(FillBandRanking(s, BandWidth::HalfKg).rows.isEmpty());
    QVERIFY(FillAverageTrend(s).rows.isEmpty());
    const TrendGraph g = DrawTrendGraph(s, 5, 60, true);
    QVERIFY(g.chart.weights.isEmpty() && g.lblNichis.isEmpty() && g.cmdMokuChk.isEmpty());
}

// The tables reuse a text made for an equal rounded value; every text
// must still be what the formatter gives, above all next to half-way
// points, where a float and its shortest decimal form round apart.
void TestAnalysisCalc::reusedTextsMatchTheFormatter()
{
    struct Pattern {
        QString text;
        int decimals;
    };
    const QList<Pattern> patterns = {{"0g", 0}, {"0.0Kg", 1}, {"0.000Kg", 3}};
    QRandomGenerator rng(12);
    QList<float> values = {0.0f, -0.0f, 0.5f, -0.5f, 2.5f, -2.5f, 0.05f, 0.0005f, 65.4995f, 65.0005f,
                           -1234.5f, 3e38f, -3e38f, 1e-30f, 16777217.0f};
    for (int i = 0; i < 20000; ++i) {
        const double scale = std::pow(10.0, int(rng.bounded(8)) - 3);
        values.append(float((rng.generateDouble() - 0.5) * 2000 * scale));
    }
    // Floats around the half-way points of every pattern.
    for (int k = -3000; k < 3000; k += 7)
        for (double unit : {1.0, 0.1, 0.001}) {
            float v = float((k + 0.5) * unit);
            for (int step = 0; step < 3; ++step) {
                values << v << -v;
                v = std::nextafter(v, 0.0f);
            }
            v = float((k + 0.5) * unit);
            for (int step = 0; step < 3; ++step) {
                v = std::nextafter(v, 1e30f);
                values << v << -v;
            }
        }
    for (const Pattern &p : patterns) {
        texts::RoundedTexts reused(p.text, p.decimals);
        for (float v : values)
            QCOMPARE(reused(v), fmt::number(v, p.text));
    }
    QCOMPARE(texts::counted(0, u"日後"), QStringLiteral("0日後"));
    QCOMPARE(texts::counted(-12, u"回"), QStringLiteral("-12回"));
    QCOMPARE(texts::counted(32767, u"回目"), QStringLiteral("32767回目"));
}

QTEST_GUILESS_MAIN(TestAnalysisCalc)
#include "test_analysis_calc.moc"
