#pragma once

#include "store/data_dir.h"
#include "store/data_file.h"
#include "store/record.h"
#include "store/store_error.h"

#include <QList>

// Where screens get a person's records. Every read looks at the file
// afresh, but its records are parsed again only where its bytes differ
// from the last read: a screen opened on an unchanged file compares bytes
// and decodes nothing, and after a save only the new line is parsed.
// While the window starts, the records its first step read are handed out
// without looking at the file, so a start reads each data file once.
class RecordSource {
public:
    explicit RecordSource(const DataDir &dir) : dir_(dir) {}

    MaybeError read(PersonSlot p, QList<WeightRecord> *out) const;

    // Hands these records, read from these bytes, out for p until release().
    void hold(PersonSlot p, const store::RecordsAsRead &read);
    void release();

private:
    DataDir dir_;
    // The last records read of each person; a cache, so read() stays const.
    mutable store::RecordsAsRead known_[2];
    bool held_[2] = {false, false};
};
