#pragma once

// Records shared by the fault tests and their child program, so that both
// sides agree on what the data file must hold after a child is killed.

#include "store/dates.h"
#include "store/record.h"

#include <QDate>
#include <QList>
#include <QString>

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

} // namespace faultdata
