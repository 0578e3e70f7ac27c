#pragma once

#include "store/clock.h"
#include "store/csv_exchange.h"
#include "store/data_dir.h"
#include "store/record.h"
#include "store/store_error.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The file side of CSV export and import: reading a person's data file,
// writing an export atomically wherever the user asked, and writing an
// import's records into the data file as one undoable step. The window's
// settings screen and the command line both go through these.
namespace csv {

// Writes the person's records in `layout` to `target` (a path anywhere),
// through a scratch file beside it, so an export cut short leaves the old
// file or none. A target that is one of the program's own files in the
// data directory is refused. *written gets the number of records.
MaybeError exportToFile(const DataDir &dir, PersonSlot person, Layout layout, const QString &target,
                        int *written = nullptr);

// The bytes of a file to import. Files larger than any export of a full
// data file could be are refused rather than read into memory.
MaybeError readImportFile(const QString &path, QByteArray *out);
constexpr qint64 kMaxImportFileBytes = 64 * 1024 * 1024;

// What an import is planned against: the person's data file as read.
struct ImportBase {
    QString dataFile;
    QByteArray bytes;
    QList<WeightRecord> records;
};
// A person that has no data file yet is not registered: refused.
MaybeError readImportBase(const DataDir &dir, PersonSlot person, ImportBase *out);

// Writes the plan's records into the data file in date order: one atomic
// rewrite after a verified snapshot ("import"), registered for undo as one
// change. Refused, writing nothing, when the plan cannot be imported or
// the data file no longer holds what the plan was made against.
// An error may come after the file was replaced (its undo record or the
// folder's sync failed): *recordsIn then says the records are in the file,
// so the caller shows them and does not say that nothing was added.
MaybeError applyImport(const DataDir &dir, const ImportBase &base, const ImportPlan &plan,
                       const Clock &clock, bool *recordsIn = nullptr);

} // namespace csv
