// The computations of the weight screen: the day list and its marks, the
// summary and faces, the chart range, the BMI meters with their scroll bar,
// and the checks and steps of weight input.
#include "core/bmi.h"
#include "entry/day_chart.h"
#include "entry/day_view.h"
#include "entry/weight_entry.h"
#include "store/format.h"

#include "records.h"

#include <QtTest>

#include <limits>

using namespace entry;

namespace {

using testrec::rec;

// A scroll bar that, like the real one, runs the meter's handler inside
// setValue only when the value changes.
class FakeScroll final : public ScrollPort {
public:
    explicit FakeScroll(int start) : v(start) {}
    int value() const override { return v; }
    void setValue(int nv) override
    {
        if (nv == v)
            return;
        v = nv;
        ++notifications;
        if (meter)
            meter->SimulateBmi();
    }
    // The user drags the bar.
    void slide(int nv) { setValue(nv); }

    int v;
    int notifications = 0;
    BmiMeter *meter = nullptr;
};

bool hasNonFinite(const QString &t)
{
    return t.contains(QLatin1String("inf"), Qt::CaseInsensitive)
           || t.contains(QLatin1String("nan"), Qt::CaseInsensitive);
}

} // namespace


class TestEntryCalc : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dayWithoutMeasurements();
    void startDayComparesWithItself();
    void firstRowComparesWithRecordDaysBack();
    void marksFollowDisplayedChange_data();
    void marksFollowDisplayedChange();
    void rowColumnsAndColours();
    void faceFollowsDayFirstToLast_data();
    void faceFollowsDayFirstToLast();
    void gridScrollsBeyondNineRows();
    void summaryCaptions_data();
    void summaryCaptions();
    void heightZeroGivesNoInfiniteText();
    void entryCountColoursAndFaces_data();
    void entryCountColoursAndFaces();

    void chartRange_data();
    void chartRange();
    void markerCycle();

    void bmiCategoryBounds_data();
    void bmiCategoryBounds();
    void meterShowsLatestBmi();
    void scrollRoundsHalvesToEven();
    void meterBelowSeventeen();
    void meterAboveThirtyTwo();
    void slidingTheBar();
    void refreshAfterBarMoved();
    void refreshWithBarUnchanged();
    void dayRefreshAloneKeepsFormulaWeight();
    void personWithoutRecordsChangesNothing();
    void meterWithoutHeight();

    void saveChecksInOrder_data();
    void saveChecksInOrder();
    void stepping_data();
    void stepping();
    void stepSizes_data();
    void stepSizes();
    void saveDayInWords();
    void recordAndPrompt();
};

// ---- day view -------------------------------------------------------------

void TestEntryCalc::dayWithoutMeasurements()
{
    const QList<WeightRecord> recs = {rec("2008/03/01", 74.5f), rec("2008/03/05", 73.0f),
                                      rec("2008/03/08", 72.4f)};
    const DayView v = buildDayView(recs, "2008/03/10", 170);
    QVERIFY(v.rows.isEmpty());
    QVERIFY(v.chartPoints.isEmpty());
    QCOMPARE(v.face, DayFace::None);
    QCOMPARE(v.values.LatestWeight, 72.4f);
    QCOMPARE(v.values.LatestWeightDate, QString("2008/03/08"));
    QCOMPARE(v.values.LastFileDate, QString("2008/03/08"));
    QCOMPARE(v.values.RecordCount, 3);
    QCOMPARE(v.lblDspNissuu, QString("08/03/01 → 7日経過"));
    QVERIFY(dayChartRange(v.values, int(v.chartPoints.size())).empty);
}

void TestEntryCalc::startDayComparesWithItself()
{
    const QList<WeightRecord> recs = {rec("2008/03/01", 74.5f), rec("2008/03/01", 74.8f),
                                      rec("2008/03/02", 74.0f)};
    const DayView v = buildDayView(recs, "2008/03/01", 170);
    QCOMPARE(v.rows.size(), 2);
    QCOMPARE(v.rows[0].texts[3], QString("0.0Kg"));
    QCOMPARE(v.rows[0].texts[4], QString("→"));
    QCOMPARE(v.rows[0].backs[4], palette::kYellow);
    QCOMPARE(v.rows[1].texts[3], QString("0.3Kg"));
    QCOMPARE(v.rows[1].texts[4], QString("↑"));
    QCOMPARE(v.values.LatestWeight, 74.8f);
    QCOMPARE(v.values.LastFileWeight, 74.0f);
}

void TestEntryCalc::firstRowComparesWithRecordDaysBack()
{
    const QList<WeightRecord> recs = {rec("2008/03/01", 74.5f), rec("2008/03/02", 74.0f),
                                      rec("2008/03/06", 73.6f), rec("2008/03/06", 73.9f),
                                      rec("2008/03/07", 73.0f)};
    const DayView v = buildDayView(recs, "2008/03/06", 170);
    QCOMPARE(v.rows.size(), 2);
    QCOMPARE(v.rows[0].texts[3], QString("-0.4Kg"));
    QCOMPARE(v.rows[0].texts[4], QString("↓"));
    QCOMPARE(v.rows[0].texts[5], QString("0.0Kg"));
    QCOMPARE(v.rows[1].texts[3], QString("0.3Kg"));
    QCOMPARE(v.rows[1].texts[5], QString("0.3Kg"));
    QCOMPARE(v.values.DayFirstWeight, 73.6f);
    QCOMPARE(v.values.LatestWeightDate, QString("2008/03/06"));
    QCOMPARE(v.lblDspNissuu, QString("08/03/01 → 5日経過"));
}

void TestEntryCalc::marksFollowDisplayedChange_data()
{
    QTest::addColumn<float>("before");
    QTest::addColumn<float>("after");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<Rgb>("back");
    QTest::newRow("0.04 shows no change") << 65.0f << 65.04f << "0.0Kg" << "→" << palette::kYellow;
    QTest::newRow("-0.06 shows a loss") << 65.0f << 64.94f << "-0.1Kg" << "↓" << palette::kGreen;
    QTest::newRow("-0.03 has no minus") << 65.0f << 64.97f << "0.0Kg" << "→" << palette::kYellow;
    QTest::newRow("gain") << 65.0f << 65.3f << "0.3Kg" << "↑" << palette::kRed;
}

void TestEntryCalc::marksFollowDisplayedChange()
{
    QFETCH(float, before);
    QFETCH(float, after);
    QFETCH(QString, shown);
    QFETCH(QString, mark);
    QFETCH(Rgb, back);
    const DayView v =
        buildDayView({rec("2008/03/01", 70.0f), rec("2008/03/02", before), rec("2008/03/03", after)},
                     "2008/03/03", 170);
    QCOMPARE(v.rows.size(), 1);
    QCOMPARE(v.rows[0].texts[3], shown);
    QCOMPARE(v.rows[0].texts[4], mark);
    QCOMPARE(v.rows[0].backs[4], back);
    QCOMPARE(changeMark(shown).text, mark);
    QCOMPARE(changeMark("-0.0Kg").text, QString("→"));
}

void TestEntryCalc::rowColumnsAndColours()
{
    const DayView v = buildDayView({rec("2008/03/01", 66.0f), rec("2008/03/02", 65.0f, "朝食前")},
                                   "2008/03/02", 170);
    QCOMPARE(v.rows.size(), 1);
    const DayListRow &r = v.rows[0];
    QCOMPARE(r.texts, QStringList({"1", "朝食前", "65.0Kg", "-1.0Kg", "↓", "0.0Kg", "→", "22.5",
                                   "2.2%"}));
    QCOMPARE(r.backs, QList<Rgb>({0, 0, 0, 0, palette::kGreen, 0, palette::kYellow, 0, 0}));
    QCOMPARE(v.chartPoints, (ChartValues{std::optional<float>(65.0f)}));
    QCOMPARE(dayListHeaders().size(), kDayListColumns);
    QCOMPARE(dayListWidths().size(), kDayListColumns);
    QCOMPARE(dayListColumns().size(), kDayListColumns);
}

void TestEntryCalc::faceFollowsDayFirstToLast_data()
{
    QTest::addColumn<QList<float>>("weights");
    QTest::addColumn<DayFace>("face");
    QTest::newRow("one measurement smiles") << QList<float>{65.0f} << DayFace::Smile;
    QTest::newRow("up sulks") << QList<float>{65.0f, 65.4f} << DayFace::Sulk;
    // The last change is a gain, but the day as a whole went down.
    QTest::newRow("day down laughs") << QList<float>{65.0f, 64.0f, 64.5f} << DayFace::Laugh;
    QTest::newRow("back to start smiles") << QList<float>{65.0f, 64.0f, 65.0f} << DayFace::Smile;
}

void TestEntryCalc::faceFollowsDayFirstToLast()
{
    QFETCH(QList<float>, weights);
    QFETCH(DayFace, face);
    QList<WeightRecord> recs = {rec("2008/03/01", 70.0f)};
    for (float w : weights)
        recs << rec("2008/03/04", w);
    QCOMPARE(buildDayView(recs, "2008/03/04", 170).face, face);
}

void TestEntryCalc::gridScrollsBeyondNineRows()
{
    QList<WeightRecord> recs = {rec("2008/03/01", 70.0f)};
    for (int i = 0; i < 8; ++i)
        recs << rec("2008/03/02", 65.0f + float(i) / 10);
    DayView v = buildDayView(recs, "2008/03/02", 170);
    QCOMPARE(v.rows.size(), 8);
    QVERIFY(!v.scrollToEnd);
    QCOMPARE(v.rows[7].texts[0], QString("8"));
    recs << rec("2008/03/02", 66.0f);
    v = buildDayView(recs, "2008/03/02", 170);
    QCOMPARE(v.rows.size(), 9);
    QVERIFY(v.scrollToEnd);
    QCOMPARE(v.values.DayRowNo, 10);
}

void TestEntryCalc::summaryCaptions_data()
{
    QTest::addColumn<float>("latest");
    QTest::addColumn<QString>("tai");
    QTest::addColumn<QString>("word");
    QTest::newRow("loss") << 73.2f << "74.5Kg → 1.3Kg 減" << " 減";
    QTest::newRow("same") << 74.5f << "74.5Kg → 0.0Kg 同" << " 同";
    QTest::newRow("tiny gain still 増") << 74.52f << "74.5Kg → 0.0Kg 増" << " 増";
}

void TestEntryCalc::summaryCaptions()
{
    QFETCH(float, latest);
    QFETCH(QString, tai);
    QFETCH(QString, word);
    const DayView v = buildDayView({rec("2003/11/08", 74.5f), rec("2003/12/08", latest)},
                                   "2003/12/08", 170);
    QCOMPARE(v.lblDspTai, tai);
    QVERIFY2(v.lblDspBmi.startsWith("25.8 → ") && v.lblDspBmi.endsWith(word), qPrintable(v.lblDspBmi));
    QVERIFY2(v.lblDspHiman.startsWith("17.2% → ") && v.lblDspHiman.endsWith(word),
             qPrintable(v.lblDspHiman));
    QCOMPARE(v.lblDspNissuu, QString("03/11/08 → 30日経過"));
}

void TestEntryCalc::heightZeroGivesNoInfiniteText()
{
    const QList<WeightRecord> recs = {rec("2008/03/01", 74.5f), rec("2008/03/02", 73.0f)};
    const DayView v = buildDayView(recs, "2008/03/02", 0);
    QCOMPARE(v.rows.size(), 1);
    QCOMPARE(v.rows[0].texts[2], QString("73.0Kg"));
    QVERIFY(v.rows[0].texts[7].isEmpty());
    QVERIFY(v.rows[0].texts[8].isEmpty());
    QVERIFY(v.lblDspBmi.isEmpty());
    QVERIFY(v.lblDspHiman.isEmpty());
    QVERIFY(v.values.LatestObesity.isEmpty());
    QCOMPARE(v.values.LatestBmi, 0.0f);
    QCOMPARE(v.lblDspTai, QString("74.5Kg → 1.5Kg 減"));
    for (const QString &t : v.rows[0].texts)
        QVERIFY(!hasNonFinite(t));
}

void TestEntryCalc::entryCountColoursAndFaces_data()
{
    QTest::addColumn<int>("c1");
    QTest::addColumn<int>("c2");
    QTest::addColumn<Rgb>("back1");
    QTest::addColumn<Rgb>("back2");
    QTest::addColumn<int>("face1");
    QTest::addColumn<int>("face2");
    QTest::newRow("2/2 tie") << 2 << 2 << palette::kYellow << palette::kYellow << 2 << 2;
    QTest::newRow("0/3") << 0 << 3 << palette::kRed << palette::kGreen << 0 << 3;
    QTest::newRow("5/1") << 5 << 1 << palette::kGreen << palette::kRed << 3 << 1;
}

void TestEntryCalc::entryCountColoursAndFaces()
{
    QFETCH(int, c1);
    QFETCH(int, c2);
    const EntryCounts e = entryCounts(c1, c2);
    QTEST(e.back1, "back1");
    QTEST(e.back2, "back2");
    QTEST(e.face1, "face1");
    QTEST(e.face2, "face2");
    QCOMPARE(countOnDay({rec("2008/03/01", 1), rec("2008/03/02", 1), rec("2008/03/02", 1)},
                        "2008/03/02"),
             2);
}

// ---- chart of the day -----------------------------------------------------

void TestEntryCalc::chartRange_data()
{
    QTest::addColumn<QList<float>>("weights");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::newRow("65.3 and 64.8") << QList<float>{65.3f, 64.8f} << 64 << 66;
    QTest::newRow("70.0 to 70.5") << QList<float>{70.0f, 70.2f, 70.5f} << 70 << 71;
    QTest::newRow("70.1 stays inside") << QList<float>{70.1f} << 70 << 71;
    QTest::newRow("exactly 70 has a height") << QList<float>{70.0f} << 70 << 71;
    QTest::newRow("70.05 below the top") << QList<float>{70.05f} << 70 << 71;
    QTest::newRow("69.5 and 70.1") << QList<float>{69.5f, 70.1f} << 69 << 71;
    QTest::newRow("69.5 and 70.05") << QList<float>{69.5f, 70.05f} << 69 << 71;
}

void TestEntryCalc::chartRange()
{
    QFETCH(QList<float>, weights);
    QList<WeightRecord> recs = {rec("2008/03/01", 60.0f)};
    for (float w : weights)
        recs << rec("2008/03/02", w);
    const DayView v = buildDayView(recs, "2008/03/02", 170);
    QCOMPARE(v.chartPoints, ChartValues(weights.begin(), weights.end()));
    const ChartRange r = dayChartRange(v.values, int(v.chartPoints.size()));
    QVERIFY(!r.empty);
    QTEST(r.min, "min");
    QTEST(r.max, "max");
}

void TestEntryCalc::markerCycle()
{
    int mode = normaliseStoredMarkerMode(1);
    QCOMPARE(mode, 1);
    const int start = mode;
    QList<int> seen;
    for (int i = 0; i < 3; ++i)
        seen << (mode = nextMarkerMode(mode));
    QCOMPARE(seen, QList<int>({2, 0, 1}));
    QCOMPARE(mode, start);
    QCOMPARE(nextMarkerMode(7), 0);
    QCOMPARE(markerStyleFor(0), MarkerStyle::None);
    QCOMPARE(markerStyleFor(1), MarkerStyle::Circle);
    QCOMPARE(markerStyleFor(2), MarkerStyle::Ball);
    QCOMPARE(markerStyleFor(9), MarkerStyle::Ball);
    // A stray stored value shows the ball and the next click goes to none.
    QCOMPARE(normaliseStoredMarkerMode(9), 2);
    QCOMPARE(normaliseStoredMarkerMode(-1), 2);
    QCOMPARE(nextMarkerMode(normaliseStoredMarkerMode(-1)), 0);
}

// ---- BMI ------------------------------------------------------------------

void TestEntryCalc::bmiCategoryBounds_data()
{
    QTest::addColumn<float>("bmi");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Rgb>("back");
    QTest::newRow("16.9") << 16.9f << "やせ過ぎ" << Rgb(0xC0C0FF);
    QTest::newRow("17.0") << 17.0f << "やせ気味" << Rgb(0xC0FFFF);
    QTest::newRow("19.9") << 19.9f << "やせ気味" << Rgb(0xC0FFFF);
    QTest::newRow("20.0") << 20.0f << "スタンダード" << Rgb(0xC0FFC0);
    QTest::newRow("24.0") << 24.0f << "スタンダード" << Rgb(0xC0FFC0);
    QTest::newRow("24.1") << 24.1f << "でぶメゾフォルテ" << Rgb(0xFFFFC0);
    QTest::newRow("26.4") << 26.4f << "でぶメゾフォルテ" << Rgb(0xFFFFC0);
    QTest::newRow("26.4 from the bar") << 264 / 10.0f << "でぶメゾフォルテ" << Rgb(0xFFFFC0);
    QTest::newRow("26.5") << 26.5f << "でぶフォルテ" << Rgb(0xFFC0FF);
    QTest::newRow("29.9") << 29.9f << "でぶフォルテ" << Rgb(0xFFC0FF);
    QTest::newRow("30.0") << 30.0f << "でぶフォルテシモ" << Rgb(0xFFC0C0);
}

void TestEntryCalc::bmiCategoryBounds()
{
    QFETCH(float, bmi);
    const BmiCategory c = bmiCategory(bmi);
    QTEST(c.text, "text");
    QTEST(c.back, "back");
}

void TestEntryCalc::meterShowsLatestBmi()
{
    FakeScroll scroll(BmiMeter::kScrollMin);
    BmiMeter m(scroll);
    scroll.meter = &m;
    m.RefreshBmiMeter(65.0f, 65.0f, 170, 5);
    QCOMPARE(m.labels().label9_25, QString("22.5"));
    QCOMPARE(m.labels().lblMHyouka, QString("スタンダード"));
    QCOMPARE(m.labels().lblMHyoukaBack, palette::kGreen);
    QCOMPARE(m.labels().lblHyouka, QString("スタンダード"));
    QCOMPARE(m.labels().lblHyojun_0, QString("63.6"));
    QCOMPARE(m.labels().lblHyojun_1, QString("63.6"));
    QCOMPARE(m.labels().label9_30, QString("1.7"));
    QCOMPARE(scroll.v, 225);
    QCOMPARE(bmiOf(65.0f, 170), m.CurrentBmi());
    QCOMPARE(fmt::number(standardWeightOf(170), u"00.0"), QString("63.6"));
    // The marker centre sits on the BMI: at 24 it is half a marker left of band 2.
    QCOMPARE(BmiMeter::markerLeftTwips(24.0f, 3740, 500), 3740 - 240);
    QCOMPARE(BmiMeter::markerLeftTwips(22.5f, 1360, 160), 1360 - 480);
}

void TestEntryCalc::scrollRoundsHalvesToEven()
{
    FakeScroll scroll(BmiMeter::kScrollMin);
    BmiMeter m(scroll);
    scroll.meter = &m;
    m.ShowCurrentBmi(89.0f, 200, 1); // BMI 22.25 exactly
    QCOMPARE(scroll.v, 222);
    m.ShowCurrentBmi(91.0f, 200, 1); // BMI 22.75 exactly
    QCOMPARE(scroll.v, 228);
}

void TestEntryCalc::meterBelowSeventeen()
{
    FakeScroll scroll(225);
    BmiMeter m(scroll);
    scroll.meter = &m;
    m.RefreshBmiMeter(48.8f, 48.8f, 170, 5); // BMI 16.89
    QCOMPARE(m.labels().lblMHyouka, QString("やせ過ぎ"));
    QCOMPARE(m.labels().lblMHyoukaBack, palette::kPurple);
    QCOMPARE(m.MeterBmi(), 17.0f);
    QCOMPARE(scroll.v, 170);
    QCOMPARE(m.labels().lblHyouka, QString("やせ気味"));
    QCOMPARE(m.labels().lblHyoukaBack, palette::kCyan);
    QCOMPARE(m.labels().label9_25, QString("17.0"));
    // Both markers at the left end of their meters.
    QCOMPARE(m.labels().image1LeftTwips, BmiMeter::bandLeftTwips(0, BmiMeter::kSmallScaleTwips) - 240);
    QCOMPARE(m.labels().image2LeftTwips, BmiMeter::bandLeftTwips(0, BmiMeter::kLargeScaleTwips) - 240);
}

void TestEntryCalc::meterAboveThirtyTwo()
{
    FakeScroll scroll(225);
    BmiMeter m(scroll);
    scroll.meter = &m;
    m.ShowCurrentBmi(101.15f, 170, 5); // BMI 35
    QCOMPARE(m.labels().label9_25, QString("35.0"));
    QCOMPARE(m.MeterBmi(), 32.0f);
    QCOMPARE(scroll.v, 320);
    QCOMPARE(m.labels().lblMHyouka, QString("でぶフォルテシモ"));
    QCOMPARE(m.labels().image1LeftTwips, BmiMeter::bandLeftTwips(5, BmiMeter::kSmallScaleTwips) - 240);
    QCOMPARE(m.labels().image2LeftTwips, BmiMeter::bandLeftTwips(5, BmiMeter::kLargeScaleTwips) - 240);
}

void TestEntryCalc::slidingTheBar()
{
    FakeScroll scroll(BmiMeter::kScrollMin);
    BmiMeter m(scroll);
    scroll.meter = &m;
    m.RefreshBmiMeter(65.0f, 65.0f, 170, 5);
    scroll.slide(260);
    const BmiMeterLabels &l = m.labels();
    QCOMPARE(l.label9_25, QString("26.0"));
    QCOMPARE(l.label9_28, QString("75.1"));
    QCOMPARE(l.lblTai, QString("75.1"));
    QCOMPARE(l.lblHyouka, QString("でぶメゾフォルテ"));
    QCOMPARE(l.lblHyoukaBack, palette::kYellow);
    QCOMPARE(l.lblHiman, QString("18.1"));
    QCOMPARE(m.BmiCategoryText(), QString("でぶメゾフォルテ"));
    // The small meter keeps the person's own BMI.
    QCOMPARE(l.lblMHyouka, QString("スタンダード"));
    QCOMPARE(l.image2LeftTwips,
             BmiMeter::markerLeftTwips(26.0f, BmiMeter::bandLeftTwips(2, BmiMeter::kLargeScaleTwips),
                                       BmiMeter::kLargeScaleTwips));
}

void TestEntryCalc::refreshAfterBarMoved()
{
    FakeScroll scroll(BmiMeter::kScrollMin);
    BmiMeter m(scroll);
    scroll.meter = &m;
    m.RefreshBmiMeter(65.0f, 70.2f, 170, 5);
    QCOMPARE(scroll.notifications, 1);
    // The notification cleared ScrollFromCode, so the explicit run works the
    // formula weight out from the BMI instead of keeping the file's last weight.
    QCOMPARE(m.labels().label9_28, QString("65.0"));
    QCOMPARE(m.labels().lblTai, QString("65.0"));
    QCOMPARE(m.labels().label9_25, QString("22.5"));
    QCOMPARE(m.labels().lblHiman, QString("2.2"));
    QCOMPARE(m.ScrollFromCode(), 0);
}

void TestEntryCalc::refreshWithBarUnchanged()
{
    FakeScroll scroll(225);
    BmiMeter m(scroll);
    scroll.meter = &m;
    m.RefreshBmiMeter(65.0f, 70.2f, 170, 5);
    QCOMPARE(scroll.notifications, 0);
    QCOMPARE(m.labels().label9_28, QString("70.2"));
    QCOMPARE(m.labels().lblTai, QString("70.2"));
    // The formula's BMI is its weight's: 70.2 / 1.7² (the verdict and the
    // bar stay on the day's 22.5).
    QCOMPARE(m.labels().label9_25, QString("24.3"));
    QCOMPARE(m.labels().lblHyouka, QString("スタンダード"));
    QCOMPARE(m.MeterBmi(), 22.5f);
    QCOMPARE(m.labels().lblHiman, QString("10.4"));
    QCOMPARE(m.ScrollFromCode(), 0);
}

void TestEntryCalc::dayRefreshAloneKeepsFormulaWeight()
{
    FakeScroll scroll(225);
    BmiMeter m(scroll);
    scroll.meter = &m;
    m.RefreshBmiMeter(65.0f, 70.2f, 170, 5);
    // A saved weight: only ShowCurrentBmi runs, the bar moves and notifies.
    m.ShowCurrentBmi(101.15f, 170, 6);
    QCOMPARE(scroll.notifications, 1);
    QCOMPARE(m.labels().label9_28, QString("70.2"));
    QCOMPARE(m.labels().lblTai, QString("70.2"));
    QCOMPARE(m.labels().lblHyouka, QString("でぶフォルテシモ"));
    // Never "35.0 = 70.2 ÷ 1.7²": the BMI beside a weight is that weight's.
    QCOMPARE(m.labels().label9_25, QString("24.3"));
    // The same BMI again: no notification, ScrollFromCode stays up until
    // the next SimulateBmi.
    m.ShowCurrentBmi(101.15f, 170, 6);
    QCOMPARE(scroll.notifications, 1);
    QCOMPARE(m.ScrollFromCode(), 1);
}

void TestEntryCalc::personWithoutRecordsChangesNothing()
{
    FakeScroll scroll(BmiMeter::kScrollMin);
    BmiMeter m(scroll);
    scroll.meter = &m;
    m.RefreshBmiMeter(65.0f, 70.2f, 170, 5);
    const BmiMeterLabels before = m.labels();
    const float current = m.CurrentBmi();
    const float meter = m.MeterBmi();

    m.RefreshBmiMeter(90.0f, 90.0f, 150, 0);
    m.ShowCurrentBmi(90.0f, 150, 0);
    scroll.slide(300); // the handler runs, but there is nothing to show

    const BmiMeterLabels &after = m.labels();
    QCOMPARE(after.label9_25, before.label9_25);
    QCOMPARE(after.label9_28, before.label9_28);
    QCOMPARE(after.label9_30, before.label9_30);
    QCOMPARE(after.lblMHyouka, before.lblMHyouka);
    QCOMPARE(after.lblHyouka, before.lblHyouka);
    QCOMPARE(after.lblHiman, before.lblHiman);
    QCOMPARE(after.lblTai, before.lblTai);
    QCOMPARE(after.image1LeftTwips, before.image1LeftTwips);
    QCOMPARE(after.image2LeftTwips, before.image2LeftTwips);
    QCOMPARE(m.CurrentBmi(), current);
    QCOMPARE(m.MeterBmi(), meter);
}

void TestEntryCalc::meterWithoutHeight()
{
    FakeScroll scroll(BmiMeter::kScrollMin);
    BmiMeter m(scroll);
    scroll.meter = &m;
    m.RefreshBmiMeter(65.0f, 65.0f, 0, 5);
    scroll.slide(250);
    const BmiMeterLabels &l = m.labels();
    for (const QString &t : {l.label9_25, l.label9_28, l.label9_30, l.lblMHyouka, l.lblHyouka,
                             l.lblHyojun_0, l.lblTai, l.lblHiman})
        QVERIFY2(!hasNonFinite(t), qPrintable(t));
    QVERIFY(l.lblMHyouka.isEmpty());
    QVERIFY(l.lblHyojun_0.isEmpty());
    QVERIFY(l.lblHiman.isEmpty());
    QCOMPARE(l.label9_25, QString("25.0"));
    QCOMPARE(bmiOf(65.0f, 0), 0.0f);
    // A damaged weight must not reach the scroll bar as a number.
    const int bar = scroll.v;
    m.ShowCurrentBmi(std::numeric_limits<float>::quiet_NaN(), 170, 5);
    QCOMPARE(scroll.v, bar);
    QVERIFY(m.labels().label9_25.isEmpty());
    QCOMPARE(standardWeightOf(-5), 0.0f);
}

// ---- weight input ---------------------------------------------------------

void TestEntryCalc::saveChecksInOrder_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("title");
    QTest::newRow("no situation, weight typed") << "" << "65.3" << "行動未入力";
    QTest::newRow("no situation, abc") << "" << "abc" << "行動未入力";
    QTest::newRow("empty box") << "朝" << "" << "体重未入力";
    QTest::newRow("blank box") << "朝" << "   " << "体重未入力";
    QTest::newRow("abc") << "朝" << "abc" << "数値以外入力";
    QTest::newRow("unit typed") << "朝" << "65.3kg" << "数値以外入力";
    QTest::newRow("zero") << "朝" << "0" << "体重範囲外";
    QTest::newRow("negative") << "朝" << "-3" << "体重範囲外";
    QTest::newRow("too heavy") << "朝" << "500.1" << "体重範囲外";
    QTest::newRow("500 accepted") << "朝" << "500" << "";
    QTest::newRow("blanks around accepted") << "7:30:12" << " 65.3 " << "";
    // What a Japanese input method types counts as the ASCII form.
    QTest::newRow("full-width accepted") << "朝" << "６５．３" << "";
    QTest::newRow("full-width zero") << "朝" << "０" << "体重範囲外";
    QTest::newRow("full-width minus") << "朝" << "－３" << "体重範囲外";
    QTest::newRow("full-width letters") << "朝" << "６５ｋｇ" << "数値以外入力";
    QTest::newRow("day after today, all else right") << "朝" << "65.3" << "日付確認";
    QTest::newRow("day after today, no situation") << "" << "" << "日付確認";
}

void TestEntryCalc::saveChecksInOrder()
{
    QFETCH(QString, situation);
    QFETCH(QString, box);
    QFETCH(QString, title);
    const QString today = "2008/03/10";
    const QString day = title == "日付確認" ? (situation.isEmpty() ? "2206/03/10" : "2008/03/11") : today;
    const SaveCheck c = checkSave(day, today, situation, box);
    QCOMPARE(c.ok, title.isEmpty());
    QCOMPARE(c.title, title);
    QCOMPARE(c.text.isEmpty(), title.isEmpty());
    if (title == "行動未入力")
        QCOMPARE(c.text, QString("行動が指定されていません"));
    if (title == "体重未入力")
        QCOMPARE(c.text, QString("体重が入力されていません"));
    if (title == "数値以外入力")
        QCOMPARE(c.text, QString("数値を入力してください"));
    if (title == "日付確認")
        QCOMPARE(c.text, QString("今日より後の日には記録できません。\nカレンダーで記録する日を選び直してください。"));
    // The weight comes parsed with the answer, as the file will hold it.
    if (box == "６５．３")
        QCOMPARE(c.weight, 65.3f);
    if (box == " 65.3 ")
        QCOMPARE(c.weight, 65.3f);
}

void TestEntryCalc::stepping_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("result");
    QTest::newRow("65.3 + 0.5") << "65.3" << "0.5" << true << "65.8";
    QTest::newRow("60 - 0.1") << "60" << "0.1" << false << "59.9";
    QTest::newRow("65.5 - 0.5") << "65.5" << "0.5" << false << "65";
    QTest::newRow("65.3 + 0.1") << "65.3" << "0.1" << true << "65.4";
    QTest::newRow("empty box") << "" << "0.2" << true << "0.2";
    QTest::newRow("typed tail ignored") << "65.3abc" << "0.1" << true << "65.4";
    QTest::newRow("step 0.25") << "65" << "0.25" << true << "65.25";
    QTest::newRow("step abc") << "65.3" << "abc" << false << "65.2";
    QTest::newRow("full-width box and step") << "６５．３" << "０．２" << true << "65.5";
}

void TestEntryCalc::stepping()
{
    QFETCH(QString, box);
    QFETCH(QString, step);
    QFETCH(bool, up);
    QTEST(stepWeight(box, step, up), "result");
}

void TestEntryCalc::stepSizes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("size");
    QTest::newRow("0.25") << "0.25" << 0.25;
    QTest::newRow("blanks") << " 0.5 " << 0.5;
    QTest::newRow("abc") << "abc" << 0.1;
    QTest::newRow("empty") << "" << 0.1;
    QTest::newRow("zero would freeze the buttons") << "0" << 0.1;
    QTest::newRow("negative would turn them round") << "-0.2" << 0.1;
}

void TestEntryCalc::stepSizes()
{
    QFETCH(QString, text);
    QTEST(stepSize(text), "size");
}

void TestEntryCalc::saveDayInWords()
{
    QCOMPARE(saveDayCaption(QDate(2026, 12, 8)), QString("2026年12月8日（火）に記録"));
    QCOMPARE(saveDayCaption(QDate(2008, 3, 9)), QString("2008年3月9日（日）に記録"));
    QCOMPARE(saveDayCaption(QDate(2008, 3, 15)), QString("2008年3月15日（土）に記録"));
    QCOMPARE(saveDayCaption(QDate()), QString());
}

void TestEntryCalc::recordAndPrompt()
{
    QCOMPARE(weightOf(" 70.1"), 70.1f);
    QCOMPARE(offeredWeight(65.3f), QString("65.3"));
    QCOMPARE(offeredWeight(65.0f), QString("65"));
    QCOMPARE(freeInputPrompt(),
             QString("状況リストに無い内容をフリーで入力できます。\n\n"
                     "任意の言葉で内容を書き込んでください。\n\n"
                     "体重は通常と同じように ↓↑ボタンで指定してください。\n"));
}

QTEST_GUILESS_MAIN(TestEntryCalc)
#include "test_entry_calc.moc"
