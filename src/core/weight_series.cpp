#include "core/weight_series.h"

#include "store/data_file.h"

WeightSeries buildWeightSeries(const QList<WeightRecord> &records)
{
    WeightSeries s;
    s.count = int(records.size());
    s.weights.reserve(s.count);
    s.dates.reserve(s.count);
    s.averages = QList<float>(s.count, 0.0f);
    for (const WeightRecord &r : records) {
        s.weights.append(r.weight);
        s.dates.append(r.date);
        if (r.weight > s.maxWeight)
            s.maxWeight = r.weight;
        // Strictly smaller only: among equal minima the earliest record wins.
        if (r.weight < s.minWeight) {
            s.minWeight = r.weight;
            s.minDate = r.date;
        }
    }
    return s;
}

MaybeError LoadWeightSeries(const DataDir &dir, const QString &dataFile, WeightSeries *out)
{
    QList<WeightRecord> records;
    if (MaybeError e = store::readRecords(dir, dataFile, &records)) {
        *out = WeightSeries{};
        return e;
    }
    *out = buildWeightSeries(records);
    return std::nullopt;
}
