#include "analysis/milestones.h"

#include "analysis/texts.h"
#include "store/dates.h"
#include "store/format.h"

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {

// A weight in whole hundredths of a kilogram. Losses are compared in these
// units: in single precision 64.2 - 63.7 is 0.49999619, which would never
// reach the 0.5 kg step. Damaged weights far outside any scale are held
// to a range that cannot overflow.
qint64 hundredths(float weight)
{
    const double h = std::clamp(double(weight) * 100.0, -1e15, 1e15);
    return std::llround(h);
}

// 0.5Kg減, 1.0Kg減, ... 10.0Kg減
QString stepText(int step)
{
    return fmt::number(double(step) * 0.5, u"0.0") + QStringLiteral("Kg減");
}

} // namespace

table::Columns milestoneColumns()
{
    return {
        {QStringLiteral("区切り"), 1085},
        {QStringLiteral("日付"), 1500},
        {QStringLiteral("達成"), 1150},
        {QStringLiteral("経過"), 1100},
    };
}

MilestoneTable FillMilestoneTable(const WeightSeries &series)
{
    MilestoneTable out;
    const int n = series.count;
    if (n == 0)
        return out;

    const QString &firstDate = series.dates.first();
    const qint64 start = hundredths(series.weights.first());
    constexpr qint64 kStep = 50; // 0.5 kg

    // A step, once reached, stays reached, and a record that reaches a step
    // has reached every smaller one too; so the steps are reached in order
    // and one counter tells which step comes next. Exactly the steps
    // reached get a row.
    int reached = 0;
    qint64 lastDays = 0;
    for (int i = 0; i < n && reached < kMaxMilestoneSteps; ++i) {
        const qint64 loss = start - hundredths(series.weights.at(i));
        if (loss < (reached + 1) * kStep)
            continue;
        const qint64 days = dates::daysBetween(firstDate, series.dates.at(i));
        do {
            ++reached;
            table::Row row;
            row.texts.reserve(4);
            row.texts << stepText(reached) << series.dates.at(i)
                      << texts::counted(days, u"日後") << texts::counted(days - lastDays, u"日後");
            out.rows.append(std::move(row));
            // Further steps of the same record show 0日後.
            lastDays = days;
        } while (reached < kMaxMilestoneSteps && loss >= (reached + 1) * kStep);
    }
    out.scrollToEnd = out.rows.size() + 1 > 9;

    const float best = series.weights.first() - series.minWeight;
    out.caption = QStringLiteral("最高　") + fmt::number(best, u"0.0Kg")
                  + QStringLiteral("減を達成してから　")
                  + QString::number(dates::daysBetween(series.minDate, series.dates.last()))
                  + QStringLiteral("日経過");
    return out;
}

} // namespace analysis
