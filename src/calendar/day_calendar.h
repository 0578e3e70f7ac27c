#pragma once

#include "core/colours.h"
#include "core/table.h"
#include "store/record.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

// The calendar screen: one grid row per month with records, each recorded
// day coloured by how the weight moved during it, and a legend that counts
// the days of each kind and weighs the good days against the bad ones.
namespace calendar {

// The two display modes (cmdSel1 index 0 and 1). They change colours only.
enum class Mode { Detail, Simple };

// How the weight moved during one day: first against last weight.
enum class DayClass { Decrease, Unchanged, Increase, Once };

// The face under the legend; exactly one is visible.
enum class Face { Laugh /* imgWara2 */, Smile /* imgNiko2 */, Sad /* imgKana2 */ };

// Grid msgList2: column 0 "年月" with the month title, columns 1..31 the
// days of the month.
table::Columns gridColumns();
constexpr int kGridColumns = 32;

Rgb classColour(DayClass c, Mode mode);

// Back colours of the mode buttons: the active one light orange, the other
// the button face.
struct ModeButtons {
    Rgb cmdSel1_0 = palette::kDefault; // "詳細表示"
    Rgb cmdSel1_1 = palette::kDefault; // "簡易表示"
};
ModeButtons modeButtons(Mode mode);

struct DayCounts {
    int decrease = 0;
    int unchanged = 0;
    int increase = 0;
    int once = 0;
    int unmeasured = 0; // days from the first record to yesterday without one
};

// Everything the panel writes into its controls.
struct CalendarView {
    table::Rows rows; // data rows of msgList2, 32 texts and 32 colours each
    DayCounts counts;
    QString lblDn_c, lblUp_c, lblSm_c, lblOne_c, lblNon_c;
    QString lblGenT, lblZouT, lblHugou;
    Face face = Face::Smile;
    ModeButtons buttons;
};

// Records in file order (ascending dates). Today only bounds the count of
// unmeasured days; records dated after it are painted and classified like
// any other.
CalendarView buildCalendar(const QList<WeightRecord> &records, const QDate &today, Mode mode);

// The date behind a double-click: the month title of the clicked row (its
// column 0) and the clicked column. Nothing for the header row, column 0,
// or a day the month does not have.
std::optional<QDate> dateAt(int row, int column, const QString &monthTitle);

} // namespace calendar
