#include "ui/month_calendar.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QLocale>
#include <QScopedValueRollback>
#include <QTextCharFormat>

MonthCalendar::MonthCalendar(QWidget *parent) : QCalendarWidget(parent)
{
    setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    setFirstDayOfWeek(Qt::Sunday);
    setHorizontalHeaderFormat(ShortDayNames);
    setVerticalHeaderFormat(NoVerticalHeader);
    setGridVisible(false);

    QTextCharFormat saturday = weekdayTextFormat(Qt::Saturday);
    saturday.setForeground(QColor(0x00, 0x40, 0xD0));
    setWeekdayTextFormat(Qt::Saturday, saturday);
    QTextCharFormat sunday = weekdayTextFormat(Qt::Sunday);
    sunday.setForeground(QColor(0xD0, 0x00, 0x00));
    setWeekdayTextFormat(Qt::Sunday, sunday);

    // A new user gesture starts: whatever was reported before is old news.
    if (auto *view = findChild<QAbstractItemView *>()) {
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
    }

    connect(this, &QCalendarWidget::selectionChanged, this, [this] {
        if (fromCode_)
            return;
        if (byKeyboard_) {
            emit dateKeyed(selectedDate());
            return;
        }
        reported_ = true;
        emit dateClicked(selectedDate());
    });
    // A click on the day that is already selected changes nothing but is
    // still the user's pick.
    connect(this, &QCalendarWidget::clicked, this, [this](QDate day) {
        if (reported_ && day == selectedDate()) {
            reported_ = false;
            return;
        }
        reported_ = false;
        emit dateClicked(day);
    });
}

void MonthCalendar::setSelectedDay(QDate day)
{
    const QScopedValueRollback guard(fromCode_, true);
    QCalendarWidget::setSelectedDate(day);
    if (day.isValid())
        setCurrentPage(day.year(), day.month());
}

bool MonthCalendar::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        reported_ = false;
        byKeyboard_ = false;
        break;
    case QEvent::KeyPress:
        reported_ = false;
        byKeyboard_ = true;
        break;
    default:
        break;
    }
    return QCalendarWidget::eventFilter(watched, event);
}
