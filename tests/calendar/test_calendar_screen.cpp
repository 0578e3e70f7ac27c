// The calendar screen in the real window: the months and coloured days of
// the selected person's file, the legend and its verdict face, the two
// display modes, and a double-clicked day opening the weight screen.
#include "window_driver.h"

#include "ui/art/picture.h"
#include "ui/back_color.h"
#include "ui/grid.h"
#include "ui/month_calendar.h"

#include <QHeaderView>
#include <QLabel>
#include <QTest>

using namespace wintest;
using Icon = Dialogs::Icon;

namespace {

const QColor kGreen(0xC0, 0xFF, 0xC0);
const QColor kYellow(0xFF, 0xFF, 0xC0);
const QColor kRed(0xFF, 0xC0, 0xC0);
const QColor kPurple(0xC0, 0xC0, 0xFF);
const QColor kOrange(0xFF, 0xE0, 0xC0);

// Today is 2008/03/10. Person 1: once on 01/30; up on 01/31 although it
// went down in between; down on 02/01; unchanged on 02/15; once today.
// Person 2: once on 03/01 and twice, down, on 03/05.
DataSet months()
{
    DataSet s;
    s.records1 = {rec("2008/01/30", "はじめの一歩", "65"),
                  rec("2008/01/31", "起床後", "65"),  rec("2008/01/31", "朝食後", "64.6"),
                  rec("2008/01/31", "夕食後", "65.4"),
                  rec("2008/02/01", "起床後", "65.2"), rec("2008/02/01", "就寝前", "64.8"),
                  rec("2008/02/15", "起床後", "64.8"), rec("2008/02/15", "就寝前", "64.8"),
                  rec("2008/03/10", "起床後", "64.5")};
    s.records2 = {rec("2008/03/01", "はじめの一歩", "55"), rec("2008/03/05", "起床後", "54.8"),
                  rec("2008/03/05", "就寝前", "54.6")};
    return s;
}

Grid *grid(const WindowDriver &d) { return d.find<Grid>(QStringLiteral("msgList2")); }

QStringList monthTitles(const WindowDriver &d)
{
    QStringList out;
    Grid *g = grid(d);
    for (int r = 1; g && r < g->rows(); ++r)
        out.append(g->textMatrix(r, 0));
    return out;
}

// Column by column, the days of a month row that carry a colour.
QMap<int, QColor> paintedDays(const WindowDriver &d, int row)
{
    QMap<int, QColor> out;
    Grid *g = grid(d);
    for (int c = 1; g && c < g->cols(); ++c)
        if (g->cellBackColor(row, c).isValid())
            out.insert(c, g->cellBackColor(row, c));
    return out;
}

QString label(const WindowDriver &d, const char *name)
{
    auto *l = d.find<QLabel>(QString::fromLatin1(name));
    return l ? l->text() : QString();
}

QStringList legend(const WindowDriver &d)
{
    QStringList out;
    for (const char *n : {"lblDn_c", "lblSm_c", "lblOne_c", "lblUp_c", "lblNon_c", "lblGenT",
                          "lblHugou", "lblZouT"})
        out.append(label(d, n));
    return out;
}

QString visibleFace(const WindowDriver &d)
{
    QStringList shown;
    for (const char *n : {"imgKana2", "imgNiko2", "imgWara2"})
        if (auto *p = d.find<Picture>(QString::fromLatin1(n)); p && !p->isHidden())
            shown.append(QString::fromLatin1(n));
    return shown.join(QLatin1Char('+'));
}

QColor buttonColour(const WindowDriver &d, const QString &name)
{
    auto *b = d.find<ColourButton>(name);
    return b ? b->backColor() : QColor(Qt::black);
}

// A real double-click on a day cell (row 1 is the first month).
void doubleClickCell(const WindowDriver &d, int row, int col)
{
    Grid *g = grid(d);
    if (!g)
        return;
    const QModelIndex cell = g->model()->index(row - 1, col);
    g->scrollTo(cell);
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(cell).center());
}

void doubleClickHeader(const WindowDriver &d, int col)
{
    Grid *g = grid(d);
    if (!g)
        return;
    QHeaderView *h = g->horizontalHeader();
    const QPoint at(h->sectionViewportPosition(col) + h->sectionSize(col) / 2, h->height() / 2);
    QTest::mouseDClick(h->viewport(), Qt::LeftButton, {}, at);
}

const QStringList kPersonOneLegend = {
    QStringLiteral("体重減  1日"),      QStringLiteral("増減無し  1日"), QStringLiteral("１回だけ計測  2日"),
    QStringLiteral("体重増  1日"),      QStringLiteral("未計測  36日"),  QStringLiteral("2日"),
    QStringLiteral("<"),                QStringLiteral("3日")};

} // namespace

class TestCalendarScreen : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();

    void opensInDetailModeWithEveryMonthAndDay();
    void simpleModeRepaintsTheDaysAndKeepsTheCounts();
    void reopeningAndPersonSwitchReturnToDetailMode();
    void verdictShowsExactlyOneFace_data();
    void verdictShowsExactlyOneFace();
    void doubleClickedDayOpensTheWeightScreenOnIt();
    void doubleClickWhereNoDateIsStays_data();
    void doubleClickWhereNoDateIsStays();
    void unreadableFileIsToldAndNothingIsCounted();
};

void TestCalendarScreen::initTestCase() { setUpWindowTests(); }

void TestCalendarScreen::opensInDetailModeWithEveryMonthAndDay()
{
    WindowDriver d;
    d.writeFiles(months());
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdCale"));
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraCale"));

    Grid *g = grid(d);
    QCOMPARE(g->cols(), 32);
    QCOMPARE(g->textMatrix(0, 0), QStringLiteral("年月"));
    QCOMPARE(g->textMatrix(0, 31), QStringLiteral("31"));
    QCOMPARE(monthTitles(d), QStringList({"2008年01月", "2008年02月", "2008年03月"}));
    // The last day of January stays in January's row although February's
    // row was opened by the record that ended it.
    QCOMPARE(paintedDays(d, 1), (QMap<int, QColor>{{30, kPurple}, {31, kRed}}));
    QCOMPARE(paintedDays(d, 2), (QMap<int, QColor>{{1, kGreen}, {15, kYellow}}));
    QCOMPARE(paintedDays(d, 3), (QMap<int, QColor>{{10, kPurple}}));

    QCOMPARE(legend(d), kPersonOneLegend);
    QCOMPARE(visibleFace(d), QStringLiteral("imgKana2"));
    QCOMPARE(label(d, "Label6_1"), QStringLiteral("体重減 ／ 増減無し"));
    QCOMPARE(label(d, "Label6_0"), QStringLiteral("体重増 ／ １回だけ"));
    QCOMPARE(buttonColour(d, "cmdSel1_0"), kOrange);
    QCOMPARE(buttonColour(d, "cmdSel1_1"), QColor());
    QCOMPARE(d.find<ColourButton>("cmdSel1_0")->text(), QStringLiteral("詳細表示"));
    QCOMPARE(d.find<ColourButton>("cmdSel1_1")->text(), QStringLiteral("簡易表示"));
    QCOMPARE(d.boxes(), QStringList());
}

void TestCalendarScreen::simpleModeRepaintsTheDaysAndKeepsTheCounts()
{
    WindowDriver d;
    d.writeFiles(months());
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdCale"));

    d.click(QStringLiteral("cmdSel1_1"));
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraCale"));
    QCOMPARE(paintedDays(d, 1), (QMap<int, QColor>{{30, kRed}, {31, kRed}}));
    QCOMPARE(paintedDays(d, 2), (QMap<int, QColor>{{1, kGreen}, {15, kGreen}}));
    QCOMPARE(paintedDays(d, 3), (QMap<int, QColor>{{10, kRed}}));
    QCOMPARE(legend(d), kPersonOneLegend);
    QCOMPARE(buttonColour(d, "cmdSel1_0"), QColor());
    QCOMPARE(buttonColour(d, "cmdSel1_1"), kOrange);
    // The legend's swatches stand for the detail colours in either mode.
    QCOMPARE(backColor(d.find("lblSm_c")), kYellow);
    QCOMPARE(backColor(d.find("lblOne_c")), kPurple);

    // A record written meanwhile shows at the next fill: each mode button
    // reads the file afresh.
    d.tmp.writeBytes(kData1, d.bytes(kData1) + crlf({rec("2008/03/10", "就寝前", "64.1")}));
    d.click(QStringLiteral("cmdSel1_0"));
    QCOMPARE(paintedDays(d, 3), (QMap<int, QColor>{{10, kGreen}}));
    QCOMPARE(label(d, "lblDn_c"), QStringLiteral("体重減  2日"));
    QCOMPARE(label(d, "lblOne_c"), QStringLiteral("１回だけ計測  1日"));
    QCOMPARE(label(d, "lblHugou"), QStringLiteral(">"));
    QCOMPARE(buttonColour(d, "cmdSel1_0"), kOrange);
    QCOMPARE(buttonColour(d, "cmdSel1_1"), QColor());
}

void TestCalendarScreen::reopeningAndPersonSwitchReturnToDetailMode()
{
    WindowDriver d;
    d.writeFiles(months());
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdCale"));
    d.click(QStringLiteral("cmdSel1_1"));

    d.click(QStringLiteral("cmdMain"));
    d.click(QStringLiteral("cmdCale"));
    QCOMPARE(buttonColour(d, "cmdSel1_0"), kOrange);
    QCOMPARE(paintedDays(d, 1).value(30), kPurple);

    d.click(QStringLiteral("cmdSel1_1"));
    d.click(QStringLiteral("cmdUser2"));
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraCale"));
    QCOMPARE(buttonColour(d, "cmdSel1_0"), kOrange);
    QCOMPARE(buttonColour(d, "cmdSel1_1"), QColor());
    QCOMPARE(monthTitles(d), QStringList({"2008年03月"}));
    QCOMPARE(paintedDays(d, 1), (QMap<int, QColor>{{1, kPurple}, {5, kGreen}}));
    // 03/01 to 03/09 without 03/01 and 03/05.
    QCOMPARE(label(d, "lblNon_c"), QStringLiteral("未計測  7日"));
    QCOMPARE(label(d, "lblHugou"), QStringLiteral("="));
    QCOMPARE(visibleFace(d), QStringLiteral("imgNiko2"));
}

void TestCalendarScreen::verdictShowsExactlyOneFace_data()
{
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QString>("sign");
    QTest::addColumn<QString>("face");
    QTest::newRow("more good days") << QStringList{rec("2008/03/01", "朝", "60"), rec("2008/03/01", "夜", "59.5")}
                                    << QStringLiteral(">") << QStringLiteral("imgWara2");
    QTest::newRow("as many good as bad") << QStringList{rec("2008/03/01", "朝", "60"), rec("2008/03/01", "夜", "60"),
                                                        rec("2008/03/02", "朝", "60")}
                                         << QStringLiteral("=") << QStringLiteral("imgNiko2");
    QTest::newRow("more bad days") << QStringList{rec("2008/03/01", "朝", "99.8"), rec("2008/03/01", "夜", "100.2")}
                                   << QStringLiteral("<") << QStringLiteral("imgKana2");
}

void TestCalendarScreen::verdictShowsExactlyOneFace()
{
    QFETCH(QStringList, records);
    QFETCH(QString, sign);
    QFETCH(QString, face);
    WindowDriver d;
    DataSet files = months();
    files.records1 = records;
    d.writeFiles(files);
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdCale"));
    QCOMPARE(label(d, "lblHugou"), sign);
    QCOMPARE(visibleFace(d), face);
}

void TestCalendarScreen::doubleClickedDayOpensTheWeightScreenOnIt()
{
    WindowDriver d;
    d.writeFiles(months());
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdCale"));

    doubleClickCell(d, 2, 1); // 2008/02/01
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraMain"));
    QCOMPARE(d.find<MonthCalendar>("mtvmain")->selectedDate(), QDate(2008, 2, 1));
    QCOMPARE(d.dayRowCount(), 2);
    QCOMPARE(d.dayRow(2).value(2), QStringLiteral("64.8Kg"));
    QVERIFY(d.find<QAbstractButton>("cmdMain")->isChecked());
    QVERIFY(!d.find<QAbstractButton>("cmdCale")->isChecked());

    // A day without records is still a day: it opens, empty.
    d.click(QStringLiteral("cmdCale"));
    doubleClickCell(d, 1, 5); // 2008/01/05
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraMain"));
    QCOMPARE(d.find<MonthCalendar>("mtvmain")->selectedDate(), QDate(2008, 1, 5));
    QCOMPARE(d.dayRowCount(), 0);
    QCOMPARE(d.boxes(), QStringList());
}

void TestCalendarScreen::doubleClickWhereNoDateIsStays_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::newRow("month title") << 2 << 0;
    QTest::newRow("header of day 5") << 0 << 5;
    QTest::newRow("30 February") << 2 << 30;
    QTest::newRow("31 February") << 2 << 31;
}

void TestCalendarScreen::doubleClickWhereNoDateIsStays()
{
    QFETCH(int, row);
    QFETCH(int, col);
    WindowDriver d;
    d.writeFiles(months());
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdCale"));

    if (row == 0)
        doubleClickHeader(d, col);
    else
        doubleClickCell(d, row, col);
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraCale"));
    QCOMPARE(d.boxes(), QStringList());
    d.click("cmdMain");
    QCOMPARE(d.find<MonthCalendar>("mtvmain")->selectedDate(), QDate(2008, 3, 10));
}

void TestCalendarScreen::unreadableFileIsToldAndNothingIsCounted()
{
    WindowDriver d;
    d.writeFiles(months());
    QVERIFY(d.start());
    // Damaged behind the window's back, after the start had read it.
    const QByteArray before = d.bytes(kData1);
    d.tmp.writeBytes(kData1, before + crlf({rec("2008/3/11", "朝", "64"), rec("2008/03/12", "朝", "64")}));
    const auto files = d.snapshot();
    d.dialogs.clear();

    d.click(QStringLiteral("cmdCale"));
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraCale"));
    const QStringList boxes = d.boxes();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].contains(QStringLiteral("カレンダーを作れませんでした")), qPrintable(boxes[0]));
    QVERIFY2(boxes[0].contains(QStringLiteral("データ1.txt")), qPrintable(boxes[0]));
    QVERIFY2(boxes[0].endsWith(QStringLiteral(" | 読み込みエラー | critical | ok")), qPrintable(boxes[0]));
    QCOMPARE(grid(d)->rows(), 1);
    QCOMPARE(label(d, "lblDn_c"), QString());
    QCOMPARE(label(d, "lblHugou"), QString());
    QCOMPARE(visibleFace(d), QString());
    QCOMPARE(d.snapshot(), files); // nothing written
}

QTEST_MAIN(TestCalendarScreen)
#include "test_calendar_screen.moc"
