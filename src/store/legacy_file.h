#pragma once

#include "store/data_dir.h"
#include "store/record.h"
#include "store/store_error.h"

#include <QList>

// The older single-person file "連続体重.txt": date, situation and weight
// a line, quoted or bare. Read into records with an empty diary and empty
// reserved fields, in file order.
namespace store {

inline QString legacyDataFile() { return QStringLiteral("連続体重.txt"); }
inline QString legacyBackupFile() { return QStringLiteral("連続体重bak.txt"); }

MaybeError readLegacyRecords(const DataDir &dir, QList<WeightRecord> *out);

struct LegacyConversion {
    int records = 0;
    QString backupFile; // the name the old file has now
};

// Turns the older file into the data file `dataFile`, replacing its
// records, and renames the older file so that it is not offered again.
//  - The whole old file is read and checked first: a damaged line is
//    named with the file and the line, an empty file is refused, and in
//    both cases nothing is written.
//  - The backup name is settled before anything is written:
//    "連続体重bak.txt", or "連続体重bak2.txt", "連続体重bak3.txt", ...
//    when that is taken, so that an earlier backup is never replaced.
//  - The data file is replaced and the old file renamed as one step
//    (store/journal.h): a crash anywhere leaves either both as they were
//    or, once the next start has finished the step, both changed.
// Any failure leaves both files as they were.
MaybeError convertLegacyData(const DataDir &dir, const QString &dataFile,
                             LegacyConversion *done = nullptr);

} // namespace store
