// The analysis tables and the moving-average graph in the real window, on
// real files: what each screen shows on entry, the options, the window of
// the average, the target floor, person switches, a new weight, and a file
// that cannot be read.

#include "window_driver.h"

#include "ui/back_color.h"
#include "ui/grid.h"
#include "ui/line_chart.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTest>

#include <cmath>

using namespace wintest;
using Icon = Dialogs::Icon;

namespace {

const QColor kOrange(0xFF, 0xE0, 0xC0);

// Person 1 (target 60) loses 1.6 kg over six days with one bounce; person 2
// (target 50) weighs three times.
DataSet sixDays()
{
    DataSet s;
    s.records1 = {rec("2008/03/01", "はじめの一歩", "70"), rec("2008/03/02", "起床後", "69.6"),
                  rec("2008/03/03", "起床後", "69.4"), rec("2008/03/04", "起床後", "68.9"),
                  rec("2008/03/05", "起床後", "69.5"), rec("2008/03/06", "起床後", "68.4")};
    s.records2 = {rec("2008/03/01", "はじめの一歩", "55"), rec("2008/03/09", "朝食後", "54.5"),
                  rec("2008/03/10", "起床後", "54.2")};
    s.movingAverage = QStringLiteral("3");
    return s;
}

QStringList row(std::initializer_list<const char *> texts)
{
    QStringList out;
    for (const char *t : texts)
        out.append(QString::fromUtf8(t));
    return out;
}

Grid *grid(const WindowDriver &d, int n) { return d.find<Grid>(QStringLiteral("msgB%1").arg(n)); }

// Data rows of msgB<n>, each as its texts.
QList<QStringList> rows(const WindowDriver &d, int n)
{
    QList<QStringList> out;
    Grid *g = grid(d, n);
    if (!g)
        return out;
    for (int r = 1; r < g->rows(); ++r) {
        QStringList texts;
        for (int c = 0; c < g->cols(); ++c)
            texts.append(g->textMatrix(r, c));
        out.append(texts);
    }
    return out;
}

QStringList column(const WindowDriver &d, int n, int col)
{
    QStringList out;
    for (const QStringList &r : rows(d, n))
        out.append(r.value(col));
    return out;
}

QString text(const WindowDriver &d, const char *name)
{
    const QString n = QString::fromLatin1(name);
    if (auto *l = d.window()->findChild<QLabel *>(n))
        return l->text();
    if (auto *b = d.window()->findChild<QAbstractButton *>(n))
        return b->text();
    if (auto *g = d.window()->findChild<QGroupBox *>(n))
        return g->title();
    d.find(n); // reports the missing control
    return QString();
}

LineChart *graph(const WindowDriver &d) { return d.find<LineChart>(QStringLiteral("mcrRentai")); }

// Column col of the graph, row 1 first; an empty cell is NaN.
QList<double> line(const WindowDriver &d, int col)
{
    QList<double> out;
    LineChart *c = graph(d);
    for (int r = 1; c && r <= c->rowCount(); ++r)
        out.append(c->value(r, col).value_or(std::nan("")));
    return out;
}

bool sameLine(const QList<double> &got, const QList<double> &want)
{
    if (got.size() != want.size())
        return false;
    for (qsizetype i = 0; i < got.size(); ++i) {
        if (std::isnan(got[i]) != std::isnan(want[i]))
            return false;
        if (!std::isnan(got[i]) && std::abs(got[i] - want[i]) > 1e-4)
            return false;
    }
    return true;
}

QString describeLine(const QList<double> &values)
{
    QStringList out;
    for (double v : values)
        out.append(std::isnan(v) ? QStringLiteral("-") : QString::number(v));
    return out.join(QLatin1Char(' '));
}

#define COMPARE_LINE(got, want)                                                                    \
    QVERIFY2(sameLine(got, want), qPrintable(describeLine(got) + QStringLiteral("  expected  ")   \
                                             + describeLine(want)))

const double kNone = std::nan("");

QColor mokuChkBack(const WindowDriver &d)
{
    auto *b = d.find<ColourButton>(QStringLiteral("cmdMokuChk"));
    return b ? b->backColor() : QColor(Qt::black);
}

// Clicks into the weight box, empties it and types, as a user does.
void saveWeight(const WindowDriver &d, const QString &situation, const QString &weight)
{
    d.click("cmdMain");
    d.clickSituation(situation);
    d.focusByClick(QStringLiteral("txtTaiInp"));
    d.press(Qt::Key_A, Qt::ControlModifier);
    d.press(Qt::Key_Delete);
    d.type(weight);
    d.click("cmdTaiHozon");
}

} // namespace

class TestAnalysisScreen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpWindowTests(); }

    void analysisEntryFillsTheFourTablesFromTheFile();
    void optionsRefillFromTheSeriesInMemoryAndKeepTheirChoice();
    void graphEntryDrawsBothLinesAndTheSummary();
    void windowChoiceRedrawsTheAverageAndRefusesNonWholeNumbers();
    void targetButtonTogglesTheFloorAndEveryEntryReappliesIt();
    void personSwitchRebuildsTheVisibleScreenOnly();
    void savedWeightShowsWhenTheScreensAreReopened();
    void unreadableFileEmptiesTheScreensWithAMessage();
    void longTablesOpenAtTheirLastRowTheRankingAtItsTop();
    void screensAreLaidOutCleanlyAtEverySize_data();
    void screensAreLaidOutCleanlyAtEverySize();
};

void TestAnalysisScreen::analysisEntryFillsTheFourTablesFromTheFile()
{
    WindowDriver d;
    d.writeFiles(sixDays());
    QVERIFY(d.start());
    d.click("cmdBunseki");
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraBunseki"));
    QCOMPARE(d.boxes(), QStringList());

    QCOMPARE(text(d, "fraB1"), QStringLiteral("    時系列体重データ"));
    QCOMPARE(text(d, "fraB2"), QStringLiteral("    区切り経過"));
    QCOMPARE(text(d, "fraB3"), QStringLiteral("    体重平均推移"));
    QCOMPARE(text(d, "fraB4"), QStringLiteral("    体重推移累積番付 < 0.5Kg刻み >"));
    QCOMPARE(text(d, "Option1_0"), QStringLiteral("前回との差"));
    QCOMPARE(text(d, "Option1_1"), QStringLiteral("初回との差"));
    QCOMPARE(text(d, "Option2_0"), QStringLiteral("１.０Ｋｇ刻み"));
    QCOMPARE(text(d, "Option2_1"), QStringLiteral("０.５Ｋｇ刻み"));
    QVERIFY(d.find<QRadioButton>("Option1_0")->isChecked());
    QVERIFY(d.find<QRadioButton>("Option2_1")->isChecked());

    QCOMPARE(grid(d, 1)->textMatrix(0, 3), QStringLiteral("前回差"));
    QCOMPARE(rows(d, 1),
             (QList<QStringList>{row({"1回目", "2008/03/01", "70.0Kg", "±0.0Kg"}),
                                 row({"2回目", "2008/03/02", "69.6Kg", "-0.4Kg"}),
                                 row({"3回目", "2008/03/03", "69.4Kg", "-0.2Kg"}),
                                 row({"4回目", "2008/03/04", "68.9Kg", "-0.5Kg"}),
                                 row({"5回目", "2008/03/05", "69.5Kg", "+0.6Kg"}),
                                 row({"6回目", "2008/03/06", "68.4Kg", "-1.1Kg"})}));

    QCOMPARE(rows(d, 2), (QList<QStringList>{row({"0.5Kg減", "2008/03/03", "2日後", "2日後"}),
                                             row({"1.0Kg減", "2008/03/04", "3日後", "1日後"}),
                                             row({"1.5Kg減", "2008/03/06", "5日後", "2日後"})}));
    QCOMPARE(text(d, "Label5_0"), QStringLiteral("最高　1.6Kg減を達成してから　0日経過"));

    QCOMPARE(column(d, 3, 0), row({"1回目", "2回目", "3回目", "4回目", "5回目", "6回目"}));
    QCOMPARE(column(d, 3, 2).first(), QStringLiteral("70.000Kg"));
    QCOMPARE(column(d, 3, 2).at(1), QStringLiteral("69.800Kg"));
    QCOMPARE(column(d, 3, 3), row({"0g", "-200g", "-133g", "-192g", "+5g", "-180g"}));
    QCOMPARE(text(d, "Label5_1"), QStringLiteral("連続ﾏｲﾅｽ記録 1日間達成！"));

    QCOMPARE(rows(d, 4), (QList<QStringList>{row({"1位", "69.5～69.9Kg", "2回", ""}),
                                             row({"2位", "68.5～68.9Kg", "1回", "1回"}),
                                             row({"3位", "69.0～69.4Kg", "1回", "0回"}),
                                             row({"4位", "68.0～68.4Kg", "1回", "0回"}),
                                             row({"5位", "70.0～70.4Kg", "1回", "0回"})}));

    // The graph is built when its screen first opens, and draws the
    // series then.
    QCOMPARE(rows(d, 1).size(), 6);
    QVERIFY(!d.window()->findChild<LineChart *>(QStringLiteral("mcrRentai")));
    d.click("cmdRentai");
    QCOMPARE(graph(d)->rowCount(), 6);
}

void TestAnalysisScreen::optionsRefillFromTheSeriesInMemoryAndKeepTheirChoice()
{
    WindowDriver d;
    d.writeFiles(sixDays());
    QVERIFY(d.start());
    d.click("cmdBunseki");
    const QList<QStringList> milestones = rows(d, 2);

    // A record written behind the window's back would show if an option
    // reloaded the file; the options only refill from the series in memory.
    d.tmp.writeBytes(kData1, d.bytes(kData1) + crlf({rec("2008/03/07", "起床後", "60")}));

    d.click("Option1_1");
    QVERIFY(d.find<QRadioButton>("Option1_1")->isChecked());
    QVERIFY(!d.find<QRadioButton>("Option1_0")->isChecked());
    QCOMPARE(grid(d, 1)->textMatrix(0, 3), QStringLiteral("初回差"));
    QCOMPARE(column(d, 1, 3), row({"±0.0Kg", "-0.4Kg", "-0.6Kg", "-1.1Kg", "-0.5Kg", "-1.6Kg"}));
    QCOMPARE(column(d, 1, 2), row({"70.0Kg", "69.6Kg", "69.4Kg", "68.9Kg", "69.5Kg", "68.4Kg"}));

    d.click("Option2_0");
    QVERIFY(d.find<QRadioButton>("Option2_0")->isChecked());
    QVERIFY(!d.find<QRadioButton>("Option2_1")->isChecked());
    QCOMPARE(text(d, "fraB4"), QStringLiteral("    体重推移累積番付 < 1.0Kg刻み >"));
    QCOMPARE(rows(d, 4), (QList<QStringList>{row({"1位", "69.0～69.9Kg", "3回", ""}),
                                             row({"2位", "68.0～68.9Kg", "2回", "1回"}),
                                             row({"3位", "70.0～70.9Kg", "1回", "1回"})}));
    QCOMPARE(rows(d, 2), milestones);

    // Back to the first choices: the tables follow.
    d.click("Option1_0");
    QCOMPARE(grid(d, 1)->textMatrix(0, 3), QStringLiteral("前回差"));
    QCOMPARE(column(d, 1, 3).last(), QStringLiteral("-1.1Kg"));
    d.click("Option2_1");
    QCOMPARE(text(d, "fraB4"), QStringLiteral("    体重推移累積番付 < 0.5Kg刻み >"));
    QCOMPARE(rows(d, 4).size(), 5);
    d.click("Option1_1");
    d.click("Option2_0");

    // The choices last across screens and person switches, and the tables
    // are built with them.
    d.click("cmdRentai");
    d.click("cmdUser2");
    d.click("cmdBunseki");
    QVERIFY(d.find<QRadioButton>("Option1_1")->isChecked());
    QVERIFY(d.find<QRadioButton>("Option2_0")->isChecked());
    QCOMPARE(grid(d, 1)->textMatrix(0, 3), QStringLiteral("初回差"));
    QCOMPARE(column(d, 1, 3), row({"±0.0Kg", "-0.5Kg", "-0.8Kg"}));
    QCOMPARE(text(d, "fraB4"), QStringLiteral("    体重推移累積番付 < 1.0Kg刻み >"));
    QCOMPARE(rows(d, 4), (QList<QStringList>{row({"1位", "54.0～54.9Kg", "2回", ""}),
                                             row({"2位", "55.0～55.9Kg", "1回", "1回"})}));
    QCOMPARE(d.boxes(), QStringList());
}

void TestAnalysisScreen::graphEntryDrawsBothLinesAndTheSummary()
{
    WindowDriver d;
    d.writeFiles(sixDays());
    QVERIFY(d.start());
    d.click("cmdRentai");
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraRenTai"));
    QCOMPARE(d.boxes(), QStringList());

    LineChart *c = graph(d);
    QCOMPARE(c->columnCount(), 2);
    QCOMPARE(c->seriesName(1), QStringLiteral("推移"));
    QCOMPARE(c->seriesName(2), QStringLiteral("移動平均"));
    QVERIFY(c->seriesColor(1).blue() > c->seriesColor(1).red());
    QVERIFY(c->seriesColor(2).red() > c->seriesColor(2).blue());

    COMPARE_LINE(line(d, 1), (QList<double>{70, 69.6, 69.4, 68.9, 69.5, 68.4}));
    COMPARE_LINE(line(d, 2), (QList<double>{kNone, kNone, 69.66667, 69.3, 69.26667, 68.93333}));
    QCOMPARE(c->rowLabel(1), QStringLiteral("2008/03/01"));
    QCOMPARE(c->rowLabel(6), QStringLiteral("2008/03/06"));
    QCOMPARE(c->leftMin(), 68.0);
    QCOMPARE(c->leftMax(), 70.0);

    QCOMPARE(text(d, "lblNichis"),
             QStringLiteral("2008/03/01 ( 70Kg ) でスタート ～ 2008/03/06 ( 68.4Kg ) まで 5日経過 _ 1.6Kg 減"));
    QCOMPARE(text(d, "lblKiro"), QStringLiteral("最小記録 2008/03/06 の 68.4Kg   初日から 1.6Kg 減"));
    QCOMPARE(text(d, "cmdMokuChk"), QStringLiteral("目標まで残り　8.4Kg"));
    QVERIFY(!mokuChkBack(d).isValid());
}

void TestAnalysisScreen::windowChoiceRedrawsTheAverageAndRefusesNonWholeNumbers()
{
    WindowDriver d;
    d.writeFiles(sixDays());
    QVERIFY(d.start());
    d.click("cmdRentai");
    auto *cbo = d.find<QComboBox>("cboIdou");
    QCOMPARE(cbo->currentText(), QStringLiteral("3"));

    d.typeAndEnter(QStringLiteral("cboIdou"), QStringLiteral("2"));
    COMPARE_LINE(line(d, 2), (QList<double>{kNone, 69.8, 69.5, 69.15, 69.2, 68.95}));
    COMPARE_LINE(line(d, 1), (QList<double>{70, 69.6, 69.4, 68.9, 69.5, 68.4}));
    QCOMPARE(d.bytes(kAverageSetting), QByteArray("2\r\n"));

    // A window counts records: 2.5 is refused like 0, and the graph keeps
    // the window in effect.
    for (const QString &typed : {QStringLiteral("2.5"), QStringLiteral("0")}) {
        d.typeAndEnter(QStringLiteral("cboIdou"), typed);
        QCOMPARE(cbo->currentText(), QString());
        QCOMPARE(d.bytes(kAverageSetting), QByteArray("2\r\n"));
        COMPARE_LINE(line(d, 2), (QList<double>{kNone, 69.8, 69.5, 69.15, 69.2, 68.95}));
    }

    // The analysis entry redraws the graph with the window in effect, and
    // the next graph entry shows that window again in the box.
    d.click("cmdBunseki");
    d.click("cmdRentai");
    QCOMPARE(cbo->currentText(), QStringLiteral("2"));
    COMPARE_LINE(line(d, 2), (QList<double>{kNone, 69.8, 69.5, 69.15, 69.2, 68.95}));

    // A window longer than the series draws no average; 1 draws the weights.
    d.typeAndEnter(QStringLiteral("cboIdou"), QStringLiteral("7"));
    COMPARE_LINE(line(d, 2), (QList<double>(6, kNone)));
    d.typeAndEnter(QStringLiteral("cboIdou"), QStringLiteral("1"));
    COMPARE_LINE(line(d, 2), line(d, 1));
    QCOMPARE(d.bytes(kAverageSetting), QByteArray("1\r\n"));

    // A window typed but never confirmed is not drawn, and not shown on
    // the next entry.
    d.focusByClick(QStringLiteral("cboIdou"));
    d.press(Qt::Key_A, Qt::ControlModifier);
    d.type(QStringLiteral("45"));
    d.click("cmdBunseki");
    d.click("cmdRentai");
    QCOMPARE(cbo->currentText(), QStringLiteral("1"));
    COMPARE_LINE(line(d, 2), line(d, 1));
    QCOMPARE(d.bytes(kAverageSetting), QByteArray("1\r\n"));

    // A number of the list typed and left counts as picked from the list,
    // as in any combo box: the box, the graph and the file agree on it.
    d.focusByClick(QStringLiteral("cboIdou"));
    d.press(Qt::Key_A, Qt::ControlModifier);
    d.type(QStringLiteral("2"));
    d.click("cmdBunseki");
    d.click("cmdRentai");
    QCOMPARE(cbo->currentText(), QStringLiteral("2"));
    COMPARE_LINE(line(d, 2), (QList<double>{kNone, 69.8, 69.5, 69.15, 69.2, 68.95}));
    QCOMPARE(d.bytes(kAverageSetting), QByteArray("2\r\n"));
    QCOMPARE(d.boxes(), QStringList());
}

void TestAnalysisScreen::targetButtonTogglesTheFloorAndEveryEntryReappliesIt()
{
    WindowDriver d;
    d.writeFiles(sixDays());
    QVERIFY(d.start());
    d.click("cmdRentai");
    LineChart *c = graph(d);

    d.click("cmdMokuChk");
    QCOMPARE(c->leftMin(), 60.0);
    QCOMPARE(c->leftMax(), 70.0);
    QCOMPARE(mokuChkBack(d), kOrange);
    d.click("cmdMokuChk");
    QCOMPARE(c->leftMin(), 68.0);
    QCOMPARE(c->leftMax(), 70.0);
    QVERIFY(!mokuChkBack(d).isValid());

    // On again. The analysis entry redraws the graph from the lowest weight
    // but leaves the flag and the button alone; the graph entry re-applies.
    d.click("cmdMokuChk");
    d.click("cmdBunseki");
    QCOMPARE(c->leftMin(), 68.0);
    QCOMPARE(mokuChkBack(d), kOrange);
    d.click("cmdRentai");
    QCOMPARE(c->leftMin(), 60.0);
    QCOMPARE(mokuChkBack(d), kOrange);

    // Other screens and a person switch elsewhere keep the flag; the floor
    // is then the new person's target.
    d.click("cmdCale");
    d.click("cmdUser2");
    d.click("cmdRentai");
    QCOMPARE(c->leftMin(), 50.0);
    QCOMPARE(c->leftMax(), 55.0);
    QCOMPARE(text(d, "cmdMokuChk"), QStringLiteral("目標まで残り　4.2Kg"));
    QCOMPARE(mokuChkBack(d), kOrange);

    // A switch on this screen re-applies it too.
    d.click("cmdUser1");
    QCOMPARE(c->leftMin(), 60.0);
    QCOMPARE(c->leftMax(), 70.0);
    QCOMPARE(mokuChkBack(d), kOrange);
    QCOMPARE(d.boxes(), QStringList());
}

void TestAnalysisScreen::personSwitchRebuildsTheVisibleScreenOnly()
{
    WindowDriver d;
    d.writeFiles(sixDays());
    QVERIFY(d.start());

    d.click("cmdRentai"); // the graph exists from here on
    d.click("cmdBunseki");
    d.click("cmdUser2");
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraBunseki"));
    QCOMPARE(rows(d, 1), (QList<QStringList>{row({"1回目", "2008/03/01", "55.0Kg", "±0.0Kg"}),
                                             row({"2回目", "2008/03/09", "54.5Kg", "-0.5Kg"}),
                                             row({"3回目", "2008/03/10", "54.2Kg", "-0.3Kg"})}));
    QCOMPARE(rows(d, 2), (QList<QStringList>{row({"0.5Kg減", "2008/03/09", "8日後", "8日後"})}));
    QCOMPARE(text(d, "Label5_0"), QStringLiteral("最高　0.8Kg減を達成してから　0日経過"));
    QCOMPARE(column(d, 3, 2), row({"55.000Kg", "54.750Kg", "54.567Kg"}));
    QCOMPARE(text(d, "Label5_1"), QStringLiteral("連続ﾏｲﾅｽ記録 2日間達成！"));
    QCOMPARE(rows(d, 4), (QList<QStringList>{row({"1位", "54.0～54.4Kg", "1回", ""}),
                                             row({"2位", "54.5～54.9Kg", "1回", "0回"}),
                                             row({"3位", "55.0～55.4Kg", "1回", "0回"})}));
    // The graph, on its hidden screen, was redrawn with the series.
    QCOMPARE(graph(d)->rowCount(), 3);

    d.click("cmdRentai");
    d.click("cmdUser1");
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraRenTai"));
    QCOMPARE(graph(d)->rowCount(), 6);
    QCOMPARE(text(d, "lblKiro"), QStringLiteral("最小記録 2008/03/06 の 68.4Kg   初日から 1.6Kg 減"));
    d.click("cmdUser2");
    QCOMPARE(text(d, "lblNichis"),
             QStringLiteral("2008/03/01 ( 55Kg ) でスタート ～ 2008/03/10 ( 54.2Kg ) まで 9日経過 _ 0.8Kg 減"));
    COMPARE_LINE(line(d, 1), (QList<double>{55, 54.5, 54.2}));
    COMPARE_LINE(line(d, 2), (QList<double>{kNone, kNone, 54.56667}));
    QCOMPARE(graph(d)->leftMin(), 54.0);

    // The tables were not touched by a switch made on the graph screen:
    // they still show person 2, whose series they were last built from.
    QCOMPARE(rows(d, 1).size(), 3);
    QCOMPARE(d.boxes(), QStringList());
}

void TestAnalysisScreen::savedWeightShowsWhenTheScreensAreReopened()
{
    WindowDriver d;
    d.writeFiles(sixDays());
    QVERIFY(d.start());
    d.click("cmdBunseki");
    d.click("cmdRentai");
    QCOMPARE(graph(d)->rowCount(), 6);

    saveWeight(d, QStringLiteral("就寝前"), QStringLiteral("68"));
    QCOMPARE(d.boxes(), QStringList());

    d.click("cmdBunseki");
    QCOMPARE(rows(d, 1).size(), 7);
    QCOMPARE(rows(d, 1).last(), row({"7回目", "2008/03/10", "68.0Kg", "-0.4Kg"}));
    QCOMPARE(rows(d, 2).size(), 4);
    QCOMPARE(rows(d, 2).last(), row({"2.0Kg減", "2008/03/10", "9日後", "4日後"}));
    QCOMPARE(text(d, "Label5_0"), QStringLiteral("最高　2.0Kg減を達成してから　0日経過"));
    QCOMPARE(column(d, 3, 0).size(), 7);
    QCOMPARE(column(d, 3, 3).last(), QStringLiteral("-186g"));
    QCOMPARE(text(d, "Label5_1"), QStringLiteral("連続ﾏｲﾅｽ記録 2日間達成！"));
    // The new weight's band now shares the lead and, found first, ranks first.
    QCOMPARE(rows(d, 4).size(), 5);
    QCOMPARE(rows(d, 4).at(0), row({"1位", "68.0～68.4Kg", "2回", ""}));
    QCOMPARE(rows(d, 4).at(1), row({"2位", "69.5～69.9Kg", "2回", "0回"}));

    d.click("cmdRentai");
    QCOMPARE(graph(d)->rowCount(), 7);
    QCOMPARE(graph(d)->value(7, 1).value_or(0), 68.0);
    QCOMPARE(text(d, "lblNichis"),
             QStringLiteral("2008/03/01 ( 70Kg ) でスタート ～ 2008/03/10 ( 68Kg ) まで 9日経過 _ 2.0Kg 減"));
    QCOMPARE(text(d, "lblKiro"), QStringLiteral("最小記録 2008/03/10 の 68Kg   初日から 2.0Kg 減"));
    QCOMPARE(text(d, "cmdMokuChk"), QStringLiteral("目標まで残り　8.0Kg"));
    QCOMPARE(d.boxes(), QStringList());
}

void TestAnalysisScreen::unreadableFileEmptiesTheScreensWithAMessage()
{
    WindowDriver d;
    d.writeFiles(sixDays());
    QVERIFY(d.start());
    d.click("cmdBunseki");
    d.click("cmdRentai");
    QCOMPARE(rows(d, 1).size(), 6);

    // Damage in the middle of the file: real damage, not a torn append.
    const QByteArray good = d.bytes(kData1);
    d.tmp.writeBytes(kData1, crlf({rec("2008/03/01", "はじめの一歩", "70"),
                                   QStringLiteral("\"2008/03/02\",\"起床後\",abc,\"\",\"\",\"\""),
                                   rec("2008/03/03", "起床後", "69.4")}));
    const QByteArray damaged = d.bytes(kData1);
    d.dialogs.clear();

    d.click("cmdBunseki");
    QCOMPARE(d.dialogs.calls.size(), 1);
    const ScriptedDialogs::Call &call = d.dialogs.calls.first();
    QCOMPARE(call.title, QStringLiteral("ファイルエラー"));
    QCOMPARE(call.icon, Icon::Critical);
    QVERIFY2(call.text.startsWith(QStringLiteral("体重データを読み込めませんでした。")), qPrintable(call.text));
    QVERIFY2(call.text.contains(kData1), qPrintable(call.text));
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraBunseki"));
    for (int n = 1; n <= 4; ++n)
        QCOMPARE(rows(d, n).size(), 0);
    QCOMPARE(text(d, "Label5_0"), QString());
    QCOMPARE(text(d, "Label5_1"), QString());
    // An option click on the empty screen shows nothing of the old rows.
    d.click("Option1_1");
    QCOMPARE(rows(d, 1).size(), 0);

    d.dialogs.clear();
    d.click("cmdRentai");
    QCOMPARE(d.dialogs.titles(), QStringList{QStringLiteral("ファイルエラー")});
    QCOMPARE(graph(d)->rowCount(), 0);
    QCOMPARE(text(d, "lblNichis"), QString());
    QCOMPARE(text(d, "lblKiro"), QString());
    QCOMPARE(text(d, "cmdMokuChk"), QStringLiteral("目標まで残り"));
    // Nothing is written over the damaged file; mended, it shows again.
    QCOMPARE(d.bytes(kData1), damaged);
    d.tmp.writeBytes(kData1, good);
    d.click("cmdBunseki");
    QCOMPARE(rows(d, 1).size(), 6);
}

void TestAnalysisScreen::longTablesOpenAtTheirLastRowTheRankingAtItsTop()
{
    // 80 records losing a quarter kilo a day: every table is longer than
    // its grid shows.
    WindowDriver d;
    DataSet files = sixDays();
    files.records1.clear();
    const QDate first(2007, 12, 1);
    for (int i = 0; i < 80; ++i)
        files.records1.append(rec(first.addDays(i).toString(QStringLiteral("yyyy/MM/dd")),
                                  QStringLiteral("起床後"), QString::number(70 - i * 0.25)));
    d.writeFiles(files);
    QVERIFY(d.start());
    d.window()->resize(1280, 800);
    d.click("cmdBunseki");
    QCoreApplication::processEvents();
    QCOMPARE(grid(d, 1)->rows(), 81);
    QCOMPARE(grid(d, 2)->rows(), 40);
    // Scrolled to the end, each a full page with its last row at the bottom.
    for (int i : {1, 2, 3}) {
        QVERIFY2(grid(d, i)->topRow() > 1, qPrintable(QString::number(i)));
        QCOMPARE(grid(d, i)->bottomRow(), grid(d, i)->rows() - 1);
        QVERIFY(grid(d, i)->bottomRow() - grid(d, i)->topRow() >= 4);
    }
    QCOMPARE(grid(d, 4)->topRow(), 1);
}

void TestAnalysisScreen::screensAreLaidOutCleanlyAtEverySize_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("tableRows");
    QTest::newRow("smallest") << QSize(1000, 660) << 2;
    QTest::newRow("usual") << QSize(1280, 800) << 2;
    QTest::newRow("wide") << QSize(1920, 1080) << 1;
}

void TestAnalysisScreen::screensAreLaidOutCleanlyAtEverySize()
{
    QFETCH(QSize, size);
    QFETCH(int, tableRows);
    WindowDriver d;
    d.writeFiles(sixDays());
    QVERIFY(d.start());
    d.window()->resize(size);
    QCOMPARE(d.window()->size(), size);

    d.click("cmdBunseki");
    QCoreApplication::processEvents();
    QCOMPARE(d.layoutFaults(), QStringList());
    // Two by two where four do not fit side by side; every table shows
    // several rows and its whole width.
    QSet<int> tops;
    for (int n = 1; n <= 4; ++n) {
        QWidget *frame = d.find(QStringLiteral("fraB%1").arg(n));
        tops.insert(frame->mapTo(d.window(), QPoint(0, 0)).y());
        Grid *g = grid(d, n);
        QVERIFY(g->viewport()->height() >= 5 * g->rowHeightPixels());
        QVERIFY(g->horizontalHeader()->length() <= g->viewport()->width());
    }
    QCOMPARE(tops.size(), tableRows);

    d.click("cmdRentai");
    QCoreApplication::processEvents();
    QCOMPARE(d.layoutFaults(), QStringList());
    QVERIFY(graph(d)->height() >= 300);
    // The summaries show whole.
    for (const char *name : {"lblNichis", "lblKiro"}) {
        auto *l = d.find<QLabel>(QString::fromLatin1(name));
        QVERIFY2(l->width() >= l->sizeHint().width(), name);
    }
}

QTEST_MAIN(TestAnalysisScreen)
#include "test_analysis_screen.moc"
