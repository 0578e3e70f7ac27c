#pragma once

#include <QDate>
#include <QSize>
#include <QString>
#include <QStringList>

// The command lines of the sample-data and screenshot tools, read apart
// from their work so a test can check them. `args` leaves out the
// program's name. A non-empty `error` means the line is refused (exit 2,
// with the usage); `help` means print the usage and end (exit 0).

struct SampleDataArgs {
    bool help = false;
    QString error;
    QString folder;
    QDate lastDay;    // invalid: today
    int records = 0;  // per person; 0: four months of weighings
    bool force = false; // write over the program's files already there
};
SampleDataArgs parseSampleDataArgs(const QStringList &args);
QString sampleDataUsage();

struct ScreenshotArgs {
    bool help = false;
    QString error;
    QString outFolder;
    QString dataFolder; // empty: sample data written to a temporary folder
    QDate date;         // invalid: the last record's day
    QSize size{1280, 800};
};
ScreenshotArgs parseScreenshotArgs(const QStringList &args);
QString screenshotUsage();
