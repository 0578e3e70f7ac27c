#include "ui/month_calendar.h"

#include <QAbstractItemView>
#include <QBoxLayout>
#include <QEvent>
#include <QLocale>
#include <QPalette>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QTextCharFormat>
#include <QToolButton>

namespace {

QToolButton *yearButton(const QCalendarWidget *cal)
{
    return cal->findChild<QToolButton *>(QStringLiteral("qt_calendar_yearbutton"));
}

QToolButton *monthButton(const QCalendarWidget *cal)
{
    return cal->findChild<QToolButton *>(QStringLiteral("qt_calendar_monthbutton"));
}

} // namespace

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

    // The navigation bar shows the month button before the year button;
    // the year goes first. The year's edit box takes the year button's
    // place while it is open, so the month stays where it is.
    QToolButton *year = yearButton(this);
    QToolButton *month = monthButton(this);
    auto *bar = findChild<QWidget *>(QStringLiteral("qt_calendar_navigationbar"));
    auto *row = bar ? qobject_cast<QBoxLayout *>(bar->layout()) : nullptr;
    if (row && year && month && row->indexOf(year) >= 0 && row->indexOf(month) >= 0) {
        row->removeWidget(month);
        row->insertWidget(row->indexOf(year) + 1, month);
    }
    // The base class writes a bare year and the month name on every page
    // change, and the bare year again when the year's edit box closes.
    connect(this, &QCalendarWidget::currentPageChanged, this, [this] { nameShownMonth(); });
    if (auto *yearEdit = findChild<QSpinBox *>(QStringLiteral("qt_calendar_yearedit")))
        yearEditClosed_ =
            connect(yearEdit, &QSpinBox::editingFinished, this, [this] { nameShownMonth(); });
    nameShownMonth();

    // A new user gesture starts: whatever was reported before is old news.
    if (auto *view = findChild<QAbstractItemView *>()) {
        // The selected day keeps its full highlight when the focus moves
        // on, so the day a save goes to stays easy to see.
        QPalette pal = view->palette();
        for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
            pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
        view->setPalette(pal);
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

MonthCalendar::~MonthCalendar()
{
    disconnect(yearEditClosed_);
}

void MonthCalendar::setSelectedDay(QDate day)
{
    const QScopedValueRollback guard(fromCode_, true);
    QCalendarWidget::setSelectedDate(day);
    if (day.isValid())
        setCurrentPage(day.year(), day.month());
}

void MonthCalendar::nameShownMonth()
{
    if (QToolButton *year = yearButton(this))
        year->setText(QStringLiteral("%1年").arg(yearShown()));
    if (QToolButton *month = monthButton(this))
        month->setText(QStringLiteral("%1月").arg(monthShown()));
}

void MonthCalendar::changeEvent(QEvent *event)
{
    QCalendarWidget::changeEvent(event);
    if (event->type() == QEvent::LocaleChange)
        nameShownMonth();
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
