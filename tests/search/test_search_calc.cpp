// The search screen's computations: the criteria and their buttons, the
// period buttons' spans, which listing runs, and the listings themselves
// with their differences, marks, BMI, obesity degree, scrolling and chart.
#include "records.h"
#include "search/search_criteria.h"
#include "search/search_results.h"

#include <QtTest>

using namespace search;
using testrec::daily;
using testrec::rec;

namespace {

const QDate kToday(2008, 3, 10);

// Column 1 (the date) of every row.
QStringList listedDates(const Result &r)
{
    QStringList out;
    for (const table::Row &row : r.rows)
        out.append(row.texts.value(1));
    return out;
}

QStringList column(const Result &r, int col)
{
    QStringList out;
    for (const table::Row &row : r.rows)
        out.append(row.texts.value(col));
    return out;
}

// 2008/03/03 (Monday) to 2008/03/16 (Sunday), two records a day: "朝" and,
// in turn, "朝食後" or "夜".
QList<WeightRecord> twoWeeks()
{
    QList<WeightRecord> out;
    QDate d(2008, 3, 3);
    for (int i = 0; i < 14; ++i, d = d.addDays(1)) {
        const QString date = d.toString(QStringLiteral("yyyy/MM/dd"));
        out.append(rec(date, 60.0f + float(i) / 10.0f, QStringLiteral("朝")));
        out.append(rec(date, 60.5f + float(i) / 10.0f, i % 2 ? QStringLiteral("夜") : QStringLiteral("朝食後")));
    }
    return out;
}

// The yellow buttons, by name.
QStringList chosenButtons(const Criteria &c)
{
    const ButtonColours b = buttonColours(c);
    QStringList out;
    const auto add = [&](const QString &name, Rgb colour) {
        if (colour == palette::kYellow)
            out.append(name);
        else
            QCOMPARE(colour, palette::kDefault);
    };
    add(QStringLiteral("cmdAllact"), b.cmdAllact);
    add(QStringLiteral("cmdAllWeek"), b.cmdAllWeek);
    for (int i = 0; i < 7; ++i)
        add(QStringLiteral("cmdWeek_%1").arg(i), b.cmdWeek[size_t(i)]);
    add(QStringLiteral("cmdAllDay"), b.cmdAllDay);
    for (int i = 0; i < 9; ++i)
        add(QStringLiteral("cmdKikan%1").arg(i), b.cmdKikan[size_t(i)]);
    add(QStringLiteral("cmdKikanF"), b.cmdKikanF);
    return out;
}

} // namespace

Q_DECLARE_METATYPE(search::PeriodButton)
Q_DECLARE_METATYPE(search::Listing)

class TestSearchCalc : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Criteria
    void periodButtonSpans_data();
    void periodButtonSpans();
    void periodBoundaryListed_data();
    void periodBoundaryListed();
    void allDayFromOwnFirstRecordToToday();
    void listingChoice_data();
    void listingChoice();
    void chosenButtonsFollowHandlers();
    void openingLeavesNoOldCriteria();

    // Listings
    void filtersCombine();
    void noMatchGivesEmptyResult();
    void oneMatch();
    void differencesAgainstListedRows();
    void marksOnDisplayedDifference_data();
    void marksOnDisplayedDifference();
    void bmiAndObesity_data();
    void bmiAndObesity();
    void rowTexts();
    void scrollsBeyondNineRows();
    void chartAndAxis_data();
    void chartAndAxis();
    void allRecordsPeriodLists();
    void fullFileListsEveryRecord();
    void gridLayout();
};

void TestSearchCalc::periodButtonSpans_data()
{
    QTest::addColumn<PeriodButton>("button");
    QTest::addColumn<QString>("first");

    QTest::newRow("前日") << PeriodButton::Kikan1 << "2008/03/09";
    QTest::newRow("３日") << PeriodButton::Kikan8 << "2008/03/08";
    QTest::newRow("１週間") << PeriodButton::Kikan2 << "2008/03/03";
    QTest::newRow("２週間") << PeriodButton::Kikan3 << "2008/02/25";
    QTest::newRow("１ヶ月 across the leap day") << PeriodButton::Kikan4 << "2008/02/09";
    QTest::newRow("３ヶ月") << PeriodButton::Kikan5 << "2007/12/11";
    QTest::newRow("半年") << PeriodButton::Kikan6 << "2007/09/12";
    QTest::newRow("１年") << PeriodButton::Kikan7 << "2007/03/11";
}

void TestSearchCalc::periodButtonSpans()
{
    QFETCH(PeriodButton, button);
    QFETCH(QString, first);

    Criteria c;
    c.cboStdate = QStringLiteral("1999/01/01");
    choosePeriod(c, button, kToday, {});
    QCOMPARE(c.cboStdate, first);
    QCOMPARE(c.cboEddate, QStringLiteral("2008/03/10"));
}

void TestSearchCalc::periodBoundaryListed_data()
{
    QTest::addColumn<PeriodButton>("button");
    QTest::addColumn<int>("days");
    for (PeriodButton b : {PeriodButton::Kikan1, PeriodButton::Kikan8, PeriodButton::Kikan2,
                           PeriodButton::Kikan3, PeriodButton::Kikan4, PeriodButton::Kikan5,
                           PeriodButton::Kikan6, PeriodButton::Kikan7})
        QTest::addRow("%d days", periodDays(b) + 1) << b << periodDays(b) + 1;
}

void TestSearchCalc::periodBoundaryListed()
{
    QFETCH(PeriodButton, button);
    QFETCH(int, days);

    // One record a day from 400 days back to the day after today.
    const QList<WeightRecord> records =
        daily(QStringLiteral("2007/02/03"), QList<float>(int(QDate(2007, 2, 3).daysTo(kToday)) + 2, 60.0f));
    Criteria c;
    choosePeriod(c, button, kToday, records);
    const Result r = runSearch(records, c, 170);
    QCOMPARE(r.rows.size(), days);
    QCOMPARE(r.rows.first().texts[1], c.cboStdate);
    QCOMPARE(r.rows.last().texts[1], QStringLiteral("2008/03/10"));
}

void TestSearchCalc::allDayFromOwnFirstRecordToToday()
{
    // The criteria still hold the other person's earlier first day.
    Criteria c;
    c.cboStdate = QStringLiteral("2001/01/01");
    c.cboEddate = QStringLiteral("2001/12/31");
    const QList<WeightRecord> own{rec(QStringLiteral("2008/02/20"), 61.0f),
                                  rec(QStringLiteral("2008/03/10"), 60.0f),
                                  rec(QStringLiteral("2008/03/11"), 59.0f)};
    choosePeriod(c, PeriodButton::AllDay, kToday, own);
    QCOMPARE(c.cboStdate, QStringLiteral("2008/02/20"));
    QCOMPARE(c.cboEddate, QStringLiteral("2008/03/10"));
    QCOMPARE(chosenButtons(c), (QStringList{QStringLiteral("cmdAllWeek"), QStringLiteral("cmdAllDay")}));
    // Both ends are included; a day saved after today is not.
    QCOMPARE(listedDates(runSearch(own, c, 170)),
             (QStringList{QStringLiteral("2008/02/20"), QStringLiteral("2008/03/10")}));

    // "任意" keeps whatever the boxes hold.
    c.cboStdate = QStringLiteral("2008/03/11");
    c.cboEddate = QStringLiteral("2008/03/11");
    choosePeriod(c, PeriodButton::KikanF, kToday, own);
    QCOMPARE(c.cboStdate, QStringLiteral("2008/03/11"));
    QCOMPARE(listedDates(runSearch(own, c, 170)), QStringList{QStringLiteral("2008/03/11")});
}

void TestSearchCalc::listingChoice_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("weekday");
    QTest::addColumn<Listing>("listing");

    QTest::newRow("all") << "" << kAllWeekdays << Listing::ByPeriod;
    QTest::newRow("situation") << "朝" << kAllWeekdays << Listing::BySituation;
    QTest::newRow("a blank is text") << " " << kAllWeekdays << Listing::BySituation;
    QTest::newRow("Sunday") << "" << 0 << Listing::ByWeekday;
    QTest::newRow("Saturday") << "" << 6 << Listing::ByWeekday;
    QTest::newRow("both") << "夜" << 3 << Listing::BySituationAndWeekday;
}

void TestSearchCalc::listingChoice()
{
    QFETCH(QString, key);
    QFETCH(int, weekday);
    QFETCH(Listing, listing);
    Criteria c;
    c.txtKey = key;
    c.SearchWeekday = weekday;
    QCOMPARE(chooseListing(c), listing);
}

void TestSearchCalc::chosenButtonsFollowHandlers()
{
    const QList<WeightRecord> records = twoWeeks();
    Criteria c = openingCriteria(records);

    chooseWeekday(c, 1);
    QCOMPARE(chosenButtons(c), (QStringList{QStringLiteral("cmdAllact"), QStringLiteral("cmdWeek_1"),
                                            QStringLiteral("cmdAllDay")}));
    // A period button keeps the weekday.
    choosePeriod(c, PeriodButton::Kikan4, kToday, records);
    QCOMPARE(c.SearchWeekday, 1);
    QCOMPARE(chosenButtons(c), (QStringList{QStringLiteral("cmdAllact"), QStringLiteral("cmdWeek_1"),
                                            QStringLiteral("cmdKikan4")}));

    pickSituation(c, QStringLiteral("夜"));
    QCOMPARE(c.txtKey, QStringLiteral("夜"));
    QCOMPARE(chosenButtons(c), (QStringList{QStringLiteral("cmdWeek_1"), QStringLiteral("cmdKikan4")}));

    // Clicking into the box empties it; Enter then lists every situation
    // but leaves "全部" unchosen.
    focusKey(c);
    QCOMPARE(c.txtKey, QString());
    enterKey(c, QString());
    QCOMPARE(chooseListing(c), Listing::ByWeekday);
    QVERIFY(!chosenButtons(c).contains(QStringLiteral("cmdAllact")));

    // "全部" for the weekday keeps the situation and the period.
    enterKey(c, QStringLiteral("朝"));
    chooseAllWeekdays(c);
    QCOMPARE(c.txtKey, QStringLiteral("朝"));
    QCOMPARE(c.period, PeriodButton::Kikan4);
    QCOMPARE(chosenButtons(c), (QStringList{QStringLiteral("cmdAllWeek"), QStringLiteral("cmdKikan4")}));

    chooseAllSituations(c);
    choosePeriod(c, PeriodButton::KikanF, kToday, records);
    QCOMPARE(c.txtKey, QString());
    QCOMPARE(chosenButtons(c), (QStringList{QStringLiteral("cmdAllact"), QStringLiteral("cmdAllWeek"),
                                            QStringLiteral("cmdKikanF")}));
}

void TestSearchCalc::openingLeavesNoOldCriteria()
{
    const QList<WeightRecord> records = twoWeeks();
    Criteria old;
    old.txtKey = QStringLiteral("夜");
    old.SearchWeekday = 3;
    old.cboStdate = QStringLiteral("2008/03/05");
    old.cboEddate = QStringLiteral("2008/03/06");
    old.period = PeriodButton::Kikan2;

    const Opening o = openingState(records, 170);
    QCOMPARE(o.criteria.txtKey, QString());
    QCOMPARE(o.criteria.SearchWeekday, kAllWeekdays);
    QCOMPARE(o.criteria.cboStdate, QStringLiteral("2008/03/03"));
    QCOMPARE(o.criteria.cboEddate, QStringLiteral("2008/03/16"));
    QCOMPARE(chosenButtons(o.criteria), (QStringList{QStringLiteral("cmdAllact"), QStringLiteral("cmdAllWeek"),
                                                     QStringLiteral("cmdAllDay")}));
    QVERIFY(o.criteria != old);
    QCOMPARE(o.listing.result.rows.size(), records.size());
    // What is shown is what filters: the next search without a change
    // lists the same records.
    QCOMPARE(listedDates(runSearch(records, o.criteria, 170)), listedDates(o.listing.result));

    // A switch to a person without records.
    const Opening none = openingState({}, 170);
    QCOMPARE(none.criteria.cboStdate, QString());
    QVERIFY(none.listing.result.rows.isEmpty());
}

void TestSearchCalc::filtersCombine()
{
    const QList<WeightRecord> records = twoWeeks();
    Criteria c = openingCriteria(records);
    c.cboStdate = QStringLiteral("2008/03/04");
    c.cboEddate = QStringLiteral("2008/03/15");

    // "朝" is contained in "朝食後" too; "夜" is not matched.
    // Tuesdays 03/04 ("朝", "夜") and 03/11 ("朝", "朝食後").
    enterKey(c, QStringLiteral("朝"));
    chooseWeekday(c, 2);
    Result r = runSearch(records, c, 170);
    QCOMPARE(listedDates(r), (QStringList{QStringLiteral("2008/03/04"), QStringLiteral("2008/03/11"),
                                          QStringLiteral("2008/03/11")}));
    QCOMPARE(column(r, 3), (QStringList{QStringLiteral("朝"), QStringLiteral("朝"), QStringLiteral("朝食後")}));
    // Monday 03/03 lies before the period.
    chooseWeekday(c, 1);
    QCOMPARE(listedDates(runSearch(records, c, 170)), (QStringList{QStringLiteral("2008/03/10")}));

    // Wednesday 03/05 and 03/12: "朝食後" falls on even days from 03/03.
    enterKey(c, QStringLiteral("朝食後"));
    chooseWeekday(c, 3);
    r = runSearch(records, c, 170);
    QCOMPARE(listedDates(r), (QStringList{QStringLiteral("2008/03/05")}));

    chooseWeekday(c, 2); // Tuesday 03/04 (odd: "夜") and 03/11 (even)
    QCOMPARE(listedDates(runSearch(records, c, 170)), (QStringList{QStringLiteral("2008/03/11")}));

    // Weekday and period without a situation.
    chooseAllSituations(c);
    chooseWeekday(c, 0);
    QCOMPARE(listedDates(runSearch(records, c, 170)),
             (QStringList{QStringLiteral("2008/03/09"), QStringLiteral("2008/03/09")}));

    // Exact, case- and width-sensitive text.
    enterKey(c, QStringLiteral("ｱｻ"));
    chooseAllWeekdays(c);
    QVERIFY(runSearch(records + QList<WeightRecord>{rec(QStringLiteral("2008/03/15"), 60.0f, QStringLiteral("アサ"))},
                      c, 170).rows.isEmpty());
}

void TestSearchCalc::noMatchGivesEmptyResult()
{
    const QList<WeightRecord> records = twoWeeks();
    Criteria c = openingCriteria(records);

    const auto checkEmpty = [](const Result &r) {
        QVERIFY(r.rows.isEmpty());
        QVERIFY(r.chart.isEmpty());
        QVERIFY(!r.scrollToEnd);
        QVERIFY(r.axis.min < r.axis.max);
    };

    enterKey(c, QStringLiteral("昼"));
    checkEmpty(runSearch(records, c, 170));
    // The axis keeps the scale of the person's weights (60.0 .. 61.8).
    QCOMPARE(runSearch(records, c, 170).axis, (AxisRange{60, 62}));

    // A first day after the last day.
    chooseAllSituations(c);
    c.cboStdate = QStringLiteral("2008/03/10");
    c.cboEddate = QStringLiteral("2008/03/09");
    checkEmpty(runSearch(records, c, 170));
    // A typed text that is no date.
    c.cboStdate = QStringLiteral("きのう");
    checkEmpty(runSearch(records, c, 170));

    const AllRecords none = listAllRecords({}, 170);
    checkEmpty(none.result);
    QCOMPARE(none.result.axis, (AxisRange{0, 1}));
    QVERIFY(none.periodDates.isEmpty());
}

void TestSearchCalc::oneMatch()
{
    const QList<WeightRecord> records = twoWeeks();
    Criteria c = openingCriteria(records);
    enterKey(c, QStringLiteral("夜"));
    chooseWeekday(c, 2); // Tuesday 03/04 is "夜"; 03/11 is not
    const Result r = runSearch(records, c, 170);
    QCOMPARE(r.rows.size(), 1);
    const table::Row &row = r.rows.first();
    QCOMPARE(row.texts[0], QStringLiteral("1"));
    QCOMPARE(row.texts[1], QStringLiteral("2008/03/04"));
    QCOMPARE(row.texts[4], QStringLiteral("60.6Kg"));
    QCOMPARE(row.texts[5], QStringLiteral("0.0Kg"));
    QCOMPARE(row.texts[6], QStringLiteral("→"));
    QCOMPARE(row.texts[7], QStringLiteral("0.0Kg"));
    QCOMPARE(row.texts[8], QStringLiteral("→"));
    QCOMPARE(row.backs[6], palette::kYellow);
    QCOMPARE(row.backs[8], palette::kYellow);
    QCOMPARE(r.chart, (ChartValues{60.6f}));
    QCOMPARE(r.axis, (AxisRange{60, 61}));
}

void TestSearchCalc::differencesAgainstListedRows()
{
    // The listed rows are the "夜" ones; the file has other records between.
    const QList<WeightRecord> records{
        rec(QStringLiteral("2008/03/01"), 70.0f, QStringLiteral("朝")),
        rec(QStringLiteral("2008/03/01"), 65.0f, QStringLiteral("夜")),
        rec(QStringLiteral("2008/03/02"), 50.0f, QStringLiteral("朝")),
        rec(QStringLiteral("2008/03/02"), 64.0f, QStringLiteral("夜")),
        rec(QStringLiteral("2008/03/03"), 80.0f, QStringLiteral("朝")),
        rec(QStringLiteral("2008/03/03"), 64.5f, QStringLiteral("夜")),
    };
    Criteria c = openingCriteria(records);
    enterKey(c, QStringLiteral("夜"));
    const Result r = runSearch(records, c, 170);
    QCOMPARE(column(r, 0), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    QCOMPARE(column(r, 5), (QStringList{QStringLiteral("0.0Kg"), QStringLiteral("-1.0Kg"), QStringLiteral("0.5Kg")}));
    QCOMPARE(column(r, 6), (QStringList{QStringLiteral("→"), QStringLiteral("↓"), QStringLiteral("↑")}));
    QCOMPARE(column(r, 7), (QStringList{QStringLiteral("0.0Kg"), QStringLiteral("-1.0Kg"), QStringLiteral("-0.5Kg")}));
    QCOMPARE(column(r, 8), (QStringList{QStringLiteral("→"), QStringLiteral("↓"), QStringLiteral("↓")}));
    QCOMPARE(r.rows[1].backs[6], palette::kGreen);
    QCOMPARE(r.rows[2].backs[6], palette::kRed);
    QCOMPARE(r.rows[2].backs[8], palette::kGreen);
    // Only the two mark cells are coloured.
    for (int col : {0, 1, 2, 3, 4, 5, 7, 9, 10})
        QCOMPARE(r.rows[2].backs.value(col), palette::kDefault);
}

void TestSearchCalc::marksOnDisplayedDifference_data()
{
    QTest::addColumn<float>("second");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<Rgb>("back");

    QTest::newRow("+0.04") << 65.04f << "0.0Kg" << "→" << palette::kYellow;
    QTest::newRow("+0.06") << 65.06f << "0.1Kg" << "↑" << palette::kRed;
    QTest::newRow("-0.04") << 64.96f << "0.0Kg" << "→" << palette::kYellow;
    QTest::newRow("-0.06") << 64.94f << "-0.1Kg" << "↓" << palette::kGreen;
}

void TestSearchCalc::marksOnDisplayedDifference()
{
    QFETCH(float, second);
    QFETCH(QString, shown);
    QFETCH(QString, mark);
    QFETCH(Rgb, back);

    const Result r = listAllRecords(daily(QStringLiteral("2008/03/01"), {65.0f, second}), 170).result;
    const table::Row &row = r.rows[1];
    QCOMPARE(row.texts[5], shown);
    QCOMPARE(row.texts[6], mark);
    QCOMPARE(row.backs[6], back);
    QCOMPARE(row.texts[7], shown);
    QCOMPARE(row.texts[8], mark);
    QCOMPARE(row.backs[8], back);
}

void TestSearchCalc::bmiAndObesity_data()
{
    QTest::addColumn<float>("height");
    QTest::addColumn<float>("weight");
    QTest::addColumn<QString>("bmi");
    QTest::addColumn<QString>("obesity");

    // Standard weight at 170 cm: 22 × 1.7² = 63.58 kg.
    QTest::newRow("above standard") << 170.0f << 65.0f << "22.5" << "2.2%";
    QTest::newRow("below standard") << 170.0f << 60.0f << "20.8" << "-5.6%";
    QTest::newRow("just below standard") << 170.0f << 63.5f << "22.0" << "-0.1%";
    QTest::newRow("no height") << 0.0f << 65.0f << "" << "";
}

void TestSearchCalc::bmiAndObesity()
{
    QFETCH(float, height);
    QFETCH(float, weight);
    QFETCH(QString, bmi);
    QFETCH(QString, obesity);

    const Result r = listAllRecords({rec(QStringLiteral("2008/03/01"), weight)}, height).result;
    QCOMPARE(r.rows[0].texts[9], bmi);
    QCOMPARE(r.rows[0].texts[10], obesity);
}

void TestSearchCalc::rowTexts()
{
    const QList<WeightRecord> records{rec(QStringLiteral("2008/03/08"), 64.25f, QStringLiteral("お風呂前")),
                                      rec(QStringLiteral("2008/03/09"), 64.0f, QStringLiteral("21:05:00")),
                                      rec(QStringLiteral("2008/03/10"), 63.9f)};
    const Result r = listAllRecords(records, 170).result;
    QCOMPARE(r.rows[0].texts.size(), kResultColumns);
    QCOMPARE(r.rows[0].texts.mid(0, 5), (QStringList{QStringLiteral("1"), QStringLiteral("2008/03/08"),
                                                     QStringLiteral("土"), QStringLiteral("お風呂前"),
                                                     QStringLiteral("64.3Kg")}));
    QCOMPARE(column(r, 2), (QStringList{QStringLiteral("土"), QStringLiteral("日"), QStringLiteral("月")}));
    QCOMPARE(r.rows[1].texts[3], QStringLiteral("21:05:00"));
}

void TestSearchCalc::scrollsBeyondNineRows()
{
    QVERIFY(!listAllRecords(daily(QStringLiteral("2008/03/01"), QList<float>(8, 60.0f)), 170).result.scrollToEnd);
    QVERIFY(listAllRecords(daily(QStringLiteral("2008/03/01"), QList<float>(9, 60.0f)), 170).result.scrollToEnd);
}

void TestSearchCalc::chartAndAxis_data()
{
    QTest::addColumn<QList<float>>("weights");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");

    QTest::newRow("63.7 .. 65.3") << QList<float>{64.0f, 63.7f, 65.3f} << 63.0 << 66.0;
    QTest::newRow("65.0, 64.2, 64.9") << QList<float>{65.0f, 64.2f, 64.9f} << 64.0 << 65.0;
    // In double, 65.1 + 0.9 falls short of 66 and the point would be cut.
    QTest::newRow("top 65.1") << QList<float>{64.5f, 65.1f} << 64.0 << 66.0;
    QTest::newRow("more decimals") << QList<float>{64.0f, 65.05f} << 64.0 << 66.0;
    QTest::newRow("one whole weight") << QList<float>{64.0f} << 64.0 << 65.0;
}

void TestSearchCalc::chartAndAxis()
{
    QFETCH(QList<float>, weights);
    QFETCH(double, min);
    QFETCH(double, max);

    const Result r = listAllRecords(daily(QStringLiteral("2008/03/01"), weights), 170).result;
    ChartValues expected;
    for (float w : weights)
        expected.append(w);
    QCOMPARE(r.chart, expected);
    QCOMPARE(r.axis, (AxisRange{min, max}));
}

void TestSearchCalc::allRecordsPeriodLists()
{
    const QList<WeightRecord> records = twoWeeks();
    const AllRecords all = listAllRecords(records, 170);
    QCOMPARE(all.periodDates.size(), 14);
    QCOMPARE(all.periodDates.first(), QStringLiteral("2008/03/03"));
    QCOMPARE(all.periodDates.last(), QStringLiteral("2008/03/16"));
    QStringList distinct = all.periodDates;
    QCOMPARE(distinct.removeDuplicates(), 0);
    QCOMPARE(all.cboStdate, QStringLiteral("2008/03/03"));
    QCOMPARE(all.cboEddate, QStringLiteral("2008/03/16"));
    QCOMPARE(all.result.rows.size(), 28);
}

void TestSearchCalc::fullFileListsEveryRecord()
{
    // The most records a file may hold: more than a 16-bit counter reaches.
    QList<WeightRecord> records;
    records.reserve(kMaxRecords);
    QDate d(1990, 1, 1);
    for (int i = 0; i < kMaxRecords; ++i) {
        if (i % 3 == 0)
            d = d.addDays(1);
        records.append(rec(d.toString(QStringLiteral("yyyy/MM/dd")), 60.0f + float(i % 100) / 10.0f));
    }
    const Opening o = openingState(records, 170);
    const Result &r = o.listing.result;
    QCOMPARE(r.rows.size(), kMaxRecords);
    QCOMPARE(r.chart.size(), kMaxRecords);
    QCOMPARE(r.rows.last().texts[0], QString::number(kMaxRecords));
    QCOMPARE(r.rows.last().texts[1], records.last().date);
    QCOMPARE(o.listing.periodDates.size(), (kMaxRecords + 2) / 3);
    QVERIFY(r.scrollToEnd);
    QCOMPARE(r.axis, (AxisRange{60, 70}));
    QCOMPARE(runSearch(records, o.criteria, 170).rows.size(), kMaxRecords);
}

void TestSearchCalc::gridLayout()
{
    const table::Columns c = resultColumns();
    QCOMPARE(c.size(), kResultColumns);
    QStringList headers;
    QList<int> widths;
    for (const table::Column &col : c) {
        headers.append(col.header);
        widths.append(col.twips);
    }
    QCOMPARE(headers, (QStringList{"回", "日付け", "曜", "行動", "体重", "前回差", "差", "初回差", "差", "ＢＭＩ", "肥満度"}));
    QCOMPARE(widths, (QList<int>{600, 1200, 365, 1665, 800, 780, 350, 800, 350, 570, 700}));
    QCOMPARE(c[0].align, table::Align::Center);
    QCOMPARE(c[3].align, table::Align::Left);
    QCOMPARE(c[4].align, table::Align::Right);
    QCOMPARE(kResultFixedCols, 1);
}

QTEST_GUILESS_MAIN(TestSearchCalc)
#include "test_search_calc.moc"
