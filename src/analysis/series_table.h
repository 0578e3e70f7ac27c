#pragma once

#include "analysis/table_fill.h"
#include "core/weight_series.h"

#include <QString>

// The weight-series table msgB1: every record with its difference to the
// previous or to the first record.
namespace analysis {

// Option1: index 0 "前回との差", index 1 "初回との差".
enum class DiffMode { Previous, First };

// 回数, 日付, 体重, and the difference column, whose header reads 初回差
// until the first fill names the mode.
table::Columns seriesTableColumns();

struct SeriesTable : TableFill {
    QString diffHeader; // header of the last column: 前回差 or 初回差
};

// Scrolls to the end from 9 records on (more than 9 grid rows).
SeriesTable FillSeriesTable(const WeightSeries &series, DiffMode mode);

} // namespace analysis
