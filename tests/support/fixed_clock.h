#pragma once

#include "store/clock.h"

// A clock that says what the test tells it. Each reading of elapsedMs()
// moves it on by `tick` milliseconds, so a loop that waits for time to pass
// ends without really waiting.
class FixedClock final : public Clock {
public:
    explicit FixedClock(QDate day = QDate(2008, 3, 10), QTime time = QTime(9, 5, 7))
        : day(day), time(time) {}
    QDate today() const override { return day; }
    QTime timeOfDay() const override { return time; }
    qint64 elapsedMs() const override { return elapsed += tick; }
    void pause(int ms) const override { elapsed += ms; }

    QDate day;
    QTime time;
    mutable qint64 elapsed = 0;
    qint64 tick = 100;
};
