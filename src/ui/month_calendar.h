#pragma once

#include <QCalendarWidget>
#include <QDate>

// The month calendar of the weight screen: Japanese weekday headers,
// Sunday first, and the shown month named year first ("2026年12月"), as
// Japanese calendars do. dateClicked is emitted when the user clicks a day (also the
// day already selected), dateKeyed when the user moves the selection with
// the keyboard; neither when the program sets the day.
class MonthCalendar : public QCalendarWidget {
    Q_OBJECT
public:
    explicit MonthCalendar(QWidget *parent = nullptr);
    ~MonthCalendar() override;

    void setSelectedDay(QDate day);
    QDate selectedDay() const { return selectedDate(); }
    // Hides the base class's setter, so a program-side set never looks
    // like a user's choice.
    void setSelectedDate(QDate day) { setSelectedDay(day); }

signals:
    void dateClicked(QDate day);
    // The selected day changed by the keyboard: the screen must follow it,
    // but the focus stays in the calendar for the next key.
    void dateKeyed(QDate day);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Writes "2026年" and "12月" on the navigation bar's buttons.
    void nameShownMonth();

    // The year's edit box reports its end also while the base class
    // deletes it, when this object is no longer whole.
    QMetaObject::Connection yearEditClosed_;

    bool fromCode_ = false;
    // Set when a user change has just been reported, so the click that
    // caused it is not reported twice.
    bool reported_ = false;
    // The last user gesture on the days was a key, not the mouse.
    bool byKeyboard_ = false;
};
