#include "ui_tests.h"

#include "ui/month_calendar.h"

#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace {

QTableView *dayView(MonthCalendar &cal)
{
    return cal.findChild<QTableView *>();
}

// The cell of a day of the shown month (15 and later appear only once).
QPoint dayCenter(MonthCalendar &cal, int day)
{
    QTableView *view = dayView(cal);
    QAbstractItemModel *m = view->model();
    for (int r = 1; r < m->rowCount(); ++r) {
        for (int c = 0; c < m->columnCount(); ++c) {
            const QModelIndex i = m->index(r, c);
            if (i.data().toString() == QString::number(day))
                return view->visualRect(i).center();
        }
    }
    return {};
}

QToolButton *navButton(MonthCalendar &cal, const char *name)
{
    return cal.findChild<QToolButton *>(QLatin1String(name));
}

// The navigation bar as a person reads it: the visible buttons between the
// arrows, left to right.
QString header(MonthCalendar &cal)
{
    QList<QToolButton *> shown;
    for (const char *name : {"qt_calendar_yearbutton", "qt_calendar_monthbutton"}) {
        QToolButton *b = navButton(cal, name);
        if (b && b->isVisible())
            shown.append(b);
    }
    std::sort(shown.begin(), shown.end(),
              [](QToolButton *a, QToolButton *b) { return a->x() < b->x(); });
    QString text;
    for (QToolButton *b : shown)
        text += b->text();
    return text;
}

} // namespace

class TestMonthCalendar : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void settingTheDayFromCodeIsSilent();
    void mouseClickReportsTheDayOnce();
    void clickOnTheSelectedDayIsStillReported();
    void keyboardMoveIsReported();
    void weekStartsOnSundayInJapanese();
    void headerNamesYearThenMonthThroughEveryWayOfPaging();
    void yearBoxStillChangesTheYear();

private:
    MonthCalendar *cal_ = nullptr;
};

void TestMonthCalendar::init()
{
    cal_ = new MonthCalendar;
    cal_->resize(320, 220);
    cal_->setSelectedDay(QDate(2008, 3, 10));
    cal_->show();
    QVERIFY(QTest::qWaitForWindowExposed(cal_));
}

void TestMonthCalendar::cleanup()
{
    delete cal_;
    cal_ = nullptr;
}

void TestMonthCalendar::settingTheDayFromCodeIsSilent()
{
    QSignalSpy clicks(cal_, &MonthCalendar::dateClicked);
    cal_->setSelectedDay(QDate(2007, 12, 31));
    cal_->setSelectedDate(QDate(2008, 1, 5)); // the hidden base setter is silent too
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(cal_->selectedDay(), QDate(2008, 1, 5));
    QCOMPARE(cal_->monthShown(), 1);
    QCOMPARE(cal_->yearShown(), 2008);
}

void TestMonthCalendar::mouseClickReportsTheDayOnce()
{
    QSignalSpy clicks(cal_, &MonthCalendar::dateClicked);
    const QPoint p = dayCenter(*cal_, 20);
    QVERIFY(!p.isNull());
    QTest::mouseClick(dayView(*cal_)->viewport(), Qt::LeftButton, {}, p);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).toDate(), QDate(2008, 3, 20));
    QCOMPARE(cal_->selectedDay(), QDate(2008, 3, 20));
}

void TestMonthCalendar::clickOnTheSelectedDayIsStillReported()
{
    QSignalSpy clicks(cal_, &MonthCalendar::dateClicked);
    const QPoint p = dayCenter(*cal_, 10);
    QVERIFY(!p.isNull());
    QTest::mouseClick(dayView(*cal_)->viewport(), Qt::LeftButton, {}, p);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).toDate(), QDate(2008, 3, 10));
}

void TestMonthCalendar::keyboardMoveIsReported()
{
    QSignalSpy clicks(cal_, &MonthCalendar::dateClicked);
    QSignalSpy keys(cal_, &MonthCalendar::dateKeyed);
    QTableView *view = dayView(*cal_);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Right);
    // Reported as keyboard moves, so the focus can stay for the next key.
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(keys.count(), 2);
    QCOMPARE(keys.at(1).at(0).toDate(), QDate(2008, 3, 12));
    QCOMPARE(cal_->selectedDay(), QDate(2008, 3, 12));
    // A later click on that same day is a pick of its own.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, dayCenter(*cal_, 12));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(keys.count(), 2);
}

void TestMonthCalendar::weekStartsOnSundayInJapanese()
{
    QCOMPARE(cal_->firstDayOfWeek(), Qt::Sunday);
    QAbstractItemModel *m = dayView(*cal_)->model();
    QStringList header;
    for (int c = 0; c < m->columnCount(); ++c)
        header.append(m->index(0, c).data().toString());
    QCOMPARE(header, QStringList({"日", "月", "火", "水", "木", "金", "土"}));
}

void TestMonthCalendar::headerNamesYearThenMonthThroughEveryWayOfPaging()
{
    QCOMPARE(header(*cal_), QStringLiteral("2008年3月"));

    // The arrows, across the turn of the year both ways.
    QToolButton *next = navButton(*cal_, "qt_calendar_nextmonth");
    QToolButton *prev = navButton(*cal_, "qt_calendar_prevmonth");
    QVERIFY(next && prev);
    for (int i = 0; i < 10; ++i)
        QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(header(*cal_), QStringLiteral("2009年1月"));
    QTest::mouseClick(prev, Qt::LeftButton);
    QCOMPARE(header(*cal_), QStringLiteral("2008年12月"));

    // The month button's menu.
    QToolButton *month = navButton(*cal_, "qt_calendar_monthbutton");
    QVERIFY(month);
    bool picked = false;
    QTimer::singleShot(0, cal_, [&picked] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        const QList<QAction *> actions = menu->actions();
        for (QAction *a : actions) {
            if (a->text() == QStringLiteral("7月")) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
                picked = true;
                return;
            }
        }
        menu->close();
    });
    QTest::mouseClick(month, Qt::LeftButton);
    QVERIFY(picked);
    QCOMPARE(header(*cal_), QStringLiteral("2008年7月"));

    // The program's own setting of the day.
    cal_->setSelectedDay(QDate(2026, 12, 1));
    QCOMPARE(header(*cal_), QStringLiteral("2026年12月"));
}

void TestMonthCalendar::yearBoxStillChangesTheYear()
{
    cal_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(cal_));
    QToolButton *year = navButton(*cal_, "qt_calendar_yearbutton");
    QVERIFY(year);

    // A click on the year opens its box with the year selected; typing
    // replaces it.
    QTest::mouseClick(year, Qt::LeftButton);
    QWidget *box = QApplication::focusWidget();
    QVERIFY(qobject_cast<QSpinBox *>(box));
    QTest::keyClicks(box, QStringLiteral("2010"));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(cal_->yearShown(), 2010);
    QCOMPARE(cal_->monthShown(), 3);
    QVERIFY(!box->isVisible());
    QCOMPARE(header(*cal_), QStringLiteral("2010年3月"));

    // Closing the box on the same year keeps the 年 too.
    QTest::mouseClick(year, Qt::LeftButton);
    box = QApplication::focusWidget();
    QVERIFY(qobject_cast<QSpinBox *>(box));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(cal_->yearShown(), 2010);
    QCOMPARE(header(*cal_), QStringLiteral("2010年3月"));
}

int runMonthCalendarTests(int argc, char **argv)
{
    TestMonthCalendar t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_month_calendar.moc"
