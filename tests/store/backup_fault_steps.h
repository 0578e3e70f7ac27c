#pragma once

// The steps of the backup fault tests, shared by the tests and their
// child program: a data directory with two persons, a daily snapshot and
// a restore as the change undo would take back, and each new write path
// run once on it (a CSV import among them).

#include "store/backup.h"
#include "store/codec.h"
#include "store/csv_exchange.h"
#include "store/csv_files.h"
#include "store/data_dir.h"
#include "store/data_file.h"
#include "store/dates.h"
#include "store/record_edit.h"
#include "store/undo.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QStringList>

namespace backupfault {

inline QString data1() { return QStringLiteral("データ1.txt"); }
inline QString data2() { return QStringLiteral("データ2.txt"); }

class StepClock final : public Clock {
public:
    QDate day = QDate(2008, 12, 1);
    QTime time = QTime(21, 30, 0);
    QDate today() const override { return day; }
    QTime timeOfDay() const override { return time; }
    qint64 elapsedMs() const override { return 0; }
    void pause(int) const override {}
};

inline WeightRecord record(int i, int person)
{
    WeightRecord r;
    r.date = dates::text(QDate(2008, 1, 1).addDays(i / 2));
    r.situation = person == 1 ? QStringLiteral("朝食前%1").arg(i) : QStringLiteral("夜");
    r.weight = (person == 1 ? 70.0f : 52.0f) + float(i % 37) / 10.0f;
    r.diary = (i % 3) ? QStringLiteral("表ソ～①ｶﾀｶﾅ %1").arg(i) : QString();
    return r;
}

inline QList<WeightRecord> records(int n, int person)
{
    QList<WeightRecord> rs;
    for (int i = 0; i < n; ++i)
        rs.append(record(i, person));
    return rs;
}

inline bool writeRecords(const DataDir &dir, const QString &file, const QList<WeightRecord> &rs)
{
    QByteArray bytes;
    QFile f(dir.dir().filePath(file));
    return !store::recordFileBytes(file, rs, &bytes) && f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           f.write(bytes) == bytes.size();
}

constexpr int kRecords = 400;

// The directory every step starts from. The last change is a restore of
// both files, so that undo puts back two files through the journal.
inline bool prepare(const DataDir &dir)
{
    StepClock clock;
    clock.day = QDate(2008, 11, 30);
    bool ok = writeRecords(dir, data1(), records(kRecords, 1)) && writeRecords(dir, data2(), records(kRecords / 2, 2));
    ok = ok && !store::takeDailySnapshot(dir, clock);
    const QList<store::SnapshotInfo> list = store::listSnapshots(dir);
    ok = ok && list.size() == 1;
    ok = ok && writeRecords(dir, data1(), records(kRecords - 7, 1)) && writeRecords(dir, data2(), records(kRecords / 2 + 3, 2));
    clock.time = clock.time.addSecs(60);
    ok = ok && !store::restoreSnapshot(dir, list.first().folder, clock);
    return ok && store::undoState(dir).step == QLatin1String("restore");
}

// A CSV file for person 1 as another tracker's export would be: records on
// days the file already has (they go in mid-file), two after its last day,
// one the file holds already (a duplicate) and one line that cannot be read.
inline QByteArray importCsv()
{
    QList<WeightRecord> rs;
    for (int i = 0; i < 12; ++i) {
        WeightRecord r;
        r.date = dates::text(i < 10 ? QDate(2008, 1, 3).addDays(17 * i) : QDate(2008, 8, 1).addDays(i));
        r.situation = i % 2 ? QStringLiteral("取り込み") : QStringLiteral("体組成計");
        r.weight = 66.0f + float(i) / 4.0f;
        r.diary = i % 3 ? QStringLiteral("よそのアプリから、表ソ %1").arg(i) : QString();
        rs.append(r);
    }
    rs.insert(5, record(60, 1));
    return csv::exportRecords(rs, csv::Layout::Own) + QByteArray("2008/02/30,取り込み,66.0,\r\n");
}

// The import as the settings screen and the command line make it: planned
// against the file as read, then written.
inline MaybeError importInto(const DataDir &dir, const Clock &clock, bool *recordsIn = nullptr)
{
    csv::ImportBase base;
    if (MaybeError e = csv::readImportBase(dir, PersonSlot::One, &base))
        return e;
    const csv::ImportPlan plan = csv::planImport(importCsv(), base.records);
    if (plan.toAdd.size() != 12 || plan.duplicates != 1 || plan.badLines.size() != 1)
        return StoreError{data1(), 0, QStringLiteral("an unexpected plan: ") + csv::previewText(plan)};
    return csv::applyImport(dir, base, plan, clock, recordsIn);
}

inline QStringList steps()
{
    return {QStringLiteral("correct"), QStringLiteral("remove"), QStringLiteral("insert"),
            QStringLiteral("append"), QStringLiteral("import"), QStringLiteral("restore"),
            QStringLiteral("undo")};
}

// `written`, for the steps that report it: whether the file holds the
// change, also when the step failed after replacing it.
inline MaybeError run(const QString &step, const DataDir &dir, bool *written = nullptr)
{
    const StepClock clock;
    const QList<WeightRecord> rs = records(kRecords, 1);
    if (step == QLatin1String("correct")) {
        WeightRecord r = rs.at(100);
        r.date = QStringLiteral("2008/06/30");
        r.weight = 68.5f;
        r.diary = QStringLiteral("日付と体重を直しました");
        return store::correctRecord(dir, data1(), {100, rs.at(100)}, r, clock, nullptr, written);
    }
    if (step == QLatin1String("remove"))
        return store::removeRecord(dir, data1(), {3, rs.at(3)}, clock, written);
    if (step == QLatin1String("insert")) {
        WeightRecord r = record(7, 1);
        r.situation = QStringLiteral("差し込み");
        return store::insertRecordUndoable(dir, data1(), r, clock);
    }
    if (step == QLatin1String("append")) {
        WeightRecord r = record(kRecords * 2, 1);
        r.situation = QStringLiteral("追記");
        return store::appendRecordUndoable(dir, data1(), r, clock);
    }
    if (step == QLatin1String("import"))
        return importInto(dir, clock, written);
    if (step == QLatin1String("restore")) {
        const QList<store::SnapshotInfo> list = store::listSnapshots(dir);
        // The snapshot taken before the restore of the prepared directory.
        for (const store::SnapshotInfo &s : list)
            if (s.reason == QLatin1String("restore"))
                return store::restoreSnapshot(dir, s.folder, clock);
        return StoreError{QString(), 0, QStringLiteral("no snapshot to restore")};
    }
    return store::undoLastChange(dir, clock);
}

} // namespace backupfault
