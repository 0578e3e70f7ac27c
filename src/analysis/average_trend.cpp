#include "analysis/average_trend.h"

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

    // All in single precision, as the figures have always been shown.
    float sum = 0;
    float previous = 0;
    int streak = 0;
    out.rows.reserve(n);
    for (int i = 0; i < n; ++i) {
        const float weight = series.weights.at(i);
        sum += weight;
        const float avg = sum / float(i + 1);
        series.averages[i] = avg;

        float grams = 0;
        QString sign;
        if (i > 0) {
            grams = (avg - previous) * 1000.0f;
            // The sign is decided on the unrounded change, so a tiny rise
            // shows +0g and ends the run.
            if (grams > 0) {
                sign = QStringLiteral("+");
                streak = 0;
            } else {
                if (grams == 0)
                    sign = QStringLiteral("±");
                ++streak;
            }
        }
        table::Row row;
        row.texts.reserve(4);
        row.texts << QString::number(i + 1) + QStringLiteral("回目") << fmt::number(weight, u"0.0Kg")
                  << fmt::number(avg, u"0.000Kg") << sign + fmt::number(grams, u"0g");
        out.rows.append(std::move(row));
        previous = avg;
    }
    out.scrollToEnd = n + 1 > 8;
    out.caption = streak > 0
                      ? QStringLiteral("連続ﾏｲﾅｽ記録 ") + QString::number(streak) + QStringLiteral("日間達成！")
                      : QStringLiteral("平均を上回ってしまいました...");
    return out;
}

} // namespace analysis
