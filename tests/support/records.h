#pragma once

#include "store/record.h"

#include <QList>
#include <QDate>
#include <QString>

// Records in memory for computation and store tests.
namespace testrec {

// One record; the situation and the diary are optional.
inline WeightRecord rec(const QString &date, float weight, const QString &situation = QStringLiteral("朝"),
                        const QString &diary = QString())
{
    WeightRecord r;
    r.date = date;
    r.situation = situation;
    r.weight = weight;
    r.diary = diary;
    return r;
}

// The same with the situation before the weight, as a data file line reads.
inline WeightRecord rec(const QString &date, const QString &situation, float weight,
                        const QString &diary = QString())
{
    return rec(date, weight, situation, diary);
}

// One record a day from `firstDate` on, with the given weights.
inline QList<WeightRecord> daily(const QString &firstDate, const QList<float> &weights)
{
    QList<WeightRecord> out;
    QDate d = QDate::fromString(firstDate, QStringLiteral("yyyy/MM/dd"));
    for (float w : weights) {
        out.append(rec(d.toString(QStringLiteral("yyyy/MM/dd")), w));
        d = d.addDays(1);
    }
    return out;
}

} // namespace testrec
