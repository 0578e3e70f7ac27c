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
    float previous = 0;
    int streak = 0;
    texts::PerValue weightText([](float v) { return fmt::number(v, u"0.0Kg"); });
    texts::RoundedTexts averageText(u"0.000Kg", 3);
    texts::RoundedTexts gramText(u"0g", 0);
    const QString unchanged = QStringLiteral("±") + fmt::number(0.0f, u"0g");
    out.rows.reserve(n);
    for (int i = 0; i < n; ++i) {
        const float weight = series.weights.at(i);
        sum += weight;
        const float avg = sum / float(i + 1);
        series.averages[i] = avg;

        float grams = 0;
        QString change;
        if (i > 0) {
            grams = (avg - previous) * 1000.0f;
            // The sign is decided on the unrounded change, so a tiny rise
            // shows +0g and ends the run. A fall carries its own minus.
            if (grams > 0) {
                change = QStringLiteral("+") + gramText(grams);
                streak = 0;
            } else {
                change = grams == 0 ? unchanged : gramText(grams);
                ++streak;
            }
        } else {
            change = gramText(grams);
        }
        table::Row row;
        row.texts.reserve(4);
        row.texts << texts::counted(i + 1, u"回目") << weightText(weight)
                  << averageText(avg) << change;
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
