#pragma once

#include "store/data_dir.h"
#include "store/record.h"
#include "store/store_error.h"

#include <QStringList>

#include <functional>

// What a fresh installation needs, and what a start finds missing.
namespace store {

// The defaults a fresh installation starts with.
struct Defaults {
    int helpFlag = 1;                      // help tour on
    QString stepText = QStringLiteral("0.1");
    QString movingAverage = QStringLiteral("10");
    int autoTime = 0;                      // automatic time off
    int markerMode = 1;                    // circle markers
    QStringList situations;                // everyday situations
};
Defaults defaults();

// True when none of the four person files exists yet: the two persons
// have still to be registered.
bool isFreshInstallation(const DataDir &dir);

// Creates the settings files, the situation list and the memo with the
// defaults. A file that exists is never touched.
MaybeError createDefaultFiles(const DataDir &dir);

// Registers a person: the profile and the data file with its one start
// record are written as one step (store/journal.h), so that a crash never
// leaves a profile without its data file, which no start could use.
MaybeError registerPerson(const DataDir &dir, PersonSlot person, const PersonProfile &profile,
                          const WeightRecord &start);

// The program's files a normal start needs that are missing, in the order
// the start reads them.
QStringList missingFiles(const DataDir &dir);

// Of those, the ones createDefaultFiles can write anew (the settings
// files, the situation list and the memo), in the same order.
QStringList missingDefaultFiles(const DataDir &dir);

} // namespace store
