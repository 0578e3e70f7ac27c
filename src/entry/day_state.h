#pragma once

#include "entry/day_view.h"
#include "store/store_error.h"

#include <QDate>
#include <QObject>

struct Session;

namespace entry {

// The day records are saved to and what is known of it: the day view of
// the selected person and how many records each person has that day. The
// weight screen shows it; the window shows the counts and the meters from
// it, also while the weight screen has not been built. One computation
// serves both, and whoever needs the day again follows `refreshed`.
class DayState final : public QObject {
    Q_OBJECT
public:
    explicit DayState(Session &session, QObject *parent = nullptr);

    QDate day() const { return day_; }
    // The day changes; its view is computed by the next refresh.
    void setDay(QDate day) { day_ = day; }

    // Reads the records of both persons and computes the day view. The
    // session's day values follow. On an error nothing changes and nothing
    // is announced.
    MaybeError refresh(bool meters);

    // The view as last computed, and whether it is the selected person's.
    const DayView &view() const { return view_; }
    bool isCurrent() const;
    bool computed() const { return computed_; }
    EntryCounts counts() const { return counts_; }
    // Why the other person's count is 0, when their file could not be read.
    const MaybeError &otherError() const { return otherError_; }

Q_SIGNALS:
    // A refresh computed a new view; `meters`: the BMI meters are to be
    // set from it as well, not only shown.
    void refreshed(bool meters);

private:
    Session &s_;
    QDate day_;
    DayView view_;
    bool computed_ = false;
    PersonSlot person_ = PersonSlot::One; // whose view it is
    EntryCounts counts_;
    MaybeError otherError_;
};

} // namespace entry
