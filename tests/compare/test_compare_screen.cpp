// The comparison screen in the real window: the seven rows with their
// marks and bands, the share bar, the list of daily averages, the two
// charts and their option buttons, the help tour of the graph views, a
// rebuild after a save, a person switch, and a file that cannot be read.

#include "window_driver.h"

#include "ui/art/picture.h"
#include "ui/back_color.h"
#include "ui/grid.h"
#include "ui/line_chart.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <cmath>

using namespace wintest;
using Icon = Dialogs::Icon;

namespace {

const QString kToday = QStringLiteral("2008/03/10");

// Person 1 (target 60) from 03/01 to today, twice on the first day;
// person 2 (target 50) from 03/05 to 03/08. Every row has a winner, and
// not always the same one.
DataSet twoPersons()
{
    DataSet s;
    s.records1 = {rec("2008/03/01", "はじめの一歩", "70"), rec("2008/03/01", "就寝前", "69.6"),
                  rec("2008/03/03", "起床後", "66.5"), rec(kToday, "起床後", "67.2")};
    s.records2 = {rec("2008/03/05", "はじめの一歩", "55"), rec("2008/03/08", "起床後", "54")};
    return s;
}

QStringList strings(std::initializer_list<const char *> texts)
{
    QStringList out;
    for (const char *t : texts)
        out.append(QString::fromUtf8(t));
    return out;
}

QString name(const char *array, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index);
}

QStringList values(const WindowDriver &d, const char *array)
{
    QStringList out;
    for (int i = 0; i < 7; ++i)
        out.append(d.find<QLabel>(name(array, i))->text());
    return out;
}

// Which of the marks imgD1_1..6 / imgD2_1..6 show, as "1-2" for person 1
// and person 2 both, "1-" for person 1 only, and so on.
QStringList marks(const WindowDriver &d)
{
    QStringList out;
    for (int i = 1; i < 7; ++i)
        out.append((d.find(name("imgD1", i))->isHidden() ? QString() : QStringLiteral("1"))
                   + QLatin1Char('-')
                   + (d.find(name("imgD2", i))->isHidden() ? QString() : QStringLiteral("2")));
    return out;
}

QStringList listRow(const WindowDriver &d, int row)
{
    QStringList out;
    auto *g = d.find<Grid>(QStringLiteral("msgAvgtai"));
    for (int c = 0; c < g->cols(); ++c)
        out.append(g->textMatrix(row, c));
    return out;
}

// A chart column as text with one decimal, "-" for an empty point.
QString column(LineChart *chart, int col)
{
    QStringList out;
    for (int r = 1; r <= chart->rowCount(); ++r) {
        const std::optional<double> v = chart->value(r, col);
        out.append(v ? QString::number(*v, 'f', 1) : QStringLiteral("-"));
    }
    return out.join(QLatin1Char(' '));
}

QString range(double min, double max) { return QStringLiteral("%1..%2").arg(min).arg(max); }
QString leftAxis(LineChart *c) { return range(c->leftMin(), c->leftMax()); }
QString rightAxis(LineChart *c) { return range(c->rightMin(), c->rightMax()); }

QRect inPanel(const WindowDriver &d, const QWidget *w)
{
    const QWidget *panel = d.find(QStringLiteral("fraAvgTai"));
    return QRect(w->mapTo(panel, QPoint(0, 0)), w->size());
}

QString shownViews(const WindowDriver &d)
{
    QStringList shown;
    // The chart on one axis is made when that view is first chosen.
    for (const char *n : {"mcrAvgtai", "mcrAvgtai2", "fraDgr", "fraDgr2"})
        if (auto *w = d.window()->findChild<QWidget *>(QString::fromLatin1(n)); w && !w->isHidden())
            shown.append(QString::fromLatin1(n));
    return shown.join(QLatin1Char('+'));
}

QString checkedOptions(const WindowDriver &d)
{
    QStringList on;
    for (const char *n : {"optGra1", "optGra2", "optG1", "optG2", "optG3", "optG4"})
        if (d.find<QRadioButton>(QString::fromLatin1(n))->isChecked())
            on.append(QString::fromLatin1(n));
    return on.join(QLatin1Char('+'));
}

QString tourBox(const QString &text) { return box(text, QStringLiteral("ヘルプツアー"), Icon::Information); }

// The two graph views explain themselves in these words.
const QString kSameAxisTour = QStringLiteral(
    u"二人の平均体重データを同一の軸でグラフ表示します。\r\n"
    u"\r\n"
    u"実際のデータをそのままにグラフ表示するモードと\r\n"
    u"体重の重い方に軽い方を重ねた形でグラフ表示するモードがあります。\r\n"
    u"\r\n"
    u"グラフを重ねるモードにすると純粋にお互いの体重の増減推移を比較することができます。\r\n");
const QString kSeparateAxesTour = QStringLiteral(
    u"登録者それぞれの平均体重データを別々の軸でグラフ表示します。\r\n"
    u"登録者１が左の軸、登録者２が右の軸になります。\r\n"
    u"\r\n"
    u"Ｙ軸の下限値を最低体重（平均値）から自動的に設定するモードと\r\n"
    u"目標値として登録した値を下限値にするモードがあります。\r\n"
    u"\r\n");

// Real values of twoPersons(): person 1's days carried forward, person 2
// empty before 03/05.
const QString kReal1 = QStringLiteral("69.8 69.8 66.5 66.5 66.5 66.5 66.5 66.5 66.5 67.2");
const QString kReal2 = QStringLiteral("- - - - 55.0 55.0 55.0 54.0 54.0 54.0");

} // namespace

class TestCompareScreen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpWindowTests(); }

    void openingShowsTheMeasuresMarksAndBands();
    void shareBarStandsBesideTheHeaderRow();
    void listHasEveryDayOfThePeriod();
    void longListOpensAtItsLatestDay();
    void chartsCarryDaysForwardOnTheirOwnAxes();
    void bothViewsFitTheSmallestWindow();
    void graphButtonsSwitchViewsAndExplainThem();
    void sameAxisChartKeepsTheBoundsItWasCopiedWith();
    void lowerBoundAndOverlayRedrawTheCharts();
    void savedWeightShowsWhenOpenedAgainWithTheChosenOptions();
    void personSwitchChangesNothingHere();
    void unreadableFileIsReportedAndNothingIsShown();
};

void TestCompareScreen::openingShowsTheMeasuresMarksAndBands()
{
    WindowDriver d;
    d.writeFiles(twoPersons());
    QVERIFY(d.start());
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraAvgTai"));

    QCOMPARE(values(d, "lblD1"),
             strings({"たろう", "4 回  ( 66.7% )", "08/03/01 → 9日", "0.40 回 / 日",
                      "66.5Kg ( -3.5Kg )", "67.2Kg ( -2.8Kg )", "60.0Kgまで ( 7.2Kg )"}));
    QCOMPARE(values(d, "lblD2"),
             strings({"はなこ", "2 回  ( 33.3% )", "08/03/05 → 3日", "0.50 回 / 日",
                      "54.0Kg ( -1.0Kg )", "54.0Kg ( -1.0Kg )", "50.0Kgまで ( 4.0Kg )"}));
    QCOMPARE(marks(d), strings({"1-", "1-", "-2", "1-", "1-", "-2"}));

    // Each caption on its band, level with the row's values; the marks
    // are the persons' own balls.
    const QStringList captions = strings({"比較項目", "トータル測定回数", "開始日→経過日数",
                                          "一日平均測定回数", "初日からの最高記録",
                                          "今現在（最終記録）", "目標までの残"});
    const QList<QColor> bands = {QColor(0xFF, 0xC0, 0xC0), QColor(0xFF, 0xE0, 0xC0),
                                 QColor(0xFF, 0xFF, 0xC0), QColor(0xC0, 0xFF, 0xC0),
                                 QColor(0xC0, 0xFF, 0xFF), QColor(0xC0, 0xC0, 0xFF),
                                 QColor(0xE0, 0xE0, 0xE0)};
    const QList<QLabel *> labels = d.find(QStringLiteral("fraAvgTai"))->findChildren<QLabel *>();
    for (int i = 0; i < 7; ++i) {
        QLabel *caption = nullptr;
        for (QLabel *l : labels)
            if (l->text() == captions[i])
                caption = l;
        QVERIFY2(caption && caption->isVisible(), qPrintable(captions[i]));
        auto *v1 = d.find<QLabel>(name("lblD1", i));
        auto *v2 = d.find<QLabel>(name("lblD2", i));
        QCOMPARE(inPanel(d, caption).center().y(), inPanel(d, v1).center().y());
        QCOMPARE(inPanel(d, v2).center().y(), inPanel(d, v1).center().y());
        QVERIFY(inPanel(d, caption).right() < inPanel(d, v1).left());
        QVERIFY(inPanel(d, v1).right() < inPanel(d, v2).left());
        for (QWidget *w : {static_cast<QWidget *>(caption), static_cast<QWidget *>(v1),
                           static_cast<QWidget *>(v2)})
            QCOMPARE(backColor(w), bands[i]);
        if (i > 0) {
            QCOMPARE(d.find<Picture>(name("imgD1", i))->source(), QStringLiteral(":/art/ball_blue.svg"));
            QCOMPARE(d.find<Picture>(name("imgD2", i))->source(), QStringLiteral(":/art/ball_red.svg"));
            QCOMPARE(d.find(name("imgD1", i))->size(), QSize(13, 13));
        }
    }
}

void TestCompareScreen::shareBarStandsBesideTheHeaderRow()
{
    WindowDriver d;
    DataSet files = twoPersons();
    // 30 records against 10: three quarters for person 1.
    files.records1.clear();
    files.records2.clear();
    for (int i = 0; i < 30; ++i)
        files.records1.append(rec("2008/03/01", "起床後", QString::number(70 - i * 0.1)));
    for (int i = 0; i < 10; ++i)
        files.records2.append(rec("2008/03/02", "起床後", "55"));
    d.writeFiles(files);
    QVERIFY(d.start());
    QCOMPARE(d.find<QLabel>("lblD1_1")->text(), QStringLiteral("30 回  ( 75.0% )"));
    QCOMPARE(d.find<QLabel>("lblD2_1")->text(), QStringLiteral("10 回  ( 25.0% )"));

    auto *full = d.find<QFrame>("shpShareBar_1");
    auto *part = d.find<QFrame>("shpShareBar_0");
    QCOMPARE(backColor(full), QColor(0xFF, 0xC0, 0xC0));
    QCOMPARE(backColor(part), QColor(0xC0, 0xFF, 0xFF));
    auto check = [&] {
        QVERIFY(full->isVisible() && part->isVisible());
        const QRect f = inPanel(d, full);
        const QRect p = inPanel(d, part);
        QCOMPARE(p.left(), f.left());
        QCOMPARE(p.top(), f.top());
        QCOMPARE(p.height(), f.height());
        QCOMPARE(p.width(), f.width() * 3 / 4);
        const QRect header = inPanel(d, d.find("lblD2_0"));
        QVERIFY(f.left() > header.right());
        QVERIFY(f.center().y() >= header.top() && f.center().y() <= header.bottom());
    };
    check();
    // The part follows the whole bar when the window changes size.
    d.window()->resize(MainWindow::kMinimumSize);
    QCoreApplication::processEvents();
    check();
}

void TestCompareScreen::listHasEveryDayOfThePeriod()
{
    WindowDriver d;
    d.writeFiles(twoPersons());
    QVERIFY(d.start());
    auto *g = d.find<Grid>("msgAvgtai");
    QCOMPARE(g->rows(), 11);
    QCOMPARE(listRow(d, 0), strings({"日数", "日付", "体重１", "体重２"}));
    // Two weighings on the first day show their average; a day without a
    // weighing keeps its row, with the weight cell empty.
    QCOMPARE(listRow(d, 1), strings({"1", "08/03/01", "69.8", ""}));
    QCOMPARE(listRow(d, 2), strings({"2", "08/03/02", "", ""}));
    QCOMPARE(listRow(d, 3), strings({"3", "08/03/03", "66.5", ""}));
    QCOMPARE(listRow(d, 5), strings({"5", "08/03/05", "", "55.0"}));
    QCOMPARE(listRow(d, 8), strings({"8", "08/03/08", "", "54.0"}));
    QCOMPARE(listRow(d, 10), strings({"10", "08/03/10", "67.2", ""}));
    // The list fits: it starts at its first row.
    QCOMPARE(g->topRow(), 1);
    QCOMPARE(g->colAlignment(1), Grid::Align::Center);
    QCOMPARE(g->colAlignment(2), Grid::Align::Right);
}

void TestCompareScreen::longListOpensAtItsLatestDay()
{
    WindowDriver d;
    DataSet files = twoPersons();
    files.records1.clear();
    const QDate first(2008, 1, 1);
    for (QDate day = first; day <= QDate(2008, 3, 10); day = day.addDays(1))
        files.records1.append(rec(day.toString(QStringLiteral("yyyy/MM/dd")), "起床後", "70"));
    d.writeFiles(files);
    QVERIFY(d.start());
    auto *g = d.find<Grid>("msgAvgtai");
    QCOMPARE(g->rows(), 71);
    // Scrolled to its end: a full last page, the latest day at the bottom.
    QVERIFY(g->topRow() > 1);
    QCOMPARE(g->bottomRow(), 70);
    QVERIFY(g->bottomRow() - g->topRow() > 5);
    QCOMPARE(listRow(d, 70), strings({"70", "08/03/10", "70.0", ""}));
}

void TestCompareScreen::chartsCarryDaysForwardOnTheirOwnAxes()
{
    WindowDriver d;
    d.writeFiles(twoPersons());
    QVERIFY(d.start());
    auto *separate = d.find<LineChart>("mcrAvgtai");
    QCOMPARE(separate->rowCount(), 10);
    QCOMPARE(separate->rowLabel(1), QStringLiteral("08/03/01"));
    QCOMPARE(separate->rowLabel(10), QStringLiteral("08/03/10"));
    QCOMPARE(column(separate, 1), kReal1);
    QCOMPARE(column(separate, 2), kReal2);
    QVERIFY(!separate->seriesOnRightAxis(1));
    QVERIFY(separate->seriesOnRightAxis(2));
    // From Int(lowest) to Int(highest + 0.9), each person on an own axis.
    QCOMPARE(leftAxis(separate), QStringLiteral("66..70"));
    QCOMPARE(rightAxis(separate), QStringLiteral("54..55"));

    // Each person's mark stands by that person's axis, in its lower half.
    const QRect chart = inPanel(d, separate);
    const QRect mark1 = inPanel(d, d.find("imgD1_0"));
    const QRect mark2 = inPanel(d, d.find("imgD2_0"));
    QVERIFY(d.find("imgD1_0")->isVisible() && d.find("imgD2_0")->isVisible());
    QVERIFY(mark1.right() < chart.left() && chart.left() - mark1.right() < 20);
    QVERIFY(mark2.left() > chart.right() && mark2.left() - chart.right() < 20);
    for (const QRect &m : {mark1, mark2})
        QVERIFY(m.top() > chart.center().y() && m.bottom() < chart.bottom());

    // The same values on one axis wide enough for both, the chart made
    // when that view is first chosen.
    QVERIFY(!d.window()->findChild<LineChart *>(QStringLiteral("mcrAvgtai2")));
    d.click("optGra1");
    auto *same = d.find<LineChart>("mcrAvgtai2");
    QCOMPARE(same->rowCount(), 10);
    QCOMPARE(same->rowLabel(10), QStringLiteral("08/03/10"));
    QCOMPARE(column(same, 1), kReal1);
    QCOMPARE(column(same, 2), kReal2);
    QVERIFY(!same->seriesOnRightAxis(2));
    QCOMPARE(leftAxis(same), QStringLiteral("54..70"));
}

void TestCompareScreen::bothViewsFitTheSmallestWindow()
{
    WindowDriver d;
    d.writeFiles(twoPersons());
    QVERIFY(d.start());
    d.window()->resize(MainWindow::kMinimumSize);
    QCoreApplication::processEvents();
    const int optionsWidth = d.find("optGra1")->parentWidget()->width();
    for (const char *view : {"optGra1", "optGra2"}) {
        d.click(QString::fromLatin1(view));
        QCoreApplication::processEvents();
        const QStringList faults = d.layoutFaults();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
        // The frame of the other view takes the same room.
        QCOMPARE(d.find("optGra1")->parentWidget()->width(), optionsWidth);
    }
}

void TestCompareScreen::graphButtonsSwitchViewsAndExplainThem()
{
    WindowDriver d;
    DataSet files = twoPersons();
    files.helpFlag = 1;
    d.writeFiles(files);
    QVERIFY(d.start());
    d.dialogs.clear();
    QCOMPARE(checkedOptions(d), QStringLiteral("optGra2+optG1+optG3"));
    QCOMPARE(shownViews(d), QStringLiteral("mcrAvgtai+fraDgr2"));
    const QStringList captions = {d.find<QRadioButton>("optGra1")->text(), d.find<QRadioButton>("optGra2")->text(),
                                  d.find<QRadioButton>("optG1")->text(), d.find<QRadioButton>("optG2")->text(),
                                  d.find<QRadioButton>("optG3")->text(), d.find<QRadioButton>("optG4")->text()};
    QCOMPARE(captions, strings({"同一軸上でグラフ表示", "別々の軸上でグラフ表示", "実際の値のまま",
                                "グラフを重ねる", "下限自動", "下限目標"}));

    d.click("optGra1");
    QCOMPARE(shownViews(d), QStringLiteral("mcrAvgtai2+fraDgr"));
    QCOMPARE(checkedOptions(d), QStringLiteral("optGra1+optG1+optG3"));
    QCOMPARE(d.boxes(), QStringList{tourBox(kSameAxisTour)});
    QCOMPARE(d.session().help.HelpText, kSameAxisTour);
    // The chosen view again: nothing happens.
    d.dialogs.clear();
    d.click("optGra1");
    QCOMPARE(d.boxes(), QStringList());
    QCOMPARE(shownViews(d), QStringLiteral("mcrAvgtai2+fraDgr"));

    d.click("optGra2");
    QCOMPARE(shownViews(d), QStringLiteral("mcrAvgtai+fraDgr2"));
    QCOMPARE(d.boxes(), QStringList{tourBox(kSeparateAxesTour)});

    // With the tour off the views still switch, silently; the text is set.
    d.click("chkHelp");
    d.dialogs.clear();
    d.click("optGra1");
    QCOMPARE(shownViews(d), QStringLiteral("mcrAvgtai2+fraDgr"));
    QCOMPARE(d.boxes(), QStringList());
    QCOMPARE(d.session().help.HelpText, kSameAxisTour);

    // The keys move between the views as well.
    d.focusByClick(QStringLiteral("optGra1"));
    QCOMPARE(checkedOptions(d), QStringLiteral("optGra1+optG1+optG3"));
    d.press(Qt::Key_Down);
    QCOMPARE(shownViews(d), QStringLiteral("mcrAvgtai+fraDgr2"));
    QCOMPARE(d.session().help.HelpText, kSeparateAxesTour);
}

void TestCompareScreen::sameAxisChartKeepsTheBoundsItWasCopiedWith()
{
    // The lower bound belongs to the separate axes: the chart on one axis
    // shows what the comparison copied into it, automatic bounds, even
    // when it is first drawn after 下限目標 was chosen.
    WindowDriver d;
    d.writeFiles(twoPersons());
    QVERIFY(d.start());
    d.click("optG4");
    d.click("optGra1");
    auto *same = d.find<LineChart>("mcrAvgtai2");
    QCOMPARE(leftAxis(same), QStringLiteral("54..70"));
    QCOMPARE(column(same, 2), kReal2);
    QCOMPARE(shownViews(d), QStringLiteral("mcrAvgtai2+fraDgr"));
}

void TestCompareScreen::lowerBoundAndOverlayRedrawTheCharts()
{
    WindowDriver d;
    d.writeFiles(twoPersons());
    QVERIFY(d.start());
    auto *separate = d.find<LineChart>("mcrAvgtai");

    // The targets (60 and 50) become the lower bounds; the tops stay.
    d.click("optG4");
    QCOMPARE(leftAxis(separate), QStringLiteral("60..70"));
    QCOMPARE(rightAxis(separate), QStringLiteral("50..55"));
    QCOMPARE(column(separate, 1), kReal1);
    d.click("optG3");
    QCOMPARE(leftAxis(separate), QStringLiteral("66..70"));
    QCOMPARE(rightAxis(separate), QStringLiteral("54..55"));

    // Overlaid: on 03/05, the first day both have a value, person 2 is
    // 11.5 lighter and is lifted by that; person 1 stays as he is. The
    // axis runs from the higher top down by the wider range.
    d.click("optGra1");
    auto *same = d.find<LineChart>("mcrAvgtai2");
    d.click("optG2");
    QCOMPARE(column(same, 1), kReal1);
    QCOMPARE(column(same, 2), QStringLiteral("- - - - 66.5 66.5 66.5 65.5 65.5 65.5"));
    // From the higher top, 70, down by the wider range, 4; and on to 65,
    // so that the lifted curve shows whole.
    QCOMPARE(leftAxis(same), QStringLiteral("65..70"));
    // The separate-axes chart is not touched.
    QCOMPARE(column(separate, 2), kReal2);

    d.click("optG1");
    QCOMPARE(column(same, 2), kReal2);
    QCOMPARE(leftAxis(same), QStringLiteral("54..70"));

    // A lower bound chosen for the separate axes leaves the same axis as
    // it stands; the overlay reads the separate axes anew and takes it.
    d.click("optGra2");
    d.click("optG4");
    d.click("optGra1");
    QCOMPARE(leftAxis(same), QStringLiteral("54..70"));
    QCOMPARE(column(same, 2), kReal2);
    d.click("optG2");
    QCOMPARE(leftAxis(same), QStringLiteral("60..70"));
    QCOMPARE(checkedOptions(d), QStringLiteral("optGra1+optG2+optG4"));
}

void TestCompareScreen::savedWeightShowsWhenOpenedAgainWithTheChosenOptions()
{
    WindowDriver d;
    d.writeFiles(twoPersons());
    QVERIFY(d.start());
    d.click("optG4");
    d.click("optGra1");
    d.click("optG2");

    // Person 1 weighs again today on the weight screen.
    d.click("cmdMain");
    d.clickSituation(QStringLiteral("就寝前"));
    d.focusByClick(QStringLiteral("txtTaiInp"));
    d.press(Qt::Key_A, Qt::ControlModifier);
    d.type(QStringLiteral("66"));
    d.click("cmdTaiHozon");
    QCOMPARE(d.boxes(), QStringList());

    d.click("cmdAvgtai");
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraAvgTai"));
    QCOMPARE(values(d, "lblD1").mid(1, 2), strings({"5 回  ( 71.4% )", "08/03/01 → 9日"}));
    QCOMPARE(d.find<QLabel>("lblD1_5")->text(), QStringLiteral("66.0Kg ( -4.0Kg )"));
    QCOMPARE(d.find<QLabel>("lblD2_1")->text(), QStringLiteral("2 回  ( 28.6% )"));
    // The list is built anew: the same days, today's average of 67.2 and 66.
    auto *g = d.find<Grid>("msgAvgtai");
    QCOMPARE(g->rows(), 11);
    QCOMPARE(listRow(d, 10), strings({"10", "08/03/10", "66.6", ""}));

    // The charts show the new day under the choices the buttons still show.
    QCOMPARE(checkedOptions(d), QStringLiteral("optGra1+optG2+optG4"));
    QCOMPARE(shownViews(d), QStringLiteral("mcrAvgtai2+fraDgr"));
    auto *separate = d.find<LineChart>("mcrAvgtai");
    auto *same = d.find<LineChart>("mcrAvgtai2");
    QCOMPARE(column(separate, 1), QStringLiteral("69.8 69.8 66.5 66.5 66.5 66.5 66.5 66.5 66.5 66.6"));
    QCOMPARE(leftAxis(separate), QStringLiteral("60..70"));
    QCOMPARE(column(same, 2), QStringLiteral("- - - - 66.5 66.5 66.5 65.5 65.5 65.5"));
    QCOMPARE(leftAxis(same), QStringLiteral("60..70"));
}

void TestCompareScreen::personSwitchChangesNothingHere()
{
    WindowDriver d;
    d.writeFiles(twoPersons());
    QVERIFY(d.start());
    const QStringList before1 = values(d, "lblD1");
    const QStringList before2 = values(d, "lblD2");
    const QStringList marksBefore = marks(d);
    const QString chartBefore = column(d.find<LineChart>("mcrAvgtai"), 2);

    // A record written behind the window's back would show on a rebuild.
    d.tmp.writeBytes(kData2, d.bytes(kData2) + crlf({rec(kToday, "就寝前", "53")}));
    d.dialogs.clear();
    d.click("cmdUser2");
    QCOMPARE(d.session().person.selected(), PersonSlot::Two);
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraAvgTai"));
    QCOMPARE(values(d, "lblD1"), before1);
    QCOMPARE(values(d, "lblD2"), before2);
    QCOMPARE(marks(d), marksBefore);
    QCOMPARE(listRow(d, 10), strings({"10", "08/03/10", "67.2", ""}));
    QCOMPARE(column(d.find<LineChart>("mcrAvgtai"), 2), chartBefore);
    QCOMPARE(d.boxes(), QStringList());

    // Opened again from another screen it reads the files afresh.
    d.click("cmdMain");
    d.click("cmdAvgtai");
    QCOMPARE(listRow(d, 10), strings({"10", "08/03/10", "67.2", "53.0"}));
}

void TestCompareScreen::unreadableFileIsReportedAndNothingIsShown()
{
    WindowDriver d;
    d.writeFiles(twoPersons());
    QVERIFY(d.start());
    d.click("cmdMain");
    // A damaged line with a good one after it is real damage.
    d.tmp.writeBytes(kData2, crlf({rec("2008/03/05", "はじめの一歩", "55"), rec("2008/03/06", "起床後", "abc"),
                                   rec("2008/03/08", "起床後", "54")}));
    const auto files = d.snapshot();
    d.dialogs.clear();
    d.click("cmdAvgtai");

    QCOMPARE(d.visiblePanel(), QStringLiteral("fraAvgTai"));
    QCOMPARE(d.dialogs.calls.size(), 1);
    const ScriptedDialogs::Call &call = d.dialogs.calls.first();
    QCOMPARE(call.title, QStringLiteral("ファイルエラー"));
    QCOMPARE(call.icon, Icon::Critical);
    QVERIFY2(call.text.startsWith(QStringLiteral("比較に使うデータファイルを読み込めませんでした。")),
             qPrintable(call.text));
    QVERIFY2(call.text.contains(QStringLiteral("データ2.txt")) && call.text.contains(QStringLiteral("2 行目")),
             qPrintable(call.text));
    QCOMPARE(d.snapshot(), files);

    // No half comparison: the nicknames stay, nothing else.
    QCOMPARE(values(d, "lblD1"), strings({"たろう", "", "", "", "", "", ""}));
    QCOMPARE(values(d, "lblD2"), strings({"はなこ", "", "", "", "", "", ""}));
    QCOMPARE(marks(d), strings({"-", "-", "-", "-", "-", "-"}));
    QCOMPARE(d.find<Grid>("msgAvgtai")->rows(), 1);
    QCOMPARE(d.find<LineChart>("mcrAvgtai")->rowCount(), 0);
    d.click("optGra1");
    QCOMPARE(d.find<LineChart>("mcrAvgtai2")->rowCount(), 0);
    QCOMPARE(d.find<QFrame>("shpShareBar_0")->width(), 0);
}

QTEST_MAIN(TestCompareScreen)
#include "test_compare_screen.moc"
