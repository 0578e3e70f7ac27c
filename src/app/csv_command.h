#pragma once

#include "app/command_line.h"

#include <QString>

class Clock;
class QDir;

// --export and --import without a window. QtCore only: it needs no
// display and no application object of the widgets.
namespace cli {

struct CommandResult {
    int exitCode = 0; // 0 done, 1 not done (the reason in err)
    QString out;      // what was done, for stdout
    QString err;      // why it was not done, for stderr
};

// Runs the export or import `options` ask for on `dataDir` (which must
// exist; it is never made). The directory's lock is taken for the whole
// command, so a running window or another command keeps it off; an
// interrupted step of an earlier run is finished first, as a start does.
// The CSV file's path is taken relative to `currentDir`.
CommandResult runCsvCommand(const Options &options, const QString &dataDir, const QString &currentDir,
                            const Clock &clock);

} // namespace cli
