// The main window end to end on a temporary data directory: start-up and
// its refusals, the toolbar, the person switch, the help tour and the
// settings that the window writes back.

#include "tour_texts.h"
#include "window_driver.h"

#include "ui/art/splash_window.h"
#include "entry/entry_panel.h"
#include "store/data_file.h"
#include "ui/back_color.h"
#include "ui/grid.h"
#include "ui/line_chart.h"
#include "ui/month_calendar.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QComboBox>
#include <QLineEdit>
#include <QDirIterator>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include <array>
#include <QToolButton>

using namespace wintest;
using Icon = Dialogs::Icon;
using Answer = Dialogs::Answer;
using Buttons = Dialogs::Buttons;

namespace {

const QString kToday = QStringLiteral("2008/03/10");

// Person 1 weighed twice today, person 2 once; both started on 03/01.
DataSet everyday()
{
    DataSet s;
    s.records1 = {rec("2008/03/01", "はじめの一歩", "70"), rec("2008/03/05", "起床後", "68.5"),
                  rec(kToday, "起床後", "68"), rec(kToday, "夕食後", "68.4")};
    s.records2 = {rec("2008/03/01", "はじめの一歩", "55"), rec("2008/03/09", "朝食後", "54.5"),
                  rec(kToday, "起床後", "54.2")};
    return s;
}

QString tourBox(const QString &text) { return box(text, QStringLiteral("ヘルプツアー"), Icon::Information); }

bool hasVisibleTopLevel(const QString &objectName)
{
    const auto tops = QApplication::topLevelWidgets();
    for (QWidget *w : tops)
        if (w->objectName() == objectName && w->isVisible())
            return true;
    return false;
}

bool splashOnScreen()
{
    const auto tops = QApplication::topLevelWidgets();
    for (QWidget *w : tops)
        if (qobject_cast<SplashWindow *>(w) && w->isVisible())
            return true;
    return false;
}

// A fixed day and time whose elapsed time moves on by itself, and which
// notes at every pause of the start-up wait whether the splash is showing.
class SplashWatchClock final : public Clock {
public:
    SplashWatchClock(QDate day, QTime time) : day_(day), time_(time) {}
    QDate today() const override { return day_; }
    QTime timeOfDay() const override { return time_; }
    qint64 elapsedMs() const override { return elapsed_ += 100; }
    void pause(int ms) const override
    {
        elapsed_ += ms;
        ++pauses;
        if (splashOnScreen())
            ++pausesWithSplash;
    }

    mutable int pauses = 0;
    mutable int pausesWithSplash = 0;

private:
    QDate day_;
    QTime time_;
    mutable qint64 elapsed_ = 0;
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    // Start-up
    void startOpensOnComparisonWithPersonOneAndToday();
    void startWithTheTourOnShowsOnlyTheIntroduction();
    void captionIsTheNicknameOrTheProgramName();
    void alwaysOpensTheSameWayWhateverWasLeft();
    void splashStaysItsTimeAlsoAroundMidnight_data();
    void splashStaysItsTimeAlsoAroundMidnight();
    void firstStartCreatesDefaultsAndAsksForThePersons();
    void missingFileEndsWithoutWriting_data();
    void missingFileEndsWithoutWriting();
    void missingSettingsFilesAreOfferedTheirDefaults_data();
    void missingSettingsFilesAreOfferedTheirDefaults();
    void damagedLineEndsWithoutWriting_data();
    void damagedLineEndsWithoutWriting();
    void damagedSettingsFileEndsWithoutWriting_data();
    void damagedSettingsFileEndsWithoutWriting();
    void incompleteLastLineIsMovedAsideOnce();

    // Toolbar
    void toolbarButtonsCarryCaptionAndTooltip_data();
    void toolbarButtonsCarryCaptionAndTooltip();
    void everyScreenFitsTheSmallestWindow();
    void startReadsEachDataFileOnce();
    void helpPagesNameOnlyControlsThatExist();
    void visibleScreensButtonChangesNothing_data();
    void visibleScreensButtonChangesNothing();
    void startPaintsTheComparisonAndToolbarOnceBeforeItReturns();
    void openedScreenIsPaintedOnceBeforeTheClickReturns();
    void eachButtonShowsItsPanelAndExplainsIt_data();
    void eachButtonShowsItsPanelAndExplainsIt();
    void withTheTourOffScreensOpenSilently();
    void helpButtonOpensHelpAndExitClosesBoth();

    // Person switch
    void selectedPersonsButtonDoesNothing();
    void switchOnWeightScreenRebuildsIt();
    void switchOnComparisonChangesOnlyCaptionAndColours();
    void switchOnSettingsScreenShowsTheNewProfile();
    void switchToAnUnreadableProfileKeepsTheSelection();

    // Help tour switch
    void chkHelpTurnsTheTourOffAndOn();
    void tourSettingSurvivesARestart();
    void tourSettingRewritesTheFileWhateverItsExtensionCase();
    void settingsClicksAreIgnoredWhileLoading();

    // Settings writers
    void storedStepIsShownWithoutRewriting_data();
    void storedStepIsShownWithoutRewriting();
    void stepOptionClickWritesTheStep();
    void txtKizamiEnterWritesItsText();
    void txtKizamiRefusesTextTheFileCannotHold();
    void movingAverageEnterChecksTheNumber_data();
    void movingAverageEnterChecksTheNumber();
    void movingAverageChosenFromTheListIsWritten();
    void chkJikanClickWritesItsState();
    void chartClickCyclesTheMarkersAndStoresEach();
};

void TestMainWindow::initTestCase() { setUpWindowTests(); }

// ---------------------------------------------------------------- start-up

void TestMainWindow::startOpensOnComparisonWithPersonOneAndToday()
{
    WindowDriver d;
    d.writeFiles(everyday());
    const auto before = d.snapshot();
    QVERIFY(d.start());

    QCOMPARE(d.visiblePanel(), QStringLiteral("fraAvgTai"));
    QVERIFY(d.window()->isVisible());
    auto *u1 = d.find<ColourButton>("cmdUser1");
    auto *u2 = d.find<ColourButton>("cmdUser2");
    QCOMPARE(u1->backColor(), QColor(0xFF, 0xFF, 0xF0));
    QCOMPARE(u2->backColor(), QColor());
    QCOMPARE(u2->palette().color(QPalette::Button), buttonFaceColor());
    QCOMPARE(u1->text(), QStringLiteral("たろう"));
    QCOMPARE(u2->text(), QStringLiteral("はなこ"));
    QCOMPARE(d.window()->windowTitle(), QStringLiteral(" たろう のデータ"));
    QCOMPARE(d.find<QCheckBox>("chkHelp")->isChecked(), false);
    QCOMPARE(d.session().Loading, false);

    // Person 1's values, the targets of both, and the values of today's
    // day view with the counts of both; the weight screen itself is built
    // when it is first opened.
    const Session &s = d.session();
    QCOMPARE(s.person.DataFileName(), kData1);
    QCOMPARE(s.person.current().nickname, QStringLiteral("たろう"));
    QCOMPARE(s.person.current().height, 170.0f);
    QCOMPARE(s.person.profile(PersonSlot::One).targetWeight, 60.0f);
    QCOMPARE(s.person.profile(PersonSlot::Two).targetWeight, 50.0f);
    QCOMPARE(s.day.LastFileDate, kToday);
    QCOMPARE(s.day.LastFileWeight, 68.4f);
    QCOMPARE(d.find<QLabel>("lblUser1")->text(), QStringLiteral("2"));
    QCOMPARE(d.find<QLabel>("lblUser2")->text(), QStringLiteral("1"));
    QVERIFY(!d.window()->findChild<QWidget *>(QStringLiteral("fraMain")));

    d.click("cmdMain");
    QCOMPARE(d.find<MonthCalendar>("mtvmain")->selectedDate(), QDate(2008, 3, 10));
    QVERIFY(!d.find("cmdUp")->isEnabled());
    QVERIFY(!d.find("cmdDn")->isEnabled());
    QCOMPARE(d.dayRowCount(), 2);
    QCOMPARE(d.dayRow(2).value(1), QStringLiteral("夕食後"));
    QCOMPARE(d.find<QLabel>("lblUser1")->text(), QStringLiteral("2"));
    QCOMPARE(d.listItems("lstAct"), everyday().situations);

    QCOMPARE(d.boxes(), QStringList());
    QCOMPARE(d.snapshot(), before);
}

void TestMainWindow::startWithTheTourOnShowsOnlyTheIntroduction()
{
    WindowDriver d;
    DataSet files = everyday();
    files.helpFlag = 1;
    d.writeFiles(files);
    QVERIFY(d.start());
    QCOMPARE(d.boxes(), QStringList{tourBox(tour::startup())});
    QCOMPARE(d.session().help.HelpText, tour::startup());
    QCOMPARE(d.find<QCheckBox>("chkHelp")->isChecked(), true);
    QCOMPARE(d.session().help.HelpFileName, QStringLiteral("HoshiHelp.chm"));
}

void TestMainWindow::captionIsTheNicknameOrTheProgramName()
{
    WindowDriver d;
    DataSet files = everyday();
    files.person1.nickname.clear();
    d.writeFiles(files);
    QVERIFY(d.start());
    QCOMPARE(d.window()->windowTitle(), QStringLiteral(" ナナホシ"));
    QCOMPARE(d.find<ColourButton>("cmdUser1")->text(), QString());
    d.click("cmdUser2");
    QCOMPARE(d.window()->windowTitle(), QStringLiteral(" はなこ のデータ"));
    d.click("cmdUser1");
    QCOMPARE(d.window()->windowTitle(), QStringLiteral(" ナナホシ"));
}

void TestMainWindow::alwaysOpensTheSameWayWhateverWasLeft()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    d.click("cmdUser2");
    d.pickDay(QDate(2008, 3, 9));
    d.click("cmdSettei");
    QCOMPARE(d.window()->windowTitle(), QStringLiteral(" はなこ のデータ"));

    QVERIFY(d.restart());
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraAvgTai"));
    QCOMPARE(d.find<ColourButton>("cmdUser1")->backColor(), QColor(0xFF, 0xFF, 0xF0));
    QCOMPARE(d.find<ColourButton>("cmdUser2")->backColor(), QColor());
    QCOMPARE(d.window()->windowTitle(), QStringLiteral(" たろう のデータ"));
    QCOMPARE(d.session().person.DataFileName(), kData1);
    d.click("cmdMain");
    QCOMPARE(d.find<MonthCalendar>("mtvmain")->selectedDate(), QDate(2008, 3, 10));
    QCOMPARE(d.dayRowCount(), 2);
}

void TestMainWindow::splashStaysItsTimeAlsoAroundMidnight_data()
{
    QTest::addColumn<QTime>("time");
    QTest::newRow("23:59:59") << QTime(23, 59, 59);
    QTest::newRow("00:00:00") << QTime(0, 0, 0);
    QTest::newRow("09:05:07") << QTime(9, 5, 7);
}

void TestMainWindow::splashStaysItsTimeAlsoAroundMidnight()
{
    QFETCH(QTime, time);
    WindowDriver d;
    d.writeFiles(everyday());
    SplashWatchClock clock(QDate(2008, 3, 10), time);
    MainWindow w(d.tmp.dir(), d.dialogs, clock, MainWindow::Options{1500, true});
    QVERIFY(w.start());

    // Elapsed time decides, never the time of day: the wait ends after
    // 1.5 s and not much later, whatever the clock says.
    QVERIFY2(w.splashShownMs() >= 1500, qPrintable(QString::number(w.splashShownMs())));
    QVERIFY2(w.splashShownMs() < 1800, qPrintable(QString::number(w.splashShownMs())));
    QVERIFY(clock.pauses > 0);
    QCOMPARE(clock.pausesWithSplash, clock.pauses);
    QVERIFY(!w.splashVisible());
    QVERIFY(!splashOnScreen());
    QVERIFY(w.isVisible());
    // The weight screen opens on the day the start began on.
    QCOMPARE(qobject_cast<EntryPanel *>(w.screen(QStringLiteral("cmdMain")))->mtvmain()->selectedDate(), QDate(2008, 3, 10));
}

void TestMainWindow::firstStartCreatesDefaultsAndAsksForThePersons()
{
    WindowDriver d;
    QVERIFY(d.start());
    QCOMPARE(d.dialogs.calls.size(), 1);
    QCOMPARE(d.dialogs.calls[0].icon, Icon::Information);
    QCOMPARE(d.dialogs.calls[0].buttons, Buttons::Ok);
    QCOMPARE(d.dialogs.calls[0].title, QStringLiteral("データを登録しましょう"));
    QVERIFY(d.window()->isVisible());
    QVERIFY(!d.find("fraNew")->isHidden());

    QStringList expected = {kHelpSetting, kStepSetting, kAverageSetting, kAutoTimeSetting,
                            kMarkerSetting, kSituationList, kMemo};
    expected.sort();
    QCOMPARE(d.tmp.entries(), expected);
    QCOMPARE(d.bytes(kHelpSetting), sjis("\"ヘルプツアー\",1\r\n"));
    QCOMPARE(d.bytes(kStepSetting), QByteArray("0.1\r\n"));
    QCOMPARE(d.bytes(kAverageSetting), QByteArray("10\r\n"));
    QCOMPARE(d.bytes(kAutoTimeSetting), QByteArray("0\r\n"));
    QCOMPARE(d.bytes(kMarkerSetting), QByteArray("1\r\n"));
    QVERIFY(!d.text(kSituationList).trimmed().isEmpty());

    // Closed without registering: the next start asks again, changing nothing.
    const auto before = d.snapshot();
    d.dialogs.clear();
    QVERIFY(d.restart());
    QCOMPARE(d.dialogs.titles(), QStringList{QStringLiteral("データを登録しましょう")});
    QCOMPARE(d.snapshot(), before);
}

void TestMainWindow::missingFileEndsWithoutWriting_data()
{
    QTest::addColumn<QString>("file");
    for (const QString &f : {kProfile1, kProfile2, kData1, kData2})
        QTest::newRow(qPrintable(f)) << f;
}

// A settings file gone missing: the start asks whether to write its
// default; いいえ ends without writing, はい writes the missing ones only.
void TestMainWindow::missingSettingsFilesAreOfferedTheirDefaults_data()
{
    QTest::addColumn<QStringList>("files");
    for (const QString &f : {kHelpSetting, kStepSetting, kAverageSetting, kAutoTimeSetting,
                             kMarkerSetting, kSituationList, kMemo})
        QTest::newRow(qPrintable(f)) << QStringList{f};
    QTest::newRow("two of them") << QStringList{kStepSetting, kMemo};
}

void TestMainWindow::missingSettingsFilesAreOfferedTheirDefaults()
{
    QFETCH(QStringList, files);
    for (const bool yes : {false, true}) {
        WindowDriver d;
        d.writeFiles(everyday());
        for (const QString &f : std::as_const(files))
            QVERIFY(QFile::remove(d.tmp.filePath(f)));
        const auto before = d.snapshot();
        d.dialogs.queueAnswer(yes ? Answer::Yes : Answer::No);

        QCOMPARE(d.start(), yes);
        // いいえ ends there; はい may be followed by the help tour when the
        // help setting was written anew (its default is on).
        QCOMPARE(d.dialogs.calls.size() == 1, !yes || !files.contains(kHelpSetting));
        const ScriptedDialogs::Call &c = d.dialogs.calls[0];
        QCOMPARE(c.title, QStringLiteral("設定ファイルの確認"));
        QCOMPARE(c.icon, Icon::Question);
        QCOMPARE(c.buttons, Buttons::YesNo);
        for (const QString &f : std::as_const(files))
            QVERIFY2(c.text.contains(f), qPrintable(c.text));
        if (!yes) {
            QVERIFY(!d.window()->isVisible());
            QCOMPARE(d.snapshot(), before);
            continue;
        }
        QVERIFY(d.window()->isVisible());
        for (const QString &f : std::as_const(files))
            QVERIFY(d.tmp.exists(f));
        // Only the missing files were written.
        auto after = d.snapshot();
        for (const QString &f : std::as_const(files))
            after.remove(f);
        QCOMPARE(after, before);
    }
}

void TestMainWindow::missingFileEndsWithoutWriting()
{
    QFETCH(QString, file);
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(QFile::remove(d.tmp.filePath(file)));
    const auto before = d.snapshot();

    QVERIFY(!d.start());
    QCOMPARE(d.dialogs.calls.size(), 1);
    const ScriptedDialogs::Call &c = d.dialogs.calls[0];
    QCOMPARE(c.icon, Icon::Critical);
    QCOMPARE(c.buttons, Buttons::Ok);
    QVERIFY2(c.text.contains(file), qPrintable(c.text));
    QVERIFY(!d.window()->isVisible());
    QCOMPARE(d.snapshot(), before);
}

void TestMainWindow::damagedLineEndsWithoutWriting_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("where");

    const QByteArray good1 = crlf({rec("2008/03/01", "はじめの一歩", "70")});
    const QByteArray good3 = crlf({rec(kToday, "起床後", "68")});
    QTest::newRow("date of person 2, line 2")
        << kData2 << good1 + crlf({rec("2008/3/02", "朝", "60")}) + good3
        << QStringLiteral("「データ2.txt」の 2 行目");
    QTest::newRow("too few fields, line 1")
        << kData1 << crlf({QStringLiteral("\"2008/03/01\",\"朝\",70")}) + good3
        << QStringLiteral("「データ1.txt」の 1 行目");
    QTest::newRow("weight not a number, line 2")
        << kData1 << good1 + crlf({rec("2008/03/02", "朝", "abc")}) + good3
        << QStringLiteral("「データ1.txt」の 2 行目");
    QTest::newRow("bytes that are not CP932, line 2")
        << kData1 << good1 + QByteArray("\"2008/03/02\",\"\x85\x40\",70,\"\",\"\",\"\"\r\n") + good3
        << QStringLiteral("「データ1.txt」の 2 行目");
    // A broken line that ends in CR LF is damage, not an unfinished append.
    QTest::newRow("broken last line with its line break")
        << kData1 << good1 + sjis("\"2008/03/10\",\"起") + "\r\n"
        << QStringLiteral("「データ1.txt」の 2 行目");
    QTest::newRow("situation list, line 2")
        << kSituationList << sjis("起床後\r\n") + QByteArray("\x85\x40\r\n") + sjis("就寝前\r\n")
        << QStringLiteral("「状況リスト.txt」の 2 行目");
    QTest::newRow("height not a number")
        << kProfile2 << sjis("\"氏名\",\"はなこ\"\r\n\"身長\",abc\r\n\"目標体重\",50\r\n")
        << QStringLiteral("「ﾌﾟﾗｲﾍﾞｰﾄ2.txt」の 2 行目");
}

void TestMainWindow::damagedLineEndsWithoutWriting()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, where);
    WindowDriver d;
    d.writeFiles(everyday());
    d.tmp.writeBytes(file, bytes);
    const auto before = d.snapshot();

    QVERIFY(!d.start());
    QCOMPARE(d.dialogs.calls.size(), 1);
    const ScriptedDialogs::Call &c = d.dialogs.calls[0];
    QCOMPARE(c.icon, Icon::Critical);
    QVERIFY2(c.text.contains(where), qPrintable(c.text));
    QVERIFY(!d.window()->isVisible());
    QCOMPARE(d.snapshot(), before);
}

void TestMainWindow::damagedSettingsFileEndsWithoutWriting_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("help tour, not CP932") << kHelpSetting << QByteArray("\"\x83\x77\x85\x40\",1\r\n");
    QTest::newRow("help tour, open quote") << kHelpSetting << sjis("\"ヘルプツアー,1\r\n");
    QTest::newRow("step") << kStepSetting << QByteArray("0.\x85\x40\r\n");
    QTest::newRow("moving average") << kAverageSetting << QByteArray("\x85\x40\r\n");
    QTest::newRow("automatic time") << kAutoTimeSetting << QByteArray("\"1\r\n");
    QTest::newRow("marker") << kMarkerSetting << QByteArray("\x85\x40" "1\r\n");
    // Values the program never writes are named as well, not guessed around.
    QTest::newRow("marker 7") << kMarkerSetting << QByteArray("7\r\n");
    QTest::newRow("moving average 0") << kAverageSetting << QByteArray("0\r\n");
    QTest::newRow("help tour 2") << kHelpSetting << sjis("\"ヘルプツアー\",2\r\n");
    QTest::newRow("automatic time 2") << kAutoTimeSetting << QByteArray("2\r\n");
}

void TestMainWindow::damagedSettingsFileEndsWithoutWriting()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    WindowDriver d;
    d.writeFiles(everyday());
    d.tmp.writeBytes(file, bytes);
    const auto before = d.snapshot();

    // A damaged file is named, not guessed around.
    QVERIFY(!d.start());
    QCOMPARE(d.dialogs.calls.size(), 1);
    const ScriptedDialogs::Call &c = d.dialogs.calls[0];
    QCOMPARE(c.icon, Icon::Critical);
    QVERIFY2(c.text.contains(QStringLiteral("「%1」の 1 行目").arg(file)), qPrintable(c.text));
    QVERIFY(!d.window()->isVisible());
    QCOMPARE(d.snapshot(), before);
}

void TestMainWindow::incompleteLastLineIsMovedAsideOnce()
{
    WindowDriver d;
    d.writeFiles(everyday());
    const QByteArray complete = crlf({rec("2008/03/01", "はじめの一歩", "70"), rec(kToday, "起床後", "68")});
    const QByteArray tail = sjis("\"2008/03/10\",\"夕食");
    d.tmp.writeBytes(kData1, complete + tail);

    QVERIFY(d.start());
    QCOMPARE(d.dialogs.calls.size(), 1);
    const ScriptedDialogs::Call &c = d.dialogs.calls[0];
    QCOMPARE(c.icon, Icon::Information);
    QCOMPARE(c.buttons, Buttons::Ok);
    QVERIFY2(c.text.contains(kData1) && c.text.contains(QStringLiteral("3 行目")), qPrintable(c.text));

    QCOMPARE(d.bytes(kData1), complete);
    QStringList sides;
    for (const QString &name : d.tmp.entries())
        if (name.startsWith(kData1) && name != kData1)
            sides.append(name);
    QCOMPARE(sides.size(), 1);
    QCOMPARE(d.bytes(sides[0]), tail);
    d.click("cmdMain");
    QCOMPARE(d.dayRowCount(), 1);

    // Told once: the next start finds a whole file.
    d.dialogs.clear();
    QVERIFY(d.restart());
    QCOMPARE(d.boxes(), QStringList());
    QCOMPARE(d.bytes(kData1), complete);
}

// ----------------------------------------------------------------- toolbar

void TestMainWindow::toolbarButtonsCarryCaptionAndTooltip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tip");
    const QList<std::array<const char *, 3>> rows = {
        {"cmdMain", "入力", "データ入力画面を表示します（Ctrl+1）"},
        {"cmdAvgtai", "比較", "二人のデータを比較表示します（Ctrl+2）"},
        {"cmdBunseki", "分析リスト", "体重分析画面を表示します（Ctrl+3）"},
        {"cmdRentai", "全グラフ", "現在までの体重グラフを表示します（Ctrl+4）"},
        {"cmdCale", "カレンダー", "体重増減把握カレンダーを表示します（Ctrl+5）"},
        {"cmdTaijyu", "範囲指定", "表示条件を指定できます（Ctrl+6）"},
        {"cmdMemo", "一言日記", "ちょっとした日記を表示します（Ctrl+7）"},
        {"cmdSettei", "編集", "編集画面を表示します（Ctrl+8）"},
        {"cmdPace", "ペース", "二人の体重の傾向と目標到達予定を表示します（Ctrl+9）"},
        {"cmdPrint", "画面印刷", "画面イメージのまま印刷します（Ctrl+P）"},
        {"cmdPrint1", "用紙印刷", "体重記録用紙を印刷します"},
        {"cmdHelp", "ヘルプ", "ヘルプファイルを開きます（F1）"},
        {"cmdOwari", "終了", "プログラムを終了します（Ctrl+Q）"},
    };
    for (const auto &r : rows)
        QTest::newRow(r[0]) << QString::fromUtf8(r[0]) << QString::fromUtf8(r[1]) << QString::fromUtf8(r[2]);
}

void TestMainWindow::toolbarButtonsCarryCaptionAndTooltip()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, tip);
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    auto *b = d.find<QAbstractButton>(name);
    QVERIFY(b);
    QCOMPARE(b->text(), caption);
    QCOMPARE(b->toolTip(), tip);
    QCOMPARE(d.find("chkHelp")->toolTip(), QStringLiteral("ヘルプツアーのＯｎ／Ｏｆｆです"));
}

namespace {

struct ScreenCase {
    const char *button;
    const char *panel;
    QString (*text)();
};

const ScreenCase kScreens[] = {
    {"cmdMain", "fraMain", tour::entry},       {"cmdAvgtai", "fraAvgTai", tour::compare},
    {"cmdBunseki", "fraBunseki", tour::analysis}, {"cmdRentai", "fraRenTai", tour::graph},
    {"cmdCale", "fraCale", tour::calendar},    {"cmdTaijyu", "fraTaijyu", tour::search},
    {"cmdMemo", "fraMemo", tour::notes},       {"cmdSettei", "fraSettei", tour::settings},
    {"cmdPace", "fraPace", tour::pace},
};

void screenRows()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("text");
    for (const ScreenCase &s : kScreens)
        QTest::newRow(s.button) << QString::fromLatin1(s.button) << QString::fromLatin1(s.panel) << s.text();
}

// Opens the screen whose button is `button`, starting from the comparison.
void openScreen(const WindowDriver &d, const QString &button)
{
    if (button == QLatin1String("cmdAvgtai"))
        return;
    d.click(button);
}

} // namespace

void TestMainWindow::visibleScreensButtonChangesNothing_data() { screenRows(); }

void TestMainWindow::everyScreenFitsTheSmallestWindow()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    // The window opens no larger than the screen it is on.
    const QSize available = QGuiApplication::primaryScreen()->availableGeometry().size();
    QVERIFY(d.window()->width() <= qMax(available.width(), MainWindow::kMinimumSize.width()));
    QVERIFY(d.window()->height() <= qMax(available.height(), MainWindow::kMinimumSize.height()));

    d.window()->resize(MainWindow::kMinimumSize);
    QCOMPARE(d.window()->size(), MainWindow::kMinimumSize);
    for (const ScreenCase &s : kScreens) {
        d.click(QString::fromLatin1(s.button));
        QCoreApplication::processEvents();
        const QStringList faults = d.layoutFaults();
        QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(s.panel), faults.join(QStringLiteral("; ")))));
    }
}

void TestMainWindow::startReadsEachDataFileOnce()
{
    WindowDriver d;
    d.writeFiles(everyday());
    store::resetWholeFileReads();
    QVERIFY(d.start());
    const DataDir dir(d.tmp.dir());
    // The check, the day view, the counts and the comparison share one read.
    QCOMPARE(store::wholeFileReads(dir, kData1), 1);
    QCOMPARE(store::wholeFileReads(dir, kData2), 1);
    // Later screens look at the files again but parse an unchanged one
    // no more, and a changed one whole.
    d.click("cmdMain");
    d.click("cmdAvgtai");
    QCOMPARE(store::wholeFileReads(dir, kData1), 1);
    QCOMPARE(store::wholeFileReads(dir, kData2), 1);
    QByteArray bytes = d.bytes(kData2);
    bytes.prepend(bytes.left(bytes.indexOf('\n') + 1)); // the first record twice
    d.tmp.writeBytes(kData2, bytes);
    d.click("cmdMain");
    d.click("cmdAvgtai");
    QCOMPARE(store::wholeFileReads(dir, kData1), 1);
    QCOMPARE(store::wholeFileReads(dir, kData2), 2);
}

// A control a help page speaks of is marked data-ctl="objectName"; the
// window must have it, so a page cannot describe a button that is gone.
void TestMainWindow::helpPagesNameOnlyControlsThatExist()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("optGra1"); // the comparison's chart made when its view is chosen
    d.window()->screens(); // every screen, also those not opened yet
    const QRegularExpression mark(QStringLiteral("data-ctl=\"([A-Za-z0-9_]+)\""));
    QStringList missing;
    int marks = 0;
    QDirIterator pages(QStringLiteral(":/help"), {QStringLiteral("*.html")});
    while (pages.hasNext()) {
        const QString page = pages.next();
        QFile f(page);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        for (auto it = mark.globalMatch(html); it.hasNext();) {
            const QString name = it.next().captured(1);
            ++marks;
            if (!d.window()->findChild<QWidget *>(name))
                missing.append(QStringLiteral("%1: %2").arg(QFileInfo(page).fileName(), name));
        }
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
    qInfo("%d controls named by the help pages", marks);
}

void TestMainWindow::visibleScreensButtonChangesNothing()
{
    QFETCH(QString, button);
    QFETCH(QString, panel);
    WindowDriver d;
    DataSet files = everyday();
    files.helpFlag = 1;
    d.writeFiles(files);
    QVERIFY(d.start());
    d.click("cmdMain"); // its day list would show a rebuild
    d.click("cmdAvgtai");
    openScreen(d, button);
    QCOMPARE(d.visiblePanel(), panel);

    // Data written behind the window's back would show if the screen were
    // rebuilt; a marker text in HelpText would be overwritten.
    d.tmp.writeBytes(kData1, d.bytes(kData1) + crlf({rec(kToday, "就寝前", "67.9")}));
    d.session().help.HelpText = QStringLiteral("(unchanged)");
    const int rows = d.dayRowCount();
    d.dialogs.clear();

    d.click(button);
    QCOMPARE(d.visiblePanel(), panel);
    QCOMPARE(d.boxes(), QStringList());
    QCOMPARE(d.session().help.HelpText, QStringLiteral("(unchanged)"));
    QCOMPARE(d.dayRowCount(), rows);
}

void TestMainWindow::eachButtonShowsItsPanelAndExplainsIt_data() { screenRows(); }

void TestMainWindow::eachButtonShowsItsPanelAndExplainsIt()
{
    QFETCH(QString, button);
    QFETCH(QString, panel);
    QFETCH(QString, text);
    WindowDriver d;
    DataSet files = everyday();
    files.helpFlag = 1;
    d.writeFiles(files);
    QVERIFY(d.start());
    // The comparison is showing at start: go elsewhere first.
    if (button == QLatin1String("cmdAvgtai"))
        d.click("cmdCale");
    d.dialogs.clear();

    d.click(button);
    QCOMPARE(d.visiblePanel(), panel);
    QCOMPARE(d.boxes(), QStringList{tourBox(text)});
    QCOMPARE(d.session().help.HelpText, text);
}

void TestMainWindow::withTheTourOffScreensOpenSilently()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    QCOMPARE(d.boxes(), QStringList());
    for (const ScreenCase &s : {kScreens[0], kScreens[2], kScreens[3], kScreens[4], kScreens[5],
                            kScreens[6], kScreens[7], kScreens[1]}) {
        d.click(QString::fromLatin1(s.button));
        QCOMPARE(d.visiblePanel(), QString::fromLatin1(s.panel));
        // The text is set all the same; only the box stays away.
        QCOMPARE(d.session().help.HelpText, s.text());
    }
    QCOMPARE(d.boxes(), QStringList());
}

void TestMainWindow::helpButtonOpensHelpAndExitClosesBoth()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    QVERIFY(!hasVisibleTopLevel("frmHelp"));
    d.click("cmdHelp");
    QVERIFY(hasVisibleTopLevel("frmHelp"));
    QCOMPARE(d.boxes(), QStringList());

    d.click("cmdOwari");
    QVERIFY(!d.window()->isVisible());
    QVERIFY(!hasVisibleTopLevel("frmHelp"));
}

// ----------------------------------------------------------- person switch

void TestMainWindow::selectedPersonsButtonDoesNothing()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    // Changes on disk would show if the click reloaded anything.
    d.tmp.writeBytes(kProfile1, sjis("\"氏名\",\"じろう\"\r\n\"身長\",180\r\n\"目標体重\",70\r\n"));
    d.tmp.writeBytes(kData1, d.bytes(kData1) + crlf({rec(kToday, "就寝前", "67.9")}));

    d.click("cmdUser1");
    QCOMPARE(d.window()->windowTitle(), QStringLiteral(" たろう のデータ"));
    QCOMPARE(d.session().person.current().height, 170.0f);
    QCOMPARE(d.dayRowCount(), 2);
    QCOMPARE(d.find<QLabel>("lblUser1")->text(), QStringLiteral("2"));
    QCOMPARE(d.find<ColourButton>("cmdUser1")->backColor(), QColor(0xFF, 0xFF, 0xF0));
    QCOMPARE(d.boxes(), QStringList());
}

void TestMainWindow::switchOnWeightScreenRebuildsIt()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");

    d.click("cmdUser2");
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraMain"));
    QCOMPARE(d.window()->windowTitle(), QStringLiteral(" はなこ のデータ"));
    QCOMPARE(d.find<ColourButton>("cmdUser2")->backColor(), QColor(0xFF, 0xFF, 0xF0));
    QCOMPARE(d.find<ColourButton>("cmdUser1")->backColor(), QColor());
    QCOMPARE(d.session().person.DataFileName(), kData2);
    QCOMPARE(d.session().person.current().height, 160.0f);
    QCOMPARE(d.dayRowCount(), 1);
    QCOMPARE(d.dayRow(1).mid(0, 3),
             (QStringList{"1", "起床後", "54.2Kg"}));
    // The counts stay with their persons.
    QCOMPARE(d.find<QLabel>("lblUser1")->text(), QStringLiteral("2"));
    QCOMPARE(d.find<QLabel>("lblUser2")->text(), QStringLiteral("1"));
    QCOMPARE(d.session().day.LastFileWeight, 54.2f);
    QCOMPARE(d.boxes(), QStringList());

    d.click("cmdUser1");
    QCOMPARE(d.dayRowCount(), 2);
    QCOMPARE(d.window()->windowTitle(), QStringLiteral(" たろう のデータ"));
}

void TestMainWindow::switchOnComparisonChangesOnlyCaptionAndColours()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    const QStringList row1 = d.dayRow(1);
    const QString lastDate = d.session().day.LastFileDate;
    d.click("cmdAvgtai");

    d.click("cmdUser2");
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraAvgTai"));
    QCOMPARE(d.window()->windowTitle(), QStringLiteral(" はなこ のデータ"));
    QCOMPARE(d.find<ColourButton>("cmdUser2")->backColor(), QColor(0xFF, 0xFF, 0xF0));
    QCOMPARE(d.find<ColourButton>("cmdUser1")->backColor(), QColor());
    // The weight screen behind it still shows person 1's day.
    QCOMPARE(d.dayRowCount(), 2);
    QCOMPARE(d.dayRow(1), row1);
    QCOMPARE(d.session().day.LastFileDate, lastDate);
    QCOMPARE(d.session().day.LastFileWeight, 68.4f);
    QCOMPARE(d.boxes(), QStringList());
}

void TestMainWindow::switchOnSettingsScreenShowsTheNewProfile()
{
    WindowDriver d;
    DataSet files = everyday();
    files.person2.height = QStringLiteral("158.5");
    files.person2.target = QStringLiteral("49.5");
    d.writeFiles(files);
    QVERIFY(d.start());
    d.click("cmdSettei");
    QCOMPARE(d.find<QLineEdit>("txtPriData")->text(), QStringLiteral("たろう"));
    QCOMPARE(d.find<QLineEdit>("txtSincyou")->text(), QStringLiteral("170"));
    QCOMPARE(d.find<QLineEdit>("txtMokuTai")->text(), QStringLiteral("60"));

    d.click("cmdUser2");
    QCOMPARE(d.visiblePanel(), QStringLiteral("fraSettei"));
    QCOMPARE(d.find<QLineEdit>("txtPriData")->text(), QStringLiteral("はなこ"));
    QCOMPARE(d.find<QLineEdit>("txtSincyou")->text(), QStringLiteral("158.5"));
    QCOMPARE(d.find<QLineEdit>("txtMokuTai")->text(), QStringLiteral("49.5"));
    for (const char *name : {"cmdSort", "cmdDel", "cmdChg"})
        QVERIFY2(!d.find(QString::fromLatin1(name))->isEnabled(), name);
    // The settings screen rebuilds the day view too.
    QCOMPARE(d.session().day.LastFileWeight, 54.2f);
    d.click("cmdMain");
    QCOMPARE(d.dayRowCount(), 1);
}

void TestMainWindow::switchToAnUnreadableProfileKeepsTheSelection()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    d.tmp.writeBytes(kProfile2, sjis("\"氏名\",\"はなこ\"\r\n"));
    const auto before = d.snapshot();

    d.click("cmdUser2");
    QCOMPARE(d.dialogs.calls.size(), 1);
    QCOMPARE(d.dialogs.calls[0].icon, Icon::Critical);
    QVERIFY2(d.dialogs.calls[0].text.contains(kProfile2), qPrintable(d.dialogs.calls[0].text));
    QCOMPARE(d.find<ColourButton>("cmdUser1")->backColor(), QColor(0xFF, 0xFF, 0xF0));
    QCOMPARE(d.find<ColourButton>("cmdUser2")->backColor(), QColor());
    QCOMPARE(d.window()->windowTitle(), QStringLiteral(" たろう のデータ"));
    QCOMPARE(d.session().person.DataFileName(), kData1);
    QCOMPARE(d.session().person.ProfileFileName(), kProfile1);
    QCOMPARE(d.session().person.current().height, 170.0f);
    QCOMPARE(d.dayRowCount(), 2);
    QCOMPARE(d.snapshot(), before);
}

// ---------------------------------------------------------- help tour switch

void TestMainWindow::chkHelpTurnsTheTourOffAndOn()
{
    WindowDriver d;
    DataSet files = everyday();
    files.helpFlag = 1;
    d.writeFiles(files);
    QVERIFY(d.start());
    d.dialogs.clear();

    d.click("chkHelp");
    QCOMPARE(d.find<QCheckBox>("chkHelp")->isChecked(), false);
    QCOMPARE(d.boxes(), QStringList{box(QStringLiteral("ヘルプツアー機能をオフにします。"),
                                        QStringLiteral("ヘルプツアーＯＦＦ"), Icon::Information)});
    QCOMPARE(d.bytes(kHelpSetting), sjis("\"ヘルプツアー\",0\r\n"));
    QCOMPARE(d.session().help.HelpFlag, 0);
    d.dialogs.clear();
    d.click("cmdMain");
    d.click("cmdCale");
    QCOMPARE(d.boxes(), QStringList());

    d.click("chkHelp");
    QCOMPARE(d.find<QCheckBox>("chkHelp")->isChecked(), true);
    QCOMPARE(d.boxes(), QStringList{box(QStringLiteral("ヘルプツアー機能をオンにします。"),
                                        QStringLiteral("ヘルプツアーＯＮ"), Icon::Information)});
    QCOMPARE(d.bytes(kHelpSetting), sjis("\"ヘルプツアー\",1\r\n"));
    QCOMPARE(d.session().help.HelpFlag, 1);
    d.dialogs.clear();
    d.click("cmdMemo");
    QCOMPARE(d.boxes(), QStringList{tourBox(tour::notes())});
}

void TestMainWindow::tourSettingSurvivesARestart()
{
    WindowDriver d;
    DataSet files = everyday();
    files.helpFlag = 1;
    d.writeFiles(files);
    QVERIFY(d.start());
    d.click("chkHelp");
    d.dialogs.clear();

    QVERIFY(d.restart());
    QCOMPARE(d.boxes(), QStringList());
    QCOMPARE(d.find<QCheckBox>("chkHelp")->isChecked(), false);
    QCOMPARE(d.bytes(kHelpSetting), sjis("\"ヘルプツアー\",0\r\n"));

    d.click("chkHelp");
    d.dialogs.clear();
    QVERIFY(d.restart());
    QCOMPARE(d.boxes(), QStringList{tourBox(tour::startup())});
    QCOMPARE(d.find<QCheckBox>("chkHelp")->isChecked(), true);
}

void TestMainWindow::tourSettingRewritesTheFileWhateverItsExtensionCase()
{
    WindowDriver d;
    d.writeFiles(everyday());
    const QString upper = QStringLiteral("設定.TXT");
    QVERIFY(QFile::rename(d.tmp.filePath(kHelpSetting), d.tmp.filePath(upper)));
    d.tmp.writeBytes(upper, sjis("\"ヘルプツアー\",1\r\n"));

    QVERIFY(d.start());
    QCOMPARE(d.find<QCheckBox>("chkHelp")->isChecked(), true);
    d.click("chkHelp");
    QCOMPARE(d.bytes(upper), sjis("\"ヘルプツアー\",0\r\n"));
    QVERIFY(!d.tmp.entries().contains(kHelpSetting));
    QCOMPARE(d.tmp.entries().filter(QStringLiteral("設定")), QStringList{upper});
}

void TestMainWindow::settingsClicksAreIgnoredWhileLoading()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain"); // the step options must be on screen to take a click
    const auto before = d.snapshot();
    d.session().Loading = true;
    d.click("chkHelp");
    d.click("optKizami_3");
    QCOMPARE(d.boxes(), QStringList());
    QCOMPARE(d.session().help.HelpFlag, 0);
    QCOMPARE(d.session().settings.StepText, QStringLiteral("0.1"));
    QCOMPARE(d.snapshot(), before);
}

// ---------------------------------------------------------- settings writers

void TestMainWindow::storedStepIsShownWithoutRewriting_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("option"); // 0: none
    QTest::addColumn<QString>("typed");
    // Blanks around the value are read past; a rewrite would drop them.
    QTest::newRow("0.1") << QByteArray(" 0.1 \r\n") << "0.1" << 1 << "";
    QTest::newRow("0.2") << QByteArray("0.2\r\n") << "0.2" << 2 << "";
    QTest::newRow("0.5") << QByteArray("0.5 \r\n") << "0.5" << 3 << "";
    QTest::newRow("0.25") << QByteArray("0.25\r\n") << "0.25" << 0 << "0.25";
    QTest::newRow("abc") << QByteArray("abc\r\n") << "abc" << 0 << "abc";
}

void TestMainWindow::storedStepIsShownWithoutRewriting()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, step);
    QFETCH(int, option);
    QFETCH(QString, typed);
    WindowDriver d;
    d.writeFiles(everyday());
    d.tmp.writeBytes(kStepSetting, stored);
    QVERIFY(d.start());
    d.click("cmdMain");
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(d.find<QRadioButton>(QStringLiteral("optKizami_%1").arg(i))->isChecked(), i == option);
    QCOMPARE(d.find<QLineEdit>("txtKizami")->text(), typed);
    QCOMPARE(d.session().settings.StepText, step);
    QCOMPARE(d.bytes(kStepSetting), stored);
    QCOMPARE(d.boxes(), QStringList());
}

void TestMainWindow::stepOptionClickWritesTheStep()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    d.click("optKizami_3");
    QCOMPARE(d.bytes(kStepSetting), QByteArray("0.5\r\n"));
    QCOMPARE(d.session().settings.StepText, QStringLiteral("0.5"));
    QCOMPARE(d.find<QRadioButton>("optKizami_1")->isChecked(), false);
    QCOMPARE(d.find<QRadioButton>("optKizami_3")->isChecked(), true);

    // A second click on the chosen option keeps it chosen.
    d.click("optKizami_3");
    QCOMPARE(d.find<QRadioButton>("optKizami_3")->isChecked(), true);
    QCOMPARE(d.bytes(kStepSetting), QByteArray("0.5\r\n"));

    d.click("optKizami_2");
    QCOMPARE(d.bytes(kStepSetting), QByteArray("0.2\r\n"));
    QCOMPARE(d.find<QRadioButton>("optKizami_3")->isChecked(), false);
    QCOMPARE(d.find<QRadioButton>("optKizami_2")->isChecked(), true);
    QCOMPARE(d.boxes(), QStringList());
}

void TestMainWindow::txtKizamiEnterWritesItsText()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    d.typeAndEnter("txtKizami", QStringLiteral("0.25"));
    QCOMPARE(d.bytes(kStepSetting), QByteArray("0.25\r\n"));
    QCOMPARE(d.session().settings.StepText, QStringLiteral("0.25"));
    // The option of the old step no longer says what the buttons do.
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(d.find<QRadioButton>(QStringLiteral("optKizami_%1").arg(i))->isChecked(), false);

    // A typed step that one option stands for picks that option.
    d.typeAndEnter("txtKizami", QStringLiteral("0.5"));
    QCOMPARE(d.bytes(kStepSetting), QByteArray("0.5\r\n"));
    QCOMPARE(d.find<QRadioButton>("optKizami_3")->isChecked(), true);
    QCOMPARE(d.find<QRadioButton>("optKizami_1")->isChecked(), false);

    // What is not a usable step is refused, and the file keeps its step:
    // the buttons would otherwise step by a silent default.
    for (const QString &typed : {QStringLiteral("すこし"), QStringLiteral("abc"), QStringLiteral("0"),
                                 QStringLiteral("-0.2"), QStringLiteral("10.5"), QString()}) {
        d.dialogs.clear();
        d.typeAndEnter("txtKizami", typed);
        QCOMPARE(d.bytes(kStepSetting), QByteArray("0.5\r\n"));
        QCOMPARE(d.boxes(), QStringList{box(QStringLiteral("体重計刻みには0より大きく10以下の数値を入力してください。"),
                                            QStringLiteral("体重計刻み"), Icon::Exclamation)});
        QCOMPARE(d.session().settings.StepText, QStringLiteral("0.5"));
    }
    // Ten is still a step.
    d.dialogs.clear();
    d.typeAndEnter("txtKizami", QStringLiteral("10"));
    QCOMPARE(d.bytes(kStepSetting), QByteArray("10\r\n"));
    QCOMPARE(d.boxes(), QStringList());
}

void TestMainWindow::txtKizamiRefusesTextTheFileCannotHold()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdMain");
    const auto before = d.snapshot();
    d.typeAndEnter("txtKizami", QStringLiteral("0.\"5"));
    QCOMPARE(d.dialogs.calls.size(), 1);
    QCOMPARE(d.dialogs.calls[0].icon, Icon::Exclamation);
    QCOMPARE(d.session().settings.StepText, QStringLiteral("0.1"));
    QCOMPARE(d.snapshot(), before);
}

void TestMainWindow::movingAverageEnterChecksTheNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("0 is cleared") << "0" << "" << QByteArray("10\r\n");
    QTest::newRow("text is cleared") << "abc" << "" << QByteArray("10\r\n");
    QTest::newRow("-3 is cleared") << "-3" << "" << QByteArray("10\r\n");
    QTest::newRow("45 beyond the list") << "45" << "45" << QByteArray("45\r\n");
    QTest::newRow("7") << "7" << "7" << QByteArray("7\r\n");
    QTest::newRow("full-width 45") << "４５" << "45" << QByteArray("45\r\n");
}

void TestMainWindow::movingAverageEnterChecksTheNumber()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QByteArray, file);
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdRentai");
    auto *cbo = d.find<QComboBox>("cboIdou");
    QCOMPARE(cbo->count(), 30);
    QCOMPARE(cbo->itemText(0), QStringLiteral("1"));
    QCOMPARE(cbo->itemText(29), QStringLiteral("30"));
    QCOMPARE(cbo->currentText(), QStringLiteral("10"));

    // Keys go where a keyboard sends them: to the widget with the focus.
    d.typeAndEnter(QStringLiteral("cboIdou"), typed);
    QCOMPARE(cbo->currentText(), shown);
    QCOMPARE(d.bytes(kAverageSetting), file);
    QCOMPARE(d.boxes(), QStringList());

    // Enter on an empty box does nothing at all.
    d.press(Qt::Key_A, Qt::ControlModifier);
    d.press(Qt::Key_Delete);
    d.press(Qt::Key_Return);
    QCOMPARE(cbo->currentText(), QString());
    QCOMPARE(d.bytes(kAverageSetting), file);
}

void TestMainWindow::movingAverageChosenFromTheListIsWritten()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdRentai");
    auto *cbo = d.find<QComboBox>("cboIdou");
    // A pick from the drop-down list, by a click on its fifth entry.
    cbo->showPopup();
    QAbstractItemView *view = cbo->view();
    QVERIFY(view->isVisible());
    const QModelIndex five = view->model()->index(4, 0);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(five).center());
    QCOMPARE(cbo->currentText(), QStringLiteral("5"));
    QCOMPARE(d.bytes(kAverageSetting), QByteArray("5\r\n"));
}

void TestMainWindow::chkJikanClickWritesItsState()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    d.click("cmdSettei");
    auto *chk = d.find<QCheckBox>("chkJikan");
    QCOMPARE(chk->text(), QStringLiteral("一言日記に自動的に時間を記録"));
    QCOMPARE(chk->isChecked(), false);

    d.click("chkJikan");
    QCOMPARE(chk->isChecked(), true);
    QCOMPARE(d.bytes(kAutoTimeSetting), QByteArray("1\r\n"));
    QCOMPARE(d.session().settings.AutoTime, 1);
    QVERIFY(d.restart());
    QCOMPARE(d.find<QCheckBox>("chkJikan")->isChecked(), true);

    d.click("cmdSettei");
    d.click("chkJikan");
    QCOMPARE(d.bytes(kAutoTimeSetting), QByteArray("0\r\n"));
    QCOMPARE(d.session().settings.AutoTime, 0);
    QVERIFY(d.restart());
    QCOMPARE(d.find<QCheckBox>("chkJikan")->isChecked(), false);
    QCOMPARE(d.boxes(), QStringList());
}

void TestMainWindow::chartClickCyclesTheMarkersAndStoresEach()
{
    WindowDriver d;
    d.writeFiles(everyday()); // stored mode 1: circles
    QVERIFY(d.start());
    d.click("cmdMain");
    LineChart *chart = d.chart();
    QCOMPARE(chart->marker(), LineChart::Marker::Circle);

    const QList<std::pair<QByteArray, LineChart::Marker>> cycle = {
        {"2\r\n", LineChart::Marker::Ball},
        {"0\r\n", LineChart::Marker::None},
        {"1\r\n", LineChart::Marker::Circle},
    };
    for (const auto &[file, marker] : cycle) {
        QTest::mouseClick(chart, Qt::LeftButton, {}, chart->rect().center());
        QCOMPARE(d.bytes(kMarkerSetting), file);
        QCOMPARE(chart->marker(), marker);
    }
    QCOMPARE(d.session().settings.MarkerMode, 1);
    QCOMPARE(d.boxes(), QStringList());
}

// A screen's views finish their layout from the event loop after it is
// shown; painting before that paints the screen twice. The one paint must
// still happen inside the click, not be left for later.
namespace {

// Counts the paints of one widget.
struct PaintCounter : QObject {
    QObject *panel = nullptr;
    int paints = 0;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == panel && event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

void TestMainWindow::startPaintsTheComparisonAndToolbarOnceBeforeItReturns()
{
    WindowDriver d;
    d.writeFiles(everyday());
    MainWindow w(d.tmp.dir(), d.dialogs, d.clock, MainWindow::Options{0, false});
    // The comparison, and its toolbar button, already checked when the
    // window first paints.
    PaintCounter screen, tool;
    screen.panel = w.findChild<QWidget *>(QStringLiteral("fraAvgTai"));
    tool.panel = w.findChild<QWidget *>(QStringLiteral("cmdAvgtai"));
    QVERIFY(screen.panel && tool.panel);
    qApp->installEventFilter(&screen);
    qApp->installEventFilter(&tool);
    QVERIFY(w.start());
    const int inStart[2] = {screen.paints, tool.paints};
    QCoreApplication::processEvents();
    qApp->removeEventFilter(&screen);
    qApp->removeEventFilter(&tool);
    QCOMPARE(inStart[0], 1);
    QCOMPARE(inStart[1], 1);
    QCOMPARE(screen.paints, 1);
    QCOMPARE(tool.paints, 1);
}

void TestMainWindow::openedScreenIsPaintedOnceBeforeTheClickReturns()
{
    WindowDriver d;
    d.writeFiles(everyday());
    QVERIFY(d.start());
    for (const char *button : {"cmdBunseki", "cmdTaijyu", "cmdAvgtai", "cmdRentai", "cmdMain"}) {
        if (QByteArrayView(button) != "cmdMain")
            d.click("cmdMain");
        QCoreApplication::processEvents();
        QWidget *screen = nullptr;
        for (const auto &[name, s] : d.window()->screens())
            if (name == QLatin1String(button))
                screen = s;
        QVERIFY(screen);
        PaintCounter counter;
        counter.panel = screen;
        qApp->installEventFilter(&counter);
        QTest::mouseClick(d.find(QString::fromLatin1(button)), Qt::LeftButton);
        const int inClick = counter.paints;
        QCoreApplication::processEvents();
        qApp->removeEventFilter(&counter);
        QVERIFY2(inClick == 1, qPrintable(QStringLiteral("%1: %2 paints in the click").arg(button).arg(inClick)));
        QCOMPARE(counter.paints, 1);
    }
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
