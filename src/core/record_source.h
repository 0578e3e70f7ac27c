#pragma once

#include "store/data_dir.h"
#include "store/record.h"
#include "store/store_error.h"

#include <QList>
#include <optional>

// Where screens get a person's records. Every screen reads the file afresh
// when it is built; only while the window starts, when several steps need
// the same two files, the records read by the first step are handed out
// again, so a start reads each data file once.
class RecordSource {
public:
    explicit RecordSource(const DataDir &dir) : dir_(dir) {}

    MaybeError read(PersonSlot p, QList<WeightRecord> *out) const;

    // Hands these records out for p until release().
    void hold(PersonSlot p, const QList<WeightRecord> &records);
    void release();

private:
    DataDir dir_;
    std::optional<QList<WeightRecord>> held_[2];
};
