#pragma once

#include "store/data_dir.h"
#include "store/record.h"
#include "store/store_error.h"

#include <QString>

namespace store {

// How a new record went into its file.
enum class SaveMode { Append, Insert };

// A record for a day before the file's last date goes in date order;
// anything else is appended. Dates compare as "yyyy/mm/dd" text.
SaveMode saveModeFor(const QString &lastFileDate, const QString &day);
// The diary of a new record: the time of day when automatic time is on,
// but never for a back-dated record.
QString diaryFor(SaveMode mode, bool autoTime, const QString &timeText);

struct NewRecord {
    QString day;       // "yyyy/mm/dd"
    QString situation;
    float weight = 0;  // already checked and parsed
    bool autoTime = false;
    QString timeText;  // the time of day, for an automatic-time diary
};

// Saves a weighing: the file's own last date decides between append and
// insert, so a view left from the other person can never put a record out
// of order. *mode (optional) tells which it was.
MaybeError saveNewRecord(const DataDir &dir, const QString &dataFile, const NewRecord &in,
                         SaveMode *mode = nullptr);

} // namespace store
