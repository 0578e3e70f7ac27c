#pragma once

#include "core/change_mark.h"
#include "core/colours.h"
#include "core/day_values.h"
#include "core/table.h"
#include "store/record.h"

#include <QList>
#include <QString>
#include <QStringList>

// The day view of the weight screen: the day's measurements with their
// changes, the face of the day, the summary against the start of the diet
// and the counts on the person buttons, computed from the records alone.

namespace entry {

// imgNashi, imgkana, imgniko, imgwara
enum class DayFace { None, Sulk, Smile, Laugh };

// One data row of msgDayList: 9 texts and 9 back colours (0 = default).
using DayListRow = table::Row;

struct DayView {
    DayViewValues values;
    table::Rows rows;           // data rows of msgDayList
    QList<int> recordIndex;     // row n is the record at recordIndex[n - 1] of the file
    ChartValues chartPoints;    // point n is the weight of row n
    bool scrollToEnd = false;   // the grid scrolls to its newest row
    QString lblDspNissuu, lblDspTai, lblDspBmi, lblDspHiman;
    DayFace face = DayFace::None;
};

// selectedDay is "yyyy/mm/dd". A height of 0 or less gives empty BMI and
// obesity texts instead of a division by zero.
DayView buildDayView(const QList<WeightRecord> &records, const QString &selectedDay, float height);

// Records of the given day.
int countOnDay(const QList<WeightRecord> &records, const QString &day);

// face 0..3 = imgNon, imgKura, imgNi, imgWarai
struct EntryCounts {
    int count1 = 0, count2 = 0;
    Rgb back1 = 0, back2 = 0;
    int face1 = 0, face2 = 0;
};
EntryCounts entryCounts(int count1, int count2);

// msgDayList layout: header texts, widths in twips, data alignments.
table::Columns dayListColumns();
QStringList dayListHeaders();
QList<int> dayListWidths();
constexpr int kDayListColumns = 9;
// More grid rows than this, the header included, scroll to the end.
constexpr int kDayListVisibleRows = 9;

} // namespace entry
