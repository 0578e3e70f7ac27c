#pragma once

#include "core/day_values.h"
#include "core/record_source.h"
#include "core/weight_series.h"
#include "store/clock.h"
#include "store/data_dir.h"
#include "store/record.h"

#include <QString>

class Dialogs;

// The selected person, held once: whose files every screen reads. The
// profile values are the selected person's; both persons' nicknames and
// targets are kept for the screens that show the two side by side.
struct PersonState {
    PersonSlot selected = PersonSlot::One;
    QString Nickname;
    float Height = 0;
    float TargetWeight = 0;
    QString Nickname1, Nickname2;
    float TargetWeight1 = 0;
    float TargetWeight2 = 0;

    QString DataFileName() const { return dataFileName(selected); }
    QString ProfileFileName() const { return profileFileName(selected); }
    QString otherDataFileName() const { return dataFileName(otherPerson(selected)); }
};

// Settings held in window fields rather than in a control.
struct SettingsState {
    QString StepText = QStringLiteral("0.1");
    int MarkerMode = 1;
    int AutoTime = 0; // mirrors chkJikan: the time goes into the diary
    // Read at start-up for screens that are built when first opened.
    QString MovingAverageText; // empty: the default window
    QString AwarenessMemo;
};

// The help tour.
struct HelpTourState {
    int HelpFlag = 1;
    QString HelpText;
    QString HelpFileName;
};

// Everything window-wide that the screens share. The main window owns it
// and hands each screen a reference.
struct Session {
    Session(const DataDir &dir, Dialogs &dialogs, const Clock &clock)
        : dir(dir), dialogs(dialogs), clock(clock), records(dir) {}

    DataDir dir;
    Dialogs &dialogs;
    const Clock &clock;
    RecordSource records;

    PersonState person;
    DayViewValues day;           // what the last day-view refresh left behind
    WeightSeries series;         // the selected person's series, as last loaded
    QString SelectedSituation;   // the situation of the next record
    SettingsState settings;
    HelpTourState help;
    bool Loading = false;
};
