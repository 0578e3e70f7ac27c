#pragma once

#include "core/day_values.h"
#include "core/persons.h"
#include "core/record_source.h"
#include "store/clock.h"
#include "store/data_dir.h"
#include "store/record.h"

#include <QString>

class Dialogs;

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

    Persons person;
    DayViewValues day;           // what the last day-view refresh left behind
    QString SelectedSituation;   // the situation of the next record
    SettingsState settings;
    HelpTourState help;
    bool Loading = false;
};
