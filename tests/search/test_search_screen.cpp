// The search screen in the real window: the opening list of every record,
// each criterion chosen with real clicks and keys, the chosen buttons, the
// weight curve, and a person switch that starts the search afresh.
#include "window_driver.h"

#include "core/session.h"
#include "ui/back_color.h"
#include "ui/grid.h"
#include "ui/line_chart.h"

#include <QComboBox>
#include <QLineEdit>
#include <QAbstractItemView>
#include <QTest>

using namespace wintest;

namespace {

const QColor kYellow(0xFF, 0xFF, 0xC0);
const QColor kGreen(0xC0, 0xFF, 0xC0);

// Today is Monday 2008/03/10. Person 1 (170 cm): 02/01 Fri, 02/29 Fri,
// 03/01 Sat twice, 03/08 Sat, 03/09 Sun, today twice. Person 2 started on
// 03/05.
DataSet weeks()
{
    DataSet s;
    s.records1 = {rec("2008/02/01", "はじめの一歩", "70"), rec("2008/02/29", "起床後", "69"),
                  rec("2008/03/01", "起床後", "68.6"),     rec("2008/03/01", "夕食後", "69.2"),
                  rec("2008/03/08", "起床後", "68.2"),     rec("2008/03/09", "朝起きてすぐ", "68"),
                  rec("2008/03/10", "起床後", "67.9"),     rec("2008/03/10", "朝食後", "68.3")};
    s.records2 = {rec("2008/03/05", "はじめの一歩", "55"), rec("2008/03/07", "起床後", "54.5"),
                  rec("2008/03/07", "就寝前", "54.9")};
    return s;
}

// All the criteria buttons, in a fixed order, for comparing which are lit.
const QStringList kButtons = {
    "cmdAllact", "cmdAllWeek", "cmdWeek_0", "cmdWeek_1", "cmdWeek_2", "cmdWeek_3", "cmdWeek_4",
    "cmdWeek_5", "cmdWeek_6",  "cmdAllDay", "cmdKikan1", "cmdKikan2", "cmdKikan3", "cmdKikan4",
    "cmdKikan5", "cmdKikan6",  "cmdKikan7", "cmdKikan8", "cmdKikanF"};

// The criteria buttons that are lit; every other one must show the face.
QStringList litButtons(const WindowDriver &d)
{
    QStringList lit;
    for (const QString &name : kButtons) {
        auto *b = d.find<ColourButton>(name);
        if (!b)
            continue;
        if (b->backColor() == kYellow)
            lit.append(name);
        else if (b->backColor().isValid())
            lit.append(name + QStringLiteral("(?)"));
    }
    return lit;
}

Grid *grid(const WindowDriver &d) { return d.find<Grid>(QStringLiteral("msgBunseki")); }

QStringList resultRow(const WindowDriver &d, int row)
{
    QStringList out;
    Grid *g = grid(d);
    for (int c = 0; g && c < g->cols(); ++c)
        out.append(g->textMatrix(row, c));
    return out;
}

// Column 1 (the date) and column 3 (the situation) of every listed row.
QStringList listed(const WindowDriver &d)
{
    QStringList out;
    Grid *g = grid(d);
    for (int r = 1; g && r < g->rows(); ++r)
        out.append(g->textMatrix(r, 1) + QLatin1Char(' ') + g->textMatrix(r, 3));
    return out;
}

// The chart holds the single-precision weights.
QList<float> curve(const WindowDriver &d)
{
    QList<float> out;
    auto *c = d.find<LineChart>(QStringLiteral("mcrBunseki"));
    for (int r = 1; c && r <= c->rowCount(); ++r)
        out.append(float(c->value(r, 1).value_or(-1)));
    return out;
}

QString key(const WindowDriver &d) { return d.find<QLineEdit>(QStringLiteral("txtKey"))->text(); }

QString period(const WindowDriver &d)
{
    return d.find<QComboBox>(QStringLiteral("cboStdate"))->currentText() + QStringLiteral(" - ")
           + d.find<QComboBox>(QStringLiteral("cboEddate"))->currentText();
}

QStringList comboItems(const WindowDriver &d, const QString &name)
{
    QStringList out;
    auto *box = d.find<QComboBox>(name);
    for (int i = 0; box && i < box->count(); ++i)
        out.append(box->itemText(i));
    return out;
}

// A real click on a label of lstAct2.
void pickSituation(const WindowDriver &d, const QString &label)
{
    QVERIFY2(WindowDriver::clickViewItem(d.find<QAbstractItemView>(QStringLiteral("lstAct2")), label),
             qPrintable(label));
}

// Clicks into a date box, replaces its text by typing.
void typeDate(const WindowDriver &d, const QString &box, const QString &date)
{
    d.focusByClick(box);
    d.press(Qt::Key_A, Qt::ControlModifier);
    d.type(date);
}

const QStringList kOpeningLit = {"cmdAllact", "cmdAllWeek", "cmdAllDay"};

} // namespace

class TestSearchScreen : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();

    void openingListsEveryRecordUnderTheThreeAllButtons();
    void situationPickedFromTheListFiltersAndComparesWithinTheList();
    void typedTextListsEveryLabelContainingIt();
    void clickIntoTheTextEmptiesItAndEnterListsAll();
    void weekdayPeriodAndAllWeekdaysCombine();
    void periodButtonsEndToday_data();
    void periodButtonsEndToday();
    void typedDatesFilterAsTheArbitraryPeriod();
    void allPeriodStartsAtTheSelectedPersonsFirstRecord();
    void nothingListedShowsAnEmptyListAndChart();
    void longListShowsItsNewestRowOnTop();
    void personSwitchAndReopeningStartAfresh();
    void unreadableFileIsToldAndTheListStays();
};

void TestSearchScreen::initTestCase() { setUpWindowTests(); }

void TestSearchScreen::openingListsEveryRecordUnderTheThreeAllButtons()
{
    WindowDriver d;
    d.writeFiles(weeks());
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdTaijyu"));
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraTaijyu"));

    Grid *g = grid(d);
    QCOMPARE(g->rows(), 9);
    QCOMPARE(g->fixedCols(), 1);
    QCOMPARE(resultRow(d, 0), QStringList({"回", "日付け", "曜", "行動", "体重", "前回差", "差", "初回差",
                                           "差", "ＢＭＩ", "肥満度"}));
    QCOMPARE(resultRow(d, 1), QStringList({"1", "2008/02/01", "金", "はじめの一歩", "70.0Kg", "0.0Kg",
                                           "→", "0.0Kg", "→", "24.2", "10.1%"}));
    QCOMPARE(resultRow(d, 4), QStringList({"4", "2008/03/01", "土", "夕食後", "69.2Kg", "0.6Kg", "↑",
                                           "-0.8Kg", "↓", "23.9", "8.8%"}));
    QCOMPARE(g->cellBackColor(1, 6), kYellow);
    QCOMPARE(g->cellBackColor(4, 8), kGreen);
    QCOMPARE(g->cellBackColor(4, 7), QColor());

    QCOMPARE(curve(d), QList<float>({70, 69, 68.6f, 69.2f, 68.2f, 68, 67.9f, 68.3f}));
    auto *chart = d.find<LineChart>(QStringLiteral("mcrBunseki"));
    QCOMPARE(chart->leftMin(), 67.0);
    QCOMPARE(chart->leftMax(), 70.0);

    QCOMPARE(key(d), QString());
    QCOMPARE(period(d), QStringLiteral("2008/02/01 - 2008/03/10"));
    const QStringList dates = {"2008/02/01", "2008/02/29", "2008/03/01", "2008/03/08", "2008/03/09",
                               "2008/03/10"};
    QCOMPARE(comboItems(d, "cboStdate"), dates);
    QCOMPARE(comboItems(d, "cboEddate"), dates);
    QCOMPARE(litButtons(d), kOpeningLit);
    QCOMPARE(d.listItems(QStringLiteral("lstAct2")), weeks().situations);

    QStringList captions;
    for (const QString &name : kButtons)
        captions.append(d.find<ColourButton>(name)->text());
    QCOMPARE(captions, QStringList({"全部", "全部", "日", "月", "火", "水", "木", "金", "土", "全部", "前日",
                                    "１週間", "２週間", "１ヶ月", "３ヶ月", "半年", "１年", "３日", "任意"}));
    // The boxes the criteria are typed or picked in keep their ivory ground.
    for (const char *name : {"txtKey", "lstAct2", "cboStdate", "cboEddate"})
        QCOMPARE(d.find(QString::fromLatin1(name))->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xF0));
    QCOMPARE(d.boxes(), QStringList());
}

void TestSearchScreen::situationPickedFromTheListFiltersAndComparesWithinTheList()
{
    WindowDriver d;
    d.writeFiles(weeks());
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdTaijyu"));

    pickSituation(d, QStringLiteral("起床後"));
    QCOMPARE(key(d), QStringLiteral("起床後"));
    QCOMPARE(listed(d), QStringList({"2008/02/29 起床後", "2008/03/01 起床後", "2008/03/08 起床後",
                                     "2008/03/10 起床後"}));
    // The first listed row compares with itself, the others with the row
    // above them in this list, not with the record before them in the file.
    QCOMPARE(resultRow(d, 1).mid(4, 5), QStringList({"69.0Kg", "0.0Kg", "→", "0.0Kg", "→"}));
    QCOMPARE(resultRow(d, 3).mid(4, 5), QStringList({"68.2Kg", "-0.4Kg", "↓", "-0.8Kg", "↓"}));
    QCOMPARE(resultRow(d, 4).value(0), QStringLiteral("4"));
    QCOMPARE(grid(d)->topRow(), 1); // five rows with the header: no scrolling
    QCOMPARE(curve(d), QList<float>({69, 68.6f, 68.2f, 67.9f}));
    QCOMPARE(litButtons(d), QStringList({"cmdAllWeek", "cmdAllDay"}));

    // The keys choose as a click does: the next label, then Enter.
    QCOMPARE(d.focused()->objectName(), QStringLiteral("lstAct2"));
    d.press(Qt::Key_Down);
    QCOMPARE(listed(d).size(), 4); // moving alone lists nothing
    d.press(Qt::Key_Return);
    QCOMPARE(key(d), QStringLiteral("朝食後"));
    QCOMPARE(listed(d), QStringList({"2008/03/10 朝食後"}));

    d.click(QStringLiteral("cmdAllact"));
    QCOMPARE(key(d), QString());
    QCOMPARE(grid(d)->rows(), 9);
    QCOMPARE(litButtons(d), kOpeningLit);
}

void TestSearchScreen::typedTextListsEveryLabelContainingIt()
{
    WindowDriver d;
    d.writeFiles(weeks());
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdTaijyu"));

    d.typeAndEnter(QStringLiteral("txtKey"), QStringLiteral("朝"));
    QCOMPARE(listed(d), QStringList({"2008/03/09 朝起きてすぐ", "2008/03/10 朝食後"}));
    QCOMPARE(litButtons(d), QStringList({"cmdAllWeek", "cmdAllDay"}));
    // The box keeps the focus and its text for the next change.
    QCOMPARE(d.focused()->objectName(), QStringLiteral("txtKey"));
    QCOMPARE(key(d), QStringLiteral("朝"));

    // Text typed without Enter still filters the next change, and the
    // all-situations button does not claim otherwise.
    d.click(QStringLiteral("cmdAllact"));
    d.focusByClick(QStringLiteral("txtKey"));
    d.type(QStringLiteral("夕"));
    d.click(QStringLiteral("cmdWeek_6"));
    QCOMPARE(listed(d), QStringList({"2008/03/01 夕食後"}));
    QCOMPARE(key(d), QStringLiteral("夕"));
    QCOMPARE(litButtons(d), QStringList({"cmdWeek_6", "cmdAllDay"}));
}

void TestSearchScreen::clickIntoTheTextEmptiesItAndEnterListsAll()
{
    WindowDriver d;
    d.writeFiles(weeks());
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdTaijyu"));
    pickSituation(d, QStringLiteral("夕食後"));
    QCOMPARE(listed(d), QStringList({"2008/03/01 夕食後"}));

    d.focusByClick(QStringLiteral("txtKey"));
    QCOMPARE(key(d), QString());
    QCOMPARE(listed(d), QStringList({"2008/03/01 夕食後"})); // nothing listed yet

    d.press(Qt::Key_Return);
    QCOMPARE(grid(d)->rows(), 9);
    // An empty text lists every situation without choosing "全部".
    QCOMPARE(litButtons(d), QStringList({"cmdAllWeek", "cmdAllDay"}));
}

void TestSearchScreen::weekdayPeriodAndAllWeekdaysCombine()
{
    WindowDriver d;
    d.writeFiles(weeks());
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdTaijyu"));

    d.click(QStringLiteral("cmdWeek_6"));
    QCOMPARE(listed(d), QStringList({"2008/03/01 起床後", "2008/03/01 夕食後", "2008/03/08 起床後"}));
    QCOMPARE(litButtons(d), QStringList({"cmdAllact", "cmdWeek_6", "cmdAllDay"}));

    d.click(QStringLiteral("cmdKikan2")); // one week: 03/03 to today
    QCOMPARE(period(d), QStringLiteral("2008/03/03 - 2008/03/10"));
    QCOMPARE(listed(d), QStringList({"2008/03/08 起床後"}));
    QCOMPARE(litButtons(d), QStringList({"cmdAllact", "cmdWeek_6", "cmdKikan2"}));

    pickSituation(d, QStringLiteral("起床後"));
    d.click(QStringLiteral("cmdAllWeek"));
    QCOMPARE(listed(d), QStringList({"2008/03/08 起床後", "2008/03/10 起床後"}));
    QCOMPARE(key(d), QStringLiteral("起床後"));
    QCOMPARE(litButtons(d), QStringList({"cmdAllWeek", "cmdKikan2"}));
    QCOMPARE(curve(d), QList<float>({68.2f, 67.9f}));
    auto *chart = d.find<LineChart>(QStringLiteral("mcrBunseki"));
    QCOMPARE(chart->leftMin(), 67.0);
    QCOMPARE(chart->leftMax(), 69.0);
}

void TestSearchScreen::periodButtonsEndToday_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("rows");
    QTest::newRow("前日") << "cmdKikan1" << "2008/03/09" << 3;
    QTest::newRow("３日") << "cmdKikan8" << "2008/03/08" << 4;
    QTest::newRow("１週間") << "cmdKikan2" << "2008/03/03" << 4;
    QTest::newRow("２週間") << "cmdKikan3" << "2008/02/25" << 7;
    QTest::newRow("１ヶ月 across the leap day") << "cmdKikan4" << "2008/02/09" << 7;
    QTest::newRow("３ヶ月") << "cmdKikan5" << "2007/12/11" << 8;
    QTest::newRow("半年") << "cmdKikan6" << "2007/09/12" << 8;
    QTest::newRow("１年") << "cmdKikan7" << "2007/03/11" << 8;
}

void TestSearchScreen::periodButtonsEndToday()
{
    QFETCH(QString, button);
    QFETCH(QString, first);
    QFETCH(int, rows);
    WindowDriver d;
    d.writeFiles(weeks());
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdTaijyu"));

    d.click(button);
    QCOMPARE(period(d), first + QStringLiteral(" - 2008/03/10"));
    QCOMPARE(grid(d)->rows() - 1, rows);
    QCOMPARE(litButtons(d), QStringList({"cmdAllact", "cmdAllWeek", button}));
}

void TestSearchScreen::typedDatesFilterAsTheArbitraryPeriod()
{
    WindowDriver d;
    d.writeFiles(weeks());
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdTaijyu"));

    typeDate(d, QStringLiteral("cboStdate"), QStringLiteral("2008/03/01"));
    typeDate(d, QStringLiteral("cboEddate"), QStringLiteral("2008/03/08"));
    QCOMPARE(grid(d)->rows(), 9); // nothing listed before a button says so
    d.click(QStringLiteral("cmdKikanF"));
    QCOMPARE(listed(d), QStringList({"2008/03/01 起床後", "2008/03/01 夕食後", "2008/03/08 起床後"}));
    QCOMPARE(litButtons(d), QStringList({"cmdAllact", "cmdAllWeek", "cmdKikanF"}));

    // Dates changed after a span button filter the next change as typed;
    // "任意" is lit, not the span they no longer show.
    d.click(QStringLiteral("cmdKikan3"));
    typeDate(d, QStringLiteral("cboStdate"), QStringLiteral("2008/03/09"));
    d.click(QStringLiteral("cmdWeek_0"));
    QCOMPARE(listed(d), QStringList({"2008/03/09 朝起きてすぐ"}));
    QCOMPARE(period(d), QStringLiteral("2008/03/09 - 2008/03/10"));
    QCOMPARE(litButtons(d), QStringList({"cmdAllact", "cmdWeek_0", "cmdKikanF"}));

    // A first day after the last lists nothing, without a message.
    d.click(QStringLiteral("cmdAllWeek"));
    typeDate(d, QStringLiteral("cboStdate"), QStringLiteral("2008/03/10"));
    typeDate(d, QStringLiteral("cboEddate"), QStringLiteral("2008/03/01"));
    d.click(QStringLiteral("cmdKikanF"));
    QCOMPARE(grid(d)->rows(), 1);
    QCOMPARE(d.boxes(), QStringList());
}

void TestSearchScreen::allPeriodStartsAtTheSelectedPersonsFirstRecord()
{
    WindowDriver d;
    d.writeFiles(weeks());
    QVERIFY(d.start());
    // The weight screen's view still holds person 1's first date after
    // the switch, made while another screen shows.
    d.click(QStringLiteral("cmdUser2"));
    d.click(QStringLiteral("cmdTaijyu"));
    d.click(QStringLiteral("cmdKikan1"));
    d.click(QStringLiteral("cmdAllDay"));
    QCOMPARE(period(d), QStringLiteral("2008/03/05 - 2008/03/10"));
    QCOMPARE(listed(d), QStringList({"2008/03/05 はじめの一歩", "2008/03/07 起床後", "2008/03/07 就寝前"}));
    QCOMPARE(litButtons(d), kOpeningLit);
}

void TestSearchScreen::nothingListedShowsAnEmptyListAndChart()
{
    WindowDriver d;
    d.writeFiles(weeks());
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdTaijyu"));

    d.click(QStringLiteral("cmdWeek_2")); // no Tuesday in the file
    QCOMPARE(grid(d)->rows(), 1);
    QCOMPARE(curve(d), QList<float>());
    auto *chart = d.find<LineChart>(QStringLiteral("mcrBunseki"));
    QVERIFY(chart->leftMin() < chart->leftMax());
    QCOMPARE(litButtons(d), QStringList({"cmdAllact", "cmdWeek_2", "cmdAllDay"}));
    QCOMPARE(d.boxes(), QStringList());
}

void TestSearchScreen::longListShowsItsNewestRowOnTop()
{
    WindowDriver d;
    DataSet files = weeks();
    files.records1.clear();
    const QDate first(2008, 1, 1);
    for (int i = 0; i < 70; ++i)
        files.records1.append(rec(first.addDays(i).toString(QStringLiteral("yyyy/MM/dd")),
                                  QStringLiteral("起床後"), QString::number(70 - i * 0.1, 'f', 1)));
    d.writeFiles(files);
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdTaijyu"));
    QCOMPARE(grid(d)->rows(), 71);
    QVERIFY(grid(d)->topRow() > 1);
    QCOMPARE(grid(d)->bottomRow(), 70);
    QVERIFY(grid(d)->bottomRow() - grid(d)->topRow() > 5);
    QCOMPARE(resultRow(d, 70).value(1), QStringLiteral("2008/03/10"));

    // A short list after it starts at its first row.
    d.click(QStringLiteral("cmdKikan8"));
    QCOMPARE(grid(d)->rows(), 4);
    QCOMPARE(grid(d)->topRow(), 1);
}

void TestSearchScreen::personSwitchAndReopeningStartAfresh()
{
    WindowDriver d;
    d.writeFiles(weeks());
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdTaijyu"));
    pickSituation(d, QStringLiteral("起床後"));
    d.click(QStringLiteral("cmdWeek_6"));
    d.click(QStringLiteral("cmdKikan4"));
    QCOMPARE(litButtons(d), QStringList({"cmdWeek_6", "cmdKikan4"}));

    d.click(QStringLiteral("cmdUser2"));
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraTaijyu"));
    QCOMPARE(listed(d), QStringList({"2008/03/05 はじめの一歩", "2008/03/07 起床後", "2008/03/07 就寝前"}));
    QCOMPARE(key(d), QString());
    QCOMPARE(litButtons(d), kOpeningLit);
    QCOMPARE(period(d), QStringLiteral("2008/03/05 - 2008/03/07"));
    QCOMPARE(comboItems(d, "cboStdate"), QStringList({"2008/03/05", "2008/03/07"}));
    QCOMPARE(comboItems(d, "cboEddate"), QStringList({"2008/03/05", "2008/03/07"}));
    QCOMPARE(curve(d), QList<float>({55, 54.5f, 54.9f}));
    // The criteria the buttons show are the ones that filter.
    d.click(QStringLiteral("cmdAllWeek"));
    QCOMPARE(grid(d)->rows(), 4);

    // Opening the screen again from another one starts afresh too.
    d.click(QStringLiteral("cmdWeek_5"));
    d.click(QStringLiteral("cmdCale"));
    d.click(QStringLiteral("cmdTaijyu"));
    QCOMPARE(grid(d)->rows(), 4);
    QCOMPARE(litButtons(d), kOpeningLit);
    QCOMPARE(comboItems(d, "cboStdate"), QStringList({"2008/03/05", "2008/03/07"}));
}

void TestSearchScreen::unreadableFileIsToldAndTheListStays()
{
    WindowDriver d;
    d.writeFiles(weeks());
    QVERIFY(d.start());
    d.click(QStringLiteral("cmdTaijyu"));
    d.click(QStringLiteral("cmdWeek_6"));
    const QStringList before = listed(d);

    d.tmp.writeBytes(kData1, d.bytes(kData1) + crlf({rec("2008/3/11", "朝", "64"), rec("2008/03/12", "朝", "64")}));
    const auto files = d.snapshot();
    d.dialogs.clear();
    d.click(QStringLiteral("cmdWeek_0"));
    const QStringList boxes = d.boxes();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].startsWith(QStringLiteral("記録を読み込めませんでした。")), qPrintable(boxes[0]));
    QVERIFY2(boxes[0].contains(QStringLiteral("データ1.txt")), qPrintable(boxes[0]));
    QVERIFY2(boxes[0].endsWith(QStringLiteral(" | 読み込みエラー | critical | ok")), qPrintable(boxes[0]));
    // The list, the criteria and the lit buttons still agree.
    QCOMPARE(listed(d), before);
    QCOMPARE(litButtons(d), QStringList({"cmdAllact", "cmdWeek_6", "cmdAllDay"}));
    QCOMPARE(d.snapshot(), files);
}

QTEST_MAIN(TestSearchScreen)
#include "test_search_screen.moc"
