#include "entry/day_state.h"

#include "core/session.h"
#include "store/dates.h"

namespace entry {

DayState::DayState(Session &session, QObject *parent) : QObject(parent), s_(session) {}

bool DayState::isCurrent() const { return computed_ && person_ == s_.person.selected(); }

MaybeError DayState::refresh(bool meters)
{
    const PersonSlot selected = s_.person.selected();
    const QString day = dates::text(day_);
    QList<WeightRecord> records;
    if (MaybeError e = s_.records.read(selected, &records))
        return e;
    DayView view = buildDayView(records, day, s_.person.current().height);
    records.clear();
    // The other person's count: a file that cannot be read counts none,
    // and the error is kept for the window to show.
    int other = 0;
    otherError_ = s_.records.read(otherPerson(selected), &records);
    if (!otherError_)
        other = countOnDay(records, day);
    const int own = int(view.chartPoints.size());
    view_ = std::move(view);
    computed_ = true;
    person_ = selected;
    counts_ = entryCounts(selected == PersonSlot::One ? own : other, selected == PersonSlot::Two ? own : other);
    s_.day = view_.values;
    Q_EMIT refreshed(meters);
    return std::nullopt;
}

} // namespace entry
