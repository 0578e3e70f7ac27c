#include "analysis/average_trend.h"

#include "analysis/texts.h"
#include "store/format.h"

namespace analysis {

table::Columns averageTrendColumns()
{
    return {
        {QStringLiteral("日数"), 1085},
        {QStringLiteral("体重"), 1150},
        {QStringLiteral("平均体重"), 1500},
        {QStringLiteral("差"), 1100},
    };
}

AverageTrend FillAverageTrend(WeightSeries &series)
{
    AverageTrend out;
    const int n = series.count;
    series.averages.resize(n);
    if (n == 0)
        return out;

    // Sum and average in single precision like every weight; the third
    // decimal of the average depends on it.
    float sum = 0;
    int streak = 0;
    for (int i = 0; i < n; ++i) {
        sum += series.weights.at(i);
        const float avg = sum / float(i + 1);
        series.averages[i] = avg;
        if (i > 0) {
            // The sign is decided on the unrounded change, so a tiny rise
            // ends the run; an unchanged average keeps it going.
            const float grams = (avg - series.averages.at(i - 1)) * 1000.0f;
            streak = grams > 0 ? 0 : streak + 1;
        }
    }
    // The rows are written out only when they show.
    const QList<float> weights = series.weights;
    const QList<float> averages = series.averages;
    out.rows = table::Rows::made(n, [weights, averages](qsizetype i) {
        const float avg = averages.at(i);
        QString change;
        if (i > 0) {
            const float grams = (avg - averages.at(i - 1)) * 1000.0f;
            // A fall carries its own minus; a tiny rise shows +0g.
            change = grams > 0 ? QStringLiteral("+") + fmt::number(grams, u"0g")
                     : grams == 0 ? QStringLiteral("±") + fmt::number(0.0f, u"0g")
                                  : fmt::number(grams, u"0g");
        } else {
            change = fmt::number(0.0f, u"0g");
        }
        table::Row row;
        row.texts.reserve(4);
        row.texts << texts::counted(i + 1, u"回目") << fmt::number(weights.at(i), u"0.0Kg")
                  << fmt::number(avg, u"0.000Kg") << change;
        return row;
    });
    out.scrollToEnd = n + 1 > 8;
    out.caption = streak > 0
                      ? QStringLiteral("連続ﾏｲﾅｽ記録 ") + QString::number(streak) + QStringLiteral("日間達成！")
                      : QStringLiteral("平均を上回ってしまいました...");
    return out;
}

} // namespace analysis
