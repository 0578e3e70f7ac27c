#include "analysis/series_table.h"

#include "analysis/texts.h"
#include "store/format.h"

namespace analysis {

table::Columns seriesTableColumns()
{
    return {
        {QStringLiteral("回数"), 1085},
        {QStringLiteral("日付"), 1500},
        {QStringLiteral("体重"), 1150},
        {QStringLiteral("初回差"), 1100},
    };
}

SeriesTable FillSeriesTable(const WeightSeries &series, DiffMode mode)
{
    SeriesTable out;
    out.diffHeader = mode == DiffMode::Previous ? QStringLiteral("前回差") : QStringLiteral("初回差");
    const int n = series.count;
    if (n == 0)
        return out;

    // A row is written out only when it shows; the weights and dates are
    // shared with the series, not copied.
    const QList<float> weights = series.weights;
    const QStringList dates = series.dates;
    out.rows = table::Rows::made(n, [weights, dates, mode](qsizetype i) {
        float d = 0;
        if (i > 0)
            d = weights.at(i) - (mode == DiffMode::Previous ? weights.at(i - 1) : weights.at(0));
        // Brought to one decimal with halves upwards, so -0.25 reads -0.2.
        d = fmt::roundOneDecimal(d);
        const QString sign = d == 0 ? QStringLiteral("±") : d > 0 ? QStringLiteral("+") : QString();
        table::Row row;
        row.texts.reserve(4);
        row.texts << texts::counted(i + 1, u"回目") << dates.at(i) << fmt::number(weights.at(i), u"0.0Kg")
                  << sign + fmt::number(d, u"0.0Kg");
        return row;
    });
    out.scrollToEnd = n + 1 > 9;
    return out;
}

} // namespace analysis
