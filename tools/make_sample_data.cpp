// Writes a sample data directory (scripts/demo, the screenshots, the
// start-up bench). See sampleDataUsage() for the command line.
#include "sample_data.h"
#include "tool_args.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const SampleDataArgs args = parseSampleDataArgs(QCoreApplication::arguments().mid(1));
    if (args.help) {
        QTextStream(stdout) << sampleDataUsage();
        return 0;
    }
    if (!args.error.isEmpty()) {
        QTextStream(stderr) << args.error << "\n\n" << sampleDataUsage();
        return 2;
    }
    const QDir dir(args.folder);
    // Someone's real diary must never be replaced by made-up records.
    if (const QStringList there = existingDataFiles(dir); !there.isEmpty() && !args.force) {
        QTextStream(stderr) << "the folder already holds the program's files (" << there.join(QStringLiteral(", "))
                            << "); nothing written. Use --force to write over them.\n";
        return 1;
    }
    if (!QDir().mkpath(dir.absolutePath())) {
        QTextStream(stderr) << "cannot make the folder " << dir.absolutePath() << "\n";
        return 1;
    }
    const QDate last = args.lastDay.isValid() ? args.lastDay : QDate::currentDate();
    const QString error = args.records > 0 ? writeSampleRecords(dir, last, args.records) : writeSampleData(dir, last);
    if (!error.isEmpty()) {
        QTextStream(stderr) << error << "\n";
        return 1;
    }
    return 0;
}
