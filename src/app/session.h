#pragma once

#include "entry/day_view.h"
#include "store/clock.h"
#include "store/data_dir.h"
#include "store/record.h"

#include <QString>

class Dialogs;

// The selected person: whose files every screen reads, and the profile
// values loaded last.
struct PersonState {
    QString DataFileName;
    QString ProfileFileName;
    QString Nickname;
    float Height = 0;
    float TargetWeight = 0;
    float TargetWeight1 = 0;
    float TargetWeight2 = 0;

    // Person 2 is selected when the data file is person 2's.
    PersonSlot selected() const
    {
        return DataFileName.compare(dataFileName(PersonSlot::Two), Qt::CaseInsensitive) == 0
                   ? PersonSlot::Two
                   : PersonSlot::One;
    }
};

// Settings held in window fields rather than in a control.
struct SettingsState {
    QString StepText = QStringLiteral("0.1");
    int MarkerMode = 1;
    int AutoTime = 0; // mirrors chkJikan: the time goes into the diary
};

// The help tour.
struct HelpTourState {
    int HelpFlag = 1;
    QString HelpText;
    QString HelpFileName;
};

// Everything window-wide that the panels share. The main window owns it
// and hands each panel a reference.
struct Session {
    Session(const DataDir &dir, Dialogs &dialogs, const Clock &clock)
        : dir(dir), dialogs(dialogs), clock(clock) {}

    DataDir dir;
    Dialogs &dialogs;
    const Clock &clock;

    PersonState person;
    DayViewValues day;           // what the last day-view refresh left behind
    QString SelectedSituation;   // the situation of the next record
    SettingsState settings;
    HelpTourState help;
    bool Loading = false;
};
