#include "analysis/band_ranking.h"

#include "analysis/texts.h"
#include "store/format.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace analysis {

namespace {

struct Band {
    double index = 0; // 0 is the band starting at floor(minWeight)
    int count = 0;
};

// Bands with at least one record, lowest band first. A record belongs to
// the band with lower <= weight < lower + width; the bounds are exact
// multiples of 0.5, so no weight falls between two bands.
QList<Band> occupiedBands(const WeightSeries &s, double bottom, double slotCount, double width)
{
    QList<Band> bands;
    const float *w = s.weights.constData();
    const int n = s.count;
    // A plausible weight range needs a few hundred slots; only damaged
    // weights (7.2 typed for 72 still fits, 72000 does not) take the
    // slower way through sorted band numbers.
    constexpr double kDenseSlots = 65536;
    if (slotCount <= kDenseSlots) {
        const int m = std::max(1, int(slotCount));
        QList<int> counts(m, 0);
        for (int i = 0; i < n; ++i) {
            const int k = int((double(w[i]) - bottom) / width);
            ++counts[std::clamp(k, 0, m - 1)];
        }
        for (int k = 0; k < m; ++k)
            if (counts.at(k) > 0)
                bands.append({double(k), counts.at(k)});
        return bands;
    }
    QList<double> keys;
    keys.reserve(n);
    for (int i = 0; i < n; ++i)
        keys.append(std::floor((double(w[i]) - bottom) / width));
    std::sort(keys.begin(), keys.end());
    for (double k : std::as_const(keys)) {
        if (bands.isEmpty() || bands.last().index != k)
            bands.append({k, 0});
        ++bands.last().count;
    }
    return bands;
}

// Most visited first. This exchange sort fixes the order of equal counts
// (bands 64, 65, 66, 67 with 2, 1, 2, 3 records rank 67, 66, 64, 65), so it
// is kept instead of a library sort. Leaving the empty bands out changes
// nothing: an empty band never outranks a visited one, and where one
// stands at the sort position it only hands its place to the next visited
// band, which then goes on exactly as it would have.
void rank(QList<Band> &bands)
{
    const qsizetype e = bands.size();
    for (qsizetype k = 0; k + 1 < e; ++k)
        for (qsizetype m = k + 1; m < e; ++m)
            if (bands.at(k).count < bands.at(m).count)
                std::swap(bands[k], bands[m]);
}

} // namespace

table::Columns bandRankingColumns()
{
    return {
        {QStringLiteral("順位"), 1085},
        {QStringLiteral("体重範囲"), 2000},
        {QStringLiteral("累積"), 880},
        {QStringLiteral("差"), 870},
    };
}

BandRanking FillBandRanking(const WeightSeries &series, BandWidth width)
{
    BandRanking out;
    const bool oneKg = width == BandWidth::OneKg;
    const double w = oneKg ? 1.0 : 0.5;
    out.frameCaption = oneKg ? QStringLiteral("    体重推移累積番付 < 1.0Kg刻み >")
                             : QStringLiteral("    体重推移累積番付 < 0.5Kg刻み >");
    if (series.count == 0)
        return out;

    const double top = std::floor(double(series.maxWeight)) + 1;
    const double bottom = std::floor(double(series.minWeight));
    QList<Band> bands = occupiedBands(series, bottom, (top - bottom) / w, w);
    rank(bands);

    out.rows.reserve(bands.size());
    for (qsizetype k = 0; k < bands.size(); ++k) {
        const Band &b = bands.at(k);
        const float lower = fmt::roundOneDecimal(float(bottom + b.index * w));
        table::Row row;
        row.texts.reserve(4);
        row.texts << texts::counted(k + 1, u"位")
                  << fmt::number(lower, u"0.0～") + fmt::number(double(lower) + w - 0.1, u"0.0Kg")
                  << texts::counted(b.count, u"回")
                  << (k == 0 ? QString() : texts::counted(bands.at(k - 1).count - b.count, u"回"));
        out.rows.append(std::move(row));
    }
    return out;
}

} // namespace analysis
