#pragma once

#include "store/data_dir.h"
#include "store/store_error.h"

#include <QString>

// "気付きメモ.TXT": the free memo shared by both persons, the text
// followed by one CR LF. An empty memo is a file holding only CR LF.
namespace store {

inline QString memoFile() { return QStringLiteral("気付きメモ.TXT"); }

// The memo with "\n" between its lines; exactly what was saved.
MaybeError readMemo(const DataDir &dir, QString *text);

// Saves text whose lines are separated by "\n" or CR LF.
MaybeError writeMemo(const DataDir &dir, const QString &text);

} // namespace store
