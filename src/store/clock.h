#pragma once

#include <QDate>
#include <QElapsedTimer>
#include <QString>
#include <QThread>
#include <QTime>

// Today, the time of day and elapsed time come from one injectable clock,
// so tests can start the program at 23:59:59 or on any chosen day.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
    virtual QTime timeOfDay() const = 0;
    // Monotonic milliseconds: waits are measured with this, never with the
    // time of day, so passing midnight makes no difference.
    virtual qint64 elapsedMs() const = 0;
    // Lets a little time pass while waiting for elapsedMs() to move on.
    virtual void pause(int ms) const = 0;

    // The time of day as the program stores it: hours without a leading
    // zero, minutes and seconds with one ("9:05:07").
    QString timeText() const { return timeOfDay().toString(QStringLiteral("H:mm:ss")); }
};

class SystemClock final : public Clock {
public:
    SystemClock() { timer_.start(); }
    QDate today() const override { return QDate::currentDate(); }
    QTime timeOfDay() const override { return QTime::currentTime(); }
    qint64 elapsedMs() const override { return timer_.elapsed(); }
    void pause(int ms) const override { QThread::msleep(ulong(ms)); }

private:
    QElapsedTimer timer_;
};
