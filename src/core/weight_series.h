#pragma once

#include "store/data_dir.h"
#include "store/record.h"
#include "store/store_error.h"

#include <QList>
#include <QString>
#include <QStringList>

// The selected person's records as numbered (date, weight) pairs, with the
// highest and lowest weight. The analysis tables, the moving-average graph
// and the search read it; it is replaced as a whole by every load.
//
// Record k, counted from 1 in file order (which is date order), is index
// k - 1 of the lists.
struct WeightSeries {
    int count = 0;
    QList<float> weights;
    QStringList dates;      // as stored, "yyyy/mm/dd"
    QList<float> averages;  // running averages; zero until the average trend fills them
    float maxWeight = 0;    // the largest weight; stays 0 when no weight is above 0
    float minWeight = 999;  // the smallest weight; stays 999 when no weight is below
    QString minDate;        // the first record that carries minWeight (empty if none)
};

// The series of these records, in their order.
WeightSeries buildWeightSeries(const QList<WeightRecord> &records);

// Reads the data file and replaces *out with its series. On failure *out
// is left empty, so no screen goes on showing the previous person.
MaybeError LoadWeightSeries(const DataDir &dir, const QString &dataFile, WeightSeries *out);
