#pragma once

#include "analysis/table_fill.h"
#include "core/weight_series.h"

#include <QString>

// The milestone table msgB2: every 0.5 kg step below the start weight that
// has been reached, when it was first reached and how many days it took.
namespace analysis {

// 区切り, 日付, 達成, 経過.
table::Columns milestoneColumns();

struct MilestoneTable : TableFill {
    QString caption; // Label5(0): the best loss and the days since it
};

// One row per step reached, in step order; scrolls to the end from 9 rows
// on (more than 9 grid rows).
MilestoneTable FillMilestoneTable(const WeightSeries &series);

// A loss of this many steps (1000 kg) can only come from a damaged weight;
// the table stops there instead of growing without bound.
constexpr int kMaxMilestoneSteps = 2000;

} // namespace analysis
