#include "core/record_source.h"

#include "store/data_file.h"

namespace {
int slotIndex(PersonSlot p) { return p == PersonSlot::One ? 0 : 1; }
} // namespace

MaybeError RecordSource::read(PersonSlot p, QList<WeightRecord> *out) const
{
    if (const auto &held = held_[slotIndex(p)]) {
        *out = *held;
        return std::nullopt;
    }
    return store::readRecords(dir_, dataFileName(p), out);
}

void RecordSource::hold(PersonSlot p, const QList<WeightRecord> &records)
{
    held_[slotIndex(p)] = records;
}

void RecordSource::release()
{
    held_[0].reset();
    held_[1].reset();
}
