#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the program is asked to do on its command line. QtCore only, so
// --help and --version answer without a display, before any window
// system is touched.
namespace cli {

// One thing the program does per start. A new action (an export, an
// import) is one more value here, one more row in the option table of
// command_line.cpp and one more branch in main().
enum class Action {
    Run,     // open the window on the data directory
    Help,    // print the usage and end
    Version, // print the version and end
    Export,  // --export FILE: a person's records to a CSV file, no window
    Import,  // --import FILE: a CSV file's records into a person's, no window
};

struct Options {
    Action action = Action::Run;
    // --data-dir DIR; empty when not given.
    QString dataDir;
    // --xdg-data-dir: the desktop's standard place for the program's data
    // ($XDG_DATA_HOME/nanahoshi). The desktop entry passes it, because an
    // Exec line cannot expand an environment variable.
    bool standardDataDir = false;
    // --export FILE / --import FILE: the CSV file.
    QString csvFile;
    // --person 1|2: whose records (person 1 when not given).
    int person = 1;
    // --format own|openscale|libra|simple (export only; own when not given).
    QString format;
    // --dry-run (import only): show what would be imported, write nothing.
    bool dryRun = false;
    // --date-order md|dm (import only): how 3/4/2025 is read when the file
    // does not tell; empty when not given.
    QString dateOrder;
};

// Options, or what was wrong with the command line (Japanese, then
// English, one line each). `arguments` starts with the program's name, as
// QCoreApplication::arguments() does.
struct Parsed {
    std::optional<Options> options;
    QString error;
    QString refusedOption; // the option the error is about, if any
};
Parsed parse(const QStringList &arguments);

// Whether `name` ("-style", "--platform") is one of the options that Qt's
// application object takes off the command line itself.
bool isQtOption(const QString &name);

// The usage text (Japanese, then English) and the version line.
QString usage(const QString &programName);
QString versionText();

// The standard data directory: $XDG_DATA_HOME/nanahoshi when that is an
// absolute path, otherwise <home>/.local/share/nanahoshi.
QString standardDataDir(const QString &xdgDataHome, const QString &home);

// The data directory the options choose, as an absolute path: DIR of
// --data-dir (relative to `currentDir`), the standard one, or `currentDir`
// itself when neither is given.
QString chosenDataDir(const Options &options, const QString &currentDir, const QString &xdgDataHome,
                      const QString &home);

// Makes `path` when it does not exist yet. Nothing when the directory is
// there afterwards; otherwise why not (Japanese, then English).
std::optional<QString> makeDataDir(const QString &path);

} // namespace cli
