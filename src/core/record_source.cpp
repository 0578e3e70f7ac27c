#include "core/record_source.h"

namespace {
int slotIndex(PersonSlot p) { return p == PersonSlot::One ? 0 : 1; }
} // namespace

MaybeError RecordSource::read(PersonSlot p, QList<WeightRecord> *out) const
{
    store::RecordsAsRead &known = known_[slotIndex(p)];
    // The caller's list may be the last one handed out: let go of it first,
    // so that lines added since are added to the known list in place
    // instead of to a copy of it.
    *out = {};
    if (!held_[slotIndex(p)]) {
        if (MaybeError e = store::rereadRecords(dir_, dataFileName(p), &known))
            return e;
    }
    *out = known.records;
    return std::nullopt;
}

void RecordSource::hold(PersonSlot p, const store::RecordsAsRead &read)
{
    known_[slotIndex(p)] = read;
    held_[slotIndex(p)] = true;
}

void RecordSource::release()
{
    held_[0] = held_[1] = false;
}
