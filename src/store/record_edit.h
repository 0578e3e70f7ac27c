#pragma once

#include "store/clock.h"
#include "store/data_dir.h"
#include "store/record.h"
#include "store/record_save.h"
#include "store/store_error.h"
#include "store/undo.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

// Changes to a person's records that go through a verified snapshot and
// register themselves for undo: correcting and removing a record, and the
// new record's append and insert wrapped the same way. Each returns an
// error naming the file and the reason, in Japanese; on an error before
// the write the file is untouched.
namespace store {

// A record as a screen found it: its place in the file as read (0 is the
// first record) and its content. A step is refused when the file no
// longer holds that record there.
struct RecordRef {
    int index = -1;
    WeightRecord record;
};

// Why a corrected record cannot be stored, or an empty string: the date
// must be a real "yyyy/mm/dd" day not after today, the weight more than
// 0 and at most 500 kg, the texts storable in the file.
QString correctionProblem(const WeightRecord &r, const QDate &today);

// Replaces the record by `corrected` (date, situation, weight, diary),
// rewriting the whole file atomically after a snapshot ("correct"); every
// other line keeps its bytes (the whole file is written anew in the
// program's form only when its lines cannot be matched to the records). A
// record that keeps its day keeps its place; one moved to another day goes
// after that day's records (before the first later one), so the file stays
// in date order. *newIndex gets its place in the new file.
// *written, when given, says whether the file holds the change, also when
// the step failed after replacing it.
MaybeError correctRecord(const DataDir &dir, const QString &dataFile, const RecordRef &which,
                         const WeightRecord &corrected, const Clock &clock, int *newIndex = nullptr,
                         bool *written = nullptr);

// Removes the record, after a snapshot ("remove"). The last record of a
// file is never removed: a data file always holds its start record.
MaybeError removeRecord(const DataDir &dir, const QString &dataFile, const RecordRef &which,
                        const Clock &clock, bool *written = nullptr);

// appendRecord, registered for undo (no snapshot: an append only adds).
MaybeError appendRecordUndoable(const DataDir &dir, const QString &dataFile, const WeightRecord &r,
                                const Clock &clock);

// insertRecordInOrder after a snapshot ("insert"), registered for undo.
MaybeError insertRecordUndoable(const DataDir &dir, const QString &dataFile, const WeightRecord &r,
                                const Clock &clock);

// saveNewRecord registered for undo: a record that will be appended
// keeps only the file's old length (no snapshot needed), one that goes in
// date order is inserted after a snapshot ("insert").
MaybeError saveNewRecordUndoable(const DataDir &dir, const QString &dataFile, const NewRecord &in,
                                 const Clock &clock, SaveMode *mode = nullptr);

// Any write of `files` as one undoable step: beginChange, the write,
// commitChange (abandonChange when the write fails). For steps whose
// writer lives elsewhere (a save that decides between append and insert
// itself, an import, a profile save). `options.kept` must be Prefix only
// when the write does nothing but append.
MaybeError runUndoableChange(const DataDir &dir, const QString &step, const QStringList &files,
                             const Clock &clock, const ChangeOptions &options,
                             const std::function<MaybeError()> &write);

} // namespace store
