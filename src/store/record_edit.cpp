#include "store/record_edit.h"

#include "store/data_file.h"
#include "store/dates.h"
#include "store/file_io.h"
#include "store/record_line.h"

#include <QList>
#include <QMap>

#include <cmath>

namespace store {

namespace {

constexpr float kMaxWeightKg = 500.0f;

// The records as read, with the bytes they came from, and the one asked
// for checked against them.
MaybeError readAndFind(const DataDir &dir, const QString &dataFile, const RecordRef &which,
                       QList<WeightRecord> *records, QByteArray *bytes)
{
    if (MaybeError e = readRecords(dir, dataFile, records, nullptr, bytes))
        return e;
    if (which.index < 0 || which.index >= records->size() || records->at(which.index) != which.record)
        return StoreError{dir.resolve(dataFile), 0,
                          QStringLiteral("この記録がファイルの中に見つかりません。ほかで変更された可能性があります。"
                                         "画面を開き直してから、もう一度操作してください")};
    return std::nullopt;
}

// Writes the new records in place of `before` as one undoable step.
MaybeError rewriteUndoable(const DataDir &dir, const QString &dataFile, const QString &step,
                           const QByteArray &before, const QList<WeightRecord> &records, const Clock &clock)
{
    const QString actual = dir.resolve(dataFile);
    QByteArray content;
    if (MaybeError e = recordFileBytes(actual, records, &content))
        return e;
    if (content == before)
        return std::nullopt; // nothing to change
    // A file that may not be written is refused before a snapshot is made.
    if (MaybeError e = checkWritable(dir, dataFile))
        return e;
    const QMap<QString, QByteArray> expected = {{dataFile, before}};
    ChangeOptions options;
    options.expected = &expected;
    return runUndoableChange(dir, step, {dataFile}, clock, options, [&] {
        return replaceFile(dir, dataFile, scratchNameFor(actual), content);
    });
}

} // namespace

QString correctionProblem(const WeightRecord &r, const QDate &today)
{
    const std::optional<QDate> d = dates::parse(r.date);
    if (!d)
        return QStringLiteral("日付「%1」が正しくありません").arg(r.date);
    if (*d > today)
        return QStringLiteral("今日より後の日付(%1)には記録できません").arg(r.date);
    if (!std::isfinite(r.weight) || !(r.weight > 0.0f) || !(r.weight <= kMaxWeightKg))
        return QStringLiteral("体重は0Kgより大きく500Kg以下の数値を入力してください");
    for (const QString *t : {&r.situation, &r.diary}) {
        const QString reason = unstorableReason(*t);
        if (!reason.isEmpty())
            return reason;
    }
    return {};
}

MaybeError correctRecord(const DataDir &dir, const QString &dataFile, const RecordRef &which,
                         const WeightRecord &corrected, const Clock &clock, int *newIndex)
{
    if (const QString why = correctionProblem(corrected, clock.today()); !why.isEmpty())
        return StoreError{dir.resolve(dataFile), 0, why};
    QList<WeightRecord> records;
    QByteArray before;
    if (MaybeError e = readAndFind(dir, dataFile, which, &records, &before))
        return e;

    WeightRecord r = corrected;
    r.reserved5.clear();
    r.reserved6.clear();
    int at = which.index;
    if (r.date == records.at(at).date) {
        records[at] = r;
    } else {
        // After that day's records, before the first later one.
        records.removeAt(at);
        at = 0;
        while (at < records.size() && !(records.at(at).date > r.date))
            ++at;
        records.insert(at, r);
    }
    if (MaybeError e = rewriteUndoable(dir, dataFile, QStringLiteral("correct"), before, records, clock))
        return e;
    if (newIndex)
        *newIndex = at;
    return std::nullopt;
}

MaybeError removeRecord(const DataDir &dir, const QString &dataFile, const RecordRef &which,
                        const Clock &clock)
{
    QList<WeightRecord> records;
    QByteArray before;
    if (MaybeError e = readAndFind(dir, dataFile, which, &records, &before))
        return e;
    if (records.size() == 1)
        return StoreError{dir.resolve(dataFile), 0,
                          QStringLiteral("最後の1件の記録は削除できません。修正してください")};
    records.removeAt(which.index);
    return rewriteUndoable(dir, dataFile, QStringLiteral("remove"), before, records, clock);
}

MaybeError appendRecordUndoable(const DataDir &dir, const QString &dataFile, const WeightRecord &r,
                                const Clock &clock)
{
    ChangeOptions options;
    options.backup = BackupFirst::No;
    options.kept = PreviousContent::Prefix;
    return runUndoableChange(dir, QStringLiteral("append"), {dataFile}, clock, options,
                             [&] { return appendRecord(dir, dataFile, r); });
}

MaybeError insertRecordUndoable(const DataDir &dir, const QString &dataFile, const WeightRecord &r,
                                const Clock &clock)
{
    if (MaybeError e = checkWritable(dir, dataFile))
        return e;
    return runUndoableChange(dir, QStringLiteral("insert"), {dataFile}, clock, ChangeOptions{},
                             [&] { return insertRecordInOrder(dir, dataFile, r); });
}

MaybeError saveNewRecordUndoable(const DataDir &dir, const QString &dataFile, const NewRecord &in,
                                 const Clock &clock, SaveMode *mode)
{
    // The file's last date tells beforehand what the save will do; should
    // the file change meanwhile, undo finds the old length's bytes changed
    // and refuses rather than cut a record off.
    SaveMode expected = SaveMode::Append;
    if (dir.exists(dataFile)) {
        WeightRecord last;
        bool found = false;
        if (MaybeError e = readLastRecord(dir, dataFile, &last, &found))
            return e;
        if (found)
            expected = saveModeFor(last.date, in.day);
    }
    ChangeOptions options;
    if (expected == SaveMode::Append) {
        options.backup = BackupFirst::No;
        options.kept = PreviousContent::Prefix;
    } else if (MaybeError e = checkWritable(dir, dataFile)) {
        return e;
    }
    const QString step = expected == SaveMode::Append ? QStringLiteral("append") : QStringLiteral("insert");
    return runUndoableChange(dir, step, {dataFile}, clock, options,
                             [&] { return saveNewRecord(dir, dataFile, in, mode); });
}

MaybeError runUndoableChange(const DataDir &dir, const QString &step, const QStringList &files,
                             const Clock &clock, const ChangeOptions &options,
                             const std::function<MaybeError()> &write)
{
    PendingChange change;
    if (MaybeError e = beginChange(dir, step, files, clock, options, &change))
        return e;
    if (MaybeError e = write()) {
        abandonChange(dir, change);
        return e;
    }
    return commitChange(dir, change);
}

} // namespace store
