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

    const float *w = series.weights.constData();
    texts::PerValue weightText([](float v) { return fmt::number(v, u"0.0Kg"); });
    texts::PerValue diffText([](float d) {
        const QString sign = d == 0 ? QStringLiteral("±") : d > 0 ? QStringLiteral("+") : QString();
        return sign + fmt::number(d, u"0.0Kg");
    });
    out.rows.reserve(n);
    for (int i = 0; i < n; ++i) {
        float d = 0;
        if (i > 0)
            d = w[i] - (mode == DiffMode::Previous ? w[i - 1] : w[0]);
        // Brought to one decimal with halves upwards, so -0.25 reads -0.2.
        d = fmt::roundOneDecimal(d);

        table::Row row;
        row.texts.reserve(4);
        row.texts << texts::counted(i + 1, u"回目") << series.dates.at(i) << weightText(w[i])
                  << diffText(d);
        out.rows.append(std::move(row));
    }
    out.scrollToEnd = n + 1 > 9;
    return out;
}

} // namespace analysis
