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

} // namespace store
