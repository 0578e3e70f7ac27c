#pragma once

#include <QDate>
#include <QDir>
#include <QString>
#include <QStringList>

// Fills an empty directory with a plausible data set for two persons:
// some months of records with several weighings a day and gaps, both
// profiles, the settings files, the situation list and a memo.
// Returns an empty string or what went wrong.
QString writeSampleData(const QDir &dir, const QDate &lastDay, int months = 4, unsigned seed = 7);

// The same with exactly `recordsPerPerson` records for each person (1 to
// the format's limit of 32,767), the last of them on `lastDay`; as many
// days back as that takes.
QString writeSampleRecords(const QDir &dir, const QDate &lastDay, int recordsPerPerson, unsigned seed = 7);

// The program's files that `dir` already holds (whatever the case of their
// extension), in the spelling the program gives them.
QStringList existingDataFiles(const QDir &dir);

// The day of the latest record of either person in `dir`; an invalid date
// when there is none or a data file cannot be read.
QDate lastRecordDay(const QDir &dir);
