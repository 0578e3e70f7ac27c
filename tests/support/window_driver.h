#pragma once

#include "fixed_clock.h"
#include "scripted_dialogs.h"
#include "temp_data_dir.h"
#include "test_text.h"

#include "app/main_window.h"

#include <QByteArray>
#include <QDate>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTime>
#include <memory>

class Grid;
class LineChart;
class QAbstractItemView;
class QListWidget;

// Window tests: a data directory written by hand in CP932, the main window
// built on it with scripted dialogs and a fixed clock, and small helpers to
// find controls by objectName, click them and read what they show.
namespace wintest {

// Fusion style, no quit when a window closes, and the offscreen platform's
// warnings about window sizing left out. Call from initTestCase.
void setUpWindowTests();

using testtext::crlf;
using testtext::sjis;
// One data-file line: "date","situation",weight,"diary","",""
QString rec(const QString &date, const QString &situation, const QString &weight,
            const QString &diary = QString());

struct Profile {
    QString nickname;
    QString height; // as written in the file
    QString target;
};

// Everything a normal start needs. The help tour is off unless a test
// turns it on, so most tests see only the dialogs they cause.
struct DataSet {
    Profile person1{QStringLiteral("たろう"), QStringLiteral("170"), QStringLiteral("60")};
    Profile person2{QStringLiteral("はなこ"), QStringLiteral("160"), QStringLiteral("50")};
    QStringList records1{rec(QStringLiteral("2008/03/01"), QStringLiteral("はじめの一歩"), QStringLiteral("65"))};
    QStringList records2{rec(QStringLiteral("2008/03/01"), QStringLiteral("はじめの一歩"), QStringLiteral("55"))};
    int helpFlag = 0;
    QString step = QStringLiteral("0.1");
    QString movingAverage = QStringLiteral("10");
    QString autoTime = QStringLiteral("0");
    QString markerMode = QStringLiteral("1");
    QStringList situations{QStringLiteral("起床後"), QStringLiteral("朝食後"),
                           QStringLiteral("夕食後"), QStringLiteral("就寝前")};
    QString memo = QStringLiteral("水を飲む");
};

// File names as the program spells them.
inline const QString kData1 = QStringLiteral("データ1.txt");
inline const QString kData2 = QStringLiteral("データ2.txt");
inline const QString kProfile1 = QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ1.txt");
inline const QString kProfile2 = QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ2.txt");
inline const QString kHelpSetting = QStringLiteral("設定.txt");
inline const QString kStepSetting = QStringLiteral("体重計刻み.txt");
inline const QString kAverageSetting = QStringLiteral("移動平均.TXT");
inline const QString kAutoTimeSetting = QStringLiteral("自動時間.TXT");
inline const QString kMarkerSetting = QStringLiteral("マーカー.TXT");
inline const QString kSituationList = QStringLiteral("状況リスト.txt");
inline const QString kMemo = QStringLiteral("気付きメモ.TXT");

// One expected box, in the form boxes() gives.
inline QString box(const QString &text, const QString &title, Dialogs::Icon icon,
                   Dialogs::Buttons buttons = Dialogs::Buttons::Ok)
{
    return ScriptedDialogs::describe(text, title, icon, buttons);
}

class WindowDriver {
public:
    explicit WindowDriver(QDate today = QDate(2008, 3, 10), QTime time = QTime(9, 5, 7));
    ~WindowDriver();

    // Writes every file of the set into the data directory.
    void writeFiles(const DataSet &files) const;

    // Builds a main window on the directory and runs its start-up. No
    // splash and no wait unless asked for.
    bool start(MainWindow::Options options = {0, false});
    // Closes the window and starts a new one on the same directory.
    bool restart(MainWindow::Options options = {0, false});
    MainWindow *window() const { return window_.get(); }
    Session &session() const { return window_->session(); }

    // A control of the window by objectName; fails the test (and returns
    // nullptr) when there is none.
    template <typename T = QWidget> T *find(const QString &name) const
    {
        T *w = window_ ? window_->findChild<T *>(name) : nullptr;
        if (!w)
            reportMissing(name);
        return w;
    }
    // A real left click in the middle of the control.
    void click(const QString &name) const;
    // A real click on a label of lstAct.
    void clickSituation(const QString &label) const;
    // A real click on a day cell of mtvmain (the day must be in the month shown).
    void pickDay(QDate day) const;
    // Gives a control the focus with a real click (a combo box in its text).
    void focusByClick(const QString &name) const;
    // The widget that holds the focus; fails the test when none does.
    QWidget *focused() const;
    // Keys as a keyboard sends them: to the widget that holds the focus.
    void type(const QString &text) const;
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;
    // Clicks into a text box, empties it, types and presses Enter.
    void typeAndEnter(const QString &name, const QString &text) const;

    Grid *dayList() const;
    // Texts of a msgDayList data row (row 1 is the first measurement).
    QStringList dayRow(int row) const;
    int dayRowCount() const;
    LineChart *chart() const;
    QList<double> chartPoints() const;
    QStringList listItems(const QString &name) const;
    // The labels a list view shows, and a real click on one of them
    // (false when it shows no such label).
    static QStringList viewItems(const QAbstractItemView *view);
    static bool clickViewItem(QAbstractItemView *view, const QString &label);
    // The only visible panel's objectName, or a list of all visible ones.
    QString visiblePanel() const;
    // Visible controls of the window that overlap one another or stick out
    // of the window, as "a / b" lines; empty when the screen is laid out
    // cleanly. Pictures meant to lie on others (the BMI marker on its
    // bands) are left out.
    QStringList layoutFaults() const;

    QByteArray bytes(const QString &file) const { return tmp.readBytes(file); }
    QString text(const QString &file) const { return tmp.readText(file); }
    // Every file of the directory with its bytes.
    QMap<QString, QByteArray> snapshot() const;

    // Message boxes asked since the last clear, as "text | title | icon | buttons".
    QStringList boxes() const;

    TempDataDir tmp;
    ScriptedDialogs dialogs;
    FixedClock clock;

private:
    static void reportMissing(const QString &name);

    std::unique_ptr<MainWindow> window_;
};

} // namespace wintest
