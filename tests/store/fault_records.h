#pragma once

// Records shared by the fault tests and their child program, so that both
// sides agree on what the data file must hold after a child is killed.

#include "store/codec.h"
#include "store/data_dir.h"
#include "store/data_file.h"
#include "store/dates.h"
#include "store/file_io.h"
#include "store/legacy_file.h"
#include "store/memo_file.h"
#include "store/record.h"

#include <QDate>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

namespace faultdata {

inline QString dataFile() { return QStringLiteral("データ1.txt"); }

// Texts with CP932 double-byte characters whose trail byte is 0x5C ("表",
// "ソ"), half-width katakana, "～" and "①", so that every rewrite and
// append goes through the codec for real.
inline WeightRecord record(int i)
{
    WeightRecord r;
    r.date = dates::text(QDate(2001, 1, 1).addDays(i / 3));
    r.situation = QStringLiteral("朝食前%1").arg(i);
    r.weight = 60.0f + float(i % 97) / 10.0f;
    r.diary = (i % 2) ? QStringLiteral("表ソ～①ｶﾀｶﾅ %1").arg(i) : QString();
    return r;
}

// Content A of the kill test: `count` records in date order.
inline QList<WeightRecord> contentA(int count)
{
    QList<WeightRecord> rs;
    rs.reserve(count);
    for (int i = 0; i < count; ++i)
        rs.append(record(i));
    return rs;
}

// The back-dated record whose insert turns A into B: it lands in the
// middle of the file, after the records of its own day.
inline WeightRecord insertedRecord(int count)
{
    WeightRecord r = record(count / 2);
    r.situation = QStringLiteral("差し込み");
    r.diary = QStringLiteral("途中の日付");
    return r;
}

inline QList<WeightRecord> contentB(int count)
{
    QList<WeightRecord> rs = contentA(count);
    const WeightRecord x = insertedRecord(count);
    qsizetype at = 0;
    while (at < rs.size() && !(rs.at(at).date > x.date))
        ++at;
    rs.insert(at, x);
    return rs;
}

// The start record of the append test and the records appended after it.
inline WeightRecord startRecord()
{
    WeightRecord r;
    r.date = QStringLiteral("2001/01/01");
    r.situation = QStringLiteral("はじめの一歩");
    r.weight = 74.5f;
    return r;
}

inline WeightRecord appended(int i)
{
    WeightRecord r = record(i + 3);
    r.situation = QStringLiteral("追記%1").arg(i);
    return r;
}

// The single writes of the "once" mode: each replaces one file (the
// conversion also renames the older file), from a directory that holds
// contentA(kOnceRecords), a profile, the memo under its small-letter
// spelling and an older single-person file.
constexpr int kOnceRecords = 300;

inline QString profileFile() { return QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ1.txt"); }
inline QString memoSpelling() { return QStringLiteral("気付きメモ.txt"); }

inline QStringList onceWrites()
{
    return {QStringLiteral("convert"), QStringLiteral("comment"), QStringLiteral("memo"),
            QStringLiteral("profile"), QStringLiteral("start")};
}

inline QByteArray legacyBytes(int n)
{
    QString text;
    for (int i = 0; i < n; ++i)
        text += QStringLiteral("%1,\"夕食後%2\",%3\r\n")
                    .arg(dates::text(QDate(1999, 1, 1).addDays(i)))
                    .arg(i)
                    .arg(70.0 - (i % 30) / 10.0);
    QString error;
    return cp932::encode(text, &error);
}

// Writes the directory the once writes start from.
inline bool prepareOnce(const DataDir &dir)
{
    bool ok = !store::rewriteRecords(dir, dataFile(), contentA(kOnceRecords), store::insertScratchName());
    ok = ok && !store::saveProfile(dir, profileFile(), PersonProfile{QStringLiteral("はなこ"), 158.5f, 50});
    QFile memo(dir.dir().filePath(memoSpelling()));
    ok = ok && memo.open(QIODevice::WriteOnly) && memo.write("\x88\xEA\x8D\x73\x96\xDA\r\n") == 8;
    memo.close();
    QFile legacy(dir.dir().filePath(store::legacyDataFile()));
    const QByteArray old = legacyBytes(kOnceRecords * 2);
    ok = ok && legacy.open(QIODevice::WriteOnly) && legacy.write(old) == old.size();
    return ok;
}

// The scratch file a once write may leave behind when it is killed.
inline QString onceScratch(const QString &write)
{
    if (write == QLatin1String("memo"))
        return store::scratchNameFor(memoSpelling());
    if (write == QLatin1String("profile"))
        return store::scratchNameFor(profileFile());
    if (write == QLatin1String("start"))
        return store::insertScratchName();
    return store::scratchNameFor(dataFile());
}

inline MaybeError runOnce(const QString &write, const DataDir &dir)
{
    if (write == QLatin1String("convert"))
        return store::convertLegacyData(dir, dataFile());
    if (write == QLatin1String("comment")) {
        QList<WeightRecord> rs;
        if (MaybeError e = store::readRecords(dir, dataFile(), &rs))
            return e;
        rs[3].diary = QStringLiteral("書き直した一言日記 表ソ～");
        return store::rewriteRecords(dir, dataFile(), rs, store::scratchNameFor(dir.resolve(dataFile())));
    }
    if (write == QLatin1String("memo"))
        return store::writeMemo(dir, QStringLiteral("新しいメモ\n\n二段落目 ｶﾀｶﾅ\n"));
    if (write == QLatin1String("profile"))
        return store::saveProfile(dir, profileFile(), PersonProfile{QStringLiteral("花子"), 158.7f, 58.7f});
    WeightRecord r = startRecord();
    r.date = QStringLiteral("2026/12/08");
    r.weight = 58.7f;
    return store::writeStartRecord(dir, dataFile(), r);
}

} // namespace faultdata
