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
    MonthCalendar *m_cal = nullptr;
};

void TestMonthCalendar::init()
{
    m_cal = new MonthCalendar;
    m_cal->resize(320, 220);
    m_cal->setSelectedDay(QDate(2008, 3, 10));
    m_cal->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_cal));
}

void TestMonthCalendar::cleanup()
{
    delete m_cal;
    m_cal = nullptr;
}

void TestMonthCalendar::settingTheDayFromCodeIsSilent()
{
    QSignalSpy clicks(m_cal, &MonthCalendar::dateClicked);
    m_cal->setSelectedDay(QDate(2007, 12, 31));
    m_cal->setSelectedDate(QDate(2008, 1, 5)); // the hidden base setter is silent too
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(m_cal->selectedDay(), QDate(2008, 1, 5));
    QCOMPARE(m_cal->monthShown(), 1);
    QCOMPARE(m_cal->yearShown(), 2008);
}

void TestMonthCalendar::mouseClickReportsTheDayOnce()
{
    QSignalSpy clicks(m_cal, &MonthCalendar::dateClicked);
    const QPoint p = dayCenter(*m_cal, 20);
    QVERIFY(!p.isNull());
    QTest::mouseClick(dayView(*m_cal)->viewport(), Qt::LeftButton, {}, p);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).toDate(), QDate(2008, 3, 20));
    QCOMPARE(m_cal->selectedDay(), QDate(2008, 3, 20));
}

void TestMonthCalendar::clickOnTheSelectedDayIsStillReported()
{
    QSignalSpy clicks(m_cal, &MonthCalendar::dateClicked);
    const QPoint p = dayCenter(*m_cal, 10);
    QVERIFY(!p.isNull());
    QTest::mouseClick(dayView(*m_cal)->viewport(), Qt::LeftButton, {}, p);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).toDate(), QDate(2008, 3, 10));
}

void TestMonthCalendar::keyboardMoveIsReported()
{
    QSignalSpy clicks(m_cal, &MonthCalendar::dateClicked);
    QSignalSpy keys(m_cal, &MonthCalendar::dateKeyed);
    QTableView *view = dayView(*m_cal);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Right);
    // Reported as keyboard moves, so the focus can stay for the next key.
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(keys.count(), 2);
    QCOMPARE(keys.at(1).at(0).toDate(), QDate(2008, 3, 12));
    QCOMPARE(m_cal->selectedDay(), QDate(2008, 3, 12));
    // A later click on that same day is a pick of its own.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, dayCenter(*m_cal, 12));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(keys.count(), 2);
}

void TestMonthCalendar::weekStartsOnSundayInJapanese()
{
    QCOMPARE(m_cal->firstDayOfWeek(), Qt::Sunday);
    QAbstractItemModel *m = dayView(*m_cal)->model();
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
