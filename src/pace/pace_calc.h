#pragma once

#include "core/table.h"
#include "store/record.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

// Where the two persons are heading: a smoothed trend of each person's
// daily weights, the pace in kg per week, the day each reaches the target
// at that pace, how regularly each weighs, and the chart of both trends.
//
// Everything is recomputed from the records each time; nothing is stored.
// Weights enter as the decimals the file holds (a float read from "65.3"
// counts as exactly 65.3: it is rounded to 0.01 kg first), and the work is
// done in double precision so that the figures come out exact.
namespace pace {

// Smoothing factor of the trend: trend += kSmoothing × (value − trend).
constexpr double kSmoothing = 0.1;
// The pace is the slope of at most this many last trend values ...
constexpr int kPaceDays = 14;
// ... of which at least this many days must have real records.
constexpr int kPaceMinMeasuredDays = 4;
// A pace below this (kg per week, as shown with two decimals) is "横ばい".
constexpr double kFlatPace = 0.05;
// A target further away than this many days is "3年以上先".
constexpr int kForecastMaxDays = 1095;

// Texts the screen shows when a figure cannot be computed yet.
QString notYetText();     // "まだ計算できません"
QString noRecordsText();  // "記録がありません"

// The weight a record stands for: its float rounded to 0.01 kg.
double decimalWeight(float weight);

// How the target-date line reads.
enum class GoalState {
    NoRecords,   // the person has no readable record
    Reached,     // "目標達成中"
    NotYet,      // no pace yet: "まだ計算できません"
    Flat,        // "横ばい"
    MovingAway,  // "目標から離れています（+0.34kg/週）"
    Forecast,    // "2024年5月20日（あと50日）"
    TooFar       // "3年以上先"
};

// One person's figures.
struct PersonPace {
    bool hasRecords = false;

    // Days from firstDay to lastDay (both with records), one entry a day.
    QDate firstDay, lastDay;
    QList<double> daily;   // the mean of the day's records, or filled in
    QList<bool> measured;  // whether the day has a record of its own
    QList<double> trend;   // the smoothed trend of each day
    int recordCount = 0;   // records with a readable date

    double firstTrend = 0;  // the first day's trend (= its daily value)
    double latestTrend = 0; // the last day's trend
    double trendChange = 0; // latestTrend − firstTrend

    // kg per week (slope per day × 7); empty while too few days.
    std::optional<double> paceKgPerWeek;
    double slopePerDay = 0; // the unrounded slope behind the pace

    double target = 0;      // the target weight, rounded to 0.01 kg
    GoalState goal = GoalState::NoRecords;
    std::optional<QDate> forecastDate; // only when goal == Forecast
    int daysToTarget = 0;              // Forecast and TooFar: days after lastDay

    // Days with a record among the 14 days ending today.
    int daysWeighed = 0;
    // Runs of consecutive days with at least one record. The current run
    // is the one ending on the last day with a record, while that day is
    // today or yesterday (a day not yet weighed does not end it); else 0.
    int currentRun = 0;
    int longestRun = 0;

    // Texts of the screen's labels.
    QString trendText;  // lblPaceTrend_i: "65.0Kg"
    QString changeText; // its change since the first day: "-3.2Kg", "+0.4Kg", "0.0Kg"
    QString paceText;   // lblPaceWeek_i: "-0.70Kg/週" or "まだ計算できません"
    QString goalText;   // lblPaceGoal_i
    QString daysText;   // lblPaceDays_i: "14日中11日"
    QString runText;    // lblPaceRun_i: "連続5日（最長12日）"

    // The trend on a day, empty outside firstDay..lastDay.
    std::optional<double> trendOn(const QDate &day) const;
};

// One person's figures from their records (in any order; records whose
// date cannot be read are left out), their target weight and today (from
// the injected clock; only the 14-day count and the current run use it).
PersonPace computePerson(const QList<WeightRecord> &records, float targetWeight,
                         const QDate &today);

// The chart mcrPace: one row a day from the earlier first day of the two
// persons to the later of their last days and their shown target dates.
struct PaceChart {
    QDate start, end; // empty when neither person has a record
    int days = 0;     // rows
    QString dayLabel(int row) const; // row from 1: "YY/MM/DD"

    ChartValues trend1, trend2;       // columns 1 and 2: the trend lines
    ChartValues daily1, daily2;       // days with real records: markers
    ChartValues forecast1, forecast2; // dashed: last trend to target on the target date
    std::optional<float> target1, target2; // horizontal lines
    AxisRange axis; // whole kilograms around every value above
};

PaceChart buildChart(const PersonPace &person1, const PersonPace &person2);

// Both persons and their chart.
struct PaceView {
    PersonPace person1, person2;
    PaceChart chart;
};

PaceView buildPaceView(const QList<WeightRecord> &records1, float targetWeight1,
                       const QList<WeightRecord> &records2, float targetWeight2,
                       const QDate &today);

// Texts on their own, for the screen and the tests.
QString paceText(std::optional<double> kgPerWeek);     // "-0.70Kg/週"
QString forecastText(const QDate &date, int daysLeft); // "2024年5月20日（あと50日）"

} // namespace pace
