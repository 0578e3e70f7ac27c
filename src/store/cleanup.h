#pragma once

#include "store/data_dir.h"
#include "store/store_error.h"

#include <QString>
#include <QStringList>

// What a start puts right after a crash, before it reads or offers
// anything. Called only while the program holds the data directory's
// lock, so no other running copy can be in the middle of a write.
namespace store {

struct CrashCleanUp {
    QString finishedStep;  // a multi-file step finished from its journal
    QStringList removed;   // scratch files taken away
};

// Finishes a step a crash interrupted (finishInterruptedStep, and a
// restore or undo through recoverPending), then
// removes the scratch files a killed write left behind. Only the
// program's own scratch names are touched (ownScratchPaths), and only
// when they are plain files; a user's file of any other name never is.
// A journal that cannot be finished is reported and nothing else is done.
MaybeError cleanUpAfterCrash(const DataDir &dir, CrashCleanUp *done = nullptr);

// The scratch files the program's writes use in `dir`, as paths: the
// fixed ones ("データコピー.txt", "データＣＨＧ.txt", "状況リストＣＨＧ.txt")
// and `<name>.tmp` of each of the program's own files (also beside the
// target of a file that is a symbolic link), and those of the journal and
// the undo record under backup/. A writer that brings a file
// of its own adds its name to the list in ownScratchPaths().
QStringList ownScratchPaths(const DataDir &dir);

} // namespace store
