#pragma once

#include "core/colours.h"
#include "core/table.h"
#include "store/record.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

// The two-person comparison screen: the table of six measures with the
// better person marked, the share bar, the list of daily averages and the
// two charts of them, computed from both persons' records alone.
namespace compare {

// Rows of the comparison table, lblD1_0 .. lblD1_6 (row 0 the header).
constexpr int kTableRows = 7;

// The fixed caption and background band of each table row.
struct TableBand {
    QString caption;
    Rgb back = palette::kDefault;
};
QList<TableBand> tableBands();

// What one person's records add up to, in one pass.
struct PersonSummary {
    int recordCount = 0;
    QString firstDate, lastDate; // of the first and last record in the file
    float firstWeight = 0, lastWeight = 0;
    float maxWeight = 0;   // 0 without records
    float minWeight = 999; // 999 without records
    qint64 elapsed = 0;    // days from firstDate to lastDate, never negative
    float perDay = 0;      // records a day: recordCount / (elapsed + 1)
};

struct Comparison {
    PersonSummary person1, person2;
    float target1 = 0, target2 = 0; // the target weights the build was given

    // Value texts of lblD1_i and lblD2_i: row 0 the nicknames, rows 1-6 the
    // measures.
    std::array<QString, kTableRows> text1, text2;
    // Whether imgD1_i / imgD2_i show (rows 1-6). Index 0 is the mark beside
    // the chart axis, which always shows.
    std::array<bool, kTableRows> mark1{}, mark2{};

    // Shares of all measurements in per cent; share2 = 100 - share1.
    float share1 = 0, share2 = 0;

    // The period of the list and the charts: the earliest to the latest
    // date of both files ("yyyy/mm/dd"); empty when neither has a record.
    QString ComparisonStart, ComparisonEnd;
    int days = 0; // N, the rows of the list and the charts
    // Whole-number part of each person's lowest weight.
    float AutoFloor1 = 0, AutoFloor2 = 0;

    // msgAvgtai: N data rows (day number, date, person 1's and person 2's
    // average of the day or empty), and whether it scrolls to its last row.
    table::Rows averageRows;
    bool averageScrollToEnd = false;

    // mcrAvgtai: row labels (the dates) and one column per person. A day
    // without a record carries the previous day's average; days before a
    // person's first record stay empty.
    // The label of day d (from 1), "YY/MM/DD"; made when the axis names it.
    QString dayLabel(int d) const;
    qint64 startDay = 0; // the first day of the period, as a Julian day
    ChartValues series1, series2;
    // The separate axes with automatic lower bounds: from Int(lowest weight)
    // to Int(highest weight + 0.9), per person. When all of a person's
    // weights lie in [k, k + 0.1) this is the flat range {k, k}; the panel
    // passes it on as it is and the chart widens a flat range by 1 each
    // way. Nothing here divides by a range. A person without records gets
    // the other person's range (both without: {0, 0}).
    AxisRange autoLeft, autoRight;
};

// Builds everything from both persons' records (each in file order),
// their nicknames (the captions of cmdUser1 / cmdUser2) and target weights.
// Records out of date order or with an unreadable date never place a value
// outside the period; an unreadable date is left out of the daily values.
Comparison buildComparison(const QList<WeightRecord> &records1,
                           const QList<WeightRecord> &records2, const QString &nickname1,
                           const QString &nickname2, float targetWeight1, float targetWeight2);

// Width of shpShareBar_0 for a full bar (shpShareBar_1) of fullWidth.
int shareBarWidth(int fullWidth, float share1);

// msgAvgtai's layout: "日数", "日付", "体重１", "体重２".
table::Columns averageListColumns();
// More grid rows than this, the header included, scroll to the last row.
constexpr int kAverageListVisibleRows = 8;

// Lower bound of the separate-axes chart: optG3 "下限自動" or optG4 "下限目標".
enum class LowerBound { Automatic, Target };

struct SeparateAxes {
    AxisRange left, right; // person 1's and person 2's axis of mcrAvgtai
};
// The axes of mcrAvgtai under a lower-bound choice. Under Target an axis
// starts at Int(target), unless that is at or above the axis maximum (the
// person has reached the target): that axis keeps its automatic floor.
SeparateAxes separateAxes(const Comparison &c, LowerBound bound);

// The same-axis chart mcrAvgtai2: optG1 "実際の値のまま" or optG2 "グラフを重ねる".
enum class SameAxisView { RealValues, Overlaid };

struct SameAxisChart {
    ChartValues series1, series2;
    AxisRange axis;
};
// Real values on one axis from the smaller to the larger of the separate
// axes' bounds under the given lower-bound choice.
SameAxisChart copyToSameAxisChart(const Comparison &c, LowerBound bound);
// The lighter person's curve lifted onto the heavier one's at the first day
// both have a value (neither is lifted when there is no such day); the axis
// runs from the larger maximum down by the larger range, widened only as
// far as needed to show the lifted curve whole.
SameAxisChart overlaySeries(const Comparison &c, LowerBound bound);
SameAxisChart sameAxisChart(const Comparison &c, SameAxisView view, LowerBound bound);

} // namespace compare
