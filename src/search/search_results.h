#pragma once

#include "core/table.h"
#include "search/search_criteria.h"
#include "store/record.h"

#include <QList>
#include <QString>
#include <QStringList>

// The listings of the search screen: the matching records as rows of the
// grid msgBunseki, with the change against the previous and the first
// listed row, BMI and obesity degree, and the weight curve of mcrBunseki.
namespace search {

// msgBunseki: eleven columns, the header row and column 0 fixed.
table::Columns resultColumns();
constexpr int kResultColumns = 11;
constexpr int kResultFixedCols = 1;
// More grid rows than this, the header included, scroll to the end.
constexpr int kResultVisibleRows = 9;

struct Result {
    table::Rows rows;         // data rows in file order; colours on columns 6 and 8
    QList<int> recordIndex;   // row n is the record at recordIndex[n - 1] of the file
    bool scrollToEnd = false; // the grid scrolls to its newest row
    ChartValues chart;        // one column: point n is the weight of row n
    AxisRange axis;           // always a usable range, also for no row
};

// ListAllRecords: every record, and the period lists refilled.
struct AllRecords {
    Result result;
    QStringList periodDates;      // the distinct dates, in file order, for both combo boxes
    QString cboStdate, cboEddate; // the first and the last of them
};

// Records in file order; height in cm (0 or less leaves BMI and obesity
// degree empty).
AllRecords listAllRecords(const QList<WeightRecord> &records, float heightCm);

// One of the four filtered listings. Every one applies the period; the
// situation text and the weekday as the listing says.
Result listRecords(const QList<WeightRecord> &records, Listing listing, const Criteria &c,
                   float heightCm);

// RunSearch: the listing chooseListing(c) names.
Result runSearch(const QList<WeightRecord> &records, const Criteria &c, float heightCm);

// Opening the screen, and a person switch while it shows: the opening
// criteria and the listing of every record.
struct Opening {
    Criteria criteria;
    AllRecords listing;
};
Opening openingState(const QList<WeightRecord> &records, float heightCm);

} // namespace search
