#pragma once

#include "analysis/table_fill.h"
#include "core/weight_series.h"

#include <QString>

// The weight-band ranking msgB4: the weight range cut into bands of 1.0 or
// 0.5 kg, ranked by how many records fell into each.
namespace analysis {

// Option2: index 0 "１.０Ｋｇ刻み", index 1 "０.５Ｋｇ刻み".
enum class BandWidth { OneKg, HalfKg };

// 順位, 体重範囲, 累積, 差.
table::Columns bandRankingColumns();

struct BandRanking : TableFill {
    QString frameCaption; // fraB4, naming the band width
};

// One row per band that holds a record, the most visited first; equal
// counts keep the order of the ranking's exchange sort. The ranking opens
// at its top, so scrollToEnd stays false.
BandRanking FillBandRanking(const WeightSeries &series, BandWidth width);

} // namespace analysis
