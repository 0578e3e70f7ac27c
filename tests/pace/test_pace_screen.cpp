// The pace screen in the real window: opened with its shortcut from the
// keyboard, both persons' figures and the chart of their trends, daily
// values, forecasts and targets; a person switch that changes nothing, a
// reopening that reads the files afresh, a file that cannot be read, and
// the record limit drawn through the chart's reduction.

#include "window_driver.h"

#include "ui/line_chart.h"
#include "ui/screen.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>

using namespace wintest;
using Icon = Dialogs::Icon;

namespace {

// The window's today is 2008/03/10.
const QString kToday = QStringLiteral("2008/03/10");

// Person 1 (target 60) loses 0.1 kg every day from 03/01 to today, twice
// weighed on the first day (70.4 and 69.6 make 70.0); person 2 (target
// 50) has weighed on two days only.
DataSet twoPersons()
{
    DataSet s;
    s.records1 = {rec("2008/03/01", "はじめの一歩", "70.4"), rec("2008/03/01", "就寝前", "69.6")};
    for (int i = 1; i < 10; ++i)
        s.records1.append(rec(QStringLiteral("2008/03/%1").arg(i + 1, 2, 10, QLatin1Char('0')),
                              QStringLiteral("起床後"), QString::number(70.0 - 0.1 * i, 'f', 1)));
    s.records2 = {rec("2008/03/05", "はじめの一歩", "55"), rec("2008/03/08", "起床後", "54")};
    return s;
}

const char *const kFigures[] = {"lblPaceName", "lblPaceTrend", "lblPaceWeek", "lblPaceGoal", "lblPaceDays",
                                "lblPaceRun"};

// The texts of one person's column, from the nickname down.
QStringList figures(const WindowDriver &d, int person)
{
    QStringList out;
    for (const char *name : kFigures)
        out.append(d.find<QLabel>(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(person))->text());
    return out;
}

QStringList strings(std::initializer_list<const char *> texts)
{
    QStringList out;
    for (const char *t : texts)
        out.append(QString::fromUtf8(t));
    return out;
}

// The rows of a chart column that hold a value, as "row:value" with two
// decimals.
QStringList points(LineChart *chart, int col)
{
    QStringList out;
    for (int r = 1; r <= chart->rowCount(); ++r)
        if (const std::optional<double> v = chart->value(r, col))
            out.append(QStringLiteral("%1:%2").arg(r).arg(*v, 0, 'f', 2));
    return out;
}

// Everything the chart holds, to see that nothing changed.
QStringList chartContent(LineChart *chart)
{
    QStringList out{QString::number(chart->rowCount()),
                    QStringLiteral("%1..%2").arg(chart->leftMin()).arg(chart->leftMax())};
    for (int col = 1; col <= chart->columnCount(); ++col)
        out.append(points(chart, col).join(QLatin1Char(' ')));
    for (const LineChart::HorizontalLine &h : chart->horizontalLines())
        out.append(QStringLiteral("%1 %2").arg(h.value).arg(h.label));
    return out;
}

// The screens that show, by objectName; every screen, whatever its folder.
QString shownScreens(const WindowDriver &d)
{
    QStringList shown;
    const auto screens = d.window()->findChildren<Screen *>();
    for (const Screen *s : screens)
        if (!s->isHidden())
            shown.append(s->objectName());
    return shown.join(QLatin1Char('+'));
}

// Ctrl+9 as a keyboard sends it: to whatever holds the focus.
void pressCtrl9(const WindowDriver &d)
{
    QTest::keyClick(d.focused(), Qt::Key_9, Qt::ControlModifier);
}

} // namespace

class TestPaceScreen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpWindowTests(); }
    void buttonSitsAfterTheSettingsWithItsShortcut();
    void shortcutOpensBothPersonsFiguresAndTheTour();
    void chartHoldsTrendsDailyValuesForecastAndTargets();
    void personSwitchChangesNothingAndReopeningReadsAfresh();
    void sharedTargetIsOneLine();
    void unreadableFileIsReportedAndNothingIsShown();
    void screenFitsTheSmallestWindow();
    void recordLimitIsDrawnThroughTheReduction();
};

void TestPaceScreen::buttonSitsAfterTheSettingsWithItsShortcut()
{
    WindowDriver d;
    d.writeFiles(twoPersons());
    QVERIFY(d.start());
    auto *b = d.find<QAbstractButton>(QStringLiteral("cmdPace"));
    QVERIFY(b);
    QCOMPARE(b->text(), QStringLiteral("ペース"));
    QCOMPARE(b->toolTip(), QStringLiteral("二人の体重の傾向と目標到達予定を表示します（Ctrl+9）"));
    QVERIFY(!b->icon().isNull());
    // After 編集, before the printing buttons.
    const int x = b->mapTo(d.window(), QPoint(0, 0)).x();
    QVERIFY(d.find(QStringLiteral("cmdSettei"))->mapTo(d.window(), QPoint(0, 0)).x() < x);
    QVERIFY(x < d.find(QStringLiteral("cmdPrint"))->mapTo(d.window(), QPoint(0, 0)).x());
    // The screen is made when it is first opened.
    QVERIFY(!d.window()->findChild<QWidget *>(QStringLiteral("fraPace")));
}

void TestPaceScreen::shortcutOpensBothPersonsFiguresAndTheTour()
{
    WindowDriver d;
    DataSet files = twoPersons();
    files.helpFlag = 1;
    d.writeFiles(files);
    QVERIFY(d.start());
    d.dialogs.clear();

    pressCtrl9(d);
    QCOMPARE(shownScreens(d), QStringLiteral("fraPace"));
    QVERIFY(d.find<QAbstractButton>(QStringLiteral("cmdPace"))->isChecked());
    QVERIFY(!d.find<QAbstractButton>(QStringLiteral("cmdAvgtai"))->isChecked());
    // The tour explains the screen once.
    QCOMPARE(d.dialogs.calls.size(), 1);
    QCOMPARE(d.dialogs.calls.first().title, QStringLiteral("ヘルプツアー"));
    QVERIFY2(d.dialogs.calls.first().text.startsWith(QStringLiteral("二人の体重の「傾向」と")),
             qPrintable(d.dialogs.calls.first().text));
    QCOMPARE(d.session().help.HelpText, d.dialogs.calls.first().text);

    // Trend 69.65 after ten days from 70.0; the last ten trends fall
    // 0.0394 kg a day: 0.28 kg a week, 9.65 kg to go takes 246 days.
    QCOMPARE(figures(d, 1), strings({"たろう", "69.7Kg ( -0.3Kg )", "-0.28Kg/週", "2008年11月11日（あと246日）",
                                     "14日中10日", "連続10日（最長10日）"}));
    // Two days weighed: no pace yet; the last weighing was two days ago.
    QCOMPARE(figures(d, 2), strings({"はなこ", "54.8Kg ( -0.2Kg )", "まだ計算できません", "まだ計算できません",
                                     "14日中2日", "連続0日（最長1日）"}));
    QVERIFY(d.find<QLabel>(QStringLiteral("lblPaceGoal_1"))->toolTip().contains(QStringLiteral("60.0Kg")));

    // Pressed again on the screen that shows, nothing happens.
    d.dialogs.clear();
    pressCtrl9(d);
    QCOMPARE(shownScreens(d), QStringLiteral("fraPace"));
    QCOMPARE(d.boxes(), QStringList());
}

void TestPaceScreen::chartHoldsTrendsDailyValuesForecastAndTargets()
{
    WindowDriver d;
    d.writeFiles(twoPersons());
    QVERIFY(d.start());
    pressCtrl9(d);
    auto *chart = d.find<LineChart>(QStringLiteral("mcrPace"));
    QVERIFY(chart);

    // One row a day from 03/01 to the forecast's 11/11.
    QCOMPARE(chart->rowCount(), 256);
    QCOMPARE(chart->rowLabel(1), QStringLiteral("08/03/01"));
    QCOMPARE(chart->rowLabel(256), QStringLiteral("08/11/11"));
    QCOMPARE(chart->columnCount(), 6);

    // Columns 1 and 2: the trends, solid, named after the persons.
    QCOMPARE(points(chart, 1), strings({"1:70.00", "2:69.99", "3:69.97", "4:69.94", "5:69.91", "6:69.87",
                                        "7:69.82", "8:69.77", "9:69.71", "10:69.65"}));
    QCOMPARE(points(chart, 2), strings({"5:55.00", "6:54.97", "7:54.90", "8:54.81"}));
    QCOMPARE(chart->seriesName(1), QStringLiteral("たろう"));
    QCOMPARE(chart->seriesName(2), QStringLiteral("はなこ"));
    QCOMPARE(chart->seriesLine(1), LineChart::Line::Solid);
    QCOMPARE(chart->seriesLine(2), LineChart::Line::Solid);
    // In the persons' colours: blue and red.
    QVERIFY(chart->seriesColor(1).blue() > chart->seriesColor(1).red());
    QVERIFY(chart->seriesColor(2).red() > chart->seriesColor(2).blue());

    // Columns 3 and 4: the days weighed, as points alone; the days between
    // are filled for the trend but get no point.
    QCOMPARE(chart->seriesLine(3), LineChart::Line::Points);
    QCOMPARE(chart->seriesLine(4), LineChart::Line::Points);
    QCOMPARE(points(chart, 3).size(), 10);
    QCOMPARE(points(chart, 3).first(), QStringLiteral("1:70.00"));
    QCOMPARE(points(chart, 4), strings({"5:55.00", "8:54.00"}));
    QCOMPARE(chart->markedPoints(4).size(), 2);

    // Columns 5 and 6: the forecast, dashed, from the last trend to the
    // target on the target date; none for the person without a date.
    QCOMPARE(chart->seriesLine(5), LineChart::Line::Dashed);
    const QStringList forecast = points(chart, 5);
    QCOMPARE(forecast.size(), 247);
    QCOMPARE(forecast.first(), QStringLiteral("10:69.65"));
    QCOMPARE(forecast.last(), QStringLiteral("256:60.00"));
    QCOMPARE(points(chart, 6), QStringList());

    // Both targets as lines across the plot, inside the axis.
    const QList<LineChart::HorizontalLine> targets = chart->horizontalLines();
    QCOMPARE(targets.size(), 2);
    QCOMPARE(targets.at(0).value, 60.0);
    QCOMPARE(targets.at(0).label, QStringLiteral("たろうの目標 60.0Kg"));
    QCOMPARE(targets.at(0).color, chart->seriesColor(1));
    QCOMPARE(targets.at(1).value, 50.0);
    QCOMPARE(targets.at(1).label, QStringLiteral("はなこの目標 50.0Kg"));
    QCOMPARE(chart->leftMin(), 48.0); // room under the lower target for its text
    QCOMPARE(chart->leftMax(), 70.0);

    // The chart draws the trend as a line and the forecast reaches the target.
    QVERIFY(!chart->drawnSegments(1).isEmpty());
    QCOMPARE(chart->drawnSegments(5).constFirst().constLast(), QPointF(256, 60.0));
}

void TestPaceScreen::personSwitchChangesNothingAndReopeningReadsAfresh()
{
    WindowDriver d;
    d.writeFiles(twoPersons());
    QVERIFY(d.start());
    pressCtrl9(d);
    const QStringList before1 = figures(d, 1);
    const QStringList before2 = figures(d, 2);
    auto *chart = d.find<LineChart>(QStringLiteral("mcrPace"));
    const QStringList chartBefore = chartContent(chart);

    // Records written behind the window's back would show on a rebuild.
    d.tmp.writeBytes(kData2, d.bytes(kData2) + crlf({rec("2008/03/09", "起床後", "53.8"), rec(kToday, "起床後", "53.6")}));
    d.dialogs.clear();
    d.click("cmdUser2");
    QCOMPARE(d.session().person.selected(), PersonSlot::Two);
    QCOMPARE(shownScreens(d), QStringLiteral("fraPace"));
    QCOMPARE(figures(d, 1), before1);
    QCOMPARE(figures(d, 2), before2);
    QCOMPARE(chartContent(chart), chartBefore);
    d.click("cmdUser1");
    QCOMPARE(d.session().person.selected(), PersonSlot::One);
    QCOMPARE(figures(d, 2), before2);
    QCOMPARE(chartContent(chart), chartBefore);
    QCOMPARE(d.boxes(), QStringList());

    // Opened again from another screen it reads both files afresh: four
    // days weighed now give person 2 a pace.
    QTest::keyClick(d.focused(), Qt::Key_2, Qt::ControlModifier);
    QCOMPARE(shownScreens(d), QStringLiteral("fraAvgTai"));
    pressCtrl9(d);
    QCOMPARE(figures(d, 1), before1);
    const QStringList after2 = figures(d, 2);
    QCOMPARE(after2.at(4), QStringLiteral("14日中4日"));
    QCOMPARE(after2.at(5), QStringLiteral("連続3日（最長3日）"));
    QVERIFY2(after2.at(2).endsWith(QStringLiteral("Kg/週")) && after2.at(2).startsWith(u'-'),
             qPrintable(after2.at(2)));
    QCOMPARE(points(chart, 4).size(), 4);
}

void TestPaceScreen::sharedTargetIsOneLine()
{
    WindowDriver d;
    DataSet files = twoPersons();
    files.person2.target = QStringLiteral("60");
    d.writeFiles(files);
    QVERIFY(d.start());
    pressCtrl9(d);
    const QList<LineChart::HorizontalLine> targets = d.find<LineChart>(QStringLiteral("mcrPace"))->horizontalLines();
    QCOMPARE(targets.size(), 1);
    QCOMPARE(targets.first().value, 60.0);
    QCOMPARE(targets.first().label, QStringLiteral("たろう・はなこの目標 60.0Kg"));
}

void TestPaceScreen::unreadableFileIsReportedAndNothingIsShown()
{
    WindowDriver d;
    d.writeFiles(twoPersons());
    QVERIFY(d.start());
    // A damaged line with a good one after it is real damage.
    d.tmp.writeBytes(kData2, crlf({rec("2008/03/05", "はじめの一歩", "55"), rec("2008/03/06", "起床後", "abc"),
                                   rec("2008/03/08", "起床後", "54")}));
    const auto files = d.snapshot();
    d.dialogs.clear();
    pressCtrl9(d);

    QCOMPARE(shownScreens(d), QStringLiteral("fraPace"));
    QCOMPARE(d.dialogs.calls.size(), 1);
    const ScriptedDialogs::Call &call = d.dialogs.calls.first();
    QCOMPARE(call.title, QStringLiteral("ファイルエラー"));
    QCOMPARE(call.icon, Icon::Critical);
    QVERIFY2(call.text.contains(QStringLiteral("データ2.txt")) && call.text.contains(QStringLiteral("2 行目")),
             qPrintable(call.text));
    QCOMPARE(d.snapshot(), files);
    // Not one person's figures beside nothing: the nicknames alone.
    QCOMPARE(figures(d, 1), strings({"たろう", "", "", "", "", ""}));
    QCOMPARE(figures(d, 2), strings({"はなこ", "", "", "", "", ""}));
    auto *chart = d.find<LineChart>(QStringLiteral("mcrPace"));
    QCOMPARE(chart->rowCount(), 0);
    QCOMPARE(chart->horizontalLines().size(), 0);
}

void TestPaceScreen::screenFitsTheSmallestWindow()
{
    WindowDriver d;
    d.writeFiles(twoPersons());
    QVERIFY(d.start());
    d.window()->resize(MainWindow::kMinimumSize);
    pressCtrl9(d);
    QCoreApplication::processEvents();
    const QStringList faults = d.layoutFaults();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    // The longest goal text shows whole.
    auto *goal = d.find<QLabel>(QStringLiteral("lblPaceGoal_1"));
    goal->setText(QStringLiteral("目標から離れています（+10.34kg/週）"));
    QVERIFY(goal->width() >= goal->sizeHint().width());
}

// One record a day for 32,767 days: the chart keeps every day and draws a
// few points per pixel column.
void TestPaceScreen::recordLimitIsDrawnThroughTheReduction()
{
    WindowDriver d;
    DataSet files = twoPersons();
    const int n = 32767;
    const QDate first = QDate(2008, 3, 10).addDays(-(n - 1));
    files.records1.clear();
    files.records1.reserve(n);
    for (int i = 0; i < n; ++i)
        files.records1.append(rec(first.addDays(i).toString(QStringLiteral("yyyy/MM/dd")), QStringLiteral("起床後"),
                                  QString::number(65.0 + (i % 20) / 10.0, 'f', 1)));
    d.writeFiles(files);
    QVERIFY(d.start());
    pressCtrl9(d);
    QCOMPARE(shownScreens(d), QStringLiteral("fraPace"));
    auto *chart = d.find<LineChart>(QStringLiteral("mcrPace"));
    QVERIFY(chart->rowCount() >= n); // and the forecast's days, if any
    QCOMPARE(QString::number(chart->value(n, 3).value_or(0), 'f', 2), QStringLiteral("65.60"));
    const int perPixel = 4 * qRound(chart->plotArea().width());
    qsizetype drawn = 0;
    for (const QList<QPointF> &run : chart->drawnSegments(1))
        drawn += run.size();
    QVERIFY2(drawn > 0 && drawn <= perPixel, qPrintable(QString::number(drawn)));
    const qsizetype marked = chart->markedPoints(3).size();
    QVERIFY2(marked > 0 && marked <= perPixel, qPrintable(QString::number(marked)));
    QCOMPARE(figures(d, 1).at(4), QStringLiteral("14日中14日"));
    QCOMPARE(figures(d, 1).at(5), QStringLiteral("連続32767日（最長32767日）"));
}

QTEST_MAIN(TestPaceScreen)
#include "test_pace_screen.moc"
