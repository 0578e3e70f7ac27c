#pragma once

#include "core/colours.h"
#include "store/record.h"

#include <QDate>
#include <QList>
#include <QString>
#include <array>

// The criteria of the search screen: the situation text, the weekday and
// the period, which button of each group is the chosen one, and which
// listing a change of them runs.
namespace search {

// SearchWeekday for "every weekday".
constexpr int kAllWeekdays = 99;

// The period buttons. Kikan1..Kikan8 are the fixed spans ending today.
enum class PeriodButton {
    None,
    AllDay, // cmdAllDay "全部": the first record to today
    Kikan1, // "前日"
    Kikan2, // "１週間"
    Kikan3, // "２週間"
    Kikan4, // "１ヶ月"
    Kikan5, // "３ヶ月"
    Kikan6, // "半年"
    Kikan7, // "１年"
    Kikan8, // "３日"
    KikanF, // "任意": the boxes as they stand
};

// Days the first day of a fixed span lies before today (the last day is
// today): 1, 7, 14, 30, 90, 180, 365, 2 for Kikan1..Kikan8; -1 otherwise.
int periodDays(PeriodButton b);

// The four filtered listings RunSearch chooses between.
enum class Listing { ByPeriod, BySituation, ByWeekday, BySituationAndWeekday };

// The criteria as the panel holds them. txtKey, cboStdate and cboEddate
// mirror their boxes (the user may type into them); the rest changes only
// through the functions below.
struct Criteria {
    QString txtKey;                   // empty: every situation
    int SearchWeekday = kAllWeekdays; // 0 = Sunday .. 6, or kAllWeekdays
    QString cboStdate, cboEddate;     // first and last day, "yyyy/mm/dd"
    bool allSituationsChosen = false; // cmdAllact is highlighted
    PeriodButton period = PeriodButton::None;

    bool operator==(const Criteria &) const = default;
};

// RunSearch: which listing the criteria ask for. Only the exactly empty
// text means every situation; blanks are text.
Listing chooseListing(const Criteria &c);

// The criteria on opening the screen and after a person switch on it:
// every situation, every weekday, the whole period of the person's own
// records, and nothing left over from before (an old search text or a
// highlighted weekday or period button would filter unseen).
Criteria openingCriteria(const QList<WeightRecord> &records);

// The handlers' changes to the criteria; each is followed by the listing
// chooseListing names.
void pickSituation(Criteria &c, const QString &label); // lstAct2 click
void focusKey(Criteria &c);                            // txtKey gets the focus
void enterKey(Criteria &c, const QString &text);       // Enter in txtKey
void chooseAllSituations(Criteria &c);                 // cmdAllact
void chooseWeekday(Criteria &c, int weekday);          // cmdWeek(weekday)
void chooseAllWeekdays(Criteria &c);                   // cmdAllWeek
// Kikan1..8 set the span ending today; AllDay runs from the first of these
// records (the selected person's own) to today; KikanF keeps the boxes.
void choosePeriod(Criteria &c, PeriodButton b, const QDate &today,
                  const QList<WeightRecord> &records);

// Back colours of the criteria buttons: the chosen one of each group light
// yellow, every other one the button face.
struct ButtonColours {
    Rgb cmdAllact = palette::kDefault;
    Rgb cmdAllWeek = palette::kDefault;
    std::array<Rgb, 7> cmdWeek{};     // by index, 0 = "日"
    Rgb cmdAllDay = palette::kDefault;
    std::array<Rgb, 9> cmdKikan{};    // index 1..8 as in cmdKikan1..8; 0 unused
    Rgb cmdKikanF = palette::kDefault;
};
ButtonColours buttonColours(const Criteria &c);

} // namespace search
