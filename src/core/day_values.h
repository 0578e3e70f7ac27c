#pragma once

#include <QString>

// The window-wide values the last day-view refresh left behind; the weight
// input, the chart of the day, the BMI meters and other screens read them.
struct DayViewValues {
    QString FirstDate;
    float FirstWeight = 0;
    float FirstBmi = 0;
    float FirstObesity = 0; // a ratio: 0.185 is 18.5 %
    float StandardWeight = 0;
    QString LastFileDate;
    float LastFileWeight = 0;
    int RecordCount = 0;
    int DayRowNo = 1;
    float PrevWeight = 0;
    QString PrevWeightDate;
    float DayFirstWeight = 0;
    float DayMaxWeight = 0;
    float DayMinWeight = 999;
    float LatestWeight = 0;
    QString LatestWeightDate;
    float LatestBmi = 0;
    QString LatestObesity; // the ratio as decimal text; empty without a height
};
