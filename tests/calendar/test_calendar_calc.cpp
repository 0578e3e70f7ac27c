// The calendar screen's computation: day classes and their colours in both
// modes, the row each day is painted into, the legend counts with the
// unmeasured days, the verdict, and the date behind a double-click.
#include "calendar/day_calendar.h"
#include "records.h"

#include <QtTest>

using namespace calendar;
using testrec::daily;
using testrec::rec;

namespace {

const QDate kToday(2008, 3, 10);

QList<WeightRecord> oneDay(const QString &date, const QList<float> &weights)
{
    QList<WeightRecord> out;
    for (float w : weights)
        out.append(rec(date, w));
    return out;
}

// The colour of a day cell; -1 when the month has no row.
qint64 cell(const CalendarView &v, const QString &title, int day)
{
    for (const table::Row &r : v.rows)
        if (r.texts.value(0) == title)
            return r.backs.value(day);
    return -1;
}

QStringList titles(const CalendarView &v)
{
    QStringList t;
    for (const table::Row &r : v.rows)
        t.append(r.texts.value(0));
    return t;
}

int paintedCells(const CalendarView &v)
{
    int n = 0;
    for (const table::Row &r : v.rows)
        for (int c = 1; c < kGridColumns; ++c)
            n += r.backs.value(c) != palette::kDefault;
    return n;
}

} // namespace

Q_DECLARE_METATYPE(calendar::Mode)
Q_DECLARE_METATYPE(calendar::Face)

class TestCalendarCalc : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dayClassColoursInBothModes_data();
    void dayClassColoursInBothModes();
    void modeChangesColoursOnly();
    void gridLayout();

    void dayPaintedInItsOwnMonthRow_data();
    void dayPaintedInItsOwnMonthRow();
    void rowsFollowMonthsWithRecords();

    void verdict_data();
    void verdict();

    void unmeasuredDays_data();
    void unmeasuredDays();

    void doubleClickDate_data();
    void doubleClickDate();
};

void TestCalendarCalc::dayClassColoursInBothModes_data()
{
    QTest::addColumn<QList<float>>("weights");
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<qint64>("colour");
    QTest::addColumn<QString>("countedIn");

    const auto green = qint64(palette::kGreen), red = qint64(palette::kRed);
    const auto yellow = qint64(palette::kYellow), purple = qint64(palette::kPurple);
    for (Mode m : {Mode::Detail, Mode::Simple}) {
        const char *mode = m == Mode::Detail ? "detail" : "simple";
        const bool detail = m == Mode::Detail;
        QTest::addRow("%s: down", mode) << QList<float>{65.0f, 64.6f} << m << green << "体重減  1日";
        QTest::addRow("%s: up although down in between", mode)
            << QList<float>{65.0f, 64.6f, 65.4f} << m << red << "体重増  1日";
        QTest::addRow("%s: unchanged, first equals last", mode)
            << QList<float>{65.0f, 66.0f, 65.0f} << m << (detail ? yellow : green) << "増減無し  1日";
        QTest::addRow("%s: once", mode) << QList<float>{65.0f} << m << (detail ? purple : red)
                                        << "１回だけ計測  1日";
        // As text, "99.8" would sort after "100.2".
        QTest::addRow("%s: 99.8 to 100.2 is up", mode) << QList<float>{99.8f, 100.2f} << m << red
                                                       << "体重増  1日";
        QTest::addRow("%s: 100.2 to 99.8 is down", mode) << QList<float>{100.2f, 99.8f} << m << green
                                                         << "体重減  1日";
    }
}

void TestCalendarCalc::dayClassColoursInBothModes()
{
    QFETCH(QList<float>, weights);
    QFETCH(Mode, mode);
    QFETCH(qint64, colour);
    QFETCH(QString, countedIn);

    // The day under test is the file's last day, which is classified after
    // the loop; a second file puts it before another day.
    const QList<WeightRecord> last = oneDay(QStringLiteral("2008/03/05"), weights);
    QList<WeightRecord> middle = last;
    middle.append(rec(QStringLiteral("2008/03/06"), 70.0f));

    const CalendarView v = buildCalendar(last, kToday, mode);
    QCOMPARE(cell(v, QStringLiteral("2008年03月"), 5), colour);
    const QStringList captions{v.lblDn_c, v.lblUp_c, v.lblSm_c, v.lblOne_c};
    QVERIFY2(captions.contains(countedIn), qPrintable(captions.join(u'|')));
    QCOMPARE(captions.filter(QStringLiteral("  0日")).size(), 3);

    const CalendarView m = buildCalendar(middle, kToday, mode);
    QCOMPARE(cell(m, QStringLiteral("2008年03月"), 5), colour);
    QCOMPARE(cell(m, QStringLiteral("2008年03月"), 6), qint64(classColour(DayClass::Once, mode)));
}

void TestCalendarCalc::modeChangesColoursOnly()
{
    // One day of each class.
    QList<WeightRecord> r = oneDay(QStringLiteral("2008/03/01"), {65.0f, 64.0f});
    r += oneDay(QStringLiteral("2008/03/02"), {64.0f, 64.0f});
    r += oneDay(QStringLiteral("2008/03/03"), {64.0f, 64.5f});
    r += oneDay(QStringLiteral("2008/03/04"), {64.5f});
    const CalendarView d = buildCalendar(r, kToday, Mode::Detail);
    const CalendarView s = buildCalendar(r, kToday, Mode::Simple);

    for (const CalendarView *v : {&d, &s}) {
        QCOMPARE(v->lblDn_c, QStringLiteral("体重減  1日"));
        QCOMPARE(v->lblUp_c, QStringLiteral("体重増  1日"));
        QCOMPARE(v->lblSm_c, QStringLiteral("増減無し  1日"));
        QCOMPARE(v->lblOne_c, QStringLiteral("１回だけ計測  1日"));
        QCOMPARE(v->lblNon_c, QStringLiteral("未計測  5日"));
        QCOMPARE(v->lblGenT, QStringLiteral("2日"));
        QCOMPARE(v->lblZouT, QStringLiteral("2日"));
        QCOMPARE(v->lblHugou, QStringLiteral("="));
    }
    const QString march = QStringLiteral("2008年03月");
    QCOMPARE(cell(d, march, 2), qint64(palette::kYellow));
    QCOMPARE(cell(s, march, 2), qint64(palette::kGreen));
    QCOMPARE(cell(d, march, 4), qint64(palette::kPurple));
    QCOMPARE(cell(s, march, 4), qint64(palette::kRed));
    QCOMPARE(cell(d, march, 1), cell(s, march, 1));
    QCOMPARE(cell(d, march, 3), cell(s, march, 3));

    // The active mode's button is light orange.
    QCOMPARE(d.buttons.cmdSel1_0, palette::kOrange);
    QCOMPARE(d.buttons.cmdSel1_1, palette::kDefault);
    QCOMPARE(s.buttons.cmdSel1_0, palette::kDefault);
    QCOMPARE(s.buttons.cmdSel1_1, palette::kOrange);
}

void TestCalendarCalc::gridLayout()
{
    const table::Columns c = gridColumns();
    QCOMPARE(c.size(), 32);
    QCOMPARE(c[0].header, QStringLiteral("年月"));
    QCOMPARE(c[0].twips, 1315);
    QCOMPARE(c[0].align, table::Align::Center);
    QCOMPARE(c[1].header, QStringLiteral("1"));
    QCOMPARE(c[31].header, QStringLiteral("31"));
    QCOMPARE(c[31].twips, 305);

    // A row holds the title and nothing else; only recorded days are coloured.
    const CalendarView v = buildCalendar({rec(QStringLiteral("2008/01/05"), 60.0f)}, kToday, Mode::Detail);
    QCOMPARE(v.rows.size(), 1);
    QCOMPARE(v.rows[0].texts.size(), 32);
    QCOMPARE(v.rows[0].backs.size(), 32);
    QCOMPARE(v.rows[0].texts[0], QStringLiteral("2008年01月"));
    for (int col = 1; col < 32; ++col)
        QVERIFY(v.rows[0].texts[col].isEmpty());
    QCOMPARE(paintedCells(v), 1);
}

void TestCalendarCalc::dayPaintedInItsOwnMonthRow_data()
{
    QTest::addColumn<QString>("day1");
    QTest::addColumn<QString>("day2");
    QTest::addColumn<QString>("title1");
    QTest::addColumn<int>("col1");
    QTest::addColumn<QString>("title2");
    QTest::addColumn<int>("col2");

    QTest::newRow("month end") << "2008/01/31" << "2008/02/01" << "2008年01月" << 31 << "2008年02月" << 1;
    QTest::newRow("year end") << "2007/12/31" << "2008/01/01" << "2007年12月" << 31 << "2008年01月" << 1;
    QTest::newRow("leap day") << "2008/02/29" << "2008/03/01" << "2008年02月" << 29 << "2008年03月" << 1;
    QTest::newRow("apart") << "2008/01/10" << "2008/02/15" << "2008年01月" << 10 << "2008年02月" << 15;
    QTest::newRow("same month, next year")
        << "2007/01/10" << "2008/01/20" << "2007年01月" << 10 << "2008年01月" << 20;
}

void TestCalendarCalc::dayPaintedInItsOwnMonthRow()
{
    QFETCH(QString, day1);
    QFETCH(QString, day2);
    QFETCH(QString, title1);
    QFETCH(int, col1);
    QFETCH(QString, title2);
    QFETCH(int, col2);

    // The first day goes down, the second is measured once.
    QList<WeightRecord> r = oneDay(day1, {66.0f, 65.0f});
    r.append(rec(day2, 65.0f));
    const CalendarView v = buildCalendar(r, kToday, Mode::Detail);

    QCOMPARE(titles(v), (QStringList{title1, title2}));
    QCOMPARE(cell(v, title1, col1), qint64(palette::kGreen));
    QCOMPARE(cell(v, title2, col2), qint64(palette::kPurple));
    QCOMPARE(paintedCells(v), 2);
}

void TestCalendarCalc::rowsFollowMonthsWithRecords()
{
    // No record in February: January and March rows are adjacent.
    const QList<WeightRecord> r{rec(QStringLiteral("2008/01/10"), 60.0f),
                                rec(QStringLiteral("2008/01/11"), 60.0f),
                                rec(QStringLiteral("2008/03/15"), 60.0f)};
    QCOMPARE(titles(buildCalendar(r, kToday, Mode::Detail)),
             (QStringList{QStringLiteral("2008年01月"), QStringLiteral("2008年03月")}));
}

void TestCalendarCalc::verdict_data()
{
    QTest::addColumn<QList<WeightRecord>>("records");
    QTest::addColumn<QString>("hugou");
    QTest::addColumn<Face>("face");
    QTest::addColumn<QString>("good");
    QTest::addColumn<QString>("bad");

    QList<WeightRecord> more = oneDay(QStringLiteral("2008/03/01"), {65.0f, 64.0f});
    more += oneDay(QStringLiteral("2008/03/02"), {64.0f, 64.0f});
    more += oneDay(QStringLiteral("2008/03/03"), {64.0f});
    QTest::newRow("good > bad") << more << ">" << Face::Laugh << "2日" << "1日";

    QList<WeightRecord> equal = oneDay(QStringLiteral("2008/03/01"), {65.0f, 64.0f});
    equal += oneDay(QStringLiteral("2008/03/02"), {64.0f, 64.5f});
    QTest::newRow("good = bad") << equal << "=" << Face::Smile << "1日" << "1日";

    QList<WeightRecord> fewer = oneDay(QStringLiteral("2008/03/01"), {65.0f});
    fewer += oneDay(QStringLiteral("2008/03/02"), {64.0f, 64.5f});
    fewer += oneDay(QStringLiteral("2008/03/03"), {64.0f, 63.0f});
    QTest::newRow("good < bad") << fewer << "<" << Face::Sad << "1日" << "2日";
}

void TestCalendarCalc::verdict()
{
    QFETCH(QList<WeightRecord>, records);
    QFETCH(QString, hugou);
    QFETCH(Face, face);
    QFETCH(QString, good);
    QFETCH(QString, bad);

    const CalendarView v = buildCalendar(records, kToday, Mode::Detail);
    QCOMPARE(v.lblHugou, hugou);
    QCOMPARE(v.face, face);
    QCOMPARE(v.lblGenT, good);
    QCOMPARE(v.lblZouT, bad);
}

void TestCalendarCalc::unmeasuredDays_data()
{
    QTest::addColumn<QList<WeightRecord>>("records");
    QTest::addColumn<QString>("caption");

    QTest::newRow("no record") << QList<WeightRecord>{} << "未計測  0日";
    // 2008/03/01 .. 03/09: nine days, three of them measured.
    QTest::newRow("gaps") << QList<WeightRecord>{rec(QStringLiteral("2008/03/01"), 60.0f),
                                                 rec(QStringLiteral("2008/03/02"), 60.0f),
                                                 rec(QStringLiteral("2008/03/05"), 60.0f)}
                          << "未計測  6日";
    QTest::newRow("every day up to today")
        << daily(QStringLiteral("2008/03/01"), QList<float>(10, 60.0f)) << "未計測  0日";
    // Today is not missed yet while it has no record.
    QTest::newRow("every day but today")
        << daily(QStringLiteral("2008/03/01"), QList<float>(9, 60.0f)) << "未計測  0日";
    QTest::newRow("first record today") << QList<WeightRecord>{rec(QStringLiteral("2008/03/10"), 60.0f)}
                                        << "未計測  0日";
    // Days saved ahead of today neither count as measured past days nor
    // drive the count below zero.
    QTest::newRow("records up to 03/20")
        << daily(QStringLiteral("2008/03/08"), QList<float>(13, 60.0f)) << "未計測  0日";
    QTest::newRow("a gap and a future day")
        << QList<WeightRecord>{rec(QStringLiteral("2008/03/01"), 60.0f),
                               rec(QStringLiteral("2008/03/20"), 60.0f),
                               rec(QStringLiteral("2008/03/21"), 60.0f)}
        << "未計測  8日";
    QTest::newRow("only future days") << daily(QStringLiteral("2008/03/11"), {60.0f, 61.0f})
                                      << "未計測  0日";
    // The span crosses the leap day: 02/27 .. 03/09 is twelve days.
    QTest::newRow("over the leap day") << QList<WeightRecord>{rec(QStringLiteral("2008/02/27"), 60.0f)}
                                       << "未計測  11日";
}

void TestCalendarCalc::unmeasuredDays()
{
    QFETCH(QList<WeightRecord>, records);
    QFETCH(QString, caption);
    QCOMPARE(buildCalendar(records, kToday, Mode::Detail).lblNon_c, caption);
}

void TestCalendarCalc::doubleClickDate_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QDate>("date"); // invalid: nothing opens

    QTest::newRow("a day") << 1 << 5 << "2008年01月" << QDate(2008, 1, 5);
    QTest::newRow("month end") << 2 << 31 << "2008年01月" << QDate(2008, 1, 31);
    QTest::newRow("leap day") << 1 << 29 << "2008年02月" << QDate(2008, 2, 29);
    QTest::newRow("29 February, no leap year") << 1 << 29 << "2009年02月" << QDate();
    QTest::newRow("30 February") << 1 << 30 << "2008年02月" << QDate();
    QTest::newRow("31 April") << 1 << 31 << "2008年04月" << QDate();
    QTest::newRow("header row") << 0 << 5 << "2008年01月" << QDate();
    QTest::newRow("month column") << 1 << 0 << "2008年01月" << QDate();
    QTest::newRow("past the last column") << 1 << 32 << "2008年01月" << QDate();
    QTest::newRow("empty title") << 1 << 5 << "" << QDate();
    QTest::newRow("header text as title") << 1 << 5 << "年月" << QDate();
    QTest::newRow("month 13") << 1 << 5 << "2008年13月" << QDate();
}

void TestCalendarCalc::doubleClickDate()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, title);
    QFETCH(QDate, date);

    const std::optional<QDate> got = dateAt(row, column, title);
    QCOMPARE(got.has_value(), date.isValid());
    if (got)
        QCOMPARE(*got, date);
}

QTEST_GUILESS_MAIN(TestCalendarCalc)
#include "test_calendar_calc.moc"
