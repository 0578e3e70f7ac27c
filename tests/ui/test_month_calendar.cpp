#include "ui_tests.h"

#include "ui/month_calendar.h"

#include <QSignalSpy>
#include <QTableView>
#include <QTest>

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

int runMonthCalendarTests(int argc, char **argv)
{
    TestMonthCalendar t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_month_calendar.moc"
