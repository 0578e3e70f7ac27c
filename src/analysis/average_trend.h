#pragma once

#include "analysis/table_fill.h"
#include "core/weight_series.h"

#include <QString>

// The average trend msgB3: the running average of all weights after every
// record, how much it moved in grams, and the run of records at the end
// that have not raised it.
namespace analysis {

// 日数, 体重, 平均体重, 差.
table::Columns averageTrendColumns();

struct AverageTrend : TableFill {
    QString caption; // Label5(1)
};

// Also writes series.averages (the running average after each record).
// Scrolls to the end from 8 records on (more than 8 grid rows).
AverageTrend FillAverageTrend(WeightSeries &series);

} // namespace analysis
