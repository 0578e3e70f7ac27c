#include "store/record_save.h"

#include "store/data_file.h"

namespace store {

SaveMode saveModeFor(const QString &lastFileDate, const QString &day)
{
    return lastFileDate > day ? SaveMode::Insert : SaveMode::Append;
}

QString diaryFor(SaveMode mode, bool autoTime, const QString &timeText)
{
    return mode == SaveMode::Append && autoTime ? timeText : QString();
}

MaybeError saveNewRecord(const DataDir &dir, const QString &dataFile, const NewRecord &in,
                         SaveMode *modeOut)
{
    WeightRecord last;
    bool hasLast = false;
    if (MaybeError e = readLastRecord(dir, dataFile, &last, &hasLast))
        return e;
    const SaveMode mode = saveModeFor(hasLast ? last.date : QString(), in.day);
    WeightRecord r;
    r.date = in.day;
    r.situation = in.situation;
    r.weight = in.weight;
    r.diary = diaryFor(mode, in.autoTime, in.timeText);
    if (MaybeError e = mode == SaveMode::Insert ? insertRecordInOrder(dir, dataFile, r)
                                                : appendRecord(dir, dataFile, r))
        return e;
    if (modeOut)
        *modeOut = mode;
    return std::nullopt;
}

} // namespace store
