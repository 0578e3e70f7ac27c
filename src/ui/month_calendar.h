#pragma once

#include <QCalendarWidget>
#include <QDate>

// The month calendar of the weight screen: Japanese weekday headers,
// Sunday first. dateClicked is emitted whenever the user picks a day
// (mouse or keyboard, also a click on the day already selected), never
// when the program sets the day.
class MonthCalendar : public QCalendarWidget {
    Q_OBJECT
public:
    explicit MonthCalendar(QWidget *parent = nullptr);

    void setSelectedDay(QDate day);
    QDate selectedDay() const { return selectedDate(); }
    // Hides the base class's setter, so a program-side set never looks
    // like a user's choice.
    void setSelectedDate(QDate day) { setSelectedDay(day); }

signals:
    void dateClicked(QDate day);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_fromCode = false;
    // Set when a user change has just been reported, so the click that
    // caused it is not reported twice.
    bool m_reported = false;
};
