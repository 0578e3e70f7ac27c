// The weight screen in the real window: the day view with its counts and
// faces, entering and saving a weight, and the two BMI meters.

#include "window_driver.h"

#include "ui/back_color.h"
#include "ui/grid.h"
#include "ui/line_chart.h"
#include "ui/month_calendar.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QAbstractItemView>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace wintest;
using Icon = Dialogs::Icon;
using Buttons = Dialogs::Buttons;
using Answer = Dialogs::Answer;

namespace {

const QString kToday = QStringLiteral("2008/03/10");
const QColor kRed(0xFF, 0xC0, 0xC0);
const QColor kGreen(0xC0, 0xFF, 0xC0);
const QColor kYellow(0xFF, 0xFF, 0xC0);

// Person 1 (170 cm) started at 70 kg on 03/01, weighed on 03/05 and three
// times today; person 2 (160 cm) started on 03/01 and weighed once today.
DataSet everyday()
{
    DataSet s;
    s.records1 = {rec("2008/03/01", "はじめの一歩", "70"), rec("2008/03/05", "起床後", "68.5"),
                  rec(kToday, "起床後", "68"), rec(kToday, "朝食後", "68.04"),
                  rec(kToday, "夕食後", "67.98")};
    s.records2 = {rec("2008/03/01", "はじめの一歩", "55"), rec(kToday, "起床後", "54.2")};
    return s;
}

QString warning(const QString &title, const QString &text)
{
    return box(text, title, Icon::Exclamation);
}

QStringList row(std::initializer_list<const char *> texts)
{
    QStringList out;
    for (const char *t : texts)
        out.append(QString::fromUtf8(t));
    return out;
}

QString visibleFace(const WindowDriver &d, const QStringList &names)
{
    QStringList shown;
    for (const QString &n : names)
        if (!d.find(n)->isHidden())
            shown.append(n);
    return shown.join(QLatin1Char('+'));
}

QString dayFace(const WindowDriver &d)
{
    return visibleFace(d, {"imgNashi", "imgkana", "imgniko", "imgwara"});
}

QString countFace(const WindowDriver &d, int person)
{
    QStringList names;
    for (const char *n : {"imgNon", "imgKura", "imgNi", "imgWarai"})
        names.append(QStringLiteral("%1%2").arg(QLatin1String(n)).arg(person));
    return visibleFace(d, names);
}

QString labelText(const WindowDriver &d, const char *name)
{
    auto *l = d.find<QLabel>(QString::fromLatin1(name));
    return l ? l->text() : QString();
}

QLineEdit *weightBox(const WindowDriver &d) { return d.find<QLineEdit>("txtTaiInp"); }

// Clicks into the weight box, empties it and types, as a user does.
void typeWeight(const WindowDriver &d, const QString &text)
{
    d.focusByClick(QStringLiteral("txtTaiInp"));
    d.press(Qt::Key_A, Qt::ControlModifier);
    d.press(Qt::Key_Delete);
    d.type(text);
}

} // namespace

class TestWeightScreen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    // Day view
    void entryCountsShowOnBothPersonButtons_data();
    void entryCountsShowOnBothPersonButtons();
    void startDayComparesWithItself();
    void rowsCompareWithTheRecordBeforeThemAndMarkAsShown();
    void dayWithoutMeasurementsShowsTheFilesLastWeight();
    void faceOfTheDayFollowsTheDaysChange_data();
    void faceOfTheDayFollowsTheDaysChange();
    void nineRowsScrollToTheEndEightDoNot_data();
    void nineRowsScrollToTheEndEightDoNot();
    void pickingADayRebuildsAndFocusesThePerson();
    void movingTheDayWithKeysRebuildsAndKeepsTheFocus();

    // Weight input and save
    void saveChecksComeInOrderAndWriteNothing();
    void implausibleWeightIsRefused_data();
    void implausibleWeightIsRefused();
    void choosingASituationOffersTheLatestWeight();
    void chosenSituationShowsInTheListAndOnTheStepButtons();
    void fullWidthNumbersCountAsTheirAsciiForms();
    void stepButtonsMoveByTheStoredStep_data();
    void stepButtonsMoveByTheStoredStep();
    void savedRecordShowsAtOnce();
    void enterInTheWeightBoxSavesAndFocusesTheList();
    void backDatedSaveGoesInOrderWithoutTime();
    void timeButtonStoresTheTimeAsSituation();
    void freeSituationWithYesJoinsTheList();
    void freeSituationWithNoOnlySetsTheSituation();
    void freeSituationCancelledOrEmptyChangesNothing_data();
    void freeSituationCancelledOrEmptyChangesNothing();
    void freeSituationTheFileCannotHoldIsRefused_data();
    void freeSituationTheFileCannotHoldIsRefused();
    void switchElsewhereThenEntrySavesForTheNewPerson();
    void saveGoesToTheDataFileWhateverItsExtensionCase_data();
    void saveGoesToTheDataFileWhateverItsExtensionCase();

    // BMI meters
    void metersShowTheLatestWeight();
    void slidingTheBarSimulatesWeightAndObesity();
    void personSwitchOnSettingsRefreshesTheMeters_data();
    void personSwitchOnSettingsRefreshesTheMeters();
    void switchElsewhereThenEntryRefreshesTheMeters();
};

void TestWeightScreen::initTestCase() { setUpWindowTests(); }

// ---------------------------------------------------------------- day view

void TestWeightScreen::entryCountsShowOnBothPersonButtons_data()
{
    QTest::addColumn<int>("count1");
    QTest::addColumn<int>("count2");
    QTest::addColumn<QColor>("back1");
    QTest::addColumn<QColor>("back2");
    QTest::addColumn<QString>("face1");
    QTest::addColumn<QString>("face2");
    QTest::newRow("2 and 2") << 2 << 2 << kYellow << kYellow << "imgNi1" << "imgNi2";
    QTest::newRow("0 and 3") << 0 << 3 << kRed << kGreen << "imgNon1" << "imgWarai2";
    QTest::newRow("1 and 0") << 1 << 0 << kGreen << kRed << "imgKura1" << "imgNon2";
    QTest::newRow("5 and 4") << 5 << 4 << kGreen << kRed << "imgWarai1" << "imgWarai2";
}

void TestWeightScreen::entryCountsShowOnBothPersonButtons()
{
    QFETCH(int, count1);
    QFETCH(int, count2);
    QFETCH(QColor, back1);
    QFETCH(QColor, back2);
    QFETCH(QString, face1);
    QFETCH(QString, face2);
    DataSet files;
    for (int i = 0; i < count1; ++i)
        files.records1.append(rec(kToday, "起床後", QString::number(64 + i)));
    for (int i = 0; i < count2; ++i)
        files.records2.append(rec(kToday, "起床後", QString::number(54 + i)));
    WindowDriver d;
    d.writeFiles(files);
    QVERIFY(d.start());

    QCOMPARE(labelText(d, "lblUser1"), QString::number(count1));
    QCOMPARE(labelText(d, "lblUser2"), QString::number(count2));
    QCOMPARE(backColor(d.find("lblUser1")), back1);
    QCOMPARE(backColor(d.find("lblUser2")), back2);
    QCOMPARE(countFace(d, 1), face1);
    QCOMPARE(countFace(d, 2), face2);

    // The same from person 2's side.
    d.click("cmdMain");
    d.click("cmdUser2");
    QCOMPARE(labelText(d, "lblUser1"), QString::number(count1));
    QCOMPARE(labelText(d, "lblUser2"), QString::number(count2));
    QCOMPARE(backColor(d.find("lblUser1")), back1);
    QCOMPARE(backColor(d.find("lblUser2")), back2);
    QCOMPARE(countFace(d, 1), face1);
    QCOMPARE(countFace(d, 2), face2);
}

void TestWeightScreen::startDayComparesWithItself()
{
    WindowDriver d(QDate(2008, 3, 1));
    DataSet files;
    files.records1 = {rec("2008/03/01", "はじめの一歩", "70"), rec("2008/03/01", "朝食後", "70.5")};
    d.writeFiles(files);
    QVERIFY(d.start());
    d.click("cmdMain");

    QCOMPARE(d.dayRowCount(), 2);
    QCOMPARE(d.dayRow(1), row({"1", "はじめの一歩", "70.0Kg", "0.0Kg", "→", "0.0Kg", "→", "24.2", "10.1%"}));
    QCOMPARE(d.dayRow(2), row({"2", "朝食後", "70.5Kg", "0.5Kg", "↑", "0.5Kg", "↑", "24.4", "10.9%"}));
    QCOMPARE(d.dayList()->cellBackColor(1, 4), kYellow);
    QCOMPARE(d.dayList()->cellBackColor(1, 6), kYellow);
    QCOMPARE(d.dayList()->cellBackColor(2, 4), kRed);
    QCOMPARE(dayFace(d), QStringLiteral("imgkana"));
    QCOMPARE(labelText(d, "lblDspNissuu"), QStringLiteral("08/03/01 → 0日経過"));
    QCOMPARE(labelText(d, "lblDspTai"), QStringLiteral("70.0Kg → 0.5Kg 増"));
}

void TestWeightScreen::rowsCompareWithTheRecordBeforeThemAndMarkAsShown()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");

    // Row 1 against 03/05, five days back; +0.04 shows as 0.0 and "→";
    // -0.06 shows as -0.1 and "↓".
    QCOMPARE(d.dayRowCount(), 3);
    QCOMPARE(d.dayRow(1), row({"1", "起床後", "68.0Kg", "-0.5Kg", "↓", "0.0Kg", "→", "23.5", "7.0%"}));
    QCOMPARE(d.dayRow(2), row({"2", "朝食後", "68.0Kg", "0.0Kg", "→", "0.0Kg", "→", "23.5", "7.0%"}));
    QCOMPARE(d.dayRow(3), row({"3", "夕食後", "68.0Kg", "-0.1Kg", "↓", "0.0Kg", "→", "23.5", "6.9%"}));
    Grid *g = d.dayList();
    QCOMPARE(g->cellBackColor(1, 4), kGreen);
    QCOMPARE(g->cellBackColor(2, 4), kYellow);
    QCOMPARE(g->cellBackColor(3, 4), kGreen);
    for (int r = 1; r <= 3; ++r) {
        QCOMPARE(g->cellBackColor(r, 6), kYellow);
        QCOMPARE(g->cellBackColor(r, 3), QColor());
    }
    QCOMPARE(g->textMatrix(0, 3), QStringLiteral("前回差"));

    QCOMPARE(dayFace(d), QStringLiteral("imgniko"));
    QCOMPARE(labelText(d, "lblDspNissuu"), QStringLiteral("08/03/01 → 9日経過"));
    QCOMPARE(labelText(d, "lblDspTai"), QStringLiteral("70.0Kg → 2.0Kg 減"));
    QCOMPARE(labelText(d, "lblDspBmi"), QStringLiteral("24.2 → 0.7 減"));
    QCOMPARE(labelText(d, "lblDspHiman"), QStringLiteral("10.1% → 3.2% 減"));

    QCOMPARE(d.chartPoints(), (QList<double>{68.0f, 68.04f, 67.98f}));
    // 67 up to 68.04 + 0.9, widened to 69 so that 68.04 stays on the chart.
    QCOMPARE(d.chart()->leftMin(), 67.0);
    QCOMPARE(d.chart()->leftMax(), 69.0);
    QCOMPARE(d.session().day.LatestWeight, 67.98f);
    QCOMPARE(d.session().day.RecordCount, 5);
}

void TestWeightScreen::dayWithoutMeasurementsShowsTheFilesLastWeight()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    d.pickDay(QDate(2008, 3, 7));
    QCOMPARE(d.find<MonthCalendar>("mtvmain")->selectedDate(), QDate(2008, 3, 7));
    QCOMPARE(d.dayRowCount(), 0);
    QCOMPARE(dayFace(d), QStringLiteral("imgNashi"));
    QCOMPARE(d.chartPoints(), QList<double>());
    QCOMPARE(d.session().day.LatestWeight, 67.98f);
    // Days are counted to the file's last date.
    QCOMPARE(labelText(d, "lblDspNissuu"), QStringLiteral("08/03/01 → 9日経過"));
    QCOMPARE(labelText(d, "lblUser1"), QStringLiteral("0"));
    QCOMPARE(labelText(d, "lblUser2"), QStringLiteral("0"));
    QCOMPARE(countFace(d, 1), QStringLiteral("imgNon1"));
}

void TestWeightScreen::faceOfTheDayFollowsTheDaysChange_data()
{
    QTest::addColumn<QStringList>("weights");
    QTest::addColumn<QString>("face");
    QTest::newRow("up") << QStringList{"68", "68.5"} << "imgkana";
    QTest::newRow("one measurement") << QStringList{"68"} << "imgniko";
    QTest::newRow("down 0.04 is no change") << QStringList{"68", "67.96"} << "imgniko";
    QTest::newRow("down") << QStringList{"68", "68.9", "67.9"} << "imgwara";
    QTest::newRow("none") << QStringList{} << "imgNashi";
}

void TestWeightScreen::faceOfTheDayFollowsTheDaysChange()
{
    QFETCH(QStringList, weights);
    QFETCH(QString, face);
    DataSet files;
    for (const QString &w : weights)
        files.records1.append(rec(kToday, "起床後", w));
    WindowDriver d;
    d.writeFiles(files);
    QVERIFY(d.start());
    d.click("cmdMain");
    QCOMPARE(dayFace(d), face);
}

void TestWeightScreen::nineRowsScrollToTheEndEightDoNot_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("askedTopRow");
    QTest::newRow("nine") << 9 << 9;
    QTest::newRow("eight") << 8 << 1;
    QTest::newRow("forty") << 40 << 40;
}

void TestWeightScreen::nineRowsScrollToTheEndEightDoNot()
{
    QFETCH(int, rows);
    QFETCH(int, askedTopRow);
    DataSet files;
    for (int i = 0; i < rows; ++i)
        files.records1.append(rec(kToday, "起床後", QStringLiteral("64.%1").arg(i % 10)));
    files.records2 = files.records1;
    WindowDriver d;
    d.writeFiles(files);
    QVERIFY(d.start());
    // Refreshed while the screen is hidden, by a switch on the settings
    // screen: the grid holds the top row asked for until it is shown.
    d.click("cmdMain");
    d.click("cmdSettei");
    d.click("cmdUser2");
    QCOMPARE(d.dayRowCount(), rows);
    QCOMPARE(d.dayList()->topRow(), askedTopRow);

    // Shown, and again refreshed while showing: the grid holds eight
    // measurements, so a ninth puts the newest row at the top.
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 0)
            d.click("cmdMain");
        else
            d.pickDay(QDate(2008, 3, 10));
        Grid *g = d.dayList();
        QCOMPARE(d.dayRowCount(), rows);
        // The newest row at the bottom of a full page of eight.
        QCOMPARE(g->bottomRow(), rows);
        QCOMPARE(g->topRow(), rows > 8 ? rows - 7 : 1);
        QCOMPARE(g->viewport()->height() / g->rowHeightPixels(), 8);
    }
}

void TestWeightScreen::movingTheDayWithKeysRebuildsAndKeepsTheFocus()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    d.pickDay(QDate(2008, 3, 6));
    auto *cal = d.find<MonthCalendar>("mtvmain");
    auto *days = cal->findChild<QTableView *>();
    QVERIFY(days);
    days->setFocus();
    // Two days back with the keys: the list follows every step, so a save
    // always goes to the day on the screen, and the keys keep working.
    d.press(Qt::Key_Left);
    QCOMPARE(cal->selectedDate(), QDate(2008, 3, 5));
    QCOMPARE(d.dayRowCount(), 1);
    QCOMPARE(d.dayRow(1).value(1), QStringLiteral("起床後"));
    d.press(Qt::Key_Left);
    QCOMPARE(cal->selectedDate(), QDate(2008, 3, 4));
    QCOMPARE(d.dayRowCount(), 0);
    QCOMPARE(d.window()->focusWidget(), days);
    QCOMPARE(d.boxes(), QStringList());
}

void TestWeightScreen::pickingADayRebuildsAndFocusesThePerson()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");

    d.pickDay(QDate(2008, 3, 5));
    QCOMPARE(d.find<MonthCalendar>("mtvmain")->selectedDate(), QDate(2008, 3, 5));
    QCOMPARE(d.dayRowCount(), 1);
    QCOMPARE(d.dayRow(1), row({"1", "起床後", "68.5Kg", "-1.5Kg", "↓", "0.0Kg", "→", "23.7", "7.7%"}));
    QCOMPARE(labelText(d, "lblDspNissuu"), QStringLiteral("08/03/01 → 4日経過"));
    QCOMPARE(labelText(d, "lblUser1"), QStringLiteral("1"));
    QCOMPARE(labelText(d, "lblUser2"), QStringLiteral("0"));
    QCOMPARE(d.window()->focusWidget(), d.find("cmdUser1"));
    QCOMPARE(d.boxes(), QStringList());

    d.click("cmdUser2");
    d.find("lstAct")->setFocus();
    d.pickDay(QDate(2008, 3, 1));
    QCOMPARE(d.dayRow(1), row({"1", "はじめの一歩", "55.0Kg", "0.0Kg", "→", "0.0Kg", "→", "21.5", "-2.3%"}));
    QCOMPARE(d.window()->focusWidget(), d.find("cmdUser2"));
}

// ------------------------------------------------------ weight input, save

void TestWeightScreen::saveChecksComeInOrderAndWriteNothing()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    const auto before = d.snapshot();

    // A typed weight without a situation.
    weightBox(d)->setFocus();
    typeWeight(d, QStringLiteral("65"));
    d.click("cmdTaiHozon");
    d.clickSituation(QStringLiteral("朝食後"));
    typeWeight(d, QString());
    d.click("cmdTaiHozon");
    typeWeight(d, QStringLiteral("   "));
    d.click("cmdTaiHozon");
    typeWeight(d, QStringLiteral("abc"));
    d.click("cmdTaiHozon");
    typeWeight(d, QStringLiteral("65kg"));
    d.click("cmdTaiHozon");

    QCOMPARE(d.boxes(), (QStringList{
                            warning(QStringLiteral("行動未入力"), QStringLiteral("行動が指定されていません")),
                            warning(QStringLiteral("体重未入力"), QStringLiteral("体重が入力されていません")),
                            warning(QStringLiteral("体重未入力"), QStringLiteral("体重が入力されていません")),
                            warning(QStringLiteral("数値以外入力"), QStringLiteral("数値を入力してください")),
                            warning(QStringLiteral("数値以外入力"), QStringLiteral("数値を入力してください")),
                        }));
    QCOMPARE(d.snapshot(), before);
    // A refused save keeps the pending entry.
    QCOMPARE(d.session().SelectedSituation, QStringLiteral("朝食後"));
    QVERIFY(d.find("cmdUp")->isEnabled());
    QCOMPARE(d.dayRowCount(), 3);
}

void TestWeightScreen::implausibleWeightIsRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("saved");
    QTest::newRow("0") << "0" << false;
    QTest::newRow("0.0") << "0.0" << false;
    QTest::newRow("-1") << "-1" << false;
    QTest::newRow("500.1") << "500.1" << false;
    QTest::newRow("655") << "655" << false;
    QTest::newRow("500") << "500" << true;
    QTest::newRow("0.1") << "0.1" << true;
}

void TestWeightScreen::implausibleWeightIsRefused()
{
    QFETCH(QString, typed);
    QFETCH(bool, saved);
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    const QByteArray before = d.bytes(kData1);
    d.clickSituation(QStringLiteral("就寝前"));
    typeWeight(d, typed);
    d.click("cmdTaiHozon");
    if (saved) {
        QCOMPARE(d.boxes(), QStringList());
        QCOMPARE(d.bytes(kData1), before + crlf({rec(kToday, "就寝前", typed)}));
    } else {
        QCOMPARE(d.boxes(), QStringList{warning(QStringLiteral("体重範囲外"),
                                                QStringLiteral("体重は0Kgより大きく500Kg以下の数値を入力してください"))});
        QCOMPARE(d.bytes(kData1), before);
    }
}

void TestWeightScreen::choosingASituationOffersTheLatestWeight()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    QVERIFY(!d.find("cmdUp")->isEnabled());
    QVERIFY(!d.find("cmdDn")->isEnabled());

    d.clickSituation(QStringLiteral("朝食後"));
    QCOMPARE(d.session().SelectedSituation, QStringLiteral("朝食後"));
    QCOMPARE(weightBox(d)->text(), QStringLiteral("67.98"));
    QCOMPARE(weightBox(d)->selectedText(), QStringLiteral("67.98"));
    QCOMPARE(d.window()->focusWidget(), weightBox(d));
    QVERIFY(d.find("cmdUp")->isEnabled());
    QVERIFY(d.find("cmdDn")->isEnabled());

    // A whole number is offered without decimals.
    d.click("cmdUser2");
    QCOMPARE(d.session().SelectedSituation, QString());
    QCOMPARE(weightBox(d)->text(), QString());
    d.clickSituation(QStringLiteral("起床後"));
    QCOMPARE(weightBox(d)->text(), QStringLiteral("54.2"));
}

void TestWeightScreen::stepButtonsMoveByTheStoredStep_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("latest");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QString>("shown");
    QTest::newRow("0.5 up from 65.3") << "0.5" << "65.3" << "cmdUp" << 1 << "65.8";
    QTest::newRow("0.1 down from 60") << "0.1" << "60" << "cmdDn" << 1 << "59.9";
    QTest::newRow("0.1 up three times") << "0.1" << "65.3" << "cmdUp" << 3 << "65.6";
    QTest::newRow("0.5 down to a whole number") << "0.5" << "65.5" << "cmdDn" << 1 << "65";
    QTest::newRow("0.25 up") << "0.25" << "65.3" << "cmdUp" << 1 << "65.55";
    QTest::newRow("0.2 down") << "0.2" << "70.1" << "cmdDn" << 2 << "69.7";
    // A step that is not a number stays in its file; the buttons use 0.1.
    QTest::newRow("abc up") << "abc" << "65.3" << "cmdUp" << 1 << "65.4";
}

void TestWeightScreen::stepButtonsMoveByTheStoredStep()
{
    QFETCH(QString, step);
    QFETCH(QString, latest);
    QFETCH(QString, button);
    QFETCH(int, clicks);
    QFETCH(QString, shown);
    DataSet files;
    files.step = step;
    files.records1.append(rec(kToday, "起床後", latest));
    WindowDriver d;
    d.writeFiles(files);
    const auto before = d.snapshot();
    QVERIFY(d.start());
    d.click("cmdMain");
    d.clickSituation(QStringLiteral("朝食後"));
    QCOMPARE(weightBox(d)->text(), latest);
    for (int i = 0; i < clicks; ++i)
        d.click(button);
    QCOMPARE(weightBox(d)->text(), shown);
    QCOMPARE(d.snapshot(), before);
    QCOMPARE(d.boxes(), QStringList());
}

void TestWeightScreen::savedRecordShowsAtOnce()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    const QByteArray before = d.bytes(kData1);
    QCOMPARE(labelText(d, "lblMHyouka"), QStringLiteral("スタンダード"));
    QCOMPARE(labelText(d, "Label9_28"), QStringLiteral("67.98"));

    d.clickSituation(QStringLiteral("就寝前"));
    typeWeight(d, QStringLiteral("71"));
    d.click("cmdTaiHozon");

    QCOMPARE(d.boxes(), QStringList());
    QCOMPARE(d.bytes(kData1), before + crlf({rec(kToday, "就寝前", "71")}));
    QCOMPARE(d.dayRowCount(), 4);
    QCOMPARE(d.dayRow(4), row({"4", "就寝前", "71.0Kg", "3.0Kg", "↑", "3.0Kg", "↑", "24.6", "11.7%"}));
    QCOMPARE(d.dayList()->cellBackColor(4, 4), kRed);
    QCOMPARE(dayFace(d), QStringLiteral("imgkana"));
    QCOMPARE(labelText(d, "lblDspTai"), QStringLiteral("70.0Kg → 1.0Kg 増"));
    QCOMPARE(labelText(d, "lblUser1"), QStringLiteral("4"));
    QCOMPARE(countFace(d, 1), QStringLiteral("imgWarai1"));
    QCOMPARE(backColor(d.find("lblUser1")), kGreen);
    QCOMPARE(d.chartPoints(), (QList<double>{68.0f, 68.04f, 67.98f, 71.0f}));
    QCOMPARE(d.chart()->leftMax(), 71.0);
    QCOMPARE(labelText(d, "lblMHyouka"), QStringLiteral("でぶメゾフォルテ"));
    QCOMPARE(backColor(d.find("lblMHyouka")), kYellow);
    // A refresh of the day alone: the large meter's weight in the formula
    // stays the one shown before, and the BMI beside it is that weight's
    // (67.98 / 1.7²), never the new day's 24.6 next to an older weight.
    QCOMPARE(labelText(d, "Label9_25"), QStringLiteral("23.5"));
    QCOMPARE(labelText(d, "Label9_28"), QStringLiteral("67.98"));
    QCOMPARE(labelText(d, "lblTai"), QStringLiteral("67.98"));

    // The entry is over: a new one starts with the situation.
    QVERIFY(!d.find("cmdUp")->isEnabled());
    QVERIFY(!d.find("cmdDn")->isEnabled());
    QCOMPARE(d.session().SelectedSituation, QString());
    QCOMPARE(weightBox(d)->text(), QString());
    typeWeight(d, QStringLiteral("70"));
    d.click("cmdTaiHozon");
    QCOMPARE(d.boxes(), QStringList{warning(QStringLiteral("行動未入力"), QStringLiteral("行動が指定されていません"))});
    QCOMPARE(d.dayRowCount(), 4);
}

void TestWeightScreen::chosenSituationShowsInTheListAndOnTheStepButtons()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    auto *list = d.find<QAbstractItemView>("lstAct");
    auto highlighted = [list] {
        QStringList out;
        for (const QModelIndex &i : list->selectionModel()->selectedIndexes())
            out.append(i.data().toString());
        return out;
    };
    auto stepsEnabled = [&d] { return d.find("cmdUp")->isEnabled() && d.find("cmdDn")->isEnabled(); };

    d.clickSituation(QStringLiteral("朝食後"));
    QCOMPARE(highlighted(), QStringList{QStringLiteral("朝食後")});
    QVERIFY(stepsEnabled());

    // A picked day ends the pending entry, highlight and buttons included.
    d.pickDay(QDate(2008, 3, 5));
    QCOMPARE(d.session().SelectedSituation, QString());
    QCOMPARE(highlighted(), QStringList());
    QVERIFY(!d.find("cmdUp")->isEnabled());
    QVERIFY(!d.find("cmdDn")->isEnabled());

    // A free text is no label of the list.
    d.clickSituation(QStringLiteral("朝食後"));
    d.dialogs.queueInput(QStringLiteral("散歩"));
    d.dialogs.queueAnswer(Answer::No);
    d.click("cmdFree");
    QCOMPARE(d.session().SelectedSituation, QStringLiteral("散歩"));
    QCOMPARE(highlighted(), QStringList());
    QVERIFY(stepsEnabled());

    // Nor is the time of day.
    d.clickSituation(QStringLiteral("夕食後"));
    d.click("cmdJikan");
    QCOMPARE(d.session().SelectedSituation, QStringLiteral("9:05:07"));
    QCOMPARE(highlighted(), QStringList());

    // A person switch on this screen ends the entry too.
    d.clickSituation(QStringLiteral("夕食後"));
    d.click("cmdUser2");
    QCOMPARE(d.session().SelectedSituation, QString());
    QCOMPARE(highlighted(), QStringList());
    QVERIFY(!d.find("cmdUp")->isEnabled());
}

void TestWeightScreen::fullWidthNumbersCountAsTheirAsciiForms()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    const QByteArray before = d.bytes(kData1);

    // A step typed with the input method on is stored in ASCII, and one
    // step shows at a time: choosing an option empties the box.
    d.typeAndEnter(QStringLiteral("txtKizami"), QStringLiteral("０．２５"));
    QCOMPARE(d.bytes(kStepSetting), QByteArray("0.25\r\n"));
    QCOMPARE(d.find<QLineEdit>("txtKizami")->text(), QStringLiteral("0.25"));
    d.click("optKizami_2");
    QCOMPARE(d.bytes(kStepSetting), QByteArray("0.2\r\n"));
    QCOMPARE(d.find<QLineEdit>("txtKizami")->text(), QString());

    d.clickSituation(QStringLiteral("就寝前"));
    typeWeight(d, QStringLiteral("６５．３"));
    d.click("cmdUp");
    QCOMPARE(weightBox(d)->text(), QStringLiteral("65.5"));
    typeWeight(d, QStringLiteral("６５．３"));
    d.click("cmdTaiHozon");
    QCOMPARE(d.boxes(), QStringList());
    QCOMPARE(d.bytes(kData1), before + crlf({rec(kToday, "就寝前", "65.3")}));
}

void TestWeightScreen::enterInTheWeightBoxSavesAndFocusesTheList()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    const QByteArray before = d.bytes(kData1);

    d.clickSituation(QStringLiteral("就寝前"));
    typeWeight(d, QStringLiteral("66.6"));
    d.press(Qt::Key_Return);
    QCOMPARE(d.bytes(kData1), before + crlf({rec(kToday, "就寝前", "66.6")}));
    QCOMPARE(d.dayRowCount(), 4);
    QCOMPARE(d.window()->focusWidget(), d.find("lstAct"));

    // Also when the save is refused.
    typeWeight(d, QStringLiteral("66"));
    d.press(Qt::Key_Enter);
    QCOMPARE(d.boxes(), QStringList{warning(QStringLiteral("行動未入力"), QStringLiteral("行動が指定されていません"))});
    QCOMPARE(d.window()->focusWidget(), d.find("lstAct"));
}

void TestWeightScreen::backDatedSaveGoesInOrderWithoutTime()
{
    WindowDriver d;
    DataSet files;
    files.autoTime = QStringLiteral("1");
    files.records1 = {rec("2008/03/01", "はじめの一歩", "70"), rec("2008/03/05", "起床後", "68.5"),
                     rec("2008/03/05", "夕食後", "68.7"), rec(kToday, "起床後", "68")};
    d.writeFiles(files);
    QVERIFY(d.start());
    d.click("cmdMain");

    d.pickDay(QDate(2008, 3, 5));
    d.clickSituation(QStringLiteral("就寝前"));
    typeWeight(d, QStringLiteral("68.6"));
    d.click("cmdTaiHozon");
    QCOMPARE(d.bytes(kData1), crlf({rec("2008/03/01", "はじめの一歩", "70"),
                                    rec("2008/03/05", "起床後", "68.5"),
                                    rec("2008/03/05", "夕食後", "68.7"),
                                    rec("2008/03/05", "就寝前", "68.6"),
                                    rec(kToday, "起床後", "68")}));
    QVERIFY(!d.tmp.exists(QStringLiteral("データコピー.txt")));
    QCOMPARE(d.dayRowCount(), 3);
    QCOMPARE(d.dayRow(3).mid(0, 5), row({"3", "就寝前", "68.6Kg", "-0.1Kg", "↓"}));

    // For the file's last day, or later, the record is appended with the time.
    d.pickDay(QDate(2008, 3, 10));
    d.clickSituation(QStringLiteral("夕食後"));
    typeWeight(d, QStringLiteral("67.5"));
    d.click("cmdTaiHozon");
    const QStringList lines = d.text(kData1).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.mid(5), (QStringList{rec(kToday, "夕食後", "67.5", "9:05:07")}));
    QCOMPARE(d.boxes(), QStringList());

    // A day after today (a slip of the year box) is refused, nothing written.
    const QByteArray before = d.bytes(kData1);
    for (const QDate day : {QDate(2008, 3, 11), QDate(2008, 3, 31)}) {
        d.pickDay(day);
        d.clickSituation(QStringLiteral("起床後"));
        typeWeight(d, QStringLiteral("67.2"));
        d.click("cmdTaiHozon");
        QCOMPARE(d.boxes(), QStringList{box(QStringLiteral("今日より後の日には記録できません。\n"
                                                           "カレンダーで記録する日を選び直してください。"),
                                            QStringLiteral("日付確認"), Icon::Exclamation)});
        QCOMPARE(d.bytes(kData1), before);
        d.dialogs.clear();
    }
}

void TestWeightScreen::timeButtonStoresTheTimeAsSituation()
{
    WindowDriver d(QDate(2008, 3, 10), QTime(7, 30, 12));
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    const QByteArray before = d.bytes(kData1);
    d.click("cmdJikan");
    QCOMPARE(d.session().SelectedSituation, QStringLiteral("7:30:12"));
    QCOMPARE(weightBox(d)->text(), QStringLiteral("67.98"));
    QVERIFY(d.find("cmdUp")->isEnabled());
    d.click("cmdDn");
    d.click("cmdTaiHozon");
    QCOMPARE(d.bytes(kData1), before + crlf({rec(kToday, "7:30:12", "67.88")}));
    QCOMPARE(d.dayRow(4).value(1), QStringLiteral("7:30:12"));
}

void TestWeightScreen::freeSituationWithYesJoinsTheList()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    const QByteArray list = d.bytes(kSituationList);
    const QByteArray data = d.bytes(kData1);
    const QString label = QStringLiteral("散歩の後");

    d.dialogs.queueInput(label);
    d.dialogs.queueAnswer(Answer::Yes);
    d.click("cmdFree");
    QCOMPARE(d.boxes(),
             (QStringList{QStringLiteral("input: %1 | 状況フリー入力 | ")
                              .arg(QStringLiteral("状況リストに無い内容をフリーで入力できます。\n\n"
                                                  "任意の言葉で内容を書き込んでください。\n\n"
                                                  "体重は通常と同じように ↓↑ボタンで指定してください。\n")),
                          box(QStringLiteral("状況リストに追加しますか？\n\n"),
                              QStringLiteral("状況リスト登録の有無"), Icon::Question, Buttons::YesNo)}));
    QCOMPARE(d.bytes(kSituationList), list + sjis("\"散歩の後\"\r\n"));
    for (const char *name : {"lstAct", "lstKoumoku"})
        QCOMPARE(d.listItems(QString::fromLatin1(name)), everyday().situations + QStringList{label});
    QCOMPARE(d.session().SelectedSituation, label);
    QCOMPARE(weightBox(d)->text(), QStringLiteral("67.98"));
    QCOMPARE(weightBox(d)->selectedText(), QStringLiteral("67.98"));
    QCOMPARE(d.window()->focusWidget(), weightBox(d));
    QVERIFY(d.find("cmdUp")->isEnabled());

    d.click("cmdTaiHozon");
    QCOMPARE(d.bytes(kData1), data + crlf({rec(kToday, label, "67.98")}));
    // The search screen, first opened now, lists it too.
    d.click("cmdTaijyu");
    QCOMPARE(d.listItems("lstAct2"), everyday().situations + QStringList{label});

    // The quoted line reads back as one label.
    QVERIFY(d.restart());
    d.click("cmdMain");
    QCOMPARE(d.listItems("lstAct").last(), label);
}

void TestWeightScreen::freeSituationWithNoOnlySetsTheSituation()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    const auto before = d.snapshot();
    d.dialogs.queueInput(QStringLiteral("散歩の後"));
    d.dialogs.queueAnswer(Answer::No);
    d.click("cmdFree");
    QCOMPARE(d.dialogs.calls.size(), 2);
    QCOMPARE(d.snapshot(), before);
    QCOMPARE(d.listItems("lstAct"), everyday().situations);
    QCOMPARE(d.listItems("lstKoumoku"), everyday().situations);
    QCOMPARE(d.session().SelectedSituation, QStringLiteral("散歩の後"));
    QCOMPARE(weightBox(d)->text(), QStringLiteral("67.98"));
    QVERIFY(d.find("cmdDn")->isEnabled());
}

void TestWeightScreen::freeSituationCancelledOrEmptyChangesNothing_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("cancelled") << true;
    QTest::newRow("empty") << false;
}

void TestWeightScreen::freeSituationCancelledOrEmptyChangesNothing()
{
    QFETCH(bool, cancel);
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    const auto before = d.snapshot();
    d.dialogs.queueInput(cancel ? std::nullopt : std::optional<QString>(QString()));
    d.click("cmdFree");
    QCOMPARE(d.dialogs.calls.size(), 1);
    QCOMPARE(d.dialogs.calls[0].kind, ScriptedDialogs::Call::Kind::Input);
    QCOMPARE(d.session().SelectedSituation, QString());
    QCOMPARE(weightBox(d)->text(), QString());
    QVERIFY(!d.find("cmdUp")->isEnabled());
    QCOMPARE(d.snapshot(), before);
}

void TestWeightScreen::freeSituationTheFileCannotHoldIsRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("double quote") << QStringLiteral("彼は\"走った\"");
    QTest::newRow("outside CP932") << QStringLiteral("散歩😀");
}

void TestWeightScreen::freeSituationTheFileCannotHoldIsRefused()
{
    QFETCH(QString, typed);
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    const auto before = d.snapshot();
    d.dialogs.queueInput(typed);
    d.click("cmdFree");
    QCOMPARE(d.dialogs.calls.size(), 2);
    const ScriptedDialogs::Call &c = d.dialogs.calls[1];
    QCOMPARE(c.icon, Icon::Exclamation);
    QCOMPARE(c.buttons, Buttons::Ok);
    QVERIFY(!c.text.isEmpty());
    QCOMPARE(d.session().SelectedSituation, QString());
    QVERIFY(!d.find("cmdUp")->isEnabled());
    QCOMPARE(d.listItems("lstAct"), everyday().situations);
    QCOMPARE(d.snapshot(), before);
}

void TestWeightScreen::switchElsewhereThenEntrySavesForTheNewPerson()
{
    WindowDriver d;
    DataSet files = everyday();
    files.records2 = {rec("2008/03/01", "はじめの一歩", "55"), rec("2008/03/09", "起床後", "54.6"),
                     rec(kToday, "起床後", "54.2"), rec(kToday, "朝食後", "54.4")};
    d.writeFiles(files);
    QVERIFY(d.start());
    const QByteArray data1 = d.bytes(kData1);

    d.click("cmdUser2");
    d.click("cmdMain");
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraMain"));
    QCOMPARE(d.dayRowCount(), 2);
    QCOMPARE(d.dayRow(2).mid(0, 3), row({"2", "朝食後", "54.4Kg"}));
    QCOMPARE(labelText(d, "lblUser1"), QStringLiteral("3"));
    QCOMPARE(labelText(d, "lblUser2"), QStringLiteral("2"));
    QCOMPARE(d.session().day.LastFileDate, kToday);

    d.clickSituation(QStringLiteral("夕食後"));
    QCOMPARE(weightBox(d)->text(), QStringLiteral("54.4"));
    d.click("cmdDn");
    d.click("cmdTaiHozon");
    d.pickDay(QDate(2008, 3, 5));
    d.clickSituation(QStringLiteral("夕食後"));
    typeWeight(d, QStringLiteral("54.8"));
    d.click("cmdTaiHozon");

    QCOMPARE(d.bytes(kData2), crlf({rec("2008/03/01", "はじめの一歩", "55"),
                                    rec("2008/03/05", "夕食後", "54.8"),
                                    rec("2008/03/09", "起床後", "54.6"),
                                    rec(kToday, "起床後", "54.2"), rec(kToday, "朝食後", "54.4"),
                                    rec(kToday, "夕食後", "54.3")}));
    QCOMPARE(d.bytes(kData1), data1);
    QCOMPARE(d.boxes(), QStringList());
}

void TestWeightScreen::saveGoesToTheDataFileWhateverItsExtensionCase_data()
{
    QTest::addColumn<QString>("day");
    QTest::newRow("append") << "2008/03/10";
    QTest::newRow("insert") << "2008/03/03";
}

void TestWeightScreen::saveGoesToTheDataFileWhateverItsExtensionCase()
{
    QFETCH(QString, day);
    WindowDriver d;
    d.writeFiles(everyday());
    const QString upper = QStringLiteral("データ1.TXT");
    QVERIFY(QFile::rename(d.tmp.filePath(kData1), d.tmp.filePath(upper)));
    QVERIFY(QFile::rename(d.tmp.filePath(kProfile1), d.tmp.filePath(QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ1.TXT"))));
    QVERIFY(d.start());
    QCOMPARE(d.window()->windowTitle(), QStringLiteral(" たろう のデータ"));
    d.click("cmdMain");
    QCOMPARE(d.dayRowCount(), 3);

    d.pickDay(QDate::fromString(day, QStringLiteral("yyyy/MM/dd")));
    d.clickSituation(QStringLiteral("就寝前"));
    typeWeight(d, QStringLiteral("66"));
    d.click("cmdTaiHozon");
    QCOMPARE(d.boxes(), QStringList());
    QVERIFY(d.text(upper).contains(rec(day, "就寝前", "66")));
    QVERIFY(!d.tmp.exists(kData1));
    QCOMPARE(d.tmp.entries().filter(QStringLiteral("データ1")), QStringList{upper});
    QCOMPARE(d.dayRowCount(), 1 + (day == kToday ? 3 : 0));
}

// -------------------------------------------------------------- BMI meters

namespace {

DataSet latest65()
{
    DataSet files;
    files.records1 = {rec("2008/03/01", "はじめの一歩", "70"), rec(kToday, "起床後", "65")};
    return files;
}

} // namespace

void TestWeightScreen::metersShowTheLatestWeight()
{
    WindowDriver d;
    d.writeFiles(latest65());
    QVERIFY(d.start());
    d.click("cmdMain");
    QCOMPARE(labelText(d, "lblMHyouka"), QStringLiteral("スタンダード"));
    QCOMPARE(backColor(d.find("lblMHyouka")), kGreen);
    d.click("cmdSettei");
    QCOMPARE(d.find<QScrollBar>("HScroll1")->value(), 225);
    QCOMPARE(d.find<QScrollBar>("HScroll1")->minimum(), 170);
    QCOMPARE(d.find<QScrollBar>("HScroll1")->maximum(), 320);
    QCOMPARE(labelText(d, "Label9_25"), QStringLiteral("22.5"));
    QCOMPARE(labelText(d, "Label9_28"), QStringLiteral("65"));
    QCOMPARE(labelText(d, "Label9_30"), QStringLiteral("1.7"));
    QCOMPARE(labelText(d, "lblHyouka"), QStringLiteral("スタンダード"));
    QCOMPARE(backColor(d.find("lblHyouka")), kGreen);
    QCOMPARE(labelText(d, "lblHyojun_0"), QStringLiteral("63.6"));
    QCOMPARE(labelText(d, "lblHyojun_1"), QStringLiteral("63.6"));
    QCOMPARE(labelText(d, "lblTai"), QStringLiteral("65"));
    QCOMPARE(labelText(d, "lblHiman"), QStringLiteral("2.2"));
    QCOMPARE(d.find<QGroupBox>("Frame1")->title(),
             QStringLiteral("　ＢＭＩメーター (Body Mass Index)　と　肥満度　"));
    for (const char *name : {"Shape1_0", "Shape1_4", "Shape2_0", "Shape2_4", "Image1", "Image2"})
        QVERIFY2(d.find(QString::fromLatin1(name)), name);
}

void TestWeightScreen::slidingTheBarSimulatesWeightAndObesity()
{
    WindowDriver d;
    d.writeFiles(latest65());
    QVERIFY(d.start());
    d.click("cmdMain");
    d.click("cmdSettei");
    auto *bar = d.find<QScrollBar>("HScroll1");
    // A drag of the thumb.
    bar->setSliderDown(true);
    bar->setSliderPosition(260);
    bar->setSliderDown(false);
    QCOMPARE(bar->value(), 260);
    QCOMPARE(labelText(d, "Label9_25"), QStringLiteral("26.0"));
    QCOMPARE(labelText(d, "Label9_28"), QStringLiteral("75.1"));
    QCOMPARE(labelText(d, "lblTai"), QStringLiteral("75.1"));
    QCOMPARE(labelText(d, "lblHyouka"), QStringLiteral("でぶメゾフォルテ"));
    QCOMPARE(backColor(d.find("lblHyouka")), kYellow);
    QCOMPARE(labelText(d, "lblHyojun_0"), QStringLiteral("63.6"));
    QCOMPARE(labelText(d, "lblHiman"), QStringLiteral("18.1"));
    // The small meter keeps the real weight's verdict.
    QCOMPARE(labelText(d, "lblMHyouka"), QStringLiteral("スタンダード"));

    // One step with the bar's right arrow.
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 4, bar->height() / 2));
    QCOMPARE(bar->value(), 261);
    QCOMPARE(labelText(d, "Label9_25"), QStringLiteral("26.1"));
    QCOMPARE(labelText(d, "Label9_28"), QStringLiteral("75.4"));
}

void TestWeightScreen::personSwitchOnSettingsRefreshesTheMeters_data()
{
    QTest::addColumn<QString>("weight2");
    QTest::addColumn<int>("scroll");
    QTest::addColumn<QString>("bmi");
    QTest::addColumn<QString>("himan");
    // Person 1 leaves the bar at 225. 60 kg at 160 cm moves it to 234;
    // 57.55 kg keeps it at 225.
    QTest::newRow("bar moves") << "60" << 234 << "23.4" << "6.6";
    QTest::newRow("bar stays") << "57.55" << 225 << "22.5" << "2.2";
}

void TestWeightScreen::personSwitchOnSettingsRefreshesTheMeters()
{
    QFETCH(QString, weight2);
    QFETCH(int, scroll);
    QFETCH(QString, bmi);
    QFETCH(QString, himan);
    DataSet files = latest65();
    files.records2 = {rec("2008/03/01", "はじめの一歩", "62"), rec(kToday, "起床後", weight2)};
    WindowDriver d;
    d.writeFiles(files);
    QVERIFY(d.start());
    d.click("cmdMain");
    d.click("cmdSettei");
    QCOMPARE(d.find<QScrollBar>("HScroll1")->value(), 225);

    d.click("cmdUser2");
    QCOMPARE(d.find<QScrollBar>("HScroll1")->value(), scroll);
    QCOMPARE(labelText(d, "Label9_25"), bmi);
    QCOMPARE(labelText(d, "Label9_30"), QStringLiteral("1.6"));
    QCOMPARE(labelText(d, "lblHyojun_0"), QStringLiteral("56.3"));
    // The day view of the switch has already moved the bar to the new
    // person's BMI, so the meter refresh that follows finds it unchanged
    // and the formula keeps the file's last weight, in both cases.
    QCOMPARE(labelText(d, "Label9_28"), weight2);
    QCOMPARE(labelText(d, "lblTai"), weight2);
    QCOMPARE(labelText(d, "lblHiman"), himan);
    QCOMPARE(labelText(d, "lblHyouka"), QStringLiteral("スタンダード"));
    QCOMPARE(labelText(d, "lblMHyouka"), QStringLiteral("スタンダード"));
}

void TestWeightScreen::switchElsewhereThenEntryRefreshesTheMeters()
{
    DataSet files = latest65();
    files.records2 = {rec("2008/03/01", "はじめの一歩", "62"), rec(kToday, "起床後", "60")};
    WindowDriver d;
    d.writeFiles(files);
    QVERIFY(d.start());

    // Switched on the comparison screen: the weight screen is rebuilt when
    // it opens, meters included, so the formula on the settings screen is
    // the new person's throughout, as after a switch made there.
    d.click("cmdUser2");
    d.click("cmdMain");
    QCOMPARE(labelText(d, "lblMHyouka"), QStringLiteral("スタンダード"));
    d.click("cmdSettei");
    QCOMPARE(d.find<QLineEdit>("txtSincyou")->text(), QStringLiteral("160"));
    QCOMPARE(d.find<QScrollBar>("HScroll1")->value(), 234);
    QCOMPARE(labelText(d, "Label9_25"), QStringLiteral("23.4"));
    QCOMPARE(labelText(d, "Label9_28"), QStringLiteral("60"));
    QCOMPARE(labelText(d, "Label9_30"), QStringLiteral("1.6"));
    QCOMPARE(labelText(d, "lblHyojun_0"), QStringLiteral("56.3"));
    QCOMPARE(labelText(d, "lblTai"), QStringLiteral("60"));
    QCOMPARE(labelText(d, "lblHiman"), QStringLiteral("6.6"));
}

QTEST_MAIN(TestWeightScreen)
#include "test_weight_screen.moc"
